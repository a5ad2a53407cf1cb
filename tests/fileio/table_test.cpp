// The file table: Open and its checks, Close, Reset, FreeFile, FileAttr, the host file objects,
// nested runs and the file error mapping.
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

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

constexpr int16_t kInput = BI_FILE_MODE_INPUT, kOutput = BI_FILE_MODE_OUTPUT,
                  kRandom = BI_FILE_MODE_RANDOM, kAppend = BI_FILE_MODE_APPEND,
                  kBinary = BI_FILE_MODE_BINARY;

size_t entries(const std::filesystem::path &dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(dir))
        ++n;
    return n;
}

} // namespace

// ---- Open -------------------------------------------------------------------------------------

TEST_F(OpenTest, OutputCreatesTheFileAndRecordsModeAccessAndFullPath) {
    write("a.txt", "old text");
    write("b.txt", "first");
    open("a.txt", kOutput, 1);
    open("b.txt", kAppend, 2);
    open("r.dat", kRandom, 3);
    open("b.dat", kBinary, 4);
    open("i.txt", kOutput, 5, 0, 0, 1);
    open("m0.dat", 0, 6);
    ASSERT_TRUE(traps().empty());
    const auto *record = find_record(1);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(std::tuple(record->mode, record->access, record->width, record->column,
                         record->lock_start, record->lock_end),
              std::tuple(kOutput, 2, 0, 0, -1, -1));
    EXPECT_EQ(std::string(record->path), full_name("a.txt"));
    EXPECT_EQ(ZbiBuiltIn_FileAttr(1, 1), kOutput);
    int fd = ZbiBuiltIn_FileAttr(1, 2);
    EXPECT_EQ(fd, record->descriptor);
    EXPECT_TRUE(descriptor_is_open(fd));
    // The record length defaults by mode.
    const int expected_lengths[] = {512, 512, 128, 128, 1};
    for (int16_t n = 1; n <= 5; ++n)
        EXPECT_EQ(find_record(n)->record_length, expected_lengths[n - 1]) << n;
    EXPECT_EQ(ZbiBuiltIn_FileAttr(6, 1), kRandom); // mode 0 is Random
    // Output truncates, Append keeps what is there.
    std::fputs("+more", ZrFileStream(ZbiGetZrFile(1)));
    ZbiBuiltIn_Close(0, nullptr);
    EXPECT_EQ(read("a.txt"), "");
    EXPECT_EQ(read("b.txt"), "first+more");
    EXPECT_TRUE(traps().empty());
}

