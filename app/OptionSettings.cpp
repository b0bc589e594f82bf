#include "app/OptionSettings.h"

#include "platform/IniFile.h"
#include "platform/SettingsFile.h"

namespace
{

const QString section = QStringLiteral("Option");

#define FIELD(member) [](OptionSettings &s) -> void * { return &s.member; }

// clang-format off
const OptionKey keys[] = {
    {"ComPort",           OptionKey::Int,     true,  1,     nullptr, FIELD(ComPort)},
    {"ComSpeed",          OptionKey::Int,     true,  0,     nullptr, FIELD(ComSpeed)},
    {"UseUSB",            OptionKey::Int,     true,  0,     nullptr, FIELD(UseUSB)},
    {"TCPPort",           OptionKey::Int,     true,  3335,  nullptr, FIELD(TcpLinkParam.TCPPort)},
    {"fTCPServer",        OptionKey::Int,     true,  1,     nullptr, FIELD(TcpLinkParam.fTCPServer)},
    {"TCPServPort",       OptionKey::Int,     true,  10777, nullptr, FIELD(TcpLinkParam.TCPServPort)},
    {"TCPServAddr",       OptionKey::Text,    true,  0,     "192.168.0.100", FIELD(TcpLinkParam.TCPServAddr)},
    {"fUseGrobalIP",      OptionKey::Int,     true,  0,     nullptr, FIELD(fUseGrobalIP)},
    {"UidFlag",           OptionKey::IntLow8, true,  0,     nullptr, FIELD(UidFlag)},
    {"ReadOptionFlag",    OptionKey::Int,     true,  0,     nullptr, FIELD(ReadOptionFlag)},
    {"ReadUidFlag",       OptionKey::Int,     true,  0,     nullptr, FIELD(ReadUidFlag)},
    {"WriteOptionFlag",   OptionKey::Int,     true,  1,     nullptr, FIELD(WriteOptionFlag)},
    {"WriteUidFlag",      OptionKey::Int,     true,  0,     nullptr, FIELD(WriteUidFlag)},
    {"EnabLockBlock",     OptionKey::Int,     true,  0,     nullptr, FIELD(EnabLockBlock)},
    {"S6700Conf",         OptionKey::Byte,    true,  212,   nullptr, FIELD(S6700Conf)},
    {"TagDataNum",        OptionKey::Word,    true,  10,    nullptr, FIELD(TagDataNum)},
    {"TagDataStr",        OptionKey::Text,    true,  0,     "",      FIELD(TagDataStr)},
    {"SysMode",           OptionKey::Byte,    true,  0,     nullptr, FIELD(SysMode)},
    {"Cmdmode",           OptionKey::Byte,    true,  0,     nullptr, FIELD(Cmdmode)},
    {"PolingTime",        OptionKey::Word,    true,  5,     nullptr, FIELD(PolingTime)},
    {"fInventory2",       OptionKey::Int,     true,  1,     nullptr, FIELD(fInventory2)},
    {"TagBlockSize",      OptionKey::Int,     true,  4,     nullptr, FIELD(TagBlockSize)},
    {"fUseInOutFormat",   OptionKey::Int,     true,  1,     nullptr, FIELD(fUseInOutFormat)},
    {"InCode",            OptionKey::Int,     true,  0,     nullptr, FIELD(InCode)},
    {"OutCode",           OptionKey::Int,     true,  1,     nullptr, FIELD(OutCode)},
    {"InOutTitle",        OptionKey::Text,    true,  0,     "入／出", FIELD(InOutTitle)},
    {"InString",          OptionKey::Text,    true,  0,     "入",    FIELD(InString)},
    {"OutString",         OptionKey::Text,    true,  0,     "出",    FIELD(OutString)},
    {"InOutMode",         OptionKey::Int,     true,  1,     nullptr, FIELD(InOutMode)},
    {"fBinaryWrite",      OptionKey::Int,     true,  0,     nullptr, FIELD(fBinaryWrite)},
    {"fTimeOut",          OptionKey::Int,     true,  0,     nullptr, FIELD(fTimeOut)},
    {"fBarCodeReader",    OptionKey::Int,     true,  0,     nullptr, FIELD(fBarCodeReader)},
    {"fAllEEPROMSet",     OptionKey::Int,     true,  0,     nullptr, FIELD(fAllEEPROMSet)},
    {"KVIFName",          OptionKey::Text,    true,  0,     "",      FIELD(KVIFName)},
    {"EAS_ON_VALUE",      OptionKey::Byte,    true,  49,    nullptr, FIELD(EAS_ON_VALUE)},
    {"EAS_OFF_VALUE",     OptionKey::Byte,    true,  48,    nullptr, FIELD(EAS_OFF_VALUE)},
    {"PassData[0]",       OptionKey::Byte,    true,  0,     nullptr, FIELD(PassData[0])},
    {"PassData[1]",       OptionKey::Byte,    true,  0,     nullptr, FIELD(PassData[1])},
    {"PassData[2]",       OptionKey::Byte,    true,  0,     nullptr, FIELD(PassData[2])},
    {"PassData[3]",       OptionKey::Byte,    true,  0,     nullptr, FIELD(PassData[3])},
    {"TagWriteNum",       OptionKey::Int,     true,  200,   nullptr, FIELD(TagWriteNum)},
    {"fUseInv16SlotsCmd", OptionKey::Int,     true,  0,     nullptr, FIELD(fUseInv16SlotsCmd)},
    {"fVER121",           OptionKey::Int,     true,  1,     nullptr, FIELD(fVER121)},
    {"fP310",             OptionKey::Int,     true,  0,     nullptr, FIELD(fP310)},
    {"fGateCmd",          OptionKey::Int,     true,  0,     nullptr, FIELD(fGateCmd)},
    {"fCommComand",       OptionKey::Int,     true,  0,     nullptr, FIELD(fCommComand)},
    {"fDebug1",           OptionKey::Int,     true,  0,     nullptr, FIELD(fDebug1)},
    {"fTagTest1",         OptionKey::Int,     false, 0,     nullptr, FIELD(fTagTest1)},
    {"fUSESetOption",     OptionKey::Int,     true,  0,     nullptr, FIELD(fUSESetOption)},
    {"Prog15693FLAG",     OptionKey::Byte,    true,  0,     nullptr, FIELD(Prog15693FLAG)},
    {"fInvTxOff",         OptionKey::Int,     true,  0,     nullptr, FIELD(fInvTxOff)},
    {"fDispEXTSet1",      OptionKey::Int,     true,  0,     nullptr, FIELD(fDispEXTSet1)},
    {"fSetBuzFreq",       OptionKey::Int,     true,  0,     nullptr, FIELD(fSetBuzFreq)},
    {"fCustomCmd1",       OptionKey::Int,     true,  0,     nullptr, FIELD(fCustomCmd1)},
    {"fM750",             OptionKey::Int,     true,  0,     nullptr, FIELD(fM750)},
    {"fM750Cmd",          OptionKey::Int,     false, 0,     nullptr, FIELD(fM750Cmd)},
    {"M740LogFile",       OptionKey::Text,    false, 0,     "",      FIELD(M740LogFile)},
    {"M750LogFile",       OptionKey::Text,    false, 0,     "",      FIELD(M750LogFile)},
    {"fMenuDisp",         OptionKey::Int,     false, 0,     nullptr, FIELD(fMenuDisp)},
    {"fDufaultTab",       OptionKey::Int,     true,  1,     nullptr, FIELD(fDufaultTab)},
    {"fCmdOutpStr",       OptionKey::Int,     true,  0,     nullptr, FIELD(fCmdOutpStr)},
    {"OkColor",           OptionKey::Int,     true,  static_cast<int>(0x8000000Fu), nullptr, FIELD(OkColor)},
    {"NgColor",           OptionKey::Int,     true,  0x000000FF, nullptr, FIELD(NgColor)},
};
// clang-format on

#undef FIELD

} // namespace

