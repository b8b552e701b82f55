#include "base/ParseInt.h"

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

bool ParseDecimal(std::wstring_view text, int32_t& value) {
    const bool negative = !text.empty() && text.front() == L'-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.size() > 10) return false;
    int64_t magnitude = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        magnitude = magnitude * 10 + (c - L'0');
    }
    const int64_t result = negative ? -magnitude : magnitude;
    if (result < INT32_MIN || result > INT32_MAX) return false;
    value = static_cast<int32_t>(result);
    return true;
}