TEST_F(OpenTest, EveryRefusedOpenTrapsAndLeavesNothingWithEitherHook) {
    write("in.txt", "x");
    write("file", "");
    std::filesystem::create_directory("sub");
    write("shared.txt", "abc");
    open("busy.txt", kOutput, 9);
    open("shared.txt", kInput, 8);
    open("r.dat", kRandom, 10);
    ASSERT_TRUE(traps().empty());
    const std::string n260(260, 'm'), n261(261, 'n'), n300(300, 'x');
    // The trap of each refused open; a file trap's subject is the name. Record lengths below 1;
    // Input for writing (checked before the file is looked for), Output or Append for reading;
    // no lock 5 or 9, mode 3 or access 4; numbers outside 1-255 or in use; names empty or too
    // long (260 bytes pass the length check, but not as a full path); no directory (a file is
    // none), file, drive; directories; the same file again other than Input beside Input or
    // Random and Binary beside each other, whatever the case of the name; wildcards and the
    // characters no name may hold.
    struct R {
        int32_t trap;
        std::string name;
        int16_t mode, number = 1, access = 0, lock = 0, length = -1;
    };
    const auto table = rows(
        R{5, "x.txt", kOutput, 1, 0, 0, 0}, R{5, "x.txt", kOutput, 1, 0, 0, -2},
        R{5, "in.txt", kInput, 1, 2}, R{5, "x.txt", kInput, 1, 2}, R{5, "out.txt", kOutput, 1, 1},
        R{5, "ap.txt", kAppend, 1, 1}, R{5, "lk.txt", kOutput, 1, 0, 5},
        R{5, "lk.txt", kOutput, 1, 0, 9}, R{5, "md.txt", 3}, R{5, "rb.dat", kBinary, 1, 4},
        R{52, "a.txt", kOutput, 0}, R{52, "a.txt", kOutput, 256}, R{52, "a.txt", kOutput, -3},
        R{55, "b.txt", kOutput, 9}, R{52, "", kOutput}, R{64, n261, kOutput}, R{64, n260, kOutput},
        R{64, n300, kOutput}, R{76, "C:\\nodir_for_brtl_tests\\x.txt", kInput},
        R{53, "missing.txt", kInput}, R{76, "nodir\\x.txt", kInput}, R{53, "file\\x.txt", kInput},
        R{53, "D:\\x.txt", kOutput}, R{53, "Q:x.txt", kBinary}, R{53, "Q:\\x", kBinary},
        R{70, "sub", kInput}, R{70, "sub", kBinary}, R{70, "sub", kOutput},
        R{55, "busy.txt", kInput}, R{55, "shared.txt", kOutput}, R{55, "shared.txt", kAppend},
        R{55, "shared.txt", kBinary}, R{55, "SHARED.TXT", kOutput}, R{55, "r.dat", kInput},
        R{55, "r.dat", kAppend}, R{53, "a*?", kOutput}, R{53, "x<y", kOutput},
        R{53, "x>y", kOutput}, R{53, "p|q", kOutput}, R{53, "say\"hi\"", kOutput},
        R{53, "tab\there", kOutput});
    make_host_objects();
    const size_t files = entries(dir());
    const int descriptors = open_descriptors();
    BlockBalance balance;
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        for (const R &row : table) {
            SCOPED_TRACE(row.name + " " + std::to_string(row.mode));
            clear_traps();
            set_mode(mode);
            try {
                open(row.name, row.mode, row.number, row.access, row.lock, row.length);
                EXPECT_EQ(mode, HookMode::Return) << "no trap";
            } catch (const TrapException &) {
                EXPECT_EQ(mode, HookMode::Throw);
            }
            set_mode(HookMode::Return);
            EXPECT_EQ(traps(),
                      std::vector{row.trap == 5 ? trap(5) : file_trap(row.trap, row.name)});
            EXPECT_EQ(find_record(1), nullptr);
            EXPECT_EQ(entries(dir()), files);
        }
    }
    clear_traps();
    ZbiBuiltIn_Open(temp(std::string("a\0b", 3)), kOutput, 0, 0, 2, -1); // a name with a NUL
    ASSERT_EQ(traps().size(), 1u);
    EXPECT_EQ(traps()[0].number, 64);
    EXPECT_EQ(entries(dir()), files);
    EXPECT_EQ(balance.delta(), 0);
    EXPECT_EQ(open_descriptors(), descriptors);
    // What may open beside the files held.
    clear_traps();
    open("shared.txt", kInput, 2);
    open("r.dat", kBinary, 3);
    open("r.dat", 0, 4);
    EXPECT_TRUE(traps().empty());
}

TEST_F(OpenTest, SlashesAreSeparatorsAndAFullPathUsesBackslashesAndIsNeverCut) {
    std::filesystem::create_directories("data/sub");
    open("data/sub/f.txt", kOutput, 1);
    open("data\\sub\\.\\..\\sub\\g.txt", kOutput, 2);
    std::string absolute = full_name("h.txt"); // an absolute name in the dialect's form
    open(absolute, kOutput, 3);
    ASSERT_TRUE(traps().empty());
    for (const char *name : {"data/sub/f.txt", "data/sub/g.txt", "h.txt"})
        EXPECT_TRUE(std::filesystem::exists(name)) << name;
    EXPECT_EQ(std::string(find_record(1)->path), full_name("data\\sub\\f.txt"));
    EXPECT_EQ(std::string(find_record(2)->path), full_name("data\\sub\\g.txt"));
    absolute[0] = 'c'; // the drive letter in lower case is the same drive
    open(absolute, kOutput, 4);
    // In a directory deep enough that a short name's full path passes 255 bytes.
    std::filesystem::path deep = dir();
    while (deep.string().size() < 250)
        deep /= "dddddddddddddddddddd";
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    open("f.txt", kOutput, 5);
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(55, absolute), file_trap(64, "f.txt")}));
    EXPECT_FALSE(std::filesystem::exists(deep / "f.txt"));
    EXPECT_EQ(find_record(5), nullptr);
}

