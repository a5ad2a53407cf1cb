// The profile reader: where the file is looked for, the win.ini syntax, and the bounds of the
// values it returns.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

#include "harness/harness.h"
#include "platform/profile.h"

using namespace brtl_test;
namespace platform = brtl::platform;

namespace {

// Puts an environment variable back as it was at scope exit.
struct SavedVariable {
    const char *name;
    std::optional<std::string> value =
        std::getenv(name) ? std::getenv(name) : std::optional<std::string>();
    ~SavedVariable() { value ? setenv(name, value->c_str(), 1) : unsetenv(name); }
};

class ProfileTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        file_ = scratch_dir() / "profile-test.ini";
        platform::set_profile_path(file_.string().c_str());
    }
    void TearDown() override {
        platform::set_profile_path(nullptr);
        RuntimeTest::TearDown();
    }

    void write(const std::string &text) {
        std::ofstream(file_, std::ios::binary | std::ios::trunc) << text;
    }
    std::string get(const char *key, const char *fallback = "<default>",
                    const char *section = "intl") {
        char buffer[platform::kProfileValueMax + 1];
        size_t n = platform::profile_string(section, key, fallback, buffer, sizeof buffer);
        EXPECT_EQ(n, std::strlen(buffer));
        return buffer;
    }

    std::filesystem::path file_;
};

std::string read_through(const std::filesystem::path &file, const std::string &text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "[intl]\nsTime=" << text << "\n";
    char buffer[8];
    platform::profile_string("intl", "sTime", "none", buffer, sizeof buffer);
    return buffer;
}

} // namespace

TEST_F(ProfileTest, Syntax) {
    if (kWindows) GTEST_SKIP() << "the system reads the profile on Windows, with its own syntax";
    EXPECT_EQ(get("sTime"), "<default>"); // no file yet
    std::string digits;
    for (int i = 0; i < 200; ++i)
        digits += static_cast<char>('0' + i % 10);
    const std::string cut = digits.substr(0, 63);
    const std::pair<std::string, std::vector<std::pair<const char *, std::string>>> cases[] = {
        // A missing section or key, and a key before any section, give the fallback; a present
        // empty value does not.
        {"[desktop]\nsTime=.\n", {{"sTime", "<default>"}}},
        {"[intl]\nsDate=.\n", {{"sTime", "<default>"}}},
        {"sTime=.\n[intl]\n", {{"sTime", "<default>"}}},
        {"[intl]\nsTime=\nsDate=   \n", {{"sTime", ""}, {"sDate", ""}}},
        // Names match without regard to case.
        {"[Intl]\nSTIME=.\n[INTL]\nsdecimal=,\n", {{"sTime", "."}, {"sDecimal", ","}}},
        // Blanks, comments and line endings.
        {"; settings\r\n  [ intl ]  ; trailing words\r\n\r\n\t sTime \t=  h : \r\n"
         ";sDecimal=x\r\nsThousand = ' \r\n",
         {{"sTime", "h :"}, {"sDecimal", "<default>"}, {"sThousand", "'"}}},
        // Enclosing quotes are removed once; quotes inside the value stay, a lone one is a value.
        {"[intl]\na=\"x y\"\nb='z'\nc=dddd, d 'de' MMMM\nd='\ne=\"mixed'\nf=''quoted''\n",
         {{"a", "x y"},
          {"b", "z"},
          {"c", "dddd, d 'de' MMMM"},
          {"d", "'"},
          {"e", "\"mixed'"},
          {"f", "'quoted'"}}},
        // The first occurrence wins; a later section of the same name is searched too.
        {"[intl]\nsTime=.\nsTime=-\n[other]\nsDecimal=;\n[intl]\nsTime=,\nsDecimal=:\n",
         {{"sTime", "."}, {"sDecimal", ":"}}},
        // Values are cut to 63 characters.
        {"[intl]\nlong=" + digits + "\nquoted=\"" + digits + "\"\nexact=" + cut + "\n",
         {{"long", cut}, {"quoted", cut}, {"exact", cut}}},
        // Very long lines do not hide later keys.
        {"[intl]\n" + std::string(100000, 'k') + "=v\n[" + std::string(5000, 's') +
             "]\nsTime=x\n;" + std::string(70000, ';') + "\n[intl]\nsTime=.\n",
         {{"sTime", "."}}},
    };
    for (const auto &[text, values] : cases) {
        write(text);
        for (const auto &[key, expected] : values)
            EXPECT_EQ(get(key), expected) << key << " in " << text.substr(0, 80);
    }
    write("[Intl]\nSTIME=.\n");
    EXPECT_EQ(get("stime", "", "INTL"), ".");
    write("[intl]\nsDate=.\n");
    EXPECT_EQ(get("sTime", nullptr), "");
}

