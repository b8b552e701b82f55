#pragma once
// Numbers in text. ParseInt reads them as data files, stored settings and the
// settings store have always been read: leading blanks and a sign are accepted,
// reading stops at the first character that is not a digit, and empty or
// malformed text gives 0. Values beyond the int range are clamped.
#include <cstdint>
#include <string_view>

int ParseInt(std::wstring_view text, int base = 10);

// A number exactly as "%d" writes it: an optional minus sign and decimal digits,
// within 32 bits. Anything else (empty, blanks, a plus sign, other characters) is
// refused and leaves `value` alone.
bool ParseDecimal(std::wstring_view text, int32_t& value);
