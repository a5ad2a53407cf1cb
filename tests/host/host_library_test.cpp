// The host support library: formatted output, text helpers, host file objects.
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "harness/harness.h"

using namespace brtl_test;

namespace {

class HostLibraryTest : public RuntimeTest {};

} // namespace

// Text and integers as the C library formats them, numbers by the library's number-text rule
// (default precision included), the bound of the n-form, wide widths and long texts, and a
// stream's byte count or failure.
TEST_F(HostLibraryTest, FormattedOutput) {
    char buf[128];
    EXPECT_EQ(ZrSprintf(buf, "%d|%5d|%-5d|%05d|%+d", 42, -7, 3, -12, 9), 23);
    EXPECT_STREQ(buf, "42|   -7|3    |-0012|+9");
    ZrSprintf(buf, "%ld %lu %x %X %o %c %%", -5L, 7UL, 255u, 255u, 8u, 'z');
    EXPECT_STREQ(buf, "-5 7 ff FF 10 z %");
    ZrSprintf(buf, "[%s][%6s][%-6s][%.2s]", "abc", "abc", "abc", "abc");
    EXPECT_STREQ(buf, "[abc][   abc][abc   ][ab]");
    ZrSprintf(buf, "%hd %04d-%02d-%02d", static_cast<short>(-3), 1996, 2, 9);
    EXPECT_STREQ(buf, "-3 1996-02-09");
    ZrSprintf(buf, "%.3d|%s", 5, static_cast<const char *>(nullptr));
    EXPECT_STREQ(buf, "005|(null)");
    ZrSprintf(buf, "%.15G %.7G %f [%8.2f][%-8.2f][%08.2f][%+.1e]", 1.5e20,
              static_cast<double>(0.1f), 2.5, 3.14159, 3.14159, -3.14159, 12345.0);
    EXPECT_STREQ(buf, "1.5E+020 0.1 2.500000 [    3.14][3.14    ][-0003.14][+1.2e+004]");
    char small[8];
    EXPECT_EQ(ZrSnprintf(small, sizeof small, "%s-%d", "abcdef", 12345), 12);
    EXPECT_STREQ(small, "abcdef-");
    EXPECT_EQ(ZrSnprintf(nullptr, 0, "%.15G", 1.0 / 3.0), 17);
    std::string long_text(3000, 'x');
    std::string out(4000, '\0');
    EXPECT_EQ(ZrSprintf(out.data(), "%s|%300d", long_text.c_str(), 1), 3301);
    EXPECT_EQ(out.substr(3000, 2), "| ");
    EXPECT_EQ(out[3300], '1');

    FILE *f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ZrFprintf(f, "%d,%s,%.15G\r\n", 7, long_text.c_str(), 0.5), 3008);
    std::rewind(f);
    char head[5] = {};
    ASSERT_EQ(std::fread(head, 1, 4, f), 4u);
    EXPECT_STREQ(head, "7,xx");
    std::fclose(f);
    f = std::fopen((scratch_dir() / "ro.txt").string().c_str(), "w");
    std::fclose(f);
    f = std::fopen((scratch_dir() / "ro.txt").string().c_str(), "r");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ZrFprintf(f, "%s", "cannot"), -1);
    std::fclose(f);
}

// Copies, comparisons and searches of texts, character counts and wide copies in the
// double-byte code page, and pattern fills.
// Integer conversions, with and without flags, widths and precisions, against the C library on
// random values of every size.
TEST_F(HostLibraryTest, SprintfIntegersMatchTheCLibraryOnRandomValues) {
    std::mt19937_64 random(11);
    const char *const formats[] = {"%d",  "%i",   "%u",   "%x",   "%X",  "%o",
                                   "%8d", "%-8x", "%08X", "%+d",  "% d", "%#x",
                                   "%#o", "%.5d", "%lld", "%llu", "%llX"};
    for (int i = 0; i < 20000; ++i) {
        const auto bits = random();
        const auto small = static_cast<int>(bits >> (random() % 64));
        for (const char *format : formats) {
            char ours[128], theirs[128];
            const bool wide = std::strstr(format, "ll") != nullptr;
            if (wide) {
                ZrSnprintf(ours, sizeof ours, format, static_cast<long long>(bits));
                std::snprintf(theirs, sizeof theirs, format, static_cast<long long>(bits));
            } else {
                ZrSnprintf(ours, sizeof ours, format, small);
                std::snprintf(theirs, sizeof theirs, format, small);
            }
            ASSERT_STREQ(ours, theirs) << format;
        }
    }
}

