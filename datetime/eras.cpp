// The eras of the multibyte locale's calendar.
#include "datetime/eras.h"

#include "datetime/calendar.h"

namespace brtl::datetime {

int era_of_serial(double serial) {
    int64_t day = serial_day(serial);
    for (int era = kEraCount - 1; era >= 0; --era)
        if (day >= kEras[era].first_serial) return era;
    return -1;
}

int32_t era_year_offset(int era) {
    return era >= 0 && era < kEraCount ? kEras[era].year_base : -1;
}

} // namespace brtl::datetime
