// The main of a program: its command line for Command, the run, and the message and exit status
// of a trap that no handler took. The interpreter and translated programs share it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brtl::rt {

// Exit statuses of a program.
constexpr int kExitTrapped = 1;    // a run-time error ended it
constexpr int kExitNotStarted = 2; // it could not start (a checker error, a missing file)

// Sets the text Command returns: the words joined by blanks, cut to what the library holds.
void set_command_line(const std::vector<std::string> &words);

// Ends the console's open line and writes "Run-time error N: text" to the error channel, with
// "  in PROCEDURE at line L of FILE" when the place is known (procedure not null).
void report_trap(int32_t number, const char *procedure, const char *file, int32_t line);

// The main of a translated program: start_program(), the command line from argv, the program
// (which initialises and releases its globals and runs the module code), then the console
// flushed and every file closed. Returns the exit status: 0, or kExitTrapped after the report
// of a trap no handler took. End ends the program with status 0.
int run_translated(int argc, char **argv, void (*program)());

} // namespace brtl::rt
