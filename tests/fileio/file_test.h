// The fixture of the file suites: each test works in a fresh directory of its own under the
// scratch directory (the working directory while it runs), every file number is closed before
// and after it, and helpers read and write whole files and count open descriptors.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "harness/harness.h"

namespace brtl_test {

class FileTest : public RuntimeTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The test's own directory (the working directory during the test).
    const std::filesystem::path &dir() const { return dir_; }
    // The dialect's full path of a name in the test's directory ("C:\...\name").
    std::string full_name(const std::string &name) const;

    // Open with a temporary name; access, lock and record length default to "not given".
    static void open(const std::string &name, int16_t mode, int16_t number, int16_t access = 0,
                     int16_t lock = 0, int16_t record_length = -1);
    static void close(int16_t number);

    // Whole files in the test's directory.
    std::string read(const std::string &name) const;
    void write(const std::string &name, const std::string &bytes) const;

    // Makes the host file object of every number exist, so that a block balance taken after it
    // is not changed by the objects the first open of a number creates (they live for the
    // process).
    static void make_host_objects();

  private:
    std::filesystem::path dir_;
};

// The number of descriptors the process has open.
int open_descriptors();

// A file name that is a symbolic link to the system's always-full device (writes to it fail
// with "no space left"), in the working directory.
std::string full_device_link();

} // namespace brtl_test
