// The platform file layer: names in the dialect's form, full paths, share modes among the
// library's descriptors, stream buffers and the two error numberings.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "harness/harness.h"
#include "platform/files.h"

using namespace brtl_test;
namespace platform = brtl::platform;
using namespace platform::open_flag;

namespace {

class PlatformFilesTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        dir_ = scratch_dir() /
               ("platform_files." +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        descriptors_ = platform::open_descriptor_count();
    }
    void TearDown() override {
        EXPECT_EQ(platform::open_descriptor_count(), descriptors_);
        std::filesystem::current_path(scratch_dir());
        std::filesystem::remove_all(dir_);
        RuntimeTest::TearDown();
    }
    // A directory in the dialect's form, from the standard library.
    static std::string dialect(const std::filesystem::path &dir) { return dialect_path(dir); }
    // The full path of a name, or of the current directory ("") in the dialect's form.
    static std::string full(const std::string &name) {
        char out[platform::kMaxFullPath + 1];
        size_t n = platform::full_path(name.c_str(), out, sizeof out);
        EXPECT_LT(n, sizeof out) << name;
        EXPECT_EQ(n, std::strlen(out)) << name;
        return out;
    }
    static std::string here(const std::string &name) {
        return dialect(std::filesystem::current_path()) + name;
    }
    static std::string system_path(const std::string &path) {
        char out[512];
        return platform::to_system_path(path.c_str(), out, sizeof out) ? out : "<none>";
    }
    static int sopen(const std::string &name, int flags, int share, int perm = 0) {
        return platform::sopen(here("\\" + name).c_str(), flags, share, perm);
    }
    std::filesystem::path dir_;
    size_t descriptors_ = 0;
};

// The rows of a table, given as the arguments of a call so that the formatter packs them.
using P = std::pair<const char *, const char *>;
template <class... Rows> std::vector<P> rows(Rows... r) {
    return {r...};
}

