#pragma once
// The program's message box: a small skinned modal window with a title line, a
// message and one (kind 0) or two (kind 4) buttons. Every question and notice of
// the program goes through ShowMessageBox.
#include <string>

#include "orvix/core/MDialog.h"

class CUIMessageBox : public Orvix::MDialog {
  public:
    static constexpr int kWidth = 430;
    static constexpr int kHeight = 230;
    enum : Orvix::UINT { IDC_TITLE = 31, IDC_MESSAGE = 32, IDC_FIRST = 33, IDC_SECOND = 34 };
    // Kind 0: one button (text 20); kind 4: buttons 23 and 25; other kinds none.
    static constexpr int kKindOk = 0;
    static constexpr int kKindOkCancel = 4;

    CUIMessageBox(std::wstring title, std::wstring message, int kind);
    ~CUIMessageBox() override;

    const wchar_t* GetClassNameW() const override { return L"CUIMessageBox"; }

  protected:
    Orvix::BOOL OnInitDialog() override;
    void InitUI(Orvix::CRect client) override;
    void UISize(Orvix::CRect) override {}
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;
    Orvix::LRESULT OnDestroy() override { return 0; }
    // Esc: its Cancel (its only button when it has one), else the box just closes.
    Orvix::BOOL OnCancelKey() override;

  private:
    std::wstring m_title;
    std::wstring m_message;
    int m_kind;
};

// Shows the box modally over `owner` and returns 1 for the first button, 2 for the
// second button of kind 4 (and for a box closed otherwise, e.g. by a device change).
// Callers treat every result other than 1 as "no".
int ShowMessageBox(const wchar_t* message, Orvix::HWND owner, const wchar_t* title, int kind);

// Hooks for the program's tests: called on the UI thread when a box has been shown,
// with the box; the test may click its buttons or close it. Null to stop.
using MessageBoxHook = void (*)(CUIMessageBox& box, void* context);
void SetMessageBoxHook(MessageBoxHook hook, void* context);
