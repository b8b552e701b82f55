#pragma once
// The DPI and performance page: DPI levels, report rate and the performance options.
#include "app/pages/MainPage.h"

class DpiPage : public MainPage {
  public:
    enum : Orvix::UINT { IDC_AREA = 97 };

    using MainPage::MainPage;
    void Create() override;
    void Layout(double scale) override;
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam, Orvix::LPARAM lParam) override;
    void OnLanguageChanged() override;
};
