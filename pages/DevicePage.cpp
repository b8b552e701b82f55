#include "pages/DevicePage.h"

#include "device/DeviceMainDef.h"
#include "pages/DevicePageText.h"
#include "pages/MainPageHost.h"
#include "dialogs/CUIMessageBox.h"
#include "features/PerformanceOptions.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/platform/Fonts.h"
#include "base/ParseInt.h"
#include "storage/DataStore.h"

using namespace Orvix;
using namespace DevicePageText;

namespace {

const wchar_t kWakeGroup[] = L"IDC_SYS_AREA_MOVEWAKEUP";

}  // namespace

void DevicePage::Create() {
    AddArea(IDC_AREA, kCaptionText);
    AddLabel(IDC_MOUSE_VERSION, CRect(),
             Text(kTextMouseVersion) + L": " + m_host.GetState().GetMouseVersion(), 16);
    AddButton(IDC_MOUSE_UPGRADE, CRect(), Text(kTextUpgradeTitle));
    AddLabel(IDC_RECEIVER_VERSION, CRect(), Text(kTextReceiverVersion), 16);
    AddButton(IDC_RECEIVER_UPGRADE, CRect(), Text(kTextUpgradeTitle));
    AddLabel(IDC_SLEEP_TEXT, CRect(), Text(kTextDeepSleep), 16);
    if (auto* sleep = AddControlAs<MComboBox>(L"MComboBox", IDC_SLEEP, CRect())) {
        sleep->SetBackImage(L"img_combobox.png");
        sleep->SetFont(kEmbeddedFontFamily, 14, 0);
        sleep->SetTextColor(kPageTextColor);
        FillSleepChoices();
        sleep->SetCurSel(kDeepSleepInitialChoice);
    }
    AddLabel(IDC_WAKE_TEXT, CRect(), Text(kTextWake), 16);
    for (UINT id : {IDC_WAKE_ON, IDC_WAKE_OFF}) {
        auto* radio = AddControlAs<CRadioButton>(
            L"CRadioButton", id, CRect(), Text(id == IDC_WAKE_ON ? kTextWakeOn : kTextWakeOff).c_str());
        if (!radio) continue;
        radio->SetImage(L"btn_radiobox.png", 8);
        radio->SetFont(kEmbeddedFontFamily, 14, 0);
        radio->SetTextColor(Color(0xFFC9D3DC));
        radio->SetGroupName(kWakeGroup);
        if (id == IDC_WAKE_ON) radio->SetCheck(TRUE);
    }
    AddButton(IDC_PAIRING, CRect(), Text(kTextPairing));
    AddButton(IDC_FACTORY_RESET, CRect(), Text(kTextFactoryReset));
    CreateRules();
    SetLabels({{IDC_RULES_LIST, IDC_RULES_AREA + 2},
               {IDC_SLEEP, IDC_SLEEP_TEXT},
               {IDC_RULES_SWITCH, IDC_RULES_SWITCH_TEXT},
               {IDC_RULES_PROFILE, IDC_RULES_PROFILE_TEXT},
               {IDC_RULES_DEFAULT, IDC_RULES_DEFAULT_TEXT}});
    UpdatePairingButton();
}

void DevicePage::UpdatePairingButton() {
    // Pairing is the receiver's: without one, the button says what to plug in.
    const bool receiver = m_host.HasReceiver();
    if (auto* button = GetControlAs<MControlFont>(IDC_PAIRING)) {
        button->SetTitle(Text(receiver ? kTextPairing : kTextPlugReceiver));
        button->SetEnabled(receiver ? TRUE : FALSE);
    }
}

void DevicePage::FillSleepChoices() {
    auto* sleep = GetControlAs<MComboBox>(IDC_SLEEP);
    if (!sleep) return;
    const int selected = sleep->GetCurSel();
    sleep->DelAllItems();
    const std::wstring minutes = Text(kTextMinutes), hours = Text(kTextHours);
    for (const DeepSleepChoice& choice : kDeepSleepChoices)
        sleep->AddItem(DeepSleepText(choice, minutes, hours).c_str(), LPARAM(choice.seconds));
    sleep->SetCurSel(selected);
}

