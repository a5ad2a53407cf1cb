// The host's words that the date parser compares with: month names, AM and PM, and in a
// multibyte locale the era names and the unit markers. Each set is read once through the text
// hook, copied, and kept for the life of the process.
#pragma once

namespace brtl::datetime {

struct DateWords {
    const char *months[12]; // ids -1001 (January) to -1012
    const char *am;         // id -1021
    const char *pm;         // id -1020
};

constexpr int kEraTables = 3;
constexpr int kErasPerTable = 5;

enum DateUnit { kUnitYear, kUnitMonth, kUnitDay, kUnitHour, kUnitMinute, kUnitSecond, kUnitCount };

struct EraWords {
    // Long (ids -1121...), middle (-1126...) and short (-1131...) names; within a table the
    // entries before the first empty one are eras 0, 1, 2, ...
    const char *eras[kEraTables][kErasPerTable];
    const char *units[kUnitCount]; // ids -1146 (year) to -1151 (second)
};

// The words, read on first use. A missing text (null) reads as the empty word, which matches
// nothing. When memory for the copies runs out, trap 7 is raised, nothing is kept (the next call
// tries again) and every word of the answer is empty.
const DateWords &date_words();
const EraWords &era_words();

} // namespace brtl::datetime
