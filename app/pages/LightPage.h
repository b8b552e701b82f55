#pragma once
// The lighting page: mode, brightness, speed and colours per profile.
#include "app/pages/MainPage.h"

class LightPage : public MainPage {
  public:
    enum : Orvix::UINT { IDC_AREA = 173 };

    using MainPage::MainPage;
    void Create() override;
    void Layout(double scale) override;
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam, Orvix::LPARAM lParam) override;
    void OnLanguageChanged() override;
};
