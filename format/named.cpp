// The named formats ("General Number", "Currency", ..., "Short Time") and the host's words the
// engine shows: names, month and day names, era names. Every host text is read once through the
// text hook, copied and kept for the life of the process, as are the two formats built from the
// locale.
#include "format/named.h"

#include <atomic>
#include <cstring>

#include "brtl/datetime.h"
#include "brtl/host.h"
#include "brtl/texts.h"
#include "format/engine.h"
#include "platform/codepage.h"
#include "platform/memory.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"

namespace brtl::format {

namespace {

// ---- Host words -------------------------------------------------------------------------------

// The two ranges of ids the engine asks for: -1037 to -1001 (month and day names, AM and PM,
// format names) and -1135 to -1101 (day names of the aaa tokens, era names).
constexpr int32_t kFirstRangeLow = BI_TEXT_NAMED_FORMATS - 15, kFirstRangeHigh = BI_TEXT_MONTHS;
constexpr int32_t kSecondRangeLow = BI_TEXT_SHORT_ERAS - 4, kSecondRangeHigh = BI_TEXT_LONG_DAYS;
constexpr size_t kFirstRangeSize = kFirstRangeHigh - kFirstRangeLow + 1;
constexpr size_t kSecondRangeSize = kSecondRangeHigh - kSecondRangeLow + 1;

std::atomic<const char *> g_words[kFirstRangeSize + kSecondRangeSize];

std::atomic<const char *> *word_slot(int32_t id) {
    if (id >= kFirstRangeLow && id <= kFirstRangeHigh) return &g_words[id - kFirstRangeLow];
    if (id >= kSecondRangeLow && id <= kSecondRangeHigh)
        return &g_words[kFirstRangeSize + static_cast<size_t>(id - kSecondRangeLow)];
    return nullptr;
}

// ---- Built formats ----------------------------------------------------------------------------

std::atomic<const char *> g_currency_format{nullptr};
std::atomic<const char *> g_medium_date_format{nullptr};

// A copy of text that a cache keeps for the life of the process (not counted among the live
// blocks of the leak checks); null when memory runs out.
char *lasting_copy(const char *text) {
    size_t n = std::strlen(text) + 1;
    auto *copy = static_cast<char *>(platform::allocate_lasting(n));
    if (copy != nullptr) std::memcpy(copy, text, n);
    return copy;
}

// Keeps the first text stored in a slot; a text that lost the race is given back.
const char *publish(std::atomic<const char *> &slot, char *text) {
    const char *expected = nullptr;
    if (slot.compare_exchange_strong(expected, text)) return text;
    platform::release_lasting(text);
    return expected;
}

const char *cached_format(std::atomic<const char *> &slot, char *(*build)()) {
    if (const char *text = slot.load()) return text;
    runtime::ZrBuffer<char> built(build());
    char *kept = built ? lasting_copy(built.get()) : nullptr;
    if (kept == nullptr) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return ""; // not kept: the next call tries again
    }
    return publish(slot, kept);
}

char *currency_from_locale() {
    return build_currency_format(platform::monetary_conventions());
}
char *medium_date_from_locale() {
    return build_medium_date_format(ZrIntlGetDateString());
}

// A text under construction in ZrMalloc storage.
struct Text {
    runtime::SmallBuffer<char, 64> chars;
    void add(const char *s) { chars.append(s, std::strlen(s)); }
    void add(char c) { chars.push(c); }
    char *release() {
        chars.push('\0');
        if (!chars.ok()) return nullptr;
        auto *copy = static_cast<char *>(ZrMalloc(chars.size()));
        if (copy != nullptr) std::memcpy(copy, chars.data(), chars.size());
        return copy;
    }
};

// ---- Named format tables ----------------------------------------------------------------------

enum class Replacement { Text, Currency, MediumDate, Name };

struct NamedFormat {
    int32_t id;
    Replacement kind;
    const char *format;
};

// Searched in this order; the date entries are reached only when no numeric entry matched.
constexpr NamedFormat kNamedFormats[] = {
    {BI_TEXT_NAMED_FORMATS, Replacement::Text, ""}, // the plain conversion
    {BI_TEXT_NAMED_FORMATS - 1, Replacement::Currency, nullptr},
    {BI_TEXT_NAMED_FORMATS - 2, Replacement::Text, "#.##"},
    {BI_TEXT_NAMED_FORMATS - 3, Replacement::Text, "#,#.##"},
    {BI_TEXT_NAMED_FORMATS - 4, Replacement::Text, "#.##%"},
    {BI_TEXT_NAMED_FORMATS - 5, Replacement::Text, "#.##E+00"},
    {BI_TEXT_NAMED_FORMATS - 6, Replacement::Name, nullptr}, // answered Yes or No
    {BI_TEXT_NAMED_FORMATS - 7, Replacement::Name, nullptr}, // answered True or False
    {BI_TEXT_NAMED_FORMATS - 8, Replacement::Name, nullptr}, // answered On or Off
    {BI_TEXT_NAMED_FORMATS - 9, Replacement::Text, "c"},
    {BI_TEXT_NAMED_FORMATS - 10, Replacement::Text, "dddddd"},
    {BI_TEXT_NAMED_FORMATS - 11, Replacement::MediumDate, nullptr},
    {BI_TEXT_NAMED_FORMATS - 12, Replacement::Text, "ddddd"},
    {BI_TEXT_NAMED_FORMATS - 13, Replacement::Text, "ttttt AM/PM"},
    {BI_TEXT_NAMED_FORMATS - 14, Replacement::Text, "hh:nn AM/PM"},
    {BI_TEXT_NAMED_FORMATS - 15, Replacement::Text, "hh:nn"},
};

// True when the format begins with the name: single-byte characters compared without regard to
// case, double-byte characters exactly.
bool begins_with_name(const char *format, size_t length, const char *name) {
    size_t n = std::strlen(name);
    if (n > length) return false;
    bool multibyte = platform::mb_cur_max() > 1;
    for (size_t i = 0; i < n; ++i) {
        unsigned char a = static_cast<unsigned char>(format[i]);
        unsigned char b = static_cast<unsigned char>(name[i]);
        if (multibyte && platform::is_lead_byte(b) && i + 1 < n) {
            if (a != b || format[i + 1] != name[i + 1]) return false;
            ++i;
        } else if (platform::to_lower(a) != platform::to_lower(b)) {
            return false;
        }
    }
    return true;
}

} // namespace

