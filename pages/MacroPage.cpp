#include "pages/MacroPage.h"

#include "pages/MacroPageText.h"
#include "pages/MainPageHost.h"
#include "pages/PagePlacement.h"
#include "dialogs/ProfileDlg.h"
#include "orvix/controls/CIconButton.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MEdit.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/platform/Fonts.h"
#include "orvix/widgets/CRecordList.h"
#include "orvix/widgets/MacroList.h"
#include "platform/RawInputReader.h"

using namespace Orvix;
using namespace MacroPageText;

namespace {

constexpr int kFixedDelayChars = 5;
constexpr int kInsertKeyChars = 60;
constexpr int kInsertDelayChars = 4;
// The combo box image keeps its arrow in its right 28 pixels: not stretched.
constexpr int kComboArrowInset = 28;

// The buttons of the insert panel's combo box, in list order (item data = button bit).
constexpr int kInsertButtons[] = {1, 2, 4, 16, 8};

const Color kListTextColor(0xFFB8D3EF);
const Color kEventTextColor(0xFFD6E2EE);

}  // namespace

MacroPage::MacroPage(MainPageHost& host, MPanel& container)
    : MainPage(host, container), m_library(*this, host), m_editor(*this, host), m_recording(*this, host) {}

MacroPage::~MacroPage() {
    if (m_reader) m_reader->Release();
}

// ---------------------------------------------------------------- building

