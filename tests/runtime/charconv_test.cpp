// Character conversions and lengths under both code pages.
#include <string>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

class CharConvTest : public RuntimeTest {
  protected:
    std::u16string to_wide(const std::string &bytes) {
        uint32_t count = 99;
        OLECHAR *w = ZbiCharToWide(bytes.data(), static_cast<uint32_t>(bytes.size()), &count);
        std::u16string units(reinterpret_cast<char16_t *>(w), count);
        EXPECT_EQ(w[count], 0) << "NUL unit after the text";
        ZrFree(w);
        return units;
    }
    std::string to_multibyte(const std::u16string &units) {
        uint32_t bytes = 99;
        char *m = ZbiWideToChar(reinterpret_cast<const OLECHAR *>(units.data()),
                                static_cast<uint32_t>(units.size()), &bytes);
        std::string text(m, bytes);
        EXPECT_EQ(m[bytes], '\0');
        ZrFree(m);
        return text;
    }
};

// Two double-byte characters: HIRAGANA LETTER A (0x82A0) and IDEOGRAPHIC SPACE (0x8140).
const std::string kTwoKana = "\x82\xA0\x81\x40";

} // namespace

TEST_F(CharConvTest, SingleByteCodePageMapsEachByteToTheSameUnit) {
    EXPECT_EQ(to_wide("A\xE9\xFF"), (std::u16string{u'A', 0xE9, 0xFF}));
    EXPECT_EQ(to_multibyte(u"A\u00E9"), "A\xE9");
}

TEST_F(CharConvTest, SingleByteCodePageWritesAQuestionMarkForUnitsBeyondAByte) {
    EXPECT_EQ(to_multibyte(u"x\u3042y"), "x?y");
}

TEST_F(CharConvTest, EmbeddedNulByteBecomesANulUnit) {
    EXPECT_EQ(to_wide(std::string("a\0b", 3)), (std::u16string{u'a', 0, u'b'}));
    EXPECT_EQ(to_multibyte(std::u16string{u'a', 0, u'b'}), std::string("a\0b", 3));
}

TEST_F(CharConvTest, ZeroLengthConversionsStillAllocate) {
    BlockBalance balance;
    uint32_t count = 7;
    OLECHAR *w = ZbiCharToOle("ignored", 0, &count);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(w[0], 0);
    ZrFree(w);
    uint32_t bytes = 7;
    char *m = ZbiWideToChar(nullptr, 0, &bytes);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(bytes, 0u);
    ZrFree(m);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(CharConvTest, ConversionsWithoutMemoryReturnNull) {
    uint32_t count = 7;
    fail_allocations_after(0);
    EXPECT_EQ(ZbiCharToWide("abc", 3, &count), nullptr);
    EXPECT_EQ(count, 0u);
    fail_allocations_after(0);
    EXPECT_EQ(ZbiWideToChar(reinterpret_cast<const OLECHAR *>(u"ab"), 2, &count), nullptr);
    EXPECT_TRUE(traps().empty()); // the helpers report by their result, not by a trap
}

TEST_F(CharConvTest, OleToCharConvertsAWholeBstr) {
    VARIANT v = bstr_variant("Hello");
    uint32_t bytes = 0;
    char *m = ZbiOleToChar(v.bstrVal, &bytes);
    EXPECT_EQ(std::string(m, bytes), "Hello");
    ZrFree(m);
    m = ZbiOleToChar(nullptr, &bytes); // a null BSTR is the empty text
    EXPECT_EQ(bytes, 0u);
    ZrFree(m);
    VariantClear(&v);
}

TEST_F(CharConvTest, SingleByteLengthsCountBytes) {
    EXPECT_EQ(ZbiStrCharLen("abc", 3), 3u);
    EXPECT_EQ(ZbiStrCharLen("abc", 0), 0u);
    EXPECT_EQ(ZbiStrByteLen("abc", 2), 2u);
    EXPECT_EQ(ZbiStrByteLen(kTwoKana.c_str(), 3), 3u); // no lead bytes under "C"
    EXPECT_EQ(ZbiCharLen("\x82\xA0"), 1);
    EXPECT_EQ(ZbiCharLen(""), 1);
}

TEST_F(CharConvTest, DoubleByteCharLenCountsCharactersStartingWithinTheCount) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    EXPECT_EQ(ZbiStrCharLen(kTwoKana.c_str(), 4), 2u);
    EXPECT_EQ(ZbiStrCharLen(kTwoKana.c_str(), 3), 2u);
    EXPECT_EQ(ZbiStrCharLen(kTwoKana.c_str(), 1), 1u);
    EXPECT_EQ(ZbiStrCharLen("a\x82\xA0z", 4), 3u);
}

