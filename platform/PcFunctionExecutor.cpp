#include "platform/PcFunctionExecutor.h"

#include <cwchar>

#include "base/ButtonFunction.h"
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

PcFunctionExecutor::~PcFunctionExecutor() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_typist.joinable()) m_typist.join();
}

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
    std::lock_guard<std::mutex> guard(m_lock);
    m_texts.push_back(text);
    if (!m_typist.joinable()) m_typist = std::thread([this] { TypistLoop(); });
    m_changed.notify_all();
    return true;
}

void PcFunctionExecutor::WaitUntilTyped() {
    std::unique_lock<std::mutex> guard(m_lock);
    m_changed.wait(guard, [this] { return m_texts.empty() && !m_typing; });
}

void PcFunctionExecutor::TypistLoop() {
    std::unique_lock<std::mutex> guard(m_lock);
    for (;;) {
        m_changed.wait(guard, [this] { return m_stop || !m_texts.empty(); });
        if (m_texts.empty()) return;  // stopping, with nothing left to type
        const std::wstring text = std::move(m_texts.front());
        m_texts.pop_front();
        m_typing = true;
        guard.unlock();
        PasteThroughClipboard(text);
        guard.lock();
        m_typing = false;
        m_changed.notify_all();
    }
}

bool PcFunctionExecutor::PasteThroughClipboard(const std::wstring& text) {
    if (text.empty()) return false;
    // Everything the user had copied (text, images, files) goes back afterwards.
    ClipboardContents saved;
    if (!m_services.SaveClipboard(saved)) return false;
    if (!m_services.SetClipboardText(text)) return false;
    const bool pasted = m_services.PressPasteKeys();
    m_services.WaitForPaste();
    m_services.RestoreClipboard(saved);
    return pasted;
}
