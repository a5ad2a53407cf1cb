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
    for (const char *name : {"one.tmp", "TWO.TMP", "keep.txt"})
        write(name, "x");
    fs::create_directory("dir.tmp");
    ZbiBuiltIn_Kill(temp("*.tmp"));
    EXPECT_TRUE(traps().empty());
    EXPECT_FALSE(exists("one.tmp"));
    EXPECT_FALSE(exists("TWO.TMP"));
    EXPECT_TRUE(exists("keep.txt"));
    EXPECT_TRUE(exists("dir.tmp"));

    ZbiBuiltIn_Kill(temp("*.tmp")); // only the directory matches now: nothing is deleted
    EXPECT_EQ(traps(), std::vector<Trap>{file_trap(53, "*.tmp")});
    EXPECT_TRUE(exists("dir.tmp"));
    clear_traps();
    ZbiBuiltIn_Kill(temp("dir.tmp")); // a directory by its name
    EXPECT_EQ(traps(), std::vector<Trap>{trap(75)});
    EXPECT_TRUE(exists("dir.tmp"));
    clear_traps();

    write("open.txt", "x");
    open("open.txt", BI_FILE_MODE_INPUT, 1);
    ZbiBuiltIn_Kill(temp("OPEN.TXT")); // the listing gives the name as the directory holds it
    EXPECT_EQ(traps(), std::vector<Trap>{file_trap(55, "open.txt")});
    clear_traps();
    ZbiBuiltIn_Kill(temp("*.txt")); // keep.txt or open.txt first: open.txt is never deleted
    EXPECT_TRUE(exists("open.txt"));
    EXPECT_EQ(traps(), std::vector<Trap>{file_trap(55, "open.txt")});
}

TEST_F(FileSystemTest, KillInADirectoryAndOnTheDrive) {
    fs::create_directory("sub");
    write("sub/a.log", "x");
    write("sub/b.log", "x");
    write("c.log", "x");
    ZbiBuiltIn_Kill(temp("sub/*.LOG"));
    EXPECT_TRUE(traps().empty());
    EXPECT_FALSE(exists("sub/a.log"));
    EXPECT_FALSE(exists("sub/b.log"));
    write("sub/d.log", "x");
    ZbiBuiltIn_Kill(temp(full_name("sub\\*.log"))); // a full path
    EXPECT_TRUE(traps().empty());
    EXPECT_FALSE(exists("sub/d.log"));
    ZbiBuiltIn_MBKill(temp("C:*.log")); // the current directory of drive C:, not its root
    EXPECT_TRUE(traps().empty());
    EXPECT_FALSE(exists("c.log"));
}

TEST_F(FileSystemTest, KillTraps) {
    struct Row {
        std::string pattern;
        Trap want;
    };
    for (const Row &row : {
             Row{"none.tmp", file_trap(53, "none.tmp")},
             Row{"", file_trap(53, "")},
             Row{"   ", file_trap(53, "   ")},
             Row{"nodir\\deeper\\x", file_trap(76, "nodir\\deeper")},
             Row{"Q:\\x", trap(68)},
         }) {
        clear_traps();
        ZbiBuiltIn_Kill(temp(row.pattern));
        EXPECT_EQ(traps(), std::vector<Trap>{row.want}) << row.pattern;
    }
}

TEST_F(FileSystemTest, WildcardsAndReservedCharactersNeverNameAFile) {
    // A file whose name holds "*" (made behind the library's back, where the system allows such
    // names) is not deleted by a pattern that names it literally, and Open cannot make such names.
    if (!kWindows) {
        write("a*b", "x");
        ZbiBuiltIn_Kill(temp("c*d"));
        EXPECT_EQ(traps(), std::vector<Trap>{file_trap(53, "c*d")});
        EXPECT_TRUE(exists("a*b"));
    }
    for (const char *name : {"a*?", "x<y", "x>y", "p|q", "say\"hi\"", "tab\there"}) {
        clear_traps();
        open(name, BI_FILE_MODE_OUTPUT, 1);
        EXPECT_EQ(traps(), std::vector<Trap>{file_trap(53, name)}) << name;
        EXPECT_FALSE(exists(name)) << name;
    }
}