void MacroPage::Create() {
    AddArea(IDC_AREA, kTextMacro);

    if (auto* list = AddControlAs<MacroList>(L"MacroList", IDC_MACRO_LIST, CRect())) {
        list->SetImage(L"img_macro_item.png", 2);
        list->SetEditImage(L"btn_more.png", 4);
        list->SetFont(kEmbeddedFontFamily, 14, 0);
        list->SetTextColor(kListTextColor);
        list->EnableShowEdit(TRUE);
    }
    AddButton(IDC_NEW, CRect(), Text(kTextNew));
    AddButton(IDC_IMPORT, CRect(), Text(kTextImport));
    AddButton(IDC_EXPORT, CRect(), Text(kTextExport));
    if (auto* memory = AddLabel(IDC_MEMORY, CRect(), L"", 12)) {
        memory->SetTextColor(MacroLibraryList::kMemoryColor);
        memory->SetAlignment(0, 0);
        if (auto* text = dynamic_cast<MText*>(memory)) text->EnableMultiLine(TRUE);
    }

    if (auto* events = AddControlAs<CRecordList>(L"CRecordList", IDC_EVENT_LIST, CRect())) {
        events->SetImage(L"icon/icon_record.png", 4);
        events->SetItemImage(L"img_record_item.png", 2);
        events->SetFont(kEmbeddedFontFamily, 14, 0);
        events->SetTextColor(kEventTextColor);
    }
    AddButton(IDC_DELETE_EVENT, CRect(), Text(kTextDeleteEvent));
    AddButton(IDC_CLEAR_EVENTS, CRect(), Text(kTextClearEvents));
    if (auto* counter = AddLabel(IDC_COUNTER, CRect(), L"0/0", 14)) counter->SetAlignment(1, 1);
    if (auto* record =
            AddControlAs<CIconButton>(L"CIconButton", IDC_RECORD, CRect(), Text(kTextRecord).c_str())) {
        record->SetImage(L"img_button.png", 4);
        record->SetIconImage(L"icon/icon_rec.png", 4);
        record->SetFont(kEmbeddedFontFamily, 14, 0);
    }

    // Delays while recording.
    for (UINT id : {IDC_DELAY_PANEL, IDC_INSERT_PANEL}) {
        if (auto* panel = AddControlAs<MPicture>(L"MPicture", id, CRect())) {
            panel->SetImage(L"img_area_content.png", 1);
            panel->SetShowMode(SHOW_MODE_NINE, 8);
        }
    }
    AddLabel(IDC_DELAY_CAPTION, CRect(), Text(kTextDelayCaption), 15);
    for (int i = 0; i < 3; ++i) {
        auto* radio = AddControlAs<CRadioButton>(L"CRadioButton", IDC_DELAY_NONE + UINT(i), CRect(),
                                                 Text(kTextFirstDelayMode + i).c_str());
        if (!radio) continue;
        radio->SetImage(L"btn_radiobox.png", 8);
        radio->SetFont(kEmbeddedFontFamily, 13, 0);
        radio->SetGroupName(L"IDC_MACRO_STC_DELAYSET");
    }
    if (auto* radio = GetControlAs<CRadioButton>(IDC_DELAY_RECORDED)) radio->SetCheck(TRUE);
    auto numberEdit = [this](UINT id, const wchar_t* text, int limit) {
        if (auto* edit = AddControlAs<MEdit>(L"MEdit", id, CRect(), text)) {
            edit->SetImage(L"img_edit.png", 4);
            edit->SetFont(kEmbeddedFontFamily, 14, 0);
            edit->SetTextColor(kPageTextColor);
            edit->SetNumberOnly(TRUE);
            edit->SetLimitText(limit);
        }
    };
    numberEdit(IDC_FIXED_DELAY, L"10", kFixedDelayChars);
    if (MControl* edit = GetControl(IDC_FIXED_DELAY)) edit->SetEnabled(FALSE);
    AddLabel(IDC_FIXED_UNIT, CRect(), L"ms", 13);

    // The insert panel.
    AddLabel(IDC_INSERT_CAPTION, CRect(), Text(kTextInsertTitle), 15);
    if (auto* where = AddControlAs<MComboBox>(L"MComboBox", IDC_INSERT_WHERE, CRect())) {
        where->SetBackImage(L"img_combobox.png");
        where->SetShowModeMID(8, 8, kComboArrowInset, 8);
        where->SetFont(kEmbeddedFontFamily, 13, 0);
        where->AddItem(Text(kTextInsertBefore).c_str(), 0);
        where->AddItem(Text(kTextInsertAfter).c_str(), 1);
        where->SetCurSel(0);
    }
    for (int i = 0; i < 4; ++i) {
        auto* radio = AddControlAs<CRadioButton>(L"CRadioButton", IDC_KIND_KEY + UINT(i), CRect(),
                                                 Text(kTextFirstInsertKind + i).c_str());
        if (!radio) continue;
        radio->SetImage(L"btn_radiobox.png", 8);
        radio->SetFont(kEmbeddedFontFamily, 13, 0);
        radio->SetGroupName(L"MACRO_EVENT");
    }
    if (auto* radio = GetControlAs<CRadioButton>(IDC_KIND_KEY)) radio->SetCheck(TRUE);
    if (auto* edit = AddControlAs<MEdit>(L"MEdit", IDC_INSERT_KEY, CRect())) {
        edit->SetImage(L"img_edit.png", 4);
        edit->SetFont(kEmbeddedFontFamily, 14, 0);
        edit->SetTextColor(kPageTextColor);
        edit->SetLimitText(kInsertKeyChars);
        edit->SetTipInfo(Text(kTextInsertKeyHint).c_str());
    }
    if (auto* buttons = AddControlAs<MComboBox>(L"MComboBox", IDC_INSERT_BUTTON, CRect(), nullptr, 0)) {
        buttons->SetBackImage(L"img_combobox.png");
        buttons->SetShowModeMID(8, 8, kComboArrowInset, 8);
        buttons->SetFont(kEmbeddedFontFamily, 13, 0);
        for (int i = 0; i < 5; ++i) buttons->AddItem(Text(kTextFirstButton + i).c_str(), kInsertButtons[i]);
        buttons->SetCurSel(0);
    }
    if (auto* wheel = AddControlAs<MComboBox>(L"MComboBox", IDC_INSERT_WHEEL, CRect(), nullptr, 0)) {
        wheel->SetBackImage(L"img_combobox.png");
        wheel->SetShowModeMID(8, 8, kComboArrowInset, 8);
        wheel->SetFont(kEmbeddedFontFamily, 13, 0);
        wheel->AddItem(WheelEvent(true).desc.c_str(), 1);
        wheel->AddItem(WheelEvent(false).desc.c_str(), 0);
        wheel->SetCurSel(0);
    }
    numberEdit(IDC_INSERT_DELAY, L"10", kInsertDelayChars);
    SetControlVisible(IDC_INSERT_DELAY, false);
    AddLabel(IDC_INSERT_UNIT, CRect(), L"ms", 13);
    SetControlVisible(IDC_INSERT_UNIT, false);
    AddButton(IDC_INSERT, CRect(), Text(kTextInsert));

    m_library.Fill(0);
    SetLabels({{IDC_MACRO_LIST, IDC_AREA + 2},
               {IDC_FIXED_DELAY, IDC_DELAY_FIXED},
               {IDC_INSERT_WHERE, IDC_INSERT_CAPTION},
               {IDC_INSERT_KEY, IDC_KIND_KEY}});
}

