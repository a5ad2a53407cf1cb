// The instruction loop: one case per instruction of the checked form.
#include <cmath>
#include <cstring>

#include "calls.h"
#include "frames.h"
#include "lang/callable.h"
#include "machine.h"
#include "services/arith.h"
#include "services/console.h"
#include "services/convert.h"
#include "services/core.h"
#include "services/files.h"
#include "services/language.h"
#include "services/strings.h"
#include "services/variants.h"
#include "values.h"

namespace brtl::basic {

namespace {

constexpr uint8_t kinds(Kind from, Kind to) {
    return static_cast<uint8_t>(static_cast<unsigned>(from) << 4 | static_cast<unsigned>(to));
}
constexpr uint8_t kIntegerToLong = kinds(Kind::Integer, Kind::Long);
constexpr uint8_t kLongToDouble = kinds(Kind::Long, Kind::Double);
constexpr uint8_t kIntegerToDouble = kinds(Kind::Integer, Kind::Double);

int16_t line_input_type(Kind k) {
    return k == Kind::String    ? BI_TYPE_STRING
           : k == Kind::Variant ? BI_TYPE_VARIANT
                                : BI_TYPE_FIXED_STRING;
}
} // namespace

void Machine::dispatch() {
    Frame *f = &frames_.back();
    const Instr *code = f->proc->code.data();
    uint8_t *base = f->base;
    // The frame, the globals and the constants by the operand's base; Indirect goes through the
    // pointer in the frame.
    uint8_t *bases[3] = {base, globals_, program_.constants.data()};
    auto at = [&](const Loc &l) __attribute__((always_inline))->uint8_t * {
        if (l.base != Base::Indirect) return bases[static_cast<int>(l.base)] + l.offset;
        return load<uint8_t *>(base + l.offset) + l.disp;
    };
    auto reload = [&] {
        f = &frames_.back();
        code = f->proc->code.data();
        base = f->base;
        bases[0] = base;
    };
    while (true) {
        const Instr &in = code[f->pc];
        uint32_t next = f->pc + 1;
        Kind k = static_cast<Kind>(in.k);
        switch (in.op) {
        case Op::Nop:
            break;
        // ---- Moves and conversions
        case Op::Move:
            copy_bytes(at(in.d), at(in.a), in.x);
            break;
        case Op::MoveString: {
            BiString s = take_string(at(in.a), in.f & kTempA);
            BiString &d = *reinterpret_cast<BiString *>(at(in.d));
            rt::assign(d, s);
            if ((in.f & kTempD) && BiStringLength(d) != 0) d.length_word |= BI_STRING_TEMP_FLAG;
            break;
        }
        case Op::MoveFixed:
            rt::fixed_assign(reinterpret_cast<char *>(at(in.d)), in.x,
                             take_string(at(in.a), in.f & kTempA));
            break;
        case Op::MoveVariant: {
            VARIANT *d = reinterpret_cast<VARIANT *>(at(in.d));
            if (in.f & kTempA) {
                VARIANT v = take_variant(at(in.a));
                if (!rt::is_plain(*d)) BiXVariantClear(d);
                *d = v;
            } else {
                rt::copy_value(d, at(in.a), TypeRef{Kind::Variant, 0, nullptr});
            }
            break;
        }
        case Op::MoveRecord:
            rt::copy_value(at(in.d), at(in.a), program_.types[in.x]);
            break;
        case Op::LSetRecord:
            rt::lset_record(at(in.d), *program_.types[in.x].record, at(in.a),
                            *program_.types[in.b.offset].record);
            break;
        case Op::FixedView:
            save(at(in.d), BiString{reinterpret_cast<char *>(at(in.a)), in.x});
            break;
        case Op::Convert:
            // The widenings that cannot fail, without the general routine.
            if (in.k == kIntegerToLong) {
                save(at(in.d), int32_t{load<int16_t>(at(in.a))});
                break;
            }
            if (in.k == kLongToDouble) {
                save(at(in.d), double(load<int32_t>(at(in.a))));
                break;
            }
            if (in.k == kIntegerToDouble) {
                save(at(in.d), double(load<int16_t>(at(in.a))));
                break;
            }
            convert(in.k, at(in.d), at(in.a), in.f & kTempA);
            break;
        case Op::ToBool:
            save(at(in.d), to_boolean(k, at(in.a), in.f & kTempA));
            break;
        case Op::ToDate:
            save(at(in.d), rt::to_date(take_variant(at(in.a))));
            break;
        case Op::Release:
            release_temp(at(in.d), k);
            break;
        // ---- Typed arithmetic
        case Op::Add:
            if (k == Kind::Long) {
                save(at(in.d), rt::add(load<int32_t>(at(in.a)), load<int32_t>(at(in.b))));
                break;
            }
            if (k == Kind::Integer) {
                save(at(in.d), rt::add(load<int16_t>(at(in.a)), load<int16_t>(at(in.b))));
                break;
            }
            arithmetic(in.op, k, at(in.d), at(in.a), at(in.b));
            break;
        case Op::Sub:
            if (k == Kind::Long) {
                save(at(in.d), rt::sub(load<int32_t>(at(in.a)), load<int32_t>(at(in.b))));
                break;
            }
            arithmetic(in.op, k, at(in.d), at(in.a), at(in.b));
            break;
        case Op::Mul:
            if (k == Kind::Long) {
                save(at(in.d), rt::mul(load<int32_t>(at(in.a)), load<int32_t>(at(in.b))));
                break;
            }
            arithmetic(in.op, k, at(in.d), at(in.a), at(in.b));
            break;
        case Op::Div:
        case Op::IntDiv:
        case Op::Mod:
        case Op::Pow:
        case Op::Neg:
            arithmetic(in.op, k, at(in.d), at(in.a), at(in.b));
            break;
        case Op::Floatize:
            save(at(in.d), ZbiFloatizeDouble(load<double>(at(in.a))));
            break;
        case Op::ToBits:
            save(at(in.d), bits_of(k, at(in.a)));
            break;
        case Op::Truncate:
            save(at(in.d), rt::truncate_long(k == Kind::Single ? load<float>(at(in.a))
                                                               : load<double>(at(in.a))));
            break;
        case Op::BitAnd:
            save(at(in.d), load<int32_t>(at(in.a)) & load<int32_t>(at(in.b)));
            break;
        case Op::BitOr:
            save(at(in.d), load<int32_t>(at(in.a)) | load<int32_t>(at(in.b)));
            break;
        case Op::BitXor:
            save(at(in.d), load<int32_t>(at(in.a)) ^ load<int32_t>(at(in.b)));
            break;
        case Op::BitEqv:
            save(at(in.d), rt::bit_eqv(load<int32_t>(at(in.a)), load<int32_t>(at(in.b))));
            break;
        case Op::BitImp:
            save(at(in.d), rt::bit_imp(load<int32_t>(at(in.a)), load<int32_t>(at(in.b))));
            break;
        case Op::BitNot:
            save(at(in.d), ~load<int32_t>(at(in.a)));
            break;
        case Op::Concat: {
            BiString a = take_string(at(in.a), in.f & kTempA);
            BiString b = take_string(at(in.b), in.f & kTempB);
            save(at(in.d), rt::concat(a, b));
            break;
        }
        case Op::Compare:
            if (k == Kind::Long) {
                save(at(in.d),
                     rt::truth(holds(in.x, load<int32_t>(at(in.a)), load<int32_t>(at(in.b)))));
                break;
            }
            save(at(in.d),
                 compare_values(k, in.x, at(in.a), at(in.b), in.f & kTempA, in.f & kTempB));
            break;
        case Op::CompareCyR8: {
            int32_t c = rt::compare_currency(load<BiCurrency>(at(in.a)), load<double>(at(in.b)));
            int32_t zero = 0;
            save(at(in.d), compare_values(Kind::Long, in.x, &c, &zero, false, false));
            break;
        }
        // ---- Variants
        case Op::VarBinary: {
            VARIANT a = take_variant(at(in.a));
            VARIANT b = take_variant(at(in.b));
            save(at(in.d), rt::var_binary(static_cast<int32_t>(in.x), a, b));
            break;
        }
        case Op::VarUnary:
            save(at(in.d), rt::var_unary(static_cast<int32_t>(in.x), take_variant(at(in.a))));
            break;
        case Op::VarDiv:
        case Op::VarIntDiv:
        case Op::VarMod:
        case Op::VarPow:
        case Op::VarConcat:
        case Op::VarLike: {
            VARIANT a = take_variant(at(in.a));
            VARIANT b = take_variant(at(in.b));
            VARIANT r;
            switch (in.op) {
            case Op::VarDiv:
                r = rt::var_divide(a, b);
                break;
            case Op::VarIntDiv:
                r = rt::var_int_divide(a, b);
                break;
            case Op::VarMod:
                r = rt::var_modulo(a, b);
                break;
            case Op::VarPow:
                r = rt::var_power(a, b);
                break;
            case Op::VarConcat:
                r = rt::var_concat(a, b);
                break;
            default:
                r = rt::var_like(a, b);
                break;
            }
            save(at(in.d), r);
            break;
        }
        // ---- Control
        case Op::Jump:
            if (--steps_left_ == 0) throw StepLimitReached{};
            next = in.x;
            break;
        case Op::JumpIfFalse:
            if (k == Kind::Integer ? load<int16_t>(at(in.a)) == 0
                                   : !truth_of(k, at(in.a), in.f & kTempA)) {
                if (in.x < next && --steps_left_ == 0) throw StepLimitReached{};
                next = in.x;
            }
            break;
        case Op::JumpIfTrue:
            if (k == Kind::Integer ? load<int16_t>(at(in.a)) != 0
                                   : truth_of(k, at(in.a), in.f & kTempA)) {
                if (in.x < next && --steps_left_ == 0) throw StepLimitReached{};
                next = in.x;
            }
            break;
        case Op::JumpCompare: {
            bool taken;
            uint32_t cond = in.n & 0xFF;
            if (k == Kind::Long)
                taken = holds(cond, load<int32_t>(at(in.a)), load<int32_t>(at(in.b)));
            else if (k == Kind::Integer)
                taken = holds(cond, load<int16_t>(at(in.a)), load<int16_t>(at(in.b)));
            else
                taken = compare_values(k, cond, at(in.a), at(in.b), false, false) != 0;
            if (taken == ((in.n >> 8) != 0)) {
                if (in.x < next && --steps_left_ == 0) throw StepLimitReached{};
                next = in.x;
            }
            break;
        }
        case Op::ForNext: {
            uint8_t *counter = at(in.d);
            bool more;
            switch (k) {
            case Kind::Integer: {
                int16_t v = rt::add(load<int16_t>(counter), load<int16_t>(at(in.a)));
                save(counter, v);
                more = in.n == 1 ? v <= load<int16_t>(at(in.b)) : v >= load<int16_t>(at(in.b));
                break;
            }
            case Kind::Long: {
                int32_t v = rt::add(load<int32_t>(counter), load<int32_t>(at(in.a)));
                save(counter, v);
                more = in.n == 1 ? v <= load<int32_t>(at(in.b)) : v >= load<int32_t>(at(in.b));
                break;
            }
            default:
                arithmetic(Op::Add, k, counter, counter, at(in.a));
                more = compare_values(k, in.n == 1 ? BI_OP_LE : BI_OP_GE, counter, at(in.b), false,
                                      false) != 0;
                break;
            }
            if (more) {
                if (--steps_left_ == 0) throw StepLimitReached{};
                next = in.x;
            }
            break;
        }
        case Op::GoSub:
            if (--steps_left_ == 0) throw StepLimitReached{};
            gosub_.push_back(next);
            next = in.x;
            break;
        case Op::ReturnGoSub:
            if (gosub_.size() <= f->gosub_base) rt::raise_trap(rt::kReturnWithoutGoSub);
            next = gosub_.back();
            gosub_.pop_back();
            break;
        case Op::OnGoTo:
        case Op::OnGoSub: {
            int32_t n = load<int32_t>(at(in.a));
            if (n < 0 || n > 255) rt::raise_trap(BI_TRAP_ILLEGAL_CALL);
            if (n == 0 || n > in.n) break;
            if (--steps_left_ == 0) throw StepLimitReached{};
            if (in.op == Op::OnGoSub) gosub_.push_back(next);
            next = f->proc->lists[in.x + static_cast<uint32_t>(n) - 1].index;
            break;
        }
        case Op::Call:
            if (--steps_left_ == 0) throw StepLimitReached{};
            call(in);
            reload();
            continue;
        case Op::CallBuiltin: {
            const Callable &fn = *program_.callables[in.x];
            const Arg *args = f->proc->lists.data() + in.a.offset;
            void *pointers[kMaxCallableParams];
            for (uint16_t i = 0; i < in.n; ++i)
                pointers[i] = at(args[i].loc);
            // The callee takes the temporaries it consumes: their slots are empty before it
            // runs, so that a trap inside it releases nothing twice.
            BiString strings[kMaxCallableParams];
            VARIANT variants[kMaxCallableParams];
            for (uint16_t i = 0; i < in.n; ++i) {
                if (!args[i].consumed) continue;
                if (fn.params[i] == CType::Str) {
                    strings[i] = take_string(pointers[i], true);
                    pointers[i] = &strings[i];
                } else {
                    variants[i] = take_variant(pointers[i]);
                    pointers[i] = &variants[i];
                }
            }
            fn.invoke(pointers, at(in.d));
            for (uint16_t i = 0; i < in.n; ++i)
                if (args[i].release) release_temp(at(args[i].loc), args[i].type.kind);
            break;
        }
        case Op::Return: {
            leave(true);
            if (frames_.size() == base_depth_) return;
            reload();
            // The temporaries the caller passed ByRef are its own to release.
            const Instr &call = code[f->pc];
            const Arg *args = f->proc->lists.data() + call.a.offset;
            for (uint16_t i = 0; i < call.n; ++i)
                if (args[i].release) release_temp(at(args[i].loc), args[i].type.kind);
            ++f->pc;
            continue;
        }
        case Op::End:
            throw EndOfProgram{};
        case Op::OnError:
            rt::err().number = 0;
            f->handler = in.k == 0   ? Frame::Handler::None
                         : in.k == 1 ? Frame::Handler::GoTo
                                     : Frame::Handler::ResumeNext;
            f->handler_pc = in.x;
            break;
        case Op::Resume: {
            if (--steps_left_ == 0) throw StepLimitReached{};
            if (!f->in_handler) rt::raise_trap(rt::kResumeWithoutError);
            f->in_handler = false;
            rt::err().number = 0;
            const Unit &u = f->proc->units[f->trap_unit];
            next = in.k == 0 ? u.start : in.k == 1 ? u.end : in.x;
            break;
        }
        case Op::Raise:
            rt::error_statement(load<int32_t>(at(in.a)));
        case Op::SetErr:
            rt::set_err(load<int32_t>(at(in.a)));
            break;
        case Op::GetErr:
            save(at(in.d), rt::err().number);
            break;
        case Op::GetErl:
            save(at(in.d), rt::err().line);
            break;
        case Op::SetCompare:
            f->text_compare = in.k != 0;
            rt::set_text_compare(f->text_compare);
            break;
        // ---- Arrays
        case Op::Element: {
            int32_t subscripts[rt::kMaxDimensions];
            const Arg *list = f->proc->lists.data() + in.x;
            for (uint16_t i = 0; i < in.n && i < rt::kMaxDimensions; ++i)
                subscripts[i] = load<int32_t>(at(list[i].loc));
            save(at(in.d),
                 rt::array_element(*reinterpret_cast<rt::Array *>(at(in.a)), subscripts, in.n));
            break;
        }
        case Op::Element1:
            save(at(in.d), rt::array_element1(*reinterpret_cast<rt::Array *>(at(in.a)),
                                              load<int32_t>(at(in.b))));
            break;
        case Op::VarElement: {
            rt::Array *a = rt::variant_array(*reinterpret_cast<VARIANT *>(at(in.a)));
            if (a == nullptr) rt::raise_trap(BI_TRAP_TYPE_MISMATCH);
            int32_t subscripts[rt::kMaxDimensions];
            const Arg *list = f->proc->lists.data() + in.x;
            for (uint16_t i = 0; i < in.n && i < rt::kMaxDimensions; ++i)
                subscripts[i] = load<int32_t>(at(list[i].loc));
            save(at(in.d), rt::array_element(*a, subscripts, in.n));
            break;
        }
        case Op::ReDim: {
            int32_t lower[rt::kMaxDimensions], upper[rt::kMaxDimensions];
            const Arg *list = f->proc->lists.data() + in.x;
            int32_t dims = in.n / 2;
            for (int32_t i = 0; i < dims && i < rt::kMaxDimensions; ++i) {
                lower[i] = load<int32_t>(at(list[2 * i].loc));
                upper[i] = load<int32_t>(at(list[2 * i + 1].loc));
            }
            rt::array_redim(*reinterpret_cast<rt::Array *>(at(in.a)), program_.types[in.b.offset],
                            dims, lower, upper, in.k == 1);
            break;
        }
        case Op::Erase:
            if (in.k == 1)
                rt::array_free(*reinterpret_cast<rt::Array *>(at(in.a)), program_.types[in.x]);
            else
                rt::array_reset(*reinterpret_cast<rt::Array *>(at(in.a)), program_.types[in.x]);
            break;
        case Op::Bound: {
            rt::Array *a = reinterpret_cast<rt::Array *>(at(in.a));
            if (in.k & 2) {
                a = rt::variant_array(*reinterpret_cast<VARIANT *>(at(in.a)));
                if (a == nullptr) rt::raise_trap(BI_TRAP_TYPE_MISMATCH);
            }
            save(at(in.d), rt::array_bound(*a, load<int32_t>(at(in.b)), (in.k & 1) != 0));
            break;
        }
        case Op::AddressOf:
            save(at(in.d), at(in.a));
            break;
        // ---- Printing and files
        case Op::PrintItem:
            print_value(k, at(in.a), in.f & kTempA);
            break;
        case Op::PrintComma:
            rt::print_comma();
            break;
        case Op::PrintSpc:
            rt::print_spc(load<int32_t>(at(in.a)));
            break;
        case Op::PrintTab:
            rt::print_tab(load<int32_t>(at(in.a)));
            break;
        case Op::PrintEnd:
            rt::console_newline();
            break;
        case Op::FilePrintItem:
            file_print_value(load<int16_t>(at(in.a)), k, at(in.b), in.f & kTempB);
            break;
        case Op::FilePrintComma:
            rt::file_print_comma(load<int16_t>(at(in.a)));
            break;
        case Op::FilePrintSpc:
            rt::file_print_spc(load<int16_t>(at(in.a)), load<int32_t>(at(in.b)));
            break;
        case Op::FilePrintTab:
            rt::file_print_tab(load<int16_t>(at(in.a)), load<int32_t>(at(in.b)));
            break;
        case Op::FilePrintEnd:
            rt::file_print_end(load<int16_t>(at(in.a)));
            break;
        case Op::FileWrite: {
            rt::WriteList items;
            const Arg *list = f->proc->lists.data() + in.x;
            for (uint16_t i = 0; i < in.n; ++i) {
                uint8_t *p = at(list[i].loc);
                switch (list[i].type.kind) {
                case Kind::Integer:
                    items.add(load<int16_t>(p));
                    break;
                case Kind::Long:
                    items.add(load<int32_t>(p));
                    break;
                case Kind::Single:
                    items.add(load<float>(p));
                    break;
                case Kind::Double:
                    items.add(load<double>(p));
                    break;
                case Kind::Currency:
                    items.add(load<BiCurrency>(p));
                    break;
                case Kind::String:
                    items.add(take_string(p, list[i].consumed));
                    break;
                default:
                    items.add(take_variant(p));
                    break;
                }
            }
            items.write(load<int16_t>(at(in.a)));
            break;
        }
        case Op::FileInput: {
            int16_t number = load<int16_t>(at(in.a));
            void *p = at(in.b);
            switch (k) {
            case Kind::Integer:
                rt::file_input(number, static_cast<int16_t *>(p));
                break;
            case Kind::Long:
                rt::file_input(number, static_cast<int32_t *>(p));
                break;
            case Kind::Single:
                rt::file_input(number, static_cast<float *>(p));
                break;
            case Kind::Double:
                rt::file_input(number, static_cast<double *>(p));
                break;
            case Kind::Currency:
                rt::file_input(number, static_cast<BiCurrency *>(p));
                break;
            case Kind::String:
                rt::file_input(number, static_cast<BiString *>(p));
                break;
            case Kind::Fixed:
                rt::file_input_fixed(number, static_cast<char *>(p), in.x);
                break;
            default:
                rt::file_input(number, static_cast<VARIANT *>(p));
                break;
            }
            break;
        }
        case Op::FileLineInput:
            ZbiBuiltIn_LineInput(load<int16_t>(at(in.a)), line_input_type(k),
                                 static_cast<int32_t>(in.x), at(in.b));
            break;
        case Op::FilePut:
        case Op::FileGet: {
            rt::FieldList fields;
            const Arg *list = f->proc->lists.data() + in.x;
            for (uint16_t i = 0; i < in.n; ++i)
                fields.add_value(at(list[i].loc), program_.types[list[i].index]);
            int16_t number = load<int16_t>(at(in.a));
            int32_t position = load<int32_t>(at(in.b));
            if (in.op == Op::FilePut)
                fields.put(number, position, in.k == 1);
            else
                fields.get(number, position, in.k == 1);
            for (uint16_t i = 0; i < in.n; ++i)
                if (list[i].release) release_temp(at(list[i].loc), list[i].type.kind);
            break;
        }
        case Op::Close: {
            int16_t numbers[256];
            const Arg *list = f->proc->lists.data() + in.x;
            uint16_t n = in.n < 256 ? in.n : 256;
            for (uint16_t i = 0; i < n; ++i)
                numbers[i] = load<int16_t>(at(list[i].loc));
            rt::close_files(numbers, n);
            break;
        }
        }
        f->pc = next;
    }
}

} // namespace brtl::basic
