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
// common Windows UI families (the embedded font first, so text in those names
// has the weight of the rest of the toolkit), else empty (meaning: no text).
std::wstring ResolveFontFamily(const std::wstring& family);
// Registers "Open Sans Semibold" (once): the copy the build puts in the
// program folder (resources/), so a program folder taken to a machine without
// the font package still draws text; the system's Open Sans package only when
// that copy is missing (tools run from other folders).
bool RegisterEmbeddedFont();
// The fontconfig half of RegisterEmbeddedFont (its configuration, caches and the
// font file), safe on any thread: a program starts it on a thread of its own while
// the display opens, and RegisterEmbeddedFont then finds the work done.
bool PrepareEmbeddedFont();
// The file the embedded font was registered from; empty when none was.
std::wstring EmbeddedFontPath();
// The language of the texts the toolkit draws, as an RFC 3066 tag ("en", "ja",
// "zh-cn"). Characters the family lacks come from fontconfig's fallback fonts,
// chosen for this language: Chinese, Japanese and Korean share characters that
// each writes in its own forms. "en" until set; any thread.
void SetTextLanguage(const char* tag);
const char* GetTextLanguage();
// Characters of `text` that no installed font can draw in `family` at
// `pixelSize` (they would show as boxes), with the fallback of the text
// language; a family that does not resolve counts every character.
int CountUnknownGlyphs(const std::wstring& text, const std::wstring& family, int pixelSize);
constexpr const wchar_t* kEmbeddedFontFamily = L"Open Sans Semibold";
constexpr const wchar_t* kEmbeddedFontFile = L"resources/OpenSans-Semibold.ttf";

}  // namespace Orvix
