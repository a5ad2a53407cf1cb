// The translator's writers: Writer prints the program (types, globals, constants, the procedures'
// statement tables, main) and owns the names at namespace scope; ProcedureWriter prints one
// procedure, instruction by instruction.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "lang/program.h"
#include "translator.h"

namespace brtl::basic::cpp {

// What an instruction needs of an operand: a value of a type (as an lvalue where it has one),
// the array, a pointer slot, or the storage whatever its type (for its address).
struct Want {
    enum class Shape : uint8_t { Value, Array, Pointer, Any };
    Shape shape = Shape::Value;
    TypeRef type{Kind::Integer, 0, nullptr};

    static Want value(Kind k) { return Want{Shape::Value, TypeRef{k, 0, nullptr}}; }
    static Want of(const TypeRef &t) { return Want{Shape::Value, t}; }
    static Want array() { return Want{Shape::Array, TypeRef{Kind::Integer, 0, nullptr}}; }
    static Want pointer() { return Want{Shape::Pointer, TypeRef{Kind::Integer, 0, nullptr}}; }
    static Want any() { return Want{Shape::Any, TypeRef{Kind::Integer, 0, nullptr}}; }
};

// A named piece of storage: a variable, a parameter, a result, a temporary.
struct Slot {
    enum class Is : uint8_t { Variable, Temp, Pointer, RefParam, ValueParam, Result };
    Is is = Is::Variable;
    uint32_t offset = 0;
    uint32_t size = 0;
    std::string name;
    TypeRef type{Kind::Integer, 0, nullptr};
    bool array = false;
    uint32_t count = 1; // consecutive values (the items of Choose and Switch)
    bool boxed = false; // a ByVal String or Variant parameter: its value is name.s / name.v
    bool read = false;  // an instruction reads it (else it may be unused)
    bool used = false;
};

// Identifiers: the program's names made C++ identifiers, each unique in its scope.
class Names {
  public:
    explicit Names(const Names *outer = nullptr) : outer_(outer) {}
    std::string make(const std::string &basic_name);
    // A name the translator makes itself (not reserved), made unique.
    std::string claim(std::string name);
    bool taken(const std::string &name) const;

  private:
    const Names *outer_;
    std::set<std::string> used_;
};

std::string cpp_string_literal(const std::string &bytes);
std::string numbered(const char *prefix, size_t n); // "t12"
// The name of a constant the translator makes for a name of the program: kArea_info.
std::string constant_name(const std::string &base, const char *suffix);
std::string cpp_type(const TypeRef &t); // int16_t, BiString, char (fixed: the array's element)
// "    rt::Cleanup NAME{a, b};" for what a scope owns; "" when it owns nothing.
std::string cleanup_declaration(const char *name, const std::vector<std::string> &owned);
// "    rt::array_dim(NAME, TYPE, {lower, upper, ...});" for a fixed-size array.
std::string array_dim_statement(const std::string &name, const std::string &type,
                                const Variable &v);

class Writer {
  public:
    Writer(const Program &program, const TranslateOptions &options);
    std::string run();

    // Used by the procedure writers.
    const Program &program() const { return program_; }
    Slot *global_at(uint32_t offset);
    std::string type_constant(const TypeRef &t);
    std::string record_name(const rt::RecordLayout *layout);
    std::string layout_name(const rt::RecordLayout *layout);
    std::string parameter_type(const Param &param) const;
    std::string field_path(const std::string &base, const rt::RecordLayout *layout, uint32_t inner,
                           const Want &want, TypeRef *found);
    std::string constant_value(uint32_t offset, const Want &want);
    std::string constant_address(uint32_t offset, const Want &want);
    const std::string &procedure_name(uint32_t index) const { return proc_names_[index]; }
    const std::string &info_name(uint32_t index) const { return info_names_[index]; }
    std::string source_line(const std::string &file, int32_t line) const;
    const Names &names() const { return names_; }
    // Records that procedure `caller` calls `callee`; a procedure that no call from the
    // program's entry reaches is written [[maybe_unused]].
    void mark_called(uint32_t caller, uint32_t callee) { calls_[caller].insert(callee); }
    std::string signature(uint32_t index) const;
    bool has_procedure(uint32_t index) const;

  private:
    void name_everything();
    void write_records(std::ostringstream &out);
    void write_globals(std::ostringstream &out);
    void write_tables(std::ostringstream &out);
    void write_main(std::ostringstream &out);
    std::set<uint32_t> reachable() const;

    const Program &program_;
    const TranslateOptions &options_;
    Names names_;
    struct RecordNames {
        std::string name, fields, layout;
        std::vector<std::string> field_names;
    };
    std::map<const rt::RecordLayout *, RecordNames> records_;
    std::map<std::string, std::string> type_constants_;      // key -> definition line
    std::map<std::string, std::string> type_constant_names_; // key -> name
    std::map<uint32_t, std::string> constant_names_;
    std::vector<std::string> constant_definitions_;
    std::vector<Slot> globals_;
    std::vector<std::string> proc_names_, info_names_;
    std::map<uint32_t, std::set<uint32_t>> calls_;
    std::map<std::string, std::vector<std::string>> source_lines_;
};

class ProcedureWriter {
  public:
    ProcedureWriter(Writer &writer, uint32_t index);
    std::string run();

  private:
    // The storage of the procedure.
    void make_slots();
    Slot *slot_at(uint32_t offset);
    std::string operand(const Loc &l, const Want &want);
    std::string address(const Loc &l, const Want &want);
    std::string read(const Loc &l, const Want &want); // an operand the instruction reads
    void mark_read(const Loc &l);
    std::string value(const Loc &l, Kind k, bool temp); // a value handed to a call (taken if temp)
    std::string list_read(uint32_t at, uint16_t n, Kind k); // "a, b, c" of an operand list
    std::string element_type(const Loc &array);

    // The code.
    void find_labels();
    void instruction(uint32_t i);
    void moves(const Instr &in);
    void arithmetic(const Instr &in);
    void variants(const Instr &in);
    void control(uint32_t i, const Instr &in);
    void call(uint32_t i, const Instr &in);
    void call_builtin(const Instr &in);
    void errors(const Instr &in);
    void arrays(const Instr &in);
    void printing(const Instr &in);
    void files(const Instr &in);
    void releases(const Instr &in);
    std::string condition(uint32_t cond, Kind k, const std::string &a, const std::string &b,
                          bool text);
    std::string jump(uint32_t target) const;
    void line(const std::string &text);

    void write_header(std::ostringstream &out);
    void write_declarations(std::ostringstream &out);

    Writer &w_;
    const Program &program_;
    const Procedure &p_;
    uint32_t index_;
    Names names_;
    std::vector<Slot> slots_;
    std::set<uint32_t> labels_;
    std::vector<uint32_t> gosub_returns_;
    bool handler_ = false;
    bool gosub_ = false;
    bool returns_ = false;       // a Return of GoSub
    bool has_temps_ = false;     // String or Variant temporaries a trap's handler releases
    bool uses_dispatch_ = false; // a Resume goes back through the dispatch switch
    std::ostringstream body_;
    std::string indent_ = "    ";
};

} // namespace brtl::basic::cpp
