// Loc, LOF and Seek in every mode, positions beyond 2 GiB, and Lock and Unlock with the one
// recorded region, against another open of the file and against another process.
#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstring>
#include <filesystem>
#include <string>

#include "file_test.h"
#include "fileio/table.h"

namespace brtl_test {
namespace {

using brtl::fileio::find_record;

class SeekLockTest : public FileTest {};

using Region = std::pair<int64_t, int64_t>;
Region region(const brtl::fileio::FileRecord *record) {
    return {record->lock_start, record->lock_end};
}

BiFileFieldList one_field(int32_t kind, void *address, int32_t size) {
    return BiFileFieldList{1, {BiFileField{kind, address, size}}};
}

TEST_F(SeekLockTest, LocCountsRecordsBytesOrBlocksByMode) {
    write("data", std::string(300, 'x'));
    char buffer[130];
    BiFileFieldList read130 = one_field(0, buffer, 130);
    BiFileFieldList read100 = one_field(0, buffer, 100);

    open("data", BI_FILE_MODE_INPUT, 1);
    EXPECT_EQ(ZbiBuiltIn_Loc(1), 1); // nothing read yet
    take(ZbiBuiltIn_Input_(130, 1));
    EXPECT_EQ(ZbiBuiltIn_Loc(1), 2);
    EXPECT_EQ(ZbiBuiltIn_Seek(1, 0), 131);
    close(1);

    open("data", BI_FILE_MODE_BINARY, 1);
    EXPECT_EQ(ZbiBuiltIn_Loc(1), 0);
    ZbiBuiltIn_Get(1, 0, 0, &read130);
    EXPECT_EQ(ZbiBuiltIn_Loc(1), 130);
    EXPECT_EQ(ZbiBuiltIn_Seek(1, 0), 131);
    EXPECT_EQ(ZbiBuiltIn_LOF(1), 300);
    close(1);

    open("data", BI_FILE_MODE_RANDOM, 1, 0, 0, 100);
    EXPECT_EQ(ZbiBuiltIn_Loc(1), 0);
    ZbiBuiltIn_Get(1, 1, 1, &read100);
    EXPECT_EQ(ZbiBuiltIn_Loc(1), 1);
    EXPECT_EQ(ZbiBuiltIn_Seek(1, 0), 2);
    EXPECT_EQ(ZbiBuiltIn_Seek(1, 3), 2); // the result is position - 1
    ZbiBuiltIn_Get(1, 0, 0, &read100);
    EXPECT_EQ(std::string(buffer, 100), std::string(100, 'x'));
    EXPECT_EQ(ZbiBuiltIn_Loc(1), 3);
    close(1);

    open("out", BI_FILE_MODE_OUTPUT, 1);
    ZbiBuiltIn_Print(1, 2, BI_PRINT_TEXT, temp(std::string(300, 'o')));
    EXPECT_EQ(ZbiBuiltIn_Loc(1), 2);
    EXPECT_EQ(ZbiBuiltIn_Seek(1, 0), 301);
    EXPECT_EQ(ZbiBuiltIn_LOF(1), 300);
    EXPECT_TRUE(traps().empty());
}

TEST_F(SeekLockTest, SeekTrapsAndResults) {
    open("b.dat", BI_FILE_MODE_BINARY, 1);
    EXPECT_EQ(ZbiBuiltIn_Seek(1, -2), 0);
    EXPECT_EQ(ZbiBuiltIn_Seek(7, 0), 0);
    EXPECT_EQ(ZbiBuiltIn_Loc(7), -1);
    EXPECT_EQ(ZbiBuiltIn_LOF(7), 0);
    ZbiBuiltIn_SeekStmt(1, 0);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(63), file_trap(52, "7"), file_trap(52, "7"),
                                          file_trap(52, "7"), trap(63)}));
    clear_traps();
    ZbiBuiltIn_SeekStmt(1, 11);
    EXPECT_EQ(ZbiBuiltIn_Seek(1, 0), 11);
    EXPECT_TRUE(traps().empty());
}

