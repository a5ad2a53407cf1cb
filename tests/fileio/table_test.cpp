// The file table: Open and its checks, Close, Reset, FreeFile, FileAttr, the host file objects,
// nested runs and the file error mapping.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "file_test.h"
#include "fileio/table.h"
#include "platform/files.h"

using namespace brtl_test;
using brtl::fileio::find_record;

namespace {

class OpenTest : public FileTest {};
class CloseTest : public FileTest {};
class NestedRunTest : public FileTest {};
class FileErrorTest : public FileTest {};

constexpr int16_t kInput = BI_FILE_MODE_INPUT;
constexpr int16_t kOutput = BI_FILE_MODE_OUTPUT;
constexpr int16_t kRandom = BI_FILE_MODE_RANDOM;
constexpr int16_t kAppend = BI_FILE_MODE_APPEND;
constexpr int16_t kBinary = BI_FILE_MODE_BINARY;

Trap file_trap(int32_t number, const std::string &subject) {
    return Trap{number, Family::FileTrap, subject};
}
Trap trap(int32_t number) {
    return Trap{number, Family::Trap, ""};
}

} // namespace

// ---- Open ------------------------------------------------------------------------------------

TEST_F(OpenTest, OutputCreatesTheFileAndRecordsModeAccessAndFullPath) {
    open("new.txt", kOutput, 1);
    ASSERT_TRUE(traps().empty());
    EXPECT_TRUE(std::filesystem::exists("new.txt"));
    const auto *record = find_record(1);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->mode, kOutput);
    EXPECT_EQ(record->access, 2);
    EXPECT_EQ(record->record_length, 512);
    EXPECT_EQ(record->width, 0);
    EXPECT_EQ(record->column, 0);
    EXPECT_EQ(record->lock_start, -1);
    EXPECT_EQ(record->lock_end, -1);
    EXPECT_EQ(std::string(record->path), full_name("new.txt"));
    EXPECT_EQ(ZbiBuiltIn_FileAttr(1, 1), kOutput);
    int fd = ZbiBuiltIn_FileAttr(1, 2);
    EXPECT_EQ(fd, record->descriptor);
    EXPECT_NE(fcntl(fd, F_GETFD), -1);
    EXPECT_TRUE(traps().empty());
}

TEST_F(OpenTest, OutputTruncatesAndAppendKeepsWhatIsThere) {
    write("a.txt", "old text");
    open("a.txt", kOutput, 1);
    close(1);
    EXPECT_EQ(read("a.txt"), "");
    write("b.txt", "first");
    open("b.txt", kAppend, 2);
    FILE *stream = ZrFileStream(ZbiGetZrFile(1));
    ASSERT_NE(stream, nullptr);
    std::fputs("+more", stream);
    close(2);
    EXPECT_EQ(read("b.txt"), "first+more");
    EXPECT_TRUE(traps().empty());
}

TEST_F(OpenTest, RecordLengthDefaultsByModeAndRejectsValuesBelowOne) {
    open("o.txt", kOutput, 1);
    open("r.dat", kRandom, 2);
    open("b.dat", kBinary, 3);
    open("i.txt", kOutput, 4, 0, 0, 1);
    EXPECT_EQ(find_record(1)->record_length, 512);
    EXPECT_EQ(find_record(2)->record_length, 128);
    EXPECT_EQ(find_record(3)->record_length, 128);
    EXPECT_EQ(find_record(4)->record_length, 1);
    open("x.txt", kOutput, 5, 0, 0, 0);
    open("x.txt", kOutput, 6, 0, 0, -2);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(5), trap(5)}));
    EXPECT_EQ(find_record(5), nullptr);
    EXPECT_EQ(find_record(6), nullptr);
    EXPECT_FALSE(std::filesystem::exists("x.txt"));
}

TEST_F(OpenTest, ModeAccessAndLockThatDoNotFitRaiseTrap5) {
    open("m0.dat", 0, 1);
    EXPECT_EQ(ZbiBuiltIn_FileAttr(1, 1), kRandom);
    EXPECT_TRUE(traps().empty());
    write("in.txt", "x");
    open("in.txt", kInput, 2, 2);     // Input for writing
    open("out.txt", kOutput, 3, 1);   // Output for reading
    open("ap.txt", kAppend, 4, 1);    // Append for reading only
    open("lk.txt", kOutput, 5, 0, 5); // no lock value 5
    open("md.txt", 3, 6);             // no mode 3
    open("rb.dat", kBinary, 7, 4);    // no access 4
    EXPECT_EQ(traps(), std::vector<Trap>(6, trap(5)));
    for (int n = 2; n <= 7; ++n)
        EXPECT_EQ(find_record(n), nullptr) << n;
    for (const char *name : {"out.txt", "ap.txt", "lk.txt", "md.txt", "rb.dat"})
        EXPECT_FALSE(std::filesystem::exists(name)) << name;
}

