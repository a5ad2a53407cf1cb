// The platform file layer: names in the dialect's form, full paths, share modes among the
// library's descriptors, stream buffers and the two error numberings.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "harness/harness.h"
#include "platform/files.h"

using namespace brtl_test;
namespace pf = brtl::pf;

namespace {

class PlatformFilesTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = scratch_dir() / ("platform_files." + std::string(info->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        descriptors_ = pf::open_descriptor_count();
    }
    void TearDown() override {
        EXPECT_EQ(pf::open_descriptor_count(), descriptors_);
        std::filesystem::current_path(scratch_dir());
        std::filesystem::remove_all(dir_);
        RuntimeTest::TearDown();
    }

    // The current directory in the dialect's form, from the standard library.
    static std::string cwd_dialect() {
        std::string path = "C:" + std::filesystem::current_path().string();
        for (char &c : path)
            if (c == '/') c = '\\';
        return path;
    }
    static std::string full(const std::string &name) {
        char out[pf::kMaxFullPath + 1];
        size_t n = pf::full_path(name.c_str(), out, sizeof out);
        EXPECT_LT(n, sizeof out) << name;
        EXPECT_EQ(n, std::strlen(out)) << name;
        return out;
    }
    std::string system_path(const std::string &path) {
        char out[512];
        if (!pf::to_system_path(path.c_str(), out, sizeof out)) return "<none>";
        return out;
    }

    std::filesystem::path dir_;
    size_t descriptors_ = 0;
};

std::string slurp(const std::string &name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST_F(PlatformFilesTest, FullPathsOfRelativeRootedAndDriveNames) {
    std::string cwd = cwd_dialect();
    EXPECT_EQ(full("a.txt"), cwd + "\\a.txt");
    EXPECT_EQ(full("sub/b.txt"), cwd + "\\sub\\b.txt");
    EXPECT_EQ(full("C:x.txt"), cwd + "\\x.txt");
    EXPECT_EQ(full("c:x.txt"), cwd + "\\x.txt");
    EXPECT_EQ(full("\\top\\x"), "C:\\top\\x");
    EXPECT_EQ(full("/top/x"), "C:\\top\\x");
    EXPECT_EQ(full("C:\\a\\b"), "C:\\a\\b");
    EXPECT_EQ(full("c:/a/b"), "C:\\a\\b");
    EXPECT_EQ(full("D:\\data\\x"), "D:\\data\\x");
    EXPECT_EQ(full("q:rel"), "Q:\\rel");
    EXPECT_EQ(full("C:"), cwd);
    EXPECT_EQ(full("C:\\"), "C:\\");
    EXPECT_EQ(full("\\"), "C:\\");
}

TEST_F(PlatformFilesTest, FullPathsResolveDotsAndCollapseSeparators) {
    EXPECT_EQ(full("C:\\a\\.\\b\\..\\c"), "C:\\a\\c");
    EXPECT_EQ(full("C:\\a\\\\\\b//c"), "C:\\a\\b\\c");
    EXPECT_EQ(full("C:\\..\\..\\x"), "C:\\x");
    EXPECT_EQ(full("C:\\a\\b\\"), "C:\\a\\b\\");
    EXPECT_EQ(full("C:\\a\\b\\."), "C:\\a\\b");
    EXPECT_EQ(full("C:\\a\\.."), "C:\\");
    EXPECT_EQ(full(".hidden"), cwd_dialect() + "\\.hidden");
    std::string parent = std::filesystem::current_path().parent_path().string();
    for (char &c : parent)
        if (c == '/') c = '\\';
    EXPECT_EQ(full("..\\x"), "C:" + parent + "\\x");
}

TEST_F(PlatformFilesTest, AFullPathThatDoesNotFitIsNeverPartlyWritten) {
    char out[16];
    std::memset(out, 'z', sizeof out);
    size_t n = pf::full_path("C:\\abcdefghij\\klmnopqrstuvwxyz", out, sizeof out);
    EXPECT_EQ(n, 30u);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(pf::full_path("C:\\abc", out, 7), 6u);
    EXPECT_STREQ(out, "C:\\abc");
    EXPECT_EQ(pf::full_path("C:\\abc", out, 6), 6u);
    EXPECT_EQ(out[0], '\0');
    // A name far longer than any buffer.
    std::string huge(20000, 'x');
    char big[pf::kMaxFullPath + 1];
    EXPECT_GE(pf::full_path(huge.c_str(), big, sizeof big), sizeof big);
    EXPECT_EQ(big[0], '\0');
}

TEST_F(PlatformFilesTest, DoubleByteTrailBytesAreNeverSeparators) {
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    // 0x95 0x5C is one character whose trail byte is the code of "\".
    std::string name = "\x95\x5C.txt";
    EXPECT_EQ(full("C:\\d\\" + name), "C:\\d\\" + name);
    EXPECT_EQ(full("C:\\" + name + "\\..\\y"), "C:\\y");
    EXPECT_EQ(system_path("C:\\d\\" + name), "/d/" + name);
    brtl_setlocale("C");
    // Under the single-byte code page the same byte is a separator.
    EXPECT_EQ(system_path("C:\\d\\" + name), "/d/\x95/.txt");
}

TEST_F(PlatformFilesTest, SystemPathsExistOnlyOnDriveC) {
    EXPECT_EQ(system_path("C:\\a\\b"), "/a/b");
    EXPECT_EQ(system_path("c:\\"), "/");
    EXPECT_EQ(system_path("C:"), "/");
    EXPECT_EQ(system_path("rel\\x"), "rel/x");
    errno = 0;
    EXPECT_EQ(system_path("D:\\a"), "<none>");
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(system_path("\\\\server\\share\\x"), "<none>");
    char small[4];
    EXPECT_FALSE(pf::to_system_path("C:\\abcd", small, sizeof small));
    EXPECT_EQ(errno, ENAMETOOLONG);
    std::ofstream("here.txt") << "x";
    EXPECT_TRUE(pf::exists((cwd_dialect() + "\\here.txt").c_str()));
    EXPECT_TRUE(pf::exists(cwd_dialect().c_str()));
    EXPECT_FALSE(pf::exists((cwd_dialect() + "\\gone.txt").c_str()));
    EXPECT_FALSE(pf::exists("D:\\"));
}

TEST_F(PlatformFilesTest, ShareModesDecideWhichSecondOpensSucceed) {
    std::ofstream("s.dat") << "content";
    std::string path = cwd_dialect() + "\\s.dat";
    using namespace pf::open_flag;
    struct Case {
        int first_flags, first_share, second_flags, second_share;
        bool second_opens;
    };
    const Case cases[] = {
        {kRdOnly, pf::share::kDenyNone, kRdWr, pf::share::kDenyNone, true},
        {kRdOnly, pf::share::kDenyWrite, kRdOnly, pf::share::kDenyNone, true},
        {kRdOnly, pf::share::kDenyWrite, kWrOnly, pf::share::kDenyNone, false},
        {kRdOnly, pf::share::kDenyRead, kRdOnly, pf::share::kDenyNone, false},
        {kRdOnly, pf::share::kDenyRead, kWrOnly, pf::share::kDenyNone, true},
        {kRdOnly, pf::share::kDenyReadWrite, kWrOnly, pf::share::kDenyNone, false},
        {kWrOnly, pf::share::kDenyNone, kRdOnly, pf::share::kDenyWrite, false},
        {kRdOnly, pf::share::kDenyNone, kRdOnly, pf::share::kDenyRead, false},
        {kRdOnly, pf::share::kDenyNone, kRdOnly, pf::share::kDenyWrite, true},
    };
    for (const Case &c : cases) {
        int first = pf::sopen(path.c_str(), c.first_flags, c.first_share, 0);
        ASSERT_GE(first, 0);
        errno = 0;
        int second = pf::sopen(path.c_str(), c.second_flags, c.second_share, 0);
        EXPECT_EQ(second >= 0, c.second_opens) << c.first_flags << "/" << c.first_share << " then "
                                               << c.second_flags << "/" << c.second_share;
        if (second >= 0)
            pf::close_descriptor(second);
        else
            EXPECT_EQ(errno, EACCES);
        pf::close_descriptor(first);
    }
    // The same file under another name (a hard link) is still the same file.
    std::filesystem::create_hard_link("s.dat", "link.dat");
    int first = pf::sopen(path.c_str(), kRdWr, pf::share::kDenyReadWrite, 0);
    ASSERT_GE(first, 0);
    EXPECT_LT(pf::sopen((cwd_dialect() + "\\link.dat").c_str(), kRdOnly, pf::share::kDenyNone, 0),
              0);
    pf::close_descriptor(first);
}

TEST_F(PlatformFilesTest, TruncationWaitsForTheShareCheck) {
    std::ofstream("t.dat") << "keep";
    std::string path = cwd_dialect() + "\\t.dat";
    using namespace pf::open_flag;
    int first = pf::sopen(path.c_str(), kRdOnly, pf::share::kDenyWrite, 0);
    ASSERT_GE(first, 0);
    EXPECT_LT(pf::sopen(path.c_str(), kWrOnly | kCreat | kTrunc, pf::share::kDenyNone,
                        pf::kPermRead | pf::kPermWrite),
              0);
    EXPECT_EQ(slurp("t.dat"), "keep");
    pf::close_descriptor(first);
    int again = pf::sopen(path.c_str(), kWrOnly | kCreat | kTrunc, pf::share::kDenyNone,
                          pf::kPermRead | pf::kPermWrite);
    ASSERT_GE(again, 0);
    EXPECT_EQ(slurp("t.dat"), "");
    pf::close_descriptor(again);
}

TEST_F(PlatformFilesTest, NewFilesAreWritableUnlessCreatedReadOnly) {
    std::string dir = cwd_dialect();
    using namespace pf::open_flag;
    int rw = pf::sopen((dir + "\\rw").c_str(), kWrOnly | kCreat, pf::share::kDenyNone,
                       pf::kPermRead | pf::kPermWrite);
    int ro =
        pf::sopen((dir + "\\ro").c_str(), kWrOnly | kCreat, pf::share::kDenyNone, pf::kPermRead);
    ASSERT_GE(rw, 0);
    ASSERT_GE(ro, 0);
    struct stat info {};
    ASSERT_EQ(stat("rw", &info), 0);
    EXPECT_NE(info.st_mode & S_IWUSR, 0u);
    EXPECT_NE(info.st_mode & S_IRUSR, 0u);
    ASSERT_EQ(stat("ro", &info), 0);
    EXPECT_EQ(info.st_mode & 0222, 0u);
    pf::close_descriptor(rw);
    pf::close_descriptor(ro);
}

TEST_F(PlatformFilesTest, DirectoriesAndBadArgumentsAreRefused) {
    std::filesystem::create_directory("d");
    std::string dir = cwd_dialect();
    errno = 0;
    EXPECT_LT(pf::sopen((dir + "\\d").c_str(), pf::open_flag::kRdOnly, pf::share::kDenyNone, 0), 0);
    EXPECT_EQ(errno, EACCES);
    EXPECT_LT(pf::sopen((dir + "\\x").c_str(), 3, pf::share::kDenyNone, 0), 0);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_LT(pf::sopen((dir + "\\x").c_str(), pf::open_flag::kRdOnly, 0x50, 0), 0);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_LT(
        pf::sopen((dir + "\\missing").c_str(), pf::open_flag::kRdOnly, pf::share::kDenyNone, 0), 0);
    EXPECT_EQ(errno, ENOENT);
}

TEST_F(PlatformFilesTest, StreamsGetTheBufferSizeAskedForAndCloseWithTheirShareEntry) {
    std::string path = cwd_dialect() + "\\buf.txt";
    using namespace pf::open_flag;
    int fd = pf::sopen(path.c_str(), kWrOnly | kCreat | kTrunc, pf::share::kDenyReadWrite,
                       pf::kPermRead | pf::kPermWrite);
    ASSERT_GE(fd, 0);
    FILE *stream = pf::fdopen(fd, "wb");
    ASSERT_NE(stream, nullptr);
    pf::set_full_buffering(stream, 200);
    EXPECT_FALSE(pf::readable(stream));
    std::string piece(120, 'x');
    std::fwrite(piece.data(), 1, piece.size(), stream);
    EXPECT_EQ(std::filesystem::file_size("buf.txt"), 0u);
    std::fwrite(piece.data(), 1, piece.size(), stream); // passes 200 bytes: the buffer goes out
    EXPECT_GT(std::filesystem::file_size("buf.txt"), 0u);
    EXPECT_EQ(pf::close_stream(stream), 0);
    EXPECT_EQ(std::filesystem::file_size("buf.txt"), 240u);
    // The share entry went with the stream: the file opens again with every share mode.
    int again = pf::sopen(path.c_str(), kRdOnly, pf::share::kDenyReadWrite, 0);
    ASSERT_GE(again, 0);
    pf::close_descriptor(again);
}

TEST_F(PlatformFilesTest, SystemErrnoBecomesTheRuntimesNumberAndRecordsTheSystemError) {
    // Where the two numberings differ, and where the runtime reported another error.
    const std::pair<int, int> numbers[] = {
        {ENOENT, 2},       {ENOSPC, 28},  {ENOTDIR, 2},    {EISDIR, 13}, {ENOTEMPTY, 41},
        {ENAMETOOLONG, 2}, {EDQUOT, 28},  {EDEADLK, 36},   {ENOLCK, 39}, {ENOSYS, 40},
        {EILSEQ, 42},      {ETXTBSY, 13}, {ECONNRESET, 22}};
    for (auto [system, crt] : numbers)
        EXPECT_EQ(pf::crt_errno(system), crt) << system;
    pf::crt_errno(ENOSPC);
    EXPECT_EQ(pf::last_os_error(), pf::oserr::kDiskFull);
    EXPECT_EQ(pf::crt_errno(ENOMEDIUM), 13);
    EXPECT_EQ(pf::last_os_error(), pf::oserr::kNotReady);
    pf::crt_errno(0); // no failure: the last system error stays
    EXPECT_EQ(pf::last_os_error(), pf::oserr::kNotReady);
}

TEST_F(PlatformFilesTest, SystemErrorCodesMapToErrnoByTheRuntimesTable) {
    const std::pair<uint32_t, int> table[] = {
        {2, 2},    {3, 2},    {15, 2},   {18, 2},   {53, 2},    {67, 2},   {161, 2},   {206, 2},
        {4, 24},   {5, 13},   {16, 13},  {33, 13},  {65, 13},   {82, 13},  {83, 13},   {108, 13},
        {132, 13}, {158, 13}, {167, 13}, {19, 13},  {20, 13},   {36, 13},  {6, 9},     {114, 9},
        {130, 9},  {7, 12},   {8, 12},   {9, 12},   {1816, 12}, {10, 7},   {11, 8},    {188, 8},
        {202, 8},  {17, 18},  {80, 17},  {183, 17}, {89, 11},   {164, 11}, {215, 11},  {109, 32},
        {112, 28}, {128, 10}, {129, 10}, {145, 41}, {1, 22},    {12, 22},  {13, 22},   {87, 22},
        {124, 22}, {131, 22}, {37, 22},  {187, 22}, {203, 22},  {0, 22},   {99999, 22}};
    for (auto [code, crt] : table) {
        EXPECT_EQ(pf::os_error_to_crt_errno(code), crt) << code;
        EXPECT_EQ(pf::dos_errno(), code);
    }
}

TEST_F(PlatformFilesTest, LinesAreReadWholeWithTheirLineFeedAndAnyNul) {
    std::ofstream("lines.txt", std::ios::binary) << std::string("one\r\nt\0o\n\nlast", 14);
    std::string path = cwd_dialect() + "\\lines.txt";
    int fd = pf::sopen(path.c_str(), pf::open_flag::kRdOnly, pf::share::kDenyNone, 0);
    ASSERT_GE(fd, 0);
    FILE *stream = pf::fdopen(fd, "rb");
    ASSERT_NE(stream, nullptr);
    auto next = [&] {
        pf::Line line = pf::read_line(stream);
        return line.status == pf::Line::Read ? std::string(line.data, line.length) : "<end>";
    };
    EXPECT_EQ(next(), "one\r\n");
    EXPECT_EQ(next(), std::string("t\0o\n", 4));
    EXPECT_EQ(next(), "\n");
    EXPECT_EQ(next(), "last");
    EXPECT_EQ(next(), "<end>");
    EXPECT_EQ(pf::read_line(stream).status, pf::Line::End);
    EXPECT_EQ(pf::close_stream(stream), 0);
}
