#include "pages/DpiPage.h"

#include <algorithm>
#include <cmath>

#include "device/DeviceMainDef.h"
#include "pages/MainPageHost.h"
#include "pages/PagePlacement.h"
#include "dialogs/CUIMessageBox.h"
#include "features/DpiLevels.h"
#include "features/PerformanceOptions.h"
#include "orvix/controls/CCheckButton.h"
#include "orvix/controls/CHelpButton.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/CSwitchButton.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/NumberEdit.h"
#include "orvix/core/MPicture.h"
#include "orvix/platform/Fonts.h"
#include "orvix/widgets/DPIControl.h"
#include "orvix/widgets/DPISlider.h"
#include "orvix/widgets/ReporteCtrl.h"
#include "base/ParseInt.h"
#include "storage/DataStore.h"

using namespace Orvix;

namespace {

// Notification codes of the controls.

constexpr int kTextApply = 41;
constexpr int kTextPerformance = 73;
constexpr int kTextDpiCaption = 250;
constexpr int kTextDpiSubtitle = 251;
constexpr int kTextDpiHelp = 252;
constexpr int kTextDpiReset = 253;
constexpr int kTextRateHelp = 256;
constexpr int kTextRateReset = 257;
constexpr int kTextDpiResetQuestion = 258;
constexpr int kTextRateResetQuestion = 259;
constexpr int kTextLevelCount = 260;
constexpr int kTextLiftoffHelp = 502;
constexpr int kTextSensor = 503;
constexpr int kTextSensorOptions[] = {515, 516, 517};
constexpr int kTextScroll = 520;
constexpr int kTextScrollFirst = 521;
constexpr int kTextScrollSecond = 522;
constexpr int kTextRespondTime = 525;
constexpr int kTextHighspeed = 526;
constexpr int kTextHighspeedNote = 527;
constexpr int kTextMouseSettings = 531;
constexpr int kTextReportRate = 990;
constexpr int kTextLiftoff = 991;
constexpr int kTextNoMouseSettings = 995;


// Radio groups of the page.
const wchar_t kLiftoffGroup[] = L"IDC_PER_STC_LOD";
const wchar_t kScrollGroup[] = L"IDC_SYS_STC_SROLL";

}  // namespace

DPIControl* DpiPage::GetLevels() const {
    return GetControlAs<DPIControl>(IDC_DPI_LEVELS);
}

DPISlider* DpiPage::GetSlider() const {
    return GetControlAs<DPISlider>(IDC_DPI_SLIDER);
}

ReporteCtrl* DpiPage::GetReportRate() const {
    return GetControlAs<ReporteCtrl>(IDC_RATE);
}

// ---------------------------------------------------------------- building