void DevicePage::Layout(double scale) {
    const CRect page = m_container.GetRect();
    // The device's own settings at the left, the profiles by application beside them.
    PlaceArea(IDC_AREA, CRect(page.left + 20, page.top + 15, page.left + 700, page.bottom - 15));
    LayoutRules(scale);
    const int left = page.left + 50;
    auto row = [&](int index) { return page.top + 15 + int((70 + 60 * index) * scale); };
    const int rowHeight = int(36 * scale);
    const int buttonWidth = 220;
    Place(IDC_MOUSE_VERSION, CRect(left, row(0), left + 400, row(0) + rowHeight));
    Place(IDC_MOUSE_UPGRADE, CRect(left + 420, row(0), left + 420 + buttonWidth, row(0) + rowHeight));
    Place(IDC_RECEIVER_VERSION, CRect(left, row(1), left + 400, row(1) + rowHeight));
    Place(IDC_RECEIVER_UPGRADE, CRect(left + 420, row(1), left + 420 + buttonWidth, row(1) + rowHeight));
    Place(IDC_SLEEP_TEXT, CRect(left, row(2), left + 260, row(2) + rowHeight));
    Place(IDC_SLEEP, CRect(left + 270, row(2) + 2, left + 270 + int(140 * scale), row(2) + rowHeight - 2));
    Place(IDC_WAKE_TEXT, CRect(left, row(3), left + 260, row(3) + rowHeight));
    Place(IDC_WAKE_ON, CRect(left + 270, row(3), left + 270 + int(110 * scale), row(3) + rowHeight));
    Place(IDC_WAKE_OFF, CRect(left + 400, row(3), left + 400 + int(110 * scale), row(3) + rowHeight));
    Place(IDC_PAIRING, CRect(left, row(5), left + 300, row(5) + rowHeight));
    Place(IDC_FACTORY_RESET, CRect(left, row(6), left + 300, row(6) + rowHeight));
}

LRESULT DevicePage::OnMessage(UINT id, UINT code, WPARAM, LPARAM) {
    if (OnRulesMessage(id, code)) return 1;
    if (code != Notify::Clicked) return 0;
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
        case IDC_SLEEP:
            OnSleepChosen();
            return 1;
        case IDC_WAKE_ON:
        case IDC_WAKE_OFF:
            OnWakeClicked();
            return 1;
        default:
            return 0;
    }
}

void DevicePage::OnLanguageChanged() {
    if (auto* caption = GetControlAs<MControlFont>(IDC_AREA + 2)) caption->SetTitle(Text(kCaptionText));
    for (UINT id : {IDC_MOUSE_UPGRADE, IDC_RECEIVER_UPGRADE})
        if (auto* button = GetControlAs<MControlFont>(id)) button->SetTitle(Text(kTextUpgradeTitle));
    UpdatePairingButton();
    if (auto* button = GetControlAs<MControlFont>(IDC_FACTORY_RESET))
        button->SetTitle(Text(kTextFactoryReset));
    if (auto* label = GetControlAs<MControlFont>(IDC_SLEEP_TEXT)) label->SetTitle(Text(kTextDeepSleep));
    if (auto* label = GetControlAs<MControlFont>(IDC_WAKE_TEXT)) label->SetTitle(Text(kTextWake));
    if (auto* radio = GetControlAs<MControlFont>(IDC_WAKE_ON)) radio->SetTitle(Text(kTextWakeOn));
    if (auto* radio = GetControlAs<MControlFont>(IDC_WAKE_OFF)) radio->SetTitle(Text(kTextWakeOff));
    FillSleepChoices();
    RulesTexts();
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

void DevicePage::Reload() {
    UpdatePairingButton();
    const int32_t profile = m_host.GetState().GetCurrentProfile();
    DataStore& store = m_host.GetStore();
    std::wstring value;
    if (auto* sleep = GetControlAs<MComboBox>(IDC_SLEEP);
        sleep && store.GetConfigValue(profile, L"deep_sleep", value)) {
        // A time that is none of the choices leaves the box without a selection.
        if (!sleep->SelectData(LPARAM(ParseInt(value)))) sleep->SetCurSel(-1);
    }
    if (store.GetConfigValue(profile, L"move_wakeup", value))
        if (auto* radio = GetControlAs<CRadioButton>(ParseInt(value) == 1 ? IDC_WAKE_ON : IDC_WAKE_OFF))
            radio->SetCheck(TRUE);
}

void DevicePage::OnShow(bool shown) {
    if (shown) {
        Reload();
        ReloadRules();
    }
}

void DevicePage::OnPageEvent(PageEvent event) {
    if (event == PageEvent::ProfileChanged) {
        Reload();
        ReloadRules();
    }
    if (event == PageEvent::DeviceChanged) {
        StopCountdown();
        UpdatePairingButton();
    }
}

void DevicePage::OnSleepChosen() {
    auto* sleep = GetControlAs<MComboBox>(IDC_SLEEP);
    if (!sleep || sleep->GetCurSel() < 0) return;
    m_host.GetStore().SetConfigValue(m_host.GetState().GetCurrentProfile(), L"deep_sleep",
                                     std::to_wstring(int(sleep->GetCurData())));
    m_host.QueueTask(kTaskWriteSleep);
}

void DevicePage::OnWakeClicked() {
    auto* on = GetControlAs<CRadioButton>(IDC_WAKE_ON);
    m_host.GetStore().SetConfigValue(m_host.GetState().GetCurrentProfile(), L"move_wakeup",
                                     on && on->GetCheck() ? L"1" : L"0");
    m_host.QueueTask(kTaskWriteMoveWakeup);
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
    if (m_host.ShowMessage(kTextFactoryReset, kTextFactoryResetQuestion, CUIMessageBox::kKindOkCancel) != 1)
        return;
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
