// The registry of every family's table, looked up by language name.
#include <cctype>
#include <set>
#include <unordered_map>

#include "lang/builtins.h"
#include "lang/lexer.h"

namespace brtl::basic {
namespace {

const std::vector<const BuiltinTable *> &families() {
    static const std::vector<const BuiltinTable *> all = {
        &string_builtins(), &conversion_builtins(), &variant_builtins(),
        &file_builtins(),   &date_builtins(),       &financial_builtins(),
        &math_builtins(),   &runtime_builtins(),    &desktop_builtins()};
    return all;
}

using Index = std::unordered_map<std::string, std::vector<const BuiltinRow *>>;

const Index &index() {
    static const Index m = [] {
        Index out;
        for (const BuiltinTable *t : families())
            for (const BuiltinRow &row : *t)
                out[upper(row.name)].push_back(&row);
        return out;
    }();
    return m;
}

// The exports that the operations, conversions and statements of the checked form call through
// the host routines, beside the rows'.
const char *const kOperationExports[] = {"BiVariantBinOpTable",
                                         "BiVariantUnOpTable",
                                         "ZbiVariantDoDiv",
                                         "ZbiVariantDoIDiv",
                                         "ZbiVariantDoMod",
                                         "ZbiVariantDoExp",
                                         "ZbiVariantDoInt",
                                         "ZbiVariantDoFix",
                                         "ZbiVariantCvtToBStr",
                                         "ZbiVariantIsZero",
                                         "ZbiVariantChangeTypeAndTrap",
                                         "ZbiVariantCvtToVariant",
                                         "ZbiVariantCvtFromVariant",
                                         "ZbiVariantCvtToNum",
                                         "ZbiVariantCvtToDate",
                                         "BiVariantCvtStrToNum",
                                         "BiXVariantClear",
                                         "BiXVariantCopy",
                                         "ZbiEvalCvtSV",
                                         "ZbiEvalCvtVS",
                                         "ZbiBuiltIn_CvtPSVS",
                                         "ZbiBuiltIn_CvtPSNS",
                                         "ZbiBuiltIn_CvtPVS",
                                         "ZbiCvtBooleanToString",
                                         "ZbiParseDateAndTime",
                                         "ZbiReset_Rtl",
                                         "ZbiInitBasicRTL",
                                         "brtl_english_text",
                                         "brtl_setlocale",
                                         "ZrIntlGetCodePageName",
                                         "ZbiOvfAddShorts",
                                         "ZbiOvfSubShorts",
                                         "ZbiOvfMulShorts",
                                         "ZbiOvfAddLongs",
                                         "ZbiOvfSubLongs",
                                         "ZbiOvfMulLongs",
                                         "ZbiOvfAddFloats",
                                         "ZbiOvfSubFloats",
                                         "ZbiOvfMulFloats",
                                         "ZbiOvfDivFloats",
                                         "ZbiOvfAddDoubles",
                                         "ZbiOvfSubDoubles",
                                         "ZbiOvfMulDoubles",
                                         "ZbiOvfDivDoubles",
                                         "ZbiAddCurNum",
                                         "ZbiSubCurNum",
                                         "ZbiMulCurNum",
                                         "ZbiNegCurNum",
                                         "ZbiCmpCurNum",
                                         "ZbiCvtLngCurNum",
                                         "ZbiCvtDblCurNum",
                                         "ZbiCvtCurNumShort",
                                         "ZbiCvtCurNumLng",
                                         "ZbiCvtCurNumDbl",
                                         "ZbiCvtCurNumSng",
                                         "ZbiDoubleRound",
                                         "ZbiFloatizeDouble",
                                         "ZbiDoExpD",
                                         "ZbiImpLngNum",
                                         "ZbiBuiltIn_Format_",
                                         "ZbiAllocBiString",
                                         "ZbiFreeBiString",
                                         "ZbiDuplicateString",
                                         "ZbiCharLen",
                                         "ZbiAllocArrayData",
                                         "ZbiReallocArrayData",
                                         "ZbiFreeArrayData",
                                         "ZbiClearArray",
                                         "ZbiArrayElementAddr",
                                         "ZbiBuiltIn_LSet",
                                         "ZbiBuiltIn_RSet",
                                         "ZbiBuiltIn_LSetVar",
                                         "ZbiBuiltIn_RSetVar",
                                         "ZbiBuiltIn_LSetRec",
                                         "ZbiBuiltIn_MidStmt",
                                         "ZbiBuiltIn_MidBStmt",
                                         "ZbiBuiltIn_MidStmt_",
                                         "ZbiBuiltIn_MidBStmt_",
                                         "ZbiBuiltIn_Open",
                                         "ZbiBuiltIn_Close",
                                         "ZbiBuiltIn_Reset",
                                         "ZbiBuiltIn_Print",
                                         "ZbiBuiltIn_Write",
                                         "ZbiBuiltIn_Input",
                                         "ZbiBuiltIn_LineInput",
                                         "ZbiBuiltIn_Width",
                                         "ZbiBuiltIn_Put",
                                         "ZbiBuiltIn_Get",
                                         "ZbiBuiltIn_SeekStmt",
                                         "ZbiBuiltIn_Lock",
                                         "ZbiBuiltIn_Unlock",
                                         "ZbiBuiltIn_Kill",
                                         "ZbiBuiltIn_Name",
                                         "ZbiBuiltIn_MkDir",
                                         "ZbiBuiltIn_RmDir",
                                         "ZbiBuiltIn_ChDir",
                                         "ZbiBuiltIn_ChDrive",
                                         "ZbiBuiltIn_FileCopy",
                                         "ZbiBuiltIn_SetAttr",
                                         "ZbiBuiltIn_Randomize",
                                         "ZbiBuiltIn_Timer",
                                         "ZbiBuiltIn_DateStmt",
                                         "ZbiBuiltIn_DateStmt_",
                                         "ZbiBuiltIn_TimeStmt",
                                         "ZbiBuiltIn_TimeStmt_",
                                         "ZbiBuiltIn_Beep",
                                         "ZbiBuiltIn_SendKeys",
                                         "ZbiBuiltIn_AppActivate",
                                         "ZbiBuiltIn_Assert",
                                         "ZkWriteStringToOutputWindow",
                                         "ZbiBuiltIn_Choose",
                                         "BiBuiltIn_Switch",
                                         "ZbiBuiltIn_NPV",
                                         "ZbiBuiltIn_IRR",
                                         "ZbiBuiltIn_MIRR",
                                         "ZbiBuiltIn_Shell",
                                         "ZbiBuiltIn_Space_",
                                         "ZbiMatchPattern",
                                         "ZbiVariantDoCInt"};

// The export a callable names ("ZbiBuiltIn_Left_"), or "" for a host routine ("brtl::rt::...").
std::string export_of(const Callable *c) {
    if (c == nullptr) return "";
    std::string name = c->cname;
    return name.find(':') == std::string::npos ? name : "";
}

} // namespace

const std::vector<const BuiltinRow *> &find_builtin(const std::string &upper_name) {
    static const std::vector<const BuiltinRow *> none;
    auto it = index().find(upper_name);
    return it == index().end() ? none : it->second;
}

const BuiltinRow *builtin_for(const std::string &upper_name, size_t count) {
    for (const BuiltinRow *row : find_builtin(upper_name))
        if (count >= static_cast<size_t>(row->min_args) &&
            count <= static_cast<size_t>(row->max_args))
            return row;
    return nullptr;
}

std::vector<std::string> reachable_exports() {
    std::set<std::string> names(std::begin(kOperationExports), std::end(kOperationExports));
    for (const BuiltinTable *t : families()) {
        for (const BuiltinRow &row : *t) {
            for (const Callable *c : {row.fn, row.string_fn}) {
                std::string name = export_of(c);
                if (!name.empty()) names.insert(name);
            }
        }
    }
    return {names.begin(), names.end()};
}

} // namespace brtl::basic
