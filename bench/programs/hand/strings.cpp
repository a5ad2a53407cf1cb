// strings.bas by hand: 2,000 pages of 100 item lines, each line made with Format and joined onto
// the page's growing String; each page is then read back entry by entry (InStr for each
// separator, Mid$ to cut the entry, Left$ and Val on its fields), searched for a word, and
// searched again upper-cased. Prints the length of all the pages, a hash of every 97th character
// of each and what the searches found.
//
// The Strings are runtime strings, joined with the services' & in the order the dialect joins
// them (the page first, so every line copies the page once); the library's InStr takes Variants
// only, so each search converts its two Strings, as the .bas program's does.
#include "hand.h"

namespace {

constexpr int32_t kPages = 2000;
constexpr int32_t kPerPage = 100;

void program() {
    using brtl::rt::concat;
    BiString text = brtl::rt::empty_string(), upper = brtl::rt::empty_string();
    BiString entry = brtl::rt::empty_string();
    int32_t chars = 0, count = 0, found = 0, hash = 0;
    double total = 0;

    const int32_t last_page = hand::sub(kPages, 1);
    for (int32_t page = 0; page <= last_page; page = hand::add(page, 1)) {
        brtl::rt::release(text);
        const int32_t first = hand::add(hand::mul(page, kPerPage), 1);
        const int32_t last = hand::mul(hand::add(page, 1), kPerPage);
        for (int32_t i = first; i <= last; i = hand::add(i, 1)) {
            BiString line = concat(text, hand::text("Item "));
            line = concat(line, ZbiBuiltIn_Format_(BI_FORMAT_LONG, &i, hand::text("000000")));
            line = concat(line, hand::text(" costs "));
            double cost = hand::mul_double(i, 1.25);
            line = concat(line, ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &cost, hand::text("0.00")));
            line = concat(line, hand::text(" in box "));
            line = concat(line, hand::cstr(i % 97));
            line = concat(line, hand::text(";"));
            brtl::rt::assign(text, line);
        }
        chars = hand::add(chars, static_cast<int32_t>(BiStringLength(text)));

        int32_t p = 1;
        while (true) {
            int32_t q = hand::instr(p, text, hand::text(";"));
            if (q == 0) break;
            brtl::rt::assign(entry, ZbiBuiltIn_MidFuncC_(text, p, hand::sub(q, p)));
            count = hand::add(count, 1);
            if (hand::equals(ZbiBuiltIn_LeftC_(entry, 10), "Item 00012"))
                found = hand::add(found, 1);
            int32_t blank = hand::instr(19, entry, hand::text(" "));
            total = hand::add_double(
                total, ZbiBuiltIn_Val(ZbiBuiltIn_MidFuncC_(entry, 19, hand::sub(blank, 19))));
            p = hand::add(q, 1);
        }

        p = hand::instr(1, text, hand::text("box 42;"));
        while (p > 0) {
            found = hand::add(found, 1);
            p = hand::instr(hand::add(p, 1), text, hand::text("box 42;"));
        }

        brtl::rt::assign(upper, ZbiBuiltIn_UCase_(text));
        p = hand::instr(1, upper, hand::text("IN BOX 7;"));
        while (p > 0) {
            found = hand::add(found, 1);
            p = hand::instr(hand::add(p, 1), upper, hand::text("IN BOX 7;"));
        }

        const int32_t length = static_cast<int32_t>(BiStringLength(text));
        for (p = 1; p <= length; p = hand::add(p, 97)) {
            int32_t code = brtl::rt::asc_of(ZbiBuiltIn_MidFuncC_(text, p, 1));
            hash = hand::add(hand::mul(hash, 31), code) % 1000003;
        }
    }

    BiString line = concat(hand::text("checksum strings "), hand::cstr(chars));
    line = concat(line, hand::text(" "));
    line = concat(line, hand::cstr(hash));
    line = concat(line, hand::text(" "));
    line = concat(line, hand::cstr(count));
    line = concat(line, hand::text(" "));
    line = concat(line, hand::cstr(found));
    line = concat(line, hand::text(" "));
    line = concat(line, ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &total, hand::text("0.00")));
    brtl::rt::print_item(line);
    brtl::rt::console_newline();

    brtl::rt::release(text);
    brtl::rt::release(upper);
    brtl::rt::release(entry);
}

} // namespace

int main() {
    return hand::run(program);
}
