#include "program_generator.h"

#include <string>
#include <vector>

namespace fuzz {
namespace {

// Takes choices off the bytes; past their end every choice is 0.
class Choices {
  public:
    Choices(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    unsigned pick(unsigned n) {
        if (n <= 1) return 0;
        unsigned v = at_ < size_ ? data_[at_++] : 0;
        return v % n;
    }
    bool chance(unsigned in) { return pick(in) == 0; }
    bool exhausted() const { return at_ >= size_; }

  private:
    const uint8_t *data_;
    size_t size_;
    size_t at_ = 0;
};

struct Var {
    const char *name;
    const char *type; // "Integer", ... "String", "Variant"
};

const Var kVars[] = {{"i0", "Integer"}, {"i1", "Integer"}, {"l0", "Long"},      {"l1", "Long"},
                     {"g0", "Single"},  {"d0", "Double"},  {"d1", "Double"},    {"c0", "Currency"},
                     {"t1", "String"},  {"s1", "String"},  {"v0", "Variant"},   {"v1", "Variant"},
                     {"b0", "Boolean"}, {"t0", "Date"},    {"x0", "String * 6"}};
constexpr unsigned kVarCount = sizeof kVars / sizeof kVars[0];

class Generator {
  public:
    explicit Generator(Choices &c) : c_(c) {}

    std::string program() {
        out_ = "Option Explicit\n";
        out_ += "Type Pair\n    Key As Integer\n    Name As String * 4\n    Amount As Currency\n"
                "End Type\n";
        out_ += "Dim ";
        for (unsigned i = 0; i < kVarCount; ++i)
            out_ += std::string(i ? ", " : "") + kVars[i].name + " As " + kVars[i].type;
        out_ += "\nDim a0(1 To 8) As Long, a1(0 To 5) As String, a2() As Double, r0 As Pair\n";
        out_ += "Dim k0 As Integer, k1 As Integer, n0 As Integer\n";
        procedures();
        if (c_.chance(2))
            out_ += "On Error GoTo Handler\n";
        else if (c_.chance(2))
            out_ += "On Error Resume Next\n";
        statements(0, 12);
        out_ += "Print \"end\"; i0; l0; d0; c0; \"[\"; t1; \"]\"; v0\nEnd\n";
        out_ += "Handler:\nPrint \"trap\"; Err\nIf n0 < 20 Then n0 = n0 + 1: Resume Next\nEnd\n";
        out_ += "Sub1:\nPrint \"gosub\"; i0\nReturn\n";
        return out_;
    }

  private:
    void procedures() {
        out_ += "Function F0(ByVal x As Long, y As Double) As Double\n";
        out_ += "    If x > 3 Then F0 = y * 2 Else F0 = x + y\n";
        out_ += "    y = y + 1\nEnd Function\n";
        out_ += "Function F1(s As String, Optional n As Variant) As String\n";
        out_ += "    If IsMissing(n) Then n = 2\n";
        out_ += "    F1 = Left$(s & \"xyz\", n) & UCase$(s)\nEnd Function\n";
        out_ += "Sub S0(v As Variant, ByVal k As Integer)\n";
        out_ += "    Static calls As Integer\n    calls = calls + 1\n";
        out_ += "    v = v & k\n    If calls > 50 Then Exit Sub\n    Print \"S0\"; calls; v\n"
                "End Sub\n";
        out_ += "Function Depth(n As Integer) As Long\n";
        out_ += "    If n <= 0 Then Depth = 1 Else Depth = n * Depth(n - 1)\nEnd Function\n";
    }

    std::string var() { return kVars[c_.pick(kVarCount)].name; }

    std::string literal() {
        switch (c_.pick(9)) {
        case 0:
            return std::to_string(c_.pick(100));
        case 1:
            return "-" + std::to_string(c_.pick(40000));
        case 2:
            return std::to_string(c_.pick(1000)) + "." + std::to_string(c_.pick(100));
        case 3:
            return "\"" + std::string(1, static_cast<char>('a' + c_.pick(26))) + "b" +
                   std::to_string(c_.pick(10)) + "\"";
        case 4:
            return std::to_string(c_.pick(70000)) + "&";
        case 5:
            return "1.5@";
        case 6:
            return "#1/" + std::to_string(1 + c_.pick(28)) + "/2001#";
        case 7:
            return c_.chance(2) ? "Null" : "Empty";
        default:
            return c_.chance(2) ? "True" : "\"12\"";
        }
    }

