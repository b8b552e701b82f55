#pragma once
// Attribute numbers as the files have always been read: leading blanks and a sign
// are accepted, reading stops at the first character that is not a digit, and
// empty or malformed text gives 0. Values beyond the int range are clamped.
#include <string_view>

int ParseInt(std::wstring_view text, int base = 10);
