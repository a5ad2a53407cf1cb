// Print, Debug.Print, and the library statements: files, the file system, the clock, the string
// statements, Randomize, SendKeys and the rest.
#include <map>

#include "checker.h"
#include "lexer.h"
#include "services/language.h"

namespace brtl::basic {

namespace {

int16_t word_code(const std::map<std::string, int16_t> &codes, const std::string &word,
                  const char *what, Checker &c, Pos pos) {
    auto it = codes.find(word);
    if (it == codes.end()) c.fail(pos, std::string("unknown ") + what + ": " + word);
    return it->second;
}

} // namespace

Val Checker::file_number(const Argument &a, Pos pos) {
    if (!a.expr) fail(pos, "file number expected");
    return coerce(expr(*a.expr), Kind::Integer);
}

// ---- Print -------------------------------------------------------------------------------------

void Checker::print_statement(const Stmt &s) {
    bool file = s.hash;
    Val number = file ? coerce(expr(*s.value), Kind::Integer) : Val{};
    bool open_end = false;
    for (const PrintItem &item : s.items) {
        open_end = item.kind == PrintItem::Kind::Semicolon || item.kind == PrintItem::Kind::Comma;
        switch (item.kind) {
        case PrintItem::Kind::Semicolon:
            break;
        case PrintItem::Kind::Comma:
            emit(file ? Op::FilePrintComma : Op::PrintComma, 0, {}, number.loc);
            break;
        case PrintItem::Kind::Spc:
        case PrintItem::Kind::Tab: {
            Val n = coerce(expr(*item.expr), Kind::Long);
            bool spc = item.kind == PrintItem::Kind::Spc;
            if (file)
                emit(spc ? Op::FilePrintSpc : Op::FilePrintTab, 0, {}, number.loc, n.loc);
            else
                emit(spc ? Op::PrintSpc : Op::PrintTab, 0, {}, n.loc);
            break;
        }
        case PrintItem::Kind::Value: {
            Val v = expr(*item.expr);
            if (v.kind == Kind::Record) fail(item.expr->pos, "a record cannot be printed");
            if (v.kind == Kind::Variant) v = owned(v);
            if (file) {
                emit(Op::FilePrintItem, static_cast<uint8_t>(v.kind), {}, number.loc, v.loc);
                if (v.temp) last().f = kTempB;
            } else {
                emit(Op::PrintItem, static_cast<uint8_t>(v.kind), {}, v.loc);
                if (v.temp) last().f = kTempA;
            }
            break;
        }
        }
    }
    if (!open_end) emit(file ? Op::FilePrintEnd : Op::PrintEnd, 0, {}, number.loc);
}

// ---- Library statements
// --------------------------------------------------------------------------

void Checker::library_statement(const Stmt &s) {
    const std::string &w = s.name;
    auto count = [&](size_t lo, size_t hi, const char *form) {
        if (s.args.size() < lo || s.args.size() > hi) fail(s.pos, std::string(form) + " expected");
        for (size_t i = 0; i < s.args.size(); ++i) {
            if (i > 0 && s.words[i] != ",") fail(s.pos, std::string(form) + " expected");
            if (i > 0 && s.args[i].hash) fail(s.pos, std::string(form) + " expected");
        }
    };
    auto value = [&](size_t i, Kind k) {
        if (i >= s.args.size() || !s.args[i].expr) fail(s.pos, "argument expected");
        return coerce(expr(*s.args[i].expr), k);
    };
    if (w == "OPEN") return open_statement(s);
    if (w == "CLOSE") {
        uint32_t start = list_begin();
        std::vector<Val> numbers;
        for (const Argument &a : s.args)
            numbers.push_back(file_number(a, s.pos));
        for (const Val &v : numbers) {
            Arg arg;
            arg.loc = v.loc;
            arg.type = TypeRef{Kind::Integer, 0, nullptr};
            list_add(arg);
        }
        emit(Op::Close, 0, {}, {}, {}, start);
        last().n = static_cast<uint16_t>(numbers.size());
        return;
    }
    if (w == "RESET") {
        count(0, 0, "Reset");
        return call_fn(BRTL_CALLABLE(ZbiBuiltIn_Reset), {});
    }
    if (w == "WIDTH") {
        count(2, 2, "Width #n, width");
        return call_fn(BRTL_CALLABLE(ZbiBuiltIn_Width),
                       {file_number(s.args[0], s.pos), value(1, Kind::Long)});
    }
    if (w == "WRITE" || w == "INPUT" || w == "LINE INPUT" || w == "SEEK" || w == "LOCK" ||
        w == "UNLOCK")
        return file_statement(s);
    if (w == "PUT" || w == "GET") return put_get(s, w == "GET");
    if (w == "KILL" || w == "MKDIR" || w == "RMDIR" || w == "CHDIR" || w == "CHDRIVE") {
        count(1, 1, w.c_str());
        static const std::map<std::string, const Callable *> one = {
            {"KILL", &BRTL_CALLABLE(ZbiBuiltIn_Kill)},
            {"MKDIR", &BRTL_CALLABLE(ZbiBuiltIn_MkDir)},
            {"RMDIR", &BRTL_CALLABLE(ZbiBuiltIn_RmDir)},
            {"CHDIR", &BRTL_CALLABLE(ZbiBuiltIn_ChDir)},
            {"CHDRIVE", &BRTL_CALLABLE(ZbiBuiltIn_ChDrive)}};
        return call_fn(*one.at(w), {value(0, Kind::String)});
    }
    if (w == "NAME") {
        if (s.args.size() != 2 || s.words[1] != "AS") fail(s.pos, "Name old As new expected");
        Val a = value(0, Kind::String);
        return call_fn(BRTL_CALLABLE(ZbiBuiltIn_Name), {a, value(1, Kind::String)});
    }
    if (w == "FILECOPY") {
        count(2, 2, "FileCopy source, destination");
        Val a = value(0, Kind::String);
        return call_fn(BRTL_CALLABLE(ZbiBuiltIn_FileCopy), {a, value(1, Kind::String)});
    }
    if (w == "SETATTR") {
        count(2, 2, "SetAttr name, attributes");
        Val a = value(0, Kind::String);
        return call_fn(BRTL_CALLABLE(ZbiBuiltIn_SetAttr), {a, value(1, Kind::Integer)});
    }
    if (w == "RANDOMIZE") {
        count(0, 1, "Randomize [seed]");
        if (s.args.empty()) return call_fn(BRTL_CALLABLE(brtl::rt::randomize_timer), {});
        return call_fn(BRTL_CALLABLE(ZbiBuiltIn_Randomize), {value(0, Kind::Double)});
    }
    if (w == "BEEP") {
        count(0, 0, "Beep");
        return call_fn(BRTL_CALLABLE(ZbiBuiltIn_Beep), {});
    }
    if (w == "SENDKEYS" || w == "APPACTIVATE") {
        bool keys = w == "SENDKEYS";
        count(1, 2, keys ? "SendKeys keys[, wait]" : "AppActivate title[, wait]");
        Val text = value(0, Kind::String);
        Val wait = constant(Constant::long_(0));
        if (s.args.size() == 2) {
            Val c = expr(*s.args[1].expr);
            if (c.kind == Kind::Variant) c = owned(c);
            Loc d = temp_of(Kind::Integer);
            emit(Op::ToBool, static_cast<uint8_t>(c.kind), d, c.loc);
            if (c.temp) last().f = kTempA;
            wait = coerce(Val{Kind::Integer, d, false, std::nullopt, nullptr}, Kind::Long);
        }
        if (keys) return call_fn(BRTL_CALLABLE(ZbiBuiltIn_SendKeys), {text, wait});
        return call_fn(BRTL_CALLABLE(ZbiBuiltIn_AppActivate), {text});
    }
    if (w == "DATE" || w == "TIME") {
        Val v = to_var(expr(*s.value));
        return call_fn(w == "DATE" ? BRTL_CALLABLE(ZbiBuiltIn_DateStmt)
                                   : BRTL_CALLABLE(ZbiBuiltIn_TimeStmt),
                       {v});
    }
    if (w == "DATE$" || w == "TIME$") {
        Val v = to_str(expr(*s.value));
        return call_fn(w == "DATE$" ? BRTL_CALLABLE(ZbiBuiltIn_DateStmt_)
                                    : BRTL_CALLABLE(ZbiBuiltIn_TimeStmt_),
                       {v});
    }
    if (w == "DEBUG.ASSERT") {
        count(1, 1, "Debug.Assert condition");
        Val c = expr(*s.args[0].expr);
        if (c.kind == Kind::Variant) c = owned(c);
        if (c.kind == Kind::Record) fail(s.pos, "Type mismatch: a record is not a condition");
        Loc d = temp_of(Kind::Integer);
        emit(Op::ToBool, static_cast<uint8_t>(c.kind), d, c.loc);
        if (c.temp) last().f = kTempA;
        return call_fn(BRTL_CALLABLE(brtl::rt::debug_assert),
                       {Val{Kind::Integer, d, false, std::nullopt, nullptr},
                        constant(Constant::string(module().file)),
                        constant(Constant::long_(s.pos.line))});
    }
    if (w == "DEBUG.PRINT") {
        // The items' texts joined: numbers with the place of their sign, a comma a tab.
        Val text = constant(Constant::string(""));
        for (const PrintItem &item : s.items) {
            Val piece;
            if (item.kind == PrintItem::Kind::Comma) {
                piece = constant(Constant::string("\t"));
            } else if (item.kind == PrintItem::Kind::Value) {
                Val v = expr(*item.expr);
                if (v.kind == Kind::Record) fail(item.expr->pos, "a record cannot be printed");
                Loc d = temp_of(Kind::String);
                call_fn(BRTL_CALLABLE(brtl::rt::print_text_of), {to_var(v)}, d);
                piece = Val{Kind::String, d, true, std::nullopt, nullptr};
            } else {
                continue;
            }
            text = binary(BinOp::Cat, text, piece, s.pos);
        }
        return call_fn(BRTL_CALLABLE(brtl::rt::debug_print), {text});
    }
    if (w == "MID" || w == "MIDB" || w == "MID$" || w == "MIDB$" || w == "LSET" || w == "RSET")
        return string_statement(s);
    fail(s.pos, "unknown statement: " + w);
}

void Checker::open_statement(const Stmt &s) {
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
    int16_t mode = word_code(modes, s.words[0], "file mode", *this, s.pos);
    int16_t access = word_code(accesses, s.words[1], "access", *this, s.pos);
    int16_t lock = word_code(locks, s.words[2], "lock", *this, s.pos);
    Val name = to_str(expr(*s.args[0].expr));
    Val number = file_number(s.args[1], s.pos);
    Val length = s.args.size() > 2 ? coerce(expr(*s.args[2].expr), Kind::Integer)
                                   : constant(Constant::integer(-1));
    call_fn(BRTL_CALLABLE(ZbiBuiltIn_Open),
            {name, constant(Constant::integer(mode)), constant(Constant::integer(access)),
             constant(Constant::integer(lock)), number, length});
}

// Write #, Input #, Line Input #, Seek, Lock and Unlock.
void Checker::file_statement(const Stmt &s) {
    const std::string &w = s.name;
    if (s.args.empty() || !s.args[0].hash) fail(s.pos, w + " #n, ... expected");
    Val number = file_number(s.args[0], s.pos);
    for (size_t i = 1; i < s.args.size(); ++i)
        if (s.words[i] != "," && !(w == "LOCK" || w == "UNLOCK"))
            fail(s.pos, w + " #n, ... expected");
    if (w == "WRITE") {
        std::vector<Val> items;
        for (size_t i = 1; i < s.args.size(); ++i) {
            if (!s.args[i].expr) continue;
            Val v = expr(*s.args[i].expr);
            if (v.kind == Kind::Record) fail(s.pos, "Write # of a record: write its fields");
            if (v.kind == Kind::Variant) v = owned(v);
            items.push_back(v);
        }
        uint32_t start = list_begin();
        for (const Val &v : items) {
            Arg a;
            a.loc = v.loc;
            a.type = TypeRef{v.kind, 0, nullptr};
            a.consumed = v.temp;
            list_add(a);
        }
        emit(Op::FileWrite, 0, {}, number.loc, {}, start);
        last().n = static_cast<uint16_t>(items.size());
        return;
    }
    if (w == "INPUT" || w == "LINE INPUT") {
        bool line = w == "LINE INPUT";
        if (s.args.size() < 2 || (line && s.args.size() != 2))
            fail(s.pos, line ? "Line Input #n, variable expected" : "Input #n, variable expected");
        for (size_t i = 1; i < s.args.size(); ++i) {
            if (!s.args[i].expr) fail(s.pos, "variable expected");
            Place p = place(*s.args[i].expr, true);
            if (p.constant || p.is_array) fail(s.args[i].expr->pos, "variable expected");
            TypeRef t = p.type.ref;
            if (t.kind == Kind::Record) fail(s.args[i].expr->pos, "a record: read its fields");
            if (line && t.kind != Kind::String && t.kind != Kind::Variant && t.kind != Kind::Fixed)
                fail(s.args[i].expr->pos, "Type mismatch: Line Input # reads into a String");
            Op op = line ? Op::FileLineInput : Op::FileInput;
            if (p.type.tag == DeclType::Tag::None) {
                emit(op, static_cast<uint8_t>(t.kind), {}, number.loc, p.loc, t.length);
                continue;
            }
            Loc d = temp_of(t.kind);
            emit(op, static_cast<uint8_t>(t.kind), {}, number.loc, d, 0);
            store(p, Val{t.kind, d, t.kind == Kind::Variant, std::nullopt, nullptr});
        }
        return;
    }
    if (w == "SEEK") {
        if (s.args.size() != 2 || !s.args[1].expr) fail(s.pos, "Seek #n, position expected");
        Val position = coerce(expr(*s.args[1].expr), Kind::Long);
        return call_fn(BRTL_CALLABLE(ZbiBuiltIn_SeekStmt), {number, position});
    }
    // Lock #n (the whole file), Lock #n, record, Lock #n, [first] To last (first 1 when left
    // out); Unlock takes the same forms.
    const char *form = "Lock #n[, record | [first] To last] expected";
    const Callable &fn =
        w == "LOCK" ? BRTL_CALLABLE(ZbiBuiltIn_Lock) : BRTL_CALLABLE(ZbiBuiltIn_Unlock);
    Val zero = constant(Constant::long_(0));
    if (s.args.size() == 1)
        return call_fn(fn, {number, zero, zero, constant(Constant::integer(0))});
    if (s.words[1] != "," || s.args.size() > 3) fail(s.pos, form);
    if (s.args.size() == 2) {
        if (!s.args[1].expr) fail(s.pos, form);
        Val record = coerce(expr(*s.args[1].expr), Kind::Long);
        return call_fn(fn, {number, record, zero, constant(Constant::integer(1))});
    }
    if (s.words[2] != "TO" || !s.args[2].expr) fail(s.pos, form);
    Val first =
        s.args[1].expr ? coerce(expr(*s.args[1].expr), Kind::Long) : constant(Constant::long_(1));
    Val last_record = coerce(expr(*s.args[2].expr), Kind::Long);
    call_fn(fn, {number, first, last_record, constant(Constant::integer(2))});
}

// Put #n, [position], value and Get #n, [position], variable: the value's fields laid out by its
// type (a record one field per member).
void Checker::put_get(const Stmt &s, bool get) {
    const char *form =
        get ? "Get #n, [position], variable expected" : "Put #n, [position], value expected";
    if (s.args.size() != 3 || !s.args[2].expr || s.words[1] != "," || s.words[2] != ",")
        fail(s.pos, form);
    Val number = file_number(s.args[0], s.pos);
    bool given = s.args[1].expr != nullptr;
    Val position = given ? coerce(expr(*s.args[1].expr), Kind::Long) : constant(Constant::long_(0));
    const Expr &e = *s.args[2].expr;
    Arg field;
    bool variable = e.kind == Expr::Kind::Member ||
                    (e.kind == Expr::Kind::Name &&
                     (lookup_variable(upper(e.name)) != nullptr ||
                      (lookup(upper(e.name)) == nullptr &&
                       find_builtin(upper(e.name) + (e.suffix == '$' ? "$" : "")).empty())));
    if (get && !variable) fail(e.pos, "variable expected");
    if (variable) {
        Place p = place(e, get);
        if (p.is_array) fail(e.pos, "an element of the array expected");
        if (p.constant) fail(e.pos, "variable expected");
        field.loc = p.loc;
        field.type = p.type.ref;
    } else {
        Val v = expr(e);
        if (v.kind == Kind::Variant) v = owned(v);
        if (v.kind != Kind::Record && !v.temp && v.kind != Kind::String) {
            Loc d = temp_of(v.kind);
            emit(Op::Move, static_cast<uint8_t>(v.kind), d, v.loc, {},
                 rt::storage_size(TypeRef{v.kind, 0, nullptr}));
            v.loc = d;
        }
        field.loc = v.loc;
        field.type = TypeRef{v.kind, 0, v.record};
        field.release = v.temp;
    }
    field.index = type_index(field.type);
    uint32_t start = list_begin();
    list_add(field);
    emit(get ? Op::FileGet : Op::FilePut, given ? 1 : 0, {}, number.loc, position.loc, start);
    last().n = 1;
}

// Mid(v, start[, length]) = text, MidB, Mid$, MidB$; LSet v = text and RSet; LSet of records.
void Checker::string_statement(const Stmt &s) {
    const std::string &w = s.name;
    if (w == "LSET" || w == "RSET") {
        Place p = place(*s.target, true);
        if (p.constant || p.is_array) fail(s.pos, "variable expected");
        Val v = expr(*s.value);
        bool left = w == "LSET";
        switch (p.type.ref.kind) {
        case Kind::Record: {
            if (!left || v.kind != Kind::Record) fail(s.pos, "Type mismatch: LSet of a record");
            for (const rt::RecordLayout *r : {p.type.ref.record, v.record})
                if (rt::needs_release(TypeRef{Kind::Record, 0, r}))
                    fail(s.pos, std::string("LSet copies the bytes of records, and ") + r->name +
                                    " holds a String or a Variant: assign its fields");
            emit(Op::LSetRecord, 0, p.loc, v.loc, {}, type_index(p.type.ref));
            last().b.offset = type_index(TypeRef{Kind::Record, 0, v.record});
            return;
        }
        case Kind::String:
            call_fn(left ? BRTL_CALLABLE(ZbiBuiltIn_LSet) : BRTL_CALLABLE(ZbiBuiltIn_RSet),
                    {Val{Kind::String, p.loc, false, std::nullopt, nullptr}, to_str(v)});
            return;
        case Kind::Fixed: {
            Loc view = temp(TempKind::View);
            emit(Op::FixedView, 0, view, p.loc, {}, p.type.ref.length);
            call_fn(left ? BRTL_CALLABLE(ZbiBuiltIn_LSet) : BRTL_CALLABLE(ZbiBuiltIn_RSet),
                    {Val{Kind::String, view, false, std::nullopt, nullptr}, to_str(v)});
            return;
        }
        case Kind::Variant:
            if (p.type.tag != DeclType::Tag::None) break;
            call_fn(left ? BRTL_CALLABLE(ZbiBuiltIn_LSetVar) : BRTL_CALLABLE(ZbiBuiltIn_RSetVar),
                    {Val{Kind::Variant, p.loc, false, std::nullopt, nullptr}, to_var(v)});
            return;
        default:
            break;
        }
        fail(s.pos, "Type mismatch: " + w + " takes a String or a Variant variable");
    }
    // Mid statements.
    if (s.args.size() < 2 || s.args.size() > 3 || !s.args[0].expr || !s.args[1].expr)
        fail(s.pos, "Mid(variable, start[, length]) = text expected");
    Place p = place(*s.args[0].expr, true);
    if (p.constant || p.is_array) fail(s.pos, "variable expected");
    Val start = coerce(expr(*s.args[1].expr), Kind::Long);
    Val length = s.args.size() == 3 && s.args[2].expr ? coerce(expr(*s.args[2].expr), Kind::Long)
                                                      : constant(Constant::long_(0x7FFFFFFF));
    Val text = expr(*s.value);
    bool bytes = w == "MIDB" || w == "MIDB$";
    switch (p.type.ref.kind) {
    case Kind::String:
        call_fn(
            bytes ? BRTL_CALLABLE(ZbiBuiltIn_MidBStmt_) : BRTL_CALLABLE(ZbiBuiltIn_MidStmt_),
            {Val{Kind::String, p.loc, false, std::nullopt, nullptr}, to_str(text), start, length});
        return;
    case Kind::Fixed: {
        // The statement works on a copy, which goes back left-justified.
        Val copy = owned(read(p));
        Loc work = hidden(TypeRef{Kind::String, 0, nullptr});
        emit(Op::MoveString, 0, work, copy.loc);
        last().f = kTempA;
        call_fn(
            bytes ? BRTL_CALLABLE(ZbiBuiltIn_MidBStmt_) : BRTL_CALLABLE(ZbiBuiltIn_MidStmt_),
            {Val{Kind::String, work, false, std::nullopt, nullptr}, to_str(text), start, length});
        emit(Op::MoveFixed, 0, p.loc, work, {}, p.type.ref.length);
        return;
    }
    case Kind::Variant:
        if (p.type.tag != DeclType::Tag::None) break;
        call_fn(
            bytes ? BRTL_CALLABLE(ZbiBuiltIn_MidBStmt) : BRTL_CALLABLE(ZbiBuiltIn_MidStmt),
            {Val{Kind::Variant, p.loc, false, std::nullopt, nullptr}, to_var(text), start, length});
        return;
    default:
        break;
    }
    fail(s.pos, "Type mismatch: Mid takes a String or a Variant variable");
}

} // namespace brtl::basic
