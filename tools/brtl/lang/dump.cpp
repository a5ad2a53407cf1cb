// A readable listing of the checked form, for people reading what a module became (brtl --dump).
#include "dump.h"

#include <sstream>

namespace brtl::basic {
namespace {

const char *const kOpNames[] = {
    "Nop",           "Move",
    "MoveString",    "MoveFixed",
    "MoveVariant",   "MoveRecord",
    "LSetRecord",    "FixedView",
    "Convert",       "ToBool",
    "ToDate",        "Release",
    "Add",           "Sub",
    "Mul",           "Div",
    "IntDiv",        "Mod",
    "Pow",           "Neg",
    "Floatize",      "ToBits",
    "Truncate",      "BitAnd",
    "BitOr",         "BitXor",
    "BitEqv",        "BitImp",
    "BitNot",        "Concat",
    "Compare",       "CompareCyR8",
    "VarBinary",     "VarUnary",
    "VarDiv",        "VarIntDiv",
    "VarMod",        "VarPow",
    "VarConcat",     "VarLike",
    "Jump",          "JumpIfFalse",
    "JumpIfTrue",    "JumpCompare",
    "ForNext",       "GoSub",
    "ReturnGoSub",   "OnGoTo",
    "OnGoSub",       "Call",
    "CallBuiltin",   "Return",
    "End",           "OnError",
    "Resume",        "Raise",
    "SetErr",        "GetErr",
    "GetErl",        "SetCompare",
    "Element",       "Element1",
    "VarElement",    "ReDim",
    "Erase",         "Bound",
    "AddressOf",     "PrintItem",
    "PrintComma",    "PrintSpc",
    "PrintTab",      "PrintEnd",
    "FilePrintItem", "FilePrintComma",
    "FilePrintSpc",  "FilePrintTab",
    "FilePrintEnd",  "FileWrite",
    "FileInput",     "FileLineInput",
    "FilePut",       "FileGet",
    "Close",
};

std::string loc(const Loc &l) {
    static const char *const bases[] = {"f", "g", "c", "*f"};
    std::ostringstream out;
    out << bases[static_cast<int>(l.base)] << l.offset;
    if (l.base == Base::Indirect && l.disp != 0) out << "+" << l.disp;
    return out.str();
}

} // namespace

const char *op_name(Op op) {
    size_t i = static_cast<size_t>(op);
    return i < sizeof kOpNames / sizeof kOpNames[0] ? kOpNames[i] : "?";
}

std::string dump(const Program &program) {
    std::ostringstream out;
    for (size_t p = 0; p < program.procedures.size(); ++p) {
        const Procedure &proc = *program.procedures[p];
        out << "procedure " << p << " " << proc.name << " (" << proc.module << ", frame "
            << proc.frame_size << " bytes)\n";
        for (size_t i = 0; i < proc.code.size(); ++i) {
            const Instr &in = proc.code[i];
            const Unit &u = proc.units[in.unit];
            out << "  " << i << "\t" << op_name(in.op) << " k" << int(in.k) << " d=" << loc(in.d)
                << " a=" << loc(in.a) << " b=" << loc(in.b) << " x=" << in.x << " n=" << in.n
                << " f=" << int(in.f) << "\t; line " << u.line << "\n";
        }
    }
    return out.str();
}

} // namespace brtl::basic
