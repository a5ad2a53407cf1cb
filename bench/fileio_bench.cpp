// Sequential file I/O beside the C library doing the same work: Print # of short lines beside
// fwrite with a flush after every piece, Write # of mixed records beside fprintf, Line Input #
// beside fgets, Input # beside fgets and strtod; both sides test for the end of the file before
// each read as a BASIC loop does (EOF looks one byte ahead: getc and ungetc). The growth runs
// read whole files of N lines or records. The files live in a directory of their own under the
// system's temporary directory, removed at exit.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "bench.h"
#include "brtl/brtl.h"

namespace {

constexpr int kLines = 200000;
const char kText[] = "The quick brown fox 12345";

BiString borrowed(const char *text) {
    return BiString{const_cast<char *>(text), static_cast<uint32_t>(std::strlen(text))};
}

// The working directory of the file benchmarks, made on first use.
struct BenchDirectory {
    std::filesystem::path path;
    BenchDirectory() {
        std::string base = (std::filesystem::temp_directory_path() / "brtl-bench-XXXXXX").string();
        if (mkdtemp(base.data()) == nullptr) std::abort();
        path = base;
    }
    ~BenchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const char *name) const { return (path / name).string(); }
};

const BenchDirectory &directory() {
    static BenchDirectory dir;
    return dir;
}

void open_file(const std::string &name, int16_t mode, int16_t number) {
    ZbiBuiltIn_Open(borrowed(name.c_str()), mode, 0, 0, number, -1);
}

void close_file(int16_t number) {
    ZbiBuiltIn_Close(1, &number);
}

// ---- Print # of short lines -----------------------------------------------------------------

void BM_PrintLine(benchmark::State &state) {
    std::string name = directory().file("print.txt");
    open_file(name, BI_FILE_MODE_OUTPUT, 1);
    for (auto _ : state)
        ZbiBuiltIn_Print(1, 3, BI_PRINT_TEXT, borrowed(kText), BI_PRINT_END_OF_LINE);
    close_file(1);
}

// The same bytes with a flush after each of the two pieces.
void BM_FwriteFlushLine(benchmark::State &state) {
    FILE *f = std::fopen(directory().file("fwrite.txt").c_str(), "wb");
    size_t n = std::strlen(kText);
    for (auto _ : state) {
        std::fwrite(kText, 1, n, f);
        std::fflush(f);
        std::fwrite("\r\n", 1, 2, f);
        std::fflush(f);
    }
    std::fclose(f);
}

// The same bytes buffered, flushed only when the buffer fills.
void BM_FwriteLine(benchmark::State &state) {
    FILE *f = std::fopen(directory().file("fwrite.txt").c_str(), "wb");
    size_t n = std::strlen(kText);
    for (auto _ : state) {
        std::fwrite(kText, 1, n, f);
        std::fwrite("\r\n", 1, 2, f);
    }
    std::fclose(f);
}

// ---- Write # of records of mixed fields ------------------------------------------------------

struct Record {
    int16_t code_integer = BI_TYPE_INTEGER, code_double = BI_TYPE_DOUBLE,
            code_string = BI_TYPE_STRING, code_currency = BI_TYPE_CURRENCY,
            code_long = BI_TYPE_LONG;
    int16_t integer = 42;
    double real = 3.14159;
    BiString text = borrowed("name, with a comma");
    int64_t currency = 125000;
    int32_t long_integer = 100000;
    void *items[10] = {&code_integer, &integer,       &code_double, &real,      &code_string,
                       &text,         &code_currency, &currency,    &code_long, &long_integer};
};

void BM_WriteRecord(benchmark::State &state) {
    open_file(directory().file("write.txt"), BI_FILE_MODE_OUTPUT, 1);
    Record record;
    for (auto _ : state)
        ZbiBuiltIn_Write(1, 5, record.items);
    close_file(1);
}

// The same text by fprintf, flushed at the end of each record as Write # does.
void BM_FprintfRecord(benchmark::State &state) {
    FILE *f = std::fopen(directory().file("fprintf.txt").c_str(), "wb");
    for (auto _ : state) {
        std::fprintf(f, "%d,%.15G,\"%s\",%s,%ld\r\n", 42, 3.14159, "name, with a comma", "12.5",
                     100000L);
        std::fflush(f);
    }
    std::fclose(f);
}

