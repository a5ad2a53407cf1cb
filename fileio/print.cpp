// Print # with print zones, Spc, Tab and the line width; Width #; the conversions that turn the
// values of a Print # list into text.
#include <cstdarg>
#include <cstdint>
#include <cstring>

#include "brtl/fileio.h"
#include "brtl/host.h"
#include "brtl/runtime.h"
#include "brtl/variant.h"
#include "fileio/table.h"
#include "platform/codepage.h"
#include "runtime/bistring.h"
#include "runtime/guards.h"
#include "runtime/hooks.h"
#include "variant/owned_variant.h"

namespace brtl::fileio {

namespace {

constexpr int32_t kZone = 14;
constexpr char kLineBreak[] = "\r\n";
constexpr size_t kSpaceRun = 256;

// The tagged items after the count, read once each. The count falls by one per tag and one per
// value; a tag whose value the count does not cover ends the list.
class PrintItems {
  public:
    PrintItems(va_list *ap, int32_t count) : ap_(ap), left_(count) {}

    bool next_tag(int32_t &tag) {
        if (left_ <= 0) return false;
        --left_;
        tag = va_arg(*ap_, int);
        return true;
    }
    bool has_value() const { return left_ > 0; }
    BiString text() {
        --left_;
        return va_arg(*ap_, BiString);
    }
    int32_t count16() {
        --left_;
        return static_cast<int16_t>(va_arg(*ap_, int));
    }
    // Reads what is left, releasing the temporary texts (after a trap ended the statement).
    void release_rest() {
        int32_t tag = 0;
        while (next_tag(tag)) {
            if (!has_value()) continue;
            if (tag == BI_PRINT_TEXT)
                runtime::free_string(text());
            else if (tag == BI_PRINT_SPC || tag == BI_PRINT_TAB)
                count16();
        }
    }

  private:
    va_list *ap_;
    int32_t left_;
};

// The columns a text takes: a character of two or more bytes counts its bytes, a single byte
// below 0x20 counts none, any other byte one. A byte that starts no valid character counts one.
int64_t printing_columns(const char *text, size_t n) {
    if (platform::mb_cur_max() == 1) {
        int64_t columns = 0;
        for (size_t i = 0; i < n; ++i)
            if (static_cast<unsigned char>(text[i]) >= 0x20) ++columns;
        return columns;
    }
    int64_t columns = 0;
    for (size_t i = 0; i < n;) {
        bool valid = false;
        size_t len = platform::char_length(text + i, n - i, &valid);
        if (len == 2) {
            columns += 2;
            i += 2;
            continue;
        }
        if (!valid || static_cast<unsigned char>(text[i]) >= 0x20) ++columns;
        ++i;
    }
    return columns;
}

int32_t saturated(int64_t column) {
    return column > INT32_MAX ? INT32_MAX : static_cast<int32_t>(column);
}

// One Print # statement on one open file. Each operation returns false once a write failed,
// which ends the statement.
class Printer {
  public:
    explicit Printer(FileRecord &record) : r_(record) {}

    bool line_break() {
        if (!write_piece(r_, kLineBreak, 2)) return false;
        r_.column = 0;
        return true;
    }

    bool spaces(int32_t count) {
        static const char kSpaces[kSpaceRun] = {
#define BRTL_SPACES_16                                                                             \
    ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '
            BRTL_SPACES_16, BRTL_SPACES_16, BRTL_SPACES_16, BRTL_SPACES_16, BRTL_SPACES_16,
            BRTL_SPACES_16, BRTL_SPACES_16, BRTL_SPACES_16, BRTL_SPACES_16, BRTL_SPACES_16,
            BRTL_SPACES_16, BRTL_SPACES_16, BRTL_SPACES_16, BRTL_SPACES_16, BRTL_SPACES_16,
            BRTL_SPACES_16
#undef BRTL_SPACES_16
        };
        while (count > 0) {
            size_t run =
                count < static_cast<int32_t>(kSpaceRun) ? static_cast<size_t>(count) : kSpaceRun;
            if (!write_piece(r_, kSpaces, run)) return false;
            r_.column = saturated(static_cast<int64_t>(r_.column) + static_cast<int64_t>(run));
            count -= static_cast<int32_t>(run);
        }
        return true;
    }

    bool comma() {
        int32_t pad = kZone - r_.column % kZone;
        if (r_.width > 0 && r_.column != 0 && static_cast<int64_t>(r_.column) + pad > r_.width)
            return line_break();
        return spaces(pad);
    }

    bool text(BiString s) {
        runtime::OwnedString owned(s);
        int64_t columns = printing_columns(owned.data(), owned.size());
        int64_t column = r_.column;
        if (r_.width > 0 && column + columns > r_.width) {
            if (column != 0 && !line_break()) return false;
            column = 0;
        }
        if (!write_piece(r_, owned.data(), owned.size())) return false;
        r_.column = saturated(column + columns);
        return true;
    }

