#include "file_test.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace brtl_test {

void FileTest::SetUp() {
    RuntimeTest::SetUp();
    ZbiBuiltIn_Reset();
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = scratch_dir() / (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
}

void FileTest::TearDown() {
    set_mode(HookMode::Return);
    fail_allocations_after(-1);
    ZbiBuiltIn_Reset();
    std::filesystem::current_path(scratch_dir());
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
    RuntimeTest::TearDown();
}

std::string FileTest::full_name(const std::string &name) const {
    std::string path = "C:" + (dir_ / name).string();
    for (char &c : path)
        if (c == '/') c = '\\';
    return path;
}

void FileTest::open(const std::string &name, int16_t mode, int16_t number, int16_t access,
                    int16_t lock, int16_t record_length) {
    ZbiBuiltIn_Open(temp(name), mode, access, lock, number, record_length);
}

void FileTest::close(int16_t number) {
    ZbiBuiltIn_Close(1, &number);
}

std::string FileTest::read(const std::string &name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void FileTest::write(const std::string &name, const std::string &bytes) const {
    std::ofstream out(dir_ / name, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void FileTest::make_host_objects() {
    for (int k = 0; k < 255; ++k)
        if (ZbiGetZrFile(k) == nullptr) {
            std::string name = "host_object_" + std::to_string(k);
            open(name, BI_FILE_MODE_OUTPUT, static_cast<int16_t>(k + 1));
            close(static_cast<int16_t>(k + 1));
            std::filesystem::remove(name);
        }
}

int open_descriptors() {
    int n = 0;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd");
         it != std::filesystem::directory_iterator(); ++it)
        ++n;
    return n;
}

std::string full_device_link() {
    std::error_code ignored;
    std::filesystem::remove("full", ignored);
    std::filesystem::create_symlink("/dev/full", "full");
    return "full";
}

} // namespace brtl_test
