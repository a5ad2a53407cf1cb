// A scratch directory for the file targets and the calls that fill, open and read its files.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>

#include "fuzz_support.h"

namespace fuzz {

// A file of this process in the system's temporary directory, removed at exit.
inline std::string scratch_file(const char *name) {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("brtl-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(d);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                                            ("brtl-fuzz-" + std::to_string(getpid())),
                                        ignored);
        });
        return d;
    }();
    return (dir / name).string();
}

inline void write_bytes(const std::string &path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

inline std::string read_bytes(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void open_file(const std::string &path, int16_t mode, int16_t number) {
    ZbiBuiltIn_Open(temporary(path), mode, BI_FILE_ACCESS_DEFAULT, BI_FILE_LOCK_DEFAULT, number,
                    -1);
}

inline void close_file(int16_t number) {
    ZbiBuiltIn_Close(1, &number);
}

} // namespace fuzz
