// The directory part of a path and the path check of the file-system builtins.
#include <filesystem>
#include <string>

#include "file_test.h"

namespace brtl_test {
namespace {

std::string directory_part(std::string path) {
    return RemoveFileNameFromPath(path.data());
}

TEST(RemoveFileNameFromPath, KeepsTheDirectoryPart) {
    for (const auto &[path, want] :
         rows(row("C:\\data\\x.txt", "C:\\data"), row("C:\\x.txt", "C:\\"), row("C:x.txt", "C:"),
              row("x.txt", ""), row(".", "."), row("..", ".."), row("...", ""),
              row("a\\b\\", "a\\b"), row("a\\..", "a\\.."), row("..\\x", ".."), row("\\x", "\\"),
              row("C:\\", "C:\\"), row("", ""), row("a:b\\c", "a:b"))) {
        EXPECT_EQ(directory_part(path), want) << path;
    }
}

TEST(RemoveFileNameFromPath, ReturnsItsArgumentEditedInPlace) {
    char path[] = "C:\\dir\\name";
    EXPECT_EQ(RemoveFileNameFromPath(path), path);
    EXPECT_STREQ(path, "C:\\dir");
}

class DoubleByteDirectoryPart : public RuntimeTest {};

// 0x95 0x5C is one double-byte character whose trail byte is the "\" byte.
TEST_F(DoubleByteDirectoryPart, NeverCutsAtATrailByte) {
    const std::string name = "dir\\\x95\x5C";
    EXPECT_EQ(directory_part(name), "dir\\\x95");
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    EXPECT_EQ(directory_part(name), "dir");
    EXPECT_EQ(directory_part("C:\x95\x5C"), "C:");
}

class PathCheck : public FileTest {
  protected:
    void SetUp() override {
        FileTest::SetUp();
        std::filesystem::create_directory("sub");
    }
};

TEST_F(PathCheck, AcceptsPathsOnTheOneDrive) {
    for (const auto &[path, strip] :
         rows(row("x.txt", true), row("nodir\\x.txt", true), row("sub\\x.txt", true),
              row("sub/x.txt", true), row("sub", false), row("c:\\", false), row("C:sub", false),
              row("..\\", false), row("C:\\", true), row("", false))) {
        IsPathValid(path, strip, 0);
        EXPECT_TRUE(traps().empty()) << path;
        clear_traps();
    }
}

struct Failure {
    const char *path;
    bool strip;
    bool whole;
    Trap want;
};

TEST_F(PathCheck, ReportsEachFailureByItsSwitches) {
    const std::string bad_drive = "Q:\\x\\y.txt";
    // A directory part without a separator is not looked up; one with a separator must exist.
    const std::string missing = "nodir\\deeper\\y.txt";
    const std::string colon = "ab:c\\y.txt";
    for (const Failure &f : {
             // The whole name as a path: everything is trap 76 with the name.
             Failure{bad_drive.c_str(), false, false, file_trap(76, bad_drive)},
             Failure{missing.c_str(), false, false, file_trap(76, missing)},
             // The directory part of a name: the drive is trap 68, the directory 76 with the part.
             Failure{bad_drive.c_str(), true, false, trap(68)},
             Failure{missing.c_str(), true, false, file_trap(76, "nodir\\deeper")},
             Failure{colon.c_str(), true, false, file_trap(76, "ab:c")},
             // Reported for the whole name: trap 53 with it.
             Failure{bad_drive.c_str(), true, true, file_trap(53, bad_drive)},
             Failure{missing.c_str(), true, true, file_trap(53, missing)},
             Failure{colon.c_str(), true, true, file_trap(53, colon)},
             Failure{"1:\\x", false, false, file_trap(76, "1:\\x")},
         }) {
        clear_traps();
        IsPathValid(f.path, f.strip, f.whole);
        EXPECT_EQ(traps(), std::vector<Trap>{f.want}) << f.path << " " << f.strip << f.whole;
    }
}

TEST_F(PathCheck, AThrowingHookLeavesNoBlock) {
    BlockBalance balance;
    set_mode(HookMode::Throw);
    EXPECT_THROW(IsPathValid("nodir\\deeper\\x", 1, 0), TrapException);
    EXPECT_THROW(IsPathValid("Q:\\x", 1, 0), TrapException);
    set_mode(HookMode::Return);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(PathCheck, AMissingDirectoryOfAFullPathIsReported) {
    const std::string path = full_name("sub\\gone\\x.txt");
    IsPathValid(path.c_str(), 1, 0);
    EXPECT_EQ(traps(), std::vector<Trap>{file_trap(76, full_name("sub\\gone"))});
    clear_traps();
    const std::string present = full_name("sub\\x.txt");
    IsPathValid(present.c_str(), 1, 0);
    EXPECT_TRUE(traps().empty());
}

} // namespace
} // namespace brtl_test
