// fontconfig back end of the font helpers.
#include "orvix/platform/Fonts.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>

#include "base/AppContext.h"
#include "base/TextConv.h"
#include "orvix/platform/ProgramFolder.h"

namespace Orvix {

namespace {

std::mutex g_fontMutex;
std::map<std::wstring, bool> g_installed;  // family -> present (memo)

// Pango keeps its own view of the font set; tell it about new app fonts.
void RefreshPango() {
    PangoFontMap* map = pango_cairo_font_map_get_default();
    if (PANGO_IS_FC_FONT_MAP(map)) pango_fc_font_map_config_changed(PANGO_FC_FONT_MAP(map));
}

bool QueryInstalled(const std::wstring& family) {
    FcPattern* pattern = FcPatternCreate();
    std::string utf8 = WideToUtf8(family);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.c_str()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    bool found = set && set->nfont > 0;
    if (set) FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

}  // namespace

namespace {

bool AddFontFile(const std::wstring& path, bool refreshPango) {
    std::lock_guard lock(g_fontMutex);
    if (!FcInit()) return false;
    std::string utf8 = WideToUtf8(path);
    if (!FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(utf8.c_str()))) return false;
    g_installed.clear();
    if (refreshPango) RefreshPango();
    return true;
}

}  // namespace

bool RegisterAppFont(const std::wstring& path) {
    return AddFontFile(path, true);
}

bool FontFamilyInstalled(const std::wstring& family) {
    if (family.empty()) return false;
    std::lock_guard lock(g_fontMutex);
    auto it = g_installed.find(family);
    if (it != g_installed.end()) return it->second;
    bool found = FcInit() && QueryInstalled(family);
    g_installed[family] = found;
    return found;
}

std::wstring ResolveFontFamily(const std::wstring& family) {
    if (FontFamilyInstalled(family)) return family;
    // The Windows UI families the toolkit's defaults name are drawn in Open Sans.
    static const wchar_t* const kWindowsFamilies[] = {
        L"Segoe UI", L"Arial", L"Tahoma", L"Microsoft Sans Serif", L"Verdana", L"Microsoft YaHei"};
    for (const wchar_t* name : kWindowsFamilies) {
        if (family == name) {
            for (const wchar_t* standIn : {kEmbeddedFontFamily, L"Open Sans", L"DejaVu Sans"})
                if (FontFamilyInstalled(standIn)) return standIn;
        }
    }
    return {};
}

namespace {
std::wstring g_embeddedPath;  // written once, by the initialiser below
}

bool PrepareEmbeddedFont() {
    static const bool added = [] {
        const std::wstring candidates[] = {
            ExecutableFolder() + kEmbeddedFontFile,
            L"/usr/share/fonts/truetype/open-sans/OpenSans-Semibold.ttf",
            L"/usr/share/fonts/truetype/open-sans/OpenSans-SemiBold.ttf",
        };
        for (const std::wstring& path : candidates) {
            if (access(WideToUtf8(path).c_str(), R_OK) == 0 && AddFontFile(path, false)) {
                g_embeddedPath = path;
                return true;
            }
        }
        return false;
    }();
    return added && FontFamilyInstalled(kEmbeddedFontFamily);
}

bool RegisterEmbeddedFont() {
    const bool prepared = PrepareEmbeddedFont();
    // Pango's font map belongs to a thread: the first caller's learns of the font
    // (the toolkit's UI thread; a thread that only prepared has no map to tell).
    static const bool refreshed = [] {
        std::lock_guard lock(g_fontMutex);
        RefreshPango();
        return true;
    }();
    return prepared && refreshed;
}

namespace {
// Pango's interned form of the tag: it lives as long as the process.
std::atomic<const char*> g_textLanguage{nullptr};
}  // namespace

void SetTextLanguage(const char* tag) {
    PangoLanguage* language = pango_language_from_string(tag && *tag ? tag : "en");
    g_textLanguage.store(pango_language_to_string(language), std::memory_order_relaxed);
}

const char* GetTextLanguage() {
    const char* tag = g_textLanguage.load(std::memory_order_relaxed);
    return tag ? tag : "en";
}

namespace {
// The program's language setting tells the fonts which forms to draw; the
// library is loaded before any code can set it.
[[maybe_unused]] const bool g_followsLanguage = (SetTextLanguageListener(&SetTextLanguage), true);
}  // namespace

std::wstring EmbeddedFontPath() {
    RegisterEmbeddedFont();
    return g_embeddedPath;
}

}  // namespace Orvix
