// Identifiers and literals of the C++ the translator writes.
#include <cctype>
#include <cstdio>

#include "writer.h"

namespace brtl::basic::cpp {
namespace {

// Words a name of the program must not take: C++'s keywords, the names of the standard
// library's macros a program might clash with, and the names the translated code uses itself.
const char *const kReserved[] = {
    "alignas",       "alignof",     "and",
    "and_eq",        "asm",         "auto",
    "bitand",        "bitor",       "bool",
    "break",         "case",        "catch",
    "char",          "char8_t",     "char16_t",
    "char32_t",      "class",       "compl",
    "concept",       "const",       "consteval",
    "constexpr",     "constinit",   "const_cast",
    "continue",      "co_await",    "co_return",
    "co_yield",      "decltype",    "default",
    "delete",        "do",          "double",
    "dynamic_cast",  "else",        "enum",
    "explicit",      "export",      "extern",
    "false",         "float",       "for",
    "friend",        "goto",        "if",
    "inline",        "int",         "long",
    "mutable",       "namespace",   "new",
    "noexcept",      "not",         "not_eq",
    "nullptr",       "operator",    "or",
    "or_eq",         "private",     "protected",
    "public",        "register",    "reinterpret_cast",
    "requires",      "return",      "short",
    "signed",        "sizeof",      "static",
    "static_assert", "static_cast", "struct",
    "switch",        "template",    "this",
    "thread_local",  "throw",       "true",
    "try",           "typedef",     "typeid",
    "typename",      "union",       "unsigned",
    "using",         "virtual",     "void",
    "volatile",      "wchar_t",     "while",
    "xor",           "xor_eq",      "main",
    "std",           "rt",          "errno",
    "stdin",         "stdout",      "stderr",
    "assert",        "offsetof",    "NULL",
    "EOF",           "TRUE",        "FALSE",
    "unix",          "linux",       "here",
    "handler",       "gosub",       "locals",
    "temps",         "globals",     "resume_at",
    "result",        "items",       "fields",
    "numbers",       "trap",        "Kind",
    "VARIANT",       "BiString",    "BiCurrency",
    "run_program",
};

bool reserved(const std::string &name) {
    for (const char *r : kReserved)
        if (name == r) return true;
    // The library's prefixes, temporaries (t12, p3), hidden variables (h0), constants (k...) and
    // anything a compiler
    // keeps to itself.
    auto starts = [&](const char *prefix) { return name.rfind(prefix, 0) == 0; };
    if (starts("Zbi") || starts("Zr") || starts("Bi") || starts("BI_") || starts("BRTL_") ||
        starts("VT_") || starts("Variant") || starts("Sys") || starts("_") ||
        name.find("__") != std::string::npos)
        return true;
    if (name.size() >= 2 &&
        (name[0] == 't' || name[0] == 'p' || name[0] == 'k' || name[0] == 'h') &&
        std::isdigit(static_cast<unsigned char>(name[1])))
        return true;
    if (name.size() >= 2 && name[0] == 'k' && std::isupper(static_cast<unsigned char>(name[1])))
        return true;
    return false;
}

} // namespace

bool Names::taken(const std::string &name) const {
    return used_.count(name) != 0 || (outer_ != nullptr && outer_->taken(name));
}

std::string Names::make(const std::string &basic_name) {
    std::string name;
    for (char c : basic_name) {
        switch (c) {
        case '$':
            name += "_str";
            break;
        case '%':
            name += "_int";
            break;
        case '&':
            name += "_lng";
            break;
        case '!':
            name += "_sng";
            break;
        case '#':
            name += "_dbl";
            break;
        case '@':
            name += "_cur";
            break;
        default:
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
    }
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) name = "v" + name;
    while (name.size() > 1 && name.back() == '_' && name[name.size() - 2] == '_')
        name.pop_back();
    if (reserved(name)) name += "_";
    while (taken(name))
        name += "_";
    used_.insert(name);
    return name;
}

std::string Names::claim(std::string name) {
    while (taken(name))
        name += "_";
    used_.insert(name);
    return name;
}

std::string numbered(const char *prefix, size_t n) {
    std::string name = prefix;
    name += std::to_string(n);
    return name;
}

std::string constant_name(const std::string &base, const char *suffix) {
    std::string name = "k";
    name += base;
    if (name.size() > 1)
        name[1] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[1])));
    name += suffix;
    return name;
}

std::string cpp_string_literal(const std::string &bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F && c != '?') {
            out += static_cast<char>(c);
        } else {
            // Three octal digits always: the next character cannot extend the escape.
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            out += buf;
        }
    }
    return out + "\"";
}

std::string cleanup_declaration(const char *name, const std::vector<std::string> &owned) {
    if (owned.empty()) return "";
    std::string out = std::string("    rt::Cleanup ") + name + "{";
    for (size_t i = 0; i < owned.size(); ++i)
        out += (i ? ", " : "") + owned[i];
    return out + "};\n";
}

std::string array_dim_statement(const std::string &name, const std::string &type,
                                const Variable &v) {
    std::string out = "    rt::array_dim(" + name + ", " + type + ", {";
    for (size_t d = 0; d < v.lower.size(); ++d)
        out += (d ? ", " : "") + std::to_string(v.lower[d]) + ", " + std::to_string(v.upper[d]);
    return out + "});\n";
}

std::string cpp_type(const TypeRef &t) {
    switch (t.kind) {
    case Kind::Integer:
        return "int16_t";
    case Kind::Long:
        return "int32_t";
    case Kind::Single:
        return "float";
    case Kind::Double:
        return "double";
    case Kind::Currency:
        return "BiCurrency";
    case Kind::String:
        return "BiString";
    case Kind::Fixed:
        return "char";
    case Kind::Variant:
        return "VARIANT";
    case Kind::Record:
        return "";
    }
    return "";
}

} // namespace brtl::basic::cpp
