// Kill, Name, FileCopy, the attributes, the directories and the drive, and the names the
// system boundary refuses.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "file_test.h"

namespace brtl_test {
namespace {

namespace fs = std::filesystem;

class FileSystemTest : public FileTest {
  protected:
    void SetUp() override {
        FileTest::SetUp();
        ZbiBuiltIn_ChDrive(temp("C")); // the one drive
    }
    static bool exists(const std::string &name) { return fs::exists(fs::symlink_status(name)); }
};

TEST_F(FileSystemTest, KillDeletesEveryMatchButNoDirectoryAndNoOpenFile) {
    fs::create_directory("sub");
    fs::create_directory("dir.tmp");
    for (const char *name : {"one.tmp", "TWO.TMP", "keep.txt", "sub/a.log", "sub/b.log", "c.log"})
        write(name, "x");
    ZbiBuiltIn_Kill(temp("*.tmp"));
    ZbiBuiltIn_Kill(temp("sub/*.LOG"));
    EXPECT_TRUE(traps().empty());
    for (const char *name : {"one.tmp", "TWO.TMP", "sub/a.log", "sub/b.log"})
        EXPECT_FALSE(exists(name)) << name;
    EXPECT_TRUE(exists("keep.txt"));
    EXPECT_TRUE(exists("dir.tmp"));
    write("sub/d.log", "x");
    ZbiBuiltIn_Kill(temp(full_name("sub\\*.log"))); // a full path
    ZbiBuiltIn_MBKill(temp("C:*.log")); // the current directory of drive C:, not its root
    EXPECT_TRUE(traps().empty());
    EXPECT_FALSE(exists("sub/d.log"));
    EXPECT_FALSE(exists("c.log"));

    ZbiBuiltIn_Kill(temp("*.tmp")); // only the directory matches now: nothing is deleted
    EXPECT_EQ(traps(), std::vector<Trap>{file_trap(53, "*.tmp")});
    EXPECT_TRUE(exists("dir.tmp"));
    write("open.txt", "x");
    open("open.txt", BI_FILE_MODE_INPUT, 1);
    clear_traps();
    ZbiBuiltIn_Kill(temp("*.txt")); // keep.txt or open.txt first: open.txt is never deleted
    EXPECT_TRUE(exists("open.txt"));
    EXPECT_EQ(traps(), std::vector<Trap>{file_trap(55, "open.txt")});
}

TEST_F(FileSystemTest, NameMovesAFile) {
    write("old.txt", "data");
    fs::create_directory("sub");
    ZbiBuiltIn_Name(temp("old.txt"), temp("sub\\new.txt"));
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(read("sub/new.txt"), "data");
    EXPECT_FALSE(exists("old.txt"));
}

TEST_F(FileSystemTest, NameOntoAnotherFileSystemIsTrap74) {
    const fs::path other = "/dev/shm";
    struct stat here {
    }, there{};
    if (stat(".", &here) != 0 || stat(other.string().c_str(), &there) != 0 ||
        here.st_dev == there.st_dev)
        GTEST_SKIP() << "no second file system to rename onto";
    write("move.txt", "x");
    const std::string target = "C:\\dev\\shm\\brtl-name-test-" + std::to_string(getpid());
    ZbiBuiltIn_Name(temp("move.txt"), temp(target));
    EXPECT_EQ(traps(), std::vector<Trap>{trap(74)});
    EXPECT_TRUE(exists("move.txt"));
}

TEST_F(FileSystemTest, LengthTimeKindAndAttributes) {
    write("f.bin", std::string(1234, 'z'));
    write(".hidden", "x");
    fs::create_directory("d");
    EXPECT_EQ(ZbiBuiltIn_FileLen(temp("f.bin")), 1234);
    EXPECT_EQ(ZbiBuiltIn_IsDir(temp("d")), -1);
    EXPECT_EQ(ZbiBuiltIn_IsDir(temp("f.bin")), 0);
    VARIANT stamp{}, now{};
    ZbiBuiltIn_FileDateTime(&stamp, temp("f.bin"));
    ZbiBuiltIn_Now(&now);
    ASSERT_EQ(stamp.vt, VT_DATE);
    EXPECT_NEAR(stamp.date, now.date, 5.0 / 86400); // written just now, in local time

    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp("f.bin")), 32);
    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp(".hidden")), 34);
    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp("d")), 16);
    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp(".")), 16);
    ZbiBuiltIn_SetAttr(temp("f.bin"), 33); // read-only and archive
    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp("f.bin")), 33);
    EXPECT_EQ(fs::status("f.bin").permissions() & fs::perms::owner_write, fs::perms::none);
    ZbiBuiltIn_SetAttr(temp("f.bin"), 0);
    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp("f.bin")), 32);
    EXPECT_TRUE(traps().empty());
    for (int16_t bits : {8, 16, 31, 40, -1, 0, 7, 32, 39}) { // the first five are refused
        clear_traps();
        ZbiBuiltIn_SetAttr(temp("f.bin"), bits);
        EXPECT_EQ(traps().size(), bits == 0 || bits == 7 || bits == 32 || bits == 39 ? 0u : 1u)
            << bits;
    }
}

