// The immediate window's program: one module that grows by a fragment at a time.
#include <algorithm>

#include "checker.h"
#include "lexer.h"

namespace brtl::basic {

Checker::Saved Checker::save() const {
    return Saved{modules_,
                 globals_,
                 records_,
                 procs_.size(),
                 program_.procedures.size(),
                 program_.globals.size(),
                 program_.global_size,
                 program_.constants.size(),
                 program_.texts.size(),
                 program_.records.size(),
                 program_.record_fields.size(),
                 program_.field_names.size(),
                 program_.types.size(),
                 program_.callables.size()};
}

void Checker::restore(const Saved &saved) {
    modules_ = saved.modules;
    globals_ = saved.globals;
    records_ = saved.records;
    procs_.resize(saved.procs);
    program_.procedures.resize(saved.procedures);
    program_.globals.resize(saved.global_vars);
    program_.global_size = static_cast<uint32_t>(saved.global_size);
    program_.constants.resize(saved.constants);
    program_.texts.resize(saved.texts);
    program_.records.resize(saved.layouts);
    program_.record_fields.resize(saved.fields);
    program_.field_names.resize(saved.field_names);
    program_.types.resize(saved.types);
    program_.callables.resize(saved.callables);
    errors.clear();
}

void Checker::start_session(const std::string &file) {
    in_session_ = true;
    ModuleState state;
    state.file = file;
    std::fill(std::begin(state.def), std::end(state.def), Kind::Variant);
    modules_.push_back(std::move(state));
}

uint32_t Checker::add_fragment(Module &m) {
    module_ = 0;
    errors.clear();
    modules_[0].file = m.file;
    size_t first_new = procs_.size();
    try {
        declare_module(m, 0);
        declare_types(m);
        module_declarations(m.code, 0);
        for (ProcDecl &d : m.procedures)
            declare_procedure(d, 0);
    } catch (const SourceError &e) {
        errors.push_back({m.file, e.line, e.column, e.message});
    }
    check_errors();
    auto proc = std::make_unique<Procedure>();
    proc->name = "(line)";
    proc->module = m.file;
    proc->kind = ProcKind::ModuleCode;
    Procedure &p = *proc;
    uint32_t index = static_cast<uint32_t>(program_.procedures.size());
    program_.procedures.push_back(std::move(proc));
    try {
        lower_module_code(0, m.code, p);
        for (size_t i = first_new; i < procs_.size(); ++i)
            lower_procedure(*procs_[i]);
    } catch (const SourceError &e) {
        errors.push_back({m.file, e.line, e.column, e.message});
    }
    check_errors();
    return index;
}

Session::Session()
    : program_(std::make_unique<Program>()), checker_(std::make_unique<Checker>(*program_)) {
    checker_->start_session("-");
}

Session::~Session() = default;

uint32_t Session::add(Module fragment) {
    fragments_.push_back(std::move(fragment));
    Checker::Saved saved = checker_->save();
    try {
        return checker_->add_fragment(fragments_.back());
    } catch (...) {
        checker_->restore(saved);
        fragments_.pop_back();
        throw;
    }
}

} // namespace brtl::basic
