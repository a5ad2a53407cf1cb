// The Print statement's console: print zones of 14 columns, Spc and Tab, and the dialect's text
// of each value (a number with the place of its sign and a blank after it, Null as "Null").
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "brtl/brtl.h"

namespace brtl::rt {

// Where Print writes (standard output unless a host or a test says otherwise) and where the
// messages of run-time errors go (standard error). Both flush before the other writes.
void set_console(std::FILE *out, std::FILE *errors);
std::FILE *console_out();
std::FILE *console_errors();
// Writes text and keeps the column.
void console_write(std::string_view text);
void console_newline();
// Ends a line left open, so that what follows starts at column 0.
void console_end_line();
int32_t console_column();
void console_flush();

// The items of a Print list.
void print_comma();
void print_spc(int32_t n);
void print_tab(int32_t n);
// A value's text: a temporary string is freed, a Variant consumed.
void print_item(BiString s);
void print_item(VARIANT v);
void print_item(int16_t v);
void print_item(int32_t v);
void print_item(float v);
void print_item(double v);
void print_item(BiCurrency v);

// The text Print shows for a Variant (consumed).
std::string print_text(VARIANT v);

} // namespace brtl::rt
