#include "app/pages/DevicePage.h"

#include "app/DeviceMainDef.h"
#include "app/pages/MainPageHost.h"
#include "dialogs/CUIMessageBox.h"
#include "storage/DataStore.h"

using namespace Orvix;

namespace {

constexpr UINT kClicked = 2;
constexpr int kCaptionText = 76;
constexpr int kTextMouseVersion = 551;
constexpr int kTextReceiverVersion = 552;
constexpr int kTextPairing = 723;
constexpr int kTextFactoryReset = 570;
constexpr int kTextFactoryResetQuestion = 571;
constexpr int kTextNotice = 576;
constexpr int kTextNotConnected = 57;
constexpr int kTextUpgradeNotice = 580;
constexpr int kTextUpgradeTitle = 672;  // also the upgrade buttons' text

}  // namespace

void DevicePage::Create() {
    AddArea(IDC_AREA, kCaptionText);
    AddLabel(IDC_MOUSE_VERSION, CRect(), Text(kTextMouseVersion) + L": " + m_host.GetState().GetMouseVersion(), 16);
    AddButton(IDC_MOUSE_UPGRADE, CRect(), Text(kTextUpgradeTitle));
    AddLabel(IDC_RECEIVER_VERSION, CRect(), Text(kTextReceiverVersion), 16);
    AddButton(IDC_RECEIVER_UPGRADE, CRect(), Text(kTextUpgradeTitle));
    AddButton(IDC_PAIRING, CRect(), Text(kTextPairing));
    AddButton(IDC_FACTORY_RESET, CRect(), Text(kTextFactoryReset));
}

void DevicePage::Layout(double scale) {
    const CRect page = m_container.GetRect();
    PlaceArea(IDC_AREA, CRect(page.left + 20, page.top + 15, page.right - 20, page.bottom - 15));
    const int left = page.left + 50;
    auto row = [&](int index) { return page.top + 15 + int((70 + 60 * index) * scale); };
    const int rowHeight = int(36 * scale);
    const int buttonWidth = 220;
    auto place = [this](UINT id, CRect rect) {
        if (MControl* control = GetControl(id)) control->SetControlRect(rect);
    };
    place(IDC_MOUSE_VERSION, CRect(left, row(0), left + 400, row(0) + rowHeight));
    place(IDC_MOUSE_UPGRADE, CRect(left + 420, row(0), left + 420 + buttonWidth, row(0) + rowHeight));
    place(IDC_RECEIVER_VERSION, CRect(left, row(1), left + 400, row(1) + rowHeight));
    place(IDC_RECEIVER_UPGRADE, CRect(left + 420, row(1), left + 420 + buttonWidth, row(1) + rowHeight));
    place(IDC_PAIRING, CRect(left, row(3), left + 300, row(3) + rowHeight));
    place(IDC_FACTORY_RESET, CRect(left, row(4), left + 300, row(4) + rowHeight));
}

LRESULT DevicePage::OnMessage(UINT id, UINT code, WPARAM, LPARAM) {
    if (code != kClicked) return 0;
    switch (id) {
        case IDC_MOUSE_UPGRADE:
        case IDC_RECEIVER_UPGRADE:
            ShowUpgradeNotice();
            return 1;
        case IDC_FACTORY_RESET:
            FactoryReset();
            return 1;
        case IDC_PAIRING:
            m_host.OpenPairingDialog();
            return 1;
        default:
            return 0;
    }
}

void DevicePage::OnLanguageChanged() {
    if (auto* caption = GetControlAs<MControlFont>(IDC_AREA + 2)) caption->SetTitle(Text(kCaptionText));
    for (UINT id : {IDC_MOUSE_UPGRADE, IDC_RECEIVER_UPGRADE})
        if (auto* button = GetControlAs<MControlFont>(id)) button->SetTitle(Text(kTextUpgradeTitle));
    if (auto* button = GetControlAs<MControlFont>(IDC_PAIRING)) button->SetTitle(Text(kTextPairing));
    if (auto* button = GetControlAs<MControlFont>(IDC_FACTORY_RESET)) button->SetTitle(Text(kTextFactoryReset));
    // The version labels carry their language text in front of the version.
    SetMouseVersionLabel(Text(kTextMouseVersion) + L": " + m_host.GetState().GetMouseVersion());
    const std::wstring receiver = m_host.GetState().GetReceiverVersion();
    SetReceiverVersionLabel(receiver.empty() ? Text(kTextReceiverVersion)
                                             : Text(kTextReceiverVersion) + L": " + receiver);
}

void DevicePage::SetMouseVersionLabel(const std::wstring& text) {
    if (auto* label = GetControlAs<MControlFont>(IDC_MOUSE_VERSION)) label->SetTitle(text);
}

void DevicePage::SetReceiverVersionLabel(const std::wstring& text) {
    if (auto* label = GetControlAs<MControlFont>(IDC_RECEIVER_VERSION)) label->SetTitle(text);
}

void DevicePage::ShowUpgradeNotice() {
    m_host.ShowMessage(kTextUpgradeTitle, kTextUpgradeNotice, CUIMessageBox::kKindOk);
}

void DevicePage::FactoryReset() {
    DeviceMainDef& state = m_host.GetState();
    if (!state.IsConnected()) {
        m_host.ShowMessage(kTextNotice, kTextNotConnected, CUIMessageBox::kKindOk);
        return;
    }
    if (m_host.ShowMessage(kTextFactoryReset, kTextFactoryResetQuestion, CUIMessageBox::kKindOkCancel) != 1) return;
    DataStore& store = m_host.GetStore();
    const int32_t profile = state.GetCurrentProfile();
    store.RunInTransaction([&] {
        store.DeleteProfileKeys(profile);
        store.ResetConfigToDefaults(profile);
        return true;
    });
    m_host.QueueTask(kTaskFactoryReset);
    m_host.ShowWaitDialog();
}