TEST_F(FileSystemTest, NameMovesAndRefusesExistingAndOpenNames) {
    write("old.txt", "data");
    fs::create_directory("sub");
    ZbiBuiltIn_Name(temp("old.txt"), temp("sub\\new.txt"));
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(read("sub/new.txt"), "data");
    EXPECT_FALSE(exists("old.txt"));

    write("other.txt", "other");
    struct Row {
        std::string from, to;
        Trap want;
    };
    open("busy.txt", BI_FILE_MODE_OUTPUT, 1);
    for (const Row &row : {
             Row{"sub\\new.txt", "other.txt", file_trap(58, "other.txt")},
             Row{"missing.txt", "x.txt", file_trap(53, "missing.txt")},
             Row{"busy.txt", "x.txt", file_trap(55, "busy.txt")},
             // Windows names are case-blind: BUSY.txt is busy.txt, which exists.
             Row{"other.txt", "BUSY.txt",
                 kWindows ? file_trap(58, "BUSY.txt") : file_trap(55, "other.txt")},
             Row{"", "x.txt", trap(76)},
             Row{"other.txt", "", trap(76)},
         }) {
        clear_traps();
        ZbiBuiltIn_Name(temp(row.from), temp(row.to));
        EXPECT_EQ(traps(), std::vector<Trap>{row.want}) << row.from << " -> " << row.to;
    }
    EXPECT_EQ(read("other.txt"), "other");
    EXPECT_EQ(read("sub/new.txt"), "data");
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

TEST_F(FileSystemTest, LengthTimeAndKind) {
    write("f.bin", std::string(1234, 'z'));
    fs::create_directory("d");
    EXPECT_EQ(ZbiBuiltIn_FileLen(temp("f.bin")), 1234);
    EXPECT_EQ(ZbiBuiltIn_IsDir(temp("d")), -1);
    EXPECT_EQ(ZbiBuiltIn_IsDir(temp("f.bin")), 0);
    EXPECT_TRUE(traps().empty());

    VARIANT stamp{}, now{};
    ZbiBuiltIn_FileDateTime(&stamp, temp("f.bin"));
    ZbiBuiltIn_Now(&now);
    ASSERT_EQ(stamp.vt, VT_DATE);
    EXPECT_NEAR(stamp.date, now.date, 5.0 / 86400); // written just now, in local time

    struct Row {
        std::function<void()> call;
        Trap want;
    };
    for (const Row &row : {
             Row{[] { EXPECT_EQ(ZbiBuiltIn_FileLen(temp("gone")), 0); }, file_trap(53, "gone")},
             Row{[] {
                     VARIANT v = i2(1);
                     ZbiBuiltIn_FileDateTime(&v, temp("gone"));
                     EXPECT_EQ(v.vt, VT_EMPTY);
                 },
                 file_trap(53, "gone")},
             Row{[] { EXPECT_EQ(ZbiBuiltIn_IsDir(temp("gone")), 0); }, trap(75)},
             Row{[] { ZbiBuiltIn_FileLen(temp(std::string(261, 'n'))); },
                 file_trap(64, std::string(261, 'n'))},
         }) {
        clear_traps();
        row.call();
        EXPECT_EQ(traps(), std::vector<Trap>{row.want});
    }
}

TEST_F(FileSystemTest, AttributesOfFilesDirectoriesAndHiddenNames) {
    write("plain.txt", "x");
    write(".hidden", "x");
    fs::create_directory("d");
    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp("plain.txt")), 32);
    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp(".hidden")), 34);
    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp("d")), 16);
    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp(".")), 16);
    ZbiBuiltIn_SetAttr(temp("plain.txt"), 33); // read-only and archive
    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp("plain.txt")), 33);
    EXPECT_EQ(fs::status("plain.txt").permissions() & fs::perms::owner_write, fs::perms::none);
    ZbiBuiltIn_SetAttr(temp("plain.txt"), 0);
    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp("plain.txt")), 32);
    EXPECT_TRUE(traps().empty());

    for (int16_t bits : {8, 16, 31, 40, -1}) {
        clear_traps();
        ZbiBuiltIn_SetAttr(temp("plain.txt"), bits);
        EXPECT_EQ(traps(), std::vector<Trap>{trap(5)}) << bits;
    }
    for (int16_t bits : {0, 7, 32, 39}) {
        clear_traps();
        ZbiBuiltIn_SetAttr(temp("plain.txt"), bits);
        EXPECT_TRUE(traps().empty()) << bits;
    }
    ZbiBuiltIn_SetAttr(temp("plain.txt"), 0);
    clear_traps();
    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp("")), 0);
    EXPECT_EQ(ZbiBuiltIn_GetAttr(temp("gone")), 0);
    ZbiBuiltIn_SetAttr(temp("gone"), 1);
    EXPECT_EQ(traps(),
              (std::vector<Trap>{file_trap(53, ""), file_trap(53, "gone"), file_trap(53, "gone")}));
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

    fs::create_directory("full");
    write("full/f", "x");
    struct Row {
        std::function<void()> call;
        Trap want;
    };
    for (const Row &row : {
             Row{[] { ZbiBuiltIn_ChDrive(temp("q")); }, trap(68)},
             Row{[] { ZbiBuiltIn_ChDrive(temp("1")); }, trap(5)},
             Row{[] { EXPECT_EQ(take(ZbiBuiltIn_CurDir_(temp("Q"))), ""); }, trap(68)},
             Row{[] { EXPECT_EQ(take(ZbiBuiltIn_CurDir_(temp("#"))), ""); }, trap(5)},
             Row{[] { ZbiBuiltIn_MkDir(temp("full")); }, file_trap(75, "full")},
             Row{[] { ZbiBuiltIn_MkDir(temp("")); }, file_trap(76, "")},
             Row{[] { ZbiBuiltIn_MkDir(temp("no\\such\\dir")); }, file_trap(76, "no\\such\\dir")},
             Row{[] { ZbiBuiltIn_RmDir(temp("gone")); }, file_trap(76, "gone")},
             Row{[] { ZbiBuiltIn_RmDir(temp("")); }, file_trap(76, "")},
             Row{[] { ZbiBuiltIn_RmDir(temp("full")); }, file_trap(76, "full")}, // not empty
             Row{[] { ZbiBuiltIn_ChDir(temp("gone")); }, file_trap(76, "gone")},
             Row{[] { ZbiBuiltIn_ChDir(temp("")); }, file_trap(76, "")},
             Row{[] { ZbiBuiltIn_ChDir(temp("Q:\\x")); }, file_trap(76, "Q:\\x")},
             Row{[] { ZbiBuiltIn_ChDir(temp(std::string(261, 'd'))); },
                 file_trap(76, std::string(261, 'd'))},
         }) {
        clear_traps();
        row.call();
        EXPECT_EQ(traps(), std::vector<Trap>{row.want});
    }
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
    clear_traps();
    ZbiBuiltIn_FileCopy(temp("gone"), temp("dst.bin"));
    EXPECT_EQ(traps(), std::vector<Trap>{file_trap(53, "gone")});
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

} // namespace
} // namespace brtl_test

