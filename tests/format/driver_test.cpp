// The driver of Format: the plain conversion, the leading-space marker, string formats, strings
// that are numbers or dates, named formats, answer names, traps, and the ownership of the format
// argument with returning and throwing hooks.
#include <string>

#include "format/engine.h"
#include "format/named.h"
#include "format_fixture.h"

namespace brtl_test {
namespace {

using DriverTest = FormatTest;

VARIANT str(const char *text) {
    return bstr_variant(text);
}

TEST_F(DriverTest, PlainTextAndTheLeadingSpaceMarker) {
    // The marker spaces a number that is not negative; a string is made a number first, and a
    // Date out of range shows its serial, spaced.
    const std::string m = BI_FORMAT_LEADING_SPACE_MARKER;
    expect_formats(F{I(-123), "", "-123"}, F{L(2147483647), "", "2147483647"},
                   F{S(1.5f), "", "1.5"}, F{0.1, "", "0.1"}, F{1.5e20, "", "1.5E+20"},
                   F{1e20, "", "1E+20"}, F{-2.5e-7, "", "-2.5E-7"}, F{C(-2500), "", "-.25"},
                   F{empty_variant(), "", ""}, F{null_variant(), "", ""},
                   F{boolean(true), "", "-1"}, F{str("abc"), "", "abc"}, F{I(5), m, " 5"},
                   F{I(-5), m, "-5"}, F{C(15000), m, " 1.5"}, F{empty_variant(), m, " 0"},
                   F{str(" 12 "), m, " 12"}, F{date(kJan5), m, "01/05/96 2:07:09 PM"},
                   F{date(3e6), m, " 3000000"}, F{null_variant(), m, "", 94});
}

TEST_F(DriverTest, StringFormatsAndStringsThatAreNumbersOrDates) {
    // A number keeps its plain text under a string format; "<>" cancel; escapes decide nothing.
    expect_formats(F{5.0, "@@@@", "5"}, F{str("abc"), "@@@@@", "  abc"},
                   F{str("abc"), "!@@@@@", "abc  "}, F{str("abc"), "&&", "abc"},
                   F{str("abc"), ">", "ABC"}, F{str("ABC"), "<", "abc"}, F{str("abc"), "<>", "abc"},
                   F{str("abc"), "   ", "abc"}, F{str("5551234"), "@@@-@@@@", "555-1234"},
                   F{str(""), "@;\\e\\m\\p\\t\\y", "\\e\\m\\p\\t\\y"}, F{str("x"), "\\d@", "\\dx"},
                   F{str("12.5"), "0.00", "12.50"}, F{str("-7"), "0;(0)", "(7)"},
                   F{str("40000"), "#,##0", "40,000"}, F{str("abc"), "0.00", "abc"},
                   F{str("1/2/96"), "0.00", "35066.00"},
                   F{str("1/2/96"), "dd mmm yyyy", "02 Jan 1996"});
}

TEST_F(DriverTest, AnswerNamesAndNamedNumberFormats) {
    // Names match without regard to case, and as a prefix; zero is within DBL_EPSILON; a
    // section may be an answer name.
    expect_formats(
        F{5.0, "Yes/No", "Yes"}, F{0.0, "Yes/No", "No"}, F{-1.0, "True/False", "True"},
        F{0.0, "true/false", "False"}, F{boolean(true), "On/Off", "On"}, F{C(0), "On/Off", "Off"},
        F{1e-20, "Yes/No", "No"}, F{null_variant(), "Yes/No", ""}, F{5.0, "0;Yes/No", "5"},
        F{-5.0, "0;Yes/No", "Yes"}, F{1234.5, "General Number", "1234.5"},
        F{1234.5, "Currency", "$1,234.50"}, F{-1234.5, "Currency", "($1,234.50)"},
        F{0.5, "currency", "$0.50"}, F{1234.5, "Fixed", "1234.5"}, F{1234.5, "Standard", "1,234.5"},
        F{0.125, "Percent", "12.5%"}, F{1234.5, "Scientific", "1.23E+03"},
        F{1234.5, "Fixed point", "1234.5"}, F{1234.5, "STANDARD", "1,234.5"});
}

TEST_F(DriverTest, NamedFormatsFromTheLocaleConventions) {
    auto text = [](char *built) {
        std::string result = built ? built : "(null)";
        ZrFree(built);
        return result;
    };
    constexpr int na = brtl::platform::kNotAvailable;
    // The C locale has no symbol ("$"), two digits, the symbol first and parentheses.
    for (auto [conventions, expected] :
         std::vector<std::pair<brtl::platform::MonetaryConventions, std::string>>{
             {{"", na, na, na, na}, "\\$#,#0.00;(\\$#,#0.00)"},
             {{"EUR", 2, 0, 1, 1}, "#,#0.00 \\E\\U\\R;-#,#0.00\\E\\U\\R"},
             {{"$", 0, 1, 0, 2}, "\\$#,#0;\\$#,#0-"},
             {{"kr", 3, 0, 0, 3}, "#,#0.000\\k\\r;#,#0.000-\\k\\r"},
             {{"$", 2, 1, 0, 3}, "\\$#,#0.00;-\\$#,#0.00"},
             {{"$", 2, 1, 0, 4}, "\\$#,#0.00;\\$-#,#0.00"},
             {{"$", 2, 0, 0, 4}, "#,#0.00\\$;#,#0.00\\$-"},
             {{"$", 2, 0, 0, 0}, "#,#0.00\\$;(#,#0.00\\$)"}})
        EXPECT_EQ(text(brtl::format::build_currency_format(conventions)), expected);
    // The medium date widens the first run of M only.
    EXPECT_EQ(text(brtl::format::build_medium_date_format("mm/dd/yy")), "mmm/dd/yy");
    EXPECT_EQ(text(brtl::format::build_medium_date_format("d.MMMM.yyyy")), "d.mmm.yyyy");
    EXPECT_EQ(text(brtl::format::build_medium_date_format("dd/mM/yy M")), "dd/mmm/yy M");
    EXPECT_EQ(text(brtl::format::build_medium_date_format("yyyy-dd")), "yyyy-dd");
    // Under the double-byte code page a double-byte symbol takes one backslash.
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    EXPECT_EQ(text(brtl::format::build_currency_format({"\x81\x8f", 0, 1, 0, 1})),
              "\\\x81\x8f#,#0;-\\\x81\x8f#,#0");
}

TEST_F(DriverTest, TrapsForValuesThatAreNoNumbers) {
    VARIANT unknown{}, decimal{};
    unknown.vt = VT_UNKNOWN;
    decimal.vt = 14; // a subtype Format does not know
    expect_formats(F{error_variant(5), "", "", 13}, F{error_variant(5), "0", "", 13},
                   F{unknown, "0", "", 13}, F{decimal, "0", "", 51},
                   F{Value(5, i4(5)), "0", "", 51}, F{Value(2, i4(5)), "", "", 51});
}

TEST_F(DriverTest, ABorrowedFormatArgumentIsLeftAlone) {
    double d = 1234.5;
    Borrowed borrowed("0.00");
    EXPECT_EQ(take(ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &d, borrowed.get())), "1234.50");
    EXPECT_TRUE(borrowed.intact());
}

TEST_F(DriverTest, ThrowingHooksLeakNothing) {
    fill_caches();
    set_mode(HookMode::Throw);
    BlockBalance balance; // a rejected section, the negative one, a Date outside the calendar
    expect_formats(F{5.0, "0.0,0", "", 5}, F{-5.0, "0;0 a/p", "", 5}, F{3e7, "dddd, mmmm d", "", 5},
                   F{error_variant(1), "0.00", "", 13},
                   F{null_variant(), BI_FORMAT_LEADING_SPACE_MARKER, "", 94});
    EXPECT_EQ(balance.delta(), 0);
}

// Every allocation of a call fails in turn: the call either gives its text or raises trap 7 for
// each conversion that runs out of memory (throwing hooks leave by the exception), and leaks
// nothing.
void sweep(Case c) {
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        host().mode = mode;
        bool completed = false;
        for (long k = 0; k < 64 && !completed; ++k) {
            SCOPED_TRACE(testing::Message() << c.f << " failing after " << k);
            host().traps.clear();
            BlockBalance balance;
            BiString text = temp(c.f);
            fail_allocations_after(k, true);
            std::string result;
            try {
                result = take(ZbiBuiltIn_Format_(c.x.kind, c.x.ptr(), text));
            } catch (const TrapException &) {
            }
            fail_allocations_after(-1);
            completed = host().traps.empty();
            EXPECT_TRUE(result == c.expected || (!completed && result.empty())) << result;
            for (const Trap &trap : host().traps)
                EXPECT_EQ(trap, (Trap{7, Family::Trap, ""}));
            EXPECT_EQ(balance.delta(), 0);
        }
        EXPECT_TRUE(completed) << c.f;
    }
    VariantClear(&c.x.v);
}

