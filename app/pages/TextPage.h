#pragma once
// The text page: the library of texts a mouse button can type.
#include "app/pages/MainPage.h"

class TextPage : public MainPage {
  public:
    enum : Orvix::UINT { IDC_AREA = 156 };

    using MainPage::MainPage;
    void Create() override;
    void Layout(double scale) override;
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam, Orvix::LPARAM lParam) override;
    void OnLanguageChanged() override;
};
