// The directory part of a path and the path check of the file-system builtins.
#include <filesystem>
#include <string>

#include "file_test.h"

namespace brtl_test {
namespace {

// The directory part, cut in place in a copy of the path (the result is the argument).
std::string directory_part(std::string path) {
    EXPECT_EQ(RemoveFileNameFromPath(path.data()), path.data());
    return path.c_str();
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

class DoubleByteDirectoryPart : public RuntimeTest {};

// 0x95 0x5C is one double-byte character whose trail byte is the "\" byte.
TEST_F(DoubleByteDirectoryPart, NeverCutsAtATrailByte) {
    const std::string name = "dir\\\x95\x5C";
    EXPECT_EQ(directory_part(name), "dir\\\x95");
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    EXPECT_EQ(directory_part(name), "dir");
    EXPECT_EQ(directory_part("C:\x95\x5C"), "C:");
}

class PathCheck : public FileTest {};

// Each path with the check's two switches (the directory part only; reported for the whole
// name) and the traps it gives: none for the paths on the one drive. A directory part without a
// separator is not looked up; one with a separator must exist.
TEST_F(PathCheck, AcceptsPathsOnTheOneDriveAndReportsEachFailureByItsSwitches) {
    std::filesystem::create_directory("sub");
    const std::string bad_drive = "Q:\\x\\y.txt", missing = "nodir\\deeper\\y.txt",
                      colon = "ab:c\\y.txt", full_missing = full_name("sub\\gone\\x.txt");
    struct Row {
        std::string path;
        bool strip, whole;
        std::vector<Trap> want = {};
    };
    for (const Row &row : {
             Row{"x.txt", true, false},
             Row{"nodir\\x.txt", true, false},
             Row{"sub\\x.txt", true, false},
             Row{"sub/x.txt", true, false},
             Row{"sub", false, false},
             Row{"c:\\", false, false},
             Row{"C:sub", false, false},
             Row{"..\\", false, false},
             Row{"C:\\", true, false},
             Row{"", false, false},
             Row{full_name("sub\\x.txt"), true, false},
             // The whole name as a path: everything is trap 76 with the name.
             Row{bad_drive, false, false, {file_trap(76, bad_drive)}},
             Row{missing, false, false, {file_trap(76, missing)}},
             Row{"1:\\x", false, false, {file_trap(76, "1:\\x")}},
             // The directory part of a name: the drive is trap 68, the directory 76 with the part.
             Row{bad_drive, true, false, {trap(68)}},
             Row{missing, true, false, {file_trap(76, "nodir\\deeper")}},
             Row{colon, true, false, {file_trap(76, "ab:c")}},
             Row{full_missing, true, false, {file_trap(76, full_name("sub\\gone"))}},
             // Reported for the whole name: trap 53 with it.
             Row{bad_drive, true, true, {file_trap(53, bad_drive)}},
             Row{missing, true, true, {file_trap(53, missing)}},
             Row{colon, true, true, {file_trap(53, colon)}},
         }) {
        clear_traps();
        IsPathValid(row.path.c_str(), row.strip, row.whole);
        EXPECT_EQ(traps(), row.want) << row.path << " " << row.strip << row.whole;
    }
}

} // namespace
} // namespace brtl_test
