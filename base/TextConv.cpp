#include "base/TextConv.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace Orvix {

namespace {
constexpr char32_t kReplacement = 0xFFFD;

bool IsScalar(char32_t c) { return c < 0x110000 && (c < 0xD800 || c > 0xDFFF); }

void AppendUtf8(std::string& out, char32_t c) {
    if (!IsScalar(c)) c = kReplacement;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}
}  // namespace

std::wstring Utf8ToWide(std::string_view s) {
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    std::wstring out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        size_t extra;
        char32_t c;
        if (b < 0x80) { out.push_back(b); ++i; continue; }
        if ((b & 0xE0) == 0xC0) { extra = 1; c = b & 0x1F; }
        else if ((b & 0xF0) == 0xE0) { extra = 2; c = b & 0x0F; }
        else if ((b & 0xF8) == 0xF0) { extra = 3; c = b & 0x07; }
        else { out.push_back(kReplacement); ++i; continue; }
        size_t j = 1;
        for (; j <= extra; ++j) {
            if (i + j >= s.size()) break;
            unsigned char cb = static_cast<unsigned char>(s[i + j]);
            if ((cb & 0xC0) != 0x80) break;
            c = (c << 6) | (cb & 0x3F);
        }
        if (j <= extra || c < kMin[extra] || !IsScalar(c)) {
            // A broken sequence costs one replacement; resynchronise at the
            // first byte that did not continue it.
            out.push_back(kReplacement);
            i += j;
            continue;
        }
        out.push_back(static_cast<wchar_t>(c));
        i += extra + 1;
    }
    return out;
}

std::string WideToUtf8(std::wstring_view w) {
    std::string out;
    out.reserve(w.size());
    for (wchar_t ch : w) AppendUtf8(out, static_cast<char32_t>(ch));
    return out;
}

std::wstring Utf16ToWide(std::u16string_view s) {
    std::wstring out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char16_t u = s[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            char32_t c = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            out.push_back(static_cast<wchar_t>(c));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out.push_back(static_cast<wchar_t>(kReplacement));
        } else {
            out.push_back(static_cast<wchar_t>(u));
        }
    }
    return out;
}

std::u16string WideToUtf16(std::wstring_view w) {
    std::u16string out;
    out.reserve(w.size());
    for (wchar_t ch : w) {
        char32_t c = static_cast<char32_t>(ch);
        if (!IsScalar(c)) c = kReplacement;
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::wstring FormatW(const wchar_t* format, ...) {
    std::vector<wchar_t> buf(256);
    for (;;) {
        va_list ap;
        va_start(ap, format);
        int n = std::vswprintf(buf.data(), buf.size(), format, ap);
        va_end(ap);
        if (n >= 0 && static_cast<size_t>(n) < buf.size()) return std::wstring(buf.data(), n);
        if (buf.size() > (1u << 20)) return std::wstring();  // malformed format or absurd length
        buf.resize(buf.size() * 4);
    }
}

}  // namespace Orvix
