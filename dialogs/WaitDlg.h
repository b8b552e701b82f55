#pragma once
// The busy window shown while a long device operation runs: a small borderless
// window with the animated "loading" picture, modal over the main window until
// the worker ends it with DoOK.
#include "orvix/core/MDialog.h"

class WaitDlg : public Orvix::MDialog {
  public:
    static constexpr int kSize = 102;
    enum : Orvix::UINT { IDC_LOADING = 30 };

    WaitDlg() = default;
    ~WaitDlg() override = default;

    // Creates the window centred on the owner's window rectangle and runs it
    // modally; returns when the window has been ended.
    Orvix::UINT Show(Orvix::HWND owner);
    // Creates it without running the loop (the caller runs ShowModal).
    bool CreateOver(Orvix::HWND owner);

    // Where the window goes for an owner rectangle: centred, also beyond a small owner.
    static Orvix::CRect PlaceOver(const Orvix::CRect& ownerRect);

    const wchar_t* GetClassNameW() const override { return L"WaitDlg"; }

  protected:
    Orvix::BOOL OnInitDialog() override;
    void InitUI(Orvix::CRect client) override;
    void UISize(Orvix::CRect) override {}
    Orvix::LRESULT OnMessage(Orvix::UINT, Orvix::UINT, Orvix::WPARAM, Orvix::LPARAM) override { return 0; }
    Orvix::LRESULT OnDestroy() override { return 0; }
};