TEST_F(SeekLockTest, PositionsBeyond2GiBWorkButDoNotFit32BitResults) {
    open("big.dat", BI_FILE_MODE_RANDOM, 1, 0, 0, 1000);
    int64_t marker = 0x0123456789ABCDEF;
    BiFileFieldList put = one_field(0, &marker, 8);
    ZbiBuiltIn_Put(1, 3000000, 1, &put); // at byte 2 999 999 000 (a sparse file)
    ASSERT_TRUE(traps().empty());
    EXPECT_EQ(std::filesystem::file_size("big.dat"), 2999999008u);
    int64_t back = 0;
    BiFileFieldList get = one_field(0, &back, 8);
    ZbiBuiltIn_Get(1, 3000000, 1, &get);
    EXPECT_EQ(back, marker);
    EXPECT_EQ(ZbiBuiltIn_Loc(1), 3000000); // a record number still fits
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(ZbiBuiltIn_LOF(1), 0); // 2 999 999 008 bytes do not
    EXPECT_EQ(traps(), std::vector<Trap>{trap(6)});
    close(1);

    clear_traps();
    open("big.dat", BI_FILE_MODE_BINARY, 1);
    ZbiBuiltIn_Get(1, 0, 0, &get); // the first 8 bytes: zeros of the hole
    ZbiBuiltIn_SeekStmt(1, 2147483647);
    ZbiBuiltIn_Get(1, 0, 0, &get);
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(ZbiBuiltIn_Loc(1), 0);
    EXPECT_EQ(ZbiBuiltIn_Seek(1, 0), 0);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(6), trap(6)}));
}

TEST_F(SeekLockTest, OneRecordedRegionPerFile) {
    open("r.dat", BI_FILE_MODE_RANDOM, 1, 0, 0, 10);
    open("b.dat", BI_FILE_MODE_BINARY, 2);
    open("o.txt", BI_FILE_MODE_OUTPUT, 3);
    const auto *r = find_record(1);
    const auto *b = find_record(2);
    const auto *o = find_record(3);
    ZbiBuiltIn_Lock(1, 0, 0, 0);
    EXPECT_EQ(region(r), Region(0, 0));
    ZbiBuiltIn_Lock(1, 1, 1, 1);
    EXPECT_EQ(traps(), std::vector<Trap>{trap(70)});
    clear_traps();
    ZbiBuiltIn_Unlock(1, 0, 0, 0);
    ZbiBuiltIn_Lock(1, 1, 3, 2); // records 1 to 3: bytes 0 to 30
    EXPECT_EQ(region(r), Region(0, 30));
    ZbiBuiltIn_Unlock(1, 2, 2, 1);
    EXPECT_EQ(traps(), std::vector<Trap>{trap(70)});
    clear_traps();
    ZbiBuiltIn_Unlock(1, 1, 3, 2);
    EXPECT_EQ(r->lock_start, -1);
    EXPECT_EQ(r->lock_end, -1);

    ZbiBuiltIn_Lock(2, 11, 20, 2); // 10 bytes from offset 10
    EXPECT_EQ(region(b), Region(10, 20));
    ZbiBuiltIn_Lock(3, 5, 9, 2); // a sequential file locks the whole file
    EXPECT_EQ(region(o), Region(0, 0));
    EXPECT_TRUE(traps().empty());

    for (auto [first, last, form] :
         {std::tuple(0, 0, 1), std::tuple(0, 5, 2), std::tuple(5, 4, 2), std::tuple(1, 1, 3)}) {
        clear_traps();
        ZbiBuiltIn_Unlock(1, first, last, static_cast<int16_t>(form));
        EXPECT_EQ(traps(), std::vector<Trap>{trap(63)}) << first << " " << last << " " << form;
    }
    clear_traps();
    ZbiBuiltIn_Lock(9, 0, 0, 0);
    EXPECT_EQ(traps(), std::vector<Trap>{file_trap(52, "9")});
}

