#pragma once
// Process-wide toolkit settings and start-up.
#include <set>
#include <string>

#include "orvix/platform/WinTypes.h"

namespace Orvix {

class MWindow;

class Manager {
public:
    static void SetInstance(void* instance) { s_instance = instance; }
    static void* GetInstance() { return s_instance; }

    static void SetFontName(const std::wstring& name) { s_fontName = name; }
    static void SetFont(const std::wstring& name, int size);
    static const std::wstring& GetFontName() { return s_fontName; }
    static int GetFontWidth() { return s_fontSize; }

    static void SetDeviceName(const std::wstring& name) { s_deviceName = name; }
    static const std::wstring& GetDeviceName() { return s_deviceName; }

    // The accent colour of selection frames, focus rings and sliders.
    static Color m_select_color;
    static Color GetSelectColor() { return m_select_color; }
    static const wchar_t* GetTheme() { return L"theme1/"; }
    // <folder of the executable>/skins/theme1/ (with the trailing separator).
    static std::wstring GetSkinFolder();
    // Resolves a skin file name against the skin folder; absolute paths stay.
    static std::wstring GetSkinPath(const std::wstring& file);
    // The folder of the running executable, with a trailing separator.
    static std::wstring GetModuleFolder();

    // Starts the windowing layer (back end by ORVIX_BACKEND, default sdl) and
    // registers the embedded font. UnInitGdiplus shuts the layer down.
    static BOOL InitGdiplus();
    static void UnInitGdiplus();

    // Runs the message loop until WM_QUIT; Alt+F4 never reaches a window.
    static int MessageLoop();
    static BOOL PreTranslateMessage(const MSG* msg);

    static void AddWnd(MWindow* wnd) { s_windows.insert(wnd); }
    static void DeleteWnd(MWindow* wnd) { s_windows.erase(wnd); }
    static const std::set<MWindow*>& GetWindows() { return s_windows; }

private:
    static void* s_instance;
    static std::wstring s_fontName;
    static int s_fontSize;
    static std::wstring s_deviceName;
    static std::set<MWindow*> s_windows;
};

// The library's trace hook; it does nothing.
void M_Trace(const wchar_t* format, ...);

}  // namespace Orvix
