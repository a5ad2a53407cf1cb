#include "machine.h"
#include "frames.h"

#include <cstring>

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

void init_variable(uint8_t *p, const Variable &v) {
    if (!v.is_array) {
        rt::init_value(p, v.type);
        return;
    }
    std::memset(p, 0, sizeof(rt::Array));
    if (v.fixed_array)
        rt::array_redim(*reinterpret_cast<rt::Array *>(p), v.type,
                        static_cast<int32_t>(v.lower.size()), v.lower.data(), v.upper.data(),
                        false);
}

void release_variable(uint8_t *p, const Variable &v) {
    if (v.is_array)
        rt::array_free(*reinterpret_cast<rt::Array *>(p), v.type);
    else if (rt::needs_release(v.type))
        rt::clear_value(p, v.type);
}
} // namespace

Machine::Machine(Program &program) : program_(program), stack_(std::make_unique<Stack>()) {
    frames_.reserve(64);
}

Machine::~Machine() {
    for (size_t i = globals_ready_; i-- > 0;) {
        const Variable &v = program_.globals[i];
        release_variable(globals_ + v.loc.offset, v);
    }
}

void Machine::prepare() {
    if (program_.global_size > globals_storage_.size()) {
        // Between two lines of a session no pointer into the globals is held, and every value
        // there may move byte by byte.
        std::vector<uint8_t> grown(program_.global_size + 64, 0);
        if (!globals_storage_.empty())
            std::memcpy(grown.data(), globals_storage_.data(), globals_storage_.size());
        globals_storage_.swap(grown);
        globals_ = globals_storage_.data();
    }
    for (; globals_ready_ < program_.globals.size(); ++globals_ready_) {
        const Variable &v = program_.globals[globals_ready_];
        init_variable(globals_ + v.loc.offset, v);
    }
}

const Machine::FrameInfo &Machine::info(uint32_t procedure) {
    if (infos_.size() <= procedure) infos_.resize(program_.procedures.size());
    std::unique_ptr<FrameInfo> &slot = infos_[procedure];
    if (slot) return *slot;
    const Procedure &p = *program_.procedures[procedure];
    slot = std::make_unique<FrameInfo>();
    for (const Variable &v : p.locals)
        slot->locals.push_back(&v);
    for (const auto &[offset, type] : p.temps)
        slot->temps.push_back({offset, type.kind});
    for (const Param &param : p.params)
        if (!param.by_ref && !param.is_array && rt::needs_release(param.type))
            slot->value_params.push_back({param.offset, param.type});
    slot->result_needs_release = p.kind == ProcKind::Function && rt::needs_release(p.result);
    return *slot;
}

void Machine::enter(uint32_t procedure, uint8_t *result_to) {
    if (frames_.size() - base_depth_ >= static_cast<size_t>(rt::kMaxCallDepth))
        rt::raise(rt::kOutOfStackSpace);
    const Procedure &p = *program_.procedures[procedure];
    const FrameInfo &fi = info(procedure);
    Stack::Mark mark{};
    uint8_t *base = stack_->take(p.frame_size, mark);
    std::memset(base, 0, p.frame_size);
    for (const auto &[offset, kind] : fi.temps)
        if (kind == Kind::String) save(base + offset, rt::empty_string());
    if (p.kind == ProcKind::Function && p.result.kind == Kind::String)
        save(base + p.result_offset, rt::empty_string());
    Frame f;
    f.proc = &p;
    f.info = &fi;
    f.base = base;
    f.mark = mark;
    f.result_to = result_to;
    f.text_compare = p.text_compare;
    frames_.push_back(std::move(f));
    // The locals come alive one by one, so that a frame given up half-way releases just those.
    for (const Variable *v : fi.locals)
        init_variable(base + v->loc.offset, *v);
    rt::set_text_compare(p.text_compare);
}

void Machine::release_temps(Frame &f) {
    for (const auto &[offset, kind] : f.info->temps)
        release_temp(f.base + offset, kind);
}

void Machine::release_frame(Frame &f, bool result_too) {
    for (const Variable *v : f.info->locals)
        release_variable(f.base + v->loc.offset, *v);
    release_temps(f);
    for (const auto &[offset, type] : f.info->value_params)
        rt::clear_value(f.base + offset, type);
    if (result_too && f.info->result_needs_release)
        rt::clear_value(f.base + f.proc->result_offset, f.proc->result);
    stack_->give_back(f.mark);
}

bool Machine::run(uint32_t procedure) {
    base_depth_ = frames_.size();
    try {
        enter(procedure, nullptr);
        execute();
    } catch (const EndOfProgram &) {
        while (frames_.size() > base_depth_) {
            release_frame(frames_.back(), true);
            frames_.pop_back();
        }
        return false;
    } catch (const StepLimitReached &) {
        while (frames_.size() > base_depth_) {
            release_frame(frames_.back(), true);
            frames_.pop_back();
        }
        throw;
    }
    return true;
}

