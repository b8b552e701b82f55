#pragma once
// Text crosses module boundaries as UTF-8 (files, SQLite, pango) and lives in
// memory as std::wstring. These are the only conversions the code base uses.
#include <string>
#include <string_view>

namespace Orvix {

// Invalid sequences become U+FFFD; nothing throws.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// UTF-16 code units (little-endian order already resolved by the caller).
std::wstring Utf16ToWide(std::u16string_view utf16);
std::u16string WideToUtf16(std::wstring_view wide);

// printf-style formatting into a wide string (%d, %s with wide arguments, ...).
std::wstring FormatW(const wchar_t* format, ...);

}  // namespace Orvix
