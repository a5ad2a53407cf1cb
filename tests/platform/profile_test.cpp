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
namespace pf = brtl::pf;

namespace {

// Saves an environment variable and puts it back at scope exit.
class SavedVariable {
  public:
    explicit SavedVariable(const char *name) : name_(name) {
        if (const char *v = std::getenv(name)) value_ = v;
    }
    ~SavedVariable() {
        if (value_)
            setenv(name_, value_->c_str(), 1);
        else
            unsetenv(name_);
    }

  private:
    const char *name_;
    std::optional<std::string> value_;
};

class ProfileTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        file_ = scratch_dir() / "profile-test.ini";
        pf::set_profile_path(file_.c_str());
    }
    void TearDown() override {
        pf::set_profile_path(nullptr);
        RuntimeTest::TearDown();
    }

    void write(const std::string &text) {
        std::ofstream(file_, std::ios::binary | std::ios::trunc) << text;
    }
    std::string get(const char *key, const char *fallback = "<default>",
                    const char *section = "intl") {
        char buffer[pf::kProfileValueMax + 1];
        size_t n = pf::profile_string(section, key, fallback, buffer, sizeof buffer);
        EXPECT_EQ(n, std::strlen(buffer));
        return buffer;
    }

    std::filesystem::path file_;
};

std::string read_through(const std::filesystem::path &file, const std::string &text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "[intl]\nsTime=" << text << "\n";
    char buffer[8];
    pf::profile_string("intl", "sTime", "none", buffer, sizeof buffer);
    return buffer;
}

} // namespace

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheFallback) {
    EXPECT_EQ(get("sTime"), "<default>"); // no file yet
    write("[desktop]\nsTime=.\n");
    EXPECT_EQ(get("sTime"), "<default>");
    write("[intl]\nsDate=.\n");
    EXPECT_EQ(get("sTime"), "<default>");
    EXPECT_EQ(get("sTime", nullptr), "");
    write("sTime=.\n[intl]\n"); // a key before any section belongs to none
    EXPECT_EQ(get("sTime"), "<default>");
}

TEST_F(ProfileTest, PresentEmptyValueIsNotTheFallback) {
    write("[intl]\nsTime=\nsDate=   \n");
    EXPECT_EQ(get("sTime"), "");
    EXPECT_EQ(get("sDate"), "");
}

TEST_F(ProfileTest, NamesMatchWithoutRegardToCase) {
    write("[Intl]\nSTIME=.\n[INTL]\nsdecimal=,\n");
    EXPECT_EQ(get("sTime"), ".");
    EXPECT_EQ(get("sDecimal"), ",");
    EXPECT_EQ(get("stime", "", "INTL"), ".");
}

TEST_F(ProfileTest, BlanksCommentsAndLineEndings) {
    write("; settings\r\n  [ intl ]  ; trailing words\r\n\r\n\t sTime \t=  h : \r\n"
          ";sDecimal=x\r\nsThousand = ' \r\n");
    EXPECT_EQ(get("sTime"), "h :");
    EXPECT_EQ(get("sDecimal"), "<default>");
    EXPECT_EQ(get("sThousand"), "'");
}

TEST_F(ProfileTest, EnclosingQuotesAreRemovedOnce) {
    write("[intl]\na=\"x y\"\nb='z'\nc=dddd, d 'de' MMMM\nd='\ne=\"mixed'\nf=''quoted''\n");
    EXPECT_EQ(get("a"), "x y");
    EXPECT_EQ(get("b"), "z");
    EXPECT_EQ(get("c"), "dddd, d 'de' MMMM"); // quotes inside the value stay
    EXPECT_EQ(get("d"), "'");                 // a lone quote is a value
    EXPECT_EQ(get("e"), "\"mixed'");
    EXPECT_EQ(get("f"), "'quoted'");
}

TEST_F(ProfileTest, FirstOccurrenceWins) {
    write("[intl]\nsTime=.\nsTime=-\n[other]\nsDecimal=;\n[intl]\nsTime=,\nsDecimal=:\n");
    EXPECT_EQ(get("sTime"), ".");
    EXPECT_EQ(get("sDecimal"), ":"); // a later section of the same name is searched too
}

