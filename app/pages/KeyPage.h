#pragma once
// The key page: the function of each mouse button.
#include "app/pages/MainPage.h"

class KeyPage : public MainPage {
  public:
    enum : Orvix::UINT { IDC_AREA = 64 };

    using MainPage::MainPage;
    void Create() override;
    void Layout(double scale) override;
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam, Orvix::LPARAM lParam) override;
    void OnLanguageChanged() override;
};
