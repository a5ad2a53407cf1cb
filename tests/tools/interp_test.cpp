// The immediate window: lines checked and run one at a time through the library, with the
// operators, builtins, statements and traps of the dialect. Each line stands on its own: a trap
// ends its line, and the next line runs.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "harness/harness.h"
#include "lang/builtins.h"
#include "run/window.h"
#include "services/console.h"
#include "services/core.h"

namespace {

using brtl::basic::Window;

// The whole of what a stream wrote.
std::string contents(std::FILE *f) {
    std::string out;
    std::rewind(f);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        out.append(buffer, n);
    return out;
}

class InterpTest : public brtl_test::RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        brtl::rt::start_program();
    }
    void TearDown() override {
        brtl::rt::set_console(stdout, stderr);
        RuntimeTest::TearDown();
    }

    // Runs the lines in one window; returns what they printed, with errors after "!".
    std::string run(std::initializer_list<const char *> lines) {
        std::FILE *out = std::tmpfile();
        std::FILE *err = std::tmpfile();
        brtl::rt::set_console(out, err);
        {
            Window w;
            for (const char *line : lines)
                w.line(line, "1", 1);
            w.finish();
            last_ = w.status();
        }
        brtl::rt::console_flush();
        brtl::rt::set_console(stdout, stderr);
        std::string text = contents(out);
        std::string errors = contents(err);
        std::fclose(out);
        std::fclose(err);
        if (!errors.empty()) text += "!" + errors;
        return text;
    }

    int last_ = 0;
};

constexpr int kOk = 0;
constexpr int kTrapped = brtl::basic::kTrapped;
constexpr int kSyntax = brtl::basic::kNotStarted;

struct Case {
    const char *line;
    const char *printed;
};

