// The file statements: Open, Close, Reset, Print #, Write #, Input #, Line Input #, Width #, and
// the random and binary access statements Put, Get, Seek, Lock and Unlock.
#include <map>

#include "interp.h"

namespace brtl_host {
namespace {

constexpr int16_t kNoRecordLength = -1;

int16_t number_of(Interp &in, const StmtArg &a) {
    if (!a.expr) throw HostError{"file number expected"};
    return to_i16(in.eval(*a.expr));
}

int16_t word_code(const std::map<std::string, int16_t> &codes, const std::string &word,
                  const char *what) {
    auto it = codes.find(word);
    if (it == codes.end()) throw HostError{std::string("unknown ") + what + " " + word};
    return it->second;
}

void open(Interp &in, const Stmt &s) {
    static const std::map<std::string, int16_t> modes = {{"INPUT", BI_FILE_MODE_INPUT},
                                                         {"OUTPUT", BI_FILE_MODE_OUTPUT},
                                                         {"RANDOM", BI_FILE_MODE_RANDOM},
                                                         {"APPEND", BI_FILE_MODE_APPEND},
                                                         {"BINARY", BI_FILE_MODE_BINARY}};
    static const std::map<std::string, int16_t> accesses = {
        {"", BI_FILE_ACCESS_DEFAULT},
        {"READ", BI_FILE_ACCESS_READ},
        {"WRITE", BI_FILE_ACCESS_WRITE},
        {"READ WRITE", BI_FILE_ACCESS_READ_WRITE}};
    static const std::map<std::string, int16_t> locks = {{"", BI_FILE_LOCK_DEFAULT},
                                                         {"SHARED", BI_FILE_LOCK_SHARED},
                                                         {"READ", BI_FILE_LOCK_READ},
                                                         {"WRITE", BI_FILE_LOCK_WRITE},
                                                         {"READ WRITE", BI_FILE_LOCK_READ_WRITE}};
    int16_t mode = word_code(modes, s.words[0], "file mode");
    int16_t access = word_code(accesses, s.words[1], "access");
    int16_t lock = word_code(locks, s.words[2], "lock");
    int16_t number = number_of(in, s.args[1]);
    int16_t length = s.args.size() > 2 ? number_of(in, s.args[2]) : kNoRecordLength;
    OwnedBiString name(to_bistring(in.eval(*s.args[0].expr)));
    ZbiBuiltIn_Open(name.release(), mode, access, lock, number, length);
}

void close(Interp &in, const Stmt &s) {
    std::vector<int16_t> numbers;
    for (const StmtArg &a : s.args)
        numbers.push_back(number_of(in, a));
    ZbiBuiltIn_Close(static_cast<int32_t>(numbers.size()), numbers.data());
}

void reset(Interp &, const Stmt &) {
    ZbiBuiltIn_Reset();
}

// Print #: one library call per item, so that each text is handed over as soon as it is formed.
void print_file(Interp &in, const Stmt &s) {
    int16_t n = number_of(in, s.args[0]);
    for (const PrintItem &item : s.items) {
        switch (item.kind) {
        case PrintItem::Kind::Comma:
            ZbiBuiltIn_Print(n, 1, int{BI_PRINT_COMMA});
            break;
        case PrintItem::Kind::Spc:
            ZbiBuiltIn_Print(n, 2, int{BI_PRINT_SPC}, int{to_i16(in.eval(*item.expr))});
            break;
        case PrintItem::Kind::Tab:
            ZbiBuiltIn_Print(n, 2, int{BI_PRINT_TAB}, int{to_i16(in.eval(*item.expr))});
            break;
        case PrintItem::Kind::Value: {
            Value v = in.eval(*item.expr);
            if (v.is_array()) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
            ZbiBuiltIn_Print(n, 2, int{BI_PRINT_TEXT}, ZbiBuiltIn_CvtPSVS(v.release()));
            break;
        }
        }
    }
    if (!s.open_end) ZbiBuiltIn_Print(n, 1, int{BI_PRINT_END_OF_LINE});
}

// Write #: every item as a Variant; the statement consumes them.
void write(Interp &in, const Stmt &s) {
    int16_t n = number_of(in, s.args[0]);
    std::vector<Value> values;
    for (size_t i = 1; i < s.args.size(); ++i) {
        if (!s.args[i].expr) continue;
        values.push_back(in.eval(*s.args[i].expr));
        if (values.back().is_array()) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
    }
    static const int16_t variant_code = BI_TYPE_VARIANT;
    std::vector<VARIANT> owned(values.size());
    std::vector<void *> items;
    for (size_t i = 0; i < values.size(); ++i) {
        owned[i] = values[i].release();
        items.push_back(const_cast<int16_t *>(&variant_code));
        items.push_back(&owned[i]);
    }
    ZbiBuiltIn_Write(n, static_cast<int32_t>(values.size()), items.data());
}

const Expr &target_of(const StmtArg &a) {
    if (!a.expr || a.expr->kind != Expr::Kind::Name || a.expr->parens)
        throw HostError{"variable expected"};
    return *a.expr;
}

// Input #: one field per variable, read as a Variant and stored with the variable's type.
void input(Interp &in, const Stmt &s) {
    int16_t n = number_of(in, s.args[0]);
    for (size_t i = 1; i < s.args.size(); ++i) {
        const Expr &target = target_of(s.args[i]);
        Value field;
        ZbiBuiltIn_Input(n, 1, int{BI_TYPE_VARIANT}, field.get());
        in.assign(target, std::move(field));
    }
}

void line_input(Interp &in, const Stmt &s) {
    if (s.args.size() != 2) throw HostError{"Line Input #n, variable expected"};
    int16_t n = number_of(in, s.args[0]);
    const Expr &target = target_of(s.args[1]);
    Value line;
    ZbiBuiltIn_LineInput(n, BI_TYPE_VARIANT, 0, line.get());
    in.assign(target, std::move(line));
}

void width(Interp &in, const Stmt &s) {
    if (s.args.size() != 2) throw HostError{"Width #n, width expected"};
    int16_t n = number_of(in, s.args[0]);
    ZbiBuiltIn_Width(n, to_i32(in.eval(*s.args[1].expr)));
}

// ---- Random and binary access ------------------------------------------------------------

// A string variable of the library for a Put or Get field: a buffer of its own (Get may give it
// a new one), freed at the end of the statement.
class StringField {
  public:
    explicit StringField(const Value &v) : s_(to_bistring(v)) {
        s_.length_word &= BI_STRING_LENGTH_MASK;
    }
    StringField(const StringField &) = delete;
    StringField &operator=(const StringField &) = delete;
    ~StringField() {
        if (BiStringLength(s_) != 0) ZbiFreeBiString(s_);
    }
    BiString *get() { return &s_; }
    std::string text() const { return std::string(s_.data, BiStringLength(s_)); }

