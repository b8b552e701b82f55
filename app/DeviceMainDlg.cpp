#include "app/DeviceMainDlg.h"

#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/core/Manager.h"
#include "orvix/platform/Fonts.h"

using namespace Orvix;

namespace {

constexpr UINT kClicked = 2;
constexpr int kCaptionHeight = 50;
constexpr int kFooterHeight = 50;
constexpr int kSystemButtonPitch = 31;

MPicture* AddPicture(MDialog& dlg, UINT id, const wchar_t* file, enumShowMode mode, int inset) {
    auto* picture = static_cast<MPicture*>(dlg.CreateControl(L"MPicture", id, CRect()));
    picture->SetImage(file, 1);
    picture->SetShowMode(mode, inset);
    return picture;
}

// An image button of the caption; none while the toolkit has no such control.
void AddSystemButton(MDialog& dlg, UINT id, const wchar_t* file) {
    if (auto* button = dynamic_cast<MControlFont*>(dlg.CreateControl(L"CImageButton", id, CRect())))
        button->SetImage(file, 4);
}

}  // namespace

bool DeviceMainDlg::CreateMainWindow() {
    if (!Create(nullptr, Manager::GetDeviceName().c_str(), WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                CRect(0, 0, kWidth, kHeight)))
        return false;
    CenterWindow(nullptr);
    return true;
}

void DeviceMainDlg::ShowMainWindow() {
    ShowWindow(SW_SHOWNORMAL);
    Platform::UpdateWindow(m_hWnd);
    BringToTop();
}

void DeviceMainDlg::CloseMainWindow() {
    DestroyWindow();
}

void DeviceMainDlg::InitUI(CRect client) {
    AddPicture(*this, IDC_MAIN_BKG, L"main_bkg.png", SHOW_MODE_NINE, 8);
    AddPicture(*this, IDC_CAPTION_BAR, L"img_caption.png", SHOW_MODE_STRETCH, 0);
    AddPicture(*this, IDC_FOOTER_BAR, L"img_caption.png", SHOW_MODE_STRETCH, 0);
    auto* caption = static_cast<MText*>(
        CreateControl(L"MText", IDC_CAPTION_TEXT, CRect(), Manager::GetDeviceName().c_str()));
    caption->SetFont(kEmbeddedFontFamily, 18, 0);
    caption->SetTextColor(Color(0xFFE8F0F5));
    AddSystemButton(*this, IDC_SYSBTN_CLOSE, L"sysbtn_close.png");
    AddSystemButton(*this, IDC_SYSBTN_MIN, L"sysbtn_min.png");
    UISize(client);
}

void DeviceMainDlg::UISize(CRect client) {
    auto place = [this](UINT id, CRect rect) {
        if (MControl* control = GetControl(id)) control->SetControlRect(rect);
    };
    place(IDC_MAIN_BKG, client);
    place(IDC_CAPTION_BAR, CRect(1, 1, client.right - 1, kCaptionHeight));
    place(IDC_FOOTER_BAR, CRect(1, client.bottom - kFooterHeight, client.right - 1, client.bottom - 1));
    place(IDC_CAPTION_TEXT, CRect(60, 1, client.right / 2, kCaptionHeight));
    // The system buttons line up from the right edge, close first.
    const UINT buttons[] = {IDC_SYSBTN_CLOSE, IDC_SYSBTN_MIN};
    for (int i = 0; i < 2; ++i) {
        const int right = client.right - 20 - kSystemButtonPitch * i;
        place(buttons[i], CRect(right - 30, 10, right, 40));
    }
}

LRESULT DeviceMainDlg::OnMessage(UINT id, UINT code, WPARAM, LPARAM) {
    if (code != kClicked) return 0;
    switch (id) {
        case IDC_SYSBTN_CLOSE:
            // Without a tray icon to come back through, closing always leaves the program.
            m_exitRequested = true;
            CloseMainWindow();
            return 1;
        case IDC_SYSBTN_MIN:
            OnMinimize();
            return 1;
        default:
            return 0;
    }
}
