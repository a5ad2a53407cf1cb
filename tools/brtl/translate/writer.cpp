// The program as a whole: its user types as C structures, the types and constants the code
// refers to, its globals, the statement tables of its procedures, the procedures, and main.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>

#include "writer.h"

namespace brtl::basic::cpp {
namespace {

template <typename T> T load(const std::vector<uint8_t> &pool, uint32_t offset) {
    T v;
    std::memcpy(&v, pool.data() + offset, sizeof v);
    return v;
}

// The shortest decimal text that reads back as the same value.
template <typename T> std::string float_text(T v, const char *suffix) {
    if (std::isnan(v))
        return "std::numeric_limits<" + std::string(suffix[0] ? "float" : "double") +
               ">::quiet_NaN()";
    if (std::isinf(v))
        return std::string(v < 0 ? "-" : "") + "std::numeric_limits<" +
               (suffix[0] ? "float" : "double") + ">::infinity()";
    char buf[64];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, static_cast<double>(v));
        T back = static_cast<T>(std::strtod(buf, nullptr));
        if (back == v) break;
    }
    std::string text = buf;
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    return text + suffix;
}

const char *kind_word(Kind k) {
    switch (k) {
    case Kind::Integer:
        return "Integer";
    case Kind::Long:
        return "Long";
    case Kind::Single:
        return "Single";
    case Kind::Double:
        return "Double";
    case Kind::Currency:
        return "Currency";
    case Kind::String:
        return "String";
    case Kind::Fixed:
        return "Fixed";
    case Kind::Variant:
        return "Variant";
    case Kind::Record:
        return "Record";
    }
    return "";
}

