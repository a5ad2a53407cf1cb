// The calls of the interpreter: a procedure's frame made, filled with its arguments, and given
// back with its result. Inline members, for the instruction loop that runs them on every call.
#pragma once

#include <cstring>

#include "frames.h"
#include "services/convert.h"
#include "services/core.h"
#include "services/storage.h"
#include "services/strings.h"
#include "values.h"

namespace brtl::basic {

namespace frames {

inline void init_variable(uint8_t *p, const Variable &v) {
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

inline void release_variable(uint8_t *p, const Variable &v) {
    if (v.is_array)
        rt::array_free(*reinterpret_cast<rt::Array *>(p), v.type);
    else if (rt::needs_release(v.type))
        rt::clear_value(p, v.type);
}

} // namespace frames

inline void Machine::enter(uint32_t procedure, uint8_t *result_to) {
    if (frames_.size() - base_depth_ >= static_cast<size_t>(rt::kMaxCallDepth))
        rt::raise_trap(rt::kOutOfStackSpace);
    const Procedure &p = *program_.procedures[procedure];
    const FrameInfo &fi = *infos_[procedure];
    Stack::Mark mark{};
    uint8_t *base = stack_->take(p.frame_size, mark);
    if (p.frame_size != 0) std::memset(base, 0, p.frame_size);
    Frame &f = frames_.emplace_back();
    f.proc = &p;
    f.info = &fi;
    f.base = base;
    f.mark = mark;
    f.result_to = result_to;
    f.text_compare = p.text_compare;
    f.gosub_base = static_cast<uint32_t>(gosub_.size());
    if (fi.needs_work) {
        for (const auto &[offset, kind] : fi.temps)
            if (kind == Kind::String) save(base + offset, rt::empty_string());
        if (p.kind == ProcKind::Function && p.result.kind == Kind::String)
            save(base + p.result_offset, rt::empty_string());
        // The locals come alive one by one, so that a frame given up half-way releases just
        // those.
        for (const Variable *v : fi.locals)
            frames::init_variable(base + v->loc.offset, *v);
    }
    if (p.text_compare != rt::text_compare()) rt::set_text_compare(p.text_compare);
}

inline void Machine::release_temps(Frame &f) {
    for (const auto &[offset, kind] : f.info->temps)
        release_temp(f.base + offset, kind);
}

inline void Machine::release_frame(Frame &f, bool result_too) {
    if (gosub_.size() > f.gosub_base) gosub_.resize(f.gosub_base);
    if (!f.info->needs_work) {
        stack_->give_back(f.mark);
        return;
    }
    for (const Variable *v : f.info->locals)
        frames::release_variable(f.base + v->loc.offset, *v);
    release_temps(f);
    for (const auto &[offset, type] : f.info->value_params)
        rt::clear_value(f.base + offset, type);
    if (result_too && f.info->result_needs_release)
        rt::clear_value(f.base + f.proc->result_offset, f.proc->result);
    stack_->give_back(f.mark);
}

inline void Machine::call(const Instr &in) {
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
    if (in.n > 64) rt::raise_trap(BI_TRAP_OUT_OF_MEMORY);
    for (uint16_t i = 0; i < in.n; ++i)
        sources[i] = where(args[i].loc);
    enter(in.x, result_to);
    const Frame &frame = frames_.back();
    uint8_t *base = frame.base;
    for (uint16_t i = 0; i < in.n; ++i) {
        const FrameInfo::ParamSlot &param = frame.info->params[i];
        const Arg &arg = args[i];
        uint8_t *slot = base + param.offset;
        if (param.address) {
            save(slot, sources[i]);
            continue;
        }
        switch (param.kind) {
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
            copy_bytes(slot, sources[i], param.size);
            break;
        }
    }
}

inline void Machine::leave(bool with_result) {
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
            copy_bytes(f.result_to, r, f.info->result_size);
            break;
        }
    }
    release_frame(f, true);
    frames_.pop_back();
    if (frames_.size() > base_depth_ && frames_.back().text_compare != rt::text_compare())
        rt::set_text_compare(frames_.back().text_compare);
}

} // namespace brtl::basic