TEST_F(OpenTest, ShareModesAreEnforcedBetweenTheLibrarysOwnFiles) {
    write("s.dat", "keep");
    open("s.dat", kBinary, 1, 0, BI_FILE_LOCK_READ_WRITE);
    open("s.dat", kBinary, 2); // every attempt conflicts: permission denied
    open("s.dat", kBinary, 3, 1);
    close(1);
    write("i.txt", "x");
    open("i.txt", kInput, 1, 0, BI_FILE_LOCK_READ); // others may not read
    open("i.txt", kInput, 2);
    close(1);
    open("i.txt", kInput, 1);
    open("i.txt", kInput, 2, 0, BI_FILE_LOCK_READ);  // an open reader forbids the deny
    open("i.txt", kInput, 3, 0, BI_FILE_LOCK_WRITE); // denying writes to readers is fine
    EXPECT_NE(find_record(3), nullptr);
    // An Output open that violates sharing leaves the file untouched; a nested run does not see
    // the open file in its table.
    open("s.dat", kBinary, 4, 0, BI_FILE_LOCK_WRITE);
    ZbiPushFileIORuntimeState();
    open("s.dat", kOutput, 1);
    ZbiPopFileIORuntimeState();
    EXPECT_EQ(read("s.dat"), "keep");
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(70, "s.dat"), file_trap(70, "s.dat"),
                                          file_trap(70, "i.txt"), file_trap(70, "i.txt"),
                                          file_trap(70, "s.dat")}));
    // Binary without access, the file held with writes denied: read-write and write-only fail,
    // read-only succeeds.
    clear_traps();
    ZbiPushFileIORuntimeState();
    open("s.dat", kBinary, 1);
    ASSERT_TRUE(traps().empty());
    ASSERT_NE(find_record(1), nullptr);
    EXPECT_EQ(find_record(1)->access, 0);
    EXPECT_TRUE(brtl::platform::readable(find_record(1)->stream));
    EXPECT_TRUE(descriptor_is_read_only(ZbiBuiltIn_FileAttr(1, 2)));
    ZbiPopFileIORuntimeState();
}

TEST_F(OpenTest, RandomWithoutAccessOpensAReadOnlyFileForReading) {
    if (permissions_bind_nobody()) GTEST_SKIP() << "permissions do not bind the superuser";
    write("ro.dat", "data");
    std::filesystem::permissions("ro.dat", std::filesystem::perms::owner_read);
    open("ro.dat", kRandom, 2);
    ASSERT_TRUE(traps().empty());
    EXPECT_EQ(find_record(2)->access, 0);
    open("ro.dat", kRandom, 3, 3);
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(70, "ro.dat")}));
}

TEST_F(OpenTest, NamesAreFreedByTheRuleAndOutOfMemoryAtAnyStepLeavesNothingBehind) {
    make_host_objects();
    int descriptors = open_descriptors();
    size_t platform_descriptors = brtl::platform::open_descriptor_count();
    {
        BlockBalance balance;
        Borrowed name("borrowed.txt");
        ZbiBuiltIn_Open(name.get(), kOutput, 0, 0, 1, -1);
        EXPECT_TRUE(name.intact());
        open("temp.txt", kOutput, 2);
        ZbiBuiltIn_Close(0, nullptr);
        EXPECT_EQ(balance.delta(), 0);
    }
    // The path copy, the record, the share entry; the stream buffer falls back to the C
    // library's own.
    const std::vector<Trap> expected[] = {{trap(75)}, {trap(7)}, {file_trap(7, "oom.txt")}};
    for (long k = 0; k < 12; ++k) {
        BlockBalance balance;
        clear_traps();
        BiString name = temp("oom.txt");
        fail_allocations_after(k);
        ZbiBuiltIn_Open(name, kOutput, 0, 0, 1, -1);
        fail_allocations_after(-1);
        EXPECT_EQ(traps(), k < 3 ? expected[k] : std::vector<Trap>{}) << k;
        EXPECT_EQ(find_record(1) != nullptr, k >= 3) << k;
        close(1);
        EXPECT_EQ(balance.delta(), 0) << k;
        EXPECT_EQ(open_descriptors(), descriptors) << k;
        EXPECT_EQ(brtl::platform::open_descriptor_count(), platform_descriptors) << k;
    }
}

// ---- Close, Reset, FreeFile, FileAttr ---------------------------------------------------------

