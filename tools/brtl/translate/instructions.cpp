// Each instruction of the checked form as C++: one call of the library or of the services (or a
// plain C++ operation where the dialect's rule is C++'s own: a widening, a bitwise And), in the
// order the interpreter runs them, with every temporary taken or released where it runs.
#include <cstring>

#include "lang/callable.h"
#include "writer.h"

namespace brtl::basic::cpp {
namespace {

const char *op_name(uint32_t code) {
    static const char *const names[] = {
        "BI_OP_ADD", "BI_OP_SUB", "BI_OP_MUL", "BI_OP_AND", "BI_OP_OR", "BI_OP_XOR", "BI_OP_EQV",
        "BI_OP_IMP", "BI_OP_LT",  "BI_OP_LE",  "BI_OP_GT",  "BI_OP_GE", "BI_OP_EQ",  "BI_OP_NE"};
    return code < sizeof names / sizeof names[0] ? names[code] : "BI_OP_ADD";
}

const char *unary_name(uint32_t row) {
    static const char *const names[] = {"BI_UNOP_NEGATE", "BI_UNOP_SGN", "BI_UNOP_ABS",
                                        "BI_UNOP_NOT"};
    return row < 4 ? names[row] : "BI_UNOP_NEGATE";
}

const char *relation(uint32_t cond) {
    switch (cond) {
    case BI_OP_LT:
        return "<";
    case BI_OP_LE:
        return "<=";
    case BI_OP_GT:
        return ">";
    case BI_OP_GE:
        return ">=";
    case BI_OP_EQ:
        return "==";
    default:
        return "!=";
    }
}

// A host routine's name as the translated code spells it.
std::string routine(const char *cname) {
    std::string name = cname;
    if (name.compare(0, 10, "brtl::rt::") == 0) name = "rt::" + name.substr(10);
    return name;
}

bool is_number(Kind k) {
    return k == Kind::Integer || k == Kind::Long || k == Kind::Single || k == Kind::Double ||
           k == Kind::Currency;
}

// Format's first argument names the type of its value: the library's constant, by name.
std::string format_kind_named(const Callable &fn, const std::string &list) {
    if (std::string(fn.cname) != "ZbiBuiltIn_Format_") return list;
    static const std::pair<const char *, const char *> kinds[] = {
        {"1, ", "BI_FORMAT_VARIANT, "}, {"4, ", "BI_FORMAT_INTEGER, "},
        {"6, ", "BI_FORMAT_LONG, "},    {"7, ", "BI_FORMAT_SINGLE, "},
        {"8, ", "BI_FORMAT_DOUBLE, "},  {"9, ", "BI_FORMAT_CURRENCY, "}};
    for (const auto &[number, name] : kinds)
        if (list.compare(0, std::strlen(number), number) == 0)
            return name + list.substr(std::strlen(number));
    return list;
}

} // namespace

std::string ProcedureWriter::condition(uint32_t cond, Kind k, const std::string &a,
                                       const std::string &b, bool text) {
    if (k == Kind::Currency)
        return "rt::compare_currency(" + a + ", " + b + ") " + relation(cond) + " 0";
    if (k == Kind::String)
        return "rt::compare(" + a + ", " + b + ", " + (text ? "true" : "false") + ") " +
               relation(cond) + " 0";
    return a + " " + relation(cond) + " " + b;
}

void ProcedureWriter::instruction(uint32_t i) {
    const Instr &in = p_.code[i];
    switch (in.op) {
    case Op::Nop:
        return;
    case Op::Move:
    case Op::MoveString:
    case Op::MoveFixed:
    case Op::MoveVariant:
    case Op::MoveRecord:
    case Op::LSetRecord:
    case Op::FixedView:
    case Op::Convert:
    case Op::ToBool:
    case Op::ToDate:
    case Op::Release:
        return moves(in);
    case Op::Add:
    case Op::Sub:
    case Op::Mul:
    case Op::Div:
    case Op::IntDiv:
    case Op::Mod:
    case Op::Pow:
    case Op::Neg:
    case Op::Floatize:
    case Op::ToBits:
    case Op::Truncate:
    case Op::BitAnd:
    case Op::BitOr:
    case Op::BitXor:
    case Op::BitEqv:
    case Op::BitImp:
    case Op::BitNot:
    case Op::Concat:
    case Op::Compare:
    case Op::CompareCyR8:
        return arithmetic(in);
    case Op::VarBinary:
    case Op::VarUnary:
    case Op::VarDiv:
    case Op::VarIntDiv:
    case Op::VarMod:
    case Op::VarPow:
    case Op::VarConcat:
    case Op::VarLike:
        return variants(in);
    case Op::Call:
        return call(i, in);
    case Op::CallBuiltin:
        return call_builtin(in);
    case Op::OnError:
    case Op::Resume:
    case Op::Raise:
    case Op::SetErr:
    case Op::GetErr:
    case Op::GetErl:
    case Op::SetCompare:
    case Op::End:
        return errors(in);
    case Op::Element:
    case Op::Element1:
    case Op::VarElement:
    case Op::ReDim:
    case Op::Erase:
    case Op::Bound:
    case Op::AddressOf:
        return arrays(in);
    case Op::PrintItem:
    case Op::PrintComma:
    case Op::PrintSpc:
    case Op::PrintTab:
    case Op::PrintEnd:
        return printing(in);
    case Op::FilePrintItem:
    case Op::FilePrintComma:
    case Op::FilePrintSpc:
    case Op::FilePrintTab:
    case Op::FilePrintEnd:
    case Op::FileWrite:
    case Op::FileInput:
    case Op::FileLineInput:
    case Op::FilePut:
    case Op::FileGet:
    case Op::Close:
        return files(in);
    default:
        return control(i, in);
    }
}

// ---- Moves and conversions
// ------------------------------------------------------------------------

void ProcedureWriter::moves(const Instr &in) {
    Kind k = static_cast<Kind>(in.k);
    switch (in.op) {
    case Op::Move:
        line(operand(in.d, Want::value(k)) + " = " + read(in.a, Want::value(k)) + ";");
        return;
    case Op::MoveString: {
        std::string d = operand(in.d, Want::value(Kind::String));
        line("rt::assign(" + d + ", " + value(in.a, Kind::String, in.f & kTempA) + ");");
        if (in.f & kTempD) line("rt::mark_temporary(" + d + ");");
        return;
    }
    case Op::MoveFixed:
        line("rt::fixed_assign(" + operand(in.d, Want::of(TypeRef{Kind::Fixed, in.x, nullptr})) +
             ", " + std::to_string(in.x) + ", " + value(in.a, Kind::String, in.f & kTempA) + ");");
        return;
    case Op::MoveVariant: {
        std::string d = operand(in.d, Want::value(Kind::Variant));
        if (in.f & kTempA)
            line("rt::assign(" + d + ", " + value(in.a, Kind::Variant, true) + ");");
        else
            line("rt::assign(" + d + ", rt::copy_var(" + read(in.a, Want::value(Kind::Variant)) +
                 "));");
        return;
    }
    case Op::MoveRecord: {
        const TypeRef &t = program_.types[in.x];
        line("rt::copy_value(" + address(in.d, Want::of(t)) + ", " + address(in.a, Want::of(t)) +
             ", " + w_.type_constant(t) + ");");
        return;
    }
    case Op::LSetRecord: {
        const TypeRef &to = program_.types[in.x];
        const TypeRef &from = program_.types[in.b.offset];
        line("rt::lset_record(" + address(in.d, Want::of(to)) + ", " + w_.layout_name(to.record) +
             ", " + address(in.a, Want::of(from)) + ", " + w_.layout_name(from.record) + ");");
        return;
    }
    case Op::FixedView:
        line(operand(in.d, Want::value(Kind::String)) + " = rt::fixed_view(" +
             read(in.a, Want::of(TypeRef{Kind::Fixed, in.x, nullptr})) + ", " +
             std::to_string(in.x) + ");");
        return;
    case Op::Convert: {
        Kind from = static_cast<Kind>(in.k >> 4), to = static_cast<Kind>(in.k & 15);
        std::string d = operand(in.d, Want::value(to));
        std::string a = from == Kind::String || from == Kind::Variant
                            ? value(in.a, from, in.f & kTempA)
                            : read(in.a, Want::value(from));
        std::string call;
        switch (to) {
        case Kind::Integer:
            call = "rt::to_i2(" + a + ")";
            break;
        case Kind::Long:
            call = from == Kind::Integer ? a : "rt::to_i4(" + a + ")";
            break;
        case Kind::Single:
            call = from == Kind::Integer || from == Kind::Long ? "static_cast<float>(" + a + ")"
                                                               : "rt::to_r4(" + a + ")";
            break;
        case Kind::Double:
            call = is_number(from) && from != Kind::Currency ? a : "rt::to_r8(" + a + ")";
            break;
        case Kind::Currency:
            call = from == Kind::Integer  ? "rt::to_cy(int32_t{" + a + "})"
                   : from == Kind::Single ? "rt::to_cy(double{" + a + "})"
                                          : "rt::to_cy(" + a + ")";
            break;
        case Kind::String:
            call = "rt::to_str(" + a + ")";
            break;
        default:
            call = "rt::to_var(" + a + ")";
            break;
        }
        line(d + " = " + call + ";");
        return;
    }
    case Op::ToBool: {
        std::string a = k == Kind::String || k == Kind::Variant ? value(in.a, k, in.f & kTempA)
                                                                : read(in.a, Want::value(k));
        if (k == Kind::Integer) a = "int32_t{" + a + "}";
        if (k == Kind::Single) a = "double{" + a + "}";
        line(operand(in.d, Want::value(Kind::Integer)) + " = rt::to_bool(" + a + ");");
        return;
    }
    case Op::ToDate:
        line(operand(in.d, Want::value(Kind::Variant)) + " = rt::to_date(" +
             value(in.a, Kind::Variant, true) + ");");
        return;
    default: // Release
        line("rt::release(" + operand(in.d, Want::value(k)) + ");");
        return;
    }
}

// ---- Arithmetic
// ----------------------------------------------------------------------------------

void ProcedureWriter::arithmetic(const Instr &in) {
    Kind k = static_cast<Kind>(in.k);
    auto a = [&] { return read(in.a, Want::value(k)); };
    auto b = [&] { return read(in.b, Want::value(k)); };
    auto set = [&](Kind dk, const std::string &expr) {
        line(operand(in.d, Want::value(dk)) + " = " + expr + ";");
    };
    switch (in.op) {
    case Op::Add:
        return set(k, "rt::add(" + a() + ", " + b() + ")");
    case Op::Sub:
        return set(k, "rt::sub(" + a() + ", " + b() + ")");
    case Op::Mul:
        return set(k, "rt::mul(" + a() + ", " + b() + ")");
    case Op::Div:
        return set(k, "rt::divide(" + a() + ", " + b() + ")");
    case Op::IntDiv:
        return set(k, "rt::int_divide(" + a() + ", " + b() + ")");
    case Op::Mod:
        return set(k, "rt::modulo(" + a() + ", " + b() + ")");
    case Op::Pow:
        return set(k, k == Kind::Single ? "static_cast<float>(rt::power(" + a() + ", " + b() + "))"
                                        : "rt::power(" + a() + ", " + b() + ")");
    case Op::Neg:
        return set(k, "rt::negate(" + a() + ")");
    case Op::Floatize:
        return set(Kind::Double,
                   "ZbiFloatizeDouble(" + read(in.a, Want::value(Kind::Double)) + ")");
    case Op::ToBits:
        return set(Kind::Long,
                   k == Kind::Integer || k == Kind::Long ? a() : "rt::to_bits(" + a() + ")");
    case Op::Truncate:
        return set(Kind::Long, "rt::truncate_long(" + a() + ")");
    case Op::BitAnd:
    case Op::BitOr:
    case Op::BitXor: {
        const char *op = in.op == Op::BitAnd ? " & " : in.op == Op::BitOr ? " | " : " ^ ";
        return set(Kind::Long,
                   read(in.a, Want::value(Kind::Long)) + op + read(in.b, Want::value(Kind::Long)));
    }
    case Op::BitEqv:
    case Op::BitImp:
        return set(Kind::Long, std::string(in.op == Op::BitEqv ? "rt::bit_eqv(" : "rt::bit_imp(") +
                                   read(in.a, Want::value(Kind::Long)) + ", " +
                                   read(in.b, Want::value(Kind::Long)) + ")");
    case Op::BitNot:
        return set(Kind::Long, "~" + read(in.a, Want::value(Kind::Long)));
    case Op::Concat:
        return set(Kind::String, "rt::concat(" + value(in.a, Kind::String, in.f & kTempA) + ", " +
                                     value(in.b, Kind::String, in.f & kTempB) + ")");
    case Op::Compare: {
        std::string x = k == Kind::String ? value(in.a, k, in.f & kTempA) : a();
        std::string y = k == Kind::String ? value(in.b, k, in.f & kTempB) : b();
        return set(Kind::Integer,
                   "rt::truth(" + condition(in.x & 0xFF, k, x, y, (in.x & 0x100) != 0) + ")");
    }
    default: // CompareCyR8
        return set(Kind::Integer, "rt::truth(rt::compare_currency(" +
                                      read(in.a, Want::value(Kind::Currency)) + ", " +
                                      read(in.b, Want::value(Kind::Double)) + ") " +
                                      relation(in.x) + " 0)");
    }
}

void ProcedureWriter::variants(const Instr &in) {
    std::string a = value(in.a, Kind::Variant, true);
    std::string d = operand(in.d, Want::value(Kind::Variant));
    switch (in.op) {
    case Op::VarBinary:
        line(d + " = rt::var_binary(" + op_name(in.x) + ", " + a + ", " +
             value(in.b, Kind::Variant, true) + ");");
        return;
    case Op::VarUnary:
        line(d + " = rt::var_unary(" + unary_name(in.x) + ", " + a + ");");
        return;
    default: {
        const char *f = in.op == Op::VarDiv      ? "rt::var_divide"
                        : in.op == Op::VarIntDiv ? "rt::var_int_divide"
                        : in.op == Op::VarMod    ? "rt::var_modulo"
                        : in.op == Op::VarPow    ? "rt::var_power"
                        : in.op == Op::VarConcat ? "rt::var_concat"
                                                 : "rt::var_like";
        line(d + " = " + f + "(" + a + ", " + value(in.b, Kind::Variant, true) + ");");
        return;
    }
    }
}

// ---- Control
// -------------------------------------------------------------------------------------

void ProcedureWriter::control(uint32_t i, const Instr &in) {
    Kind k = static_cast<Kind>(in.k);
    switch (in.op) {
    case Op::Jump:
        line(jump(in.x));
        return;
    case Op::JumpIfFalse:
    case Op::JumpIfTrue: {
        bool when = in.op == Op::JumpIfTrue;
        std::string test;
        if (k == Kind::String || k == Kind::Variant)
            test =
                std::string(when ? "" : "!") + "rt::is_true(" + value(in.a, k, in.f & kTempA) + ")";
        else
            test = read(in.a, Want::value(k)) + (when ? " != 0" : " == 0");
        line("if (" + test + ") " + jump(in.x));
        return;
    }
    case Op::JumpCompare: {
        std::string c = condition(in.n & 0xFF, k, read(in.a, Want::value(k)),
                                  read(in.b, Want::value(k)), false);
        line((in.n >> 8) != 0 ? "if (" + c + ") " + jump(in.x) : "if (!(" + c + ")) " + jump(in.x));
        return;
    }
    case Op::ForNext: {
        std::string counter = read(in.d, Want::value(k));
        line(counter + " = rt::add(" + counter + ", " + read(in.a, Want::value(k)) + ");");
        line("if (" +
             condition(in.n == 1 ? BI_OP_LE : BI_OP_GE, k, counter, read(in.b, Want::value(k)),
                       false) +
             ") " + jump(in.x));
        return;
    }
    case Op::GoSub:
        line("gosub.push(" + std::to_string(i + 1) + ");");
        line(jump(in.x));
        return;
    case Op::ReturnGoSub:
        line("switch (gosub.pop()) {");
        for (uint32_t r : gosub_returns_)
            line("case " + std::to_string(r) + ":\n" + indent_ + "    " + jump(r));
        line("default:\n" + indent_ + "    break;");
        line("}");
        return;
    case Op::OnGoTo:
    case Op::OnGoSub: {
        line("switch (rt::on_index(" + read(in.a, Want::value(Kind::Long)) + ")) {");
        for (uint16_t n = 0; n < in.n; ++n) {
            std::string go = jump(p_.lists[in.x + n].index);
            if (in.op == Op::OnGoSub)
                go = "gosub.push(" + std::to_string(i + 1) + ");\n" + indent_ + "    " + go;
            line("case " + std::to_string(n + 1) + ":\n" + indent_ + "    " + go);
        }
        line("default:\n" + indent_ + "    break;");
        line("}");
        return;
    }
    default: { // Return
        if (handler_) line("handler.leave();");
        for (Slot &s : slots_)
            if (s.is == Slot::Is::Result) s.read = true;
        if (p_.kind != ProcKind::Function) {
            line("return;");
            return;
        }
        switch (p_.result.kind) {
        case Kind::String:
            line("return rt::return_string(result);");
            return;
        case Kind::Variant:
            line("return rt::return_variant(result);");
            return;
        default:
            line("return result;");
            return;
        }
    }
    }
}

// ---- Calls
// ---------------------------------------------------------------------------------------

void ProcedureWriter::releases(const Instr &in) {
    const Arg *args =
        p_.lists.data() + (in.op == Op::FilePut || in.op == Op::FileGet ? in.x : in.a.offset);
    for (uint16_t i = 0; i < in.n; ++i)
        if (args[i].release)
            line("rt::release(" + operand(args[i].loc, Want::value(args[i].type.kind)) + ");");
}

void ProcedureWriter::call(uint32_t, const Instr &in) {
    const Procedure &callee = *program_.procedures[in.x];
    w_.mark_called(index_, in.x);
    const Arg *args = p_.lists.data() + in.a.offset;
    std::string list;
    for (uint16_t i = 0; i < in.n; ++i) {
        const Arg &arg = args[i];
        const Param &param = callee.params[i];
        std::string x;
        if (param.is_array) {
            x = address(arg.loc, Want::array());
        } else if (param.by_ref) {
            x = address(arg.loc, Want::of(param.type));
        } else if (param.type.kind == Kind::String) {
            x = arg.consumed
                    ? "rt::StringValue(" + value(arg.loc, Kind::String, true) + ", true)"
                    : "rt::StringValue(" + read(arg.loc, Want::value(Kind::String)) + ", false)";
        } else if (param.type.kind == Kind::Variant) {
            x = arg.consumed
                    ? "rt::VariantValue(" + value(arg.loc, Kind::Variant, true) + ", true)"
                    : "rt::VariantValue(" + read(arg.loc, Want::value(Kind::Variant)) + ", false)";
        } else {
            x = read(arg.loc, Want::of(param.type));
        }
        list += (i ? ", " : "") + x;
    }
    std::string call = w_.procedure_name(in.x) + "(" + list + ")";
    if (callee.kind == ProcKind::Function)
        line(operand(in.d, Want::of(callee.result)) + " = " + call + ";");
    else
        line(call + ";");
    releases(in);
}

void ProcedureWriter::call_builtin(const Instr &in) {
    const Callable &fn = *program_.callables[in.x];
    const Arg *args = p_.lists.data() + in.a.offset;
    std::string list;
    for (uint16_t i = 0; i < in.n; ++i) {
        const Arg &arg = args[i];
        CType t = fn.params[i];
        std::string x;
        switch (t) {
        case CType::VarOut:
        case CType::VarRef:
            x = address(arg.loc, Want::value(Kind::Variant));
            break;
        case CType::StrRef:
            x = address(arg.loc, Want::value(Kind::String));
            break;
        case CType::CText:
            x = read(arg.loc, Want::value(Kind::String)) + ".data";
            break;
        case CType::Addr:
            x = arg.loc.base == Base::Const ? address(arg.loc, Want::of(arg.type))
                                            : address(arg.loc, Want::any());
            break;
        case CType::Str:
            x = value(arg.loc, Kind::String, arg.consumed);
            break;
        case CType::Var:
            x = arg.consumed ? value(arg.loc, Kind::Variant, true)
                             : read(arg.loc, Want::value(Kind::Variant));
            break;
        case CType::U8:
            x = "static_cast<uint8_t>(" + read(arg.loc, Want::value(arg.type.kind)) + ")";
            break;
        default:
            x = read(arg.loc, Want::value(kind_of(t)));
            break;
        }
        list += (i ? ", " : "") + x;
    }
    std::string call = routine(fn.cname) + "(" + format_kind_named(fn, list) + ")";
    bool result = fn.result != CType::Void && !(fn.count > 0 && fn.params[0] == CType::VarOut);
    if (result)
        line(operand(in.d, Want::value(kind_of(fn.result))) + " = " + call + ";");
    else
        line(call + ";");
    releases(in);
}

// ---- Errors, End, Option Compare
// -------------------------------------------------------------------------

void ProcedureWriter::errors(const Instr &in) {
    switch (in.op) {
    case Op::OnError:
        line(in.k == 0   ? std::string("handler.off();")
             : in.k == 1 ? "handler.go_to(" + std::to_string(in.x) + ");"
                         : std::string("handler.resume_next();"));
        return;
    case Op::Resume:
        if (in.k == 2) {
            line("handler.resume_label();");
            line(jump(in.x));
            return;
        }
        uses_dispatch_ = true;
        line(in.k == 0 ? "resume_at = handler.resume(here);"
                       : "resume_at = handler.resume_next_statement(here);");
        line("goto dispatch;");
        return;
    case Op::Raise:
        line("rt::error_statement(" + read(in.a, Want::value(Kind::Long)) + ");");
        return;
    case Op::SetErr:
        line("rt::set_err(" + read(in.a, Want::value(Kind::Long)) + ");");
        return;
    case Op::GetErr:
        line(operand(in.d, Want::value(Kind::Long)) + " = rt::err().number;");
        return;
    case Op::GetErl:
        line(operand(in.d, Want::value(Kind::Long)) + " = rt::err().line;");
        return;
    case Op::SetCompare:
        line(std::string("here.set_text_compare(") + (in.k != 0 ? "true" : "false") + ");");
        return;
    default: // End
        line("throw rt::EndOfProgram{};");
        return;
    }
}

// ---- Arrays
// --------------------------------------------------------------------------------------

void ProcedureWriter::arrays(const Instr &in) {
    std::string d;
    switch (in.op) {
    case Op::Element:
        line(operand(in.d, Want::pointer()) + " = rt::array_element(" +
             operand(in.a, Want::array()) + ", {" + list_read(in.x, in.n, Kind::Long) + "});");
        return;
    case Op::Element1:
        line(operand(in.d, Want::pointer()) + " = rt::array_element1" + element_type(in.a) + "(" +
             operand(in.a, Want::array()) + ", " + read(in.b, Want::value(Kind::Long)) + ");");
        return;
    case Op::VarElement:
        line(operand(in.d, Want::pointer()) + " = rt::variant_array_element(" +
             operand(in.a, Want::value(Kind::Variant)) + ", {" + list_read(in.x, in.n, Kind::Long) +
             "});");
        return;
    case Op::ReDim:
        line("rt::array_redim(" + operand(in.a, Want::array()) + ", " +
             w_.type_constant(program_.types[in.b.offset]) + ", " + (in.k == 1 ? "true" : "false") +
             ", {" + list_read(in.x, in.n, Kind::Long) + "});");
        return;
    case Op::Erase:
        line(std::string(in.k == 1 ? "rt::array_free(" : "rt::array_reset(") +
             operand(in.a, Want::array()) + ", " + w_.type_constant(program_.types[in.x]) + ");");
        return;
    case Op::Bound: {
        bool upper = (in.k & 1) != 0;
        std::string array =
            (in.k & 2) ? "rt::variant_array_bound(" + operand(in.a, Want::value(Kind::Variant))
                       : "rt::array_bound(" + operand(in.a, Want::array());
        line(operand(in.d, Want::value(Kind::Long)) + " = " + array + ", " +
             read(in.b, Want::value(Kind::Long)) + ", " + (upper ? "true" : "false") + ");");
        return;
    }
    default: // AddressOf
        line(operand(in.d, Want::pointer()) + " = " + address(in.a, Want::any()) + ";");
        return;
    }
}

// "<T>" with the C type of the elements of the array at l, where its slot says it.
std::string ProcedureWriter::element_type(const Loc &l) {
    if (l.base == Base::Const) return "";
    Slot *s = l.base == Base::Global ? w_.global_at(l.offset) : slot_at(l.offset);
    if (s == nullptr || !s->array) return "";
    switch (s->type.kind) {
    case Kind::Record:
        return "<" + w_.record_name(s->type.record) + ">";
    case Kind::Fixed:
        return "<char[" + std::to_string(s->type.length + 1) + "]>";
    default:
        return "<" + cpp_type(s->type) + ">";
    }
}

// ---- Printing and files
// --------------------------------------------------------------------------

void ProcedureWriter::printing(const Instr &in) {
    Kind k = static_cast<Kind>(in.k);
    switch (in.op) {
    case Op::PrintItem:
        line("rt::print_item(" +
             (k == Kind::String || k == Kind::Variant ? value(in.a, k, in.f & kTempA)
                                                      : read(in.a, Want::value(k))) +
             ");");
        return;
    case Op::PrintComma:
        line("rt::print_comma();");
        return;
    case Op::PrintSpc:
        line("rt::print_spc(" + read(in.a, Want::value(Kind::Long)) + ");");
        return;
    case Op::PrintTab:
        line("rt::print_tab(" + read(in.a, Want::value(Kind::Long)) + ");");
        return;
    default:
        line("rt::console_newline();");
        return;
    }
}

void ProcedureWriter::files(const Instr &in) {
    Kind k = static_cast<Kind>(in.k);
    std::string number = in.op == Op::Close ? "" : read(in.a, Want::value(Kind::Integer));
    switch (in.op) {
    case Op::FilePrintItem:
        line("rt::file_print_item(" + number + ", " +
             (k == Kind::String || k == Kind::Variant ? value(in.b, k, in.f & kTempB)
                                                      : read(in.b, Want::value(k))) +
             ");");
        return;
    case Op::FilePrintComma:
        line("rt::file_print_comma(" + number + ");");
        return;
    case Op::FilePrintSpc:
    case Op::FilePrintTab:
        line(
            std::string(in.op == Op::FilePrintSpc ? "rt::file_print_spc(" : "rt::file_print_tab(") +
            number + ", " + read(in.b, Want::value(Kind::Long)) + ");");
        return;
    case Op::FilePrintEnd:
        line("rt::file_print_end(" + number + ");");
        return;
    case Op::FileWrite: {
        line("{");
        line("    rt::WriteList items;");
        const Arg *list = p_.lists.data() + in.x;
        for (uint16_t i = 0; i < in.n; ++i) {
            Kind ik = list[i].type.kind;
            std::string x = ik == Kind::String || ik == Kind::Variant
                                ? value(list[i].loc, ik, list[i].consumed)
                                : read(list[i].loc, Want::value(ik));
            line("    items.add(" + x + ");");
        }
        line("    items.write(" + number + ");");
        line("}");
        return;
    }
    case Op::FileInput:
        if (k == Kind::Fixed)
            line("rt::file_input_fixed(" + number + ", " +
                 operand(in.b, Want::of(TypeRef{Kind::Fixed, in.x, nullptr})) + ", " +
                 std::to_string(in.x) + ");");
        else
            line("rt::file_input(" + number + ", " + address(in.b, Want::value(k)) + ");");
        return;
    case Op::FileLineInput: {
        const char *type = k == Kind::String    ? "BI_TYPE_STRING"
                           : k == Kind::Variant ? "BI_TYPE_VARIANT"
                                                : "BI_TYPE_FIXED_STRING";
        std::string target = k == Kind::String || k == Kind::Variant
                                 ? address(in.b, Want::value(k))
                                 : operand(in.b, Want::of(TypeRef{Kind::Fixed, in.x, nullptr}));
        line(std::string("ZbiBuiltIn_LineInput(") + number + ", " + type + ", " +
             std::to_string(in.x) + ", " + target + ");");
        return;
    }
    case Op::FilePut:
    case Op::FileGet: {
        line("{");
        line("    rt::FieldList fields;");
        const Arg *list = p_.lists.data() + in.x;
        for (uint16_t i = 0; i < in.n; ++i) {
            const TypeRef &t = program_.types[list[i].index];
            line("    fields.add_value(" + address(list[i].loc, Want::of(t)) + ", " +
                 w_.type_constant(t) + ");");
        }
        line(std::string("    fields.") + (in.op == Op::FilePut ? "put(" : "get(") + number + ", " +
             read(in.b, Want::value(Kind::Long)) + ", " + (in.k == 1 ? "true" : "false") + ");");
        line("}");
        releases(in);
        return;
    }
    default: { // Close
        if (in.n == 0) {
            line("rt::close_files(nullptr, 0);");
            return;
        }
        line("{");
        line("    const int16_t numbers[] = {" + list_read(in.x, in.n, Kind::Integer) + "};");
        line("    rt::close_files(numbers, " + std::to_string(in.n) + ");");
        line("}");
        return;
    }
    }
}

} // namespace brtl::basic::cpp