TEST_F(FileSystemTest, DirectoriesAndTheOneDrive) {
    const std::string home = take(ZbiBuiltIn_CurDir_(temp("")));
    EXPECT_EQ(home, full_name("").substr(0, full_name("").size() - 1)); // no final "\"
    EXPECT_EQ(take(ZbiBuiltIn_CurDir_(temp("c"))), home);
    ZbiBuiltIn_MkDir(temp("made"));
    ZbiBuiltIn_ChDir(temp("made"));
    EXPECT_EQ(take(ZbiBuiltIn_CurDir_(temp(""))), home + "\\made");
    ZbiBuiltIn_ChDir(temp("..\\"));
    EXPECT_EQ(take(ZbiBuiltIn_CurDir_(temp(""))), home);
    ZbiBuiltIn_RmDir(temp("made"));
    EXPECT_FALSE(exists("made"));
    ZbiBuiltIn_ChDrive(temp(""));
    ZbiBuiltIn_ChDrive(temp("c:\\anything"));
    EXPECT_TRUE(traps().empty());
}

// Every refusal of the name-taking builtins: its trap and subject under a returning hook, the
// same trap under a throwing one, which leaves no block or descriptor behind; no file changes.
TEST_F(FileSystemTest, EveryRefusalTrapsAndLeavesNothingWithEitherHook) {
    write("open.txt", "x");
    write("other.txt", "other");
    if (!kWindows) write("c*d", "x"); // made behind the library's back, where names may hold "*"
    fs::create_directory("full");
    write("full/f", "x");
    make_host_objects();
    open("open.txt", BI_FILE_MODE_INPUT, 1);
    open("busy.txt", BI_FILE_MODE_OUTPUT, 2);
    const std::string home = take(ZbiBuiltIn_CurDir_(temp("")));
    const std::string n261(261, 'n');
    struct Row {
        std::function<void()> call;
        Trap want;
    };
    const auto kill = [](const char *p) { return [p] { ZbiBuiltIn_Kill(temp(p)); }; };
    const auto name = [](const char *from, const char *to) {
        return [from, to] { ZbiBuiltIn_Name(temp(from), temp(to)); };
    };
    const auto dir_call = [](void (*f)(BiString), std::string d) { return [f, d] { f(temp(d)); }; };
    const std::vector<Row> table = {
        {kill("none.tmp"), file_trap(53, "none.tmp")},
        {kill(""), file_trap(53, "")},
        {kill("   "), file_trap(53, "   ")},
        {kill("nodir\\deeper\\x"), file_trap(76, "nodir\\deeper")},
        {kill("Q:\\x"), trap(68)},
        {kill("full"), trap(75)},                      // a directory by its name
        {kill("OPEN.TXT"), file_trap(55, "open.txt")}, // the name as the directory holds it
        {kill("open.*"), file_trap(55, "open.txt")},
        {kill("c*d"), file_trap(53, "c*d")}, // a "*" in a name is no literal
        {name("full\\f", "other.txt"), file_trap(58, "other.txt")},
        {name("missing.txt", "x.txt"), file_trap(53, "missing.txt")},
        {name("busy.txt", "x.txt"), file_trap(55, "busy.txt")},
        {name("open.txt", "moved.txt"), file_trap(55, "open.txt")},
        // Windows names are case-blind: there BUSY.txt is busy.txt, which exists.
        {name("other.txt", "BUSY.txt"),
         kWindows ? file_trap(58, "BUSY.txt") : file_trap(55, "other.txt")},
        {name("", "x.txt"), trap(76)},
        {name("other.txt", ""), trap(76)},
        {[] { EXPECT_EQ(ZbiBuiltIn_FileLen(temp("gone")), 0); }, file_trap(53, "gone")},
        {[] { ZbiBuiltIn_FileLen(temp(std::string(261, 'n'))); }, file_trap(64, n261)},
        {[] {
             VARIANT v = i2(1);
             ZbiBuiltIn_FileDateTime(&v, temp("gone"));
             EXPECT_EQ(v.vt, VT_EMPTY);
         },
         file_trap(53, "gone")},
        {[] { EXPECT_EQ(ZbiBuiltIn_IsDir(temp("gone")), 0); }, trap(75)},
        {[] { EXPECT_EQ(ZbiBuiltIn_GetAttr(temp("")), 0); }, file_trap(53, "")},
        {[] { EXPECT_EQ(ZbiBuiltIn_GetAttr(temp("gone")), 0); }, file_trap(53, "gone")},
        {[] { ZbiBuiltIn_SetAttr(temp("gone"), 1); }, file_trap(53, "gone")},
        {[] { ZbiBuiltIn_SetAttr(temp("other.txt"), 16); }, trap(5)},
        {dir_call(ZbiBuiltIn_ChDrive, "q"), trap(68)},
        {dir_call(ZbiBuiltIn_ChDrive, "1"), trap(5)},
        {[] { EXPECT_EQ(take(ZbiBuiltIn_CurDir_(temp("Q"))), ""); }, trap(68)},
        {[] { EXPECT_EQ(take(ZbiBuiltIn_CurDir_(temp("#"))), ""); }, trap(5)},
        {dir_call(ZbiBuiltIn_MkDir, "full"), file_trap(75, "full")},
        {dir_call(ZbiBuiltIn_MkDir, ""), file_trap(76, "")},
        {dir_call(ZbiBuiltIn_MkDir, "no\\such\\dir"), file_trap(76, "no\\such\\dir")},
        {dir_call(ZbiBuiltIn_RmDir, "gone"), file_trap(76, "gone")},
        {dir_call(ZbiBuiltIn_RmDir, ""), file_trap(76, "")},
        {dir_call(ZbiBuiltIn_RmDir, "full"), file_trap(76, "full")}, // not empty
        {dir_call(ZbiBuiltIn_ChDir, "gone"), file_trap(76, "gone")},
        {dir_call(ZbiBuiltIn_ChDir, ""), file_trap(76, "")},
        {dir_call(ZbiBuiltIn_ChDir, "Q:\\x"), file_trap(76, "Q:\\x")},
        {dir_call(ZbiBuiltIn_ChDir, std::string(261, 'd')), file_trap(76, std::string(261, 'd'))},
        {[] { ZbiBuiltIn_FileCopy(temp("gone"), temp("copy")); }, file_trap(53, "gone")},
        {[] { ZbiBuiltIn_FileCopy(temp("other.txt"), temp("open.txt")); },
         file_trap(55, "open.txt")},
    };
    for (size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        clear_traps();
        table[i].call();
        EXPECT_EQ(traps(), std::vector<Trap>{table[i].want});
        // A Kill stopped by an open file leaves its listing for Dir to go on with; the throwing
        // call's listing replaces it.
        clear_traps();
        const int descriptors = open_descriptors();
        BlockBalance balance;
        set_mode(HookMode::Throw);
        EXPECT_THROW(table[i].call(), TrapException);
        set_mode(HookMode::Return);
        EXPECT_EQ(traps(), std::vector<Trap>{table[i].want});
        EXPECT_EQ(balance.delta(), 0);
        EXPECT_EQ(open_descriptors(), descriptors);
    }
    EXPECT_EQ(read("other.txt"), "other");
    EXPECT_TRUE(exists("open.txt"));
    EXPECT_TRUE(exists("full/f"));
    EXPECT_EQ(exists("c*d"), !kWindows); // Kill left it
    EXPECT_EQ(take(ZbiBuiltIn_CurDir_(temp(""))), home);
}