// ---- Files to read --------------------------------------------------------------------------

// A file of n lines of 30 bytes each and a line end.
std::string make_lines_file(const std::string &path, long n) {
    FILE *f = std::fopen(path.c_str(), "wb");
    for (long i = 0; i < n; ++i)
        std::fprintf(f, "line %25ld\r\n", i);
    std::fclose(f);
    return path;
}

const std::string &lines_file() {
    static const std::string name = make_lines_file(directory().file("lines.txt"), kLines);
    return name;
}

// True at the end of the file, as EOF tells it: one byte read ahead and put back.
bool at_end(FILE *f) {
    int c = std::getc(f);
    if (c == EOF) return true;
    std::ungetc(c, f);
    return false;
}

const std::string &records_file() {
    static const std::string name = [] {
        std::string path = directory().file("records.txt");
        FILE *f = std::fopen(path.c_str(), "wb");
        for (int i = 0; i < kLines; ++i)
            std::fprintf(f, "%d,%.15G,\"name, with a comma\",12.5,%d\r\n", i % 30000, i * 0.001,
                         100000 + i);
        std::fclose(f);
        return path;
    }();
    return name;
}

// ---- Line Input #
// ---------------------------------------------------------------------------------

void BM_LineInput(benchmark::State &state) {
    open_file(lines_file(), BI_FILE_MODE_INPUT, 1);
    BiString line{const_cast<char *>(""), 0};
    for (auto _ : state) {
        if (ZbiBuiltIn_EOF(1)) {
            close_file(1);
            open_file(lines_file(), BI_FILE_MODE_INPUT, 1);
        }
        ZbiBuiltIn_LineInput(1, BI_TYPE_STRING, 0, &line);
        benchmark::DoNotOptimize(line.data);
    }
    if (BiStringLength(line) != 0) ZrFree(line.data);
    close_file(1);
}

// fgets of the same lines, each copied into a fresh block as Line Input # gives it.
void BM_FgetsLine(benchmark::State &state) {
    FILE *f = std::fopen(lines_file().c_str(), "rb");
    char buf[256];
    for (auto _ : state) {
        if (at_end(f)) std::rewind(f);
        std::fgets(buf, sizeof buf, f);
        size_t n = std::strlen(buf);
        while (n > 0 && (buf[n - 1] == '\n' || buf[n - 1] == '\r'))
            --n;
        char *copy = static_cast<char *>(std::malloc(n + 1));
        std::memcpy(copy, buf, n);
        copy[n] = '\0';
        benchmark::DoNotOptimize(copy);
        std::free(copy);
    }
    std::fclose(f);
}

// ---- Input # ----------------------------------------------------------------------------------

void BM_InputRecord(benchmark::State &state) {
    open_file(records_file(), BI_FILE_MODE_INPUT, 1);
    int16_t integer = 0;
    double real = 0;
    BiString text{const_cast<char *>(""), 0};
    int64_t currency = 0;
    int32_t long_integer = 0;
    for (auto _ : state) {
        if (ZbiBuiltIn_EOF(1)) {
            close_file(1);
            open_file(records_file(), BI_FILE_MODE_INPUT, 1);
        }
        ZbiBuiltIn_Input(1, 5, BI_TYPE_INTEGER, &integer, BI_TYPE_DOUBLE, &real, BI_TYPE_STRING,
                         &text, BI_TYPE_CURRENCY, &currency, BI_TYPE_LONG, &long_integer);
        benchmark::DoNotOptimize(real);
    }
    if (BiStringLength(text) != 0) ZrFree(text.data);
    close_file(1);
}