void DpiPage::Create() {
    // DPI area.
    AddArea(IDC_AREA, kTextDpiCaption);
    if (auto* subtitle = AddLabel(IDC_SUBTITLE, CRect(), Text(kTextDpiSubtitle), 13))
        subtitle->SetTextColor(kPageDimTextColor);
    AddHelpButton(IDC_DPI_HELP, Text(kTextDpiHelp));
    AddResetButton(IDC_DPI_RESET, Text(kTextDpiReset));
    if (auto* levels = AddControlAs<DPIControl>(L"DPIControl", IDC_DPI_LEVELS, CRect())) {
        levels->SetFont(kEmbeddedFontFamily, 16, 1);
        levels->SetValueRange(SliderToDpi(kDpiSliderMin), SliderToDpi(kDpiSliderMax), kDpiSliderStep);
    }
    if (auto* slider = AddControlAs<DPISlider>(L"DPISlider", IDC_DPI_SLIDER, CRect())) {
        slider->SetBkgImage(L"img_area2.png");
        slider->SetImage(L"img_dpi_bar.png", 1);
        slider->SetFont(kEmbeddedFontFamily, 13, 0);
        slider->SetTextColor(Color(0xFFB8C4CE));
        slider->SetMinProgress(kDpiSliderMin);
        slider->SetMaxProgress(kDpiSliderMax);
        // A screen reader hears the slider in DPI.
        slider->SetScale(kDpiSliderStep);
    }
    AddButton(IDC_DPI_APPLY, CRect(), Text(kTextApply));
    AddLabel(IDC_DPI_COUNT_TEXT, CRect(), Text(kTextLevelCount));
    if (auto* count = AddControlAs<MComboBox>(L"MComboBox", IDC_DPI_COUNT, CRect())) {
        count->SetBackImage(L"img_combobox.png");
        count->SetFont(kEmbeddedFontFamily, 14, 0);
        count->SetTextColor(kPageTextColor);
        for (int i = 1; i <= kDpiLevelMax; ++i) count->AddItem(std::to_wstring(i).c_str(), LPARAM(i));
    }

    // Performance area with the report rate in its own panel.
    AddArea(IDC_PERF_AREA, kTextPerformance);
    if (auto* panel = AddControlAs<MPicture>(L"MPicture", IDC_RATE_PANEL, CRect())) {
        panel->SetImage(L"img_area_content.png", 1);
        panel->SetShowMode(SHOW_MODE_NINE, 8);
    }
    AddLabel(IDC_RATE_CAPTION, CRect(), Text(kTextReportRate), 15);
    AddHelpButton(IDC_RATE_HELP, Text(kTextRateHelp));
    AddResetButton(IDC_RATE_RESET, Text(kTextRateReset));
    if (auto* rate = AddControlAs<ReporteCtrl>(L"ReporteCtrl", IDC_RATE, CRect())) {
        rate->SetFont(kEmbeddedFontFamily, 15, 1);
        rate->SetTextColor(kPageTextColor);
        for (const ReportRateItem& item : kReportRateItems) rate->AddItem(item.text, item.value, item.colour);
    }

    auto radio = [this](UINT id, const std::wstring& text, const wchar_t* group, bool checked) {
        auto* button = AddControlAs<CRadioButton>(L"CRadioButton", id, CRect(), text.c_str());
        if (!button) return;
        button->SetImage(L"btn_radiobox.png", 8);
        button->SetFont(kEmbeddedFontFamily, 14, 0);
        button->SetTextColor(Color(0xFFC9D3DC));
        button->SetGroupName(group);
        if (checked) button->SetCheck(TRUE);
    };
    AddLabel(IDC_LIFTOFF_TEXT, CRect(), Text(kTextLiftoff));
    AddHelpButton(IDC_LIFTOFF_HELP, Text(kTextLiftoffHelp));
    radio(IDC_LIFTOFF_1MM, L"1.0mm", kLiftoffGroup, true);
    radio(IDC_LIFTOFF_2MM, L"2.0mm", kLiftoffGroup, false);

    AddLabel(IDC_SENSOR_TEXT, CRect(), Text(kTextSensor));
    for (UINT id = IDC_SENSOR_FIRST; id <= IDC_SENSOR_LAST; ++id) {
        auto* box = AddControlAs<CCheckButton>(L"CCheckButton", id, CRect(),
                                               Text(kTextSensorOptions[id - IDC_SENSOR_FIRST]).c_str());
        if (!box) continue;
        box->SetImage(L"btn_checkbox.png", 8);
        box->SetFont(kEmbeddedFontFamily, 14, 0);
        box->SetTextColor(Color(0xFFC9D3DC));
        if (id == IDC_SENSOR_LAST) box->SetCheck(TRUE);
    }

    AddLabel(IDC_SCROLL_TEXT, CRect(), Text(kTextScroll));
    radio(IDC_SCROLL_FIRST, Text(kTextScrollFirst), kScrollGroup, true);
    radio(IDC_SCROLL_SECOND, Text(kTextScrollSecond), kScrollGroup, false);

    AddLabel(IDC_HIGHSPEED_TEXT, CRect(), Text(kTextHighspeed));
    if (auto* sw = AddControlAs<CSwitchButton>(L"CSwitchButton", IDC_HIGHSPEED, CRect())) {
        sw->SetImage(L"img_switch_btn_on.png", L"img_switch_btn_off.png", 4);
        sw->SetCheck(TRUE);
    }
    if (auto* note = AddLabel(IDC_HIGHSPEED_NOTE, CRect(), Text(kTextHighspeedNote), 13))
        note->SetTextColor(kPageDimTextColor);

    AddLabel(IDC_RESPOND_TEXT, CRect(), Text(kTextRespondTime));
    if (auto* edit = AddControlAs<NumberEdit>(L"NumberEdit", IDC_RESPOND, CRect(), L"1")) {
        edit->SetImage(L"img_edit.png", 4);
        edit->SetFont(kEmbeddedFontFamily, 14, 0);
        edit->SetTextColor(kPageTextColor);
    }
    AddButton(IDC_MOUSE_SETTINGS, CRect(), Text(kTextMouseSettings));
    UpdateMouseSettingsButton();
    // The other controls keep their first looks until the mouse has been read.
    ReloadDpi();
    SetLabels({{IDC_DPI_LEVELS, IDC_AREA + 2},
               {IDC_DPI_SLIDER, IDC_AREA + 2},
               {IDC_DPI_COUNT, IDC_DPI_COUNT_TEXT},
               {IDC_RATE, IDC_RATE_CAPTION},
               {IDC_HIGHSPEED, IDC_HIGHSPEED_TEXT},
               {IDC_RESPOND, IDC_RESPOND_TEXT}});
}

