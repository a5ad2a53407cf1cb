// The key-string compiler through brtl_compile_keys: the events of each rule of the notation, of
// every named key, the repeat counts and the failures.
#include <string>
#include <vector>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

constexpr uint32_t D = 256, U = 257, SD = 260, SU = 261; // the window messages
constexpr uint32_t kShift = 16, kCtrl = 17, kAlt = 18;

using Events = std::vector<BrtlKeyEvent>;

Events compile(const std::string &keys) {
    int32_t n = brtl_compile_keys(keys.c_str(), nullptr, 0);
    if (n < 0) return {BrtlKeyEvent{0, static_cast<uint32_t>(n)}};
    Events out(static_cast<size_t>(n));
    EXPECT_EQ(brtl_compile_keys(keys.c_str(), out.data(), n), n);
    return out;
}

// One key pressed and released.
Events tap(uint32_t key, bool sys = false) {
    return {{sys ? SD : D, key}, {sys ? SU : U, key}};
}
// The key with Shift around it.
Events shifted(uint32_t key) {
    return {{D, kShift}, {D, key}, {U, key}, {U, kShift}};
}
Events join(std::initializer_list<Events> parts) {
    Events all;
    for (const Events &p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::string show(const Events &events) {
    std::string text;
    for (const BrtlKeyEvent &e : events)
        text += std::to_string(e.message) + ":" + std::to_string(e.key) + " ";
    return text;
}

void expect_events(const std::string &keys, const Events &expected) {
    EXPECT_EQ(show(compile(keys)), show(expected)) << "keys «" << keys << "»";
}

} // namespace

TEST(KeyCompiler, PlainCharactersAndShiftFromTheLayout) {
    expect_events("abc", join({tap('A'), tap('B'), tap('C')}));
    // A capital carries Shift in the high byte of its key word as well as Shift events.
    expect_events("A", shifted(0x141));
    expect_events("+a", shifted('A'));
    expect_events("1!", join({tap('1'), shifted(0x131)}));
    expect_events(" ;:'\"",
                  join({tap(0x20), tap(0xBA), shifted(0x1BA), tap(0xDE), shifted(0x1DE)}));
    expect_events("=,-./`[]\\", join({tap(0xBB), tap(0xBC), tap(0xBD), tap(0xBE), tap(0xBF),
                                      tap(0xC0), tap(0xDB), tap(0xDD), tap(0xDC)}));
    expect_events("?<>_|}", join({shifted(0x1BF), shifted(0x1BC), shifted(0x1BE), shifted(0x1BD),
                                  shifted(0x1DC), shifted(0x1DD)}));
    expect_events("@#$&*", join({shifted(0x132), shifted(0x133), shifted(0x134), shifted(0x137),
                                 shifted(0x138)}));
    expect_events("\t\r", join({tap(9), tap(13)}));
    // Control characters typed with Ctrl keep the Ctrl bit in the key word and get no Ctrl event.
    expect_events("\x01\n", join({tap(0x241), tap(0x20D)}));
    // A character no key types: the layout's 0xFFFF, whose Shift bit is set.
    expect_events("\xE9", shifted(0xFFFF));
}

TEST(KeyCompiler, ModifiersGroupsAndAlt) {
    expect_events("^c", {{D, kCtrl}, {D, 'C'}, {U, 'C'}, {U, kCtrl}});
    expect_events("%f", {{SD, kAlt}, {SD, 'F'}, {SU, 'F'}, {SU, kAlt}});
    expect_events("^%x", {{SD, kCtrl}, {SD, kAlt}, {SD, 'X'}, {SU, 'X'}, {SU, kAlt}, {SU, kCtrl}});
    expect_events("+^a", {{D, kCtrl}, {D, kShift}, {D, 'A'}, {U, 'A'}, {U, kShift}, {U, kCtrl}});
    // Modifiers hold for one key only, a group until its ")".
    expect_events("+ab", join({shifted('A'), tap('B')}));
    expect_events("+(ab)c", join({shifted('A'), shifted('B'), tap('C')}));
    expect_events("^+(ab)", join({{{D, kCtrl}}, shifted('A'), {{U, kCtrl}}, shifted('B')}));
    // ")" closes the Shift group first, then Ctrl, then Alt.
    expect_events("%(^(a)b)c",
                  join({{{SD, kCtrl}, {SD, kAlt}, {SD, 'A'}, {SU, 'A'}, {SU, kAlt}, {SU, kCtrl}},
                        {{SD, kAlt}},
                        tap('B', true),
                        {{SU, kAlt}},
                        tap('C')}));
    expect_events("%(ab)", join({{{SD, kAlt}},
                                 tap('A', true),
                                 {{SU, kAlt}, {SD, kAlt}},
                                 tap('B', true),
                                 {{SU, kAlt}}}));
    // An open group at the end is no error.
    expect_events("+(a", shifted('A'));
}

TEST(KeyCompiler, EnterBracesAndRepeatCounts) {
    for (const char *enter : {"{ENTER}", "{enter}", "{Enter}", "~"})
        expect_events(enter, tap(13));
    expect_events("{LEFT 3}", join({tap(0x25), tap(0x25), tap(0x25)}));
    expect_events("{F12}", tap(0x7B));
    expect_events("{F1}", tap(0x70));
    expect_events("{F1 2}", join({tap(0x70), tap(0x70)}));
    expect_events("{+}", shifted(0xBB));
    expect_events("{x}", tap('X'));
    expect_events("{x 2}", join({tap('X'), tap('X')}));
    expect_events("{X 2}", join({shifted(0x158), shifted(0x158)}));
    expect_events("{ }", tap(0x20));
    expect_events("{LEFT 0}a", tap('A'));
    expect_events("+{TAB 2}a", join({shifted(9), shifted(9), tap('A')}));
    expect_events("%{F4}", {{SD, kAlt}, {SD, 0x73}, {SU, 0x73}, {SU, kAlt}});
    // The names are prefixes: what follows the name must close the braces.
    expect_events("{BSX}", {{0, static_cast<uint32_t>(-1)}});
}

TEST(KeyCompiler, EveryNamedKey) {
    const struct {
        const char *name;
        uint32_t vk;
        bool shift;
    } rows[] = {
        {"BACKSPACE", 8, false},     {"BKSP", 8, false},        {"BS", 8, false},
        {"BREAK", 0x13, false},      {"CAPSLOCK", 0x14, false}, {"CLEAR", 0x0C, false},
        {"DELETE", 0x2E, false},     {"DEL", 0x2E, false},      {"DOWN", 0x28, false},
        {"END", 0x23, false},        {"ENTER", 0x0D, false},    {"ESCAPE", 0x1B, false},
        {"ESC", 0x1B, false},        {"HELP", 0x2F, false},     {"HOME", 0x24, false},
        {"INSERT", 0x2D, false},     {"LEFT", 0x25, false},     {"NUMLOCK", 0x90, false},
        {"PGDN", 0x22, false},       {"PGUP", 0x21, false},     {"RIGHT", 0x27, false},
        {"SCROLLLOCK", 0x91, false}, {"TAB", 9, false},         {"UP", 0x26, false},
        {"[", 0xDB, false},          {"]", 0xDD, false},        {"+", 0xBB, true},
        {"^", 0x36, true},           {"%", 0x35, true},         {"~", 0xC0, true},
        {"{", 0xDB, true},           {"}", 0xDD, true},         {"(", 0x39, true},
        {")", 0x30, true},
    };
    for (const auto &row : rows) {
        std::string name = row.name;
        Events one = row.shift ? shifted(row.vk) : tap(row.vk);
        expect_events("{" + name + "}", one);
        std::string lower;
        for (char c : name)
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        expect_events("{" + lower + " 2}", join({one, one}));
    }
    for (uint32_t f = 1; f <= 16; ++f)
        expect_events("{F" + std::to_string(f) + "}", tap(0x6F + f));
    expect_events("{f16}", tap(0x7F));
}

// Syntax errors are failure 1; a count beyond the queue and no memory are failure 2. A capacity
// bounds what is written, and the result counts the whole string.
TEST(KeyCompiler, FailuresAndTheCapacity) {
    const char *syntax[] = {"",        "a)",    "{LEFT 3", "{LEFT",     "{",     "{LEFT x}",
                            "{LEFT }", "{F17}", "{ab}",    "{LEFT 3x}", "+(a))", "{F1 }"};
    for (const char *keys : syntax)
        EXPECT_EQ(brtl_compile_keys(keys, nullptr, 0), -1) << "«" << keys << "»";
    EXPECT_EQ(brtl_compile_keys(nullptr, nullptr, 0), -1);
    // A count beyond what the queue holds is failure 2, found before any event is stored.
    EXPECT_EQ(brtl_compile_keys("{a 99999999999}", nullptr, 0), -2);
    EXPECT_EQ(brtl_compile_keys("{a 16777216}", nullptr, 0), -2);
    EXPECT_EQ(brtl_compile_keys("{a 8388608}", nullptr, 0), 16777216);
    BrtlKeyEvent out[3] = {{1, 1}, {1, 1}, {1, 1}};
    EXPECT_EQ(brtl_compile_keys("ab", out, 2), 4); // the whole string's count
    EXPECT_EQ(out[0].message, D);
    EXPECT_EQ(out[1].message, U);
    EXPECT_EQ(out[2].message, 1u); // untouched
    EXPECT_EQ(brtl_compile_keys("ab", out, -5), 4);
    fail_allocations_after(0, true);
    EXPECT_EQ(brtl_compile_keys("abc", nullptr, 0), -2);
    // The list grows by blocks of 256 records: a second block is needed past 256 events.
    fail_allocations_after(1, true);
    EXPECT_EQ(brtl_compile_keys("{a 128}", nullptr, 0), 256);
    fail_allocations_after(1, true);
    EXPECT_EQ(brtl_compile_keys("{a 128}b", nullptr, 0), -2);
    fail_allocations_after(-1);
    EXPECT_EQ(brtl_compile_keys("{a 128}b", nullptr, 0), 258);
}
