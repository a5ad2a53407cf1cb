// The interpreter: runs the checked form of a program. Each procedure call has a frame of its
// own in a stack of frames; a trap raised by a builtin (the hooks throw it) or by a host routine
// unwinds to the frame whose On Error handler takes it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lang/program.h"

namespace brtl::basic {

// A run that took more steps than its limit (set_step_limit): the program was stopped.
struct StepLimitReached {};

// A trap that no handler took: the program has ended with it.
struct Unhandled {
    int32_t number;
    std::string procedure; // "Sub Main", "Function Area", "module code"
    std::string file;
    int32_t line;
};

class Machine {
  public:
    explicit Machine(Program &program);
    ~Machine();
    Machine(const Machine &) = delete;
    Machine &operator=(const Machine &) = delete;

    // Makes room for the globals the program declares now (a session adds some with each
    // line) and initialises the new ones.
    void prepare();
    // Runs a procedure without arguments to its end. Returns false when the program ended
    // (End or Stop); throws Unhandled for a trap that no handler took.
    bool run(uint32_t procedure);
    // At most this many jumps and calls from now on (0: no limit); past it, run throws
    // StepLimitReached. The fuzz targets run random programs this way.
    void set_step_limit(uint64_t steps) { steps_left_ = steps == 0 ? UINT64_MAX : steps; }

  private:
    struct Frame;
    struct FrameInfo;
    class Stack;

    void execute();
    void dispatch();
    void call(const Instr &in);
    void leave(bool with_result);
    void handle_trap(int32_t number);
    const FrameInfo &info(uint32_t procedure);
    void enter(uint32_t procedure, uint8_t *result_to);
    void release_frame(Frame &f, bool result_too);
    void release_temps(Frame &f);

    Program &program_;
    std::vector<uint8_t> globals_storage_;
    uint8_t *globals_ = nullptr;
    size_t globals_ready_ = 0; // how many of the program's globals are initialised
    std::vector<Frame> frames_;
    std::vector<uint32_t> gosub_; // the return places of GoSub, of every frame
    std::vector<std::unique_ptr<FrameInfo>> infos_;
    std::unique_ptr<Stack> stack_;
    size_t base_depth_ = 0;
    uint64_t steps_left_ = UINT64_MAX;
};

} // namespace brtl::basic
