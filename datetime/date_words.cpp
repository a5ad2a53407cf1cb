// The host's date words, copied once from the text hook.
#include "datetime/date_words.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <memory>

#include "brtl/host.h"
#include "brtl/texts.h"
#include "platform/memory.h"
#include "runtime/hooks.h"

namespace brtl::datetime {

namespace {

// The words live for the process, in blocks that leak checks do not count.
struct LastingDeleter {
    void operator()(char *block) const { platform::release_lasting(block); }
};

char *lasting_copy(const char *text) {
    size_t n = std::strlen(text) + 1;
    auto *copy = static_cast<char *>(platform::allocate_lasting(n));
    if (copy != nullptr) std::memcpy(copy, text, n);
    return copy;
}

// Copies of the texts of count ids into out; all or nothing. False (trap 7 raised, nothing
// kept) when memory runs out. A text hook or trap hook that throws leaves nothing behind either.
template <size_t N> bool copy_texts(const int32_t (&ids)[N], const char *(&out)[N]) {
    std::array<std::unique_ptr<char, LastingDeleter>, N> copies;
    for (size_t i = 0; i < N; ++i) {
        const char *text = runtime::host_text(ids[i]);
        copies[i].reset(lasting_copy(text != nullptr ? text : ""));
        if (!copies[i]) {
            for (auto &copy : copies)
                copy.reset();
            runtime::raise_trap(BI_TRAP_OUT_OF_MEMORY);
            return false;
        }
    }
    for (size_t i = 0; i < N; ++i)
        out[i] = copies[i].release();
    return true;
}

// The twelve month names, then AM and PM.
constexpr int32_t kDateWordIds[14] = {BI_TEXT_MONTHS,     BI_TEXT_MONTHS - 1,  BI_TEXT_MONTHS - 2,
                                      BI_TEXT_MONTHS - 3, BI_TEXT_MONTHS - 4,  BI_TEXT_MONTHS - 5,
                                      BI_TEXT_MONTHS - 6, BI_TEXT_MONTHS - 7,  BI_TEXT_MONTHS - 8,
                                      BI_TEXT_MONTHS - 9, BI_TEXT_MONTHS - 10, BI_TEXT_MONTHS - 11,
                                      BI_TEXT_AM,         BI_TEXT_PM};

// The three era tables (long, middle, short), then the unit markers.
constexpr int32_t kEraWordIds[kEraTables * kErasPerTable + kUnitCount] = {
    BI_TEXT_LONG_ERAS,       BI_TEXT_LONG_ERAS - 1,   BI_TEXT_LONG_ERAS - 2,
    BI_TEXT_LONG_ERAS - 3,   BI_TEXT_LONG_ERAS - 4,   BI_TEXT_MIDDLE_ERAS,
    BI_TEXT_MIDDLE_ERAS - 1, BI_TEXT_MIDDLE_ERAS - 2, BI_TEXT_MIDDLE_ERAS - 3,
    BI_TEXT_MIDDLE_ERAS - 4, BI_TEXT_SHORT_ERAS,      BI_TEXT_SHORT_ERAS - 1,
    BI_TEXT_SHORT_ERAS - 2,  BI_TEXT_SHORT_ERAS - 3,  BI_TEXT_SHORT_ERAS - 4,
    BI_TEXT_UNITS,           BI_TEXT_UNITS - 1,       BI_TEXT_UNITS - 2,
    BI_TEXT_UNITS - 3,       BI_TEXT_UNITS - 4,       BI_TEXT_UNITS - 5};

const char *g_date_texts[14];
bool g_date_words_read = false;
DateWords g_date_words;

const char *g_era_texts[std::size(kEraWordIds)];
bool g_era_words_read = false;
EraWords g_era_words;

template <size_t N> void fill_empty(const char *(&texts)[N]) {
    for (auto &t : texts)
        t = "";
}

} // namespace

const DateWords &date_words() {
    if (g_date_words_read) return g_date_words;
    static DateWords empty = [] {
        DateWords w;
        fill_empty(w.months);
        w.am = w.pm = "";
        return w;
    }();
    if (!copy_texts(kDateWordIds, g_date_texts)) return empty;
    for (int i = 0; i < 12; ++i)
        g_date_words.months[i] = g_date_texts[i];
    g_date_words.am = g_date_texts[12];
    g_date_words.pm = g_date_texts[13];
    g_date_words_read = true;
    return g_date_words;
}

const EraWords &era_words() {
    if (g_era_words_read) return g_era_words;
    static EraWords empty = [] {
        EraWords w;
        for (auto &table : w.eras)
            fill_empty(table);
        fill_empty(w.units);
        return w;
    }();
    if (!copy_texts(kEraWordIds, g_era_texts)) return empty;
    const char *const *next = g_era_texts;
    for (auto &table : g_era_words.eras)
        for (auto &name : table)
            name = *next++;
    for (auto &unit : g_era_words.units)
        unit = *next++;
    g_era_words_read = true;
    return g_era_words;
}

} // namespace brtl::datetime