std::string slurp(const std::string &name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST_F(PlatformFilesTest, FullPathsOfRelativeRootedAndDriveNamesWithDotsResolved) {
    // "@" stands for the current directory, "^" for its parent.
#if defined(_WIN32)
    // The system's own full paths: every drive is a drive of its own.
    const auto table =
        rows(P("a.txt", "@\\a.txt"), P("sub/b.txt", "@\\sub\\b.txt"), P("C:\\a\\b", "C:\\a\\b"),
             P("c:/a/b", "c:\\a\\b"), P("D:\\data\\x", "D:\\data\\x"), P("C:\\", "C:\\"),
             P("C:\\a\\.\\b\\..\\c", "C:\\a\\c"), P("C:\\a\\..", "C:\\"),
             P(".hidden", "@\\.hidden"), P("..\\x", "^\\x"));
#else
    const auto table = rows(
        P("a.txt", "@\\a.txt"), P("sub/b.txt", "@\\sub\\b.txt"), P("C:x.txt", "@\\x.txt"),
        P("c:x.txt", "@\\x.txt"), P("\\top\\x", "C:\\top\\x"), P("/top/x", "C:\\top\\x"),
        P("C:\\a\\b", "C:\\a\\b"), P("c:/a/b", "C:\\a\\b"), P("D:\\data\\x", "D:\\data\\x"),
        P("q:rel", "Q:\\rel"), P("C:", "@"), P("C:\\", "C:\\"), P("\\", "C:\\"),
        P("C:\\a\\.\\b\\..\\c", "C:\\a\\c"), P("C:\\a\\\\\\b//c", "C:\\a\\b\\c"),
        P("C:\\..\\..\\x", "C:\\x"), P("C:\\a\\b\\", "C:\\a\\b\\"), P("C:\\a\\b\\.", "C:\\a\\b"),
        P("C:\\a\\..", "C:\\"), P(".hidden", "@\\.hidden"), P("..\\x", "^\\x"));
#endif
    for (auto [name, expected] : table) {
        std::string want = expected;
        if (want[0] == '@') want = here(want.substr(1));
        if (want[0] == '^')
            want = dialect(std::filesystem::current_path().parent_path()) + want.substr(1);
        EXPECT_EQ(full(name), want) << name;
    }
}

TEST_F(PlatformFilesTest, AFullPathThatDoesNotFitIsNeverPartlyWritten) {
    char out[16];
    std::memset(out, 'z', sizeof out);
    EXPECT_EQ(platform::full_path("C:\\abcdefghij\\klmnopqrstuvwxyz", out, sizeof out), 30u);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(platform::full_path("C:\\abc", out, 7), 6u);
    EXPECT_STREQ(out, "C:\\abc");
    EXPECT_EQ(platform::full_path("C:\\abc", out, 6), 6u);
    EXPECT_EQ(out[0], '\0');
    std::string huge(20000, 'x'); // far longer than any buffer
    char big[platform::kMaxFullPath + 1];
    EXPECT_GE(platform::full_path(huge.c_str(), big, sizeof big), sizeof big);
    EXPECT_EQ(big[0], '\0');
}

TEST_F(PlatformFilesTest, SystemPathsExistOnlyOnDriveCAndTrailBytesAreNoSeparators) {
    if (kWindows) GTEST_SKIP() << "names are the system's own on Windows: there is no drive to map";
    for (auto [path, expected] :
         rows(P("C:\\a\\b", "/a/b"), P("c:\\", "/"), P("C:", "/"), P("rel\\x", "rel/x"),
              P("\\\\server\\share\\x", "<none>"), P("C:\\d\\\x95\x5C.txt", "/d/\x95/.txt")))
        EXPECT_EQ(system_path(path), expected) << path;
    errno = 0;
    EXPECT_EQ(system_path("D:\\a"), "<none>");
    EXPECT_EQ(errno, ENOENT);
    char small[4];
    EXPECT_FALSE(platform::to_system_path("C:\\abcd", small, sizeof small));
    EXPECT_EQ(errno, ENAMETOOLONG);
    std::ofstream("here.txt") << "x";
    EXPECT_TRUE(platform::exists(here("\\here.txt").c_str()));
    EXPECT_TRUE(platform::exists(here("").c_str()));
    EXPECT_FALSE(platform::exists(here("\\gone.txt").c_str()));
    EXPECT_FALSE(platform::exists("D:\\"));
    // 0x95 0x5C is one character of the double-byte code page whose trail byte is "\".
    ASSERT_EQ(brtl_setlocale("Ja_JP"), 0);
    std::string name = "\x95\x5C.txt";
    EXPECT_EQ(full("C:\\d\\" + name), "C:\\d\\" + name);
    EXPECT_EQ(full("C:\\" + name + "\\..\\y"), "C:\\y");
    EXPECT_EQ(system_path("C:\\d\\" + name), "/d/" + name);
}

TEST_F(PlatformFilesTest, ShareModesDecideWhichSecondOpensSucceedBeforeAnyTruncation) {
    std::ofstream("s.dat") << "content";
    using namespace platform::share;
    struct Case {
        int first_flags, first_share, second_flags, second_share;
        bool second_opens;
    };
    const Case cases[] = {{kRdOnly, kDenyNone, kRdWr, kDenyNone, true},
                          {kRdOnly, kDenyWrite, kRdOnly, kDenyNone, true},
                          {kRdOnly, kDenyWrite, kWrOnly, kDenyNone, false},
                          {kRdOnly, kDenyRead, kRdOnly, kDenyNone, false},
                          {kRdOnly, kDenyRead, kWrOnly, kDenyNone, true},
                          {kRdOnly, kDenyReadWrite, kWrOnly, kDenyNone, false},
                          {kWrOnly, kDenyNone, kRdOnly, kDenyWrite, false},
                          {kRdOnly, kDenyNone, kRdOnly, kDenyRead, false},
                          {kRdOnly, kDenyNone, kRdOnly, kDenyWrite, true}};
    for (const Case &c : cases) {
        int first = sopen("s.dat", c.first_flags, c.first_share);
        ASSERT_GE(first, 0);
        errno = 0;
        int second = sopen("s.dat", c.second_flags, c.second_share);
        EXPECT_EQ(second >= 0, c.second_opens) << c.first_flags << "/" << c.first_share << " then "
                                               << c.second_flags << "/" << c.second_share;
        if (second >= 0)
            platform::close_descriptor(second);
        else
            EXPECT_EQ(errno, EACCES);
        platform::close_descriptor(first);
    }
    // The same file under another name (a hard link) is still the same file.
    std::filesystem::create_hard_link("s.dat", "link.dat");
    int first = sopen("s.dat", kRdWr, kDenyReadWrite);
    ASSERT_GE(first, 0);
    EXPECT_LT(sopen("link.dat", kRdOnly, kDenyNone), 0);
    platform::close_descriptor(first);
    // A truncating open waits for the share check.
    first = sopen("s.dat", kRdOnly, kDenyWrite);
    const int truncating = kWrOnly | kCreat | kTrunc,
              rw = platform::kPermRead | platform::kPermWrite;
    EXPECT_LT(sopen("s.dat", truncating, kDenyNone, rw), 0);
    EXPECT_EQ(slurp("s.dat"), "content");
    platform::close_descriptor(first);
    int again = sopen("s.dat", truncating, kDenyNone, rw);
    ASSERT_GE(again, 0);
    EXPECT_EQ(slurp("s.dat"), "");
    platform::close_descriptor(again);
}

TEST_F(PlatformFilesTest, NewFilesAreWritableUnlessCreatedReadOnlyAndBadOpensAreRefused) {
    int rw = sopen("rw", kWrOnly | kCreat, platform::share::kDenyNone,
                   platform::kPermRead | platform::kPermWrite);
    int ro = sopen("ro", kWrOnly | kCreat, platform::share::kDenyNone, platform::kPermRead);
    ASSERT_GE(rw, 0);
    ASSERT_GE(ro, 0);
    struct stat info {};
    ASSERT_EQ(stat("rw", &info), 0);
    EXPECT_EQ(info.st_mode & (S_IWUSR | S_IRUSR), S_IWUSR | S_IRUSR);
    ASSERT_EQ(stat("ro", &info), 0);
    EXPECT_EQ(info.st_mode & 0222, 0u);
    platform::close_descriptor(rw);
    platform::close_descriptor(ro);
    // Writable again, so that the directory can go (Windows removes no read-only file).
    std::filesystem::permissions("ro", std::filesystem::perms::owner_all);
    std::filesystem::create_directory("d");
    for (auto [name, flags, share, error] :
         {std::tuple{"d", kRdOnly, platform::share::kDenyNone, EACCES},
          {"x", 3, platform::share::kDenyNone, EINVAL},
          {"x", kRdOnly, 0x50, EINVAL},
          {"missing", kRdOnly, platform::share::kDenyNone, ENOENT}}) {
        errno = 0;
        EXPECT_LT(sopen(name, flags, share), 0) << name;
        EXPECT_EQ(errno, error) << name;
    }
}

TEST_F(PlatformFilesTest, StreamsGetTheBufferSizeAskedForAndCloseWithTheirShareEntry) {
    int fd = sopen("buf.txt", kWrOnly | kCreat | kTrunc, platform::share::kDenyReadWrite,
                   platform::kPermRead | platform::kPermWrite);
    ASSERT_GE(fd, 0);
    FILE *stream = platform::fdopen(fd, "wb");
    ASSERT_NE(stream, nullptr);
    platform::set_full_buffering(stream, 200);
    EXPECT_FALSE(platform::readable(stream));
    std::string piece(120, 'x');
    std::fwrite(piece.data(), 1, piece.size(), stream);
    EXPECT_EQ(std::filesystem::file_size("buf.txt"), 0u);
    std::fwrite(piece.data(), 1, piece.size(), stream); // passes 200 bytes: the buffer goes out
    EXPECT_GT(std::filesystem::file_size("buf.txt"), 0u);
    EXPECT_EQ(platform::close_stream(stream), 0);
    EXPECT_EQ(std::filesystem::file_size("buf.txt"), 240u);
    // The share entry went with the stream: the file opens again with every share mode.
    int again = sopen("buf.txt", kRdOnly, platform::share::kDenyReadWrite);
    ASSERT_GE(again, 0);
    platform::close_descriptor(again);
}

TEST_F(PlatformFilesTest, LinesAreReadWholeWithTheirLineFeedAndAnyNul) {
    std::ofstream("lines.txt", std::ios::binary) << std::string("one\r\nt\0o\n\nlast", 14);
    FILE *stream = platform::fdopen(sopen("lines.txt", kRdOnly, platform::share::kDenyNone), "rb");
    ASSERT_NE(stream, nullptr);
    for (const std::string &expected : {std::string("one\r\n"), std::string("t\0o\n", 4),
                                        std::string("\n"), std::string("last")}) {
        platform::Line line = platform::read_line(stream);
        ASSERT_EQ(line.status, platform::Line::Read);
        EXPECT_EQ(std::string(line.data, line.length), expected);
    }
    EXPECT_EQ(platform::read_line(stream).status, platform::Line::End);
    EXPECT_EQ(platform::read_line(stream).status, platform::Line::End);
    EXPECT_EQ(platform::close_stream(stream), 0);
}

TEST_F(PlatformFilesTest, SystemErrnoMapsToTheRuntimesNumbering) {
#if defined(_WIN32)
    // The C runtime's errno values are the runtime's own numbering there.
    for (int e : {ENOENT, EACCES, ENOSPC, EEXIST})
        EXPECT_EQ(platform::crt_errno(e), e) << e;
    platform::crt_errno(ENOSPC);
    EXPECT_EQ(platform::last_os_error(), platform::oserr::kDiskFull);
#else
    // Where the two errno numberings differ, and where the runtime reported another error.
    for (auto [system, crt] : {std::pair{ENOENT, 2},
                               {ENOSPC, 28},
                               {ENOTDIR, 2},
                               {EISDIR, 13},
                               {ENOTEMPTY, 41},
                               {ENAMETOOLONG, 2},
                               {EDQUOT, 28},
                               {EDEADLK, 36},
                               {ENOLCK, 39},
                               {ENOSYS, 40},
                               {EILSEQ, 42},
                               {ETXTBSY, 13},
                               {ECONNRESET, 22}})
        EXPECT_EQ(platform::crt_errno(system), crt) << system;
    platform::crt_errno(ENOSPC);
    EXPECT_EQ(platform::last_os_error(), platform::oserr::kDiskFull);
    EXPECT_EQ(platform::crt_errno(ENOMEDIUM), 13);
    EXPECT_EQ(platform::last_os_error(), platform::oserr::kNotReady);
    platform::crt_errno(0); // no failure: the last system error stays
    EXPECT_EQ(platform::last_os_error(), platform::oserr::kNotReady);
#endif
}

TEST_F(PlatformFilesTest, OperatingSystemErrorCodesMapByTheRuntimesTable) {
    const std::pair<uint32_t, int> table[] = {
        {2, 2},    {3, 2},    {15, 2},   {18, 2},   {53, 2},    {67, 2},   {161, 2},   {206, 2},
        {4, 24},   {5, 13},   {16, 13},  {33, 13},  {65, 13},   {82, 13},  {83, 13},   {108, 13},
        {132, 13}, {158, 13}, {167, 13}, {19, 13},  {20, 13},   {36, 13},  {6, 9},     {114, 9},
        {130, 9},  {7, 12},   {8, 12},   {9, 12},   {1816, 12}, {10, 7},   {11, 8},    {188, 8},
        {202, 8},  {17, 18},  {80, 17},  {183, 17}, {89, 11},   {164, 11}, {215, 11},  {109, 32},
        {112, 28}, {128, 10}, {129, 10}, {145, 41}, {1, 22},    {12, 22},  {13, 22},   {87, 22},
        {124, 22}, {131, 22}, {37, 22},  {187, 22}, {203, 22},  {0, 22},   {99999, 22}};
    for (auto [code, crt] : table) {
        EXPECT_EQ(platform::os_error_to_crt_errno(code), crt) << code;
        EXPECT_EQ(platform::dos_errno(), code);
    }
}