TEST_F(OpenTest, FileNumberOutsideTheTableOrInUseIsReportedWithTheName) {
    open("a.txt", kOutput, 0);
    open("a.txt", kOutput, 256);
    open("a.txt", kOutput, -3);
    open("a.txt", kOutput, 1);
    open("b.txt", kOutput, 1);
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(52, "a.txt"), file_trap(52, "a.txt"),
                                          file_trap(52, "a.txt"), file_trap(55, "b.txt")}));
    EXPECT_FALSE(std::filesystem::exists("b.txt"));
}

TEST_F(OpenTest, NamesThatAreEmptyTooLongOrHoldANulAreRejected) {
    open("", kOutput, 1);
    std::string long_name(261, 'n');
    open(long_name, kOutput, 1);
    open(std::string(260, 'm'), kOutput, 1); // 260 bytes pass the length check
    std::string with_nul("a\0b", 3);
    ZbiBuiltIn_Open(temp(with_nul), kOutput, 0, 0, 2, -1);
    ASSERT_EQ(traps().size(), 4u);
    EXPECT_EQ(traps()[0], file_trap(52, ""));
    EXPECT_EQ(traps()[1], file_trap(64, long_name));
    // The full path of a 260-byte name is longer than a full path may be.
    EXPECT_EQ(traps()[2], file_trap(64, std::string(260, 'm')));
    EXPECT_EQ(traps()[3].number, 64);
    EXPECT_FALSE(std::filesystem::exists("a"));
}

TEST_F(OpenTest, AFullPathLongerThanTheLimitIsRejectedNotCut) {
    // A directory deep enough that a short name's full path passes 255 bytes.
    std::filesystem::path deep = dir();
    while (deep.string().size() < 250)
        deep /= "dddddddddddddddddddd";
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    open("f.txt", kOutput, 1);
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(64, "f.txt")}));
    EXPECT_FALSE(std::filesystem::exists(deep / "f.txt"));
    EXPECT_EQ(find_record(1), nullptr);
}

TEST_F(OpenTest, SlashesAreSeparatorsAndTheFullPathUsesBackslashes) {
    std::filesystem::create_directories("data/sub");
    open("data/sub/f.txt", kOutput, 1);
    ASSERT_TRUE(traps().empty());
    EXPECT_TRUE(std::filesystem::exists("data/sub/f.txt"));
    EXPECT_EQ(std::string(find_record(1)->path), full_name("data\\sub\\f.txt"));
    open("data\\sub\\.\\..\\sub\\g.txt", kOutput, 2);
    EXPECT_TRUE(std::filesystem::exists("data/sub/g.txt"));
    EXPECT_EQ(std::string(find_record(2)->path), full_name("data\\sub\\g.txt"));
    // An absolute name in the dialect's form.
    std::string absolute = full_name("h.txt");
    open(absolute, kOutput, 3);
    EXPECT_TRUE(std::filesystem::exists("h.txt"));
    // The drive letter in lower case is the same drive.
    absolute[0] = 'c';
    open(absolute, kOutput, 4);
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(55, absolute)}));
}

TEST_F(OpenTest, InputNeedsTheDirectoryAndTheFile) {
    open("C:\\nodir_for_brtl_tests\\x.txt", kInput, 1);
    open("missing.txt", kInput, 2);
    open("nodir\\x.txt", kInput, 3);
    write("file", "");
    open("file\\x.txt", kInput, 4); // a file is not a directory
    EXPECT_EQ(traps(),
              (std::vector<Trap>{file_trap(76, "C:\\nodir_for_brtl_tests\\x.txt"),
                                 file_trap(53, "missing.txt"), file_trap(76, "nodir\\x.txt"),
                                 file_trap(53, "file\\x.txt")}));
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(find_record(n), nullptr);
}

TEST_F(OpenTest, AnotherDriveDoesNotExist) {
    open("D:\\x.txt", kOutput, 1);
    open("Q:x.txt", kBinary, 2);
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(53, "D:\\x.txt"), file_trap(53, "Q:x.txt")}));
}