TEST_F(FileSystemTest, FileCopyCopiesAndObeysTheSharingRules) {
    std::string data;
    for (int i = 0; i < 100000; ++i)
        data.push_back(static_cast<char>(i * 7));
    write("src.bin", data);
    make_host_objects();
    BlockBalance balance;
    const int descriptors = open_descriptors();
    ZbiBuiltIn_FileCopy(temp("src.bin"), temp("dst.bin"));
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(read("dst.bin"), data);
    EXPECT_EQ(ZbiBuiltIn_FreeFile(), 1); // both numbers are free again
    open("dst.bin", BI_FILE_MODE_INPUT, 1);
    ZbiBuiltIn_FileCopy(temp("src.bin"), temp("dst.bin"));
    EXPECT_EQ(traps(), std::vector<Trap>{file_trap(55, "dst.bin")});
    close(1);
    EXPECT_EQ(open_descriptors(), descriptors);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(FileSystemTest, FileCopyWithEveryNumberInUseIsTrap67AndAThrowingHookLeavesNothingOpen) {
    write("src.bin", "abc");
    make_host_objects();
    for (int16_t n = 2; n <= 255; ++n)
        open("n" + std::to_string(n), BI_FILE_MODE_OUTPUT, n);
    ASSERT_TRUE(traps().empty());
    const int descriptors = open_descriptors();
    BlockBalance balance;
    ZbiBuiltIn_FileCopy(temp("src.bin"), temp("dst.bin")); // the source takes number 1
    EXPECT_EQ(traps(), std::vector<Trap>{trap(67)});
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiBuiltIn_FileCopy(temp("src.bin"), temp("dst.bin")), TrapException);
    set_mode(HookMode::Return);
    EXPECT_EQ(ZbiBuiltIn_FreeFile(), 1);
    EXPECT_EQ(open_descriptors(), descriptors);
    EXPECT_EQ(balance.delta(), 0);
}

