#pragma once

#include "link/LinkParams.h"

#include <QString>

#include <cstdint>

class IniFile;

// The main window's settings of section "Option", one field per key. Widths matter: a value
// read into a byte or 16-bit field keeps only its low bits, and is written back that way.
// The defaults live in the key table alone.
struct OptionSettings {
    // Every field starts at its key's default (UseUSB and fM750 at their forced values), as a
    // load from a missing file gives it.
    OptionSettings();

    int ComPort;
    int ComSpeed;
    int UseUSB;
    tagTCPIPPara TcpLinkParam;
    int fUseGrobalIP;
    int UidFlag;
    int ReadOptionFlag;
    int ReadUidFlag;
    int WriteOptionFlag;
    int WriteUidFlag;
    int EnabLockBlock;
    uint8_t S6700Conf;
    uint16_t TagDataNum;
    QString TagDataStr;
    uint8_t SysMode;
    uint8_t Cmdmode;
    uint16_t PolingTime;
    int fInventory2;
    int TagBlockSize;
    int fUseInOutFormat;
    int InCode;
    int OutCode;
    QString InOutTitle;
    QString InString;
    QString OutString;
    int InOutMode;
    int fBinaryWrite;
    int fTimeOut;
    int fBarCodeReader;
    int fAllEEPROMSet;
    QString KVIFName;
    uint8_t EAS_ON_VALUE;
    uint8_t EAS_OFF_VALUE;
    uint8_t PassData[4];
    int TagWriteNum;
    int fUseInv16SlotsCmd;
    int fVER121;
    int fP310;
    int fGateCmd;
    int fCommComand;
    int fDebug1;
    int fTagTest1;
    int fUSESetOption;
    uint8_t Prog15693FLAG;
    int fInvTxOff;
    int fDispEXTSet1;
    int fSetBuzFreq;
    int fCustomCmd1;
    int fM750;
    int fM750Cmd;
    QString M740LogFile;
    QString M750LogFile;
    int fMenuDisp;
    int fDufaultTab;
    int fCmdOutpStr;
    int OkColor;
    int NgColor;
};

// One row of the key table that drives both the load and the save, so the two can't drift.
struct OptionKey {
    enum Kind { Int, IntLow8, Byte, Word, Text };
    const char *name;
    Kind kind;
    bool written;
    int intDefault;
    const char *textDefault; // UTF-8
    void *(*field)(OptionSettings &);
};

// The 63 keys in the order they are read (and, for the 58 written ones, written).
const OptionKey *optionKeys(int *count);

// Reads every key with its default into s; UseUSB and fM750 are forced to 2 and 1.
void readOptionSection(const IniFile &ini, OptionSettings &s);
// Writes the written keys from s into the object (other sections and keys stay as they are).
void writeOptionSection(IniFile &ini, const OptionSettings &s);

// The file road: each opens the file anew. A missing file gives the defaults; the save
// creates a missing file empty first, and leaves a read-only file alone. Neither reports.
void LoadSettings(const QString &path, OptionSettings &s);
void SaveSettings(const QString &path, const OptionSettings &s);
