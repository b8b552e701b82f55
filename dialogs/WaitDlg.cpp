#include "dialogs/WaitDlg.h"

#include "base/LanguageText.h"
#include "orvix/controls/CGifPicture.h"
#include "orvix/platform/Platform.h"

using namespace Orvix;

namespace {
constexpr int kTextTitle = 1251;
}  // namespace

CRect WaitDlg::PlaceOver(const CRect& owner) {
    const int left = owner.left + (owner.Width() - kSize) / 2;
    const int top = owner.top + (owner.Height() - kSize) / 2;
    return CRect(left, top, left + kSize, top + kSize);
}

bool WaitDlg::CreateOver(HWND owner) {
    const CRect ownerRect = owner ? Platform::GetWindowRect(owner) : CRect(0, 0, kSize, kSize);
    return Create(owner, L"WaitDlg", WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                  WS_EX_TOOLWINDOW | WS_EX_TOPMOST, PlaceOver(ownerRect)) != nullptr;
}

UINT WaitDlg::Show(HWND owner) {
    if (!GetSafeHwnd() && !CreateOver(owner)) return 0;
    return ShowModal(SW_SHOW);
}

BOOL WaitDlg::OnInitDialog() {
    m_pm.SetBackColor(0x333333, 0x333333);
    MDialog::OnInitDialog();
    SetMTimer(10);
    EnableWndDrag(TRUE);
    return TRUE;
}

void WaitDlg::InitUI(CRect) {
    auto* loading =
        static_cast<CGifPicture*>(CreateControl(L"CGifPicture", IDC_LOADING, CRect(1, 1, 101, 101)));
    loading->SetImage(L"loading.gif");
    loading->SetRunState(1);
    // No caption to show: the desktop names the window by what it is for.
    SetWindowTextW(GetLanguageText(L"LAN", kTextTitle).c_str());
}