// fgets of the same records, split by hand and converted with strtol and strtod, the string
// copied into a fresh block.
void BM_FgetsStrtodRecord(benchmark::State &state) {
    FILE *f = std::fopen(records_file().c_str(), "rb");
    char buf[256];
    for (auto _ : state) {
        if (at_end(f)) std::rewind(f);
        std::fgets(buf, sizeof buf, f);
        char *p = buf;
        long integer = std::strtol(p, &p, 10);
        double real = std::strtod(p + 1, &p);
        char *open_quote = std::strchr(p, '"');
        char *close_quote = std::strchr(open_quote + 1, '"');
        size_t n = static_cast<size_t>(close_quote - open_quote - 1);
        char *copy = static_cast<char *>(std::malloc(n + 1));
        std::memcpy(copy, open_quote + 1, n);
        copy[n] = '\0';
        double currency = std::strtod(close_quote + 2, &p);
        long long_integer = std::strtol(p + 1, &p, 10);
        benchmark::DoNotOptimize(integer + real + currency + static_cast<double>(long_integer));
        benchmark::DoNotOptimize(copy);
        std::free(copy);
    }
    std::fclose(f);
}

// ---- Growth --------------------------------------------------------------------------------

// The file of n lines (or records) for a growth run, made once.
const std::string &growth_file(long n, bool records) {
    static std::map<std::pair<long, bool>, std::string> files;
    auto found = files.find({n, records});
    if (found != files.end()) return found->second;
    std::string path =
        directory().file(((records ? "records" : "lines") + std::to_string(n)).c_str());
    if (records) {
        FILE *f = std::fopen(path.c_str(), "wb");
        for (long i = 0; i < n; ++i)
            std::fprintf(f, "%ld,%.15G,\"name, with a comma\",12.5,%ld\r\n", i % 30000, i * 0.001,
                         100000 + i);
        std::fclose(f);
    } else {
        make_lines_file(path, n);
    }
    return files.emplace(std::pair{n, records}, path).first->second;
}

// Line Input # of every line of a file of N lines, as a loop on EOF reads them.
void BM_LineInputGrowth(benchmark::State &state) {
    const std::string &name = growth_file(state.range(0), false);
    BiString line{const_cast<char *>(""), 0};
    for (auto _ : state) {
        open_file(name, BI_FILE_MODE_INPUT, 1);
        while (ZbiBuiltIn_EOF(1) == 0)
            ZbiBuiltIn_LineInput(1, BI_TYPE_STRING, 0, &line);
        close_file(1);
    }
    if (BiStringLength(line) != 0) ZrFree(line.data);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Input # of every record of a file of N records.
void BM_InputGrowth(benchmark::State &state) {
    const std::string &name = growth_file(state.range(0), true);
    int16_t integer = 0;
    double real = 0;
    BiString text{const_cast<char *>(""), 0};
    int64_t currency = 0;
    int32_t long_integer = 0;
    for (auto _ : state) {
        open_file(name, BI_FILE_MODE_INPUT, 1);
        while (ZbiBuiltIn_EOF(1) == 0)
            ZbiBuiltIn_Input(1, 5, BI_TYPE_INTEGER, &integer, BI_TYPE_DOUBLE, &real, BI_TYPE_STRING,
                             &text, BI_TYPE_CURRENCY, &currency, BI_TYPE_LONG, &long_integer);
        close_file(1);
    }
    if (BiStringLength(text) != 0) ZrFree(text.data);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_LineInputGrowth)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000);
BENCHMARK(BM_InputGrowth)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000);
BENCHMARK(BM_FwriteFlushLine);
BENCHMARK(BM_FwriteLine);
BENCHMARK(BM_FprintfRecord);
BENCHMARK(BM_FgetsLine);
BENCHMARK(BM_FgetsStrtodRecord);
BRTL_BENCH_PAIR("Print # line / fwrite+fflush per piece", BM_PrintLine, BM_FwriteFlushLine);
// The cost of putting every piece out at once: the same Print # beside unflushed writes.
static const int kPrintBuffered =
    brtl_bench::register_pair("Print # line / buffered fwrite", "BM_PrintLine", "BM_FwriteLine");
BRTL_BENCH_PAIR("Write # record / fprintf+fflush", BM_WriteRecord, BM_FprintfRecord);
BRTL_BENCH_PAIR("Line Input # / fgets+copy", BM_LineInput, BM_FgetsLine);
BRTL_BENCH_PAIR("Input # record / fgets+strtol+strtod", BM_InputRecord, BM_FgetsStrtodRecord);