const char *host_word(int32_t id) {
    std::atomic<const char *> *slot = word_slot(id);
    if (slot == nullptr) return "";
    if (const char *word = slot->load()) return word;
    const char *text = runtime::host_text(id);
    if (text == nullptr || *text == '\0') {
        static const char kNoWord[] = "";
        const char *expected = nullptr;
        return slot->compare_exchange_strong(expected, kNoWord) ? kNoWord : expected;
    }
    char *copy = lasting_copy(text);
    if (copy == nullptr) {
        runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
        return "";
    }
    return publish(*slot, copy);
}

char *build_currency_format(const platform::MonetaryConventions &c) {
    int digits = c.frac_digits == platform::kNotAvailable ? 2 : c.frac_digits;
    Text number;
    number.add(digits >= 1 ? "#,#0." : "#,#0");
    for (int i = 0; i < digits; ++i)
        number.add('0');
    number.add('\0');

    // Every character of the symbol is escaped; a double-byte character takes one backslash.
    Text symbol;
    const char *s = *c.currency_symbol != '\0' ? c.currency_symbol : "$";
    bool multibyte = platform::mb_cur_max() > 1;
    for (size_t i = 0; s[i] != '\0'; ++i) {
        symbol.add('\\');
        symbol.add(s[i]);
        if (multibyte && platform::is_lead_byte(static_cast<unsigned char>(s[i])) &&
            s[i + 1] != '\0')
            symbol.add(s[++i]);
    }
    symbol.add('\0');
    if (!number.chars.ok() || !symbol.chars.ok()) return nullptr;
    const char *num = number.chars.data();
    const char *sym = symbol.chars.data();
    bool symbol_first = c.p_cs_precedes != 0;

    Text format;
    if (symbol_first) {
        format.add(sym);
        if (c.p_sep_by_space == 1) format.add(' ');
        format.add(num);
    } else {
        format.add(num);
        if (c.p_sep_by_space == 1) format.add(' ');
        format.add(sym);
    }
    format.add(';');
    // The negative section has no space, and its symbol stands where the positive one does.
    const char *first = symbol_first ? sym : num;
    const char *second = symbol_first ? num : sym;
    switch (c.n_sign_posn) {
    case 1:
        format.add('-'), format.add(first), format.add(second);
        break;
    case 2:
        format.add(first), format.add(second), format.add('-');
        break;
    case 3:
        if (symbol_first)
            format.add('-'), format.add(sym), format.add(num);
        else
            format.add(num), format.add('-'), format.add(sym);
        break;
    case 4:
        if (symbol_first)
            format.add(sym), format.add('-'), format.add(num);
        else
            format.add(num), format.add(sym), format.add('-');
        break;
    default: // 0, and every value the table does not name
        format.add('('), format.add(first), format.add(second), format.add(')');
        break;
    }
    return format.release();
}

