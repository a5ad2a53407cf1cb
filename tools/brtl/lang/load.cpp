#include "load.h"

#include <fstream>
#include <sstream>

#include "check.h"
#include "lexer.h"
#include "parser.h"

namespace brtl::basic {

bool read_file(const std::string &path, std::string &text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return true;
}

LoadedProgram load_program(const std::vector<std::string> &files, std::FILE *errors) {
    LoadedProgram out;
    std::vector<Module> modules;
    for (const std::string &file : files) {
        std::string text;
        if (!read_file(file, text)) {
            std::fprintf(errors, "brtl: cannot open %s\n", file.c_str());
            return out;
        }
        try {
            modules.push_back(parse_module(text, file));
        } catch (const SourceError &e) {
            std::fprintf(errors, "%s:%d:%d: error: %s\n", file.c_str(), e.line, e.column,
                         e.message.c_str());
            return out;
        }
        out.sources[file] = std::move(text);
    }
    try {
        out.program = check_program(std::move(modules));
    } catch (const CheckErrors &found) {
        for (const CheckError &e : found.errors)
            std::fprintf(errors, "%s:%d:%d: error: %s\n", e.file.c_str(), e.line, e.column,
                         e.message.c_str());
    }
    return out;
}

} // namespace brtl::basic