void Machine::execute() {
    while (true) {
        try {
            dispatch();
            return;
        } catch (const rt::Trap &t) {
            handle_trap(t.number);
        }
    }
}

// ---- Traps
// ----------------------------------------------------------------------------------------

void Machine::handle_trap(int32_t number) {
    Frame &at = frames_.back();
    const Procedure &where = *at.proc;
    const Unit &unit = where.units[where.code[at.pc].unit];
    rt::ErrState &err = rt::err();
    err.number = number;
    err.line = unit.label;
    // The nearest frame with a handler that is not handling a trap already takes it; the frames
    // above it are given up.
    size_t h = frames_.size();
    while (h > base_depth_) {
        Frame &f = frames_[h - 1];
        if (f.handler != Frame::Handler::None && !f.in_handler) break;
        --h;
    }
    if (h == base_depth_) {
        std::string kind = where.kind == ProcKind::Sub        ? "Sub "
                           : where.kind == ProcKind::Function ? "Function "
                                                              : "";
        Unhandled out{number,
                      where.kind == ProcKind::ModuleCode ? "module-level code" : kind + where.name,
                      where.module, unit.line};
        while (frames_.size() > base_depth_) {
            release_frame(frames_.back(), true);
            frames_.pop_back();
        }
        throw out;
    }
    while (frames_.size() > h) {
        release_frame(frames_.back(), true);
        frames_.pop_back();
    }
    Frame &f = frames_.back();
    release_temps(f);
    rt::set_text_compare(f.text_compare);
    f.trap_unit = f.proc->code[f.pc].unit;
    if (f.handler == Frame::Handler::GoTo) {
        f.in_handler = true;
        f.pc = f.handler_pc;
    } else {
        f.pc = f.proc->units[f.trap_unit].end;
    }
}

// ---- Calls
// ----------------------------------------------------------------------------------------

void Machine::call(const Instr &in) {
    Frame &caller = frames_.back();
    const Procedure &callee = *program_.procedures[in.x];
    const Arg *args = caller.proc->lists.data() + in.a.offset;
    uint8_t *caller_base = caller.base;
    auto where = [&](const Loc &l) -> uint8_t * {
        switch (l.base) {
        case Base::Frame:
            return caller_base + l.offset;
        case Base::Global:
            return globals_ + l.offset;
        case Base::Const:
            return program_.constants.data() + l.offset;
        default:
            return load<uint8_t *>(caller_base + l.offset) + l.disp;
        }
    };
    uint8_t *result_to = callee.kind == ProcKind::Function ? where(in.d) : nullptr;
    // The argument addresses are taken before the callee's frame exists.
    uint8_t *sources[64];
    if (in.n > 64) rt::raise(BI_TRAP_OUT_OF_MEMORY);
    for (uint16_t i = 0; i < in.n; ++i)
        sources[i] = where(args[i].loc);
    enter(in.x, result_to);
    uint8_t *base = frames_.back().base;
    for (uint16_t i = 0; i < in.n; ++i) {
        const Param &param = callee.params[i];
        const Arg &arg = args[i];
        uint8_t *slot = base + param.offset;
        if (param.by_ref || param.is_array) {
            save(slot, sources[i]);
            continue;
        }
        switch (param.type.kind) {
        case Kind::String: {
            BiString s = take_string(sources[i], arg.consumed);
            if (arg.consumed)
                save(slot, BiString{s.data, BiStringLength(s)});
            else
                rt::assign(*reinterpret_cast<BiString *>(slot), s);
            break;
        }
        case Kind::Variant:
            if (arg.consumed)
                save(slot, take_variant(sources[i]));
            else
                save(slot, rt::copy_var(load<VARIANT>(sources[i])));
            break;
        default:
            std::memcpy(slot, sources[i], rt::storage_size(param.type));
            break;
        }
    }
}

void Machine::leave(bool with_result) {
    Frame &f = frames_.back();
    if (f.in_handler) rt::err().number = 0;
    if (with_result && f.result_to != nullptr) {
        uint8_t *r = f.base + f.proc->result_offset;
        switch (f.proc->result.kind) {
        case Kind::String: {
            BiString s = load<BiString>(r);
            if (BiStringLength(s) != 0) s.length_word |= BI_STRING_TEMP_FLAG;
            save(f.result_to, s);
            save(r, rt::empty_string());
            break;
        }
        case Kind::Variant:
            save(f.result_to, take_variant(r));
            break;
        default:
            std::memcpy(f.result_to, r, rt::storage_size(f.proc->result));
            break;
        }
    }
    release_frame(f, true);
    frames_.pop_back();
    if (frames_.size() > base_depth_) rt::set_text_compare(frames_.back().text_compare);
}

} // namespace brtl::basic