TEST_F(CloseTest, CloseSkipsWhatIsNotOpenAndResetClosesEverything) {
    for (int16_t n : {1, 2, 3, 4, 255})
        open("f" + std::to_string(n), kOutput, n);
    int16_t list[] = {3, 300, 0, -1, 7, 3};
    ZbiBuiltIn_Close(6, list);
    EXPECT_EQ(find_record(3), nullptr);
    EXPECT_NE(find_record(1), nullptr);
    EXPECT_NE(find_record(4), nullptr);
    ZbiBuiltIn_Close(0, nullptr);
    EXPECT_EQ(find_record(1), nullptr);
    EXPECT_EQ(find_record(4), nullptr);
    EXPECT_EQ(brtl::platform::open_descriptor_count(), 0u);
    open("a", kOutput, 1);
    open("b", kBinary, 255);
    brtl::fileio::dir_restart_flag() = false;
    ZbiBuiltIn_Reset();
    EXPECT_EQ(find_record(1), nullptr);
    EXPECT_EQ(find_record(255), nullptr);
    EXPECT_TRUE(brtl::fileio::dir_restart_flag());
    EXPECT_TRUE(traps().empty());
}

TEST_F(CloseTest, AFullDiskAtCloseStillFreesEveryNumberWithEitherHook) {
    BRTL_SKIP_WITHOUT_FULL_DEVICE();
    for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
        open(full_device_link(), kOutput, 1);
        open("ok.txt", kOutput, 2);
        std::fputs("pending", ZrFileStream(ZbiGetZrFile(0)));
        std::fputs("written", ZrFileStream(ZbiGetZrFile(1)));
        clear_traps();
        set_mode(mode);
        try {
            mode == HookMode::Return ? ZbiBuiltIn_Close(0, nullptr) : ZbiBuiltIn_Reset();
        } catch (const TrapException &) {
        }
        set_mode(HookMode::Return);
        EXPECT_EQ(traps(), (std::vector<Trap>{trap(61)}));
        EXPECT_EQ(find_record(1), nullptr);
        EXPECT_EQ(find_record(2), nullptr);
        EXPECT_EQ(brtl::platform::open_descriptor_count(), 0u);
        if (mode == HookMode::Return) {
            EXPECT_EQ(read("ok.txt"), "written");
        }
    }
}

TEST_F(CloseTest, FreeFileFileAttrAndTheHostFileObjects) {
    EXPECT_EQ(ZbiBuiltIn_FreeFile(), 1);
    open("a", kOutput, 1);
    open("b", kOutput, 2);
    open("d", kBinary, 4);
    EXPECT_EQ(ZbiBuiltIn_FreeFile(), 3);
    EXPECT_EQ(ZbiBuiltIn_FileAttr(4, 1), kBinary);
    EXPECT_EQ(ZbiBuiltIn_FileAttr(4, 3), 0);
    EXPECT_EQ(ZbiBuiltIn_FileAttr(0, 1), 0);
    EXPECT_EQ(ZbiBuiltIn_FileAttr(8, 3), 0); // the number is checked first
    EXPECT_EQ(ZbiBuiltIn_FileAttr(-2, 1), 0);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(5), file_trap(52, "0"), file_trap(52, "8"),
                                          file_trap(52, "-2")}));
    clear_traps();
    // A host object per number, 0-based, that outlives its files.
    EXPECT_EQ(ZbiGetZrFile(-1), nullptr);
    EXPECT_EQ(ZbiGetZrFile(255), nullptr);
    ZrHostFile *object = ZbiGetZrFile(1);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(ZrFileStream(object), find_record(2)->stream);
    close(2);
    EXPECT_EQ(ZbiGetZrFile(1), object);
    EXPECT_EQ(ZrFileStream(object), nullptr);
    open("b2", kOutput, 2);
    EXPECT_EQ(ZbiGetZrFile(1), object);
    EXPECT_EQ(ZrFileStream(object), find_record(2)->stream);
    for (int16_t n = 1; n <= 255; ++n)
        if (find_record(n) == nullptr) open("all" + std::to_string(n), kOutput, n);
    ASSERT_TRUE(traps().empty());
    EXPECT_EQ(ZbiBuiltIn_FreeFile(), 0);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(67)}));
    close(200);
    EXPECT_EQ(ZbiBuiltIn_FreeFile(), 200);
}

