#include "file_test.h"

#include <fstream>
#include <iterator>

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

std::string FileTest::read(const std::string &name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void FileTest::write(const std::string &name, const std::string &bytes) const {
    std::ofstream(dir_ / name, std::ios::binary | std::ios::trunc) << bytes;
}

void FileTest::input_file(const std::string &bytes, int16_t mode) {
    write("in.txt", bytes);
    open("in.txt", mode, 1);
    ASSERT_TRUE(traps().empty());
}

void FileTest::make_host_objects() {
    for (int k = 0; k < 255; ++k)
        if (ZbiGetZrFile(k) == nullptr) {
            open("host_object", BI_FILE_MODE_OUTPUT, static_cast<int16_t>(k + 1));
            close(static_cast<int16_t>(k + 1));
            std::filesystem::remove("host_object");
        }
}

void expect_variant(VARIANT &v, const Want &want) {
    ASSERT_EQ(v.vt, want.vt);
    switch (v.vt) {
    case VT_I2:
        EXPECT_EQ(v.iVal, want.number);
        break;
    case VT_I4:
        EXPECT_EQ(v.lVal, want.number);
        break;
    case VT_CY:
        EXPECT_EQ(v.cyVal, want.number);
        break;
    case VT_R4:
        EXPECT_FLOAT_EQ(v.fltVal, static_cast<float>(want.number));
        break;
    case VT_R8:
        EXPECT_DOUBLE_EQ(v.dblVal, static_cast<double>(want.number));
        break;
    case VT_DATE:
        EXPECT_NEAR(v.date, static_cast<double>(want.number), 1e-9);
        break;
    case VT_BSTR:
        EXPECT_EQ(ascii_of(v.bstrVal), want.text);
        break;
    default:
        break;
    }
    VariantClear(&v);
}

int open_descriptors() {
    int n = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
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
