// A program from its files: read, parsed and checked as one program, or the errors that stop it,
// each as "FILE:LINE:COL: error: MESSAGE".
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "program.h"

namespace brtl::basic {

struct LoadedProgram {
    std::unique_ptr<Program> program;           // null when the files did not make a program
    std::map<std::string, std::string> sources; // file -> text
};

// Reads the modules; a file that cannot be read, a syntax error or the checker's errors are
// written to errors, and the result holds no program.
LoadedProgram load_program(const std::vector<std::string> &files, std::FILE *errors);

// The bytes of a file; false when it cannot be read.
bool read_file(const std::string &path, std::string &text);

} // namespace brtl::basic
