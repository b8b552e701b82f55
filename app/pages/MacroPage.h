#pragma once
// The macro page: the macro library, recording and editing.
#include "app/pages/MainPage.h"

class MacroPage : public MainPage {
  public:
    enum : Orvix::UINT { IDC_AREA = 113 };

    using MainPage::MainPage;
    void Create() override;
    void Layout(double scale) override;
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam, Orvix::LPARAM lParam) override;
    void OnLanguageChanged() override;
};
