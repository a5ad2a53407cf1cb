// Put and Get: the on-disk layout of every field kind in Random and Binary files, positions,
// the record-length accounting and the reads past the end of the file.
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <vector>

#include "file_test.h"

namespace brtl_test {
namespace {

std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list)
        s.push_back(static_cast<char>(b));
    return s;
}

class RandomTest : public FileTest {
  protected:
    void open_random(int16_t length, int16_t access = 0) {
        open("r.dat", BI_FILE_MODE_RANDOM, 1, access, 0, length);
        ASSERT_TRUE(traps().empty());
    }
    void open_binary(int16_t access = 0) {
        open("b.dat", BI_FILE_MODE_BINARY, 1, access);
        ASSERT_TRUE(traps().empty());
    }
};

// One field: its descriptor, its value (a Variant's, or a fixed field's bytes or a string's text)
// and its bytes in a Random file and, for a string, in a Binary file.
struct LayoutRow {
    const char *what;
    int32_t kind, size;
    VARIANT value;
    std::string text, random, binary = {};
};

TEST_F(RandomTest, EveryFieldKindHasItsLayoutAndReadsBack) {
    const int32_t VAR = BI_TYPE_VARIANT, STR = BI_TYPE_STRING;
    const std::string minus2 = bytes({0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    for (bool random : {true, false}) {
        std::vector<LayoutRow> table = {
            {"Integer", 2, 2, {}, bytes({7, 0}), bytes({7, 0})},
            {"Long", 3, 4, {}, bytes({4, 3, 2, 1}), bytes({4, 3, 2, 1})},
            {"Currency", 6, 8, {}, minus2, minus2},
            {"fixed string", BI_TYPE_FIXED_STRING, 3, {}, "ab ", "ab "},
            {"BiString", STR, 0, {}, "abc", bytes({3, 0, 0, 0, 'a', 'b', 'c'}), "abc"},
            {"empty BiString", STR, 0, {}, "", bytes({0, 0, 0, 0}), ""},
            {"Variant Integer", VAR, 0, i2(7), "", bytes({2, 0, 7, 0})},
            {"Variant Null", VAR, 0, null_variant(), "", bytes({1, 0})},
            {"Variant Empty", VAR, 0, empty_variant(), "", bytes({0, 0})},
            {"Variant Long", VAR, 0, i4(-1), "", bytes({3, 0, 0xFF, 0xFF, 0xFF, 0xFF})},
            {"Variant Single", VAR, 0, r4(1.0f), "", bytes({4, 0, 0, 0, 0x80, 0x3F})},
            {"Variant Double", VAR, 0, r8(2.0), "", bytes({5, 0, 0, 0, 0, 0, 0, 0, 0, 0x40})},
            {"Variant Currency", VAR, 0, cy(10000), "",
             bytes({6, 0, 0x10, 0x27, 0, 0, 0, 0, 0, 0})},
            {"Variant Date", VAR, 0, date(1.0), "", bytes({7, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
            {"Variant String", VAR, 0, bstr_variant("hi"), "", bytes({8, 0, 2, 0, 0, 0, 'h', 'i'})},
        };
        for (LayoutRow &row : table) {
            SCOPED_TRACE(std::string(row.what) +
                         (random ? " in a Random file" : " in a Binary file"));
            std::filesystem::remove("f.dat");
            open("f.dat", random ? BI_FILE_MODE_RANDOM : BI_FILE_MODE_BINARY, 1, 0, 0, 64);
            // Put from the value, then Get into a target of the same kind holding another value
            // (a Binary file's string target holds as many bytes as Get reads).
            int64_t x = 0, x2 = -1;
            std::memcpy(&x, row.text.data(), row.kind == STR ? 0 : row.text.size());
            BiString s = row.text.empty() ? BiString{const_cast<char *>(""), 0} : temp(row.text);
            std::string held(row.text.size(), 'x');
            BiString s2{random ? const_cast<char *>("") : held.data(),
                        random ? 0 : static_cast<uint32_t>(held.size())};
            VARIANT v2 = i4(99);
            auto at = [&row](VARIANT &v, BiString &text, int64_t &n) -> void * {
                return row.kind == VAR   ? static_cast<void *>(&v)
                       : row.kind == STR ? static_cast<void *>(&text)
                                         : &n;
            };
            Fields put, get;
            put.add(row.kind, at(row.value, s, x), row.size);
            get.add(row.kind, at(v2, s2, x2), row.size);
            ZbiBuiltIn_Put(1, 1, 1, put.list());
            EXPECT_EQ(read("f.dat"), random || row.kind != STR ? row.random : row.binary);
            ZbiBuiltIn_Get(1, 1, 1, get.list());
            EXPECT_TRUE(traps().empty());
            if (row.kind == VAR) {
                EXPECT_EQ(v2.vt, row.value.vt);
                if (v2.vt == VT_BSTR)
                    EXPECT_EQ(ascii_of(v2.bstrVal), ascii_of(row.value.bstrVal));
                else
                    EXPECT_EQ(std::memcmp(&v2.iVal, &row.value.iVal, 8), 0); // the value bytes
            } else if (row.kind == STR) {
                EXPECT_EQ(text_of(s2), row.text);
                if (random) release(s2);
            } else {
                EXPECT_EQ(std::memcmp(&x2, &x, static_cast<size_t>(row.size)), 0);
            }
            VariantClear(&row.value);
            VariantClear(&v2);
            release(s);
            close(1);
        }
    }
}

TEST_F(RandomTest, PositionsAreRecordsOrBytesAndZeroIsTheNextBoundary) {
    open_random(16);
    int16_t integer = 1;
    int32_t long_value = 2;
    Fields f;
    f.fixed(integer).fixed(long_value);
    ZbiBuiltIn_Put(1, 3, 1, f.list());
    EXPECT_EQ(read("r.dat"), std::string(32, '\0') + bytes({1, 0, 2, 0, 0, 0}));
    ZbiBuiltIn_Put(1, 0, 0, f.list()); // from offset 38 to the next boundary, 48
    EXPECT_EQ(read("r.dat").size(), 54u);
    EXPECT_EQ(read("r.dat").substr(48), bytes({1, 0, 2, 0, 0, 0}));
    EXPECT_EQ(ZbiBuiltIn_Loc(1), 4);
    EXPECT_TRUE(traps().empty());
    close(1);

    open_binary();
    ZbiBuiltIn_Put(1, 5, 1, f.list());
    ZbiBuiltIn_Put(1, 0, 0, f.list()); // right after the last byte written
    EXPECT_EQ(read("b.dat"), std::string(4, '\0') + bytes({1, 0, 2, 0, 0, 0, 1, 0, 2, 0, 0, 0}));
    int16_t got = 0;
    Fields g;
    g.fixed(got);
    ZbiBuiltIn_Get(1, 11, 1, g.list());
    EXPECT_EQ(got, 1);
    EXPECT_TRUE(traps().empty());
}

TEST_F(RandomTest, FieldsLongerThanTheRecordTrap59AfterThoseThatFit) {
    open_random(6);
    int32_t a = 0x11111111, b = 0x22222222;
    Fields f;
    f.fixed(a).fixed(b);
    ZbiBuiltIn_Put(1, 1, 1, f.list());
    EXPECT_EQ(traps(), std::vector<Trap>{trap(59)});
    EXPECT_EQ(read("r.dat"), bytes({0x11, 0x11, 0x11, 0x11}));
    clear_traps();
    int32_t r1 = 0, r2 = 0;
    Fields g;
    g.fixed(r1).fixed(r2);
    ZbiBuiltIn_Get(1, 1, 1, g.list());
    EXPECT_EQ(traps(), std::vector<Trap>{trap(59)});
    EXPECT_EQ(r1, 0x11111111);
}

TEST_F(RandomTest, VariantWordsCountAgainstTheRecordLengthOfBinaryFilesToo) {
    open("b.dat", BI_FILE_MODE_BINARY, 1, 0, 0, 10);
    VARIANT a = r8(1), b = i2(1);
    BiString text = temp(std::string(40, 'z'));
    Fields f;
    f.string(text).variant(a).variant(b); // 40 + 10 bytes, of which 10 count
    ZbiBuiltIn_Put(1, 1, 1, f.list());
    EXPECT_EQ(traps(), std::vector<Trap>{trap(59)});
    EXPECT_EQ(read("b.dat").size(), 50u);
    release(text);
}

TEST_F(RandomTest, ReadsPastTheEndGiveZerosEmptyAndNoTrap) {
    write("r.dat", bytes({5, 0, 0, 0, 'a', 'b', 'c'}));
    open_random(32);
    BiString s = temp("old text");
    s.length_word &= ~BI_STRING_TEMP_FLAG; // now a variable's value
    VARIANT v = i4(3), w = i4(4);
    int32_t l = 9;
    char fixed[4] = {'q', 'q', 'q', 'q'};
    char zeroed[4] = {'q', 'q', 'q', 'q'};
    Fields f;
    f.string(s)
        .variant(v)
        .fixed(l)
        .add(0, fixed, 4)
        .add(BI_TYPE_FIXED_STRING, zeroed, 4)
        .variant(w);
    ZbiBuiltIn_Get(1, 1, 1, f.list());
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(ZbiBuiltIn_EOF(1), -1); // the read went past the end
    // The string's count is 5 but only 3 bytes are there: the rest are zeros.
    EXPECT_EQ(text_of(s), std::string("abc\0\0", 5));
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(w.vt, VT_EMPTY);
    EXPECT_EQ(l, 0);
    EXPECT_EQ(std::string(fixed, 4), std::string(4, '\0'));
    EXPECT_EQ(std::string(zeroed, 4), std::string(4, '\0'));
    release(s);

    // A record number far past the end, and a record cut inside a fixed field.
    write("b.dat", bytes({1, 2, 3}));
    open("b.dat", BI_FILE_MODE_BINARY, 2);
    int32_t cut = -1;
    char kept[4] = {'q', 'q', 'q', 'q'};
    Fields g;
    g.fixed(cut);
    ZbiBuiltIn_Get(2, 1, 1, g.list());
    EXPECT_EQ(cut, 0);
    Fields h;
    h.add(BI_TYPE_FIXED_STRING, kept, 4);
    ZbiBuiltIn_Get(2, 1, 1, h.list());
    EXPECT_EQ(std::string(kept, 4), bytes({1, 2, 3, 0}));
    EXPECT_EQ(ZbiBuiltIn_EOF(2), -1);
    EXPECT_TRUE(traps().empty());
}

TEST_F(RandomTest, AStringCountBeyondTheRecordEmptiesTheTarget) {
    write("r.dat", bytes({20, 0, 0, 0}) + std::string(20, 's'));
    open_random(16);
    BiString s = temp("old");
    s.length_word &= ~BI_STRING_TEMP_FLAG; // a variable's value, released by the Get
    Fields f;
    f.string(s);
    ZbiBuiltIn_Get(1, 1, 1, f.list());
    EXPECT_EQ(traps(), std::vector<Trap>{trap(59)});
    EXPECT_EQ(text_of(s), "");
}

TEST_F(RandomTest, ArgumentAndModeTraps) {
    write("ro.dat", "abcd");
    open("out.txt", BI_FILE_MODE_OUTPUT, 2);
    open("ro.dat", BI_FILE_MODE_BINARY, 3, BI_FILE_ACCESS_READ);
    open("wo.dat", BI_FILE_MODE_RANDOM, 4, BI_FILE_ACCESS_WRITE);
    ASSERT_TRUE(traps().empty());
    int16_t x = 1;
    Fields f;
    f.fixed(x);
    VARIANT boolean_value = boolean(true);
    Fields bad;
    bad.variant(boolean_value);
    struct Case {
        std::function<void()> call;
        Trap want;
    };
    for (const Case &c : {
             Case{[&] { ZbiBuiltIn_Put(9, 1, 1, f.list()); }, file_trap(52, "9")},
             Case{[&] { ZbiBuiltIn_Get(-3, 1, 1, f.list()); }, file_trap(52, "-3")},
             Case{[&] { ZbiBuiltIn_Put(2, 1, 1, f.list()); }, trap(54)},
             Case{[&] { ZbiBuiltIn_Get(2, 1, 1, f.list()); }, trap(54)},
             Case{[&] { ZbiBuiltIn_Put(3, 1, 1, f.list()); }, trap(75)},
             Case{[&] { ZbiBuiltIn_Get(4, 1, 1, f.list()); }, trap(75)},
             Case{[&] { ZbiBuiltIn_Get(3, 0, 1, f.list()); }, trap(63)},
             Case{[&] { ZbiBuiltIn_Put(4, -1, 1, f.list()); }, trap(63)},
             Case{[&] { ZbiBuiltIn_Put(4, 1, 1, bad.list()); }, trap(5)},
         }) {
        clear_traps();
        c.call();
        EXPECT_EQ(traps(), std::vector<Trap>{c.want});
    }
    EXPECT_EQ(read("wo.dat"), "");
}

// A Variant read from the bytes of a Binary file: a value cut by the end of the file reads as
// zero, a string count beyond the file reads what is there, a subtype word Put never writes is
// trap 5, and no memory for the text is trap 7; a failed Get leaves the target Empty.
TEST_F(RandomTest, AVariantGetTakesWhatTheFileHolds) {
    struct Row {
        std::string file;
        Want want;
        std::vector<Trap> traps = {};
        bool no_memory = false;
    };
    for (const Row &row : {
             Row{bytes({5, 0, 0, 0, 0, 0, 0, 0xF0}), R8(0)}, // a Double with 6 of its 8 bytes
             Row{bytes({8, 0, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'}), Str("ab")},
             Row{bytes({11, 0, 1, 0}), Empty, {trap(5)}},
             Row{bytes({8, 0, 3, 0, 0, 0, 'a', 'b', 'c'}), Empty, {trap(7)}, true},
         }) {
        clear_traps();
        write("b.dat", row.file);
        open_binary();
        VARIANT v = i2(3);
        Fields f;
        f.variant(v);
        fail_allocations_after(row.no_memory ? 0 : -1, true);
        ZbiBuiltIn_Get(1, 1, 1, f.list());
        fail_allocations_after(-1);
        EXPECT_EQ(traps(), row.traps);
        expect_variant(v, row.want);
        close(1);
    }
}

TEST_F(RandomTest, DoubleByteVariantTextIsCountedInBytesAndReadsBackWhole) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    open_binary();
    // U+3042 U+3044 and "x": five bytes in the code page for three characters.
    VARIANT v = bstr_variant(std::u16string{u'\u3042', u'\u3044', u'x'});
    Fields f;
    f.variant(v);
    ZbiBuiltIn_Put(1, 1, 1, f.list());
    EXPECT_EQ(read("b.dat"), bytes({8, 0, 5, 0, 0, 0, 0x82, 0xA0, 0x82, 0xA2, 'x'}));
    VARIANT back{};
    Fields g;
    g.variant(back);
    ZbiBuiltIn_Get(1, 1, 1, g.list());
    EXPECT_TRUE(traps().empty());
    ASSERT_EQ(back.vt, VT_BSTR);
    EXPECT_EQ(units_of(back.bstrVal), (std::u16string{u'\u3042', u'\u3044', u'x'}));
    VariantClear(&v);
    VariantClear(&back);
}

TEST_F(RandomTest, TrapPathsReleaseEverythingUnderBothHookStyles) {
    write("r.dat", bytes({8, 0, 40, 0, 0, 0}) + std::string(40, 'x'));
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        open_random(20);
        BlockBalance balance;
        set_mode(mode);
        VARIANT v = bstr_variant("keep");
        VariantClear(&v);
        Fields f;
        f.variant(v);
        try {
            ZbiBuiltIn_Get(1, 1, 1, f.list()); // 46 bytes in a record of 20
        } catch (const TrapException &) {
        }
        VARIANT text = bstr_variant(std::string(30, 'y'));
        Fields p;
        p.variant(text);
        try {
            ZbiBuiltIn_Put(1, 2, 1, p.list());
        } catch (const TrapException &) {
        }
        set_mode(HookMode::Return);
        EXPECT_EQ(traps(), (std::vector<Trap>{trap(59), trap(59)}));
        EXPECT_EQ(v.vt, VT_EMPTY);
        VariantClear(&text);
        EXPECT_EQ(balance.delta(), 0);
        clear_traps();
        close(1);
    }
}

} // namespace
} // namespace brtl_test