TEST_F(InterpTest, ExpressionsAndStatementsOfALine) {
    const Case cases[] = {
        {"? 1 + 2 * 3", " 7 \n"},
        {"? -2 ^ 2", "-4 \n"},
        {"? 2 ^ 3 ^ 2", " 64 \n"},
        {"? 2 ^ -1", " 0.5 \n"},
        {"? 7 \\ 2 * 2", " 1 \n"},
        {"? 10 \\ 3 Mod 2", " 1 \n"},
        {"? 1 + 5 Mod 3", " 3 \n"},
        {"? 5 Mod 3 + 1", " 3 \n"},
        {"? 1 + 2 & 3 + 4", "37\n"},
        {"? 1 < 2 And 2 < 3", "-1 \n"},
        {"? Not 1 = 2", "-1 \n"},
        {"? 1 = 1 Or 1 = 2 And 1 = 3", "-1 \n"},
        {"? 6 Xor 3, 6 Eqv 3, 6 Imp 3", " 5            -6            -5 \n"},
        {"? (1 + 2) * 3", " 9 \n"},
        // Literals are typed: Integers do not promote, Variants do.
        {"v = 32767: ? v + 1; VarType(v + 1); VarType(v * 2.5)", " 32768  3  5 \n"},
        {"v = 2147483647: ? v + 1; VarType(v + 1)", " 2147483648  5 \n"},
        {"? \"5\" + 3, \"5\" + \"3\", \"5\" - \"3\"", " 8            53             2 \n"},
        {"? Null + 1; \"|\"; \"x\" & Null; \"|\"; Null & Null", "Null|x|Null\n"},
        {"? 7 / 2, 7 \\ 2, -7 Mod 3", " 3.5           3            -1 \n"},
        {"? \"abc\" > 5, \"ab\" < \"abc\"", "-1            -1 \n"},
        {"? #1/31/2020# + 1", "02/01/2020\n"},
        {"? VarType(5%); VarType(5&); VarType(5!); VarType(5#); VarType(5@)", " 2  3  4  5  6 \n"},
        {"? VarType(5); VarType(100000); VarType(1.5); VarType(1E3)", " 2  3  5  5 \n"},
        {"? &HFFFF; &H7FFF; &H10000; &HFFFF&; &O17", "-1  32767  65536  65535  15 \n"},
        {"? \"a\"\"b\"", "a\"b\n"},
        {"? VarType(#1/2/2020#); VarType(\"x\"); VarType(True); VarType(Null); VarType(Empty)",
         " 7  8  2  1  0 \n"},
        {"? True; False; CBool(5); VarType(CBool(5))", "-1  0 -1  2 \n"},
        {"For i = 1 To 3: ? i;: Next", " 1  2  3 "},
        {"For i = 3 To 1 Step -1: ? i;: Next i: ?", " 3  2  1 \n"},
        {"For i = 1 To 0: ? i: Next: ? \"none\"", "none\n"},
        {"If 1 > 2 Then ? \"a\" Else ? \"b\": ? \"c\"", "b\nc\n"},
        {"If 2 > 1 Then ? \"a\": ? \"b\" Else ? \"c\"", "a\nb\n"},
        {"x% = 2.5: y% = 3.5: ? x%; y%", " 2  4 \n"},
        {"Let s$ = 12: ? s$ & \"!\"; VarType(s$)", "12! 8 \n"},
        {"a = Array(1, 2, 3): ? a(0) + a(2)", " 4 \n"},
        {"? \"a\", \"b\"; \"c\"", "a             bc\n"},
        {"? \"a\"; Spc(3); \"b\"; Tab(10); \"c\"", "a   b    c\n"},
        {"? \"abcdef\"; Tab(3); \"x\"", "abcdef\n  x\n"},
        {"? 1,", " 1            "},
        {"REM nothing: ? 1", ""},
        {"Option Compare Text: ? \"ABC\" = \"abc\": Option Compare Binary: ? \"ABC\" = \"abc\"",
         "-1 \n 0 \n"},
        {"? 1 ' a comment", " 1 \n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(run({c.line}), c.printed) << c.line;
}

TEST_F(InterpTest, BuiltinsByLanguageNameWithOptionalArguments) {
    const Case cases[] = {
        {"? Left(\"hello\", 2); Left$(\"hello\", 2); LeftB$(\"hello\", 2)", "hehehe\n"},
        {"? Mid(\"hello\", 2); \"|\"; Mid$(\"hello\", 2, 2); \"|\"; MidB(\"hello\", 5)",
         "ello|el|o\n"},
        {"? UCase(\"ab\"); LCase$(\"AB\"); \"[\"; Trim(\"  x  \"); \"]\"", "ABab[x]\n"},
        {"? String(3, \"ab\"); Space$(2); \"|\"", "aaa  |\n"},
        {"? Val(\"12abc\"); Val(\"&H10\")", " 12  16 \n"},
        {"? Format(1234.5, \"#,##0.00\"); \" \"; Format$(0.5, \"0%\")", "1,234.50 50%\n"},
        {"? Format(Pmt(0.01, 12, 1000), \"0.00\"); \" \"; Format(FV(0, 10, -1), \"0\")",
         "-88.85 10\n"},
        {"? Format(IRR(Array(-1000, 300, 400, 500)), \"0.0000\")", "0.0890\n"},
        {"v = Array(-100, 60, 60): ? Format(IRR(v), \"0.000\"); \" \"; Format(NPV(0.1, v), "
         "\"0.00\")",
         "0.131 3.76\n"},
        {"? DateAdd(\"m\", 1, #1/31/2020#); \" \"; DateDiff(\"d\", #1/1/2020#, #3/1/2020#)",
         "02/29/2020  60 \n"},
        {"? Year(#7/4/1976#); Month(#7/4/1976#); Day(#7/4/1976#); WeekDay(#7/4/1976#)",
         " 1976  7  4  1 \n"},
        {"? IIf(1 > 2, \"y\", \"n\"); Choose(2, \"a\", \"b\", \"c\"); Switch(False, 1, True, 2)",
         "nb 2 \n"},
        {"? IIf(True, 1, 2); IIf(\"\", 1, 2); Switch(1 > 2, 1, 2 > 1, 2)", " 1  2  2 \n"},
        {"? Partition(15, 0, 100, 10)", " 10: 19\n"},
        {"? Len(\"abc\"); Chr(65); Asc(\"a\"); Str(5); \"|\"; Str(-5)", " 3 A 97  5|-5\n"},
        {"? CInt(2.5); CInt(3.5); CLng(-2.5); Int(-2.5); Fix(-2.5); Abs(-3); Sgn(-3)",
         " 2  4 -2 -3 -2  3 -1 \n"},
        {"? CDbl(\"1.5\") * 2; CStr(12) & \"x\"; CBool(5); CCur(1.23456)", " 3 12x-1  1.2346 \n"},
        {"? Sqr(16); Exp(0); Format(Atn(1) * 4, \"0.0000\")", " 4  1 3.1416\n"},
        {"? Error$(11); \"|\"; IsNull(Null); IsEmpty(x); IsNumeric(\"1e3\"); IsDate(\"x\")",
         "Division by zero|-1 -1 -1  0 \n"},
        // InStr([start,] text, sought[, compare]) and StrComp(a, b[, compare]); an omitted
        // compare takes Option Compare.
        {"? InStr(\"abcabc\", \"c\"); InStr(4, \"abcabc\", \"c\"); InStr(7, \"abcabc\", \"c\"); "
         "InStr(1, \"ABC\", \"b\", 1); InStr(1, \"ABC\", \"b\"); InStrC(2, \"aBcB\", \"b\", 1)",
         " 3  6  0  2  0  2 \n"},
        {"? InStr(3, \"abc\", \"\"); InStr(\"\", \"\"); InStr(Null, \"a\"); VarType(InStr(\"a\", "
         "\"a\"))",
         " 3  0 Null 3 \n"},
        {"? StrComp(\"abc\", \"abd\"); StrComp(\"abc\", \"ab\"); StrComp(\"ABC\", \"abc\", 1); "
         "StrComp(10, 9); StrComp(Null, \"a\")",
         "-1  1  0 -1 Null\n"},
        {"Option Compare Text: ? InStr(\"ABC\", \"b\"); StrComp(\"ABC\", \"abc\"); \"A\" Like "
         "\"a\": "
         "Option Compare Binary: ? InStr(\"ABC\", \"b\"); StrComp(\"ABC\", \"abc\"); \"A\" Like "
         "\"a\"",
         " 2  0 -1 \n 0 -1  0 \n"},
        {"? \"abc\" Like \"a*\"; \"abc\" Like \"A*\"; \"a1\" Like \"a#\"; \"b\" Like \"[a-c]\"; "
         "\"x\" Like \"[!x]\"; \"ab\" Like \"a?\"; Null Like \"x\"",
         "-1  0 -1 -1  0 -1 Null\n"},
        // The string statements write into the variable; Mid$ and MidB$ take the string forms.
        {"s = \"hello\": Mid(s, 2, 3) = \"XYZW\": ? s: MidB(s, 1, 1) = \"Q\": ? s: Mid(s, 4) = "
         "\"!\": ? s",
         "hXYZo\nQXYZo\nQXY!o\n"},
        {"t$ = \"abcdef\": Mid$(t$, 3) = \"12\": ? t$: MidB$(t$, 6, 1) = \"!?\": ? t$; Len(t$)",
         "ab12ef\nab12e! 6 \n"},
        {"u = \"abcd\": LSet u = \"x\": ? \"[\"; u; \"]\": RSet u = \"yz\": ? \"[\"; u; \"]\": "
         "LSet u = \"toolong\": ? \"[\"; u; \"]\"",
         "[x   ]\n[  yz]\n[tool]\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(run({c.line}), c.printed) << c.line;
}

TEST_F(InterpTest, ATrapEndsItsLineAndTheNextLineRuns) {
    EXPECT_EQ(run({"? 1: ? 1 / 0: ? 2", "? 3"}),
              " 1 \n 3 \n!Run-time error 11: Division by zero\n");
    EXPECT_EQ(last_, kTrapped); // the window's status is its worst line's
    const Case cases[] = {
        {"? Left(\"abc\", -1)", "!Run-time error 5: Illegal function call\n"},
        {"? Sgn(Null)", "!Run-time error 94: Invalid use of Null\n"},
        {"Error 53", "!Run-time error 53: File not found\n"},
        {"? \"a\"; 1 / 0", "a\n!Run-time error 11: Division by zero\n"},
        {"x% = 40000", "!Run-time error 6: Overflow\n"},
        {"a = Array(1): ? a(1)", "!Run-time error 9: Subscript out of range\n"},
        {"Open \"missing.txt\" For Input As #1", "!Run-time error 53: File not found\n"},
        // A trap after the window converted some arguments frees what it had converted.
        {"? MsgBox(\"question\", 0, Null)", "!Run-time error 94: Invalid use of Null\n"},
        {"? DateDiff(\"d\", Array(1), Now)", "!Run-time error 13: Type mismatch\n"},
        {"? IRR(Array(1, \"x\"))", "!Run-time error 13: Type mismatch\n"},
        {"? Choose(1, Array(1))", "!Run-time error 13: Type mismatch\n"},
        {"? InStr(0, \"a\", \"a\")", "!Run-time error 5: Illegal function call\n"},
        {"? StrComp(\"a\", \"b\", 2)", "!Run-time error 5: Illegal function call\n"},
        {"? InStr(Array(1), \"a\")", "!Run-time error 13: Type mismatch\n"},
        {"? \"a\" Like \"[a\"", "!Run-time error 93: Invalid pattern string\n"},
        {"s = \"abc\": Mid(s, 5) = \"x\"", "!Run-time error 5: Illegal function call\n"},
        {"? Environ(\"\")", "!Run-time error 5: Illegal function call\n"},
        {"? Environ(Null)", "!Run-time error 94: Invalid use of Null\n"},
        {"SendKeys \"\"", "!Run-time error 5: Illegal function call\n"},
        {"AppActivate \"\"", "!Run-time error 5: Illegal function call\n"},
        {"? Shell(\"true\", 0)", "!Run-time error 5: Illegal function call\n"},
        {"? FileLen(\"missing.bin\")", "!Run-time error 53: File not found\n"},
        {"Kill \"nothing*.here\"", "!Run-time error 53: File not found\n"},
        {"Lock #9", "!Run-time error 52: Bad file name or number\n"},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    // A program the system cannot find, where the start reports it (see ShellTest).
    if (brtl_test::spawn_reports_failed_starts())
        all.push_back(
            {"? Shell(\"no-such-program-of-brtl\")", "!Run-time error 53: File not found\n"});
    for (const Case &c : all) {
        EXPECT_EQ(run({c.line}), c.printed) << c.line;
        EXPECT_EQ(last_, kTrapped) << c.line;
    }
}

TEST_F(InterpTest, ASyntaxErrorNamesTheLineAndColumn) {
    const Case cases[] = {
        {"? 1 +", "!Syntax error in line 1 at column 6: expression expected\n"},
        {"? \"abc", "!Syntax error in line 1 at column 3: unterminated string\n"},
        {"For i = 1 To 3: ? i", "!Syntax error in line 1 at column 1: For without Next\n"},
        {"If 1 Then", "!Syntax error in line 1 at column 1: Block If without End If\n"},
        {"For i = 1 To 4: If i Mod 2 = 0 Then ? i;: Next",
         "!Syntax error in line 1 at column 43: Next without For\n"},
        {"? x: x = Dir(, 16)", "!Syntax error in line 1 at column 10: Argument not optional: "
                               "argument 1 of Dir\n"},
        {"x = = 2", "!Syntax error in line 1 at column 5: expression expected\n"},
        {"Frobnicate 1", "!Syntax error in line 1 at column 1: Sub or Function not defined: "
                         "Frobnicate\n"},
        {"x = #99/99/99#", "!Syntax error in line 1 at column 5: expression expected\n"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(run({c.line}), c.printed) << c.line;
        if (*c.printed) {
            EXPECT_EQ(last_, kSyntax) << c.line;
        }
    }
}

TEST_F(InterpTest, SequentialFilesRoundTrip) {
    EXPECT_EQ(run({"Open \"t.txt\" For Output As #1: Print #1, \"a\"; 5; Tab(10); \"b\": "
                   "Write #1, \"q,r\", 3.5: Close #1",
                   "Open \"t.txt\" For Input As #2: Line Input #2, l$: Input #2, a, b: "
                   "? l$; \"|\"; a; \"|\"; b; EOF(2): Close",
                   "f = FreeFile: Open \"t.txt\" For Append As f: Print #f, \"c\",: Close #f",
                   "Open \"t.txt\" For Input As 1: ? Input(2, #1); FileAttr(1, 1): Reset"}),
              "a 5      b|q,r| 3.5 -1 \na  1 \n");
}

// Put and Get of each field kind through a Random file and a Binary one, with Loc, LOF, Seek,
// and the Lock and Unlock forms.
TEST_F(InterpTest, RandomAndBinaryFilesRoundTrip) {
    EXPECT_EQ(
        run({"Open \"r.dat\" For Random As #1 Len = 16: a = \"first\": Put #1, 1, a: "
             "b% = 513: Put #1, 2, b%: c$ = \"text\": Put #1, 3, c$: Put #1, , CVar(2.5): "
             "? Loc(1); LOF(1); Seek(1)",
             "Get #1, 1, x: Get #1, 2, y%: Get #1, 3, z$: Get #1, , w: "
             "? x; y%; z$; w; VarType(x); VarType(w): Get #1, 9, e: ? VarType(e): Close",
             "Open \"r.dat\" For Random As #1 Len = 16: m& = 7: Put #1, 2, m&: Get #1, 2, n&: "
             "Get #1, 1, x: ? n&; x: Close",
             "Open \"b.bin\" For Binary As #2: s$ = \"abcdef\": Put #2, , s$: "
             "t$ = \"xyz\": Get #2, 3, t$: ? t$; Seek(2); LOF(2); Loc(2): Seek #2, 1: "
             "u$ = \"??\": Get #2, , u$: ? u$",
             "Lock #2: Unlock #2: Lock #2, 1 To 3: Unlock #2, 1 To 3: Lock #2, 2: "
             "Unlock #2, 2: Lock #2, To 4: Unlock #2, To 4: ? \"locked\": Close"}),
        " 4  58  5 \nfirst 513 text 2.5  8  5 \n 0 \n 7 first\ncde 6  6  5 \nab\nlocked\n");
    EXPECT_EQ(last_, kOk);
    EXPECT_EQ(run({"Open \"b.bin\" For Binary As #2: Lock #2, 1 To 3: Lock #2, 2"}),
              "!Run-time error 70: Permission denied\n");
    EXPECT_EQ(run({"Unlock #2, 1 To 4"}), "!Run-time error 70: Permission denied\n");
    EXPECT_EQ(run({"Put #2, , 1, 2"}),
              "!Syntax error in line 1 at column 1: Put #n, [position], value expected\n");
    EXPECT_EQ(run({"Get #2, 1, 5"}), "!Syntax error in line 1 at column 12: variable expected\n");
    EXPECT_EQ(run({"Unlock #2, 1 To 3: Seek #2, 0"}), "!Run-time error 63: Bad record number\n");
    run({"Reset"});
}

// The file system statements and functions that the directory listing script leaves out.
TEST_F(InterpTest, DirectoriesAndFilesByName) {
    EXPECT_EQ(
        run({"MkDir \"d\": Open \"d\\g.dat\" For Output As #1: Close: SetAttr \"d\\g.dat\", 1: "
             "? GetAttr(\"d\\g.dat\"); VarType(FileDateTime(\"d\\g.dat\"))",
             "SetAttr \"d\\g.dat\", 0: ? GetAttr(\"d\\g.dat\"); IsDir(\"d\\g.dat\"): Kill "
             "\"d\\g.dat\"",
             "ChDir \"d\": ? Right(CurDir$(\"C\"), 2): ChDir \"..\": ChDrive \"C\": "
             "RmDir \"d\": ? \"[\"; Dir(\"d\", 16); \"]\""}),
        " 33  7 \n 32  0 \n\\d\n[]\n");
    EXPECT_EQ(last_, kOk);
    EXPECT_EQ(run({"Name \"missing.txt\" As \"other.txt\""}),
              "!Run-time error 53: File not found\n");
    EXPECT_EQ(run({"ChDrive \"D\""}), "!Run-time error 68: Device unavailable\n");
    EXPECT_EQ(run({"SetAttr \"x\", 64"}), "!Run-time error 5: Illegal function call\n");
    EXPECT_EQ(run({"Name \"a\", \"b\""}),
              "!Syntax error in line 1 at column 1: Name old As new expected\n");
}

// Environ of a variable the test sets, Command of the host's command line, Shell of a program.
TEST_F(InterpTest, EnvironCommandAndShell) {
    ASSERT_EQ(setenv("BRTL_INTERP_TEST_VAR", "some value", 1), 0);
    std::strcpy(BiBuiltInVar_Command_, "one two");
    EXPECT_EQ(
        run({"? Environ(\"BRTL_INTERP_TEST_VAR\"); \"|\"; Environ$(\" BRTL_INTERP_TEST_VAR \"); "
             "\"|\"; Environ(\"BRTL_INTERP_TEST_UNSET\"); \"|\"; InStr(Environ(1), \"=\") > 1; "
             "Environ(255) = \"\"",
             "? Command; \"|\"; Command$",
             brtl_test::kWindows // the launcher's result there is the same for every started
                                 // program
                 ? "x = Shell(\"cmd /c exit\"): ? x > 31; VarType(x): y = Shell(\"cmd /c exit\", "
                   "1): ? y > 31"
                 : "x = Shell(\"true\"): ? x > 31; VarType(x): y = Shell(\"true\", 1): ? y > 31 "
                   "And "
                   "y <> x"}),
        "some value|some value||-1 -1 \none two|one two\n-1  5 \n-1 \n");
    EXPECT_EQ(last_, kOk);
    BiBuiltInVar_Command_[0] = '\0';
    unsetenv("BRTL_INTERP_TEST_VAR");
}

TEST_F(InterpTest, EveryRowNamesAnExportOrAHostRoutine) {
    std::vector<std::string> exports = brtl::basic::reachable_exports();
    EXPECT_TRUE(std::is_sorted(exports.begin(), exports.end()));
    for (const auto *t : {&brtl::basic::string_builtins(), &brtl::basic::conversion_builtins(),
                          &brtl::basic::variant_builtins(), &brtl::basic::file_builtins(),
                          &brtl::basic::date_builtins(), &brtl::basic::financial_builtins(),
                          &brtl::basic::math_builtins(), &brtl::basic::runtime_builtins(),
                          &brtl::basic::desktop_builtins()}) {
        for (const brtl::basic::BuiltinRow &row : *t) {
            EXPECT_LE(row.min_args, row.max_args) << row.name;
            std::string key(row.name);
            for (char &ch : key)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            EXPECT_NE(brtl::basic::builtin_for(key, static_cast<size_t>(row.min_args)), nullptr)
                << row.name;
            if (row.special == brtl::basic::Special::None) {
                EXPECT_NE(row.fn, nullptr) << row.name;
            }
        }
    }
}

} // namespace