namespace brtl_test {
namespace {

// Every trap path of the name-taking builtins, left by a throwing hook: the temporaries are
// freed, no descriptor or search stays open, and the trap is the one a returning hook sees.
TEST_F(FileSystemTest, AThrowingHookLeavesNothingBehind) {
    write("open.txt", "x");
    write("other.txt", "x");
    fs::create_directory("full");
    write("full/f", "x");
    make_host_objects();
    open("open.txt", BI_FILE_MODE_INPUT, 1);
    const std::vector<std::function<void()>> calls = {
        [] { ZbiBuiltIn_Kill(temp("open.txt")); },
        [] { ZbiBuiltIn_Kill(temp("open.*")); },
        [] { ZbiBuiltIn_Kill(temp("none.tmp")); },
        [] { ZbiBuiltIn_Name(temp("open.txt"), temp("moved.txt")); },
        [] { ZbiBuiltIn_Name(temp("other.txt"), temp("open.txt")); },
        [] { ZbiBuiltIn_Name(temp("gone"), temp("x")); },
        [] { ZbiBuiltIn_FileLen(temp("gone")); },
        [] {
            VARIANT v{};
            ZbiBuiltIn_FileDateTime(&v, temp("gone"));
        },
        [] { ZbiBuiltIn_GetAttr(temp("gone")); },
        [] { ZbiBuiltIn_SetAttr(temp("other.txt"), 16); },
        [] { ZbiBuiltIn_ChDrive(temp("q")); },
        [] { ZbiBuiltIn_ChDir(temp("gone")); },
        [] { ZbiBuiltIn_MkDir(temp("full")); },
        [] { ZbiBuiltIn_RmDir(temp("full")); },
        [] { ZbiBuiltIn_CurDir_(temp("q")); },
        [] { ZbiBuiltIn_IsDir(temp("gone")); },
        [] { ZbiBuiltIn_FileCopy(temp("gone"), temp("copy")); },
        [] { ZbiBuiltIn_FileCopy(temp("other.txt"), temp("open.txt")); },
        [] { ZbiBuiltIn_Dir_(temp(std::string(300, 'd')), 0, 0); },
    };
    for (size_t i = 0; i < calls.size(); ++i) {
        set_mode(HookMode::Return);
        clear_traps();
        calls[i]();
        const std::vector<Trap> returning = traps();
        ASSERT_EQ(returning.size(), 1u) << "call " << i;
        clear_traps();
        const int descriptors = open_descriptors();
        BlockBalance balance;
        set_mode(HookMode::Throw);
        EXPECT_THROW(calls[i](), TrapException) << "call " << i;
        set_mode(HookMode::Return);
        EXPECT_EQ(traps(), returning) << "call " << i;
        EXPECT_EQ(balance.delta(), 0) << "call " << i;
        EXPECT_EQ(open_descriptors(), descriptors) << "call " << i;
    }
    EXPECT_TRUE(exists("open.txt"));
    EXPECT_TRUE(exists("other.txt"));
}

} // namespace
} // namespace brtl_test