TEST_F(OpenTest, ADirectoryIsNotOpened) {
    std::filesystem::create_directory("sub");
    open("sub", kInput, 1);
    open("sub", kBinary, 2);
    open("sub", kOutput, 3);
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(70, "sub"), file_trap(70, "sub"),
                                          file_trap(70, "sub")}));
}

TEST_F(OpenTest, TheSameFileOpensSeveralTimesOnlyAllForInputOrAllForRandomAndBinary) {
    write("a.txt", "abc");
    open("a.txt", kInput, 1);
    open("a.txt", kInput, 2);
    EXPECT_TRUE(traps().empty());
    open("a.txt", kOutput, 3);
    open("a.txt", kAppend, 4);
    open("a.txt", kBinary, 5);
    open("A.TXT", kOutput, 6); // the comparison ignores case
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(55, "a.txt"), file_trap(55, "a.txt"),
                                          file_trap(55, "a.txt"), file_trap(55, "A.TXT")}));
    clear_traps();
    open("r.dat", kRandom, 10);
    open("r.dat", kBinary, 11);
    open("r.dat", 0, 12);
    EXPECT_TRUE(traps().empty());
    open("r.dat", kInput, 13);
    open("r.dat", kAppend, 14);
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(55, "r.dat"), file_trap(55, "r.dat")}));
}

TEST_F(OpenTest, ShareModesAreEnforcedBetweenTheLibrarysOwnFiles) {
    write("s.dat", "keep");
    open("s.dat", kBinary, 1, 0, BI_FILE_LOCK_READ_WRITE);
    ASSERT_TRUE(traps().empty());
    open("s.dat", kBinary, 2); // every attempt conflicts: permission denied
    open("s.dat", kBinary, 3, 1);
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(70, "s.dat"), file_trap(70, "s.dat")}));
    close(1);
    clear_traps();

    write("i.txt", "x");
    open("i.txt", kInput, 1, 0, BI_FILE_LOCK_READ); // others may not read
    open("i.txt", kInput, 2);
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(70, "i.txt")}));
    close(1);
    clear_traps();
    open("i.txt", kInput, 1);
    open("i.txt", kInput, 2, 0, BI_FILE_LOCK_READ);  // an open reader forbids the deny
    open("i.txt", kInput, 3, 0, BI_FILE_LOCK_WRITE); // denying writes to readers is fine
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(70, "i.txt")}));
    EXPECT_NE(find_record(3), nullptr);
}

TEST_F(OpenTest, RandomWithoutAccessFallsBackToWhatTheFileAllows) {
    write("w.dat", "data");
    // Held with writes denied: read-write and write-only fail, read-only succeeds.
    open("w.dat", kBinary, 1, 1, BI_FILE_LOCK_WRITE);
    ZbiPushFileIORuntimeState();
    open("w.dat", kBinary, 1);
    ASSERT_TRUE(traps().empty());
    ASSERT_NE(find_record(1), nullptr);
    EXPECT_EQ(find_record(1)->access, 0);
    EXPECT_TRUE(brtl::pf::readable(find_record(1)->stream));
    int flags = fcntl(ZbiBuiltIn_FileAttr(1, 2), F_GETFL);
    EXPECT_EQ(flags & O_ACCMODE, O_RDONLY);
    ZbiPopFileIORuntimeState();
}

TEST_F(OpenTest, RandomWithoutAccessOpensAReadOnlyFileForReading) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    write("ro.dat", "data");
    std::filesystem::permissions("ro.dat", std::filesystem::perms::owner_read);
    open("ro.dat", kRandom, 1);
    ASSERT_TRUE(traps().empty());
    EXPECT_EQ(find_record(1)->access, 0);
    open("ro.dat", kRandom, 2, 3);
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(70, "ro.dat")}));
}

TEST_F(OpenTest, AnOutputOpenThatViolatesSharingLeavesTheFileUntouched) {
    write("keep.txt", "keep");
    open("keep.txt", kBinary, 1, 0, BI_FILE_LOCK_WRITE);
    ZbiPushFileIORuntimeState(); // the nested run does not see the open file in its table
    open("keep.txt", kOutput, 1);
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(70, "keep.txt")}));
    ZbiPopFileIORuntimeState();
    EXPECT_EQ(read("keep.txt"), "keep");
}