TEST_F(HostLibraryTest, TextHelpers) {
    BlockBalance balance;
    char *copy = ZrStrCopy("hello");
    EXPECT_STREQ(copy, "hello");
    ZrFree(copy);
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_EQ(ZrStrLen("abc"), 3u);
    EXPECT_EQ(ZrStrCmp("a", "b") < 0, true);
    EXPECT_EQ(ZrStrICmp("HeLLo", "hello"), 0);
    EXPECT_LT(ZrStrICmp("abc", "ABD"), 0);
    EXPECT_NE(ZrStrNIEqual("ABCx", "abcy", 3), 0);
    EXPECT_EQ(ZrStrNIEqual("ABCx", "abcy", 4), 0);
    EXPECT_NE(ZrStrNIEqual("ab", "AB", 5), 0); // equal up to both ends
    EXPECT_LT(ZrStrColl("apple", "Banana"), 0);
    EXPECT_LT(ZrStrColl("abc", "ABC"), 0); // lower case first among equals
    EXPECT_EQ(ZrStrColl("same", "same"), 0);
    const char *text = "a,b;c,d";
    EXPECT_EQ(ZrStrChr(text, ','), text + 1);
    EXPECT_EQ(ZrStrRChr(text, ','), text + 5);
    EXPECT_EQ(ZrStrPBrk(text, ";"), text + 3);
    EXPECT_EQ(ZrStrChr(text, 'z'), nullptr);
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    EXPECT_EQ(ZrStrCharLen("a\x82\xA0z"), 3u);
    OLECHAR *w = ZrCharToWide("a\x82\xA0");
    EXPECT_EQ(w[0], u'a');
    EXPECT_EQ(w[1], 0x3042);
    EXPECT_EQ(w[2], 0);
    char *m = ZrWideToChar(w);
    EXPECT_STREQ(m, "a\x82\xA0");
    ZrFree(w);
    ZrFree(m);
    w = ZrCreateWideFromChar("");
    EXPECT_EQ(w[0], 0);
    m = ZrCreateCharFromWide(w);
    EXPECT_STREQ(m, "");
    ZrFree(w);
    ZrFree(m);
    char buf[11] = {};
    ZrPatternMemSet(buf, "abc", 3, 10);
    EXPECT_STREQ(buf, "abcabcabca");
    char two[3] = {};
    ZrPatternMemSet(two, "xyz", 3, 2);
    EXPECT_STREQ(two, "xy");
    ZrPatternMemSet(two, "q", 0, 2); // an empty pattern writes nothing
    EXPECT_STREQ(two, "xy");
}

TEST_F(HostLibraryTest, ProceduresAreFoundByName) {
    EXPECT_EQ(ZrGetIntStrProc("ZrBiMatchPattern"), nullptr);
    int marker = 0;
    brtl_set_int_str_proc("ZrBiMatchPattern", &marker);
    EXPECT_EQ(ZrGetIntStrProc("ZrBiMatchPattern"), &marker);
    brtl_set_int_str_proc("ZrBiMatchPattern", nullptr);
    EXPECT_EQ(ZrGetIntStrProc("ZrBiMatchPattern"), nullptr);
}

// Host file objects follow their stream; the memory functions share one heap.
TEST_F(HostLibraryTest, HostFileObjectsAndMemory) {
    BlockBalance balance;
    FILE *a = std::tmpfile();
    FILE *b = std::tmpfile();
    ZrHostFile *file = ZrFileCreate(a);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ZrFileStream(file), a);
    ZrFileClose(file);
    EXPECT_EQ(ZrFileStream(file), nullptr);
    ZrFileOpen(file, b); // the same object serves the next open of its number
    EXPECT_EQ(ZrFileStream(file), b);
    ZrFileClose(file);
    EXPECT_EQ(balance.delta(), 1); // the object outlives its stream
    ZrFree(file);
    std::fclose(a);
    std::fclose(b);
    auto *z = static_cast<unsigned char *>(ZrMemCalloc(4, 4, 2));
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(z[i], 0);
    z = static_cast<unsigned char *>(ZrMemRealloc(z, 64, 2));
    ZrFree(z);
    void *c = ZrCalloc(0, 8); // a zero count still gives a block to free
    ASSERT_NE(c, nullptr);
    ZrFree(c);
    EXPECT_EQ(ZrCalloc(SIZE_MAX / 2, 4), nullptr); // the product overflows
    ZrFree(nullptr);
    EXPECT_EQ(balance.delta(), 0);
}

// The defaults the host class constructors lay, and the error list.
TEST_F(HostLibraryTest, HostClassDefaults) {
    struct Pair {
        float unset;
        float value;
    };
    auto construct = [](void (*ctor)(void *)) {
        Pair p{1.0f, 1.0f};
        ctor(&p);
        return p;
    };
    for (auto ctor : {ZkLeft, ZkTop, ZkWidth, ZkHeight}) {
        Pair p = construct(ctor);
        uint32_t bits;
        std::memcpy(&bits, &p.unset, 4);
        EXPECT_EQ(bits, 0xFDCCCCCCu);
        EXPECT_FLOAT_EQ(p.unset, -3.4028234663852886e+37f);
    }
    EXPECT_EQ(construct(ZkLeft).value, 0.0f);
    EXPECT_EQ(construct(ZkTop).value, 0.0f);
    EXPECT_EQ(construct(ZkWidth).value, 1142.0f);
    EXPECT_EQ(construct(ZkHeight).value, 492.0f);
    int32_t list = 0;
    ZrErrorList(&list);
    EXPECT_EQ(list, -1);
}
