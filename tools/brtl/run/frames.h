// The interpreter's frames: the stack they live in, and what each procedure's frame holds.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "machine.h"
#include "services/core.h"

namespace brtl::basic {

using rt::EndOfProgram; // thrown by End and Stop: every frame goes, the program is over

// ---- The stack of frames ---------------------------------------------------------------------

// Frames live in blocks that never move, so that the pointers a ByRef parameter holds into its
// caller's frame stay valid; they are taken and given back last-in, first-out.
class Machine::Stack {
  public:
    struct Mark {
        size_t block;
        size_t used;
    };
    uint8_t *take(size_t size, Mark &mark) {
        size = (size + 15) / 16 * 16;
        if (used_ + size <= capacity_) { // the usual case: room left in the current block
            mark = Mark{current_, used_};
            uint8_t *p = top_ + used_;
            used_ += size;
            return p;
        }
        if (size == 0) size = 16;
        if (blocks_.empty() || used_ + size > sizes_[current_]) {
            size_t next = blocks_.empty() ? 0 : current_ + 1;
            if (next >= blocks_.size() || sizes_[next] < size) {
                size_t block_size = size > kBlock ? size : kBlock;
                blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(next),
                               std::unique_ptr<uint8_t[]>(new uint8_t[block_size]));
                sizes_.insert(sizes_.begin() + static_cast<std::ptrdiff_t>(next), block_size);
            }
            mark = Mark{current_, used_};
            current_ = next;
            used_ = 0;
        } else {
            mark = Mark{current_, used_};
        }
        top_ = blocks_[current_].get();
        capacity_ = sizes_[current_];
        uint8_t *p = top_ + used_;
        used_ += size;
        return p;
    }
    void give_back(const Mark &mark) {
        if (mark.block != current_) {
            current_ = mark.block;
            top_ = blocks_[current_].get();
            capacity_ = sizes_[current_];
        }
        used_ = mark.used;
    }

  private:
    static constexpr size_t kBlock = 256 * 1024;
    std::vector<std::unique_ptr<uint8_t[]>> blocks_;
    std::vector<size_t> sizes_;
    size_t current_ = 0;
    size_t used_ = 0;
    uint8_t *top_ = nullptr; // the current block
    size_t capacity_ = 0;    // its size (0 before the first block)
};

struct Machine::FrameInfo {
    // What a frame holds that needs initialising and releasing (a frame starts as zero bytes,
    // which is already the empty value of a number).
    std::vector<const Variable *> locals;
    std::vector<std::pair<uint32_t, Kind>> temps;
    std::vector<std::pair<uint32_t, TypeRef>> value_params;
    bool result_needs_release = false;
    // How each parameter is filled: its offset, its kind and bytes, whether it takes the
    // argument's address.
    struct ParamSlot {
        uint32_t offset;
        uint32_t size;
        Kind kind;
        bool address;
    };
    std::vector<ParamSlot> params;
    uint32_t result_size = 0;
    bool needs_work = false; // any local, temporary or parameter to initialise or release
};

struct Machine::Frame {
    const Procedure *proc = nullptr;
    const FrameInfo *info = nullptr;
    uint8_t *base = nullptr;
    Stack::Mark mark{};
    uint8_t *result_to = nullptr; // the caller's slot for a Function's result
    uint32_t pc = 0;
    enum class Handler : uint8_t { None, GoTo, ResumeNext } handler = Handler::None;
    bool in_handler = false;
    bool text_compare = false;
    uint32_t handler_pc = 0;
    uint32_t trap_unit = 0;
    uint32_t gosub_base = 0; // its GoSub returns are those of gosub_ from here on
};

} // namespace brtl::basic