TEST_F(OpenTest, ATemporaryNameIsFreedAndABorrowedOneIsLeftAlone) {
    make_host_objects();
    BlockBalance balance;
    Borrowed name("borrowed.txt");
    ZbiBuiltIn_Open(name.get(), kOutput, 0, 0, 1, -1);
    EXPECT_TRUE(name.intact());
    open("temp.txt", kOutput, 2);
    open("temp.txt", kOutput, 300); // a trap path frees the name too
    ZbiBuiltIn_Close(0, nullptr);
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(OpenTest, NothingLeaksOnAnyTrapPathWithAThrowingHook) {
    make_host_objects();
    write("in.txt", "x");
    open("busy.txt", kOutput, 9);
    int descriptors = open_descriptors();
    BlockBalance balance;
    set_mode(HookMode::Throw);
    auto expect_throw = [&](auto &&call, int32_t number) {
        try {
            call();
            ADD_FAILURE() << "no trap " << number;
        } catch (const TrapException &e) {
            EXPECT_EQ(e.trap.number, number);
        }
    };
    expect_throw([&] { open("x.txt", kOutput, 1, 0, 0, 0); }, 5);
    expect_throw([&] { open(std::string(300, 'x'), kOutput, 1); }, 64);
    expect_throw([&] { open("", kOutput, 1); }, 52);
    expect_throw([&] { open("nodir\\x.txt", kInput, 1); }, 76);
    expect_throw([&] { open("x.txt", kOutput, 0); }, 52);
    expect_throw([&] { open("y.txt", kOutput, 9); }, 55);
    expect_throw([&] { open("busy.txt", kInput, 1); }, 55);
    expect_throw([&] { open("x.txt", kInput, 1, 2); }, 5);
    expect_throw([&] { open("x.txt", kOutput, 1, 0, 9); }, 5);
    expect_throw([&] { open("missing.txt", kInput, 1); }, 53);
    expect_throw([&] { open("Q:\\x", kBinary, 1); }, 53);
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_EQ(open_descriptors(), descriptors);
    EXPECT_EQ(find_record(1), nullptr);
}

TEST_F(OpenTest, OutOfMemoryAtAnyStepLeavesNothingBehind) {
    make_host_objects();
    int descriptors = open_descriptors();
    size_t platform_descriptors = brtl::pf::open_descriptor_count();
    for (long k = 0; k < 12; ++k) {
        BlockBalance balance;
        clear_traps();
        BiString name = temp("oom.txt");
        fail_allocations_after(k);
        ZbiBuiltIn_Open(name, kOutput, 0, 0, 1, -1);
        fail_allocations_after(-1);
        bool opened = find_record(1) != nullptr;
        // The path copy, the record, the share entry; the stream buffer falls back to the C
        // library's own.
        const std::vector<Trap> expected[] = {{trap(75)}, {trap(7)}, {file_trap(7, "oom.txt")}};
        if (k < 3) {
            EXPECT_EQ(traps(), expected[k]) << k;
        }
        EXPECT_EQ(opened, k >= 3) << k;
        if (opened) {
            EXPECT_TRUE(traps().empty()) << k;
            close(1);
        }
        EXPECT_EQ(balance.delta(), 0) << k;
        EXPECT_EQ(open_descriptors(), descriptors) << k;
        EXPECT_EQ(brtl::pf::open_descriptor_count(), platform_descriptors) << k;
    }
}

// ---- Close, Reset, FreeFile, FileAttr
// ------------------------------------------------------------

TEST_F(CloseTest, CloseListedNumbersSkipsWhatIsNotOpen) {
    for (int16_t n = 1; n <= 4; ++n)
        open("f" + std::to_string(n), kOutput, n);
    int16_t list[] = {3, 300, 0, -1, 7, 3};
    ZbiBuiltIn_Close(6, list);
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(find_record(3), nullptr);
    EXPECT_NE(find_record(1), nullptr);
    EXPECT_NE(find_record(4), nullptr);
    ZbiBuiltIn_Close(0, nullptr);
    for (int16_t n = 1; n <= 4; ++n)
        EXPECT_EQ(find_record(n), nullptr);
    EXPECT_EQ(brtl::pf::open_descriptor_count(), 0u);
}

TEST_F(CloseTest, CloseWritesOutTheBufferAndAFullDiskStillFreesTheNumber) {
    open(full_device_link(), kOutput, 1);
    open("ok.txt", kOutput, 2);
    ASSERT_TRUE(traps().empty());
    std::fputs("pending", ZrFileStream(ZbiGetZrFile(0)));
    std::fputs("written", ZrFileStream(ZbiGetZrFile(1)));
    ZbiBuiltIn_Close(0, nullptr);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(61)}));
    EXPECT_EQ(find_record(1), nullptr);
    EXPECT_EQ(read("ok.txt"), "written");
}