// Another open of the file cannot lock a held region, the bytes after it are free, and a file
// opened for reading locks against writers until it is closed.
TEST_F(SeekLockTest, AnotherOpenOfTheFileCannotLockAHeldRegion) {
    write("ro.dat", std::string(50, 'r'));
    open("b.dat", BI_FILE_MODE_BINARY, 1);
    open("b.dat", BI_FILE_MODE_BINARY, 2);
    open("ro.dat", BI_FILE_MODE_BINARY, 3, BI_FILE_ACCESS_READ);
    open("ro.dat", BI_FILE_MODE_BINARY, 4);
    ZbiBuiltIn_Lock(1, 1, 10, 2);
    ZbiBuiltIn_Lock(2, 5, 15, 2);
    ZbiBuiltIn_Lock(3, 0, 0, 0);
    ZbiBuiltIn_Lock(4, 1, 1, 1);
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(70, full_name("b.dat")),
                                          file_trap(70, full_name("ro.dat"))}));
    EXPECT_EQ(find_record(2)->lock_start, -1);
    clear_traps();
    ZbiBuiltIn_Lock(2, 11, 15, 2); // the bytes after the region are free
    ZbiBuiltIn_Unlock(1, 1, 10, 2);
    ZbiBuiltIn_Unlock(2, 11, 15, 2);
    ZbiBuiltIn_Lock(2, 0, 0, 0);
    close(3); // closing the file drops its lock
    ZbiBuiltIn_Lock(4, 1, 1, 1);
    EXPECT_TRUE(traps().empty());
}

#if !defined(_WIN32)
// A child process that locks bytes 0-99 of the file and holds them until the parent lets go.
class LockHolder {
  public:
    explicit LockHolder(const std::string &path) {
        int ready[2], release[2];
        if (pipe(ready) != 0 || pipe(release) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            close(release[1]);
            int fd = ::open(path.c_str(), O_RDWR);
            struct flock region {};
            region.l_type = F_WRLCK;
            region.l_whence = SEEK_SET;
            region.l_len = 100;
            char ok = fd >= 0 && fcntl(fd, F_SETLK, &region) == 0 ? 'y' : 'n';
            if (write(ready[1], &ok, 1) != 1) _exit(1);
            char ignored;
            while (read(release[0], &ignored, 1) > 0) {
            }
            _exit(0);
        }
        close(ready[1]);
        close(release[0]);
        release_ = release[1];
        char ok = 'n';
        locked_ = read(ready[0], &ok, 1) == 1 && ok == 'y';
        close(ready[0]);
    }
    ~LockHolder() {
        if (release_ >= 0) close(release_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }
    bool locked() const { return locked_; }

  private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool locked_ = false;
};

#endif

TEST_F(SeekLockTest, ARegionAnotherProcessHoldsIsTrap70UnderBothHookStyles) {
#if defined(_WIN32)
    GTEST_SKIP() << "the process that holds the lock is started with fork, which Windows lacks";
#else
    write("shared.dat", std::string(200, 's'));
    open("shared.dat", BI_FILE_MODE_BINARY, 1);
    const int descriptors = open_descriptors();
    {
        LockHolder holder((dir() / "shared.dat").string());
        ASSERT_TRUE(holder.locked());
        ZbiBuiltIn_Lock(1, 50, 60, 2);
        EXPECT_EQ(traps(), std::vector<Trap>{file_trap(70, full_name("shared.dat"))});
        EXPECT_EQ(find_record(1)->lock_start, -1);
        set_mode(HookMode::Throw);
        EXPECT_THROW(ZbiBuiltIn_Lock(1, 0, 0, 0), TrapException);
        set_mode(HookMode::Return);
        clear_traps();
        ZbiBuiltIn_Lock(1, 101, 200, 2); // bytes 100 to 199 are free
        EXPECT_TRUE(traps().empty());
        ZbiBuiltIn_Unlock(1, 101, 200, 2);
    }
    ZbiBuiltIn_Lock(1, 50, 60, 2); // the holder has gone
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(open_descriptors(), descriptors);
#endif
}

} // namespace
} // namespace brtl_test
