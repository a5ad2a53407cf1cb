// The driver of Format: the plain conversion, the leading-space marker, string formats, strings
// that are numbers or dates, named formats, answer names, traps, and the ownership of the format
// argument with returning and throwing hooks.
#include <cstring>
#include <string>

#include "format/engine.h"
#include "format/named.h"
#include "format_fixture.h"

namespace brtl_test {
namespace {

using DriverTest = FormatTest;

std::string marker() {
    return std::string(BI_FORMAT_LEADING_SPACE_MARKER);
}

TEST_F(DriverTest, EmptyFormatGivesThePlainText) {
    EXPECT_EQ(format_integer(-123, ""), "-123");
    EXPECT_EQ(format_long(2147483647, ""), "2147483647");
    EXPECT_EQ(format_single(1.5f, ""), "1.5");
    EXPECT_EQ(format(0.1, ""), "0.1");
    EXPECT_EQ(format(1.5e20, ""), "1.5E+20");
    EXPECT_EQ(format(1e20, ""), "1E+20");
    EXPECT_EQ(format(-2.5e-7, ""), "-2.5E-7");
    EXPECT_EQ(format_currency(-2500, ""), "-.25");
    EXPECT_EQ(format(empty_variant(), ""), "");
    EXPECT_EQ(format(null_variant(), ""), "");
    EXPECT_EQ(format(boolean(true), ""), "-1");
    EXPECT_EQ(format(bstr_variant("abc"), ""), "abc");
    EXPECT_TRUE(traps().empty());
}

TEST_F(DriverTest, LeadingSpaceMarker) {
    EXPECT_EQ(format_integer(5, marker()), " 5");
    EXPECT_EQ(format_integer(-5, marker()), "-5");
    EXPECT_EQ(format_currency(15000, marker()), " 1.5");
    EXPECT_EQ(format(empty_variant(), marker()), " 0");
    EXPECT_EQ(format(bstr_variant(" 12 "), marker()), " 12"); // a string is made a number first
    EXPECT_EQ(format(date(jan5_1996_140709()), marker()), "01/05/96 2:07:09 PM");
    EXPECT_EQ(format(date(3e6), marker()), " 3000000"); // out of range: the serial, spaced
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(format(null_variant(), marker()), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{{94, Family::Trap, ""}}));
}

TEST_F(DriverTest, StringFormats) {
    EXPECT_EQ(format(5.0, "@@@@"), "5"); // a number keeps its plain text
    EXPECT_EQ(format(bstr_variant("abc"), "@@@@@"), "  abc");
    EXPECT_EQ(format(bstr_variant("abc"), "!@@@@@"), "abc  ");
    EXPECT_EQ(format(bstr_variant("abc"), "&&"), "abc");
    EXPECT_EQ(format(bstr_variant("abc"), ">"), "ABC");
    EXPECT_EQ(format(bstr_variant("ABC"), "<"), "abc");
    EXPECT_EQ(format(bstr_variant("abc"), "<>"), "abc"); // both cancel
    EXPECT_EQ(format(bstr_variant("abc"), "   "), "abc");
    EXPECT_EQ(format(bstr_variant("5551234"), "@@@-@@@@"), "555-1234");
    EXPECT_EQ(format(bstr_variant(""), "@;\\e\\m\\p\\t\\y"), "\\e\\m\\p\\t\\y");
    EXPECT_EQ(format(bstr_variant("x"), "\\d@"), "\\dx"); // escapes decide nothing
    EXPECT_TRUE(traps().empty());
}

TEST_F(DriverTest, StringsThatAreNumbersOrDates) {
    EXPECT_EQ(format(bstr_variant("12.5"), "0.00"), "12.50");
    EXPECT_EQ(format(bstr_variant("-7"), "0;(0)"), "(7)");
    EXPECT_EQ(format(bstr_variant("40000"), "#,##0"), "40,000");
    EXPECT_EQ(format(bstr_variant("abc"), "0.00"), "abc");
    EXPECT_EQ(format(bstr_variant("1/2/96"), "0.00"), "35066.00"); // 2 January 1996
    EXPECT_EQ(format(bstr_variant("1/2/96"), "dd mmm yyyy"), "02 Jan 1996");
    EXPECT_TRUE(traps().empty());
}

TEST_F(DriverTest, AnswerNames) {
    EXPECT_EQ(format(5.0, "Yes/No"), "Yes");
    EXPECT_EQ(format(0.0, "Yes/No"), "No");
    EXPECT_EQ(format(-1.0, "True/False"), "True");
    EXPECT_EQ(format(0.0, "true/false"), "False"); // the name matches without regard to case
    EXPECT_EQ(format(boolean(true), "On/Off"), "On");
    EXPECT_EQ(format_currency(0, "On/Off"), "Off");
    EXPECT_EQ(format(1e-20, "Yes/No"), "No"); // within DBL_EPSILON of zero
    EXPECT_EQ(format(null_variant(), "Yes/No"), "");
    EXPECT_EQ(format(5.0, "0;Yes/No"), "5");
    EXPECT_EQ(format(-5.0, "0;Yes/No"), "Yes"); // a section that is an answer name
}

TEST_F(DriverTest, NamedNumberFormats) {
    EXPECT_EQ(format(1234.5, "General Number"), "1234.5");
    EXPECT_EQ(format(1234.5, "Currency"), "$1,234.50");
    EXPECT_EQ(format(-1234.5, "Currency"), "($1,234.50)");
    EXPECT_EQ(format(0.5, "currency"), "$0.50");
    EXPECT_EQ(format(1234.5, "Fixed"), "1234.5");
    EXPECT_EQ(format(1234.5, "Standard"), "1,234.5");
    EXPECT_EQ(format(0.125, "Percent"), "12.5%");
    EXPECT_EQ(format(1234.5, "Scientific"), "1.23E+03");
    EXPECT_EQ(format(1234.5, "Fixed point"), "1234.5"); // a name matches as a prefix
    EXPECT_EQ(format(1234.5, "STANDARD"), "1,234.5");
    EXPECT_TRUE(traps().empty());
}

TEST_F(DriverTest, CurrencyFormatFromTheMonetaryConventions) {
    auto build = [](brtl::pf::MonetaryConventions c) {
        char *text = brtl::format::build_currency_format(c);
        std::string result = text ? text : "(null)";
        ZrFree(text);
        return result;
    };
    constexpr int na = brtl::pf::kNotAvailable;
    // The C locale: no symbol ("$"), two digits, symbol first, parentheses.
    EXPECT_EQ(build({"", na, na, na, na}), "\\$#,#0.00;(\\$#,#0.00)");
    EXPECT_EQ(build({"EUR", 2, 0, 1, 1}), "#,#0.00 \\E\\U\\R;-#,#0.00\\E\\U\\R");
    EXPECT_EQ(build({"$", 0, 1, 0, 2}), "\\$#,#0;\\$#,#0-");
    EXPECT_EQ(build({"kr", 3, 0, 0, 3}), "#,#0.000\\k\\r;#,#0.000-\\k\\r");
    EXPECT_EQ(build({"$", 2, 1, 0, 3}), "\\$#,#0.00;-\\$#,#0.00");
    EXPECT_EQ(build({"$", 2, 1, 0, 4}), "\\$#,#0.00;\\$-#,#0.00");
    EXPECT_EQ(build({"$", 2, 0, 0, 4}), "#,#0.00\\$;#,#0.00\\$-");
    EXPECT_EQ(build({"$", 2, 0, 0, 0}), "#,#0.00\\$;(#,#0.00\\$)");
    // Under the double-byte code page a double-byte symbol takes one backslash.
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    EXPECT_EQ(build({"\x81\x8f", 0, 1, 0, 1}), "\\\x81\x8f#,#0;-\\\x81\x8f#,#0");
}

TEST_F(DriverTest, MediumDateFromTheShortDatePattern) {
    auto build = [](const char *pattern) {
        char *text = brtl::format::build_medium_date_format(pattern);
        std::string result = text ? text : "(null)";
        ZrFree(text);
        return result;
    };
    EXPECT_EQ(build("mm/dd/yy"), "mmm/dd/yy");
    EXPECT_EQ(build("d.MMMM.yyyy"), "d.mmm.yyyy");
    EXPECT_EQ(build("dd/mM/yy M"), "dd/mmm/yy M"); // only the first run
    EXPECT_EQ(build("yyyy-dd"), "yyyy-dd");
}

TEST_F(DriverTest, TrapsForValuesThatAreNoNumbers) {
    EXPECT_EQ(format(error_variant(5), ""), "");
    EXPECT_EQ(format(error_variant(5), "0"), "");
    VARIANT object{};
    object.vt = VT_UNKNOWN;
    EXPECT_EQ(take(ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &object, temp("0"))), "");
    VARIANT unknown_type{};
    unknown_type.vt = 14;
    EXPECT_EQ(take(ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &unknown_type, temp("0"))), "");
    int32_t n = 5;
    EXPECT_EQ(take(ZbiBuiltIn_Format_(5, &n, temp("0"))), "");
    EXPECT_EQ(take(ZbiBuiltIn_Format_(2, &n, temp(""))), "");
    EXPECT_EQ(traps(), (std::vector<Trap>{{13, Family::Trap, ""},
                                          {13, Family::Trap, ""},
                                          {13, Family::Trap, ""},
                                          {51, Family::Trap, ""},
                                          {51, Family::Trap, ""},
                                          {51, Family::Trap, ""}}));
    EXPECT_EQ(host().fatal_calls, 0);
}