void DpiPage::Layout(double scale) {
    const CRect page = m_container.GetRect();
    const int right = page.right - 20;
    const PagePlacement at(page, scale);
    // Cards, slider track and report-rate cards keep their drawn widths; the rest scales.

    // DPI area: 10 .. 300.
    PlaceArea(IDC_AREA, CRect(page.left + 20, at.Y(10), right, at.Y(300)));
    Place(IDC_SUBTITLE, at.Box(40, 55, 900, 22));
    Place(IDC_DPI_HELP, CRect(right - 80, at.Y(10) + 11, right - 62, at.Y(10) + 29));
    Place(IDC_DPI_RESET, CRect(right - 50, at.Y(10) + 8, right - 26, at.Y(10) + 32));
    Place(IDC_DPI_LEVELS, CRect(at.X(50), at.Y(85), at.X(50) + 900, at.Y(165)));
    if (DPISlider* slider = GetSlider()) {
        slider->SetScaleValue(float(scale));
        Place(IDC_DPI_SLIDER, CRect(at.X(40), at.Y(172), at.X(40) + at.Len(920), at.Y(242)));
    }
    Place(IDC_DPI_COUNT_TEXT, at.Box(50, 252, 200, 34));
    Place(IDC_DPI_COUNT, at.Box(250, 253, 100, 32));
    Place(IDC_DPI_APPLY, at.Box(820, 251, 130, 36));

    // Performance area: 310 .. bottom.
    PlaceArea(IDC_PERF_AREA,
              CRect(page.left + 20, at.Y(310), right, page.bottom - at.Len(10)));
    Place(IDC_RATE_PANEL, CRect(at.X(40), at.Y(360), right - 20, at.Y(440)));
    Place(IDC_RATE_CAPTION, at.Box(60, 370, 170, 60));
    if (ReporteCtrl* rate = GetReportRate()) rate->SetScaleValue(float(scale));
    Place(IDC_RATE, CRect(at.X(240), at.Y(372), at.X(240) + 500, at.Y(428)));
    Place(IDC_RATE_HELP, at.Box(760, 391, 18, 18));
    Place(IDC_RATE_RESET, at.Box(790, 388, 24, 24));

    const int rows[] = {455, 500, 545, 590};
    Place(IDC_LIFTOFF_TEXT, at.Box(60, rows[0], 180, 36));
    Place(IDC_LIFTOFF_HELP, at.Box(240, rows[0] + 9, 18, 18));
    Place(IDC_LIFTOFF_1MM, at.Box(280, rows[0], 120, 36));
    Place(IDC_LIFTOFF_2MM, at.Box(420, rows[0], 120, 36));
    Place(IDC_SENSOR_TEXT, at.Box(60, rows[1], 180, 36));
    for (UINT id = IDC_SENSOR_FIRST; id <= IDC_SENSOR_LAST; ++id)
        Place(id, at.Box(280 + 155 * int(id - IDC_SENSOR_FIRST), rows[1], 150, 36));
    Place(IDC_SCROLL_TEXT, at.Box(60, rows[2], 180, 36));
    Place(IDC_SCROLL_FIRST, at.Box(280, rows[2], 130, 36));
    Place(IDC_SCROLL_SECOND, at.Box(420, rows[2], 130, 36));
    Place(IDC_RESPOND_TEXT, at.Box(60, rows[3], 210, 36));
    Place(IDC_RESPOND, at.Box(280, rows[3] + 2, 100, 32));

    Place(IDC_HIGHSPEED_TEXT, at.Box(760, rows[0], 150, 36));
    Place(IDC_HIGHSPEED, at.Box(915, rows[0] + 7, 50, 22));
    Place(IDC_HIGHSPEED_NOTE, at.Box(760, rows[0] + 30, 260, 24));
    Place(IDC_MOUSE_SETTINGS, at.Box(760, rows[3], 230, 36));
}

