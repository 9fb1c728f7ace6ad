// The platform seam of number parsing: strtod in the C locale, whatever
// locale the process has chosen. Only number forms that the fast path of
// NumberParse leaves aside come through here.
#pragma once

#include <locale.h>
#include <stdlib.h>

namespace c_locale_numbers {

#if defined(_WIN32)
inline double Strtod(const char* text) {
    static const _locale_t cLocale = _create_locale(LC_ALL, "C");
    return cLocale ? _strtod_l(text, nullptr, cLocale) : strtod(text, nullptr);
}
#else
inline double Strtod(const char* text) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return cLocale ? strtod_l(text, nullptr, cLocale) : strtod(text, nullptr);
}
#endif

}  // namespace c_locale_numbers