TEST_F(DriverTest, TheFormatArgumentIsReleasedOnceAndABorrowedOneIsLeftAlone) {
    BlockBalance balance;
    double d = 1234.5;
    EXPECT_EQ(take(ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &d, temp("#,##0.00"))), "1,234.50");
    EXPECT_EQ(take(ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &d, temp("Standard"))), "1,234.5");
    EXPECT_EQ(take(ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &d, temp("@"))), "1234.5");
    EXPECT_EQ(take(ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &d, temp("0;"))), "1235");
    VARIANT s = bstr_variant("12");
    EXPECT_EQ(take(ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &s, temp("0.0"))), "12.0");
    EXPECT_EQ(take(ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &s, temp("yyyy"))),
              "1900"); // day 12 is in January 1900
    VariantClear(&s);
    Borrowed borrowed("0.00");
    EXPECT_EQ(take(ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &d, borrowed.get())), "1234.50");
    EXPECT_TRUE(borrowed.intact());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(DriverTest, ThrowingHooksLeakNothing) {
    fill_caches();
    set_mode(HookMode::Throw);
    BlockBalance balance;
    auto expect_throw = [&](const void *value, int32_t kind, const char *f, int32_t trap) {
        try {
            take(ZbiBuiltIn_Format_(kind, value, temp(f)));
            ADD_FAILURE() << f;
        } catch (const TrapException &e) {
            EXPECT_EQ(e.trap.number, trap) << f;
        }
    };
    double d = 5.0;
    expect_throw(&d, BI_FORMAT_DOUBLE, "0.0,0", 5); // rejected section
    double minus = -5.0;
    expect_throw(&minus, BI_FORMAT_DOUBLE, "0;0 a/p", 5); // the negative section
    double far = 3e7;
    expect_throw(&far, BI_FORMAT_DOUBLE, "dddd, mmmm d", 5); // outside the calendar
    VARIANT error = error_variant(1);
    expect_throw(&error, BI_FORMAT_VARIANT, "0.00", 13);
    VARIANT null = null_variant();
    expect_throw(&null, BI_FORMAT_VARIANT, BI_FORMAT_LEADING_SPACE_MARKER, 94);
    EXPECT_EQ(balance.delta(), 0);
}

