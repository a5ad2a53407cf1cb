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
    {BI_TEXT_SHORT_DAYS - 6, "Sat"},
    {BI_TEXT_SHORT_DAYS - 5, "Fri"},
    {BI_TEXT_SHORT_DAYS - 4, "Thu"},
    {BI_TEXT_SHORT_DAYS - 3, "Wed"},
    {BI_TEXT_SHORT_DAYS - 2, "Tue"},
    {BI_TEXT_SHORT_DAYS - 1, "Mon"},
    {BI_TEXT_SHORT_DAYS, "Sun"},
    {BI_TEXT_LONG_DAYS - 6, "Saturday"},
    {BI_TEXT_LONG_DAYS - 5, "Friday"},
    {BI_TEXT_LONG_DAYS - 4, "Thursday"},
    {BI_TEXT_LONG_DAYS - 3, "Wednesday"},
    {BI_TEXT_LONG_DAYS - 2, "Tuesday"},
    {BI_TEXT_LONG_DAYS - 1, "Monday"},
    {BI_TEXT_LONG_DAYS, "Sunday"},
    {BI_TEXT_FALSE, "False"},
    {BI_TEXT_TRUE, "True"},
    {BI_TEXT_NAMED_FORMATS - 15, "Short Time"},
    {BI_TEXT_NAMED_FORMATS - 14, "Medium Time"},
    {BI_TEXT_NAMED_FORMATS - 13, "Long Time"},
    {BI_TEXT_NAMED_FORMATS - 12, "Short Date"},
    {BI_TEXT_NAMED_FORMATS - 11, "Medium Date"},
    {BI_TEXT_NAMED_FORMATS - 10, "Long Date"},
    {BI_TEXT_NAMED_FORMATS - 9, "General Date"},
    {BI_TEXT_NAMED_FORMATS - 8, "On/Off"},
    {BI_TEXT_NAMED_FORMATS - 7, "True/False"},
    {BI_TEXT_NAMED_FORMATS - 6, "Yes/No"},
    {BI_TEXT_NAMED_FORMATS - 5, "Scientific"},
    {BI_TEXT_NAMED_FORMATS - 4, "Percent"},
    {BI_TEXT_NAMED_FORMATS - 3, "Standard"},
    {BI_TEXT_NAMED_FORMATS - 2, "Fixed"},
    {BI_TEXT_NAMED_FORMATS - 1, "Currency"},
    {BI_TEXT_NAMED_FORMATS, "General Number"},
    {BI_TEXT_AM, "AM"},
    {BI_TEXT_PM, "PM"},
    {BI_TEXT_DAYS - 6, "Saturday"},
    {BI_TEXT_DAYS - 5, "Friday"},
    {BI_TEXT_DAYS - 4, "Thursday"},
    {BI_TEXT_DAYS - 3, "Wednesday"},
    {BI_TEXT_DAYS - 2, "Tuesday"},
    {BI_TEXT_DAYS - 1, "Monday"},
    {BI_TEXT_DAYS, "Sunday"},
    {BI_TEXT_MONTHS - 11, "December"},
    {BI_TEXT_MONTHS - 10, "November"},
    {BI_TEXT_MONTHS - 9, "October"},
    {BI_TEXT_MONTHS - 8, "September"},
    {BI_TEXT_MONTHS - 7, "August"},
    {BI_TEXT_MONTHS - 6, "July"},
    {BI_TEXT_MONTHS - 5, "June"},
    {BI_TEXT_MONTHS - 4, "May"},
    {BI_TEXT_MONTHS - 3, "April"},
    {BI_TEXT_MONTHS - 2, "March"},
    {BI_TEXT_MONTHS - 1, "February"},
    {BI_TEXT_MONTHS, "January"},
    {-1, "Internal error"},
    {BI_TRAP_ILLEGAL_CALL, "Illegal function call"},
    {BI_TRAP_OVERFLOW, "Overflow"},
    {BI_TRAP_OUT_OF_MEMORY, "Out of memory"},
    {BI_TRAP_UNDERFLOW, "Underflow"},
    {BI_TRAP_DIVISION_BY_ZERO, "Division by zero"},
    {BI_TRAP_TYPE_MISMATCH, "Type mismatch"},
    {BI_TRAP_OUT_OF_STRING_SPACE, "Out of string space"},
    {BI_TRAP_ASSERTION, "Assertion failed"},
    {BI_TRAP_UNSUPPORTED, "Internal error"},
    {BI_TRAP_BAD_FILE_NAME_OR_NUMBER, "Bad file name or number"},
    {BI_TRAP_FILE_NOT_FOUND, "File not found"},
    {BI_TRAP_BAD_FILE_MODE, "Bad file mode"},
    {BI_TRAP_FILE_ALREADY_OPEN, "File already open"},
    {BI_TRAP_DEVICE_IO_ERROR, "Device I/O error"},
    {BI_TRAP_FILE_ALREADY_EXISTS, "File already exists"},
    {BI_TRAP_BAD_RECORD_LENGTH, "Bad record length"},
    {BI_TRAP_DISK_FULL, "Disk full"},
    {BI_TRAP_INPUT_PAST_END, "Input past end of file"},
    {BI_TRAP_BAD_RECORD_NUMBER, "Bad record number"},
    {BI_TRAP_BAD_FILE_NAME, "Bad file name"},
    {BI_TRAP_TOO_MANY_FILES, "Too many files"},
    {BI_TRAP_DEVICE_UNAVAILABLE, "Device unavailable"},
    {BI_TRAP_PERMISSION_DENIED, "Permission denied"},
    {BI_TRAP_DISK_NOT_READY, "Disk not ready"},
    {BI_TRAP_RENAME_ACROSS_DISKS, "Can't rename with different drive"},
    {BI_TRAP_PATH_FILE_ACCESS, "Path/File access error"},
    {BI_TRAP_PATH_NOT_FOUND, "Path not found"},
    {BI_TRAP_PATTERN, "Invalid pattern string"},
    {BI_TRAP_INVALID_USE_OF_NULL, "Invalid use of Null"},
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
