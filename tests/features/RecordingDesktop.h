#pragma once
// Desktop services that record what they are asked and launch nothing. The
// paste keys can be held up (`HoldPaste`) to see who waits for them.
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "base/TextConv.h"
#include "platform/DesktopServices.h"

class RecordingDesktop : public DesktopServices {
  public:
    bool StartProgram(const std::wstring& path) override { return Note(L"start " + path); }
    bool OpenWebAddress(const std::wstring& address) override { return Note(L"open " + address); }
    bool SaveClipboard(ClipboardContents& contents) override {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!clipboardReachable) return false;
        contents = clipboard;
        return NoteLocked(L"save clipboard");
    }
    bool RestoreClipboard(const ClipboardContents& contents) override {
        std::lock_guard<std::mutex> guard(m_lock);
        clipboard = contents;
        return NoteLocked(L"restore clipboard (" + std::to_wstring(contents.size()) + L" formats)");
    }
    bool SetClipboardText(const std::wstring& text) override {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!clipboardReachable) return false;
        clipboard = TextClipboardFormats(Orvix::WideToUtf8(text));
        return NoteLocked(L"set clipboard " + text);
    }
    bool PressPasteKeys() override {
        std::unique_lock<std::mutex> guard(m_lock);
        m_pasting = true;
        m_changed.notify_all();
        m_changed.wait(guard, [this] { return !m_held; });
        m_pasting = false;
        return NoteLocked(L"paste");
    }

    // The next paste keys wait until Release().
    void HoldPaste() {
        std::lock_guard<std::mutex> guard(m_lock);
        m_held = true;
    }
    void Release() {
        std::lock_guard<std::mutex> guard(m_lock);
        m_held = false;
        m_changed.notify_all();
    }
    // Waits until a paste is held up.
    void WaitForHeldPaste() {
        std::unique_lock<std::mutex> guard(m_lock);
        m_changed.wait(guard, [this] { return m_pasting; });
    }
    std::vector<std::wstring> Calls() {
        std::lock_guard<std::mutex> guard(m_lock);
        return calls;
    }
    ClipboardContents Clipboard() {
        std::lock_guard<std::mutex> guard(m_lock);
        return clipboard;
    }

    std::vector<std::wstring> calls;
    ClipboardContents clipboard;
    bool clipboardReachable = true;

  private:
    bool Note(const std::wstring& call) {
        std::lock_guard<std::mutex> guard(m_lock);
        return NoteLocked(call);
    }
    bool NoteLocked(const std::wstring& call) {
        calls.push_back(call);
        return true;
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_held = false;
    bool m_pasting = false;
};
