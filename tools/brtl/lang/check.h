// Checks modules and lowers them into the checked form of a program; the interactive session
// checks one line at a time against what earlier lines declared.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "ast.h"
#include "program.h"

namespace brtl::basic {

// An error found before the program runs, at a line and column of a file.
struct CheckError {
    std::string file;
    int line = 0;
    int column = 0;
    std::string message;
};

// Thrown with every error found (at most a screenful).
struct CheckErrors {
    std::vector<CheckError> errors;
};

class Checker;

// The modules of a program (parsed in the order given) into the checked form; throws
// CheckErrors.
std::unique_ptr<Program> check_program(std::vector<Module> modules);

// The immediate window's program: each line is checked as module-level code of one module that
// keeps its variables and procedures for the lines after it; names that no line declared become
// Variants (or the type of their type character).
class Session {
  public:
    Session();
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;
    // Checks a module fragment (one line, or a procedure's lines) and adds it to the program;
    // returns the procedure that runs its module-level code. Throws CheckErrors; then nothing
    // of the fragment stays.
    uint32_t add(Module fragment);
    Program &program() { return *program_; }

  private:
    std::unique_ptr<Program> program_;
    std::unique_ptr<Checker> checker_;
    std::deque<Module> fragments_; // the procedures of earlier lines refer to their syntax
};

} // namespace brtl::basic
