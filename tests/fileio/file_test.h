// The fixture of the file suites: each test runs in a fresh directory of its own (the working
// directory while it runs) with every file number closed before and after it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "harness/harness.h"

namespace brtl_test {

class FileTest : public RuntimeTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    const std::filesystem::path &dir() const { return dir_; }
    // The dialect's full path of a name in the test's directory ("C:\...\name").
    std::string full_name(const std::string &name) const;
    // Opens with a temporary name; access, lock and record length default to "not given".
    static void open(const std::string &name, int16_t mode, int16_t number, int16_t access = 0,
                     int16_t lock = 0, int16_t record_length = -1);
    static void close(int16_t number) { ZbiBuiltIn_Close(1, &number); }
    std::string read(const std::string &name) const;
    void write(const std::string &name, const std::string &bytes) const;
    // Writes name and opens it as file 1.
    void input_file(const std::string &bytes, int16_t mode = BI_FILE_MODE_INPUT);
    // Creates the host file object of every number (they live for the process), so that a block
    // balance taken after it sees only what a test's own calls allocate.
    static void make_host_objects();

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
// integer), Singles and Doubles to four units in the last place, Dates to 1e-9 of a day (a
// second is 1.2e-5), strings byte for byte.
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
void expect_variant(VARIANT &v, const Want &want);

// The rows of a table, given as the arguments of a call so that the formatter packs them.
template <class... Rows> auto rows(Rows... r) {
    return std::vector<std::common_type_t<Rows...>>{r...};
}
template <class A, class B> std::pair<A, B> row(A a, B b) {
    return {a, b};
}

int open_descriptors();
// A name in the working directory linked to the always-full device (writes fail, no space).
std::string full_device_link();

} // namespace brtl_test
