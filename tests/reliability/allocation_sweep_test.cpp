// The allocation-failure sweep: every export that allocates is called with arguments that reach
// its allocating paths while the k-th allocation fails, for k = 0, 1, ... until the call no
// longer reaches the failing allocation, under a returning and under a throwing hook. At every
// failure point the call either raises trap 7 alone or completes with the result it gives with
// memory to spare; no block or descriptor is left behind; and the same call made next with
// memory to spare gives that result again. The table is checked against the export list, so a
// new export fails this suite until it has a row here or a place among the exports that do not
// allocate.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/memory.h"
#include "reliability/sweep_support.h"

namespace brtl_test {
namespace {

namespace platform = brtl::platform;
using namespace sweep;

// Arms the failure injection for one call and measures how many allocations the call made.
class Sweep {
  public:
    explicit Sweep(long fail_at) : fail_at_(fail_at) {}
    void arm() {
        start_ = platform::allocation_count();
        armed_ = true;
        if (fail_at_ >= 0) platform::fail_allocations_after(fail_at_);
    }
    void disarm() {
        if (!armed_) return;
        platform::fail_allocations_after(-1);
        used_ = platform::allocation_count() - start_;
        armed_ = false;
    }
    unsigned long used() const { return used_; }
    // For an export whose contract reports a lack of memory by its result (an HRESULT).
    void reported_failure() { reported_ = true; }
    bool reported() const { return reported_; }