void DpiPage::OnLanguageChanged() {
    if (auto* caption = GetControlAs<MControlFont>(IDC_AREA + 2)) caption->SetTitle(Text(kTextDpiCaption));
    if (auto* caption = GetControlAs<MControlFont>(IDC_PERF_AREA + 2))
        caption->SetTitle(Text(kTextPerformance));
    SetTitle(IDC_SUBTITLE, Text(kTextDpiSubtitle));
    SetTitle(IDC_DPI_HELP, Text(kTextDpiHelp));
    SetTitle(IDC_DPI_APPLY, Text(kTextApply));
    SetTitle(IDC_DPI_COUNT_TEXT, Text(kTextLevelCount));
    SetTitle(IDC_RATE_CAPTION, Text(kTextReportRate));
    SetTitle(IDC_RATE_HELP, Text(kTextRateHelp));
    SetTitle(IDC_LIFTOFF_TEXT, Text(kTextLiftoff));
    SetTitle(IDC_LIFTOFF_HELP, Text(kTextLiftoffHelp));
    SetTitle(IDC_SENSOR_TEXT, Text(kTextSensor));
    for (UINT id = IDC_SENSOR_FIRST; id <= IDC_SENSOR_LAST; ++id)
        SetTitle(id, Text(kTextSensorOptions[id - IDC_SENSOR_FIRST]));
    SetTitle(IDC_SCROLL_TEXT, Text(kTextScroll));
    SetTitle(IDC_SCROLL_FIRST, Text(kTextScrollFirst));
    SetTitle(IDC_SCROLL_SECOND, Text(kTextScrollSecond));
    SetTitle(IDC_HIGHSPEED_TEXT, Text(kTextHighspeed));
    SetTitle(IDC_HIGHSPEED_NOTE, Text(kTextHighspeedNote));
    SetTitle(IDC_RESPOND_TEXT, Text(kTextRespondTime));
    SetTitle(IDC_MOUSE_SETTINGS, Text(kTextMouseSettings));
    if (MControl* reset = GetControl(IDC_DPI_RESET)) reset->SetTooltip(Text(kTextDpiReset).c_str());
    if (MControl* reset = GetControl(IDC_RATE_RESET)) reset->SetTooltip(Text(kTextRateReset).c_str());
    UpdateMouseSettingsButton();
}

void DpiPage::OnShow(bool shown) {
    // A desktop tool may have been installed or removed meanwhile.
    if (shown) UpdateMouseSettingsButton();
}

void DpiPage::OnPageEvent(PageEvent event) {
    if (event == PageEvent::ProfileChanged) Reload();
    // Another model may go further: the slider's scale follows it.
    if (event == PageEvent::ModelChanged) ReloadDpi();
}

// ---------------------------------------------------------------- notifications

