// The English text hook: trap messages and the words of the user interface language.
#include <cstddef>
#include <iterator>

#include "brtl/texts.h"

namespace {

struct Text {
    int32_t id;
    const char *text;
};

// Sorted by id, so that a lookup is a binary search.
constexpr Text kTexts[] = {
    {-1114, "Sat"},
    {-1113, "Fri"},
    {-1112, "Thu"},
    {-1111, "Wed"},
    {-1110, "Tue"},
    {-1109, "Mon"},
    {-1108, "Sun"},
    {-1107, "Saturday"},
    {-1106, "Friday"},
    {-1105, "Thursday"},
    {-1104, "Wednesday"},
    {-1103, "Tuesday"},
    {-1102, "Monday"},
    {-1101, "Sunday"},
    {-1039, "False"},
    {-1038, "True"},
    {-1037, "Short Time"},
    {-1036, "Medium Time"},
    {-1035, "Long Time"},
    {-1034, "Short Date"},
    {-1033, "Medium Date"},
    {-1032, "Long Date"},
    {-1031, "General Date"},
    {-1030, "On/Off"},
    {-1029, "True/False"},
    {-1028, "Yes/No"},
    {-1027, "Scientific"},
    {-1026, "Percent"},
    {-1025, "Standard"},
    {-1024, "Fixed"},
    {-1023, "Currency"},
    {-1022, "General Number"},
    {-1021, "AM"},
    {-1020, "PM"},
    {-1019, "Saturday"},
    {-1018, "Friday"},
    {-1017, "Thursday"},
    {-1016, "Wednesday"},
    {-1015, "Tuesday"},
    {-1014, "Monday"},
    {-1013, "Sunday"},
    {-1012, "December"},
    {-1011, "November"},
    {-1010, "October"},
    {-1009, "September"},
    {-1008, "August"},
    {-1007, "July"},
    {-1006, "June"},
    {-1005, "May"},
    {-1004, "April"},
    {-1003, "March"},
    {-1002, "February"},
    {-1001, "January"},
    {-1, "Internal error"},
    {5, "Illegal function call"},
    {6, "Overflow"},
    {7, "Out of memory"},
    {8, "Underflow"},
    {11, "Division by zero"},
    {13, "Type mismatch"},
    {14, "Out of string space"},
    {17, "Assertion failed"},
    {51, "Internal error"},
    {52, "Bad file name or number"},
    {53, "File not found"},
    {54, "Bad file mode"},
    {55, "File already open"},
    {57, "Device I/O error"},
    {58, "File already exists"},
    {59, "Bad record length"},
    {61, "Disk full"},
    {62, "Input past end of file"},
    {63, "Bad record number"},
    {64, "Bad file name"},
    {67, "Too many files"},
    {68, "Device unavailable"},
    {70, "Permission denied"},
    {71, "Disk not ready"},
    {74, "Can't rename with different drive"},
    {75, "Path/File access error"},
    {76, "Path not found"},
    {93, "Invalid pattern string"},
    {94, "Invalid use of Null"},
};

constexpr bool sorted_by_id() {
    for (size_t i = 1; i < std::size(kTexts); ++i)
        if (kTexts[i - 1].id >= kTexts[i].id) return false;
    return true;
}
static_assert(sorted_by_id(), "the English texts must stay sorted by id");

} // namespace

extern "C" BRTL_API const char *brtl_english_text(int32_t id) {
    size_t low = 0;
    size_t high = std::size(kTexts);
    while (low < high) {
        size_t mid = low + (high - low) / 2;
        if (kTexts[mid].id < id)
            low = mid + 1;
        else
            high = mid;
    }
    return low < std::size(kTexts) && kTexts[low].id == id ? kTexts[low].text : nullptr;
}
