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

// The English texts and the Japanese range texts are checked where the controls raise them.
TEST(ControlMessagesTest, TheJapaneseTextsAreTheSystemsOwn)
{
    setMessageLanguageForTest(true);
    EXPECT_EQ(ControlMessages::rangeAbove("-5"), u"入力範囲は -5 以上です"_qs);
    EXPECT_EQ(ControlMessages::accessError("EdIp1", "Integer"),
              u"項目 'EdIp1' を Integer 型としてｱｸｾｽすることはできません"_qs);
    EXPECT_EQ(ControlMessages::invalidSelectList("A,B"), u"無効文字列です (A,B)"_qs);
    EXPECT_EQ(ControlMessages::invalidCharRead("Ed", "~"), u"無効文字です (Ed : ~)"_qs);
    EXPECT_EQ(ControlMessages::invalidCharWrite("Ed", "~"), u"無効文字です (Ed : ~)"_qs);
    EXPECT_EQ(ControlMessages::invalidSelectStr("Ed"), u"SelectStrが不正です (Ed)"_qs);
    setMessageLanguageForTest(false);
    EXPECT_EQ(ControlMessages::rangeBelow("1,000"), u"Range : Below 1,000"_qs);
    resetMessageLanguageForTest();
}
