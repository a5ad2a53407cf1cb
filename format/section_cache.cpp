// The layouts of the sections read last, kept by their text so that a loop formatting with one
// format reads it once (and, for a plain format, does not look it up either). A layout is kept only
// when nothing of it came from the number or from a locale pattern; the code page it was read under
// and the separators it put into its nodes are checked before it serves again. Each thread keeps
// its own few layouts, replaced in turn.
#include <cstring>

#include "brtl/datetime.h"
#include "format/engine.h"
#include "platform/codepage.h"

namespace brtl::format {

namespace {

constexpr size_t kEntries = 8;
constexpr size_t kLongestText = 48;
constexpr size_t kMostNodes = 64;

struct Entry {
    size_t length = 0; // 0: the entry is free
    char text[kLongestText];
    const platform::CodePage *code_page = nullptr;
    size_t node_count = 0;
    Node nodes[kMostNodes];
    size_t cut = 0;
    FormatState state;
    SectionLayout layout;
    bool plain_format = false;
};

thread_local Entry t_entries[kEntries];
thread_local size_t t_next = 0;

bool separators_hold(const SeparatorsRead &read) {
    return (!read.decimal || ZrIntlGetDecimalSeperator() == read.decimal_value) &&
           (!read.date || ZrIntlGetDateSeperator() == read.date_value) &&
           (!read.time || ZrIntlGetTimeSeperator() == read.time_value);
}

// The entry of a text whose settings still hold; null when there is none.
Entry *entry_of(const char *text, size_t length) {
    for (Entry &entry : t_entries) {
        if (entry.length != length || std::memcmp(entry.text, text, length) != 0) continue;
        if (entry.code_page != &platform::current_code_page() ||
            !separators_hold(entry.layout.separators)) {
            entry.length = 0; // read anew, and kept again
            return nullptr;
        }
        return &entry;
    }
    return nullptr;
}

} // namespace

void mark_plain_format(const char *text, size_t length) {
    if (Entry *entry = entry_of(text, length)) entry->plain_format = true;
}

namespace {

void fill(const Entry &entry, ParsedSection &out) {
    out.nodes.clear();
    out.nodes.append(entry.nodes, entry.node_count);
    out.cut = entry.cut;
    out.state = entry.state;
    out.layout = entry.layout;
}

} // namespace

bool find_layout(const char *text, size_t length, ParsedSection &out) {
    const Entry *entry = entry_of(text, length);
    if (entry != nullptr) fill(*entry, out);
    return entry != nullptr;
}

bool find_plain_layout(const char *text, size_t length, ParsedSection &out) {
    const Entry *entry = entry_of(text, length);
    if (entry == nullptr || !entry->plain_format) return false;
    fill(*entry, out);
    return true;
}

void keep_layout(const char *text, size_t length, const ParsedSection &parsed) {
    if (length == 0 || length > kLongestText || parsed.nodes.size() > kMostNodes) return;
    Entry &entry = t_entries[t_next];
    t_next = (t_next + 1) % kEntries;
    entry.length = length;
    std::memcpy(entry.text, text, length);
    entry.code_page = &platform::current_code_page();
    entry.node_count = parsed.nodes.size();
    std::memcpy(entry.nodes, parsed.nodes.data(), parsed.nodes.size() * sizeof(Node));
    entry.cut = parsed.cut;
    entry.state = parsed.state;
    entry.layout = parsed.layout;
    entry.plain_format = false;
}

} // namespace brtl::format
