#include "controls/ControlMessages.h"

#include <gtest/gtest.h>

namespace
{

// What the environment asks for, read the way the system locale is on this platform.
bool environmentAsksForJapanese()
{
    for (const char *name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const QByteArray v = qgetenv(name);
        if (!v.isEmpty())
            return v.startsWith("ja");
    }
    return false;
}

} // namespace

// Registered a second time with LC_ALL=ja_JP.UTF-8 and LC_ALL=C.
TEST(ControlMessagesTest, LanguageFollowsTheSystemLocale)
{
    resetMessageLanguageForTest();
    if (environmentAsksForJapanese()) {
        EXPECT_TRUE(messagesInJapanese());
        EXPECT_EQ(ControlMessages::invalidInput(), QStringLiteral("不正な入力です"));
        EXPECT_EQ(ControlMessages::rangeBoth("0", "255"), QStringLiteral("入力範囲は 0 ～ 255 です"));
    } else {
        EXPECT_FALSE(messagesInJapanese());
        EXPECT_EQ(ControlMessages::invalidInput(), QStringLiteral("Invalid input"));
        EXPECT_EQ(ControlMessages::rangeBoth("0", "255"), QStringLiteral("Range : 0 - 255"));
    }
}

TEST(ControlMessagesTest, EveryMessageExistsInBothLanguages)
{
    struct Case {
        QString japanese;
        QString english;
        QString (*build)();
    };
    const Case cases[] = {
        {QStringLiteral("入力範囲は 1 ～ 0FF です"), QStringLiteral("Range : 1 - 0FF"),
         [] { return ControlMessages::rangeBoth("1", "0FF"); }},
        {QStringLiteral("入力範囲は -5 以上です"), QStringLiteral("Range : Above -5"),
         [] { return ControlMessages::rangeAbove("-5"); }},
        {QStringLiteral("入力範囲は 1,000 以下です"), QStringLiteral("Range : Below 1,000"),
         [] { return ControlMessages::rangeBelow("1,000"); }},
        {QStringLiteral("不正な入力です"), QStringLiteral("Invalid input"),
         [] { return ControlMessages::invalidInput(); }},
        {QStringLiteral("項目 'EdIp1' を Integer 型としてｱｸｾｽすることはできません"),
         QStringLiteral("Item 'EdIp1' cannot access as Integer."),
         [] { return ControlMessages::accessError("EdIp1", "Integer"); }},
        {QStringLiteral("無効文字列です (A,B)"), QStringLiteral("Invalid AnsiString (A,B)"),
         [] { return ControlMessages::invalidSelectList("A,B"); }},
        {QStringLiteral("無効文字です (Ed : ~)"), QStringLiteral("Invalid char (Ed : ~)"),
         [] { return ControlMessages::invalidCharRead("Ed", "~"); }},
        {QStringLiteral("無効文字です (Ed : ~)"), QStringLiteral("Invalid Char (Ed : ~)"),
         [] { return ControlMessages::invalidCharWrite("Ed", "~"); }},
        {QStringLiteral("SelectStrが不正です (Ed)"), QStringLiteral("Invalid SelectStr (Ed)"),
         [] { return ControlMessages::invalidSelectStr("Ed"); }},
    };
    for (const Case &c : cases) {
        setMessageLanguageForTest(true);
        EXPECT_EQ(c.build(), c.japanese);
        setMessageLanguageForTest(false);
        EXPECT_EQ(c.build(), c.english);
    }
    resetMessageLanguageForTest();
}