namespace brtl_test {
namespace {

// Memory running out at each allocation in turn: every outcome is one trap 7 or success, and
// nothing is left allocated or open.
TEST_F(FileSystemTest, RunningOutOfMemoryAnywhereLeavesNothingBehind) {
    write("src.bin", std::string(5000, 'c'));
    make_host_objects();
    // Each call takes two temporaries made before memory runs out (the second may go unused).
    const std::vector<std::function<void(BiString, BiString)>> calls = {
        [](BiString a, BiString b) { ZbiBuiltIn_FileCopy(a, b); },
        [](BiString a, BiString b) {
            ZbiFreeBiString(b);
            take(ZbiBuiltIn_Dir_(a, 0, 0));
        },
        [](BiString a, BiString b) {
            ZbiFreeBiString(b);
            ZbiBuiltIn_Kill(a);
        },
        [](BiString a, BiString b) {
            ZbiFreeBiString(a);
            ZbiFreeBiString(b);
            IsPathValid("src.bin", 1, 0);
        },
    };
    const char *first[] = {"src.bin", "*.bin", "dst.bin", "unused"};
    for (size_t i = 0; i < calls.size(); ++i) {
        bool saw_trap7 = false;
        for (long k = 0; k < 40; ++k) {
            write("dst.bin", "d");
            ZbiBuiltIn_Reset();
            clear_traps();
            const int descriptors = open_descriptors();
            BlockBalance balance;
            BiString a = temp(first[i]), b = temp("dst.bin");
            fail_allocations_after(k, true);
            calls[i](a, b);
            fail_allocations_after(-1);
            ZbiBuiltIn_Reset(); // ends a listing in progress
            EXPECT_LE(traps().size(), 1u) << "call " << i << " failing after " << k;
            // Open reports a full path it cannot copy as trap 75.
            for (const Trap &t : traps())
                EXPECT_TRUE(t.number == 7 || (i == 0 && t.number == 75))
                    << t << " from call " << i << " failing after " << k;
            saw_trap7 = saw_trap7 || !traps().empty();
            EXPECT_EQ(balance.delta(), 0) << "call " << i << " failing after " << k;
            EXPECT_EQ(open_descriptors(), descriptors) << "call " << i << " failing after " << k;
        }
        EXPECT_TRUE(saw_trap7) << "call " << i;
    }
}

} // namespace
} // namespace brtl_test