    bool spc(int32_t n) {
        if (n <= 0) return true;
        if (r_.width > 0) {
            int32_t w = r_.width;
            int64_t t = static_cast<int64_t>(r_.column) + n % w;
            if (r_.column != 0 && t >= w) {
                if (!line_break()) return false;
                return spaces(static_cast<int32_t>(t % w));
            }
            return spaces(n % w);
        }
        int32_t k = n % 256;
        int64_t end = static_cast<int64_t>(r_.column) + k;
        if (end > 255) {
            if (!line_break()) return false;
            return spaces(static_cast<int32_t>(end % 256));
        }
        return spaces(k);
    }

    bool tab(int32_t n) {
        if (n <= 0) return r_.column > 0 ? line_break() : true;
        if (r_.width == 0)
            n = (n - 1) % 256 + 1;
        else if (r_.width < n)
            n %= r_.width;
        if (r_.column < n) return spaces(n - r_.column - 1);
        if (!line_break()) return false;
        if (n == 0) { // a column that the width divides: no position to move to
            runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
            return false;
        }
        return spaces(n - 1);
    }

  private:
    FileRecord &r_;
};

void print_items(int16_t number, PrintItems &items) {
    FileRecord *record = record_in_mode(number, kModeOutput | kModeAppend);
    if (record == nullptr) return;
    Printer printer(*record);
    int32_t tag = 0;
    while (items.next_tag(tag)) {
        bool ok = true;
        switch (tag) {
        case BI_PRINT_COMMA:
            ok = printer.comma();
            break;
        case BI_PRINT_TEXT:
            if (!items.has_value()) return;
            ok = printer.text(items.text());
            break;
        case BI_PRINT_SPC:
            if (!items.has_value()) return;
            ok = printer.spc(items.count16());
            break;
        case BI_PRINT_TAB:
            if (!items.has_value()) return;
            ok = printer.tab(items.count16());
            break;
        case BI_PRINT_END_OF_LINE:
            ok = printer.line_break();
            break;
        default:
            break;
        }
        if (!ok) return;
    }
}

// A copy of the multibyte text of a string Variant between the given margins; a temporary.
BiString padded_text(const VARIANT &v, const char *before, const char *after) {
    uint32_t bytes = 0;
    runtime::ZrBuffer<char> text(ZbiOleToChar(v.bstrVal, &bytes));
    size_t lead = std::strlen(before), tail = std::strlen(after);
    size_t n = lead + bytes + tail;
    if (!text || n > BI_STRING_LENGTH_MASK) return runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    if (lead == 0 && tail == 0) return runtime::adopt_buffer(text.release(), bytes);
    runtime::ZrBuffer<char> out(static_cast<char *>(ZrMalloc(n + 1)));
    if (!out) return runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    std::memcpy(out.get(), before, lead);
    std::memcpy(out.get() + lead, text.get(), bytes);
    std::memcpy(out.get() + lead + bytes, after, tail);
    return runtime::adopt_buffer(out.release(), n);
}

// The text of a Variant for Print #: Null is "#NULL#"; numbers get a blank on each side when
// asked. The Variant is cleared.
BiString print_text(VARIANT &v, bool pad_numbers) {
    variant::OwnedVariant owned(&v);
    if (v.vt == VT_NULL) return runtime::temporary_copy("#NULL#", 6);
    bool number = v.vt >= VT_I2 && v.vt <= VT_CY;
    ZbiVariantCvtToBStr(&v, &v);
    if (v.vt != VT_BSTR) return runtime::empty_string(true);
    return pad_numbers && number ? padded_text(v, " ", " ") : padded_text(v, "", "");
}

} // namespace

} // namespace brtl::fileio

using namespace brtl;
using namespace brtl::fileio;

extern "C" {

BRTL_API void ZbiBuiltIn_Print(int16_t number, int32_t count, ...) {
    va_list ap;
    va_start(ap, count);
    PrintItems items(&ap, count);
    try {
        print_items(number, items);
    } catch (...) {
        items.release_rest();
        va_end(ap);
        throw;
    }
    items.release_rest();
    va_end(ap);
}

BRTL_API void ZbiBuiltIn_Width(int16_t number, int32_t width) {
    if (width < 0 || width > 255) {
        runtime::raise_trap(BI_TRAP_ILLEGAL_CALL);
        return;
    }
    if (FileRecord *record = checked_record(number)) record->width = width;
}

BRTL_API BiString ZbiBuiltIn_CvtPSNS(BiString text) {
    runtime::OwnedString owned(text);
    size_t n = owned.size();
    if (n + 1 > BI_STRING_LENGTH_MASK)
        return runtime::empty_after_trap(BI_TRAP_OUT_OF_STRING_SPACE);
    runtime::ZrBuffer<char> out(static_cast<char *>(ZrMalloc(n + 2)));
    if (!out) return runtime::empty_after_trap(BI_TRAP_OUT_OF_MEMORY);
    std::memcpy(out.get(), owned.data(), n);
    out.get()[n] = ' ';
    return runtime::adopt_buffer(out.release(), n + 1);
}

BRTL_API BiString ZbiBuiltIn_CvtPSVS(VARIANT v) {
    return print_text(v, true);
}

BRTL_API BiString ZbiBuiltIn_CvtPVS(VARIANT v) {
    return print_text(v, false);
}

} // extern "C"