TEST_F(DriverTest, WithoutMemory) {
    fill_caches();
    std::string many_days, many_fives;
    for (int i = 0; i < 60; ++i)
        many_days += "d ", many_fives += "5 ";
    const std::string zeros(300, '0');
    for (const Case &c :
         {F{r8(1234.5), "#,##0.00", "1,234.50"}, F{r8(7.0), zeros, std::string(299, '0') + "7"},
          F{r8(1e300), "0", "1" + zeros}, F{r8(2.5), "0." + zeros, "2.5" + std::string(299, '0')},
          F{date(kJan5), "", "01/05/96 2:07:09 PM"},
          F{date(kJan5), "dddd " + many_days, "Friday " + many_fives},
          F{str("12.5"), "0.00", "12.50"}, F{str("abc"), "@@@@@", "  abc"},
          F{str("1/2/96"), "yyyy", "1996"}})
        sweep(c);
}

// The internal consistency checks report to the fatal error hook and let the call go on.
TEST_F(DriverTest, ConsistencyChecksCallTheFatalHook) {
    brtl::format::FormatNumber odd;
    odd.tag = 3; // no format number has this type
    EXPECT_EQ(brtl::format::compare_format_number(odd, 0), 0);
    EXPECT_EQ(traps(), (std::vector<Trap>{{-1, Family::Fatal, ""}}));
    clear_traps();
    brtl::format::ParsedSection parsed;
    EXPECT_EQ(brtl::format::parse_section("0,", 2, odd, parsed), brtl::format::ParseStatus::Ok);
    EXPECT_EQ(traps(), (std::vector<Trap>{{-1, Family::Fatal, ""}}));
}

} // namespace
} // namespace brtl_test
