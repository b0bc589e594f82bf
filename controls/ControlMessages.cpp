#include "controls/ControlMessages.h"

#include <QLocale>

#include <optional>

namespace
{

std::optional<bool> forcedLanguage;

bool systemIsJapanese()
{
    static const bool japanese = QLocale::system().language() == QLocale::Japanese;
    return japanese;
}

QString pick(const char *japanese, const char *english)
{
    return messagesInJapanese() ? QString::fromUtf8(japanese) : QString::fromUtf8(english);
}

} // namespace

bool messagesInJapanese()
{
    if (forcedLanguage)
        return *forcedLanguage;
    return systemIsJapanese();
}

void setMessageLanguageForTest(bool japanese)
{
    forcedLanguage = japanese;
}

void resetMessageLanguageForTest()
{
    forcedLanguage.reset();
}

namespace ControlMessages
{

QString rangeBoth(const QString &minValue, const QString &maxValue)
{
    if (messagesInJapanese())
        return QStringLiteral("入力範囲は ") + minValue + QStringLiteral(" ～ ") + maxValue + QStringLiteral(" です");
    return QStringLiteral("Range : ") + minValue + QStringLiteral(" - ") + maxValue;
}

QString rangeAbove(const QString &minValue)
{
    if (messagesInJapanese())
        return QStringLiteral("入力範囲は ") + minValue + QStringLiteral(" 以上です");
    return QStringLiteral("Range : Above ") + minValue;
}

QString rangeBelow(const QString &maxValue)
{
    if (messagesInJapanese())
        return QStringLiteral("入力範囲は ") + maxValue + QStringLiteral(" 以下です");
    return QStringLiteral("Range : Below ") + maxValue;
}

QString invalidInput()
{
    return pick("不正な入力です", "Invalid input");
}

QString accessError(const QString &controlName, const QString &typeWord)
{
    return pick("項目 '%1' を %2 型としてｱｸｾｽすることはできません", "Item '%1' cannot access as %2.")
        .arg(controlName, typeWord);
}

QString invalidSelectList(const QString &listText)
{
    return pick("無効文字列です (%1)", "Invalid AnsiString (%1)").arg(listText);
}

QString invalidCharRead(const QString &controlName, const QString &character)
{
    return pick("無効文字です (%1 : %2)", "Invalid char (%1 : %2)").arg(controlName, character);
}

QString invalidCharWrite(const QString &controlName, const QString &character)
{
    return pick("無効文字です (%1 : %2)", "Invalid Char (%1 : %2)").arg(controlName, character);
}

QString invalidSelectStr(const QString &controlName)
{
    return pick("SelectStrが不正です (%1)", "Invalid SelectStr (%1)").arg(controlName);
}

} // namespace ControlMessages