LRESULT DpiPage::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM) {
    // The level cards, the slider and the response time speak with several codes;
    // the other controls only with their click.
    switch (id) {
        case IDC_DPI_LEVELS:
            if (code == Notify::Clicked || code == Notify::PartClicked)
                OnLevelClicked();
            else if (code == Notify::EditOpened)
                OnLevelFocused();
            else if (code == Notify::EditEnded)
                OnLevelTyped();
            return 1;
        case IDC_DPI_SLIDER:
            if (code == Notify::Moved)
                OnSliderMoved(int(wParam));
            else if (code == Notify::Clicked)
                m_host.QueueTask(kTaskWriteDpiStage);
            return 1;
        case IDC_RESPOND:
            if (code == Notify::EditEnded)
                OnRespondTimeClosed();
            else if (code == Notify::Clicked)
                OnRespondTimeConfirmed();
            return 1;
        default:
            break;
    }
    if (code != Notify::Clicked) return 0;
    switch (id) {
        case IDC_DPI_RESET:
            ResetDpi();
            return 1;
        case IDC_DPI_APPLY:
            m_host.QueueTask(kTaskWriteDpiStage);
            return 1;
        case IDC_DPI_COUNT:
            OnCountChosen();
            return 1;
        case IDC_RATE_RESET:
            ResetReportRate();
            return 1;
        case IDC_RATE:
            OnReportRateChosen(int(wParam));
            return 1;
        case IDC_LIFTOFF_1MM:
        case IDC_LIFTOFF_2MM:
            Store(L"liftoff_height", IsChecked(IDC_LIFTOFF_1MM) ? 0 : 1);
            m_host.QueueTask(kTaskWriteLiftoff);
            return 1;
        case IDC_SCROLL_FIRST:
        case IDC_SCROLL_SECOND:
            Store(L"scroll_flag", IsChecked(IDC_SCROLL_FIRST) ? 0 : 1);
            m_host.QueueTask(kTaskWriteScroll);
            return 1;
        case IDC_HIGHSPEED:
            Store(L"highspeed_mode", IsChecked(IDC_HIGHSPEED) ? 1 : 0);
            m_host.QueueTask(kTaskWriteHighspeed);
            return 1;
        case IDC_MOUSE_SETTINGS:
            OpenMouseSettings();
            return 1;
        default:
            if (id >= IDC_SENSOR_FIRST && id <= IDC_SENSOR_LAST) {
                OnSensorClicked();
                return 1;
            }
            return 0;
    }
}

// ---------------------------------------------------------------- DPI area

void DpiPage::Reload() {
    ReloadDpi();
    ReloadPerformance();
}

void DpiPage::ReloadDpi() {
    DPIControl* levels = GetLevels();
    if (!levels) return;
    const int count = ShownLevelCount(ReadInt(L"dpi_count", kDpiLevelMax));
    FillLevels(count);
    const int active = ShownActiveLevel(ReadInt(L"dpi_index"), count);
    levels->SetSelectItem(active);
    if (DPISlider* slider = GetSlider())
        slider->SetMaxProgress(DpiSliderMaxFor(m_host.GetState().GetCurrentDeviceType()));
    ShowLevelOnSlider(active);
    if (auto* combo = GetControlAs<MComboBox>(IDC_DPI_COUNT)) combo->SelectData(LPARAM(count));
}

void DpiPage::FillLevels(int count) {
    DPIControl* levels = GetLevels();
    if (!levels) return;
    levels->ClearList();
    for (int i = 0; i < count; ++i)
        levels->AddItem(ReadInt(DpiValueKey(i), kDpiResetLevels[i].dpi),
                        ReadInt(DpiColourKey(i), kDpiResetLevels[i].colour));
}

void DpiPage::ShowLevelOnSlider(int level) {
    if (DPISlider* slider = GetSlider(); slider && GetLevels())
        slider->SetProgress(DpiToSlider(GetLevels()->GetDPIValue(level)));
}

void DpiPage::StoreActiveLevel(int index) {
    Store(L"dpi_index", index);
    // The worker drops a DPI-button report that names the level it believes active;
    // after a level chosen here that belief must be this level, or the mouse's next
    // step back onto the old one would go unseen.
    m_host.GetState().SetActiveDpiIndex(index);
}

void DpiPage::OnLevelClicked() {
    // A click on the value or on the colour band: the slider follows either way.
    const int level = GetLevels()->GetSelectItem();
    StoreActiveLevel(level);
    ShowLevelOnSlider(level);
    m_levelUnsent = false;
    m_host.QueueTask(kTaskWriteDpiStage);
}

void DpiPage::OnLevelFocused() {
    // The edit opens with the press of a click whose release sends the level
    // (code 2), or without a click, when closing it sends: either way once.
    StoreActiveLevel(GetLevels()->GetSelectItem());
    m_levelUnsent = true;
}