    std::string call(int depth) {
        static const char *const one[] = {"Len",    "Abs",   "Int",  "Fix",    "CInt",   "CLng",
                                          "CDbl",   "CStr",  "Str$", "Hex$",   "Sgn",    "Val",
                                          "UCase$", "Trim$", "CCur", "IsNull", "VarType"};
        switch (c_.pick(8)) {
        case 0:
            return std::string(one[c_.pick(sizeof one / sizeof one[0])]) + "(" + expr(depth) + ")";
        case 1:
            return "Mid$(" + expr(depth) + ", " + std::to_string(1 + c_.pick(4)) + ", " +
                   std::to_string(c_.pick(5)) + ")";
        case 2:
            return "Format(" + expr(depth) + ", \"0.00\")";
        case 3:
            return "InStr(" + expr(depth) + ", \"b\")";
        case 4:
            return "IIf(" + expr(depth) + ", " + expr(depth) + ", " + expr(depth) + ")";
        case 5:
            return "F0(" + expr(depth) + ", " + (c_.chance(2) ? "d1" : expr(depth)) + ")";
        case 6:
            return "F1(" + (c_.chance(2) ? "s1" : expr(depth)) +
                   (c_.chance(2) ? ", " + expr(depth) : std::string()) + ")";
        default:
            return "a0(" + std::to_string(1 + c_.pick(9)) + ")";
        }
    }

    std::string expr(int depth = 0) {
        if (depth > 3) return c_.chance(2) ? var() : literal();
        static const char *const ops[] = {
            " + ", " - ",  " * ", " / ",  " \\ ",  " Mod ", " ^ ",   " & ",
            " = ", " <> ", " < ", " >= ", " And ", " Or ",  " Xor ", " Like "};
        switch (c_.pick(7)) {
        case 0:
        case 1:
            return var();
        case 2:
            return literal();
        case 3:
            return "(" + expr(depth + 1) + ops[c_.pick(sizeof ops / sizeof ops[0])] +
                   expr(depth + 1) + ")";
        case 4:
            return call(depth + 1);
        case 5:
            return c_.chance(2) ? "-" + expr(depth + 1) : "Not " + expr(depth + 1);
        default:
            return c_.chance(2) ? "r0.Amount" : "a1(" + std::to_string(c_.pick(7)) + ")";
        }
    }

    void line(int indent, const std::string &text) {
        out_ += std::string(static_cast<size_t>(indent) * 4, ' ') + text + "\n";
    }

    void statements(int depth, unsigned count) {
        unsigned n = 1 + c_.pick(count);
        for (unsigned i = 0; i < n && !c_.exhausted(); ++i)
            statement(depth);
    }

    void statement(int depth) {
        int in = depth + 1;
        switch (c_.pick(depth > 2 ? 6 : 14)) {
        case 0:
        case 1:
            line(in, var() + " = " + expr());
            break;
        case 2:
            line(in, "Print " + expr() + (c_.chance(2) ? "; " : ", ") + expr());
            break;
        case 3:
            line(in, "a0(" + std::to_string(1 + c_.pick(8)) + ") = " + expr());
            break;
        case 4:
            line(in, "r0.Key = " + expr() + ": r0.Name = " + expr() + ": r0.Amount = " + expr());
            break;
        case 5:
            line(in, "S0 " + (c_.chance(2) ? std::string("v1") : expr()) + ", " + expr());
            break;
        case 6:
            line(in, "If " + expr() + " Then");
            statements(depth + 1, 3);
            if (c_.chance(2)) {
                line(in, "Else");
                statements(depth + 1, 3);
            }
            line(in, "End If");
            break;
        case 7: {
            std::string k = depth % 2 == 0 ? "k0" : "k1";
            line(in, "For " + k + " = " + std::to_string(c_.pick(4)) + " To " +
                         std::to_string(c_.pick(6)) + (c_.chance(3) ? " Step -1" : std::string()));
            statements(depth + 1, 3);
            if (c_.chance(4)) line(in + 1, "If " + expr() + " Then Exit For");
            line(in, "Next");
            break;
        }
        case 8:
            line(in, "Select Case " + expr());
            line(in, "Case 1, 2, \"ab1\"");
            statements(depth + 1, 2);
            line(in, "Case 3 To 10, Is > 100");
            statements(depth + 1, 2);
            line(in, "Case Else");
            statements(depth + 1, 2);
            line(in, "End Select");
            break;
        case 9:
            line(in, "n0 = 0");
            line(in, "Do While n0 < " + std::to_string(c_.pick(5)));
            line(in + 1, "n0 = n0 + 1");
            statements(depth + 1, 2);
            line(in, "Loop");
            break;
        case 10:
            line(in, "ReDim Preserve a2(" + std::to_string(c_.pick(6)) + ")");
            line(in, "a2(UBound(a2)) = " + expr());
            break;
        case 11:
            line(in, "a1(" + std::to_string(c_.pick(6)) + ") = " + expr() + " & F1(t1)");
            break;
        case 12:
            line(in, "GoSub Sub1");
            break;
        default:
            line(in, "l1 = Depth(" + std::to_string(c_.pick(12)) + ")");
            break;
        }
    }

    Choices &c_;
    std::string out_;
};

} // namespace

std::string generate_program(const uint8_t *data, size_t size) {
    Choices c(data, size);
    return Generator(c).program();
}

} // namespace fuzz
