// Dir_ over a scratch tree: patterns, attributes, hidden files, directories, the listing state
// across Reset and nested runs, and the wildcards of the directory search.
#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "file_test.h"
#include "platform/file_system.h"

namespace brtl_test {
namespace {

class DirTest : public FileTest {
  protected:
    void SetUp() override {
        FileTest::SetUp();
        for (const char *name : {"a.txt", "B.TXT", "c.dat", ".hidden", "noext", "ab.txt"})
            write(name, "x");
        std::filesystem::create_directory("sub");
        std::filesystem::create_directory("sub.txt");
        write("sub/inner.txt", "y");
    }
    // Every name of a listing: the first call, then continue calls until the empty string.
    std::multiset<std::string> listing(const std::string &pattern, int32_t attributes) {
        std::multiset<std::string> names;
        std::string name = take(ZbiBuiltIn_Dir_(temp(pattern), attributes, 0));
        for (int guard = 0; !name.empty() && guard < 1000; ++guard) {
            names.insert(name);
            name = take(ZbiBuiltIn_Dir_(temp(""), 0, 1));
        }
        return names;
    }
    using Names = std::multiset<std::string>;
};

TEST_F(DirTest, PatternsMatchWithoutRegardToCaseAndSkipDirectories) {
    struct Row {
        std::string pattern;
        int32_t attributes;
        Names want;
    };
    const Names files = {"a.txt", "B.TXT", "c.dat", ".hidden", "noext", "ab.txt"};
    Names everything = files;
    everything.insert({".", "..", "sub", "sub.txt"});
    for (const Row &row : {
             Row{"*.txt", 0, {"a.txt", "B.TXT", "ab.txt"}},
             Row{"*.TXT", 16, {"a.txt", "B.TXT", "ab.txt", "sub.txt"}},
             Row{"?.txt", 0, {"a.txt", "B.TXT"}},
             Row{"a*", 0, {"a.txt", "ab.txt"}},
             Row{"*.*", 0, files},
             Row{"", 0, files},
             Row{"*.*", 16, everything},
             Row{"*.*", 2 | 4 | 1, files}, // hidden files come whatever the attributes
             Row{".", 0, files},
             Row{"sub\\", 0, {"inner.txt"}},
             Row{"sub/*.TXT", 0, {"inner.txt"}},
             Row{"sub\\..", 16, everything},
             Row{full_name("") + "\\noe?t", 0, {"noext"}},
             Row{"C:*.dat", 0, {"c.dat"}},
             Row{"*.txt extra words", 0, {"a.txt", "B.TXT", "ab.txt"}},
             Row{"none*", 0, {}},
             Row{"missing.txt", 0, {}},
         }) {
        EXPECT_EQ(listing(row.pattern, row.attributes), row.want) << row.pattern;
        EXPECT_TRUE(traps().empty()) << row.pattern;
        clear_traps();
    }
}

// A listing ends with the empty string and a continue call after it is trap 5; Reset and the end
// of a nested run end a listing in progress, a new pattern replaces it. No block, descriptor or
// search is left.
TEST_F(DirTest, TheListingStateAcrossCallsResetsAndNestedRuns) {
    BlockBalance balance;
    const int descriptors = open_descriptors();
    EXPECT_EQ(listing("c.*", 0), Names{"c.dat"});
    EXPECT_EQ(take(ZbiBuiltIn_Dir_(temp(""), 0, 1)), "");
    for (int way = 0; way < 3; ++way) {
        EXPECT_NE(take(ZbiBuiltIn_Dir_(temp("*.*"), 16, 0)), "");
        if (way == 0) {
            ZbiBuiltIn_Reset();
        } else if (way == 1) {
            ZbiPushFileIORuntimeState();
            ZbiPopFileIORuntimeState();
        } else {
            EXPECT_EQ(take(ZbiBuiltIn_Dir_(temp("c.dat"), 0, 0)), "c.dat");
        }
        EXPECT_EQ(take(ZbiBuiltIn_Dir_(temp(""), 0, 1)), "");
        EXPECT_EQ(brtl::platform::open_search_count(), 0u);
    }
    EXPECT_EQ(traps(), std::vector<Trap>(3, trap(5)));
    EXPECT_EQ(open_descriptors(), descriptors);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(DirTest, TheVolumeLabelIsEmptyAndNeedsNoValidPath) {
    EXPECT_EQ(take(ZbiBuiltIn_Dir_(temp(""), 8, 0)), "");
    EXPECT_EQ(take(ZbiBuiltIn_Dir_(temp("Q:\\"), 8, 0)), "");
    EXPECT_EQ(take(ZbiBuiltIn_Dir_(temp(""), 8, 1)), ""); // the listing was in progress
    EXPECT_TRUE(traps().empty());
}

TEST_F(DirTest, ArgumentTrapsWithEitherHook) {
    struct Row {
        std::string pattern;
        int32_t attributes, more;
        Trap want;
    };
    EXPECT_EQ(listing("c.*", 0), Names{"c.dat"});
    for (const Row &row : {
             Row{"", 0, 1, trap(5)}, // the listing has ended
             Row{"*.txt", 64, 0, trap(5)},
             Row{" x.txt", 0, 0, trap(52)},
             Row{"sub\\ x", 0, 0, trap(52)},
             Row{"nodir\\deeper\\*.txt", 0, 0, file_trap(76, "nodir\\deeper")},
             Row{"Q:\\*.*", 0, 0, trap(68)},
             Row{std::string(261, 'a'), 0, 0, file_trap(64, std::string(261, 'a'))},
         }) {
        for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
            clear_traps();
            BlockBalance balance;
            set_mode(mode);
            try {
                EXPECT_EQ(take(ZbiBuiltIn_Dir_(temp(row.pattern), row.attributes, row.more)), "");
            } catch (const TrapException &) {
            }
            set_mode(HookMode::Return);
            EXPECT_EQ(traps(), std::vector<Trap>{row.want}) << row.pattern.substr(0, 20);
            EXPECT_EQ(balance.delta(), 0);
        }
    }
}

TEST(Wildcards, MatchWholeNamesWithoutBacktrackingBlowUp) {
    using brtl::platform::wildcard_match;
    struct Row {
        const char *pattern;
        const char *name;
        bool match;
    };
    for (const Row &row : {
             Row{"*.*", "noext", true},
             Row{"*.txt", "A.TXT", true},
             Row{"*.txt", "a.txt.bak", false},
             Row{"a?c", "abc", true},
             Row{"a?c", "ac", false},
             Row{"*a*b*c*", "xxaxxbxxcxx", true},
             Row{"*", "", true},
             Row{"", "x", false},
             Row{"*x", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaay", false},
         }) {
        EXPECT_EQ(wildcard_match(row.pattern, row.name), row.match)
            << row.pattern << " " << row.name;
    }
    std::string long_name(5000, 'a');
    EXPECT_FALSE(wildcard_match("*a*a*a*a*a*a*a*a*b", long_name.c_str()));
}

} // namespace
} // namespace brtl_test