void MacroPage::Layout(double scale) {
    m_scale = scale;
    const CRect page = m_container.GetRect();
    const PagePlacement at(page, scale);
    PlaceArea(IDC_AREA, CRect(page.left + 20, page.top + 15, page.right - 20, page.bottom - 15));

    // The library: list, its buttons and the memory it takes on the mouse.
    if (auto* list = GetControlAs<MacroList>(IDC_MACRO_LIST)) list->SetScaleValue(float(scale));
    Place(IDC_MACRO_LIST, at.Edges(40, 75, 300, 420));
    Place(IDC_NEW, at.Edges(40, 432, 124, 468));
    Place(IDC_IMPORT, at.Edges(128, 432, 212, 468));
    Place(IDC_EXPORT, at.Edges(216, 432, 300, 468));
    Place(IDC_MEMORY, at.Edges(40, 482, 300, 640));

    // The events of the selected macro.
    if (auto* events = GetControlAs<CRecordList>(IDC_EVENT_LIST)) events->SetScaleValue(float(scale));
    Place(IDC_EVENT_LIST, at.Edges(320, 75, 720, 575));
    Place(IDC_DELETE_EVENT, at.Edges(320, 590, 410, 626));
    Place(IDC_CLEAR_EVENTS, at.Edges(416, 590, 506, 626));
    Place(IDC_COUNTER, at.Edges(508, 590, 566, 626));
    Place(IDC_RECORD, at.Edges(570, 590, 720, 626));
    if (auto* record = GetControlAs<CIconButton>(IDC_RECORD)) {
        const int w = at.Len(150), h = at.Len(36);
        record->SetTextRect(CRect(34, 0, w - 6, h), CRect(12, (h - 18) / 2, 30, (h - 18) / 2 + 18));
    }

    // Delays while recording.
    Place(IDC_DELAY_PANEL, at.Edges(740, 75, 1010, 285));
    Place(IDC_DELAY_CAPTION, at.Edges(760, 85, 1000, 115));
    for (int i = 0; i < 3; ++i) Place(IDC_DELAY_NONE + UINT(i), at.Edges(760, 122 + 38 * i, 1000, 154 + 38 * i));
    Place(IDC_FIXED_DELAY, at.Edges(790, 238, 880, 272));
    Place(IDC_FIXED_UNIT, at.Edges(888, 238, 940, 272));

    // Inserting single events.
    Place(IDC_INSERT_PANEL, at.Edges(740, 300, 1010, 632));
    Place(IDC_INSERT_CAPTION, at.Edges(760, 310, 1000, 340));
    Place(IDC_INSERT_WHERE, at.Edges(760, 346, 995, 382));
    for (int i = 0; i < 4; ++i) Place(IDC_KIND_KEY + UINT(i), at.Edges(760, 390 + 32 * i, 1000, 420 + 32 * i));
    Place(IDC_INSERT_KEY, at.Edges(760, 526, 995, 562));
    Place(IDC_INSERT_BUTTON, at.Edges(760, 526, 995, 562));
    Place(IDC_INSERT_WHEEL, at.Edges(760, 526, 995, 562));
    Place(IDC_INSERT_DELAY, at.Edges(760, 526, 850, 562));
    Place(IDC_INSERT_UNIT, at.Edges(858, 526, 910, 562));
    Place(IDC_INSERT, at.Edges(760, 576, 995, 612));
}

void MacroPage::OnLanguageChanged() {
    SetTitle(IDC_AREA + 2, Text(kTextMacro));
    SetTitle(IDC_NEW, Text(kTextNew));
    SetTitle(IDC_IMPORT, Text(kTextImport));
    SetTitle(IDC_EXPORT, Text(kTextExport));
    SetTitle(IDC_DELETE_EVENT, Text(kTextDeleteEvent));
    SetTitle(IDC_CLEAR_EVENTS, Text(kTextClearEvents));
    SetTitle(IDC_RECORD, Text(IsRecording() ? kTextStop : kTextRecord));
    SetTitle(IDC_DELAY_CAPTION, Text(kTextDelayCaption));
    SetTitle(IDC_INSERT_CAPTION, Text(kTextInsertTitle));
    SetTitle(IDC_INSERT, Text(kTextInsert));
    for (int i = 0; i < 3; ++i) SetTitle(IDC_DELAY_NONE + UINT(i), Text(kTextFirstDelayMode + i));
    for (int i = 0; i < 4; ++i) SetTitle(IDC_KIND_KEY + UINT(i), Text(kTextFirstInsertKind + i));
    if (auto* where = GetControlAs<MComboBox>(IDC_INSERT_WHERE)) {
        where->SetItemText(0, Text(kTextInsertBefore).c_str());
        where->SetItemText(1, Text(kTextInsertAfter).c_str());
    }
    if (auto* buttons = GetControlAs<MComboBox>(IDC_INSERT_BUTTON))
        for (int i = 0; i < 5; ++i) buttons->SetItemText(i, Text(kTextFirstButton + i).c_str());
    if (auto* edit = GetControlAs<MEdit>(IDC_INSERT_KEY)) edit->SetTipInfo(Text(kTextInsertKeyHint).c_str());
    // Default names follow the language.
    if (!IsRecording()) m_library.Fill(GetSelectedMacro());
}

