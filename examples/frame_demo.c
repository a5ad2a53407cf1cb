/* A small host of the runtime frame: installs hooks, makes and frees runtime strings, converts
 * between runtime strings and Variants, raises traps and reports them. */
#include <stdio.h>
#include <string.h>

#include "brtl/brtl.h"

/* The host's texts: trap messages (positive ids). */
static const char *host_text(int32_t id) {
    switch (id) {
    case 5:
        return "Invalid procedure call";
    case 17:
        return "Can't perform requested operation";
    case 53:
        return "File '%s' not found";
    default:
        return NULL;
    }
}

/* A host that reports each trap and lets the builtin go on with its fallback result. */
static int16_t report_trap(int32_t trap) {
    BiString message = ZbiBuiltIn_Error_(trap);
    printf("  trap %d: %s\n", (int)trap, BiStringLength(message) ? message.data : "(no text)");
    if (BiStringIsTemporary(message) && BiStringLength(message) != 0) ZbiFreeBiString(message);
    return 0;
}

/* A message dialog that prints instead of asking. */
static int16_t print_message(void *container, const char *message, int16_t buttons,
                             const char *title) {
    (void)container;
    printf("  [%s] %s (buttons %d)\n", title, message, buttons);
    return 1;
}

/* A temporary runtime string: the callee that receives it frees it. */
static BiString temporary(const char *text) {
    BiString s = ZbiAllocBiString((uint32_t)strlen(text));
    memcpy(s.data, text, strlen(text) + 1);
    s.length_word |= BI_STRING_TEMP_FLAG;
    return s;
}

int main(void) {
    ZbiInitBasicRTL(host_text, report_trap, NULL, report_trap, NULL, NULL, NULL, NULL);
    brtl_set_dialogs(print_message, NULL);

    puts("Error$(53) without its placeholder:");
    BiString text = ZbiBuiltIn_Error_(53);
    printf("  \"%s\"\n", text.data);
    ZbiFreeBiString(text);

    puts("A runtime string through a Variant and back:");
    VARIANT v;
    VariantInit(&v);
    ZbiEvalCvtSV(&v, temporary("hello, world"));
    printf("  BSTR of %u units\n", (unsigned)SysStringLen(v.bstrVal));
    BiString back = ZbiEvalCvtVS(v, 1); /* clear flag: the Variant is released */
    printf("  \"%s\" (%u bytes)\n", back.data, (unsigned)BiStringLength(back));
    ZbiFreeBiString(back);

    puts("Traps:");
    ZbiBuiltIn_Error_(-1);       /* a negative trap number: trap 5 */
    ZbiBuiltIn_CVErr(&v, 70000); /* an error code beyond 65535: trap 5 */
    ZbiBuiltIn_Assert(temporary("x > 0"), temporary("demo.bas"), 12, 1, 0); /* trap 17 */

    puts("MsgBox through the host's dialog:");
    ZbiBuiltIn_MsgBox(temporary("Done."), 64, temporary("frame_demo"));

    ZbiTermBasicRTL();
    return 0;
}