TEST_F(CloseTest, AThrowingHookAtAFullDiskLeavesNoFileOpen) {
    open(full_device_link(), kOutput, 1);
    open("ok.txt", kOutput, 2);
    std::fputs("pending", ZrFileStream(ZbiGetZrFile(0)));
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiBuiltIn_Reset(), TrapException);
    EXPECT_EQ(find_record(1), nullptr);
    EXPECT_EQ(find_record(2), nullptr);
    EXPECT_EQ(brtl::pf::open_descriptor_count(), 0u);
}

TEST_F(CloseTest, ResetClosesEverythingAndRestartsTheDirectoryListing) {
    open("a", kOutput, 1);
    open("b", kBinary, 255);
    brtl::fileio::dir_restart_flag() = false;
    ZbiBuiltIn_Reset();
    EXPECT_EQ(find_record(1), nullptr);
    EXPECT_EQ(find_record(255), nullptr);
    EXPECT_TRUE(brtl::fileio::dir_restart_flag());
    EXPECT_TRUE(traps().empty());
}

TEST_F(CloseTest, FreeFileGivesTheLowestFreeNumber) {
    EXPECT_EQ(ZbiBuiltIn_FreeFile(), 1);
    open("a", kOutput, 1);
    open("b", kOutput, 2);
    open("d", kOutput, 4);
    EXPECT_EQ(ZbiBuiltIn_FreeFile(), 3);
    for (int16_t n = 1; n <= 255; ++n)
        if (find_record(n) == nullptr) open("all" + std::to_string(n), kOutput, n);
    ASSERT_TRUE(traps().empty());
    EXPECT_EQ(ZbiBuiltIn_FreeFile(), 0);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(67)}));
    close(200);
    EXPECT_EQ(ZbiBuiltIn_FreeFile(), 200);
}

TEST_F(CloseTest, FileAttrChecksTheNumberThenTheReturnType) {
    open("b.dat", kBinary, 7);
    EXPECT_EQ(ZbiBuiltIn_FileAttr(7, 1), kBinary);
    EXPECT_EQ(ZbiBuiltIn_FileAttr(7, 3), 0);
    EXPECT_EQ(ZbiBuiltIn_FileAttr(0, 1), 0);
    EXPECT_EQ(ZbiBuiltIn_FileAttr(8, 3), 0);
    EXPECT_EQ(ZbiBuiltIn_FileAttr(-2, 1), 0);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(5), file_trap(52, "0"), file_trap(52, "8"),
                                          file_trap(52, "-2")}));
}

TEST_F(CloseTest, HostFileObjectsOutliveTheirFiles) {
    EXPECT_EQ(ZbiGetZrFile(-1), nullptr);
    EXPECT_EQ(ZbiGetZrFile(255), nullptr);
    open("a", kOutput, 12);
    ZrHostFile *object = ZbiGetZrFile(11);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(ZrFileStream(object), find_record(12)->stream);
    close(12);
    EXPECT_EQ(ZbiGetZrFile(11), object);
    EXPECT_EQ(ZrFileStream(object), nullptr);
    open("b", kOutput, 12);
    EXPECT_EQ(ZbiGetZrFile(11), object);
    EXPECT_EQ(ZrFileStream(object), find_record(12)->stream);
}

// ---- Nested runs
// ---------------------------------------------------------------------------------

TEST_F(NestedRunTest, APushGivesTheNestedRunAnEmptyTableAndThePopRestoresTheOuterFiles) {
    open("outer1", kOutput, 1);
    open("outer2", kOutput, 2);
    FILE *outer = find_record(1)->stream;
    EXPECT_EQ(ZbiPushFileIORuntimeState(), 0);
    EXPECT_EQ(ZbiBuiltIn_FreeFile(), 1);
    EXPECT_EQ(find_record(1), nullptr);
    open("inner", kOutput, 1);
    open("inner3", kOutput, 3);
    brtl::fileio::dir_restart_flag() = false;
    ZbiPopFileIORuntimeState();
    EXPECT_TRUE(brtl::fileio::dir_restart_flag());
    ASSERT_NE(find_record(1), nullptr);
    EXPECT_EQ(find_record(1)->stream, outer);
    EXPECT_NE(find_record(2), nullptr);
    EXPECT_EQ(find_record(3), nullptr);
    EXPECT_EQ(ZbiBuiltIn_FreeFile(), 3);
    EXPECT_EQ(brtl::pf::open_descriptor_count(), 2u);
    EXPECT_TRUE(traps().empty());
}