TEST_F(ProfileTest, SmallBuffersAreNeverOverrun) {
    write("[intl]\nsLongDate=dddd, mmmm dd\n");
    char buffer[6] = {'#', '#', '#', '#', '#', '#'};
    EXPECT_EQ(platform::profile_string("intl", "sLongDate", "", buffer, 5), 4u);
    EXPECT_STREQ(buffer, "dddd");
    EXPECT_EQ(buffer[5], '#');
    EXPECT_EQ(platform::profile_string("intl", "missing", "abcdefgh", buffer, 5), 4u);
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(platform::profile_string("intl", "sLongDate", "", buffer, 0), 0u);
    EXPECT_EQ(buffer[0], 'a'); // size 0: nothing written
}

TEST_F(ProfileTest, IntegersAreDecimalWithOptionalSign) {
    write("[intl]\na=12\nb=-3\nc=+7x\nd=abc\ne=\nf=4294967297\ng=\"81\"\n");
    // f wraps at 2^32; an empty value gives the fallback.
    const std::pair<const char *, int32_t> cases[] = {
        {"a", 12}, {"b", -3}, {"c", 7}, {"d", 0}, {"e", 99}, {"f", 1}, {"g", 81}, {"missing", 99}};
    for (auto [key, value] : cases)
        EXPECT_EQ(platform::profile_int("intl", key, 99), value) << key;
}

TEST_F(ProfileTest, FileIsLookedForInTheDocumentedOrder) {
    SavedVariable profile{"BRTL_PROFILE"}, config{"XDG_CONFIG_HOME"}, home{"HOME"};
    platform::set_profile_path(nullptr);
    const auto root = scratch_dir() / "lookup";
#if defined(_WIN32)
    // The named file, else the user's win.ini, which the system reads.
    setenv("BRTL_PROFILE", (root / "named.ini").string().c_str(), 1);
    EXPECT_EQ(read_through(root / "named.ini", "1"), "1");
    unsetenv("BRTL_PROFILE");
    EXPECT_EQ(platform::profile_path(), "win.ini");
    brtl_set_profile_path((root / "host.ini").string().c_str()); // the host's choice comes first
    EXPECT_EQ(platform::profile_path(), (root / "host.ini").string());
    EXPECT_EQ(read_through(root / "host.ini", "4"), "4");
    brtl_set_profile_path(nullptr);
    EXPECT_EQ(platform::profile_path(), "win.ini");
#else

    setenv("BRTL_PROFILE", (root / "named.ini").string().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root / "xdg").string().c_str(), 1);
    setenv("HOME", (root / "home").string().c_str(), 1);
    EXPECT_EQ(read_through(root / "named.ini", "1"), "1");

    setenv("BRTL_PROFILE", "", 1); // empty counts as unset
    EXPECT_EQ(read_through(root / "xdg" / "brtl" / "win.ini", "2"), "2");

    unsetenv("BRTL_PROFILE");
    setenv("XDG_CONFIG_HOME", "relative/dir", 1); // not an absolute path: ignored
    EXPECT_EQ(read_through(root / "home" / ".config" / "brtl" / "win.ini", "3"), "3");

    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(platform::profile_path(), (root / "home" / ".config" / "brtl" / "win.ini").string());

    brtl_set_profile_path((root / "named.ini").string().c_str()); // the host's choice comes first
    EXPECT_EQ(platform::profile_path(), (root / "named.ini").string());
    EXPECT_EQ(read_through(root / "named.ini", "4"), "4");
    brtl_set_profile_path(nullptr);
    EXPECT_EQ(platform::profile_path(), (root / "home" / ".config" / "brtl" / "win.ini").string());
#endif
}
