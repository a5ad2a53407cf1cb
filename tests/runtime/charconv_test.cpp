// Character conversions and lengths under both code pages.
#include <string>
#include <tuple>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

using CharConvTest = RuntimeTest;

std::u16string to_wide(const std::string &bytes, uint32_t n) {
    uint32_t count = 99;
    OLECHAR *w = ZbiCharToWide(bytes.data(), n, &count);
    std::u16string units(reinterpret_cast<char16_t *>(w), count);
    EXPECT_EQ(w[count], 0) << "NUL unit after the text";
    ZrFree(w);
    return units;
}
std::u16string to_wide(const std::string &bytes) {
    return to_wide(bytes, static_cast<uint32_t>(bytes.size()));
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

// HIRAGANA LETTER A (0x82A0) and IDEOGRAPHIC SPACE (0x8140).
const std::string kTwoKana = "\x82\xA0\x81\x40";

} // namespace

TEST_F(CharConvTest, ConversionsUnderBothCodePages) {
    // "C": each byte is the unit of the same value, embedded NULs included; a unit beyond a byte
    // is "?". Zero-length conversions still allocate; a null BSTR is the empty text.
    EXPECT_EQ(to_wide(std::string("A\xE9\xFF\0b", 5)), (std::u16string{u'A', 0xE9, 0xFF, 0, u'b'}));
    EXPECT_EQ(to_multibyte(std::u16string{u'A', 0xE9, 0, u'b', 0x3042}),
              std::string("A\xE9\0b?", 5));
    BlockBalance balance;
    uint32_t count = 7;
    OLECHAR *w = ZbiCharToOle("ignored", 0, &count);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(count, 0u);
    ZrFree(w);
    VARIANT v = bstr_variant("Hello");
    for (BSTR b : {v.bstrVal, BSTR{}}) {
        char *m = ZbiOleToChar(b, &count);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(std::string(m, count), b ? "Hello" : "");
        ZrFree(m);
    }
    VariantClear(&v);
    EXPECT_EQ(balance.delta(), 0);
    // Code page 932: double-byte characters and half-width katakana (0xB1) round-trip; 0x5C is
    // the backslash, 0x815F the full-width one, 0x8160 the full-width tilde, 0xF040 starts the
    // user-defined area, 0x80 and 0xA0 are single bytes; a bad trail byte, a lone lead byte at
    // the end, an unmapped pair and a lead byte whose trail lies beyond the count each give one
    // "?" and the walk goes on at the next byte.
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    const std::string text = "A" + kTwoKana + "\xB1z";
    EXPECT_EQ(to_wide(text), (std::u16string{u'A', 0x3042, 0x3000, 0xFF71, u'z'}));
    EXPECT_EQ(to_multibyte(to_wide(text)), text);
    EXPECT_EQ(to_wide("\x5C\x81\x5F\x81\x60\xF0\x40\x80\xA0"),
              (std::u16string{0x5C, 0xFF3C, 0xFF5E, 0xE000, 0x0080, 0xF8F0}));
    EXPECT_EQ(to_wide("\x82\x20z"
                      "a\x82"),
              (std::u16string{u'?', u' ', u'z', u'a', u'?'}));
    EXPECT_EQ(to_wide("\x85\x40"), (std::u16string{u'?', u'@'}));
    EXPECT_EQ(to_wide("a\x82\xA0", 2), (std::u16string{u'a', u'?'}));
    // NEC and IBM duplicates convert back to one preferred form; no Latin-1 letters.
    EXPECT_EQ(to_multibyte(u"\u2252\u00E9\u3042"), "\x81\xE0?\x82\xA0");
}

TEST_F(CharConvTest, ConversionsWithoutMemoryReturnNullAndNoTrap) {
    uint32_t count = 7;
    fail_allocations_after(0);
    EXPECT_EQ(ZbiCharToWide("abc", 3, &count), nullptr);
    EXPECT_EQ(count, 0u);
    fail_allocations_after(0);
    EXPECT_EQ(ZbiWideToChar(reinterpret_cast<const OLECHAR *>(u"ab"), 2, &count), nullptr);
    EXPECT_TRUE(traps().empty());
}

TEST_F(CharConvTest, LengthsInBytesAndCharacters) {
    // {code page, text, n, characters starting within n bytes, bytes of the characters that
    // start within n, ZbiCharLen of the text}: under "C" every byte is a character; under code
    // page 932 a character that straddles byte n is taken whole.
    const std::tuple<const char *, const char *, uint32_t, uint32_t, uint32_t, int32_t> rows[] = {
        {"C", "abc", 3, 3, 3, 1},
        {"C", "abc", 0, 0, 0, 1},
        {"C", "\x82\xA0\x81\x40", 3, 3, 3, 1},
        {"C", "", 0, 0, 0, 1},
        {"Ja_JP", "\x82\xA0\x81\x40", 4, 2, 4, 2},
        {"Ja_JP", "\x82\xA0\x81\x40", 3, 2, 4, 2},
        {"Ja_JP", "\x82\xA0\x81\x40", 1, 1, 2, 2},
        {"Ja_JP", "\x82\xA0\x81\x40", 2, 1, 2, 2},
        {"Ja_JP", "a\x82\xA0z", 4, 3, 4, 1},
        {"Ja_JP", "\x82\x20", 2, 2, 2, 1},
        {"Ja_JP", "\x82", 0, 0, 0, 1},
        {"Ja_JP", "ab", 0, 0, 0, 1}};
    for (auto [code_page, text, n, chars, bytes, char_len] : rows) {
        SCOPED_TRACE(testing::Message()
                     << code_page << ": " << n << " of " << std::string(text).size() << " bytes");
        ASSERT_EQ(brtl_setlocale(code_page), 0);
        EXPECT_EQ(ZbiStrCharLen(text, n), chars);
        EXPECT_EQ(ZbiStrByteLen(text, n), bytes);
        EXPECT_EQ(ZbiCharLen(text), char_len);
    }
}
