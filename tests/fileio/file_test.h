// The fixture of the file suites: each test runs in a fresh directory of its own (the working
// directory while it runs) with every file number closed before and after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "harness/harness.h"

namespace brtl_test {

// A field list as a translator builds it.
class Fields {
  public:
    Fields &add(int32_t kind, void *address, int32_t size = 0) {
        fields_.push_back(BiFileField{kind, address, size});
        return *this;
    }
    Fields &variant(VARIANT &v) { return add(BI_TYPE_VARIANT, &v); }
    Fields &string(BiString &s) { return add(BI_TYPE_STRING, &s); }
    template <class T> Fields &fixed(T &value) { return add(0, &value, sizeof value); }
    const BiFileFieldList *list() {
        storage_.assign(offsetof(BiFileFieldList, fields) + fields_.size() * sizeof(BiFileField),
                        0);
        auto *list = reinterpret_cast<BiFileFieldList *>(storage_.data());
        list->count = static_cast<int32_t>(fields_.size());
        std::memcpy(storage_.data() + offsetof(BiFileFieldList, fields), fields_.data(),
                    fields_.size() * sizeof(BiFileField));
        return list;
    }

  private:
    std::vector<BiFileField> fields_;
    std::vector<unsigned char> storage_;
};

class FileTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        ZbiBuiltIn_Reset();
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = scratch_dir() / (std::string(info->test_suite_name()) + "." + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        set_mode(HookMode::Return);
        fail_allocations_after(-1);
        ZbiBuiltIn_Reset();
        std::filesystem::current_path(scratch_dir());
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
        RuntimeTest::TearDown();
    }

    const std::filesystem::path &dir() const { return dir_; }
    // The dialect's full path of a name in the test's directory ("C:\...\name").
    std::string full_name(const std::string &name) const { return dialect_path(dir_ / name); }
    // Opens with a temporary name; access, lock and record length default to "not given".
    static void open(const std::string &name, int16_t mode, int16_t number, int16_t access = 0,
                     int16_t lock = 0, int16_t length = -1) {
        ZbiBuiltIn_Open(temp(name), mode, access, lock, number, length);
    }
    static void close(int16_t number) { ZbiBuiltIn_Close(1, &number); }
    std::string read(const std::string &name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void write(const std::string &name, const std::string &bytes) const {
        std::ofstream(dir_ / name, std::ios::binary | std::ios::trunc) << bytes;
    }
    // Writes in.txt and opens it as file 1.
    void input_file(const std::string &bytes, int16_t mode = BI_FILE_MODE_INPUT) {
        write("in.txt", bytes);
        open("in.txt", mode, 1);
        ASSERT_TRUE(traps().empty());
    }
    // Creates the host file object of every number (they live for the process), so that a block
    // balance taken after it sees only what a test's own calls allocate.
    static void make_host_objects() {
        for (int16_t n = 1; n <= 255; ++n)
            if (ZbiGetZrFile(n - 1) == nullptr) {
                open("host_object", BI_FILE_MODE_OUTPUT, n);
                close(n);
                std::filesystem::remove("host_object");
            }
    }

  private:
    std::filesystem::path dir_;
};

inline Trap trap(int32_t number) {
    return Trap{number, Family::Trap, ""};
}
inline Trap file_trap(int32_t number, const std::string &subject) {
    return Trap{number, Family::FileTrap, subject};
}

// The text of a string variable that an Input # statement filled; frees it and empties the
// variable.
inline std::string release(BiString &s) {
    std::string text = text_of(s);
    if (BiStringLength(s) != 0) ZrFree(s.data);
    s = BiString{const_cast<char *>(""), 0};
    return text;
}

// An expected Variant: integer subtypes compare exactly (long double holds every 64-bit
// integer), Doubles to four units in the last place, Dates to 1e-9 of a day (a second is
// 1.2e-5), strings byte for byte.
struct Want {
    VARTYPE vt;
    long double number = 0;
    std::string text = {};
};
inline const auto I2 = [](long double n) { return Want{VT_I2, n}; };
inline const auto I4 = [](long double n) { return Want{VT_I4, n}; };
inline const auto Cy = [](long double units) { return Want{VT_CY, units}; };
inline const auto R8 = [](long double n) { return Want{VT_R8, n}; };
inline const auto Dt = [](long double serial) { return Want{VT_DATE, serial}; };
inline const auto Str = [](const std::string &text) { return Want{VT_BSTR, 0, text}; };
inline const Want Null{VT_NULL}, Empty{VT_EMPTY};

// Checks v against want, then clears it.
inline void expect_variant(VARIANT &v, const Want &want) {
    ASSERT_EQ(v.vt, want.vt);
    if (v.vt == VT_R8) {
        EXPECT_DOUBLE_EQ(v.dblVal, static_cast<double>(want.number));
    } else if (v.vt == VT_DATE) {
        EXPECT_NEAR(v.date, static_cast<double>(want.number), 1e-9);
    } else {
        const int64_t integer = v.vt == VT_I2   ? v.iVal
                                : v.vt == VT_I4 ? v.lVal
                                : v.vt == VT_CY ? v.cyVal
                                                : 0;
        EXPECT_EQ(integer, want.number);
        EXPECT_EQ(v.vt == VT_BSTR ? ascii_of(v.bstrVal) : "", want.text);
    }
    VariantClear(&v);
}

// The rows of a table, given as the arguments of a call so that the formatter packs them.
template <class... Rows> auto rows(Rows... r) {
    return std::vector<std::common_type_t<Rows...>>{r...};
}
template <class A, class B> std::pair<A, B> row(A a, B b) {
    return {a, b};
}

// The number of descriptors the process has open.
#if defined(_WIN32)
inline int open_descriptors() {
    int n = 0;
    for (int descriptor = 0; descriptor < 2048; ++descriptor)
        if (descriptor_is_open(descriptor)) ++n;
    return n;
}
#else
inline int open_descriptors() {
    int n = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}
#endif

// Skips a test that writes to the always-full device where there is none.
#define BRTL_SKIP_WITHOUT_FULL_DEVICE()                                                            \
    if (kWindows)                                                                                  \
    GTEST_SKIP() << "Windows has no always-full device (the I/O fault sweep covers a full disk)"

// A name in the working directory linked to the always-full device (writes fail, no space).
inline std::string full_device_link() {
    std::error_code ignored;
    std::filesystem::remove("full", ignored);
    std::filesystem::create_symlink("/dev/full", "full");
    return "full";
}

} // namespace brtl_test