  private:
    BiString s_;
};

// The field kind and size of a typed numeric variable (kind 0 for a Variant or a string).
BiFileField numeric_field(char suffix, VARIANT &v) {
    switch (suffix) {
    case '%':
        return {BI_TYPE_INTEGER, &v.iVal, sizeof v.iVal};
    case '&':
        return {BI_TYPE_LONG, &v.lVal, sizeof v.lVal};
    case '!':
        return {BI_TYPE_SINGLE, &v.fltVal, sizeof v.fltVal};
    case '#':
        return {BI_TYPE_DOUBLE, &v.dblVal, sizeof v.dblVal};
    case '@':
        return {BI_TYPE_CURRENCY, &v.cyVal, sizeof v.cyVal};
    default:
        return {0, nullptr, 0};
    }
}

using Transfer = void (*)(int16_t, int32_t, int32_t, const BiFileFieldList *);

// Put #n, [position], value and Get #n, [position], variable: one field, laid out by the
// variable's type: a string variable ($) as a string, a typed number as its bytes, anything
// else as a Variant.
void transfer(Interp &in, const Stmt &s, Transfer f, bool reading) {
    if (s.args.size() != 3 || !s.args[2].expr || s.args[1].before != "," || s.args[2].before != ",")
        throw HostError{reading ? "Get #n, [position], variable expected"
                                : "Put #n, [position], value expected"};
    int16_t n = number_of(in, s.args[0]);
    bool given = s.args[1].expr != nullptr;
    int32_t position = given ? to_i32(in.eval(*s.args[1].expr)) : 0;
    const Expr &e = *s.args[2].expr;
    bool variable = e.kind == Expr::Kind::Name && !e.parens;
    if (reading) target_of(s.args[2]);
    BiFileFieldList list{1, {}};
    BiFileField &field = list.fields[0];
    if (variable && e.suffix == '$') {
        StringField text(in.variable(e)); // Binary Get reads as many bytes as it holds
        field = {BI_TYPE_STRING, text.get(), 0};
        f(n, position, given ? 1 : 0, &list);
        if (reading) in.assign(e, from_text(text.text()));
        return;
    }
    Value v = reading ? Value() : in.eval(e);
    if (v.is_array()) throw BasicTrap{BI_TRAP_TYPE_MISMATCH};
    if (variable && type_of_suffix(e.suffix) != VT_EMPTY) {
        v = change_type(reading ? in.variable(e) : v, type_of_suffix(e.suffix));
        field = numeric_field(e.suffix, *v.get());
    } else {
        field = {BI_TYPE_VARIANT, v.get(), sizeof(VARIANT)};
    }
    f(n, position, given ? 1 : 0, &list);
    if (reading) in.assign(e, std::move(v));
}

void put(Interp &in, const Stmt &s) {
    transfer(in, s, ZbiBuiltIn_Put, false);
}
void get(Interp &in, const Stmt &s) {
    transfer(in, s, ZbiBuiltIn_Get, true);
}

void seek(Interp &in, const Stmt &s) {
    if (s.args.size() != 2 || !s.args[1].expr || s.args[1].before != ",")
        throw HostError{"Seek #n, position expected"};
    int16_t n = number_of(in, s.args[0]);
    ZbiBuiltIn_SeekStmt(n, to_i32(in.eval(*s.args[1].expr)));
}

// Lock #n (the whole file), Lock #n, record, Lock #n, [first] To last (first defaults to 1);
// Unlock takes the same forms.
template <void (*F)(int16_t, int32_t, int32_t, int16_t)> void lock(Interp &in, const Stmt &s) {
    const char *form = "Lock #n[, record | [first] To last] expected";
    if (s.args.empty()) throw HostError{form};
    int16_t n = number_of(in, s.args[0]);
    if (s.args.size() == 1) return F(n, 0, 0, 0);
    if (s.args[1].before != "," || s.args.size() > 3) throw HostError{form};
    if (s.args.size() == 2) {
        if (!s.args[1].expr) throw HostError{form};
        return F(n, to_i32(in.eval(*s.args[1].expr)), 0, 1);
    }
    if (s.args[2].before != "To" || !s.args[2].expr) throw HostError{form};
    int32_t first = s.args[1].expr ? to_i32(in.eval(*s.args[1].expr)) : 1;
    F(n, first, to_i32(in.eval(*s.args[2].expr)), 2);
}

} // namespace

const StatementTable &file_statements() {
    static const StatementTable rows = {
        {"Open", "ZbiBuiltIn_Open", Shape::Open, open},
        {"Close", "ZbiBuiltIn_Close", Shape::Args, close},
        {"Reset", "ZbiBuiltIn_Reset", Shape::Args, reset},
        {"Print #", "ZbiBuiltIn_Print", Shape::PrintList, print_file},
        {"Write", "ZbiBuiltIn_Write", Shape::Args, write},
        {"Input", "ZbiBuiltIn_Input", Shape::Args, input},
        {"Line Input", "ZbiBuiltIn_LineInput", Shape::Args, line_input},
        {"Width", "ZbiBuiltIn_Width", Shape::Args, width},
        {"Put", "ZbiBuiltIn_Put", Shape::Args, put},
        {"Get", "ZbiBuiltIn_Get", Shape::Args, get},
        {"Seek", "ZbiBuiltIn_SeekStmt", Shape::Args, seek},
        {"Lock", "ZbiBuiltIn_Lock", Shape::Args, lock<ZbiBuiltIn_Lock>},
        {"Unlock", "ZbiBuiltIn_Unlock", Shape::Args, lock<ZbiBuiltIn_Unlock>},
    };
    return rows;
}

} // namespace brtl_host