  private:
    long fail_at_;
    unsigned long start_ = 0;
    unsigned long used_ = 0;
    bool armed_ = false;
    bool reported_ = false;
};

// A row's call: builds its arguments, arms the sweep, calls the export, disarms, and returns a
// text that describes what it got (after freeing it).
using SweepCall = std::function<std::string(Sweep &)>;
struct Row {
    const char *name;
    SweepCall call;
    int32_t own_trap = 0; // a trap the export's contract gives for a lack of memory instead of 7
};

// Notes an HRESULT that reports the lack of memory.
void checked(Sweep &s, HRESULT hr) {
    if (hr == E_OUTOFMEMORY) s.reported_failure();
}

// Calls f(in) on a temporary of text; f returns a runtime string.
template <class F> std::string on_text(Sweep &s, const char *text, F f) {
    BiString in = temp(text);
    s.arm();
    BiString out = f(in);
    s.disarm();
    return take(out);
}

// Calls f(&result) and shows the Variant result.
template <class F> std::string into_variant(Sweep &s, F f) {
    Held result;
    s.arm();
    f(&result.v);
    s.disarm();
    return show(result.v);
}

// Calls f(&v) on a Variant changed in place.
template <class F> std::string in_place(Sweep &s, VARIANT start, F f) {
    Held v(start);
    s.arm();
    f(&v.v);
    s.disarm();
    return show(v.v);
}

// Calls f(in) on a borrowed text, which a call must copy before it changes it.
template <class F> std::string on_borrowed(Sweep &s, const char *text, F f) {
    Borrowed in(text);
    s.arm();
    BiString out = f(in.get());
    s.disarm();
    return take(out);
}

// Runs a statement f(&variable, source) on a string variable holding text with a temporary of
// source, and shows the variable.
template <class F> std::string statement(Sweep &s, const char *text, const char *source, F f) {
    BiString src = temp(source);
    StringVariable variable;
    size_t n = std::strlen(text);
    variable.s = ZbiAllocBiString(static_cast<uint32_t>(n));
    std::memcpy(variable.s.data, text, n + 1);
    s.arm();
    f(&variable.s, src);
    s.disarm();
    return variable.text();
}

// Calls f(), which returns a runtime string.
template <class F> std::string string_result(Sweep &s, F f) {
    s.arm();
    BiString out = f();
    s.disarm();
    return take(out);
}

// Runs f with file 1 open for output on sweep.txt and shows the file's bytes after closing it.
template <class F> std::string written(Sweep &s, F f) {
    open_file("sweep.txt", BI_FILE_MODE_OUTPUT, 1);
    s.arm();
    f();
    s.disarm();
    ZbiBuiltIn_Reset();
    return file_bytes("sweep.txt");
}

// Runs f with file 1 open for input on a file of the given bytes.
template <class F> std::string reading(Sweep &s, const std::string &bytes, F f) {
    make_file("sweep.txt", bytes);
    open_file("sweep.txt", BI_FILE_MODE_INPUT, 1);
    s.arm();
    std::string got = f();
    s.disarm();
    ZbiBuiltIn_Reset();
    return got;
}

std::string number(double d) {
    std::ostringstream out;
    out.precision(17);
    out << d;
    return out.str();
}

const int16_t kTrue = -1;

// ---- The rows -------------------------------------------------------------------------------

const std::vector<Row> &rows() {
    static const std::vector<Row> table = {
        // Runtime strings and character conversion
        {"ZbiAllocBiString", [](Sweep &s) {
             s.arm(); BiString b = ZbiAllocBiString(3); s.disarm();
             if (b.data == nullptr) return std::string("null");
             std::string r = std::to_string(BiStringLength(b)); ZbiFreeBiString(b); return r; }},
        {"ZbiDuplicateString", [](Sweep &s) {
             Borrowed b("copy me"); s.arm(); BiString d = ZbiDuplicateString(b.get()); s.disarm();
             if (BiStringLength(d) == 0) return std::string("empty"); // the shared empty string
             std::string r = text_of(d); ZbiFreeBiString(d); return r; }},
        {"ZbiEvalCvtSV", [](Sweep &s) { BiString in = temp("text"); return into_variant(s, [&](VARIANT *r) { ZbiEvalCvtSV(r, in); }); }},
        {"ZbiEvalCvtVS", [](Sweep &s) { VARIANT v = r8(2.5); return string_result(s, [&] { return ZbiEvalCvtVS(v, 1); }); }},
        {"PushStringOnStack", [](Sweep &s) {
             s.arm(); BiFormatStackCell *top = PushStringOnStack("abc", nullptr); s.disarm();
             std::string r;
             while (top) { r += top->ch; BiFormatStackCell *next = top->next; ZrFree(top); top = next; }
             return r; }},
        // Lifecycle and dialogs
        {"ZbiBuiltIn_Error_", [](Sweep &s) {
             host().texts[BI_TRAP_ILLEGAL_CALL] = "Invalid procedure call";
             return string_result(s, [] { return ZbiBuiltIn_Error_(int32_t{BI_TRAP_ILLEGAL_CALL}); }); }},
        // Dynamic arrays
        {"ZbiAllocArrayData", [](Sweep &s) {
             BiArrayDesc d{}; d.element_size = 4; d.byte_size = 64;
             s.arm(); ZbiAllocArrayData(&d); s.disarm();
             std::string r = d.data ? "64" : "null"; ZbiFreeArrayData(&d); return r; }},
        {"ZbiReallocArrayData", [](Sweep &s) {
             struct Owned { BiArrayDesc d{}; ~Owned() { ZbiFreeArrayData(&d); } } array;
             array.d.element_size = 4; array.d.byte_size = 16; ZbiAllocArrayData(&array.d);
             s.arm(); ZbiReallocArrayData(&array.d, 4096); s.disarm();
             return std::to_string(array.d.byte_size); }},
        // The string library
        {"ZbiBuiltIn_LCase", [](Sweep &s) { return in_place(s, r8(-1.5e10), ZbiBuiltIn_LCase); }},
        {"ZbiBuiltIn_UCase", [](Sweep &s) { return in_place(s, r8(1.5), ZbiBuiltIn_UCase); }},
        {"ZbiBuiltIn_LTrim", [](Sweep &s) { return in_place(s, date(35424.5), ZbiBuiltIn_LTrim); }},
        {"ZbiBuiltIn_RTrim", [](Sweep &s) { return in_place(s, cy(-12345), ZbiBuiltIn_RTrim); }},
        {"ZbiBuiltIn_Trim", [](Sweep &s) { return in_place(s, i4(-12), ZbiBuiltIn_Trim); }},
        {"ZbiBuiltIn_LCase_", [](Sweep &s) { return on_borrowed(s, "MiXeD", ZbiBuiltIn_LCase_); }},
        {"ZbiBuiltIn_UCase_", [](Sweep &s) { return on_borrowed(s, "MiXeD", ZbiBuiltIn_UCase_); }},
        {"ZbiBuiltIn_LTrim_", [](Sweep &s) { return on_text(s, "  left", ZbiBuiltIn_LTrim_); }},
        {"ZbiBuiltIn_RTrim_", [](Sweep &s) { return on_text(s, "right  ", ZbiBuiltIn_RTrim_); }},
        {"ZbiBuiltIn_Trim_", [](Sweep &s) { return on_text(s, "  both  ", ZbiBuiltIn_Trim_); }},
        {"ZbiBuiltIn_Left", [](Sweep &s) { VARIANT v = r8(1234.5); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_Left(r, v, 4); }); }},
        {"ZbiBuiltIn_Right", [](Sweep &s) { VARIANT v = r8(123.25); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_Right(r, v, 3); }); }},
        {"ZbiBuiltIn_LeftC", [](Sweep &s) { VARIANT v = i4(-98765); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_LeftC(r, v, 2); }); }},
        {"ZbiBuiltIn_RightC", [](Sweep &s) { VARIANT v = boolean(true); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_RightC(r, v, 2); }); }},
        {"ZbiBuiltIn_MidFunc", [](Sweep &s) { VARIANT v = bstr_variant("the middle"); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_MidFunc(r, v, 5, 3); }); }},
        {"ZbiBuiltIn_MidFuncC", [](Sweep &s) { VARIANT v = bstr_variant("the middle"); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_MidFuncC(r, v, 2, 3); }); }},
        {"ZbiBuiltIn_Left_", [](Sweep &s) { return on_text(s, "leftmost", [](BiString in) { return ZbiBuiltIn_Left_(in, 4); }); }},
        {"ZbiBuiltIn_Right_", [](Sweep &s) { return on_text(s, "rightmost", [](BiString in) { return ZbiBuiltIn_Right_(in, 4); }); }},
        {"ZbiBuiltIn_LeftC_", [](Sweep &s) { return on_text(s, "leftmost", [](BiString in) { return ZbiBuiltIn_LeftC_(in, 3); }); }},
        {"ZbiBuiltIn_RightC_", [](Sweep &s) { return on_text(s, "rightmost", [](BiString in) { return ZbiBuiltIn_RightC_(in, 3); }); }},
        {"ZbiBuiltIn_MidFunc_", [](Sweep &s) { return on_text(s, "the middle", [](BiString in) { return ZbiBuiltIn_MidFunc_(in, 5, 3); }); }},
        {"ZbiBuiltIn_MidFuncC_", [](Sweep &s) { return on_text(s, "the middle", [](BiString in) { return ZbiBuiltIn_MidFuncC_(in, 5, 4); }); }},
        {"ZbiBuiltIn_Space_", [](Sweep &s) { VARIANT c = bstr_variant("*"); return string_result(s, [&] { return ZbiBuiltIn_Space_(6, c); }); }},
                // String statements, search and comparison, pattern matching
        {"ZbiBuiltIn_MidStmt_", [](Sweep &s) { // a double-byte text is rebuilt in a new block
             struct Japanese { Japanese() { brtl_setlocale("Ja_JP"); } ~Japanese() { brtl_setlocale("C"); } } code_page;
             return statement(s, "ab\x82\xA0\x82\xA2", "X\x82\xA4", [](BiString *d, BiString x) { ZbiBuiltIn_MidStmt_(d, x, 2, 2); }); }},
        {"ZbiBuiltIn_MidStmt", [](Sweep &s) { return in_place(s, bstr_variant("abcdef"), [](VARIANT *d) { ZbiBuiltIn_MidStmt(d, r8(1.5), 2, 3); }); }},
        {"ZbiBuiltIn_MidBStmt", [](Sweep &s) { return in_place(s, bstr_variant("abcdef"), [](VARIANT *d) { ZbiBuiltIn_MidBStmt(d, i4(77), 1, 2); }); }},
        {"ZbiBuiltIn_LSetVar", [](Sweep &s) { return in_place(s, bstr_variant("abcdef"), [](VARIANT *d) { ZbiBuiltIn_LSetVar(d, r8(2.25)); }); }},
        {"ZbiBuiltIn_RSetVar", [](Sweep &s) { return in_place(s, bstr_variant("abcdef"), [](VARIANT *d) { ZbiBuiltIn_RSetVar(d, i2(-7)); }); }},
        {"ZbiBuiltIn_InStr", [](Sweep &s) { VARIANT t = bstr_variant("price 12.5 net"), f = r8(12.5); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_InStr(r, 1, t, f, BI_COMPARE_TEXT); }); }},
        {"ZbiBuiltIn_InStrC", [](Sweep &s) { VARIANT t = r8(31.25), f = bstr_variant("1.2"); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_InStrC(r, 1, t, f, BI_COMPARE_BINARY); }); }},
        {"ZbiBuiltIn_StrComp", [](Sweep &s) { VARIANT a = bstr_variant("Alpha"), b = r8(3); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_StrComp(r, a, b, BI_COMPARE_TEXT); }); }},
        // Environment, command line and keys
        {"ZbiBuiltIn_EnvironStr", [](Sweep &s) { return on_text(s, "BRTL_SWEEP", ZbiBuiltIn_EnvironStr); }},
        {"ZbiBuiltIn_EnvironIdx", [](Sweep &s) { return string_result(s, [] { return ZbiBuiltIn_EnvironIdx(1); }); }},
        {"ZbiBuiltIn_EnvironVar", [](Sweep &s) { VARIANT name = bstr_variant("BRTL_SWEEP"); return string_result(s, [&] { return ZbiBuiltIn_EnvironVar(name); }); }},
        {"ZbiBuiltIn_Command_", [](Sweep &s) {
             std::strcpy(BiBuiltInVar_Command_, "/input data.txt");
             return string_result(s, [] { return ZbiBuiltIn_Command_(); }); }},
        {"brtl_compile_keys", [](Sweep &s) {
             BrtlKeyEvent events[64];
             s.arm(); int32_t n = brtl_compile_keys("Ab{ENTER}+{TAB}%(fx){LEFT 3}", events, 64); s.disarm();
             if (n == -2) s.reported_failure();
             return std::to_string(n); }},
        {"IsPathValid", [](Sweep &s) {
             std::string path = dialect_path(scratch_dir() / "name.txt");
             s.arm(); IsPathValid(path.c_str(), 1, 0); s.disarm(); return std::string("valid"); }},
        // The Variant engine
        {"BiXVariantCopy", [](Sweep &s) { Held src(bstr_variant("copied")); return into_variant(s, [&](VARIANT *r) { checked(s, BiXVariantCopy(r, &src.v)); }); }},
        {"BiXVariantCopyInd", [](Sweep &s) {
             Held inner(bstr_variant("by reference")); VARIANT ref; VariantInit(&ref);
             ref.vt = VT_BYREF | VT_VARIANT; ref.pvarVal = &inner.v;
             return into_variant(s, [&](VARIANT *r) { checked(s, BiXVariantCopyInd(r, &ref)); }); }},
        {"ZbiVariantCopyNoClear_", [](Sweep &s) { Held src(bstr_variant("copied")); return into_variant(s, [&](VARIANT *r) { checked(s, ZbiVariantCopyNoClear_(r, &src.v)); }); }},
        {"VariantCopy", [](Sweep &s) { Held src(bstr_variant("copied")); return into_variant(s, [&](VARIANT *r) { checked(s, VariantCopy(r, &src.v)); }); }},
        {"VariantCopyInd", [](Sweep &s) { Held src(bstr_variant("copied")); return into_variant(s, [&](VARIANT *r) { checked(s, VariantCopyInd(r, &src.v)); }); }},
        {"ZbiVariantCvtToBStr", [](Sweep &s) { Held src(r8(-0.125)); return into_variant(s, [&](VARIANT *r) { ZbiVariantCvtToBStr(r, &src.v); }); }},
        {"ZbiVariantCvtToDate", [](Sweep &s) { Held src(bstr_variant("1996-12-25 10:30")); return into_variant(s, [&](VARIANT *r) { ZbiVariantCvtToDate(r, &src.v, 0, 0); }); }},
        {"ZbiVariantCvtToVariant", [](Sweep &s) { Borrowed text("held"); BiString b = text.get(); return into_variant(s, [&](VARIANT *r) { ZbiVariantCvtToVariant(r, &b, BI_TYPE_STRING); }); }},
        {"ZbiVariantCvtFromVariant", [](Sweep &s) {
             Held src(r8(7.5)); BiString out{}; s.arm(); ZbiVariantCvtFromVariant(&out, BI_TYPE_STRING, &src.v); s.disarm();
             return take(out); }},
        {"ZbiVariantChangeTypeAndTrap", [](Sweep &s) { Held src(date(35424.5)); return into_variant(s, [&](VARIANT *r) { ZbiVariantChangeTypeAndTrap(r, &src.v, VT_BSTR); }); }},
        {"VariantChangeType", [](Sweep &s) { Held src(cy(123456)); return into_variant(s, [&](VARIANT *r) { checked(s, VariantChangeType(r, &src.v, 0, VT_BSTR)); }); }},
        {"BiVariantBinOpTable", [](Sweep &s) { // + of two strings joins them
             // The right operand is longer than the room the allocator may leave after the left
             // one's text (a 32-bit allocator leaves more), so the join has to allocate.
             Held a(bstr_variant("total ")), b(bstr_variant("12.5 units and more units"));
             int cell = (BI_OP_ADD * BI_VARIANT_SUBTYPE_COUNT + VT_BSTR) * BI_VARIANT_SUBTYPE_COUNT + VT_BSTR;
             return into_variant(s, [&](VARIANT *r) { BiVariantBinOpTable[cell](BI_OP_ADD, r, &a.v, &b.v); }); }},
        {"ZbiBuiltIn_IsDate", [](Sweep &s) { VARIANT v = bstr_variant("12-25-1996 23:59"); s.arm(); int16_t r = ZbiBuiltIn_IsDate(v); s.disarm(); return std::to_string(r); }},
        {"ZbiBuiltIn_Partition", [](Sweep &s) { return into_variant(s, [](VARIANT *r) { ZbiBuiltIn_Partition(r, i4(267), i4(0), i4(1000), i4(50)); }); }},
        {"ZbiCvtBooleanToString", [](Sweep &s) { return string_result(s, [] { return ZbiCvtBooleanToString(kTrue); }); }},
        // Numeric core
        {"ZbiCvtCurNumStr", [](Sweep &s) { return string_result(s, [] { return ZbiCvtCurNumStr(ZbiCvtDblCurNum(-1234.5678), 10); }); }},
        // File I/O
        {"ZbiBuiltIn_Open", [](Sweep &s) {
             BiString name = temp("sweep.txt"); s.arm();
             ZbiBuiltIn_Open(name, BI_FILE_MODE_OUTPUT, 0, 0, 1, -1); s.disarm();
             std::string r = std::to_string(ZbiBuiltIn_FreeFile()); ZbiBuiltIn_Reset(); return r; },
         BI_TRAP_PATH_FILE_ACCESS}, // the copy of the full path
        {"ZbiBuiltIn_CvtPSNS", [](Sweep &s) { return on_text(s, "-5", ZbiBuiltIn_CvtPSNS); }},
        {"ZbiBuiltIn_CvtPSVS", [](Sweep &s) { VARIANT v = r8(-5.5); return string_result(s, [&] { return ZbiBuiltIn_CvtPSVS(v); }); }},
        {"ZbiBuiltIn_CvtPVS", [](Sweep &s) { VARIANT v = date(35424.25); return string_result(s, [&] { return ZbiBuiltIn_CvtPVS(v); }); }},
        {"ZbiBuiltIn_Input", [](Sweep &s) {
             return reading(s, "\"first, text\",12.5,#1996-12-25#\r\n", [] {
                 Held v; StringVariable text; double d = 0;
                 ZbiBuiltIn_Input(1, 3, BI_TYPE_STRING, &text.s, BI_TYPE_DOUBLE, &d, BI_TYPE_VARIANT, &v.v);
                 return text.text() + "|" + number(d) + "|" + show(v.v); }); }},
        {"ZbiBuiltIn_LineInput", [](Sweep &s) {
             return reading(s, std::string(300, 'x') + "\r\nnext\r\n", [] {
                 StringVariable line; ZbiBuiltIn_LineInput(1, BI_TYPE_STRING, 0, &line.s);
                 Held v; ZbiBuiltIn_LineInput(1, BI_TYPE_VARIANT, 0, &v.v);
                 return line.text() + "|" + show(v.v); }); }},
        {"ZbiBuiltIn_Input_", [](Sweep &s) { return reading(s, "abcdef", [] { return take(ZbiBuiltIn_Input_(4, 1)); }); }},
        {"ZbiBuiltIn_InputC_", [](Sweep &s) { return reading(s, "abcdef", [] { return take(ZbiBuiltIn_InputC_(4, 1)); }); }},
        {"ZbiPushFileIORuntimeState", [](Sweep &s) {
             open_file("sweep.txt", BI_FILE_MODE_OUTPUT, 1);
             s.arm(); int32_t r = ZbiPushFileIORuntimeState(); s.disarm();
             if (r == 0) ZbiPopFileIORuntimeState();
             std::string open = std::to_string(ZbiBuiltIn_FileAttr(1, 1)); ZbiBuiltIn_Reset();
             return std::to_string(r) + ":" + open; }},
        {"ZbiPushRuntimeEnvironment", [](Sweep &s) {
             s.arm(); int32_t r = ZbiPushRuntimeEnvironment(); s.disarm();
             if (r == 0) ZbiPopRuntimeEnvironment();
             return std::to_string(r); }},
        // Random and Binary files, the file system
        {"ZbiBuiltIn_FileCopy", [](Sweep &s) {
             make_file("from.txt", "copied bytes"); std::filesystem::remove("copy.txt");
             BiString a = temp("from.txt"), b = temp("copy.txt");
             s.arm(); ZbiBuiltIn_FileCopy(a, b); s.disarm(); return file_bytes("copy.txt"); },
         BI_TRAP_PATH_FILE_ACCESS}, // the copies of the full paths, as Open
        {"ZbiBuiltIn_GetAttr", [](Sweep &s) { make_file("sized.txt", "12345"); BiString n = temp("sized.txt"); s.arm(); int16_t r = ZbiBuiltIn_GetAttr(n); s.disarm(); return std::to_string(r); }},
        {"ZbiBuiltIn_ChDir", [](Sweep &s) { BiString d = temp("."); s.arm(); ZbiBuiltIn_ChDir(d); s.disarm(); return std::string("here"); }},
        {"ZbiBuiltIn_MkDir", [](Sweep &s) {
             std::filesystem::remove("made"); BiString d = temp("made");
             s.arm(); ZbiBuiltIn_MkDir(d); s.disarm(); return std::to_string(std::filesystem::is_directory("made")); }},
        {"ZbiBuiltIn_RmDir", [](Sweep &s) {
             std::filesystem::create_directory("gone"); BiString d = temp("gone");
             s.arm(); ZbiBuiltIn_RmDir(d); s.disarm(); return std::to_string(std::filesystem::exists("gone")); }},
        {"ZbiBuiltIn_CurDir_", [](Sweep &s) { return on_text(s, "C", ZbiBuiltIn_CurDir_).substr(0, 2); }},
        {"ZbiBuiltIn_Dir_", [](Sweep &s) {
             make_file("listed.lst", "x"); BiString p = temp("*.lst");
             return string_result(s, [&] { return ZbiBuiltIn_Dir_(p, 0, 0); }); }},
        {"ZbiBuiltIn_Kill", [](Sweep &s) {
             make_file("k1.tmp", "1"); make_file("k2.tmp", "2"); BiString p = temp("k?.tmp");
             s.arm(); ZbiBuiltIn_Kill(p); s.disarm();
             return std::to_string(std::filesystem::exists("k1.tmp")) + std::to_string(std::filesystem::exists("k2.tmp")); }},
        {"ZbiBuiltIn_MBKill", [](Sweep &s) {
             make_file("m1.tmp", "1"); make_file("m2.tmp", "2"); BiString p = temp("m*.tmp");
             s.arm(); ZbiBuiltIn_MBKill(p); s.disarm();
             return std::to_string(std::filesystem::exists("m1.tmp")) + std::to_string(std::filesystem::exists("m2.tmp")); }},
        // Format
        {"ZbiBuiltIn_Format_", [](Sweep &s) { double d = 1234.5; BiString f = temp("#,##0.00;(#,##0.00)"); return string_result(s, [&] { return ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &d, f); }); }},
        // Dates and times
        {"ZbiBuiltIn_Day", [](Sweep &s) { VARIANT d = bstr_variant("12/25/96"); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_Day(r, d); }); }},
        {"ZbiBuiltIn_Month", [](Sweep &s) { VARIANT d = bstr_variant("12/25/96"); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_Month(r, d); }); }},
        {"ZbiBuiltIn_Year", [](Sweep &s) { VARIANT d = bstr_variant("12/25/96"); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_Year(r, d); }); }},
        {"ZbiBuiltIn_WeekDay", [](Sweep &s) { VARIANT d = bstr_variant("12/25/96"); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_WeekDay(r, d); }); }},
        {"ZbiBuiltIn_Hour", [](Sweep &s) { VARIANT d = bstr_variant("10:30:15"); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_Hour(r, d); }); }},
        {"ZbiBuiltIn_Minute", [](Sweep &s) { VARIANT d = bstr_variant("10:30:15"); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_Minute(r, d); }); }},
        {"ZbiBuiltIn_Second", [](Sweep &s) { VARIANT d = bstr_variant("10:30:15"); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_Second(r, d); }); }},
        {"ZbiBuiltIn_DateAdd", [](Sweep &s) { BiString i = temp("m"); VARIANT d = bstr_variant("1/31/96"); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_DateAdd(r, i, 1, d); }); }},
        {"ZbiBuiltIn_DateDiff", [](Sweep &s) {
             BiString i = temp("ww"); VARIANT a = bstr_variant("1/1/96"), b = bstr_variant("12/25/96");
             return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_DateDiff(r, i, a, b); }); }},
        {"ZbiBuiltIn_DatePart", [](Sweep &s) { BiString i = temp("q"); VARIANT d = bstr_variant("12/25/96"); return into_variant(s, [&](VARIANT *r) { ZbiBuiltIn_DatePart(r, i, d); }); }},
    };
    return table;
}

