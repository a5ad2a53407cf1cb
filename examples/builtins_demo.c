/* How translated BASIC code calls the builtins: Variant operators through the exported tables,
 * Format, dates, a sequential file and the string builtins. Each block shows the BASIC it
 * stands for. */
#include <stdio.h>
#include <string.h>

#include "brtl/brtl.h"

static int16_t report_trap(int32_t trap) {
    printf("  (trap %d: %s)\n", (int)trap, brtl_english_text(trap));
    return 0;
}

/* A borrowed runtime string of a literal: the callee only reads it. */
static BiString literal(const char *text) {
    BiString s = {(char *)text, (uint32_t)strlen(text)};
    return s;
}

/* Prints and frees a temporary result. */
static void show(const char *label, BiString s) {
    printf("  %-44s \"%s\"\n", label, BiStringLength(s) ? s.data : "");
    if (BiStringIsTemporary(s) && BiStringLength(s) != 0) ZbiFreeBiString(s);
}

/* The subtype and text of a Variant, through the plain conversion (the Variant is consumed). */
static void show_variant(const char *label, VARIANT v) {
    char caption[64];
    snprintf(caption, sizeof caption, "%s [subtype %d]", label, v.vt);
    show(caption, ZbiEvalCvtVS(v, 1));
}

/* Calls the binary operator handler that op and the operands' subtypes select. */
static VARIANT binary(int32_t op, VARIANT left, VARIANT right) {
    VARIANT result;
    VariantInit(&result);
    BiVariantBinOpTable[(((op < BI_OP_LT ? op : 8) * 14) + left.vt) * 14 + right.vt](op, &result,
                                                                                     &left, &right);
    return result;
}

static VARIANT integer(int16_t value) {
    VARIANT v;
    v.vt = VT_I2;
    v.iVal = value;
    return v;
}

int main(void) {
    ZbiInitBasicRTL(brtl_english_text, report_trap, NULL, report_trap, NULL, NULL, NULL, NULL);
    ZbiReset_Rtl();

    puts("Variant operators:");
    show_variant("32767 + 1 (widens to a Long)", binary(BI_OP_ADD, integer(32767), integer(1)));
    VARIANT five;
    ZbiEvalCvtSV(&five, literal("5"));
    show_variant("\"5\" + 3 (the string is read)", binary(BI_OP_ADD, five, integer(3)));
    VARIANT a, b;
    ZbiEvalCvtSV(&a, literal("ab"));
    ZbiEvalCvtSV(&b, literal("cd"));
    show_variant("\"ab\" + \"cd\" (concatenation)", binary(BI_OP_ADD, a, b));

    puts("Format:");
    double number = 1234567.891;
    show("Format(1234567.891, \"#,##0.00\")",
         ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &number, literal("#,##0.00")));
    VARIANT leap;
    ZbiBuiltIn_DateSerial(&leap, 1996, 2, 29);
    show("Format(DateSerial(1996, 2, 29), ...)",
         ZbiBuiltIn_Format_(BI_FORMAT_VARIANT, &leap, literal("dddd, mmmm d, yyyy")));

    puts("Dates:");
    VARIANT later;
    ZbiBuiltIn_DateAdd(&later, literal("m"), 12, leap); /* 29 February 1997 does not exist */
    show_variant("DateAdd(\"m\", 12, #2/29/1996#)", later);

    puts("A sequential file:");
    ZbiBuiltIn_Open(literal("builtins_demo.txt"), 2 /* Output */, 0, 0, 1, -1);
    ZbiBuiltIn_Print(1, 4, 1 /* text */, literal("Hello"), 0 /* next zone */, 4 /* line end */);
    ZbiBuiltIn_Close(0, NULL);
    ZbiBuiltIn_Open(literal("builtins_demo.txt"), 1 /* Input */, 0, 0, 1, -1);
    BiString line = {NULL, 0};
    ZbiBuiltIn_LineInput(1, 13, 0, &line);
    show("Line Input #1 after Print #1, \"Hello\",", line);
    ZbiBuiltIn_Close(0, NULL);
    remove("builtins_demo.txt");

    puts("Strings and numbers:");
    show("Left$(\"runtime\", 3)", ZbiBuiltIn_Left_(literal("runtime"), 3));
    printf("  %-44s %g\n", "Val(\"&HFF\")", ZbiBuiltIn_Val(literal("&HFF")));
    puts("A trap the host reports and the builtin survives:");
    show("Mid$(\"abc\", 0, 1)", ZbiBuiltIn_MidFunc_(literal("abc"), 0, 1));

    ZbiTermBasicRTL();
    return 0;
}
