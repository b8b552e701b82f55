#include "orvix/core/Manager.h"

#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"
#include "orvix/platform/ProgramFolder.h"

namespace Orvix {

void* Manager::s_instance = nullptr;
std::wstring Manager::s_fontName = L"Segoe UI";
int Manager::s_fontSize = 14;
std::wstring Manager::s_deviceName = L"Vantorel Mouse";
Color Manager::m_select_color = Color(0xFF49FFE6);
std::set<MWindow*> Manager::s_windows;

void Manager::SetFont(const std::wstring& name, int size) {
    s_fontName = name;
    s_fontSize = size;
}

std::wstring Manager::GetModuleFolder() { return ExecutableFolder(); }

std::wstring Manager::GetSkinFolder() { return GetModuleFolder() + L"skins/" + GetTheme(); }

std::wstring Manager::GetSkinPath(const std::wstring& file) {
    if (!file.empty() && file[0] == L'/') return file;
    return GetSkinFolder() + file;
}

BOOL Manager::InitGdiplus() {
    if (!Platform::Init()) return FALSE;
    RegisterEmbeddedFont();
    return TRUE;
}

void Manager::UnInitGdiplus() { Platform::Shutdown(); }

BOOL Manager::PreTranslateMessage(const MSG* msg) {
    return msg && Platform::IsKeyDown(VK_MENU) && Platform::IsKeyDown(VK_F4);
}

int Manager::MessageLoop() {
    MSG msg;
    while (Platform::GetMessage(msg)) {
        if (PreTranslateMessage(&msg)) continue;
        Platform::DispatchMessage(msg);
    }
    return int(msg.wParam);
}

void M_Trace(const wchar_t*, ...) {}

}  // namespace Orvix
