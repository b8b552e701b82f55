#include "exchange/ParseInt.h"

#include <climits>
#include <cwchar>
#include <string>

int ParseInt(std::wstring_view text, int base) {
    const std::wstring s(text);  // wcstol needs a terminated string
    long long value = std::wcstoll(s.c_str(), nullptr, base);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
