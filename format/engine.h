// The numeric and date stages of the format engine: the value as they see it (the format
// number), the section parsed into a row of nodes with the format state, and the two output
// stages that replace placeholders by digits and copy the rest.
#pragma once

#include <cstddef>
#include <cstdint>

#include "brtl/types.h"
#include "runtime/small_buffer.h"

namespace brtl::format {

// ---- The format number ------------------------------------------------------------------------

enum : int32_t {
    kTagSingle = 7,
    kTagDouble = 8, // also every date serial
    kTagCurrency = 9,
    kTagNull = 21 // Empty or Null: no number
};

struct FormatNumber {
    int32_t tag = kTagNull;
    float single = 0.0f;
    double dbl = 0.0;
    int64_t currency = 0;
};

// -1, 0 or 1: the number against n, with the tolerance of its type (FLT_EPSILON for a Single,
// DBL_EPSILON for a Double, exact for a Currency); Null compares as 0.
int compare_format_number(const FormatNumber &number, int32_t n);
// The number read as a date serial.
double serial_of(const FormatNumber &number);

// ---- Sections ---------------------------------------------------------------------------------

struct Section {
    const char *text = nullptr;
    size_t length = 0;
    int32_t number = 1; // 1 first or only, 2 negative, 3 zero, 4 Null
};

// Picks the section of a format of up to four (split at ";" outside escapes and quotes) for the
// number. The result points into the format.
Section select_section(const FormatNumber &number, const char *format, size_t length);

// ---- The parsed section -------------------------------------------------------------------------

enum class NodeKind : uint8_t {
    Plain,   // a character of the section: output as itself, or an hour token (h, H), or one
             // of the AM/PM marker letters, which the integer part does not show
    Literal, // text to output as it is (escaped, quoted, date text, separators)
    Digit,   // a digit placeholder "0" or "#"
    Marker,  // an AM/PM token; ch tells which
    Silent,  // outputs nothing (the sign of an "E-" exponent that is not negative)
    Field    // a date or time part (ch holds its DateField), written from the number at output
};

// The date and time parts the tokens stand for.
enum class DateField : char {
    Day = 1,           // d
    DayTwoDigits,      // dd
    DayAbbreviation,   // ddd: the day's name, three bytes at most
    DayName,           // dddd
    Weekday,           // w: 1 (Sunday) to 7
    Week,              // ww: the week of the year
    Minute,            // n, or m after an hour ("00" for 0)
    MinuteTwoDigits,   // nn, mm after an hour
    Second,            // s ("00" for 0)
    SecondTwoDigits,   // ss
    Month,             // m
    MonthTwoDigits,    // mm
    MonthAbbreviation, // mmm: the month's name, three bytes at most
    MonthName,         // mmmm
    Year,              // yyyy
    YearShort,         // yy and the first part of yyy: the year less its first two characters
    YearDay,           // y and the second part of yyy: the day of the year
    Quarter,           // q
    ShortDayName,      // aaa
    LongDayName,       // aaaa
    ShortEra,          // g
    MiddleEra,         // gg
    LongEra,           // ggg
    EraYear,           // e
    EraYearTwoDigits   // ee
};

struct Node {
    char ch;
    NodeKind kind;
};

struct FormatState {
    bool has_decimal = false;
    bool grouping = false;
    bool has_digits = false;
    bool has_ampm = false;
    int32_t integer_count = 0;  // digit placeholders before the decimal point
    int32_t fraction_count = 0; // digit placeholders after it
    int32_t section = 1;
};

// The locale's separators as the reading of a section put them into its nodes, each read at
// most once: a kept layout serves again only while they read the same.
struct SeparatorsRead {
    bool decimal = false, date = false, time = false;
    char decimal_value = 0, date_value = 0, time_value = 0;
};

// What the reading of a section leaves for the stage that applies the number to it.
struct SectionLayout {
    int32_t percents = 0;
    int32_t scalings = 0;
    bool exponent = false;
    size_t sign_node = 0;        // the node of the exponent's sign
    bool has_fields = false;     // a Field node is present
    bool reads_calendar = false; // a Field node needs the calendar fields
    bool out_of_memory = false;  // a spliced pattern did not fit
    bool kept = true;            // nothing of it came from the number or a locale pattern
    SeparatorsRead separators;
};

// The calendar fields of the number read as a date serial, loaded when a field needs them.
struct DateFields {
    double serial = 0.0;
    double seconds = 0.0; // time of day in seconds
    bool calendar = false;
    int32_t day = 0, month = 0, year = 0, weekday = 0;
};

struct ParsedSection {
    runtime::SmallBuffer<Node, 96> nodes; // the section left to right
    size_t cut = 0;    // the decimal separator node; nodes before it are the integer part
    int32_t shift = 0; // powers of ten the scientific form moves the number by
    FormatState state;
    SectionLayout layout;
    DateFields date; // for the Field nodes
};

enum class ParseStatus {
    Ok,
    Rejected, // the section is not a valid format: the caller raises trap 5
    Failed    // a trap was raised already (out of memory, a date outside the calendar)
};

// Turns a section into nodes and the format state and applies the number: loads the date fields
// its date tokens show, may scale the number (percent, thousands scaling) and lays out the
// exponent. A section read before with the same settings is not read again.
ParseStatus parse_section(const char *text, size_t length, FormatNumber &number,
                          ParsedSection &out);

// The layouts kept for the texts of the sections read last (per thread): find_layout fills out
// (nodes, cut, state, layout) when the text has one whose separators still read the same.
bool find_layout(const char *text, size_t length, ParsedSection &out);
void keep_layout(const char *text, size_t length, const ParsedSection &parsed);
// A kept text that, taken as a whole format, names no named format, has one section and is no
// answer name: for a number that is not Null it is its own section, with nothing to look up.
// find_plain_layout fills out (as find_layout does) for such a text; mark_plain_format marks the
// kept layout of one (when there is one).
bool find_plain_layout(const char *text, size_t length, ParsedSection &out);
void mark_plain_format(const char *text, size_t length);

// The stage of the number for a section whose layout is filled in: the date fields its Field
// nodes show (trap 5 when the calendar cannot read the number), the scaling and the exponent.
ParseStatus apply_number(FormatNumber &number, ParsedSection &out);

// ---- Date tokens ------------------------------------------------------------------------------

// Fills the calendar fields; false (after trap 5) for a serial the calendar cannot read.
bool load_calendar(DateFields &date);

// True for the fields that read the calendar (all but the minutes and seconds).
bool reads_calendar(DateField field);
// The text of a field for the date (its calendar loaded when the field reads it): written into
// digits (at least 24 bytes), or a host word, as *text says; returns its length.
size_t field_text(DateField field, const DateFields &date, char *digits, const char **text);

// Writes the text of an hour token (count 1 or 2, 12-hour or 24-hour) into out (at least 4
// bytes) and returns its length; *pm tells whether the hour is past noon.
size_t hour_text(double seconds, int count, bool twelve_hour, char *out, bool *pm);
// True when the hour of the time of day (rounded to the second) is 12 or later.
bool is_pm(double seconds);
// The text an AM/PM marker shows for the time of day.
const char *am_pm_text(char marker, bool pm);

// ---- Output -----------------------------------------------------------------------------------

using Output = runtime::SmallBuffer<char, 128>;

// Writes the integer part and the fraction part of the parsed section for the number; false when
// memory ran out.
bool format_section(const ParsedSection &parsed, const FormatNumber &number, Output &out);

// ---- Named formats and host words ---------------------------------------------------------------

// The host's word for a text id, read once and kept for the process ("" when the host has
// none). Null only when memory ran out.
const char *host_word(int32_t id);

// The format text that replaces a named format at the start of the format, or false.
bool lookup_named_format(const char *format, size_t length, const char **replacement,
                         size_t *replacement_length);

// True once the names of the named formats are read for good (they are kept for the process);
// until then every lookup reads them anew.
bool named_formats_settled();

// "Yes"/"No", "True"/"False" or "On"/"Off" when the section is one of the three answer names;
// null otherwise.
const char *answer_text(const Section &section, const FormatNumber &number);

// ---- The driver ---------------------------------------------------------------------------------

// The format of a Date given no format: "ddddd", "ttttt", both (with " AM/PM" on a 12-hour
// clock), or "General Number" outside the years 100 to 9999.
const char *default_date_format(double serial);

// ---- Small text helpers -------------------------------------------------------------------------

// Decimal text of a non-negative value, with at least min_digits digits; returns the length.
size_t unsigned_text(uint64_t value, int min_digits, char *out);

} // namespace brtl::format
