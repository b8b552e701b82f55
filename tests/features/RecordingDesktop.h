#pragma once
// Desktop services that record what they are asked and launch nothing.
#include <string>
#include <vector>

#include "platform/DesktopServices.h"

class RecordingDesktop : public DesktopServices {
  public:
    bool StartProgram(const std::wstring& path) override { return Note(L"start " + path); }
    bool OpenWebAddress(const std::wstring& address) override { return Note(L"open " + address); }
    bool GetClipboardText(std::wstring& text) override {
        text = clipboard;
        return clipboardReachable && Note(L"get clipboard");
    }
    bool SetClipboardText(const std::wstring& text) override {
        if (!clipboardReachable) return false;
        clipboard = text;
        return Note(L"set clipboard " + text);
    }
    bool PressPasteKeys() override { return Note(L"paste"); }

    std::vector<std::wstring> calls;
    std::wstring clipboard;
    bool clipboardReachable = true;

  private:
    bool Note(const std::wstring& call) {
        calls.push_back(call);
        return true;
    }
};
