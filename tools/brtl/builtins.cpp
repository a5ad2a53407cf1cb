// The registry of every family's table, looked up by language name.
#include <algorithm>
#include <cctype>
#include <set>
#include <unordered_map>

#include "builtins.h"

namespace brtl_host {
namespace {

std::string upper(const char *name) {
    std::string t(name);
    for (char &c : t)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return t;
}

const std::vector<const BuiltinTable *> &builtin_families() {
    static const std::vector<const BuiltinTable *> all = {
        &core_builtins(),    &variant_builtins(), &string_builtins(),    &file_builtins(),
        &format_builtins(),  &date_builtins(),    &financial_builtins(), &math_builtins(),
        &runtime_builtins(), &desktop_builtins()};
    return all;
}

const std::vector<const StatementTable *> &statement_families() {
    static const std::vector<const StatementTable *> all = {
        &file_statements(), &string_statements(),  &date_statements(),
        &misc_statements(), &desktop_statements(), &filesystem_statements()};
    return all;
}

// The exports the evaluator calls for operators, conversions, literals and printing.
const char *const kEvaluatorExports[] = {
    "BiVariantBinOpTable",  "BiVariantUnOpTable", "ZbiVariantDoDiv",
    "ZbiVariantDoIDiv",     "ZbiVariantDoMod",    "ZbiVariantDoExp",
    "ZbiVariantCvtToBStr",  "ZbiVariantIsZero",   "ZbiVariantChangeTypeAndTrap",
    "BiVariantCvtStrToNum", "ZbiEvalCvtSV",       "ZbiEvalCvtVS",
    "ZbiBuiltIn_CvtPSVS",   "ZbiBuiltIn_CvtPVS",  "ZbiCvtBooleanToString",
    "ZbiParseDateAndTime",  "ZbiBuiltIn_Val",     "ZbiReset_Rtl",
    "ZbiInitBasicRTL",      "brtl_english_text",  "brtl_setlocale",
    "ZrIntlGetCodePageName"};

const StatementTable *extra_statements = nullptr;

} // namespace

void set_extra_statements(const StatementTable *rows) {
    extra_statements = rows;
}

const Builtin *find_builtin(const std::string &upper_name) {
    static const auto index = [] {
        std::unordered_map<std::string, const Builtin *> m;
        for (const BuiltinTable *t : builtin_families())
            for (const Builtin &b : *t)
                m.emplace(upper(b.name), &b);
        return m;
    }();
    auto it = index.find(upper_name);
    return it == index.end() ? nullptr : it->second;
}

const StatementRow *find_statement(const std::string &upper_name) {
    static const auto index = [] {
        std::unordered_map<std::string, const StatementRow *> m;
        for (const StatementTable *t : statement_families())
            for (const StatementRow &s : *t)
                m.emplace(upper(s.name), &s);
        return m;
    }();
    if (extra_statements != nullptr)
        for (const StatementRow &s : *extra_statements)
            if (upper(s.name) == upper_name) return &s;
    auto it = index.find(upper_name);
    return it == index.end() ? nullptr : it->second;
}

std::vector<std::string> reachable_exports() {
    std::set<std::string> names(std::begin(kEvaluatorExports), std::end(kEvaluatorExports));
    for (const BuiltinTable *t : builtin_families())
        for (const Builtin &b : *t)
            if (*b.exported) names.insert(b.exported);
    for (const StatementTable *t : statement_families())
        for (const StatementRow &s : *t)
            if (*s.exported) names.insert(s.exported);
    return {names.begin(), names.end()};
}

} // namespace brtl_host