char *build_medium_date_format(const char *pattern) {
    if (pattern == nullptr) pattern = "";
    Text format;
    bool replaced = false;
    for (size_t i = 0; pattern[i] != '\0'; ++i) {
        if (!replaced && (pattern[i] == 'M' || pattern[i] == 'm')) {
            while (pattern[i + 1] == 'M' || pattern[i + 1] == 'm')
                ++i;
            format.add("mmm");
            replaced = true;
        } else {
            format.add(pattern[i]);
        }
    }
    return format.release();
}

namespace {

constexpr size_t kNamedCount = sizeof kNamedFormats / sizeof kNamedFormats[0];
static_assert(kNamedCount <= 32, "one bit per entry");

// Entry i of the table holds the name of id BI_TEXT_NAMED_FORMATS - i.
constexpr bool entries_in_id_order() {
    for (size_t i = 0; i < kNamedCount; ++i)
        if (kNamedFormats[i].id != BI_TEXT_NAMED_FORMATS - static_cast<int32_t>(i)) return false;
    return true;
}
static_assert(entries_in_id_order());

// The names of the table, read once (the host's words are kept for the life of the process),
// with their lengths and the entries whose names start with each byte (lowered): a format whose
// first byte starts no name (every "#" or "0" format) skips the table. When a name could not be
// read (no memory) the names are not trusted and are read again at each lookup.
struct Names {
    const char *name[kNamedCount] = {};
    size_t length[kNamedCount] = {};
    uint32_t by_first_byte[256] = {}; // bit i: the name of entry i starts with the (lowered) byte
    bool complete = false;
};

Names gather_names() {
    Names names;
    uint64_t traps_before = runtime::traps_raised();
    for (size_t i = 0; i < kNamedCount; ++i) {
        const char *name = host_word(kNamedFormats[i].id);
        names.name[i] = name;
        names.length[i] = std::strlen(name);
        if (*name != '\0')
            names.by_first_byte[platform::to_lower(static_cast<unsigned char>(*name))] |= 1u << i;
    }
    names.complete = runtime::traps_raised() == traps_before;
    return names;
}

const Names &table_names() {
    static const Names names = gather_names();
    return names;
}

// The name of entry i of the table.
const char *name_of(const Names &names, size_t i) {
    return names.complete ? names.name[i] : host_word(kNamedFormats[i].id);
}

// The format text entry i stands for; its name is `name`.
const char *replacement_of(size_t i, const char *name) {
    const NamedFormat &entry = kNamedFormats[i];
    switch (entry.kind) {
    case Replacement::Text:
        return entry.format;
    case Replacement::Currency:
        return cached_format(g_currency_format, currency_from_locale);
    case Replacement::MediumDate:
        return cached_format(g_medium_date_format, medium_date_from_locale);
    case Replacement::Name:
        break;
    }
    return name;
}

} // namespace

bool named_formats_settled() {
    return table_names().complete;
}

bool lookup_named_format(const char *format, size_t length, const char **replacement,
                         size_t *replacement_length) {
    if (length == 0) return false;
    int first = platform::to_lower(static_cast<unsigned char>(format[0]));
    const Names &names = table_names();
    uint32_t candidates = names.complete ? names.by_first_byte[first] : ~0u >> (32 - kNamedCount);
    for (; candidates != 0; candidates &= candidates - 1) {
        const auto i = static_cast<size_t>(__builtin_ctz(candidates));
        if (names.complete && names.length[i] > length) continue;
        const char *name = name_of(names, i);
        // A host without a name for an entry (the default text hook answers empty texts) leaves
        // the entry out: an empty name would otherwise match every format.
        if (*name == '\0' || platform::to_lower(static_cast<unsigned char>(*name)) != first ||
            !begins_with_name(format, length, name))
            continue;
        const char *text = replacement_of(i, name);
        *replacement = text;
        *replacement_length = std::strlen(text);
        return true;
    }
    return false;
}

const char *answer_text(const Section &section, const FormatNumber &number) {
    static constexpr struct {
        int32_t id;
        const char *yes;
        const char *no;
    } kAnswers[] = {{BI_TEXT_NAMED_FORMATS - 6, "Yes", "No"},
                    {BI_TEXT_NAMED_FORMATS - 7, "True", "False"},
                    {BI_TEXT_NAMED_FORMATS - 8, "On", "Off"}};
    const Names &names = table_names();
    for (const auto &answer : kAnswers) {
        const auto entry = static_cast<size_t>(BI_TEXT_NAMED_FORMATS - answer.id);
        if (names.complete && names.length[entry] != section.length) continue;
        const char *name = name_of(names, entry);
        if (*name != '\0' && std::strlen(name) == section.length &&
            std::memcmp(name, section.text, section.length) == 0)
            return compare_format_number(number, 0) != 0 ? answer.yes : answer.no;
    }
    return nullptr;
}

} // namespace brtl::format