// Exports outside the sweep, by group: they make no allocation of their own, or report a lack
// of memory by their result instead of trap 7.
const std::set<std::string> &not_swept() {
    static const std::set<std::string> names = {
        // Lifecycle, traps and clocks: no heap block is made on behalf of the caller.
        "ZbiInitBasicRTL", "ZbiTermBasicRTL", "ZbiCvtHResultToTrapNo", "ZbiBuiltIn_CVErr",
        "ZbiBuiltIn_Assert", "ZbiGetThreadStackBase", "ZbiGetTimeInMillisecond",
        "ZkWriteStringToOutputWindow", "ZbiReset_Rtl", "ZbiPopRuntimeEnvironment",
        // The dialogs: the host's dialog hooks make the answer.
        "ZbiBuiltIn_MsgBox", "ZbiBuiltIn_InputBox_",
        // Freeing, measuring and copying of what the caller already holds.
        "ZbiFreeBiString", "ZbiStrCharLen", "ZbiStrByteLen", "ZbiCharLen", "CountLetter",
        "ZbiFreeArrayData", "ZbiClearArray", "ZbiCopyArrayData", "ZbiArrayElementAddr",
        "BiXVariantClear", "VariantInit", "VariantClear", "SysFreeString", "SysStringLen",
        "ZbiBuiltIn_IsEmpty", "ZbiBuiltIn_IsNull", "ZbiBuiltIn_IsError",
        // Never traps: a text it cannot convert for lack of memory is not numeric.
        "ZbiBuiltIn_IsNumeric",
        // Cuts a path in place.
        "RemoveFileNameFromPath",
        // Start programs or talk to the display, which the desktop suites run out of memory.
        "ZbiBuiltIn_Shell", "ZbiRunProgram", "ZbiBuiltIn_AppActivate", "ZbiAppActivate",
        "ZbiBuiltIn_Beep", "ZbiBuiltIn_SendKeys", "ZbiSendKeys",
        // Data: the command line the host writes.
        "BiBuiltInVar_Command_",
        // Copy, match or strip bytes in place (the Variant and double-byte forms are swept).
        "ZbiBuiltIn_LSetRec", "ZbiStripOutFormatChars", "ZbiBuiltIn_MidBStmt_", "ZbiBuiltIn_LSet",
        "ZbiBuiltIn_RSet", "ZbiMatchPattern",
        // Read the text they are given in place.
        "ZbiBuiltIn_Val", "ZbiVariantCvtToNum", "BiVariantCvtStrToNum", "BiVariantCvtToDouble",
        "BiVariantCvtToInteger", "ZbiVariantIsZero", "ZbiVariantDoDiv", "ZbiVariantDoIDiv",
        "ZbiVariantDoMod", "ZbiVariantDoExp", "ZbiVariantDoInt", "ZbiVariantDoFix",
        "ZbiVariantDoCInt", "BiVariantUnOpTable",
        // Move the chosen Variant into the result.
        "ZbiBuiltIn_IIf", "ZbiBuiltIn_Choose", "BiBuiltIn_Switch",
        // The host library's allocators and text helpers, the OLE string allocators and the
        // four code page conversions report a lack of memory by a null result, which is their
        // contract (their suites test it), not by trap 7.
        "ZrMalloc", "ZrFree", "ZrCalloc", "ZrRealloc", "ZrMemAlloc", "ZrMemCalloc", "ZrMemRealloc",
        "ZrSprintf", "ZrSnprintf", "ZrFprintf", "ZrStrCopy", "ZrStrLen", "ZrStrCharLen", "ZrStrCmp",
        "ZrStrICmp", "ZrStrColl", "ZrStrNIEqual", "ZrStrChr", "ZrStrRChr", "ZrStrPBrk",
        "ZrCharToWide", "ZrCreateWideFromChar", "ZrWideToChar", "ZrCreateCharFromWide",
        "ZrPatternMemSet", "ZrGetIntStrProc", "brtl_set_int_str_proc", "ZrFileCreate", "ZrFileOpen",
        "ZrFileClose", "ZrFileStream", "ZosExit", "ZkMsgDialog", "ZkSelDialog", "brtl_set_dialogs",
        "ZkLeft", "ZkTop", "ZkWidth", "ZkHeight", "ZrErrorList", "SysAllocString",
        "SysAllocStringLen", "ZbiCharToWide", "ZbiCharToOle", "ZbiWideToChar", "ZbiOleToChar",
        // Settings read once per process into lasting caches (tested in a fresh process).
        "brtl_setlocale", "brtl_getlocale", "brtl_set_profile_path", "ZrIntlGetTimeSeperator",
        "ZrIntlGetDateSeperator", "ZrIntlGetLongDateString", "ZrIntlGetDateString",
        "ZrIntlGetTimeFomat", "ZrIntlGetDateOrdering", "ZrIntlGetThousandSeperator",
        "ZrIntlGetDecimalSeperator", "ZrIntlIsTLZero", "ZrIntlGetCodePageName", "brtl_english_text",
        // 64-bit, Currency and overflow-checked arithmetic on values.
        "ZbiCmp64", "ZbiNeg64", "ZbiAdd64", "ZbiSub64", "ZbiMul64", "MUL128", "ZbiDiv64",
        "ZbiDiv128", "ZbiNegCurNum", "ZbiAddCurNum", "ZbiSubCurNum", "ZbiMulCurNum", "ZbiDivCurNum",
        "ZbiModCurNum", "ZbiModfCurNum", "ZbiCmpCurNum", "ZbiAbsCurNum", "ZbiSgnCurNum",
        "ZbiNotCurNum", "ZbiAndCurNum", "ZbiOrCurNum", "ZbiXorCurNum", "ZbiEqvCurNum",
        "ZbiImpCurNum", "BiRoundCurNum", "ZbiCvtLngCurNum", "ZbiCvtDblCurNum", "ZbiCvtStrCurNum",
        "ZbiCvtCurNumShort", "ZbiCvtCurNumInt", "ZbiCvtCurNumLng", "ZbiCvtCurNumDbl",
        "ZbiCvtCurNumSng", "ZbiOvfAddShorts", "ZbiOvfSubShorts", "ZbiOvfMulShorts", "ZbiOvfAddInts",
        "ZbiOvfSubInts", "ZbiOvfMulInts", "ZbiOvfAddLongs", "ZbiOvfSubLongs", "ZbiOvfMulLongs",
        "ZbiOvfAddFloats", "ZbiOvfSubFloats", "ZbiOvfMulFloats", "ZbiOvfDivFloats",
        "ZbiOvfAddDoubles", "ZbiOvfSubDoubles", "ZbiOvfMulDoubles", "ZbiOvfDivDoubles",
        "ZbiOvfMul64bits", "ZbiOvfAddCurrencies", "ZbiOvfNegCurrency", "ZbiOvfMulCurrencies",
        "ZbiOvfDivCurrencies", "ZbiImpLngNum", "ZbiFloatizeDouble", "ZbiDoubleRound", "ZbiDoExpD",
        "BiIsMathCoprocessorPresent",
        // The file table's bookkeeping on numbers already open (their suites sweep them).
        "ZbiBuiltIn_Close", "ZbiBuiltIn_Reset", "ZbiBuiltIn_FreeFile", "ZbiBuiltIn_FileAttr",
        "ZbiGetZrFile", "ZbiPopFileIORuntimeState", "ProcessFileError", "ZbiBuiltIn_Width",
        // Put and Get move the bytes of the caller's fields (a string field read into a new
        // block is swept by the I/O sweep); the names of these builtins go to the system from
        // bounded buffers of their own.
        "ZbiBuiltIn_Put", "ZbiBuiltIn_Get", "ZbiBuiltIn_FileLen", "ZbiBuiltIn_FileDateTime",
        "ZbiBuiltIn_SetAttr", "ZbiBuiltIn_Name", "ZbiBuiltIn_IsDir", "ZbiBuiltIn_ChDrive",
        // Positions and locks of a file already open.
        "ZbiBuiltIn_Loc", "ZbiBuiltIn_LOF", "ZbiBuiltIn_Seek", "ZbiBuiltIn_SeekStmt",
        "ZbiBuiltIn_Lock", "ZbiBuiltIn_Unlock",
        // Print # and Write # form each piece in a bounded buffer of their own and write it.
        "ZbiBuiltIn_Print", "ZbiBuiltIn_Write", "ZbiBuiltIn_EOF",
        // The date parser reads the bytes of its text in place.
        "ZbiParseDateAndTime", "ZbiBuiltIn_DateValue", "ZbiBuiltIn_TimeValue",
        // Set the system clock, which a test must not do; the conversion of their Variant is
        // the one swept for ZbiVariantCvtToDate.
        "ZbiBuiltIn_DateStmt", "ZbiBuiltIn_TimeStmt",
        // Clock and calendar values.
        "ZrIntlGetSystemDateTime", "ZrIntlSetSystemDate", "ZrIntlSetSystemTime", "ZbiValidDate",
        "ZbiBuiltIn_DateSerial", "ZbiBuiltIn_TimeSerial", "ZbiCvtCTimeToVariantDate",
        "ZbiBuiltIn_Now", "ZbiBuiltIn_Timer", "ZbiBuiltIn_Date", "ZbiBuiltIn_Time",
        "ZbiBuiltIn_Date_", "ZbiBuiltIn_Time_", "ZbiBuiltIn_DateStmt_", "ZbiBuiltIn_TimeStmt_",
        // Financial, math and random numbers on Doubles.
        "ZbiBuiltIn_FV", "ZbiBuiltIn_PV", "ZbiBuiltIn_Pmt", "ZbiBuiltIn_NPer", "ZbiBuiltIn_IPmt",
        "ZbiBuiltIn_PPmt", "ZbiBuiltIn_Rate", "ZbiBuiltIn_NPV", "ZbiBuiltIn_IRR", "ZbiBuiltIn_MIRR",
        "ZbiBuiltIn_SLN", "ZbiBuiltIn_SYD", "ZbiBuiltIn_DDB", "ZbiBuiltIn_Exp", "ZbiBuiltIn_Log",
        "ZbiBuiltIn_Sqr", "ZbiBuiltIn_Atn", "ZbiBuiltIn_Cos", "ZbiBuiltIn_Sin", "ZbiBuiltIn_Tan",
        "ZbiBuiltIn_Rnd", "ZbiBuiltIn_Randomize"};
    return names;
}