// Memory running out after each number of allocations, for good: FileCopy halves its buffer
// while memory is short, and every outcome is trap 7 (75 where Open cannot copy the full path)
// or success, with nothing left allocated or open.
TEST_F(FileSystemTest, FileCopyRunningOutOfMemoryAnywhereLeavesNothingBehind) {
    write("src.bin", std::string(5000, 'c'));
    make_host_objects();
    bool saw_trap7 = false;
    for (long k = 0; k < 40; ++k) {
        SCOPED_TRACE("failing after " + std::to_string(k));
        clear_traps();
        const int descriptors = open_descriptors();
        BlockBalance balance;
        BiString a = temp("src.bin"), b = temp("dst.bin");
        fail_allocations_after(k, true);
        ZbiBuiltIn_FileCopy(a, b);
        fail_allocations_after(-1);
        EXPECT_LE(traps().size(), 1u);
        for (const Trap &t : traps())
            EXPECT_TRUE(t.number == 7 || t.number == 75) << t;
        saw_trap7 = saw_trap7 || !traps().empty();
        EXPECT_EQ(balance.delta(), 0);
        EXPECT_EQ(open_descriptors(), descriptors);
    }
    EXPECT_TRUE(saw_trap7);
    EXPECT_EQ(read("dst.bin"), std::string(5000, 'c'));
}

} // namespace
} // namespace brtl_test
