// Running programs: whole modules, and the immediate window's lines, each on its own.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "lang/check.h"
#include "run/machine.h"
#include "services/program.h"

namespace brtl::basic {

constexpr int kTrapped = rt::kExitTrapped;       // a run-time error ended the program (a line)
constexpr int kNotStarted = rt::kExitNotStarted; // an error stopped it from starting

// Reads, checks and runs the modules as one program; the exit status. With dump, prints the
// checked form instead of running it.
int run_program(const std::vector<std::string> &files, bool dump = false);

// The immediate window: each line is checked and run on its own against what the lines before
// it declared; a Sub or Function typed in is defined for the lines after it.
class Window {
  public:
    Window();
    ~Window();
    // Runs a line; where names it in messages ("-e 2", or its number in a file).
    void line(const std::string &text, const std::string &where, int number);
    // Runs a procedure whose lines began but did not end.
    void finish();
    int status() const { return status_; }
    // End or Stop ran: no more lines.
    bool ended() const { return ended_; }

  private:
    void run(const std::string &text, const std::string &where, int number);
    void syntax(const std::string &where, int line, int column, const std::string &message);
    Machine &machine();

    Session session_;
    std::unique_ptr<Machine> machine_;
    std::string pending_;
    std::string pending_where_;
    int pending_first_ = 0;
    int status_ = 0;
    bool ended_ = false;
};

} // namespace brtl::basic