// The exported names of the version script.
std::vector<std::string> exported_names() {
    std::ifstream map(BRTL_EXPORT_MAP);
    std::vector<std::string> names;
    std::regex entry(R"(^\s*([A-Za-z_][A-Za-z0-9_]*);)");
    std::string line;
    std::smatch m;
    while (std::getline(map, line))
        if (std::regex_search(line, m, entry)) names.push_back(m[1]);
    return names;
}

struct Outcome {
    std::string result;
    std::vector<Trap> traps;
    bool thrown = false;
    bool reported = false;
    unsigned long allocations = 0;
    long leaked = 0;
    int descriptors = 0;
};

class AllocationSweepTest : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        setenv("BRTL_SWEEP", "a value of the environment", 1);
        host().texts[BI_TEXT_TRUE] = "True";
        host().texts[BI_TEXT_FALSE] = "False";
    }

    // One call of the row with the allocation after fail_at successes failing (-1: none).
    Outcome run(const Row &row, long fail_at, HookMode mode) {
        set_mode(mode);
        clear_traps();
        int fds = open_descriptors();
        BlockBalance balance;
        Sweep sweep(fail_at);
        Outcome o;
        try {
            o.result = row.call(sweep);
        } catch (const TrapException &) {
            o.thrown = true;
        }
        sweep.disarm();
        set_mode(HookMode::Return);
        o.traps = traps();
        clear_traps();
        ZbiBuiltIn_Reset(); // a call left by a throwing hook leaves its file open
        o.allocations = sweep.used();
        o.reported = sweep.reported();
        o.leaked = balance.delta();
        o.descriptors = open_descriptors() - fds;
        clear_traps();
        return o;
    }
};