// The per-run reset: every file closed and the generator back at the start of the seed-1
// sequence, also when closing a file traps and the hook throws.
TEST_F(CloseTest, TheRunResetClosesEveryFileAndRestartsTheSeedOneSequence) {
    BRTL_SKIP_WITHOUT_FULL_DEVICE();
    open("a.txt", kOutput, 1);
    open("b.dat", kBinary, 200);
    brtl::fileio::dir_restart_flag() = false;
    ZbiBuiltIn_Rnd(1);             // whatever Rnd drew before, the reset puts the generator back
    EXPECT_EQ(ZbiReset_Rtl(), 41); // the first number of the sequence
    EXPECT_EQ(find_record(1), nullptr);
    EXPECT_EQ(find_record(200), nullptr);
    EXPECT_EQ(brtl::platform::open_descriptor_count(), 0u);
    EXPECT_TRUE(brtl::fileio::dir_restart_flag());
    const double first = ZbiBuiltIn_Rnd(1), second = ZbiBuiltIn_Rnd(1);
    EXPECT_NE(first, second);
    open(full_device_link(), kOutput, 1);
    std::fputs("pending", ZrFileStream(ZbiGetZrFile(0)));
    set_mode(HookMode::Throw);
    EXPECT_THROW(ZbiReset_Rtl(), TrapException);
    set_mode(HookMode::Return);
    EXPECT_EQ(traps(), (std::vector<Trap>{trap(61)}));
    EXPECT_EQ(find_record(1), nullptr);
    EXPECT_EQ(ZbiBuiltIn_Rnd(1), first);
    EXPECT_EQ(ZbiBuiltIn_Rnd(1), second);
}

// ---- Nested runs ------------------------------------------------------------------------------

TEST_F(NestedRunTest, EachLevelStartsWithAnEmptyTableAndThreeLevelsRestoreInOrder) {
    make_host_objects();
    BlockBalance balance;
    open("outer2", kOutput, 2);
    std::vector<FILE *> streams;
    for (int level = 0; level < 3; ++level) {
        open("level" + std::to_string(level), kOutput, 5);
        streams.push_back(find_record(5)->stream);
        EXPECT_EQ(level == 1 ? ZbiPushFileIORuntimeState() : ZbiPushRuntimeEnvironment(), 0);
        EXPECT_EQ(ZbiBuiltIn_FreeFile(), 1);
        EXPECT_EQ(find_record(5), nullptr);
    }
    open("deepest", kOutput, 5);
    open("deepest3", kOutput, 3);
    for (int level = 2; level >= 0; --level) {
        brtl::fileio::dir_restart_flag() = false;
        level == 1 ? ZbiPopFileIORuntimeState() : ZbiPopRuntimeEnvironment();
        EXPECT_TRUE(brtl::fileio::dir_restart_flag());
        ASSERT_NE(find_record(5), nullptr);
        EXPECT_EQ(find_record(5)->stream, streams[static_cast<size_t>(level)]);
        EXPECT_EQ(find_record(3), nullptr);
        EXPECT_EQ(brtl::platform::open_descriptor_count(), static_cast<size_t>(level + 2));
    }
    EXPECT_NE(find_record(2), nullptr);
    EXPECT_EQ(ZbiBuiltIn_FreeFile(), 1);
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
    ASSERT_EQ(ZbiPushFileIORuntimeState(), 0); // level 3 saved
    open("level3", kOutput, 1);
    ZbiPopFileIORuntimeState(); // back to level 2 = level 1's table
    EXPECT_EQ(ZrFileStream(ZbiGetZrFile(0)), nullptr);
    for (const char *name : {"level1", "level1", "outer"}) {
        ASSERT_NE(find_record(1), nullptr);
        EXPECT_EQ(std::string(find_record(1)->path), full_name(name));
        ZbiPopFileIORuntimeState(); // level 2 ends: level 1's files stay; then level 1 ends
    }
}

// ---- File error mapping -----------------------------------------------------------------------

namespace {
int16_t answering_file_hook(int32_t, BiString subject) {
    take(subject);
    return 42;
}
} // namespace

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
    // Permission denied is "disk not ready" when the system says so.
    clear_traps();
    brtl::platform::set_last_os_error(brtl::platform::oserr::kAccessDenied);
    ProcessFileError(13, temp("a"));
    brtl::platform::set_last_os_error(brtl::platform::oserr::kNotReady);
    ProcessFileError(13, temp("b"));
    EXPECT_EQ(traps(), (std::vector<Trap>{file_trap(70, "a"), file_trap(71, "b")}));
    // The hook's result is returned.
    ZbiInitBasicRTL(nullptr, nullptr, answering_file_hook, nullptr, nullptr, nullptr, nullptr,
                    nullptr);
    EXPECT_EQ(ProcessFileError(2, temp("x")), 42);
}