TEST_F(ProfileTest, ValuesAreCutTo63Characters) {
    std::string digits;
    for (int i = 0; i < 200; ++i)
        digits += static_cast<char>('0' + i % 10);
    write("[intl]\nlong=" + digits + "\nquoted=\"" + digits + "\"\nexact=" + digits.substr(0, 63) +
          "\n");
    EXPECT_EQ(get("long"), digits.substr(0, 63));
    EXPECT_EQ(get("quoted"), digits.substr(0, 63));
    EXPECT_EQ(get("exact"), digits.substr(0, 63));
}

TEST_F(ProfileTest, SmallBuffersAreNeverOverrun) {
    write("[intl]\nsLongDate=dddd, mmmm dd\n");
    char buffer[6] = {'#', '#', '#', '#', '#', '#'};
    EXPECT_EQ(pf::profile_string("intl", "sLongDate", "", buffer, 5), 4u);
    EXPECT_STREQ(buffer, "dddd");
    EXPECT_EQ(buffer[5], '#');
    EXPECT_EQ(pf::profile_string("intl", "missing", "abcdefgh", buffer, 5), 4u);
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(pf::profile_string("intl", "sLongDate", "", buffer, 0), 0u);
    EXPECT_EQ(buffer[0], 'a'); // size 0: nothing written
}

TEST_F(ProfileTest, VeryLongLinesDoNotHideLaterKeys) {
    write("[intl]\n" + std::string(100000, 'k') + "=v\n[" + std::string(5000, 's') +
          "]\nsTime=x\n;" + std::string(70000, ';') + "\n[intl]\nsTime=.\n");
    EXPECT_EQ(get("sTime"), ".");
}

TEST_F(ProfileTest, IntegersAreDecimalWithOptionalSign) {
    write("[intl]\na=12\nb=-3\nc=+7x\nd=abc\ne=\nf=4294967297\ng=\"81\"\n");
    EXPECT_EQ(pf::profile_int("intl", "a", 99), 12);
    EXPECT_EQ(pf::profile_int("intl", "b", 99), -3);
    EXPECT_EQ(pf::profile_int("intl", "c", 99), 7);
    EXPECT_EQ(pf::profile_int("intl", "d", 99), 0);
    EXPECT_EQ(pf::profile_int("intl", "e", 99), 99);
    EXPECT_EQ(pf::profile_int("intl", "f", 99), 1); // wraps at 2^32
    EXPECT_EQ(pf::profile_int("intl", "g", 99), 81);
    EXPECT_EQ(pf::profile_int("intl", "missing", 99), 99);
}

TEST_F(ProfileTest, FileIsLookedForInTheDocumentedOrder) {
    SavedVariable profile("BRTL_PROFILE"), config("XDG_CONFIG_HOME"), home("HOME");
    pf::set_profile_path(nullptr);
    const auto root = scratch_dir() / "lookup";

    setenv("BRTL_PROFILE", (root / "named.ini").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root / "xdg").c_str(), 1);
    setenv("HOME", (root / "home").c_str(), 1);
    EXPECT_EQ(read_through(root / "named.ini", "1"), "1");

    setenv("BRTL_PROFILE", "", 1); // empty counts as unset
    EXPECT_EQ(read_through(root / "xdg" / "brtl" / "win.ini", "2"), "2");

    unsetenv("BRTL_PROFILE");
    setenv("XDG_CONFIG_HOME", "relative/dir", 1); // not an absolute path: ignored
    EXPECT_EQ(read_through(root / "home" / ".config" / "brtl" / "win.ini", "3"), "3");

    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(pf::profile_path(), (root / "home" / ".config" / "brtl" / "win.ini").string());

    brtl_set_profile_path((root / "named.ini").c_str()); // the host's choice comes first
    EXPECT_EQ(pf::profile_path(), (root / "named.ini").string());
    EXPECT_EQ(read_through(root / "named.ini", "4"), "4");
    brtl_set_profile_path(nullptr);
    EXPECT_EQ(pf::profile_path(), (root / "home" / ".config" / "brtl" / "win.ini").string());
}