TEST_F(AllocationSweepTest, EveryExportHasARowOrMakesNoAllocation) {
    std::set<std::string> swept;
    for (const Row &row : rows()) {
        EXPECT_TRUE(swept.insert(row.name).second) << row.name << " has two rows";
        EXPECT_FALSE(not_swept().count(row.name)) << row.name << " is in both lists";
    }
    std::vector<std::string> exports = exported_names();
    ASSERT_GT(exports.size(), 200u);
    std::set<std::string> exported(exports.begin(), exports.end());
    for (const std::string &name : exports)
        EXPECT_TRUE(swept.count(name) || not_swept().count(name))
            << name
            << ": add a row to the sweep, or list it among the exports that do not allocate";
    for (const std::string &name : swept)
        EXPECT_TRUE(exported.count(name)) << name << " is not exported";
}

TEST_F(AllocationSweepTest, EveryFailurePointTrapsOrSurvivesAndLeavesTheLibraryUsable) {
    unsigned long points = 0;
    for (const Row &row : rows()) {
        SCOPED_TRACE(row.name);
        run(row, -1, HookMode::Return); // fills what the library caches on first use
        const Outcome reference = run(row, -1, HookMode::Return);
        ASSERT_TRUE(reference.traps.empty()) << "the call itself traps: " << reference.traps[0];
        ASSERT_EQ(reference.leaked, 0);
        EXPECT_GT(reference.allocations, 0u) << "the row reaches no allocation";
        for (long k = 0; k <= static_cast<long>(reference.allocations); ++k) {
            for (HookMode mode : {HookMode::Return, HookMode::Throw}) {
                SCOPED_TRACE("failing allocation " + std::to_string(k + 1) +
                             (mode == HookMode::Throw ? ", throwing hook" : ", returning hook"));
                Outcome o = run(row, k, mode);
                ++points;
                EXPECT_EQ(o.leaked, 0);
                EXPECT_EQ(o.descriptors, 0);
                if (o.traps.empty()) {
                    EXPECT_FALSE(o.thrown);
                    if (!o.reported) {
                        EXPECT_EQ(o.result, reference.result) << "survived with another result";
                    }
                } else {
                    // Out of memory, or out of string space where a string could not be made.
                    ASSERT_EQ(o.traps.size(), 1u) << o.traps[0] << " then " << o.traps[1];
                    // (a system call that runs out of memory reports 7 through the file hook)
                    int32_t trap = o.traps[0].number;
                    EXPECT_TRUE(trap == BI_TRAP_OUT_OF_MEMORY ||
                                trap == BI_TRAP_OUT_OF_STRING_SPACE || trap == row.own_trap)
                        << o.traps[0];
                    EXPECT_EQ(o.thrown, mode == HookMode::Throw);
                }
                Outcome next = run(row, -1, HookMode::Return);
                EXPECT_TRUE(next.traps.empty());
                EXPECT_EQ(next.result, reference.result) << "the next call differs";
            }
        }
    }
    std::cout << "[ sweep    ] " << rows().size() << " calls, " << points << " failure points\n";
}

} // namespace
} // namespace brtl_test
