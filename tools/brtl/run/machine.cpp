#include "machine.h"
#include "calls.h"
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

Machine::Machine(Program &program) : program_(program), stack_(std::make_unique<Stack>()) {
    frames_.reserve(64);
}

Machine::~Machine() {
    for (size_t i = globals_ready_; i-- > 0;) {
        const Variable &v = program_.globals[i];
        frames::release_variable(globals_ + v.loc.offset, v);
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
    for (uint32_t p = static_cast<uint32_t>(infos_.size()); p < program_.procedures.size(); ++p)
        info(p);
    for (; globals_ready_ < program_.globals.size(); ++globals_ready_) {
        const Variable &v = program_.globals[globals_ready_];
        frames::init_variable(globals_ + v.loc.offset, v);
    }
}

namespace {
bool is_number(Kind k) {
    return k == Kind::Integer || k == Kind::Long || k == Kind::Single || k == Kind::Double ||
           k == Kind::Currency;
}
} // namespace

const Machine::FrameInfo &Machine::info(uint32_t procedure) {
    if (infos_.size() <= procedure) infos_.resize(program_.procedures.size());
    std::unique_ptr<FrameInfo> &slot = infos_[procedure];
    if (slot) return *slot;
    const Procedure &p = *program_.procedures[procedure];
    slot = std::make_unique<FrameInfo>();
    for (const Variable &v : p.locals)
        if (v.is_array || !is_number(v.type.kind)) slot->locals.push_back(&v);
    for (const auto &[offset, type] : p.temps)
        slot->temps.push_back({offset, type.kind});
    for (const Param &param : p.params) {
        bool address = param.by_ref || param.is_array;
        if (!address && rt::needs_release(param.type))
            slot->value_params.push_back({param.offset, param.type});
        slot->params.push_back(
            {param.offset, address ? 0 : rt::storage_size(param.type), param.type.kind, address});
    }
    slot->result_needs_release = p.kind == ProcKind::Function && rt::needs_release(p.result);
    if (p.kind == ProcKind::Function) slot->result_size = rt::storage_size(p.result);
    slot->needs_work = !slot->locals.empty() || !slot->temps.empty() ||
                       !slot->value_params.empty() || slot->result_needs_release ||
                       (p.kind == ProcKind::Function && p.result.kind == Kind::String);
    return *slot;
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

} // namespace brtl::basic
