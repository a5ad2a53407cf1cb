// The I/O fault sweep: each file statement runs while the k-th system file call fails with EIO,
// ENOSPC or EACCES, for k = 0, 1, ... until the statement no longer reaches the failing call,
// under a returning and a throwing hook. Every failure becomes the one mapped trap through the
// file trap hook with the subject the statement gives; what the file holds afterwards is a
// prefix of what the statement writes with a sound disk (nothing reported written is lost, nothing
// else is written); no block or descriptor is left behind; and the number can be closed and
// opened again. An interrupted call (EINTR) is tried again: the statement completes as if nothing
// had happened.
#include <cerrno>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/io_faults.h"
#include "reliability/sweep_support.h"

namespace brtl_test {
namespace {

namespace platform = brtl::platform;
using namespace sweep;

// A statement of a row: runs on file 1, set up before; returns what it read (empty for writes).
struct Row {
    const char *name;
    std::string before;               // the file before the statement
    std::function<void()> setup;      // opens number 1 (not swept)
    std::function<std::string()> run; // the swept statement
    // The subject of the trap when call k of `calls` fails; Input$ raises trap 75 whatever the
    // system's reason.
    enum Subject { Name, Path, EmptyUntilTheFlush, NoSubject, AccessError } subject;
};

const char *const kFile = "faults.txt";

void open_for(int16_t mode) {
    open_file(kFile, mode, 1);
}

std::string line_of_file() {
    StringVariable line;
    ZbiBuiltIn_LineInput(1, BI_TYPE_STRING, 0, &line.s);
    return line.text();
}

// A statement that reads nothing.
std::function<std::string()> writes(std::function<void()> statement) {
    return [statement] {
        statement();
        return std::string();
    };
}

const std::vector<Row> &rows() {
    static const std::vector<Row> table = {
        {"Open for Output", "old", [] {}, writes([] { open_for(BI_FILE_MODE_OUTPUT); }), Row::Name},
        {"Open for Append", "old\r\n", [] {}, writes([] { open_for(BI_FILE_MODE_APPEND); }),
         Row::Name},
        {"Print #", "", [] { open_for(BI_FILE_MODE_OUTPUT); }, writes([] {
             ZbiBuiltIn_Print(1, 6, BI_PRINT_TEXT, temp("alpha"), BI_PRINT_COMMA, BI_PRINT_TEXT,
                              temp("beta"), BI_PRINT_END_OF_LINE);
         }),
         Row::Path},
        {"Write #", "1,2\r\n", [] { open_for(BI_FILE_MODE_APPEND); }, writes([] {
             int16_t text_code = BI_TYPE_STRING, double_code = BI_TYPE_DOUBLE;
             BiString text = temp("quoted");
             double d = 2.5;
             void *items[] = {&text_code, &text, &double_code, &d};
             ZbiBuiltIn_Write(1, 2, items);
         }),
         Row::EmptyUntilTheFlush}, // a formatted write has no subject, the final flush the path
        {"Line Input #", "first line\r\nsecond\r\n", [] { open_for(BI_FILE_MODE_INPUT); },
         [] {
             std::string a = line_of_file();
             return a + "|" + line_of_file();
         },
         Row::Path},
#if !defined(_WIN32) // the byte reads of a Windows stream are the C runtime's own
        {"Input #", "1996,\"a, b\"\r\n", [] { open_for(BI_FILE_MODE_INPUT); },
         [] {
             int32_t year = 0;
             StringVariable text;
             ZbiBuiltIn_Input(1, 2, BI_TYPE_LONG, &year, BI_TYPE_STRING, &text.s);
             return std::to_string(year) + "|" + text.text();
         },
         Row::Path},
        {"EOF", "x", [] { open_for(BI_FILE_MODE_INPUT); },
         [] { return std::to_string(ZbiBuiltIn_EOF(1)); }, Row::Path},
#endif
        {"Input$", "abcdef", [] { open_for(BI_FILE_MODE_BINARY); },
         [] {
             StringVariable text{ZbiBuiltIn_Input_(4, 1)};
             return text.text();
         },
         Row::AccessError},
        {"Put #", "", [] { ZbiBuiltIn_Open(temp(kFile), BI_FILE_MODE_RANDOM, 0, 0, 1, 16); },
         writes([] {
             int32_t count = 1996;
             double amount = 12.5;
             Fields fields;
             fields.fixed(count).fixed(amount);
             ZbiBuiltIn_Put(1, 2, 1, fields.list());
         }),
         Row::Path},
        {"Get #", "abcdefghijklmnop", [] { open_for(BI_FILE_MODE_BINARY); },
         [] {
             char first[5] = {}, second[9] = {};
             Fields fields;
             fields.add(0, first, 4).add(0, second, 8);
             ZbiBuiltIn_Get(1, 3, 1, fields.list());
             return std::string(first) + "|" + second;
         },
         Row::Path},
        {"Close", "",
         [] {
             open_for(BI_FILE_MODE_OUTPUT);
             ZbiBuiltIn_Print(1, 2, BI_PRINT_TEXT, temp("kept"));
         },
         writes([] {
             int16_t n = 1;
             ZbiBuiltIn_Close(1, &n);
         }),
         Row::NoSubject},
    };
    return table;
}

struct Outcome {
    std::string read;
    std::string file;
    std::vector<Trap> traps;
    bool thrown = false;
    unsigned long calls = 0;
    long leaked = 0;
    int descriptors = 0;
    bool reopened = false;
};

class IoFaultTest : public RuntimeTest {
  protected:
    void TearDown() override {
        platform::fail_file_calls_after(-1, 0);
        set_mode(HookMode::Return);
        ZbiBuiltIn_Reset();
        RuntimeTest::TearDown();
    }