TEST_F(CharConvTest, DoubleByteByteLenTakesAStraddlingCharacterWhole) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    EXPECT_EQ(ZbiStrByteLen(kTwoKana.c_str(), 3), 4u);
    EXPECT_EQ(ZbiStrByteLen(kTwoKana.c_str(), 4), 4u);
    EXPECT_EQ(ZbiStrByteLen(kTwoKana.c_str(), 1), 2u);
    EXPECT_EQ(ZbiStrByteLen(kTwoKana.c_str(), 2), 2u);
    EXPECT_EQ(ZbiStrByteLen("ab", 0), 0u);
    EXPECT_EQ(ZbiCharLen(kTwoKana.c_str()), 2);
    EXPECT_EQ(ZbiCharLen("a"), 1);
}

TEST_F(CharConvTest, DoubleByteConversionRoundTrips) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    std::string text = "A" + kTwoKana +
                       "\xB1"
                       "z"; // 0xB1 is a half-width katakana
    std::u16string wide = to_wide(text);
    EXPECT_EQ(wide, (std::u16string{u'A', 0x3042, 0x3000, 0xFF71, u'z'}));
    EXPECT_EQ(to_multibyte(wide), text);
}

TEST_F(CharConvTest, CodePage932SpecificMappings) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    // 0x5C is the backslash, 0x815F the full-width one; 0x8160 is the full-width tilde;
    // 0xF040 starts the user-defined area; 0x80 and 0xA0 are single bytes of the code page.
    EXPECT_EQ(to_wide("\x5C\x81\x5F\x81\x60\xF0\x40\x80\xA0"),
              (std::u16string{0x5C, 0xFF3C, 0xFF5E, 0xE000, 0x0080, 0xF8F0}));
    // NEC and IBM duplicates convert back to one preferred form.
    EXPECT_EQ(to_multibyte(u"\u2252"), "\x81\xE0");
    EXPECT_EQ(to_multibyte(u"\u00E9"), "?"); // no such character in the code page
}

TEST_F(CharConvTest, InvalidSequencesAdvanceOneByteAndNeverPassTheLength) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    // A lead byte followed by an invalid trail byte, a lone lead byte at the end, and an
    // unmapped pair: each bad byte becomes one "?" unit.
    EXPECT_EQ(to_wide("\x82\x20z"), (std::u16string{u'?', u' ', u'z'}));
    EXPECT_EQ(to_wide("a\x82"), (std::u16string{u'a', u'?'}));
    EXPECT_EQ(to_wide(std::string("\x85\x40", 2)), (std::u16string{u'?', u'@'}));
    // A lead byte whose trail lies beyond the count is not read.
    std::string cut = "a\x82\xA0";
    uint32_t count = 0;
    OLECHAR *w = ZbiCharToWide(cut.c_str(), 2, &count);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(w[1], u'?');
    ZrFree(w);
    EXPECT_EQ(ZbiStrCharLen("\x82\x20", 2), 2u);
    EXPECT_EQ(ZbiCharLen("\x82"), 1);
}

TEST_F(CharConvTest, MaxCharLengthFollowsTheCodePage) {
    uint32_t bytes = 0;
    char *m = ZbiWideToChar(reinterpret_cast<const OLECHAR *>(u"\u3042\u3042"), 2, &bytes);
    EXPECT_EQ(bytes, 2u); // "??" under "C"
    ZrFree(m);
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    m = ZbiWideToChar(reinterpret_cast<const OLECHAR *>(u"\u3042\u3042"), 2, &bytes);
    EXPECT_EQ(std::string(m, bytes), "\x82\xA0\x82\xA0");
    ZrFree(m);
}
