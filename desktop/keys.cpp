// The key-string compiler: plain characters through the layout's key table, Shift/Ctrl/Alt
// prefixes with their groups, Enter for "~" and named keys in braces with repeat counts.
#include "desktop/keys.h"

#include <algorithm>
#include <cstring>

#include "brtl/host.h"
#include "platform/keymap.h"

namespace brtl::desktop {

namespace {

constexpr uint32_t kVkShift = 16;
constexpr uint32_t kVkControl = 17;
constexpr uint32_t kVkMenu = 18;
constexpr uint32_t kVkReturn = 13;
constexpr uint32_t kVkF1 = 0x70;
constexpr size_t kGrowth = 256;

struct KeyName {
    const char *name;
    uint8_t vk;
    bool shift;
};

// Matched in this order as a case-blind prefix of the text after "{"; the function keys F1 to
// F16 come between these two tables.
constexpr KeyName kNamesBeforeF[] = {
    {"BACKSPACE", 0x08, false},  {"BKSP", 0x08, false},     {"BS", 0x08, false},
    {"BREAK", 0x13, false},      {"CAPSLOCK", 0x14, false}, {"CLEAR", 0x0C, false},
    {"DELETE", 0x2E, false},     {"DEL", 0x2E, false},      {"DOWN", 0x28, false},
    {"END", 0x23, false},        {"ENTER", 0x0D, false},    {"ESCAPE", 0x1B, false},
    {"ESC", 0x1B, false},        {"HELP", 0x2F, false},     {"HOME", 0x24, false},
    {"INSERT", 0x2D, false},     {"LEFT", 0x25, false},     {"NUMLOCK", 0x90, false},
    {"PGDN", 0x22, false},       {"PGUP", 0x21, false},     {"RIGHT", 0x27, false},
    {"SCROLLLOCK", 0x91, false}, {"TAB", 0x09, false},      {"UP", 0x26, false},
};
constexpr KeyName kNamesAfterF[] = {
    {"[", 0xDB, false}, {"]", 0xDD, false}, {"+", 0xBB, true}, {"^", 0x36, true}, {"%", 0x35, true},
    {"~", 0xC0, true},  {"{", 0xDB, true},  {"}", 0xDD, true}, {"(", 0x39, true}, {")", 0x30, true},
};

// The largest repeat count read; a larger one is kept at this value, which no queue can hold.
constexpr uint32_t kCountCeiling = static_cast<uint32_t>(kMaxKeyEvents) + 1;

// The letters of the names are ASCII; the process's locale has no say in their case.
char ascii_upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when text starts with name (letters compared without regard to case); stops at the first
// difference, so it never reads past the end of text.
bool prefix_matches(const char *text, const char *name) {
    for (; *name != '\0'; ++text, ++name)
        if (ascii_upper(*text) != *name) return false;
    return true;
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// The named key at p: its length (0 when none matches), virtual key and Shift column.
size_t match_name(const char *p, uint32_t &vk, bool &shift) {
    for (const KeyName &k : kNamesBeforeF) {
        if (prefix_matches(p, k.name)) {
            vk = k.vk, shift = k.shift;
            return std::strlen(k.name);
        }
    }
    if (p[0] == 'F' || p[0] == 'f') {
        for (uint32_t f = 1; f <= 16; ++f) {
            bool two_digits = f >= 10;
            char first = static_cast<char>('0' + (two_digits ? 1 : f));
            char second = static_cast<char>('0' + f % 10);
            if (p[1] != first || (two_digits && p[2] != second)) continue;
            if (f == 1 && is_digit(p[2])) continue; // "F1" only when no digit follows
            vk = kVkF1 + f - 1, shift = false;
            return two_digits ? 3 : 2;
        }
    }
    for (const KeyName &k : kNamesAfterF) {
        if (p[0] == k.name[0]) {
            vk = k.vk, shift = k.shift;
            return 1;
        }
    }
    return 0;
}

// The compiler's state between keys.
struct State {
    bool shift = false, ctrl = false, alt = false;
    bool shift_group = false, ctrl_group = false, alt_group = false;
    uint32_t count = 1;
};

bool queue_key(State &st, uint32_t key, KeyList &out) {
    uint32_t down = st.alt ? kSysKeyDown : kKeyDown;
    uint32_t up = st.alt ? kSysKeyUp : kKeyUp;
    size_t per_key = 2 + 2 * (size_t{st.ctrl} + size_t{st.shift} + size_t{st.alt});
    // count is at most 2^24 + 1 and per_key at most 8: the product fits.
    if (!out.reserve_more(per_key * st.count)) return false;
    for (uint32_t i = 0; i < st.count; ++i) {
        bool ok = (!st.ctrl || out.push(down, kVkControl)) &&
                  (!st.shift || out.push(down, kVkShift)) && (!st.alt || out.push(down, kVkMenu)) &&
                  out.push(down, key) && out.push(up, key) && (!st.alt || out.push(up, kVkMenu)) &&
                  (!st.shift || out.push(up, kVkShift)) && (!st.ctrl || out.push(up, kVkControl));
        if (!ok) return false;
    }
    st.shift = st.shift && st.shift_group;
    st.ctrl = st.ctrl && st.ctrl_group;
    st.alt = st.alt && st.alt_group;
    st.count = 1;
    return true;
}

// A plain character's key word, adding Shift when the layout needs it for the character.
uint32_t plain_key(State &st, unsigned char c) {
    uint16_t scan = platform::vk_key_scan(c);
    if (scan & platform::kScanShift) st.shift = true;
    return scan;
}

// After "{": the key and the repeat count up to and past the closing "}"; false for a syntax
// error. p is moved past the braces.
bool braced_key(State &st, const char *&p, uint32_t &key) {
    uint32_t vk = 0;
    bool shift = false;
    if (size_t n = match_name(p, vk, shift)) {
        p += n;
        key = vk;
        if (shift) st.shift = true;
    } else {
        if (*p == '\0') return false;
        key = plain_key(st, static_cast<unsigned char>(*p++));
    }
    if (*p == ' ') {
        ++p;
        if (!is_digit(*p)) return false;
        uint32_t count = 0;
        for (; is_digit(*p); ++p)
            count = std::min(count * 10 + static_cast<uint32_t>(*p - '0'), kCountCeiling);
        st.count = count;
    }
    if (*p != '}') return false;
    ++p;
    return true;
}

// ")": closes the Shift group when open, else the Ctrl group, else the Alt group.
bool close_group(State &st) {
    if (st.shift_group) {
        st.shift_group = st.shift = false;
    } else if (st.ctrl_group) {
        st.ctrl_group = st.ctrl = false;
    } else if (st.alt_group) {
        st.alt_group = st.alt = false;
    } else {
        return false;
    }
    return true;
}

// "+", "^" or "%": the modifier for the next key, or for a group when "(" follows.
void set_modifier(State &st, char c, const char *&p) {
    bool open = *p == '(';
    if (open) ++p;
    bool &flag = c == '+' ? st.shift : c == '^' ? st.ctrl : st.alt;
    bool &group = c == '+' ? st.shift_group : c == '^' ? st.ctrl_group : st.alt_group;
    flag = true;
    if (open) group = true;
}

} // namespace

KeyList::~KeyList() {
    ZrFree(events_);
}

bool KeyList::reserve(size_t wanted) {
    if (wanted > kMaxKeyEvents) return false;
    if (wanted <= capacity_) return true;
    // Whole blocks of 256 records, at least doubling, so that a long string is not copied over
    // and over.
    size_t target = std::max(wanted, std::min(capacity_ * 2, kMaxKeyEvents));
    size_t capacity = (target + kGrowth - 1) / kGrowth * kGrowth;
    void *grown = ZrRealloc(events_, capacity * sizeof(BrtlKeyEvent));
    if (grown == nullptr) return false;
    events_ = static_cast<BrtlKeyEvent *>(grown);
    capacity_ = capacity;
    return true;
}

bool KeyList::append(const KeyList &other) {
    if (other.count_ == 0) return true;
    if (other.count_ > kMaxKeyEvents - count_ || !reserve(count_ + other.count_)) return false;
    std::memcpy(events_ + count_, other.events_, other.count_ * sizeof(BrtlKeyEvent));
    count_ += other.count_;
    return true;
}

void KeyList::clear() {
    ZrFree(events_);
    events_ = nullptr;
    count_ = capacity_ = 0;
}

KeyFailure compile_keys(const char *keys, KeyList &out) {
    if (keys == nullptr || *keys == '\0') return KeyFailure::Syntax;
    State st;
    for (const char *p = keys; *p != '\0';) {
        char c = *p++;
        uint32_t key = 0;
        switch (c) {
        case '+':
        case '^':
        case '%':
            set_modifier(st, c, p);
            continue;
        case ')':
            if (!close_group(st)) return KeyFailure::Syntax;
            continue;
        case '~':
            key = kVkReturn;
            break;
        case '{':
            if (!braced_key(st, p, key)) return KeyFailure::Syntax;
            break;
        default:
            key = plain_key(st, static_cast<unsigned char>(c));
            break;
        }
        if (!queue_key(st, key, out)) return KeyFailure::NoMemory;
    }
    return KeyFailure::None;
}

} // namespace brtl::desktop