TEST_F(NestedRunTest, ThreeLevelsRestoreInOrder) {
    make_host_objects();
    BlockBalance balance;
    std::vector<FILE *> streams;
    for (int level = 0; level < 3; ++level) {
        open("level" + std::to_string(level), kOutput, 5);
        streams.push_back(find_record(5)->stream);
        EXPECT_EQ(ZbiPushRuntimeEnvironment(), 0);
    }
    open("deepest", kOutput, 5);
    for (int level = 2; level >= 0; --level) {
        ZbiPopRuntimeEnvironment();
        ASSERT_NE(find_record(5), nullptr);
        EXPECT_EQ(find_record(5)->stream, streams[static_cast<size_t>(level)]);
        EXPECT_EQ(brtl::pf::open_descriptor_count(), static_cast<size_t>(level + 1));
    }
    ZbiBuiltIn_Close(0, nullptr);
    EXPECT_TRUE(traps().empty());
    EXPECT_EQ(balance.delta(), 0);
}

TEST_F(NestedRunTest, APushThatCannotSaveLeavesTheOuterFilesWithTheNestedRun) {
    open("outer", kOutput, 1);
    ASSERT_EQ(ZbiPushFileIORuntimeState(), 0); // level 1 saved
    open("level1", kOutput, 1);
    fail_allocations_after(0);
    EXPECT_EQ(ZbiPushFileIORuntimeState(), -1); // level 2 shares level 1's table
    fail_allocations_after(-1);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(7)}));
    EXPECT_NE(find_record(1), nullptr);
    ASSERT_EQ(ZbiPushFileIORuntimeState(), 0); // level 3 saved
    open("level3", kOutput, 1);
    ZbiPopFileIORuntimeState(); // back to level 2 = level 1's table
    EXPECT_EQ(ZrFileStream(ZbiGetZrFile(0)), nullptr);
    ASSERT_NE(find_record(1), nullptr);
    EXPECT_EQ(std::string(find_record(1)->path), full_name("level1"));
    ZbiPopFileIORuntimeState(); // level 2 ends: level 1's files stay
    ASSERT_NE(find_record(1), nullptr);
    EXPECT_EQ(std::string(find_record(1)->path), full_name("level1"));
    ZbiPopFileIORuntimeState(); // level 1 ends: the outer file is back
    ASSERT_NE(find_record(1), nullptr);
    EXPECT_EQ(std::string(find_record(1)->path), full_name("outer"));
}

// ---- File error mapping
// --------------------------------------------------------------------------

TEST_F(FileErrorTest, EachErrnoNumberGivesItsTrapWithTheSubject) {
    const std::pair<int32_t, int32_t> table[] = {{1, 70},  {2, 53},  {5, 57},  {6, 68},  {19, 68},
                                                 {8, 321}, {9, 52},  {12, 7},  {17, 58}, {20, 75},
                                                 {21, 75}, {30, 75}, {23, 67}, {24, 67}, {28, 61},
                                                 {0, 17},  {3, 17},  {22, 17}, {41, 17}, {-1, 17}};
    for (auto [e, expected] : table) {
        clear_traps();
        ProcessFileError(e, temp("subject.txt"));
        EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(expected, "subject.txt")})) << e;
    }
}

TEST_F(FileErrorTest, PermissionDeniedIsDiskNotReadyWhenTheSystemSaysSo) {
    brtl::pf::set_last_os_error(brtl::pf::oserr::kAccessDenied);
    ProcessFileError(13, temp("a"));
    brtl::pf::set_last_os_error(brtl::pf::oserr::kNotReady);
    ProcessFileError(13, temp("b"));
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(70, "a"), file_trap(71, "b")}));
}

namespace {
int16_t answering_file_hook(int32_t, BiString subject) {
    take(subject);
    return 42;
}
} // namespace

TEST_F(FileErrorTest, TheHooksResultIsReturned) {
    ZbiInitBasicRTL(nullptr, nullptr, answering_file_hook, nullptr, nullptr, nullptr, nullptr,
                    nullptr);
    EXPECT_EQ(ProcessFileError(2, temp("x")), 42);
}