const OptionKey *optionKeys(int *count)
{
    *count = static_cast<int>(std::size(keys));
    return keys;
}

namespace
{

// Puts one key's value into its field, cut to the field's width. Whatever the file says,
// start-up takes the LAN road and the M750 menu is shown.
void store(const OptionKey &k, OptionSettings &s, int number, const QString &text)
{
    void *field = k.field(s);
    switch (k.kind) {
    case OptionKey::Int:
        *static_cast<int *>(field) = number;
        break;
    case OptionKey::IntLow8:
        *static_cast<int *>(field) = number & 0xFF;
        break;
    case OptionKey::Byte:
        *static_cast<uint8_t *>(field) = static_cast<uint8_t>(number);
        break;
    case OptionKey::Word:
        *static_cast<uint16_t *>(field) = static_cast<uint16_t>(number);
        break;
    case OptionKey::Text:
        *static_cast<QString *>(field) = text;
        break;
    }
    if (field == &s.UseUSB)
        s.UseUSB = 2;
    else if (field == &s.fM750)
        s.fM750 = 1;
}

} // namespace

OptionSettings::OptionSettings()
{
    for (const OptionKey &k : keys)
        store(k, *this, k.intDefault, QString::fromUtf8(k.textDefault));
}

void readOptionSection(const IniFile &ini, OptionSettings &s)
{
    for (const OptionKey &k : keys) {
        const QString name = QString::fromLatin1(k.name);
        if (k.kind == OptionKey::Text)
            store(k, s, 0, ini.ReadString(section, name, QString::fromUtf8(k.textDefault)));
        else
            store(k, s, ini.ReadInteger(section, name, k.intDefault), QString());
    }
}

void writeOptionSection(IniFile &ini, const OptionSettings &s)
{
    // The table hands out writable fields; a copy keeps the caller's settings untouched.
    OptionSettings fields = s;
    for (const OptionKey &k : keys) {
        if (!k.written)
            continue;
        const QString name = QString::fromLatin1(k.name);
        const void *field = k.field(fields);
        switch (k.kind) {
        case OptionKey::Int:
        case OptionKey::IntLow8:
            ini.WriteInteger(section, name, *static_cast<const int *>(field));
            break;
        case OptionKey::Byte:
            ini.WriteInteger(section, name, *static_cast<const uint8_t *>(field));
            break;
        case OptionKey::Word:
            ini.WriteInteger(section, name, *static_cast<const uint16_t *>(field));
            break;
        case OptionKey::Text:
            ini.WriteString(section, name, *static_cast<const QString *>(field));
            break;
        }
    }
}

void LoadSettings(const QString &path, OptionSettings &s)
{
    const IniFile ini(path);
    readOptionSection(ini, s);
}

void SaveSettings(const QString &path, const OptionSettings &s)
{
    if (!prepareSettingsFileForWrite(path))
        return;
    IniFile ini(path);
    writeOptionSection(ini, s);
    ini.UpdateFile();
}
