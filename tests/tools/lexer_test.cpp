// The lexer of modules: the places where one character means two things (# before a file number
// or around a date, & as a type character, a radix or concatenation), line continuations, and
// the line and column of each token.
#include <gtest/gtest.h>

#include "harness/harness.h"
#include "lang/lexer.h"
#include "services/core.h"

namespace {

using brtl::basic::Tok;

// The tokens of a line in a short form: N(text) number, S(text) string, D(text) date,
// I(text) name, # file number mark, the symbol itself; a type character follows as :c.
std::string shape(const std::string &line) {
    std::string out;
    for (const brtl::basic::Token &t : brtl::basic::tokenize(line)) {
        if (!out.empty()) out += ' ';
        switch (t.kind) {
        case Tok::End:
            out += "$";
            break;
        case Tok::Newline:
            out += "/";
            break;
        case Tok::Number:
            out += "N(" + t.text + ")";
            break;
        case Tok::String:
            out += "S(" + t.text + ")";
            break;
        case Tok::Date:
            out += "D(" + t.text + ")";
            break;
        case Tok::Identifier:
            out += "I(" + t.text + ")";
            break;
        case Tok::Hash:
            out += "#";
            break;
        case Tok::Symbol:
            out += t.text;
            break;
        }
        if (t.suffix) out += std::string(":") + t.suffix;
    }
    return out;
}

// The window's hooks: the date check reads AM and PM through the English texts.
class LexerTest : public brtl_test::RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        brtl::rt::start_program();
    }
};

TEST_F(LexerTest, OneCharacterTwoMeanings) {
    const struct {
        const char *line;
        const char *tokens;
    } cases[] = {
        {"Print #1, #1/2/2020#", "I(Print) # N(1) , D(1/2/2020) / $"},
        {"Close #1, #2", "I(Close) # N(1) , # N(2) / $"},
        {"Open f For Input As #1: Print #1, x",
         "I(Open) I(f) I(For) I(Input) I(As) # N(1) : I(Print) # N(1) , I(x) / $"},
        {"? #10:30 PM#; #1#", "? D(10:30 PM) ; # N(1):# / $"},
        {"x# = y& & z", "I(x):# = I(y):& & I(z) / $"},
        {"a&b", "I(a) & I(b) / $"},
        {"a& \"s\"", "I(a):& S(s) / $"},
        {"&HFF& + &o17 - 1.5E-3#", "N(&HFF):& + N(&O17) - N(1.5E-3):# / $"},
        {"Left$(s$, 2) <> \"a\"\"b\"", "I(Left):$ ( I(s):$ , N(2) ) <> S(a\"b) / $"},
        {"x = 1 ' a comment", "I(x) = N(1) / $"},
        {"? .5; 2D3", "? N(.5) ; N(2E3) / $"},
        {"Debug.Assert a <= b", "I(Debug) . I(Assert) I(a) <= I(b) / $"},
        {"r.name = a(1).x", "I(r) . I(name) = I(a) ( N(1) ) . I(x) / $"},
        {"x = 1 + _\n  2\ny", "I(x) = N(1) + N(2) / I(y) / $"},
        {"Rem all of it\n10 Print", "/ N(10) I(Print) / $"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(shape(c.line), c.tokens) << c.line;
}

TEST_F(LexerTest, BadTextIsASyntaxErrorAtItsColumn) {
    const struct {
        const char *line;
        int column;
    } cases[] = {{"? \"open", 3}, {"x = 1 { 2", 7}, {"? &H", 3}, {"? 1 ~", 5}};
    for (const auto &c : cases) {
        try {
            brtl::basic::tokenize(c.line);
            ADD_FAILURE() << c.line << " was accepted";
        } catch (const brtl::basic::SourceError &e) {
            EXPECT_EQ(e.column, c.column) << c.line;
        }
    }
}

// Each token knows its line and column; a continued line keeps the columns of its own line.
TEST_F(LexerTest, TokensKeepTheirLineAndColumn) {
    std::vector<brtl::basic::Token> t = brtl::basic::tokenize("a = _\n    b\n  c", 10);
    ASSERT_EQ(t.size(), 7u);
    EXPECT_EQ(t[0].line, 10);
    EXPECT_EQ(t[2].text, "b");
    EXPECT_EQ(t[2].line, 11);
    EXPECT_EQ(t[2].column, 5);
    EXPECT_EQ(t[3].kind, brtl::basic::Tok::Newline);
    EXPECT_EQ(t[4].text, "c");
    EXPECT_EQ(t[4].line, 12);
    EXPECT_EQ(t[4].column, 3);
}

} // namespace