void DpiPage::OnLevelTyped() {
    DPIControl* levels = GetLevels();
    const int level = levels->GetSelectItem();
    if (level < 0 || level >= levels->GetItemCount()) return;
    const int dpi =
        CorrectTypedDpi(ParseInt(levels->GetEditText()), m_host.GetState().GetCurrentDeviceType());
    const bool changed = dpi != ReadInt(DpiValueKey(level));
    // Set while the edit closes: the corrected number is what the card keeps.
    levels->SetDPIValue(level, dpi);
    Store(DpiValueKey(level), dpi);
    ShowLevelOnSlider(level);
    // An edit left as it was (a click on another card closes it) has nothing to send.
    if (changed || m_levelUnsent) m_host.QueueTask(kTaskWriteDpiStage);
    m_levelUnsent = false;
}

void DpiPage::OnSliderMoved(int position) {
    DPIControl* levels = GetLevels();
    const int level = levels->GetSelectItem();
    if (level < 0 || level >= levels->GetItemCount()) return;
    const int dpi = SliderToDpi(position);
    levels->SetDPIValue(level, dpi);
    Store(DpiValueKey(level), dpi);
}

void DpiPage::OnCountChosen() {
    auto* combo = GetControlAs<MComboBox>(IDC_DPI_COUNT);
    const int count = ShownLevelCount(int(combo->GetCurData()));
    Store(L"dpi_count", count);
    // The level on screen is the active one (a damaged stored index shows level 0).
    const int active = ActiveLevelAfterCount(GetLevels()->GetSelectItem(), count);
    FillLevels(count);
    const int stored = ReadInt(L"dpi_index");
    if (active != stored) StoreActiveLevel(active);
    GetLevels()->SetSelectItem(active);
    ShowLevelOnSlider(active);
    m_host.QueueTask(kTaskWriteDpiStage);
}

void DpiPage::ResetDpi() {
    if (m_host.ShowMessage(kTextDpiReset, kTextDpiResetQuestion, CUIMessageBox::kKindOkCancel) != 1) return;
    DataStore& store = m_host.GetStore();
    const int32_t profile = m_host.GetState().GetCurrentProfile();
    store.RunInTransaction([&] {
        bool ok = true;
        for (int i = 0; i < kDpiLevelMax; ++i) {
            ok = store.SetConfigValue(profile, DpiValueKey(i), std::to_wstring(kDpiResetLevels[i].dpi)) && ok;
            ok = store.SetConfigValue(profile, DpiColourKey(i), std::to_wstring(kDpiResetLevels[i].colour)) &&
                 ok;
        }
        ok = store.SetConfigValue(profile, L"dpi_count", std::to_wstring(kDpiResetCount)) && ok;
        return store.SetConfigValue(profile, L"dpi_index", std::to_wstring(kDpiResetIndex)) && ok;
    });
    ReloadDpi();
    m_host.QueueTask(kTaskResetDpiPage);
    m_host.QueueTask(kTaskWriteDpiStage);
}

void DpiPage::OnDpiStageChanged(int index) {
    DPIControl* levels = GetLevels();
    if (!levels || index < 0 || index >= levels->GetItemCount()) return;
    // The worker has stored the level with the report; the screen only follows it,
    // without waiting for the store the worker is writing.
    levels->SetSelectItem(index);
    ShowLevelOnSlider(index);
}

// ---------------------------------------------------------------- performance area

void DpiPage::ReloadPerformance() {
    if (auto* edit = GetControlAs<NumberEdit>(IDC_RESPOND))
        edit->SetEditText(std::to_wstring(ReadInt(L"button_respondtime", kRespondTimeMin)).c_str());
    if (ReporteCtrl* rate = GetReportRate()) {
        rate->DeleteAllItems();
        for (const ReportRateItem& item : kReportRateItems) rate->AddItem(item.text, item.value, item.colour);
        rate->SetSelectItemValue(ReadInt(L"report_rate"));
    }
    // On the cable the mouse always runs at high speed: the switch shows it and stays put.
    if (auto* sw = GetControlAs<CSwitchButton>(IDC_HIGHSPEED)) {
        const bool cable = m_host.IsOnCable();
        sw->SetCheck(cable || ReadInt(L"highspeed_mode") == 1 ? TRUE : FALSE);
        sw->SetEnabled(cable ? FALSE : TRUE);
    }
    const int sensor = ReadInt(L"sensor_flag");
    for (UINT id = IDC_SENSOR_FIRST; id <= IDC_SENSOR_LAST; ++id)
        SetChecked(id, SensorBitSet(sensor, int(id - IDC_SENSOR_FIRST)));
    const bool firstLiftoff = ReadInt(L"liftoff_height") == 0;
    SetChecked(firstLiftoff ? IDC_LIFTOFF_1MM : IDC_LIFTOFF_2MM, true);
    const bool firstScroll = ReadInt(L"scroll_flag") == 0;
    SetChecked(firstScroll ? IDC_SCROLL_FIRST : IDC_SCROLL_SECOND, true);
}