std::string stem_of(const std::string &file) {
    size_t slash = file.find_last_of("/\\");
    std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// A source line as a C++ comment can hold it: no control characters, no backslash at its end
// (which would continue the comment on the next line).
std::string comment_text(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.pop_back();
    for (char &c : text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = '?';
    if (!text.empty() && text.back() == '\\') text += " //";
    return text;
}

} // namespace

Writer::Writer(const Program &program, const TranslateOptions &options)
    : program_(program), options_(options) {
    for (const auto &[file, text] : options.sources) {
        std::vector<std::string> &lines = source_lines_[file];
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
    }
}

std::string Writer::source_line(const std::string &file, int32_t line) const {
    auto it = source_lines_.find(file);
    if (it == source_lines_.end() || line < 1) return "";
    const std::vector<std::string> &lines = it->second;
    std::string out;
    // A line continued with " _" comes with its continuation lines.
    for (size_t i = static_cast<size_t>(line - 1); i < lines.size(); ++i) {
        std::string text = comment_text(lines[i]);
        out += (out.empty() ? "" : "\n") + text;
        if (text.size() < 2 || text.compare(text.size() - 2, 2, " _") != 0) break;
    }
    return out;
}

// ---- Names
// ---------------------------------------------------------------------------------------

void Writer::name_everything() {
    for (const rt::RecordLayout &r : program_.records) {
        RecordNames &n = records_[&r];
        n.name = names_.make(r.name);
        Names fields;
        for (uint32_t i = 0; i < r.count; ++i)
            n.field_names.push_back(fields.make(r.fields[i].name));
    }
    for (auto &[layout, n] : records_) {
        n.fields = names_.claim(constant_name(n.name, "_fields"));
        n.layout = names_.claim(constant_name(n.name, "_layout"));
    }
    for (const Variable &v : program_.globals) {
        Slot s;
        s.is = Slot::Is::Variable;
        s.offset = v.loc.offset;
        s.size = v.is_array ? sizeof(rt::Array) : rt::storage_size(v.type);
        s.name = v.name.empty() ? names_.claim(numbered("hidden", globals_.size()))
                                : names_.make(v.name);
        s.type = v.type;
        s.array = v.is_array;
        globals_.push_back(s);
    }
    for (const auto &p : program_.procedures) {
        std::string name = p->kind == ProcKind::ModuleCode
                               ? names_.make(std::string("module_").append(stem_of(p->module)))
                               : names_.make(p->name);
        proc_names_.push_back(name);
        info_names_.push_back(names_.claim(constant_name(name, "_info")));
    }
}

Slot *Writer::global_at(uint32_t offset) {
    Slot *best = nullptr;
    for (Slot &s : globals_)
        if (s.offset <= offset && offset < s.offset + std::max<uint32_t>(s.size, 1)) best = &s;
    return best;
}

std::string Writer::record_name(const rt::RecordLayout *layout) {
    return records_.at(layout).name;
}

std::string Writer::layout_name(const rt::RecordLayout *layout) {
    return records_.at(layout).layout;
}

std::string Writer::type_constant(const TypeRef &t) {
    std::string key = std::string(kind_word(t.kind)) + ":" + std::to_string(t.length) + ":" +
                      (t.record != nullptr ? record_name(t.record) : "");
    auto it = type_constant_names_.find(key);
    if (it != type_constant_names_.end()) return it->second;
    std::string name;
    std::string definition;
    if (t.kind == Kind::Record) {
        name = names_.claim(constant_name(record_name(t.record), "_type"));
        definition =
            "const rt::TypeRef " + name + "{Kind::Record, 0, &" + layout_name(t.record) + "};";
    } else {
        name = names_.claim(std::string("k") + kind_word(t.kind) +
                            (t.kind == Kind::Fixed ? std::to_string(t.length) : ""));
        definition = "const rt::TypeRef " + name + "{Kind::" + kind_word(t.kind) + ", " +
                     std::to_string(t.length) + ", nullptr};";
    }
    type_constant_names_[key] = name;
    type_constants_[key] = definition;
    return name;
}

std::string Writer::field_path(const std::string &base, const rt::RecordLayout *layout,
                               uint32_t inner, const Want &want, TypeRef *found) {
    for (uint32_t i = 0; i < layout->count; ++i) {
        const rt::Field &f = layout->fields[i];
        uint32_t size = rt::storage_size(f.type);
        if (inner < f.offset || inner >= f.offset + size) continue;
        std::string path = base + "." + records_.at(layout).field_names[i];
        if (f.type.kind == Kind::Record) {
            bool whole = inner == f.offset &&
                         (want.shape == Want::Shape::Any ||
                          (want.type.kind == Kind::Record && want.type.record == f.type.record));
            if (!whole) return field_path(path, f.type.record, inner - f.offset, want, found);
        }
        if (found != nullptr) *found = f.type;
        return path;
    }
    if (found != nullptr) *found = TypeRef{Kind::Record, 0, layout};
    return base;
}

// ---- Constants
// -----------------------------------------------------------------------------------

std::string Writer::constant_value(uint32_t offset, const Want &want) {
    const std::vector<uint8_t> &pool = program_.constants;
    switch (want.type.kind) {
    case Kind::Integer:
        return "int16_t{" + std::to_string(load<int16_t>(pool, offset)) + "}";
    case Kind::Long: {
        int32_t v = load<int32_t>(pool, offset);
        return v == std::numeric_limits<int32_t>::min() ? "(-2147483647 - 1)" : std::to_string(v);
    }
    case Kind::Single:
        return float_text(load<float>(pool, offset), "f");
    case Kind::Double:
        return float_text(load<double>(pool, offset), "");
    case Kind::Currency: {
        int64_t v = load<int64_t>(pool, offset);
        char buf[64];
        std::snprintf(buf, sizeof buf, "BiCurrency{%lld} /* %lld.%04lld */",
                      static_cast<long long>(v), static_cast<long long>(v / 10000),
                      static_cast<long long>(v < 0 ? -(v % 10000) : v % 10000));
        return v == std::numeric_limits<int64_t>::min()
                   ? "BiCurrency{std::numeric_limits<int64_t>::min()}"
                   : buf;
    }
    case Kind::String: {
        BiString s = load<BiString>(pool, offset);
        if (BiStringLength(s) == 0) return "rt::empty_string()";
        return "rt::text(" + cpp_string_literal(std::string(s.data, BiStringLength(s))) + ")";
    }
    default: {
        VARIANT v = load<VARIANT>(pool, offset);
        switch (v.vt) {
        case VT_NULL:
            return "rt::null_variant()";
        case VT_DATE:
            return "rt::date_variant(" + float_text(v.date, "") + ")";
        case VT_ERROR: {
            char buf[48];
            std::snprintf(buf, sizeof buf, "rt::error_variant(0x%08Xu)",
                          static_cast<unsigned>(v.scode));
            return buf;
        }
        default:
            return "rt::empty_variant()";
        }
    }
    }
}

std::string Writer::constant_address(uint32_t offset, const Want &want) {
    auto it = constant_names_.find(offset);
    if (it == constant_names_.end()) {
        std::string name = names_.claim(numbered("k", offset));
        std::string type = cpp_type(want.type);
        constant_definitions_.push_back(type + " " + name + " = " + constant_value(offset, want) +
                                        ";");
        it = constant_names_.emplace(offset, name).first;
    }
    return "&" + it->second;
}

// ---- Procedures' signatures
// ----------------------------------------------------------------------

bool Writer::has_procedure(uint32_t index) const {
    return program_.procedures[index]->defined ||
           program_.procedures[index]->kind == ProcKind::ModuleCode;
}

std::string Writer::signature(uint32_t index) const {
    const Procedure &p = *program_.procedures[index];
    std::string result = "void";
    if (p.kind == ProcKind::Function) {
        switch (p.result.kind) {
        case Kind::String:
            result = "BiString";
            break;
        case Kind::Variant:
            result = "VARIANT";
            break;
        default:
            result = cpp_type(p.result);
            break;
        }
    }
    return result + " " + proc_names_[index];
}

std::string Writer::parameter_type(const Param &param) const {
    if (param.is_array) return "rt::Array *";
    if (param.by_ref) {
        if (param.type.kind == Kind::Record) return records_.at(param.type.record).name + " *";
        return cpp_type(param.type) + " *";
    }
    if (param.type.kind == Kind::String) return "rt::StringValue ";
    if (param.type.kind == Kind::Variant) return "rt::VariantValue ";
    return cpp_type(param.type) + " ";
}

// ---- The program
// ---------------------------------------------------------------------------------

void Writer::write_records(std::ostringstream &out) {
    if (program_.records.empty()) return;
    out << "// ---- User types: each a C structure with the layout the services read\n\n";
    // A record that holds another comes after it.
    std::set<const rt::RecordLayout *> written;
    std::function<void(const rt::RecordLayout &)> write = [&](const rt::RecordLayout &r) {
        if (!written.insert(&r).second) return;
        for (uint32_t i = 0; i < r.count; ++i)
            if (r.fields[i].type.kind == Kind::Record) write(*r.fields[i].type.record);
        const RecordNames &n = records_.at(&r);
        out << "struct " << n.name << " {\n";
        for (uint32_t i = 0; i < r.count; ++i) {
            const rt::Field &f = r.fields[i];
            const std::string &field = n.field_names[i];
            if (f.type.kind == Kind::Record)
                out << "    " << record_name(f.type.record) << " " << field << ";\n";
            else if (f.type.kind == Kind::Fixed)
                out << "    char " << field << "[" << f.type.length + 1 << "];\n";
            else
                out << "    " << cpp_type(f.type) << " " << field << ";\n";
        }
        out << "};\n";
        out << "const rt::Field " << n.fields << "[] = {\n";
        for (uint32_t i = 0; i < r.count; ++i) {
            const rt::Field &f = r.fields[i];
            out << "    {" << cpp_string_literal(f.name) << ", {Kind::" << kind_word(f.type.kind)
                << ", " << f.type.length << ", "
                << (f.type.kind == Kind::Record ? "&" + layout_name(f.type.record)
                                                : std::string("nullptr"))
                << "}, offsetof(" << n.name << ", " << n.field_names[i] << ")},\n";
        }
        out << "};\n";
        out << "const rt::RecordLayout " << n.layout << "{" << cpp_string_literal(r.name)
            << ", sizeof(" << n.name << "), alignof(" << n.name << "), " << r.file_length << ", "
            << n.fields << ", " << r.count << "};\n";
        out << "static_assert(sizeof(" << n.name << ") == " << r.size << " && alignof(" << n.name
            << ") == " << r.align << ");\n\n";
    };
    for (const rt::RecordLayout &r : program_.records)
        write(r);
}

void Writer::write_globals(std::ostringstream &out) {
    if (globals_.empty()) return;
    out << "// ---- Globals (run_program gives them their empty values and releases them)\n";
    for (const Slot &g : globals_) {
        out << (g.used ? "" : "[[maybe_unused]] ");
        if (g.array)
            out << "rt::Array " << g.name << "{};\n";
        else if (g.type.kind == Kind::Record)
            out << record_name(g.type.record) << " " << g.name << "{};\n";
        else if (g.type.kind == Kind::Fixed)
            out << "char " << g.name << "[" << g.type.length + 1 << "]{};\n";
        else if (g.type.kind == Kind::String || g.type.kind == Kind::Variant)
            out << cpp_type(g.type) << " " << g.name << "{};\n";
        else
            out << cpp_type(g.type) << " " << g.name << " = 0;\n";
    }
    out << "\n";
}

void Writer::write_tables(std::ostringstream &out) {
    out << "// ---- Each procedure's statements: line, line number label (Erl), first "
           "instruction,\n"
           "// the next statement's first instruction (the targets of Resume and Resume Next)\n";
    for (uint32_t i = 0; i < program_.procedures.size(); ++i) {
        if (!has_procedure(i)) continue;
        const Procedure &p = *program_.procedures[i];
        std::string units = names_.claim(constant_name(proc_names_[i], "_units"));
        out << "const rt::UnitInfo " << units << "[] = {";
        for (size_t u = 0; u < p.units.size(); ++u)
            out << (u % 4 == 0 ? "\n    " : " ") << "{" << p.units[u].line << ", "
                << p.units[u].label << ", " << p.units[u].start << ", " << p.units[u].end << "},";
        if (p.units.empty()) out << "{0, 0, 0, 0}";
        out << "\n};\n";
        std::string title = p.kind == ProcKind::ModuleCode ? "module-level code"
                            : p.kind == ProcKind::Function ? "Function " + p.name
                                                           : "Sub " + p.name;
        out << "const rt::ProcedureInfo " << info_names_[i] << "{" << cpp_string_literal(title)
            << ", " << cpp_string_literal(p.module) << ", " << (p.text_compare ? "true" : "false")
            << ", " << units << "};\n";
    }
    out << "\n";
}

void Writer::write_main(std::ostringstream &out) {
    out << "// The program: its globals get their empty values (a fixed-size array its elements),\n"
           "// the module-level code runs, and the globals are released however it ends.\n";
    out << "void run_program() {\n";
    std::vector<std::string> owned;
    for (const Slot &g : globals_) {
        if (g.array) {
            owned.push_back("rt::Owned(" + g.name + ", " + type_constant(g.type) + ")");
        } else if (g.type.kind == Kind::String) {
            out << "    " << g.name << " = rt::empty_string();\n";
            owned.push_back(g.name);
        } else if (g.type.kind == Kind::Variant) {
            out << "    " << g.name << " = rt::empty_variant();\n";
            owned.push_back(g.name);
        } else if (g.type.kind == Kind::Record) {
            out << "    rt::init_value(&" << g.name << ", " << type_constant(g.type) << ");\n";
            if (rt::needs_release(g.type))
                owned.push_back("rt::Owned(&" + g.name + ", " + type_constant(g.type) + ")");
        }
    }
    out << cleanup_declaration("globals", owned);
    for (const Variable &v : program_.globals)
        if (v.fixed_array)
            out << array_dim_statement(global_at(v.loc.offset)->name, type_constant(v.type), v);
    for (uint32_t e : program_.entry)
        out << "    " << proc_names_[e] << "();\n";
    out << "}\n\n";
}

std::set<uint32_t> Writer::reachable() const {
    std::set<uint32_t> seen(program_.entry.begin(), program_.entry.end());
    std::vector<uint32_t> pending(seen.begin(), seen.end());
    while (!pending.empty()) {
        uint32_t caller = pending.back();
        pending.pop_back();
        auto edges = calls_.find(caller);
        if (edges == calls_.end()) continue;
        for (uint32_t callee : edges->second)
            if (seen.insert(callee).second) pending.push_back(callee);
    }
    return seen;
}

std::string Writer::run() {
    name_everything();
    std::vector<std::string> procedures;
    for (uint32_t i = 0; i < program_.procedures.size(); ++i)
        procedures.push_back(has_procedure(i) ? ProcedureWriter(*this, i).run() : "");
    std::ostringstream main_part;
    write_main(main_part);

    std::ostringstream out;
    std::string first = program_.procedures.empty() ? "" : program_.procedures[0]->module;
    out << "// " << (first.empty() ? "A program" : first) << " translated to C++ by brtl "
        << options_.tool_version << ".\n"
        << "// Each procedure is a function; above the code of each statement stands its line,\n"
        << "// and here.unit says which statement runs (for a trap's message, Erl and Resume).\n"
        << "// Temporaries are t<n> (p<n> hold addresses, h<n> are a statement's hidden "
           "variables,\n"
        << "// such as a For loop's limit); a String or Variant temporary is empty until an\n"
        << "// operation fills it, and the one that uses it takes it over (rt::take) or releases "
           "it.\n"
        << "#include <cstddef>\n#include <cstdint>\n#include <limits>\n\n"
        << "#include \"brtl/services/all.h\"\n\n"
        << "// The module's own code may compare a value with itself, assign a variable to itself "
           "or\n"
        << "// recurse without end (the dialect stops that with trap 28): the C++ says what it "
           "says.\n"
        << "#pragma GCC diagnostic ignored \"-Wtautological-compare\"\n"
        << "#if defined(__clang__)\n#pragma clang diagnostic ignored \"-Wself-assign\"\n"
        << "#pragma clang diagnostic ignored \"-Winfinite-recursion\"\n"
        << "#else\n#pragma GCC diagnostic ignored \"-Winfinite-recursion\"\n#endif\n\n"
        << "namespace {\n\nnamespace rt = brtl::rt;\nusing rt::Kind;\n\n";
    write_records(out);
    if (!type_constants_.empty()) {
        out << "// ---- Types of arrays, records and fields\n";
        for (const auto &[key, definition] : type_constants_)
            out << definition << "\n";
        out << "\n";
    }
    if (!constant_definitions_.empty()) {
        out << "// ---- Constants passed by address\n";
        for (const std::string &d : constant_definitions_)
            out << d << "\n";
        out << "\n";
    }
    write_globals(out);
    write_tables(out);
    out << "// ---- Procedures\n";
    for (uint32_t i = 0; i < program_.procedures.size(); ++i)
        if (has_procedure(i)) {
            out << signature(i) << "(";
            const std::vector<Param> &params = program_.procedures[i]->params;
            for (size_t k = 0; k < params.size(); ++k) {
                std::string type = parameter_type(params[k]);
                while (!type.empty() && type.back() == ' ')
                    type.pop_back();
                out << (k ? ", " : "") << type;
            }
            out << ");\n";
        }
    out << "\n";
    const std::set<uint32_t> used = reachable();
    for (uint32_t i = 0; i < program_.procedures.size(); ++i) {
        if (procedures[i].empty()) continue;
        std::string text = procedures[i];
        if (!used.count(i)) {
            // The signature line follows the comment lines.
            size_t at = 0;
            while (text.compare(at, 2, "//") == 0)
                at = text.find('\n', at) + 1;
            text.insert(at, "[[maybe_unused]] ");
        }
        out << text << "\n";
    }
    out << main_part.str();
    out << "} // namespace\n\nint main(int argc, char **argv) {\n"
        << "    return brtl::rt::run_translated(argc, argv, run_program);\n}\n";
    return out.str();
}

} // namespace brtl::basic::cpp

namespace brtl::basic {

std::string translate(const Program &program, const TranslateOptions &options) {
    return cpp::Writer(program, options).run();
}

} // namespace brtl::basic
