// Random-file records and the directory listing beside the system calls doing the same work:
// Put of a 64-byte record of mixed fields beside one pwrite per field (Put writes each piece to
// the system at once), Get of the record beside a pread of its 64 bytes copied into the same
// variables, and Dir_ over 10,000 files beside a readdir loop copying each name.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench.h"
#include "brtl/brtl.h"

namespace {

constexpr int32_t kRecords = 100000;
constexpr int kListedFiles = 10000;
constexpr int16_t kRecordLength = 64;

BiString borrowed(const char *text) {
    return BiString{const_cast<char *>(text), static_cast<uint32_t>(std::strlen(text))};
}

struct ScratchDirectory {
    std::filesystem::path path;
    ScratchDirectory() {
        std::string base = (std::filesystem::temp_directory_path() / "brtl-bench-XXXXXX").string();
        if (mkdtemp(base.data()) == nullptr) std::abort();
        path = base;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

const ScratchDirectory &scratch() {
    static ScratchDirectory dir;
    return dir;
}

// The variables of one record: Integer, Long, Double, Currency, a 32-byte fixed-length string
// and a Variant holding a Double (2 + 4 + 8 + 8 + 32 + 10 = 64 bytes).
struct Record {
    int16_t integer = 12;
    int32_t long_value = 345678;
    double real = 3.25;
    int64_t currency = 1234500;
    char text[32] = "fixed-length text of the record";
    VARIANT variant{};

    Record() {
        variant.vt = VT_R8;
        variant.dblVal = 2.5;
    }
};

// The field list of a record, as a translator lays it out.
struct RecordFields {
    alignas(BiFileFieldList) unsigned char storage[offsetof(BiFileFieldList, fields) +
                                                   6 * sizeof(BiFileField)];
    explicit RecordFields(Record &r) {
        auto *list = fields();
        list->count = 6;
        BiFileField *f = list->fields;
        f[0] = {BI_TYPE_INTEGER, &r.integer, 2};
        f[1] = {BI_TYPE_LONG, &r.long_value, 4};
        f[2] = {BI_TYPE_DOUBLE, &r.real, 8};
        f[3] = {BI_TYPE_CURRENCY, &r.currency, 8};
        f[4] = {BI_TYPE_FIXED_STRING, r.text, 32};
        f[5] = {BI_TYPE_VARIANT, &r.variant, 0};
    }
    BiFileFieldList *fields() { return reinterpret_cast<BiFileFieldList *>(storage); }
};

std::string file(const char *name) {
    return (scratch().path / name).string();
}

void open_random(const std::string &name) {
    ZbiBuiltIn_Open(borrowed(name.c_str()), BI_FILE_MODE_RANDOM, 0, 0, 1, kRecordLength);
}

void close_random() {
    int16_t number = 1;
    ZbiBuiltIn_Close(1, &number);
}

void BM_PutRecord(benchmark::State &state) {
    Record r;
    RecordFields fields(r);
    open_random(file("put.dat"));
    int32_t n = 0;
    for (auto _ : state) {
        ZbiBuiltIn_Put(1, n + 1, 1, fields.fields());
        n = (n + 1) % kRecords;
    }
    close_random();
}

void BM_PwriteEachField(benchmark::State &state) {
    Record r;
    int fd = open(file("pwrite.dat").c_str(), O_RDWR | O_CREAT, 0644);
    int32_t n = 0;
    for (auto _ : state) {
        off_t at = static_cast<off_t>(n) * kRecordLength;
        unsigned char variant[10];
        std::memcpy(variant, &r.variant.vt, 2);
        std::memcpy(variant + 2, &r.variant.dblVal, 8);
        bool ok = pwrite(fd, &r.integer, 2, at) == 2 && pwrite(fd, &r.long_value, 4, at + 2) == 4 &&
                  pwrite(fd, &r.real, 8, at + 6) == 8 && pwrite(fd, &r.currency, 8, at + 14) == 8 &&
                  pwrite(fd, r.text, 32, at + 22) == 32 && pwrite(fd, variant, 10, at + 54) == 10;
        benchmark::DoNotOptimize(ok);
        n = (n + 1) % kRecords;
    }
    close(fd);
}

// The file the Get benchmarks read: every record written once by Put.
const std::string &filled_file() {
    static const std::string name = [] {
        std::string path = file("get.dat");
        Record r;
        RecordFields fields(r);
        open_random(path);
        for (int32_t n = 1; n <= kRecords; ++n)
            ZbiBuiltIn_Put(1, n, 1, fields.fields());
        close_random();
        return path;
    }();
    return name;
}

void BM_GetRecord(benchmark::State &state) {
    Record r;
    RecordFields fields(r);
    open_random(filled_file());
    int32_t n = 0;
    for (auto _ : state) {
        ZbiBuiltIn_Get(1, n + 1, 1, fields.fields());
        benchmark::DoNotOptimize(r);
        n = (n + 1) % kRecords;
    }
    close_random();
}

void BM_PreadRecord(benchmark::State &state) {
    Record r;
    int fd = open(filled_file().c_str(), O_RDONLY);
    int32_t n = 0;
    for (auto _ : state) {
        unsigned char bytes[kRecordLength];
        if (pread(fd, bytes, sizeof bytes, static_cast<off_t>(n) * kRecordLength) != kRecordLength)
            std::abort();
        std::memcpy(&r.integer, bytes, 2);
        std::memcpy(&r.long_value, bytes + 2, 4);
        std::memcpy(&r.real, bytes + 6, 8);
        std::memcpy(&r.currency, bytes + 14, 8);
        std::memcpy(r.text, bytes + 22, 32);
        std::memcpy(&r.variant.vt, bytes + 54, 2);
        std::memcpy(&r.variant.dblVal, bytes + 56, 8);
        benchmark::DoNotOptimize(r);
        n = (n + 1) % kRecords;
    }
    close(fd);
}

// ---- Dir_ over 10,000 files -----------------------------------------------------------------

const std::string &listed_directory() {
    static const std::string name = [] {
        std::filesystem::path dir = scratch().path / "listed";
        std::filesystem::create_directory(dir);
        for (int i = 0; i < kListedFiles; ++i) {
            std::string path = (dir / ("file" + std::to_string(i) + ".dat")).string();
            int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
            if (fd >= 0) close(fd);
        }
        return dir.string();
    }();
    return name;
}

void BM_DirListing(benchmark::State &state) {
    std::string pattern = "C:" + listed_directory() + "/*.*";
    size_t names = 0;
    for (auto _ : state) {
        BiString s = ZbiBuiltIn_Dir_(borrowed(pattern.c_str()), 0, 0);
        while ((s.length_word & BI_STRING_LENGTH_MASK) != 0) {
            ++names;
            ZbiFreeBiString(s);
            s = ZbiBuiltIn_Dir_(borrowed(""), 0, 1);
        }
    }
    benchmark::DoNotOptimize(names);
}

void BM_ReaddirListing(benchmark::State &state) {
    size_t names = 0;
    for (auto _ : state) {
        DIR *d = opendir(listed_directory().c_str());
        while (const dirent *e = readdir(d)) {
            if (e->d_type == DT_DIR) continue;
            size_t n = std::strlen(e->d_name);
            char *copy = static_cast<char *>(std::malloc(n + 1));
            std::memcpy(copy, e->d_name, n + 1);
            benchmark::DoNotOptimize(copy);
            std::free(copy);
            ++names;
        }
        closedir(d);
    }
    benchmark::DoNotOptimize(names);
}

} // namespace

BRTL_BENCH_PAIR("Put 64-byte record / pwrite per field", BM_PutRecord, BM_PwriteEachField);
BENCHMARK(BM_PwriteEachField);
BRTL_BENCH_PAIR("Get 64-byte record / pread", BM_GetRecord, BM_PreadRecord);
BENCHMARK(BM_PreadRecord);
BRTL_BENCH_PAIR("Dir_ of 10,000 files / readdir", BM_DirListing, BM_ReaddirListing);
BENCHMARK(BM_ReaddirListing);
