#include "features/PcFunctionExecutor.h"

#include <cwchar>

#include "features/ButtonFunction.h"
#include "platform/DesktopServices.h"
#include "storage/DataStore.h"

std::wstring WebAddressToOpen(const std::wstring& stored) {
    std::wstring address = stored;
    for (const wchar_t* scheme : {L"https://", L"http://"}) {
        if (address.rfind(scheme, 0) == 0) {
            address.erase(0, std::wcslen(scheme));
            break;
        }
    }
    if (address.empty() || address.find(L"www.") != std::wstring::npos) return address;
    return L"www." + address;
}

PcFunctionExecutor::PcFunctionExecutor(DataStore& store, DesktopServices& services)
    : m_store(store), m_services(services) {}

bool PcFunctionExecutor::Execute(int kind, int32_t id) {
    std::wstring description, param, content;
    int32_t type = 0;
    switch (kind) {
        case kFuncLaunch:
            m_store.GetKeyOtherData(id, description, param, type);
            return !param.empty() && m_services.StartProgram(param);
        case kFuncWeb:
            m_store.GetKeyOtherData(id, description, param, type);
            description = WebAddressToOpen(description);
            // Only web pages: a stored "file:" or "javascript:" address is never opened.
            return !WebUrlFor(description).empty() && m_services.OpenWebAddress(description);
        case kFuncText:
            return m_store.GetTextContent(id, content) && TypeText(content);
        default:
            return false;
    }
}

bool PcFunctionExecutor::TypeText(const std::wstring& text) {
    if (text.empty()) return false;
    // The user's clipboard is put back afterwards rather than left empty.
    std::wstring saved;
    const bool haveSaved = m_services.GetClipboardText(saved);
    if (!m_services.SetClipboardText(text)) return false;
    const bool pasted = m_services.PressPasteKeys();
    m_services.SetClipboardText(haveSaved ? saved : std::wstring());
    return pasted;
}
