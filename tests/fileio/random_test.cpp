// Put and Get: the on-disk layout of every field kind in Random and Binary files, positions,
// the record-length accounting and the reads past the end of the file.
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <functional>
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

TEST(FieldListLayout, DescriptorsFollowTheCountAtOffsetEight) {
    EXPECT_EQ(offsetof(BiFileFieldList, fields), 8u);
    EXPECT_EQ(sizeof(BiFileField), 24u);
    EXPECT_EQ(offsetof(BiFileField, address), 8u);
    EXPECT_EQ(offsetof(BiFileField, size), 16u);
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

// One field, its bytes in a Random file and in a Binary file, and a check of what Get reads back
// into a fresh target of its kind.
struct LayoutRow {
    const char *what;
    std::function<void(Fields &, VARIANT &, BiString &, int64_t &)> build;
    std::string random;
    std::string binary;
};

TEST_F(RandomTest, EveryFieldKindHasItsLayoutAndReadsBack) {
    const std::vector<LayoutRow> table = {
        {"Integer",
         [](Fields &f, VARIANT &, BiString &, int64_t &x) {
             x = 7;
             f.add(2, &x, 2);
         },
         bytes({7, 0}), bytes({7, 0})},
        {"Long",
         [](Fields &f, VARIANT &, BiString &, int64_t &x) {
             x = 0x01020304;
             f.add(3, &x, 4);
         },
         bytes({4, 3, 2, 1}), bytes({4, 3, 2, 1})},
        {"Currency",
         [](Fields &f, VARIANT &, BiString &, int64_t &x) {
             x = -2;
             f.add(6, &x, 8);
         },
         bytes({0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
         bytes({0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"fixed string",
         [](Fields &f, VARIANT &, BiString &, int64_t &x) {
             std::memcpy(&x, "ab ", 3);
             f.add(BI_TYPE_FIXED_STRING, &x, 3);
         },
         "ab ", "ab "},
        {"BiString",
         [](Fields &f, VARIANT &, BiString &s, int64_t &) {
             s = temp("abc");
             f.string(s);
         },
         bytes({3, 0, 0, 0, 'a', 'b', 'c'}), "abc"},
        {"empty BiString", [](Fields &f, VARIANT &, BiString &s, int64_t &) { f.string(s); },
         bytes({0, 0, 0, 0}), ""},
        {"Variant Integer",
         [](Fields &f, VARIANT &v, BiString &, int64_t &) {
             v = i2(7);
             f.variant(v);
         },
         bytes({2, 0, 7, 0}), bytes({2, 0, 7, 0})},
        {"Variant Null",
         [](Fields &f, VARIANT &v, BiString &, int64_t &) {
             v = null_variant();
             f.variant(v);
         },
         bytes({1, 0}), bytes({1, 0})},
        {"Variant Empty", [](Fields &f, VARIANT &v, BiString &, int64_t &) { f.variant(v); },
         bytes({0, 0}), bytes({0, 0})},
        {"Variant Long",
         [](Fields &f, VARIANT &v, BiString &, int64_t &) {
             v = i4(-1);
             f.variant(v);
         },
         bytes({3, 0, 0xFF, 0xFF, 0xFF, 0xFF}), bytes({3, 0, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"Variant Single",
         [](Fields &f, VARIANT &v, BiString &, int64_t &) {
             v = r4(1.0f);
             f.variant(v);
         },
         bytes({4, 0, 0, 0, 0x80, 0x3F}), bytes({4, 0, 0, 0, 0x80, 0x3F})},
        {"Variant Double",
         [](Fields &f, VARIANT &v, BiString &, int64_t &) {
             v = r8(2.0);
             f.variant(v);
         },
         bytes({5, 0, 0, 0, 0, 0, 0, 0, 0, 0x40}), bytes({5, 0, 0, 0, 0, 0, 0, 0, 0, 0x40})},
        {"Variant Currency",
         [](Fields &f, VARIANT &v, BiString &, int64_t &) {
             v = cy(10000);
             f.variant(v);
         },
         bytes({6, 0, 0x10, 0x27, 0, 0, 0, 0, 0, 0}), bytes({6, 0, 0x10, 0x27, 0, 0, 0, 0, 0, 0})},
        {"Variant Date",
         [](Fields &f, VARIANT &v, BiString &, int64_t &) {
             v = date(1.0);
             f.variant(v);
         },
         bytes({7, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}), bytes({7, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
        {"Variant String",
         [](Fields &f, VARIANT &v, BiString &, int64_t &) {
             v = bstr_variant("hi");
             f.variant(v);
         },
         bytes({8, 0, 2, 0, 0, 0, 'h', 'i'}), bytes({8, 0, 2, 0, 0, 0, 'h', 'i'})},
    };
    for (bool random : {true, false}) {
        for (const LayoutRow &row : table) {
            SCOPED_TRACE(std::string(row.what) +
                         (random ? " in a Random file" : " in a Binary file"));
            std::filesystem::remove("f.dat");
            open("f.dat", random ? BI_FILE_MODE_RANDOM : BI_FILE_MODE_BINARY, 1, 0, 0, 64);
            VARIANT v{};
            BiString s{const_cast<char *>(""), 0};
            int64_t x = 0;
            Fields put;
            row.build(put, v, s, x);
            ZbiBuiltIn_Put(1, 1, 1, put.list());
            EXPECT_EQ(read("f.dat"), random ? row.random : row.binary);

            // Read back into targets of the same kind holding other values.
            VARIANT v2 = i4(99);
            BiString s2 = s;
            std::string held(text_of(s).size(), 'x');
            if (!random)
                s2 = BiString{held.data(), static_cast<uint32_t>(held.size())};
            else
                s2 = BiString{const_cast<char *>(""), 0};
            int64_t x2 = -1;
            Fields get;
            const BiFileField &f = put.list()->fields[0];
            get.add(f.kind,
                    f.kind == BI_TYPE_VARIANT  ? static_cast<void *>(&v2)
                    : f.kind == BI_TYPE_STRING ? static_cast<void *>(&s2)
                                               : static_cast<void *>(&x2),
                    f.size);
            ZbiBuiltIn_Get(1, 1, 1, get.list());
            EXPECT_TRUE(traps().empty());
            if (f.kind == BI_TYPE_VARIANT) {
                EXPECT_EQ(v2.vt, v.vt);
                if (v.vt == VT_BSTR)
                    EXPECT_EQ(ascii_of(v2.bstrVal), ascii_of(v.bstrVal));
                else
                    EXPECT_EQ(std::memcmp(&v2.iVal, &v.iVal, 8), 0); // the value bytes
            } else if (f.kind == BI_TYPE_STRING) {
                EXPECT_EQ(text_of(s2), text_of(s));
                if (random) release(s2);
            } else {
                EXPECT_EQ(std::memcmp(&x2, &x, static_cast<size_t>(f.size)), 0);
            }
            VariantClear(&v);
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
    EXPECT_TRUE(traps().empty());
}

TEST_F(RandomTest, AVariantValueCutByTheEndOfTheFileReadsAsZero) {
    write("b.dat", bytes({5, 0, 0, 0, 0, 0, 0, 0xF0})); // a Double with 6 of its 8 bytes
    open_binary();
    VARIANT v = i2(3);
    Fields f;
    f.variant(v);
    ZbiBuiltIn_Get(1, 1, 1, f.list());
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(v.vt, VT_R8);
    EXPECT_EQ(v.dblVal, 0.0);
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
    // A subtype word that Put never writes.
    write("odd.dat", bytes({11, 0, 1, 0}));
    open("odd.dat", BI_FILE_MODE_BINARY, 5);
    VARIANT v = i2(1);
    Fields g;
    g.variant(v);
    clear_traps();
    ZbiBuiltIn_Get(5, 1, 1, g.list());
    EXPECT_EQ(traps(), std::vector<Trap>{trap(5)});
    EXPECT_EQ(v.vt, VT_EMPTY);
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

TEST_F(RandomTest, AGetWithoutMemoryTraps7AndLeavesTheTargetEmpty) {
    write("b.dat", bytes({8, 0, 3, 0, 0, 0, 'a', 'b', 'c'}));
    open_binary();
    VARIANT v = i2(5);
    Fields f;
    f.variant(v);
    fail_allocations_after(0, true);
    ZbiBuiltIn_Get(1, 1, 1, f.list());
    fail_allocations_after(-1);
    EXPECT_EQ(traps(), std::vector<Trap>{trap(7)});
    EXPECT_EQ(v.vt, VT_EMPTY);
}

TEST_F(RandomTest, AGarbageCountReadsOnlyWhatTheFileHolds) {
    write("b.dat", bytes({8, 0, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'}));
    open_binary();
    VARIANT v{};
    Fields f;
    f.variant(v);
    ZbiBuiltIn_Get(1, 1, 1, f.list());
    EXPECT_TRUE(traps().empty());
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(ascii_of(v.bstrVal), "ab");
    VariantClear(&v);
}

} // namespace
} // namespace brtl_test
