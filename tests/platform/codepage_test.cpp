// The two code pages: selection, classes, case mapping and the multibyte primitives.
#include "harness/harness.h"
#include "platform/codepage.h"

using namespace brtl_test;
namespace platform = brtl::platform;

namespace {
class CodePageTest : public RuntimeTest {};
} // namespace

TEST_F(CodePageTest, SelectionByName) {
    EXPECT_STREQ(brtl_getlocale(), "C");
    EXPECT_EQ(platform::mb_cur_max(), 1);
    EXPECT_EQ(brtl_setlocale("Ja_JP"), 0);
    EXPECT_STREQ(brtl_getlocale(), "Ja_JP");
    EXPECT_EQ(platform::mb_cur_max(), 2);
    EXPECT_EQ(brtl_setlocale("fr_FR"), -1);
    EXPECT_STREQ(brtl_getlocale(), "Ja_JP"); // unchanged by an unknown name
    EXPECT_EQ(brtl_setlocale(nullptr), -1);
    EXPECT_EQ(brtl_setlocale("C"), 0);
    EXPECT_EQ(platform::mb_cur_max(), 1);
}

TEST_F(CodePageTest, SingleBytePrimitives) {
    OLECHAR unit = 0;
    EXPECT_EQ(platform::mbtowc(&unit, "\xE9", 1), 1);
    EXPECT_EQ(unit, 0xE9);
    EXPECT_EQ(platform::mbtowc(&unit, "", 1), 0);
    EXPECT_EQ(platform::mblen("\x82\xA0", 2), 1);
    EXPECT_EQ(platform::mblen("", 2), 0);
    char out[2];
    EXPECT_EQ(platform::wctomb(out, 0xFF), 1);
    EXPECT_EQ(static_cast<unsigned char>(out[0]), 0xFF);
    EXPECT_EQ(platform::wctomb(out, 0x100), -1);
    EXPECT_FALSE(platform::is_lead_byte(0x82));
}

TEST_F(CodePageTest, DoubleBytePrimitives) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    OLECHAR unit = 0;
    EXPECT_TRUE(platform::is_lead_byte(0x81));
    EXPECT_TRUE(platform::is_lead_byte(0xFC));
    EXPECT_FALSE(platform::is_lead_byte(0xA0));
    EXPECT_FALSE(platform::is_lead_byte(0xFD));
    EXPECT_EQ(platform::mbtowc(&unit, "\x82\xA0", 2), 2);
    EXPECT_EQ(unit, 0x3042);
    EXPECT_EQ(platform::mbtowc(&unit, "\x82\xA0", 1), -1); // incomplete
    EXPECT_EQ(platform::mblen("\x82\xA0", 2), 2);
    EXPECT_EQ(platform::mblen("\x82", 2), -1);
    EXPECT_EQ(platform::mblen("\x82\x7F", 2), -1); // 0x7F is no trail byte
    char out[2];
    EXPECT_EQ(platform::wctomb(out, 0xFF71), 1);
    EXPECT_EQ(static_cast<unsigned char>(out[0]), 0xB1);
    EXPECT_EQ(platform::wctomb(out, 0x3000), 2);
    EXPECT_EQ(std::string(out, 2), "\x81\x40");
    EXPECT_EQ(platform::wctomb(out, 0x20AC), -1); // the euro sign is not in the code page
}

TEST_F(CodePageTest, ByteClassesAreAsciiInBothCodePages) {
    for (const char *name : {"C", "Ja_JP"}) {
        ASSERT_EQ(brtl_setlocale(name), 0);
        EXPECT_TRUE(platform::is_upper('Q'));
        EXPECT_FALSE(platform::is_upper(0xC9)); // no Latin-1 letters
        EXPECT_TRUE(platform::is_lower('q'));
        EXPECT_TRUE(platform::is_digit('7'));
        EXPECT_FALSE(platform::is_digit(0xB2));
        EXPECT_TRUE(platform::is_xdigit('f'));
        EXPECT_FALSE(platform::is_xdigit('g'));
        EXPECT_TRUE(platform::is_space('\t'));
        EXPECT_TRUE(platform::is_punct('#'));
        EXPECT_EQ(platform::to_lower('A'), 'a');
        EXPECT_EQ(platform::to_upper('z'), 'Z');
        EXPECT_EQ(platform::to_upper(0xE9), 0xE9);
    }
}

TEST_F(CodePageTest, WideCaseMappingCoversAsciiUnderCAndTheCodePagesLettersUnderJa) {
    EXPECT_EQ(platform::tow_upper(u'a'), u'A');
    EXPECT_EQ(platform::tow_upper(0xE9), 0xE9);
    EXPECT_EQ(platform::tow_lower(0xFF21), 0xFF21);
    EXPECT_FALSE(platform::isw_digit(0xFF11));
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    EXPECT_EQ(platform::tow_lower(0xFF21), 0xFF41); // full-width A
    EXPECT_EQ(platform::tow_upper(0xFF41), 0xFF21);
    EXPECT_EQ(platform::tow_lower(0x0391), 0x03B1); // Greek Alpha
    EXPECT_EQ(platform::tow_upper(0x0451), 0x0401); // Cyrillic io
    EXPECT_EQ(platform::tow_upper(0x3042), 0x3042); // kana have no case
    EXPECT_TRUE(platform::isw_upper(0x0410));
    EXPECT_TRUE(platform::isw_lower(0x0430));
    EXPECT_TRUE(platform::isw_digit(0xFF11));
}

TEST_F(CodePageTest, CharLengthIsBoundedByTheBytesAvailableAndReportsValidity) {
    struct Row {
        const char *locale;
        const char *text;
        size_t available;
        size_t length;
        bool valid;
    };
    const Row rows[] = {
        {"C", "\x82\xA0", 2, 1, true},      // no lead bytes in the single-byte code page
        {"C", "", 2, 1, true},              // a NUL is a character of one byte
        {"Ja_JP", "\x82\xA0", 2, 2, true},  // a double-byte character
        {"Ja_JP", "\x82\xA0", 1, 1, false}, // cut off by the bound
        {"Ja_JP", "\x82\x7F", 2, 1, false}, // no trail byte
        {"Ja_JP", "\x82", 2, 1, false},     // cut off by the NUL
        {"Ja_JP", "a\x82", 2, 1, true},
        {"Ja_JP", "", 2, 1, true},
    };
    for (const Row &row : rows) {
        ASSERT_EQ(brtl_setlocale(row.locale), 0);
        bool valid = !row.valid;
        EXPECT_EQ(platform::char_length(row.text, row.available, &valid), row.length) << row.text;
        EXPECT_EQ(valid, row.valid) << row.locale << " " << row.text;
        EXPECT_EQ(platform::char_length(row.text, row.available), row.length);
    }
}