void DpiPage::ResetReportRate() {
    if (m_host.ShowMessage(kTextRateReset, kTextRateResetQuestion, CUIMessageBox::kKindOkCancel) != 1) return;
    Store(L"report_rate", kReportRateReset);
    if (ReporteCtrl* rate = GetReportRate()) rate->SetSelectItemValue(kReportRateReset);
    m_host.QueueTask(kTaskWriteReportRate);
}

void DpiPage::OnReportRateChosen(int item) {
    ReporteCtrl* rate = GetReportRate();
    if (!rate || item < 0 || item >= rate->GetItemCount()) return;
    Store(L"report_rate", rate->GetItemKeyValue(item));
    m_host.QueueTask(kTaskWriteReportRate);
}

void DpiPage::OnSensorClicked() {
    Store(L"sensor_flag", SensorFlagFromBoxes(IsChecked(IDC_SENSOR_FIRST), IsChecked(IDC_SENSOR_FIRST + 1),
                                              IsChecked(IDC_SENSOR_LAST)));
    m_host.QueueTask(kTaskWriteSensor);
}

void DpiPage::OnRespondTimeClosed() {
    auto* edit = GetControlAs<NumberEdit>(IDC_RESPOND);
    const int value = ClampRespondTime(ParseInt(edit->GetEditText()));
    edit->SetEditText(std::to_wstring(value).c_str());
    const bool changed = value != ReadInt(L"button_respondtime", kRespondTimeMin);
    Store(L"button_respondtime", value);
    // A number typed and left is sent as well: otherwise the mouse would keep the
    // old time while the page shows the new one.
    if (changed) m_host.QueueTask(kTaskWriteRespondTime);
}

void DpiPage::OnRespondTimeConfirmed() {
    auto* edit = GetControlAs<NumberEdit>(IDC_RESPOND);
    Store(L"button_respondtime", ClampRespondTime(ParseInt(edit->GetEditText())));
    m_host.QueueTask(kTaskWriteRespondTime);
}

void DpiPage::UpdateMouseSettingsButton() {
    m_mouseSettings = FindMouseSettingsCommand();
    MControl* button = GetControl(IDC_MOUSE_SETTINGS);
    if (!button) return;
    button->SetEnabled(m_mouseSettings.empty() ? FALSE : TRUE);
    button->SetTooltip(m_mouseSettings.empty() ? Text(kTextNoMouseSettings).c_str() : L"");
}

void DpiPage::OpenMouseSettings() {
    if (m_mouseSettings.empty() || !StartDesktopCommand(m_mouseSettings)) UpdateMouseSettingsButton();
}

// ---------------------------------------------------------------- helpers

int DpiPage::ReadInt(const std::wstring& key, int fallback) const {
    std::wstring value;
    if (!m_host.GetStore().GetConfigValue(m_host.GetState().GetCurrentProfile(), key, value)) return fallback;
    return ParseInt(value);
}

void DpiPage::Store(const std::wstring& key, int value) {
    m_host.GetStore().SetConfigValue(m_host.GetState().GetCurrentProfile(), key, std::to_wstring(value));
}

bool DpiPage::IsChecked(UINT id) const {
    auto* button = GetControlAs<MButtonBase>(id);
    return button && button->GetCheck();
}

void DpiPage::SetChecked(UINT id, bool checked) {
    if (auto* button = GetControlAs<CCheckButton>(id)) button->SetCheck(checked ? TRUE : FALSE);
}

void DpiPage::SetTitle(UINT id, const std::wstring& text) {
    if (auto* control = GetControlAs<MControlFont>(id)) control->SetTitle(text);
}
