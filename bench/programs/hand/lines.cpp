// lines.bas by hand: 200,000 lines of text written with Print # to a sequential file, then read
// back with Line Input #: each line's number and amount are cut out with InStr and Mid$, read with
// Val and summed. Prints the lines read and the two sums. The file goes to the folder TMPDIR
// names, else to the current one.
//
// Each Print # statement is one call of the library's Print with its item list (the text, then
// the end of the line).
#include "hand.h"

namespace {

constexpr int32_t kCount = 200000;
constexpr int16_t kFile = 1;

void program() {
    using brtl::rt::concat;
    BiString path = brtl::rt::empty_string(), text = brtl::rt::empty_string();
    int32_t lines = 0;
    double ids = 0, amounts = 0;

    brtl::rt::assign(path, ZbiBuiltIn_EnvironStr(hand::text("TMPDIR")));
    if (BiStringLength(path) == 0) brtl::rt::assign(path, ZbiBuiltIn_CurDir_(hand::text("")));
    brtl::rt::assign(path, concat(path, hand::text("/brtl-lines.txt")));

    ZbiBuiltIn_Open(path, BI_FILE_MODE_OUTPUT, BI_FILE_ACCESS_DEFAULT, BI_FILE_LOCK_DEFAULT, kFile,
                    -1);
    for (int32_t i = 1; i <= kCount; i = hand::add(i, 1)) {
        BiString line = concat(hand::text("line "), hand::cstr(i));
        line = concat(line, hand::text(" amount "));
        line = concat(line, hand::cstr(hand::divide(i, 4)));
        line = concat(line, hand::text(" end"));
        ZbiBuiltIn_Print(kFile, 3, int{BI_PRINT_TEXT}, line, int{BI_PRINT_END_OF_LINE});
    }
    ZbiBuiltIn_Close(1, &kFile);

    ZbiBuiltIn_Open(path, BI_FILE_MODE_INPUT, BI_FILE_ACCESS_DEFAULT, BI_FILE_LOCK_DEFAULT, kFile,
                    -1);
    while (~int32_t{ZbiBuiltIn_EOF(kFile)} != 0) {
        ZbiBuiltIn_LineInput(kFile, BI_TYPE_STRING, 0, &text);
        lines = hand::add(lines, 1);
        int16_t past = hand::to_integer(hand::instr(6, text, hand::text(" ")));
        ids = hand::add_double(
            ids, ZbiBuiltIn_Val(ZbiBuiltIn_MidFuncC_(text, 6, hand::sub(past, int16_t{6}))));
        int16_t at = hand::add(past, int16_t{8});
        past = hand::to_integer(hand::instr(at, text, hand::text(" ")));
        amounts = hand::add_double(
            amounts, ZbiBuiltIn_Val(ZbiBuiltIn_MidFuncC_(text, at, hand::sub(past, at))));
    }
    ZbiBuiltIn_Close(1, &kFile);
    ZbiBuiltIn_Kill(path);

    BiString line = concat(hand::text("checksum lines "), hand::cstr(lines));
    line = concat(line, hand::text(" "));
    line = concat(line, ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &ids, hand::text("0")));
    line = concat(line, hand::text(" "));
    line = concat(line, ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &amounts, hand::text("0.00")));
    brtl::rt::print_item(line);
    brtl::rt::console_newline();

    brtl::rt::release(path);
    brtl::rt::release(text);
}

} // namespace

int main() {
    return hand::run(program);
}
