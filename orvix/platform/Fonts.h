#pragma once
// Font families: application fonts registered with fontconfig, and the
// resolution of a family name to one that can actually be drawn.
#include <string>

namespace Orvix {

// Adds a font file as an application font; its families become usable by name.
bool RegisterAppFont(const std::wstring& path);
// True when an installed or registered font carries exactly this family name.
bool FontFamilyInstalled(const std::wstring& family);
// The family to draw with: the name itself when installed, a stand-in for the
// common Windows UI families, else empty (meaning: no text).
std::wstring ResolveFontFamily(const std::wstring& family);
// Registers "Open Sans Semibold" from the system's Open Sans package (once).
bool RegisterEmbeddedFont();
constexpr const wchar_t* kEmbeddedFontFamily = L"Open Sans Semibold";

}  // namespace Orvix
