// The checked form of a program: every name resolved to a slot, every operation typed and
// lowered to one instruction that calls one library export or one host routine, control flow
// as jumps. The interpreter runs it; the translator prints it as C++.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "services/storage.h"

namespace brtl::basic {

using rt::Kind;
using rt::TypeRef;

// Where an operand lives: in the running procedure's frame, in the program's global storage, in
// its constants, or behind a pointer held in a frame slot (a ByRef parameter, an array element,
// a field reached through either); disp is then added to the pointer.
enum class Base : uint8_t { Frame, Global, Const, Indirect };

struct Loc {
    Base base = Base::Frame;
    uint32_t offset = 0;
    uint32_t disp = 0;
};

// The instructions. In the comments d is the destination, a and b the operands, x the extra
// word, k the kind (or the pair of kinds) in the instruction's kind byte.
enum class Op : uint8_t {
    Nop,
    // ---- Moves and conversions
    Move,        // d = a, bitwise, x bytes (numbers of kind k)
    MoveString,  // String d = a (a temporary is taken over, anything else copied)
    MoveFixed,   // fixed-length d (x bytes) = String a, left-justified
    MoveVariant, // Variant d = a (a temporary moved, anything else copied)
    MoveRecord,  // record d = record a, field by field (x: the record's index)
    LSetRecord,  // LSet record d (type index x) = record a (type index b.offset): the bytes
    FixedView,   // String d = a view of the x bytes of the fixed-length string a
    Convert,     // d = a converted; k = from << 4 | to (the Kind values, Variant and String too)
    ToBool,      // Integer d = -1 or 0 from a of kind k
    ToDate,      // Variant d = Date of Variant a
    Release,     // releases the String or Variant temporary d (kind k)
    // ---- Typed arithmetic (k: the operands' and result's kind)
    Add,
    Sub,
    Mul,
    Div,    // Single or Double
    IntDiv, // Integer or Long
    Mod,    // Integer or Long
    Pow,    // Double
    Neg,
    Floatize, // Double d = a rounded to single precision
    ToBits,   // Long d = the 32-bit operand of a bitwise operator, from a of kind k
    Truncate, // Long d = a (Single or Double, kind k) truncated toward zero (\ and Mod)
    BitAnd,   // Long d = a And b (and the four below)
    BitOr,
    BitXor,
    BitEqv,
    BitImp,
    BitNot,
    Concat,      // String d = a & b
    Compare,     // Integer d = a (cond) b: k = kind; x = the condition (BI_OP_LT ...) | text flag
    CompareCyR8, // Integer d = Currency a (cond) Double b; x = condition
    // ---- Variants (every operand a temporary the operation consumes)
    VarBinary, // d = table handler x of (a, b)
    VarUnary,  // d = unary handler row x of a
    VarDiv,
    VarIntDiv,
    VarMod,
    VarPow,
    VarConcat,
    VarLike,
    // ---- Control
    Jump,        // to x
    JumpIfFalse, // to x when a (kind k) is zero (a Variant: false or Null)
    JumpIfTrue,  // to x when a (kind k) is not zero
    JumpCompare, // to x when (a cond b) in kind k is (n >> 8 != 0); cond is n & 0xFF
    ForNext,     // counter d += step a (kind k); to x while it has not passed limit b
                 // (n 1 counting up, 2 down)
    GoSub,       // to x, returning after this instruction
    ReturnGoSub, // back after the last GoSub (trap 3 without one)
    OnGoTo,      // a (Long) selects operand-list entry (the x-th list) target; 0 or past: on
    OnGoSub,     // the same with GoSub
    Call,        // procedure x with the argument list n (operand list entries); result to d
    CallBuiltin, // builtin x with the argument list; result to d
    Return,      // leaves the procedure
    End,         // ends the program (End, Stop)
    OnError,     // k: 0 GoTo 0, 1 GoTo x, 2 Resume Next
    Resume,      // k: 0 Resume, 1 Resume Next, 2 Resume x
    Raise,       // Error a (Long)
    SetErr,      // Err = a (Long)
    GetErr,      // Long d = Err
    GetErl,      // Long d = Erl
    SetCompare,  // Option Compare from here on: k 1 Text, 0 Binary
    // ---- Arrays
    Element,    // pointer d = address of the element of array a at the subscripts list
    Element1,   // pointer d = address of element b (Long) of the one-dimensional array a
    VarElement, // pointer d = address of the element of the Variant array in Variant a
    ReDim,      // array a: the bounds list (lower, upper pairs) at x; k 1 for Preserve; the
                // element type index in b.offset
    Erase,      // array a; k 1 for a dynamic array; x the element type index
    Bound,      // Long d = LBound (k 0) or UBound (k 1) of array a, dimension b
    AddressOf,  // pointer d = address of a
    // ---- Printing and files
    PrintItem, // the text of a (kind k) on the console
    PrintComma,
    PrintSpc, // a (Long)
    PrintTab,
    PrintEnd,
    FilePrintItem, // Print #a: the text of b (kind k)
    FilePrintComma,
    FilePrintSpc,
    FilePrintTab,
    FilePrintEnd,
    FileWrite,     // Write #a: the item list n (kinds in the list's entries)
    FileInput,     // Input #a into b (kind k; fixed length x)
    FileLineInput, // Line Input #a into b (kind k; fixed length x)
    FilePut,       // Put #a, position b: the field list n (the entry's type index); k 1 when given
    FileGet,
    Close, // the list n of file numbers (all when empty)
};

// A procedure's own error state is the interpreter's; the checked form says which parts of the
// code make up each statement, so that Resume and Resume Next know where to go.
struct Unit {
    uint32_t start = 0; // first instruction
    uint32_t end = 0;   // the instruction after the last
    int32_t line = 0;   // source line (1-based)
    int32_t column = 0;
    int32_t label = 0; // the last line number label at or before it (Erl), 0 for none
};

// Flags of an instruction: which operands are temporaries the instruction consumes.
constexpr uint8_t kTempA = 1;
constexpr uint8_t kTempB = 2;
// d is a temporary: a String stored there keeps the temporary flag, which says whoever takes
// it owns it.
constexpr uint8_t kTempD = 4;

struct Instr {
    Op op = Op::Nop;
    uint8_t k = 0;
    uint8_t f = 0;  // kTempA, kTempB
    uint16_t n = 0; // length of the operand list at x (Call, CallBuiltin, lists)
    uint32_t unit = 0;
    Loc d, a, b;
    uint32_t x = 0;
};

// One entry of an operand list: the operand, its kind, and what the call does with it.
struct Arg {
    Loc loc;
    TypeRef type{Kind::Variant, 0, nullptr};
    bool by_ref = false;   // the address is passed (ByRef, an output of a builtin)
    bool consumed = false; // a temporary handed over (the callee frees it)
    bool release = false;  // a temporary the caller releases after the call
    uint32_t index = 0;    // a jump target or a type index, where the list holds those
};

// A variable of a procedure or of the program, with the storage its life needs.
struct Variable {
    std::string name;
    TypeRef type{Kind::Variant, 0, nullptr};
    Loc loc;
    bool is_array = false;
    bool fixed_array = false; // its bounds were given by Dim (allocated on entry)
    std::vector<int32_t> lower, upper;
};

enum class ProcKind : uint8_t { Sub, Function, ModuleCode };

struct Param {
    std::string name;
    TypeRef type{Kind::Variant, 0, nullptr};
    bool by_ref = true;
    bool is_array = false;
    bool optional = false;
    uint32_t offset = 0; // in the callee's frame: the value, or the pointer when by_ref
    Loc default_value;   // a constant, when an optional parameter has one
    Kind default_kind = Kind::Variant;
    bool has_default = false;
};

// The kinds of temporary frame slot a procedure reuses between statements: each slot holds one
// kind (a View is a String that shows the bytes of a fixed-length string and owns nothing; a
// Pointer the address of an element or a field).
enum class TempKind : uint8_t {
    Integer,
    Long,
    Single,
    Double,
    Currency,
    String,
    View,
    Variant,
    Pointer,
    Count
};

struct TempSlot {
    uint32_t offset;
    TempKind kind;
    uint32_t count = 1; // consecutive values of the kind (the items of Choose and Switch)
};

struct Procedure {
    std::string name;
    std::string module; // the file it came from
    ProcKind kind = ProcKind::Sub;
    bool text_compare = false;
    std::vector<Param> params;
    TypeRef result{Kind::Variant, 0, nullptr};
    uint32_t result_offset = 0;
    uint32_t frame_size = 0;
    std::vector<Variable> locals;                    // initialised on entry, released on exit
    std::vector<std::pair<uint32_t, TypeRef>> temps; // temporaries released after a trap
    std::vector<TempSlot> slots;                     // every temporary slot
    std::vector<Instr> code;
    std::vector<Unit> units;
    std::vector<Arg> lists; // the operand lists of the instructions
    bool uses_error_handler = false;
    bool defined = false;
    int32_t line = 0;
};

// A builtin the checked form calls: the interpreter's entry and the name the translator prints.
struct Callable;

struct Program {
    std::vector<std::unique_ptr<Procedure>> procedures;
    // Module-level code to run in order (one per module that has any), or Main.
    std::vector<uint32_t> entry;
    std::vector<Variable> globals;
    uint32_t global_size = 0;
    std::vector<uint8_t> constants;
    std::deque<std::string> texts; // the bytes the String constants point at
    std::deque<rt::RecordLayout> records;
    std::deque<std::vector<rt::Field>> record_fields;
    std::deque<std::string> field_names;
    std::vector<TypeRef> types; // element types of ReDim and Erase, field lists of Put and Get
    std::vector<const Callable *> callables;
};

} // namespace brtl::basic