void MacroPage::OnShow(bool shown) {
    if (shown) return;
    m_editor.StopKeyCapture();
    if (IsRecording()) m_recording.Stop(true);
}

void MacroPage::OnPageEvent(PageEvent event) {
    switch (event) {
        case PageEvent::DeviceChanged:
            m_editor.StopKeyCapture();
            if (IsRecording()) m_recording.Stop(true);
            break;
        case PageEvent::ModelChanged:  // each model keeps its own library
        case PageEvent::MacroLibraryChanged:
            Reload();
            break;
        default:
            break;
    }
}

void MacroPage::Reload() {
    if (IsRecording()) m_recording.Stop(true);
    m_library.Fill(GetSelectedMacro());
}

void MacroPage::SetControlVisible(UINT id, bool visible) {
    if (MControl* control = GetControl(id)) control->SetVisible(visible ? TRUE : FALSE);
}

void MacroPage::SetTitle(UINT id, const std::wstring& text) {
    if (auto* control = GetControlAs<MControlFont>(id)) control->SetTitle(text);
}

// ---------------------------------------------------------------- notifications

LRESULT MacroPage::OnMessage(UINT id, UINT code, WPARAM, LPARAM lParam) {
    switch (id) {
        case IDC_MACRO_LIST:
            if (code == Notify::Clicked) {
                m_editor.LoadMacro();
            } else if (code == Notify::PartClicked) {
                m_editor.LoadMacro();
                m_library.OpenItemMenu();
            } else if (code == Notify::EditEnded) {
                m_library.RenameMacro(int(lParam));
            }
            return 1;
        case IDC_NEW:
            if (code == Notify::Clicked) m_library.NewMacro();
            return 1;
        case IDC_IMPORT:
            if (code == Notify::Clicked) m_library.ImportMacroFile();
            return 1;
        case IDC_EXPORT:
            if (code == Notify::Clicked) m_library.ExportMacroFile();
            return 1;
        case IDC_EVENT_LIST:
            if (code == Notify::EditEnded) m_editor.Save();
            return 1;
        case IDC_DELETE_EVENT:
            if (code == Notify::Clicked) m_editor.DeleteSelectedEvent();
            return 1;
        case IDC_CLEAR_EVENTS:
            if (code == Notify::Clicked) m_editor.ClearAllEvents();
            return 1;
        case IDC_RECORD:
            if (code == Notify::Clicked) m_recording.Toggle();
            return 1;
        case IDC_DELAY_NONE:
        case IDC_DELAY_RECORDED:
        case IDC_DELAY_FIXED:
            if (code == Notify::Clicked) m_editor.OnDelayModeChosen(id);
            return 1;
        case IDC_FIXED_DELAY:
            if (code == Notify::EditEnded) m_editor.OnFixedDelayClosed();
            return 1;
        case IDC_KIND_KEY:
        case IDC_KIND_BUTTON:
        case IDC_KIND_WHEEL:
        case IDC_KIND_DELAY:
            if (code == Notify::Clicked) m_editor.ChooseInsertKind(id);
            return 1;
        case IDC_INSERT_KEY:
            m_editor.OnInsertKeyNotify(code);
            return 1;
        case IDC_INSERT_DELAY:
            if (code == Notify::EditEnded) m_editor.OnInsertDelayClosed();
            return 1;
        case IDC_INSERT:
            if (code == Notify::Clicked) m_editor.InsertEvents();
            return 1;
        case IDC_INSERT_WHERE:
        case IDC_INSERT_BUTTON:
            return 1;
        default:
            return code == Notify::Pressed ? 1 : 0;
    }
}

bool MacroPage::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (msg == WM_MACRO_MENU) {
        if (IsRecording()) return true;
        if (lParam == kMenuCopy) m_library.CopyMacro();
        if (lParam == kMenuDelete) m_library.DeleteMacro();
        return true;
    }
    // No profile file is read or written while a recording runs; otherwise the
    // window imports or exports it.
    if (msg == WM_PROFILE_COMMAND && (wParam == kProfileImport || wParam == kProfileExport)) return IsRecording();
    return false;
}

// ---------------------------------------------------------------- live input

bool MacroPage::StartInput(int mode) {
    if (!m_reader) m_reader = std::make_unique<LiveInputReader>();
    m_inputMode = mode;
    if (!m_reader->Register([this](const InputEvent& event) { OnInput(event); })) {
        m_inputMode = kInputOff;
        return false;
    }
    return true;
}

void MacroPage::StopInput() {
    m_inputMode = kInputOff;
    if (m_reader) m_reader->Release();
}

void MacroPage::OnInput(const InputEvent& event) {
    if (m_inputMode == kInputRecording)
        m_recording.OnInput(event);
    else if (m_inputMode == kInputInsertKey)
        m_editor.OnKeyInput(event);
}