    Outcome run(const Row &row, long fail_at, int error, HookMode mode) {
        set_mode(HookMode::Return);
        ZbiBuiltIn_Reset();
        int fds = open_descriptors();
        BlockBalance balance;
        make_file(kFile, row.before);
        row.setup();
        EXPECT_TRUE(traps().empty()) << "the setup traps";
        clear_traps();
        set_mode(mode);
        Outcome o;
        unsigned long start = platform::file_call_count();
        if (fail_at >= 0) platform::fail_file_calls_after(fail_at, error);
        try {
            o.read = row.run();
        } catch (const TrapException &) {
            o.thrown = true;
        }
        platform::fail_file_calls_after(-1, 0);
        o.calls = platform::file_call_count() - start;
        set_mode(HookMode::Return);
        o.traps = traps();
        clear_traps();
        ZbiBuiltIn_Reset();
        o.file = file_bytes(kFile);
        // The table is consistent: the number opens again and closes without a trap.
        open_for(BI_FILE_MODE_INPUT);
        o.reopened = ZbiBuiltIn_FreeFile() == 2 && traps().empty();
        ZbiBuiltIn_Reset();
        clear_traps();
        o.leaked = balance.delta();
        o.descriptors = open_descriptors() - fds;
        return o;
    }
};

// The trap and its subject that a system error at call k of `calls` gives for a row. A close
// reports only a full disk, through the trap hook, once the number is free.
Trap expected_trap(const Row &row, int error, long k, unsigned long calls,
                   const std::string &path) {
    int32_t number = error == EIO      ? BI_TRAP_DEVICE_IO_ERROR
                     : error == ENOSPC ? BI_TRAP_DISK_FULL
                                       : BI_TRAP_PERMISSION_DENIED;
    switch (row.subject) {
    case Row::Name:
        return {number, Family::FileTrap, kFile};
    case Row::Path:
        return {number, Family::FileTrap, path};
    case Row::EmptyUntilTheFlush:
        return {number, Family::FileTrap, k + 1 == static_cast<long>(calls) ? path : ""};
    case Row::AccessError:
        return {BI_TRAP_PATH_FILE_ACCESS, Family::Trap, ""};
    case Row::NoSubject:
        break;
    }
    return {number, Family::Trap, ""};
}

TEST_F(IoFaultTest, EverySystemFailureIsItsTrapAndLosesNothingWritten) {
    const std::string path = dialect_path(scratch_dir() / kFile);
    unsigned long points = 0;
    for (const Row &row : rows()) {
        SCOPED_TRACE(row.name);
        const Outcome reference = run(row, -1, 0, HookMode::Return);
        ASSERT_TRUE(reference.traps.empty()) << reference.traps[0];
        ASSERT_GT(reference.calls, 0u);
        for (int error : {EIO, ENOSPC, EACCES}) {
            for (long k = 0; k < static_cast<long>(reference.calls); ++k) {
                for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
                    SCOPED_TRACE(
                        "errno " + std::to_string(error) + " at file call " +
                        std::to_string(k + 1) +
                        (mode == HookMode::Throw ? ", throwing hook" : ", returning hook"));
                    Outcome o = run(row, k, error, mode);
                    ++points;
                    EXPECT_EQ(o.leaked, 0);
                    EXPECT_EQ(o.descriptors, 0);
                    EXPECT_TRUE(o.reopened);
                    // The file as it was, or what the statement keeps of it followed by a prefix
                    // of what it writes.
                    size_t kept = 0;
                    while (kept < row.before.size() && kept < reference.file.size() &&
                           row.before[kept] == reference.file[kept])
                        ++kept;
                    bool as_before = o.file == row.before;
                    bool prefix = o.file.size() >= kept &&
                                  reference.file.compare(0, o.file.size(), o.file) == 0;
                    EXPECT_TRUE(as_before || prefix)
                        << "the file holds \"" << o.file << "\", not a prefix of \""
                        << reference.file << "\"";
                    if (o.traps.empty()) { // a failure the statement does not report (Close)
                        EXPECT_EQ(o.file, reference.file);
                        continue;
                    }
                    EXPECT_EQ(o.traps, std::vector<Trap>{
                                           expected_trap(row, error, k, reference.calls, path)});
                    EXPECT_EQ(o.thrown, mode == HookMode::Throw);
                }
            }
        }
    }
    std::cout << "[ faults   ] " << rows().size() << " statements, " << points
              << " failure points\n";
#if defined(_WIN32)
    std::cout << "[ faults   ] not swept here: Input # and EOF, whose byte reads the C runtime "
                 "buffers out of the switch's sight\n";
#endif
}

// FileCopy opens, reads, writes and closes two files: a failure at any of its file calls is one
// trap (the open's or the write's mapped trap with the name, 57 for a read; a close reports only
// a full disk), the source is left as it was, the copy holds a prefix of it, and both numbers
// are free again.
TEST_F(IoFaultTest, FileCopyFailsCleanlyAtEveryFileCall) {
    const std::string source(100000, 'x');
    auto copy = [&](long fail_at, int error) {
        ZbiBuiltIn_Reset();
        make_file(kFile, source);
        std::remove("copy.txt");
        clear_traps();
        unsigned long start = platform::file_call_count();
        if (fail_at >= 0) platform::fail_file_calls_after(fail_at, error);
        ZbiBuiltIn_FileCopy(temp(kFile), temp("copy.txt"));
        platform::fail_file_calls_after(-1, 0);
        return platform::file_call_count() - start;
    };
    const unsigned long calls = copy(-1, 0);
    ASSERT_TRUE(traps().empty());
    ASSERT_EQ(file_bytes("copy.txt"), source);
    for (int error : {EIO, ENOSPC}) {
        for (long k = 0; k < static_cast<long>(calls); ++k) {
            SCOPED_TRACE("errno " + std::to_string(error) + " at file call " +
                         std::to_string(k + 1));
            BlockBalance balance;
            int fds = open_descriptors();
            copy(k, error);
            std::string copied = file_bytes("copy.txt");
            if (traps().empty()) { // a close, which reports only a full disk: nothing was lost
                EXPECT_EQ(copied, source);
                continue;
            }
            ASSERT_EQ(traps().size(), 1u);
            const Trap &trap = traps()[0];
            EXPECT_TRUE(trap.number == BI_TRAP_DEVICE_IO_ERROR ||
                        trap.number == (error == EIO ? BI_TRAP_DEVICE_IO_ERROR : BI_TRAP_DISK_FULL))
                << trap;
            EXPECT_EQ(file_bytes(kFile), source);
            EXPECT_EQ(source.compare(0, copied.size(), copied), 0);
            EXPECT_EQ(ZbiBuiltIn_FreeFile(), 1);
            EXPECT_EQ(balance.delta(), 0);
            EXPECT_EQ(open_descriptors() - fds, 0);
        }
    }
}

TEST_F(IoFaultTest, AnInterruptedCallIsTriedAgain) {
    for (const Row &row : rows()) {
        SCOPED_TRACE(row.name);
        const Outcome reference = run(row, -1, 0, HookMode::Return);
        for (long k = 0; k < static_cast<long>(reference.calls); ++k) {
            Outcome o = run(row, k, EINTR, HookMode::Throw);
            EXPECT_TRUE(o.traps.empty()) << o.traps[0];
            EXPECT_EQ(o.read, reference.read);
            EXPECT_EQ(o.file, reference.file);
        }
    }
}

} // namespace
} // namespace brtl_test