// Every allocation of a call fails in turn: the call either gives its text or raises trap 7
// (throwing hooks leave by the exception), and leaks nothing.
class FormatWithoutMemoryTest : public FormatTest {
  protected:
    void sweep(VARIANT value, const std::string &f, const std::string &expected) {
        fill_caches();
        for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
            set_mode(mode);
            bool completed = false;
            for (long k = 0; k < 64 && !completed; ++k) {
                clear_traps();
                BlockBalance balance;
                BiString text = temp(f);
                fail_allocations_after(k, true);
                std::string result;
                try {
                    result = take(ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &value, text));
                } catch (const TrapException &) {
                }
                fail_allocations_after(-1);
                if (traps().empty()) {
                    EXPECT_EQ(result, expected) << f << " failing after " << k;
                    completed = true;
                } else {
                    // Each conversion that runs out of memory says so; nothing else is raised.
                    for (const Trap &trap : traps())
                        EXPECT_EQ(trap, (Trap{7, Family::Trap, ""})) << f << " failing after " << k;
                    EXPECT_TRUE(result.empty() || result == expected) << result;
                }
                EXPECT_EQ(balance.delta(), 0) << f << " failing after " << k;
            }
            EXPECT_TRUE(completed) << f;
        }
        VariantClear(&value);
    }
};

TEST_F(FormatWithoutMemoryTest, NumbersDatesAndStrings) {
    const std::string zeros(300, '0');
    sweep(r8(1234.5), "#,##0.00", "1,234.50");
    sweep(r8(7.0), zeros, std::string(299, '0') + "7");
    sweep(r8(1e300), "0", "1" + std::string(300, '0'));
    sweep(r8(2.5), "0." + zeros, "2.5" + std::string(299, '0'));
    sweep(date(jan5_1996_140709()), "", "01/05/96 2:07:09 PM");
    std::string many_days, many_fives;
    for (int i = 0; i < 60; ++i)
        many_days += "d ", many_fives += "5 ";
    sweep(date(jan5_1996_140709()), "dddd " + many_days, "Friday " + many_fives);
    sweep(bstr_variant("12.5"), "0.00", "12.50");
    sweep(bstr_variant("abc"), "@@@@@", "  abc");
    sweep(bstr_variant("1/2/96"), "yyyy", "1996");
}

// The internal consistency checks report to the fatal error hook and let the call go on.
TEST_F(DriverTest, ConsistencyChecksCallTheFatalHook) {
    brtl::format::FormatNumber odd;
    odd.tag = 3; // no format number has this type
    EXPECT_EQ(brtl::format::compare_format_number(odd, 0), 0);
    EXPECT_EQ(traps(), (std::vector<Trap>{{-1, Family::Fatal, ""}}));
    clear_traps();
    brtl::format::ParsedSection parsed;
    const char section[] = "0,";
    EXPECT_EQ(brtl::format::parse_section(section, 2, odd, parsed), brtl::format::ParseStatus::Ok);
    EXPECT_EQ(traps(), (std::vector<Trap>{{-1, Family::Fatal, ""}}));
}

} // namespace
} // namespace brtl_test
