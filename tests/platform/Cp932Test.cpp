#include "platform/Cp932.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace
{

struct TextCase {
    const char16_t *text;
    QByteArray bytes;
};

} // namespace

TEST(Cp932Test, JapaneseTextConvertsToItsCp932BytesAndBack)
{
    const std::vector<TextCase> cases = {
        {u"KV8 demo", QByteArray("KV8 demo")},
        {u"\\~", QByteArray("\\~")}, // ASCII stays ASCII: no yen sign, no overline
        {u"ｶｰﾄﾞ", bytesOf({0xB6, 0xB0, 0xC4, 0xDE})},
        {u"ＫＶ８シリーズ",
         bytesOf({0x82, 0x6A, 0x82, 0x75, 0x82, 0x57, 0x83, 0x56, 0x83, 0x8A, 0x81, 0x5B, 0x83, 0x59})},
        {u"表示", bytesOf({0x95, 0x5C, 0x8E, 0xA6})}, // a trail byte that is a backslash
        {u"～①", bytesOf({0x81, 0x60, 0x87, 0x40})},  // Windows' own mappings
        {u"確認 はい(&Y)", bytesOf({0x8A, 0x6D, 0x94, 0x46, 0x20, 0x82, 0xCD, 0x82, 0xA2, 0x28, 0x26, 0x59, 0x29})},
    };
    for (const TextCase &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(hexOf(unicodeToCp932(text)), hexOf(c.bytes)) << text.toStdString();
        EXPECT_EQ(cp932ToUnicode(c.bytes), text);
        EXPECT_EQ(cp932Length(text), c.bytes.size()) << text.toStdString();
    }
}

TEST(Cp932Test, CharactersWithoutCp932FormBecomeQuestionMarks)
{
    EXPECT_EQ(unicodeToCp932(QString::fromUtf16(u"aé€b")), QByteArray("a??b"));
    EXPECT_EQ(unicodeToCp932(QString::fromUtf16(u"日😀本")), bytesOf({0x93, 0xFA, '?', 0x96, 0x7B}));
    EXPECT_EQ(cp932Length(QString::fromUtf16(u"é日")), 3);
}

// A cut keeps whole characters: a double-byte one that would not fit is left out, and a
// character outside the BMP (one '?') is never split between its two halves.
TEST(Cp932Test, PrefixKeepsWholeCharactersWithinTheByteCount)
{
    const QString text = QString::fromUtf16(u"a日😀b");
    EXPECT_EQ(cp932Prefix(text, 2), QStringLiteral("a"));
    EXPECT_EQ(cp932Prefix(text, 3), QString::fromUtf16(u"a日"));
    EXPECT_EQ(cp932Prefix(text, 4), QString::fromUtf16(u"a日😀"));
    EXPECT_EQ(cp932Prefix(text, 9), text);
    EXPECT_EQ(cp932Prefix(text, 0), QString());
}

TEST(Cp932Test, BrokenBytesDecodeToOneReplacementCharacterEach)
{
    const QChar bad(0xFFFD);
    EXPECT_EQ(cp932ToUnicode(bytesOf({'A', 0x80, 'B'})), QString("A") + bad + "B");
    EXPECT_EQ(cp932ToUnicode(bytesOf({0x81, 0x20, 'x'})), QString(bad) + " x"); // bad trail byte is read again
    EXPECT_EQ(cp932ToUnicode(bytesOf({0x93, 0xFA, 0x82})), QString::fromUtf16(u"日") + bad); // cut off at the end
    EXPECT_EQ(cp932ToUnicode(bytesOf({0xFD, 0xFE, 0xFF})), QString(3, bad));
}

TEST(Cp932Test, ConversionsRunInParallelThreadsGiveTheSameResults)
{
    const QString text = QString::fromUtf16(u"ﾃｽﾄ 日本語テキスト ～ é");
    const QByteArray expected = unicodeToCp932(text);
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i) {
                if (unicodeToCp932(text) != expected || cp932ToUnicode(expected) != QString(text).replace(u'é', u'?'))
                    ++mismatches[t];
            }
        });
    }
    for (std::thread &th : threads)
        th.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}
