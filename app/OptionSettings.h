#pragma once

#include "link/TTComXDlg.h"

#include <QString>

#include <cstdint>

class IniFile;

// The main window's settings of section "Option", one field per key. Widths matter: a value
// read into a byte or 16-bit field keeps only its low bits, and is written back that way.
struct OptionSettings {
    int ComPort = 1;
    int ComSpeed = 0;
    int UseUSB = 2;
    tagTCPIPPara TcpLinkParam{3335, 1, 10777, QStringLiteral("192.168.0.100")};
    int fUseGrobalIP = 0;
    int UidFlag = 0;
    int ReadOptionFlag = 0;
    int ReadUidFlag = 0;
    int WriteOptionFlag = 1;
    int WriteUidFlag = 0;
    int EnabLockBlock = 0;
    uint8_t S6700Conf = 212;
    uint16_t TagDataNum = 10;
    QString TagDataStr;
    uint8_t SysMode = 0;
    uint8_t Cmdmode = 0;
    uint16_t PolingTime = 5;
    int fInventory2 = 1;
    int TagBlockSize = 4;
    int fUseInOutFormat = 1;
    int InCode = 0;
    int OutCode = 1;
    QString InOutTitle = QStringLiteral("入／出");
    QString InString = QStringLiteral("入");
    QString OutString = QStringLiteral("出");
    int InOutMode = 1;
    int fBinaryWrite = 0;
    int fTimeOut = 0;
    int fBarCodeReader = 0;
    int fAllEEPROMSet = 0;
    QString KVIFName;
    uint8_t EAS_ON_VALUE = 49;
    uint8_t EAS_OFF_VALUE = 48;
    uint8_t PassData[4] = {0, 0, 0, 0};
    int TagWriteNum = 200;
    int fUseInv16SlotsCmd = 0;
    int fVER121 = 1;
    int fP310 = 0;
    int fGateCmd = 0;
    int fCommComand = 0;
    int fDebug1 = 0;
    int fTagTest1 = 0;
    int fUSESetOption = 0;
    uint8_t Prog15693FLAG = 0;
    int fInvTxOff = 0;
    int fDispEXTSet1 = 0;
    int fSetBuzFreq = 0;
    int fCustomCmd1 = 0;
    int fM750 = 1;
    int fM750Cmd = 0;
    QString M740LogFile;
    QString M750LogFile;
    int fMenuDisp = 0;
    int fDufaultTab = 1;
    int fCmdOutpStr = 0;
    int OkColor = static_cast<int>(0x8000000Fu);
    int NgColor = 0x000000FF;
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
