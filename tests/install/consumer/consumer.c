/* Uses the installed library: English texts, a trap number's message, Format and a Variant
 * addition through the operator table. */
#include <stdio.h>

#include "brtl/brtl.h"

int main(void) {
    ZbiInitBasicRTL(brtl_english_text, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
    BiString message = ZbiBuiltIn_Error_(11);
    double value = 1234.5;
    BiString format = {(char *)"#,##0.00", 8};
    BiString text = ZbiBuiltIn_Format_(BI_FORMAT_DOUBLE, &value, format);

    VARIANT left, right, sum;
    VariantInit(&left);
    VariantInit(&right);
    VariantInit(&sum);
    left.vt = VT_I2;
    left.iVal = 32767;
    right.vt = VT_I2;
    right.iVal = 1;
    BiVariantBinOpTable[(BI_OP_ADD * 14 + VT_I2) * 14 + VT_I2](BI_OP_ADD, &sum, &left, &right);

    printf("%s|%s|%d %ld\n", message.data, text.data, (int)sum.vt, (long)sum.lVal);
    ZbiFreeBiString(message);
    ZbiFreeBiString(text);
    return 0;
}
