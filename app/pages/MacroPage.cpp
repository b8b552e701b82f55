#include "app/pages/MacroPage.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>

#include "app/DeviceMainDef.h"
#include "app/DeviceMainDlg.h"
#include "app/pages/MainPageHost.h"
#include "dialogs/CUIMessageBox.h"
#include "dialogs/ProfileDlg.h"
#include "exchange/ExchangeFiles.h"
#include "features/ButtonFunction.h"
#include "orvix/controls/CIconButton.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MEdit.h"
#include "orvix/controls/MenuWnd.h"
#include "orvix/core/MDialog.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/core/TextConv.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"
#include "orvix/widgets/CRecordList.h"
#include "orvix/widgets/MacroList.h"
#include "platform/AppContext.h"
#include "platform/FileDialog.h"
#include "platform/RawInputReader.h"
#include "protocol/MacroImage.h"
#include "protocol/Report.h"
#include "app/WorkerTask.h"
#include "storage/DataStore.h"

using namespace Orvix;

namespace {

constexpr UINT kPressed = 1;
constexpr UINT kClicked = 2;
constexpr UINT kMoreButton = 9;
constexpr UINT kEditChanged = 26;
constexpr UINT kEditClosed = 29;
constexpr UINT kEditOpened = 30;

constexpr int kTextMacro = 351;
constexpr int kTextNew = 353;
constexpr int kTextImport = 26;
constexpr int kTextExport = 355;
constexpr int kTextDeleteEvent = 357;
constexpr int kTextClearEvents = 404;
constexpr int kTextRecord = 358;
constexpr int kTextStop = 359;
constexpr int kTextFirstDelayMode = 361;  // 361 to 363
constexpr int kTextInsertBefore = 411;
constexpr int kTextInsertAfter = 412;
constexpr int kTextFirstInsertKind = 415;  // 415 to 418
constexpr int kTextFirstButton = 106;      // 106 to 110
constexpr int kTextInsert = 39;
constexpr int kTextCopy = 405;
constexpr int kTextDelete = 30;
constexpr int kTextCopySuffix = 31;
constexpr int kTextTooManyEvents = 386;
constexpr int kTextNoMacro = 387;
constexpr int kTextNoKey = 420;
constexpr int kTextInsertKeyHint = 1024;  // the short form that fits inside the key field
constexpr int kTextInsertTitle = 421;
constexpr int kTextNoEvents = 422;
constexpr int kTextFixedDelayTitle = 1010;
constexpr int kTextFixedDelayRange = 1011;
constexpr int kTextMemory = 1012;
constexpr int kTextMemoryLeftOut = 1013;
constexpr int kTextImportMacro = 1015;
constexpr int kTextExportMacro = 1016;
constexpr int kTextImportProfile = 1017;
constexpr int kTextExportProfile = 1018;
constexpr int kTextFileNotFound = 1019;
constexpr int kTextNotMacroFile = 1020;
constexpr int kTextNotProfileFile = 1021;
constexpr int kTextBadEntries = 1407;
constexpr int kTextMoreEntries = 1408;
// Entries named in the message (it has room for a few lines); the others are counted.
constexpr size_t kEntriesShown = 1;
constexpr int kTextNotWritten = 1022;
constexpr int kTextDelayCaption = 1023;
constexpr int kTextPauseNeedsEvent = 1014;

constexpr int kFixedDelayChars = 5;
constexpr int kInsertKeyChars = 60;
constexpr int kInsertDelayChars = 4;
// The combo box image keeps its arrow in its right 28 pixels: not stretched.
constexpr int kComboArrowInset = 28;

// The buttons of the insert panel's combo box, in list order (item data = button bit).
constexpr int kInsertButtons[] = {1, 2, 4, 16, 8};

const Color kListTextColor(0xFFB8D3EF);
const Color kEventTextColor(0xFFD6E2EE);
const Color kLeftOutColor(0xFFFFB14A);
const Color kMemoryColor(0xFF8FA3B5);

// The controls a recording disables (all but the record button).
constexpr UINT kPageControls[] = {
    MacroPage::IDC_MACRO_LIST,    MacroPage::IDC_NEW,          MacroPage::IDC_IMPORT,
    MacroPage::IDC_EXPORT,        MacroPage::IDC_EVENT_LIST,   MacroPage::IDC_DELETE_EVENT,
    MacroPage::IDC_CLEAR_EVENTS,  MacroPage::IDC_DELAY_NONE,   MacroPage::IDC_DELAY_RECORDED,
    MacroPage::IDC_DELAY_FIXED,   MacroPage::IDC_FIXED_DELAY,  MacroPage::IDC_INSERT_WHERE,
    MacroPage::IDC_KIND_KEY,      MacroPage::IDC_KIND_BUTTON,  MacroPage::IDC_KIND_WHEEL,
    MacroPage::IDC_KIND_DELAY,    MacroPage::IDC_INSERT_KEY,   MacroPage::IDC_INSERT_DELAY,
    MacroPage::IDC_INSERT_BUTTON, MacroPage::IDC_INSERT_WHEEL, MacroPage::IDC_INSERT,
};

std::wstring Replace(std::wstring text, const std::wstring& field, const std::wstring& value) {
    for (size_t at = text.find(field); at != std::wstring::npos; at = text.find(field, at + value.size()))
        text.replace(at, field.size(), value);
    return text;
}

bool FileExists(const std::wstring& path) {
    struct stat info {};
    return ::stat(WideToUtf8(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Characters a file name cannot hold become "_".
std::wstring FileNameFor(std::wstring name) {
    for (wchar_t& c : name)
        if (c == L'/' || c == L'\\' || c < 0x20) c = L'_';
    return name.empty() ? L"macro.xml" : name + L".xml";
}

}  // namespace

MacroPage::MacroPage(MainPageHost& host, MPanel& container) : MainPage(host, container) {}

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
        memory->SetTextColor(kMemoryColor);
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

    FillMacroList(0);
}

void MacroPage::Layout(double scale) {
    m_scale = scale;
    const CRect page = m_container.GetRect();
    auto x = [&](int v) { return page.left + int(std::lround(v * scale)); };
    auto y = [&](int v) { return page.top + int(std::lround(v * scale)); };
    auto place = [&](UINT id, int left, int top, int right, int bottom) {
        if (MControl* control = GetControl(id))
            control->SetControlRect(CRect(x(left), y(top), x(right), y(bottom)));
    };
    PlaceArea(IDC_AREA, CRect(page.left + 20, page.top + 15, page.right - 20, page.bottom - 15));

    // The library: list, its buttons and the memory it takes on the mouse.
    if (auto* list = GetControlAs<MacroList>(IDC_MACRO_LIST)) list->SetScaleValue(float(scale));
    place(IDC_MACRO_LIST, 40, 75, 300, 420);
    place(IDC_NEW, 40, 432, 124, 468);
    place(IDC_IMPORT, 128, 432, 212, 468);
    place(IDC_EXPORT, 216, 432, 300, 468);
    place(IDC_MEMORY, 40, 482, 300, 640);

    // The events of the selected macro.
    if (auto* events = GetControlAs<CRecordList>(IDC_EVENT_LIST)) events->SetScaleValue(float(scale));
    place(IDC_EVENT_LIST, 320, 75, 720, 575);
    place(IDC_DELETE_EVENT, 320, 590, 410, 626);
    place(IDC_CLEAR_EVENTS, 416, 590, 506, 626);
    place(IDC_COUNTER, 508, 590, 566, 626);
    place(IDC_RECORD, 570, 590, 720, 626);
    if (auto* record = GetControlAs<CIconButton>(IDC_RECORD)) {
        const int w = int(std::lround(150 * scale)), h = int(std::lround(36 * scale));
        record->SetTextRect(CRect(34, 0, w - 6, h), CRect(12, (h - 18) / 2, 30, (h - 18) / 2 + 18));
    }

    // Delays while recording.
    place(IDC_DELAY_PANEL, 740, 75, 1010, 285);
    place(IDC_DELAY_CAPTION, 760, 85, 1000, 115);
    for (int i = 0; i < 3; ++i) place(IDC_DELAY_NONE + UINT(i), 760, 122 + 38 * i, 1000, 154 + 38 * i);
    place(IDC_FIXED_DELAY, 790, 238, 880, 272);
    place(IDC_FIXED_UNIT, 888, 238, 940, 272);

    // Inserting single events.
    place(IDC_INSERT_PANEL, 740, 300, 1010, 632);
    place(IDC_INSERT_CAPTION, 760, 310, 1000, 340);
    place(IDC_INSERT_WHERE, 760, 346, 995, 382);
    for (int i = 0; i < 4; ++i) place(IDC_KIND_KEY + UINT(i), 760, 390 + 32 * i, 1000, 420 + 32 * i);
    place(IDC_INSERT_KEY, 760, 526, 995, 562);
    place(IDC_INSERT_BUTTON, 760, 526, 995, 562);
    place(IDC_INSERT_WHEEL, 760, 526, 995, 562);
    place(IDC_INSERT_DELAY, 760, 526, 850, 562);
    place(IDC_INSERT_UNIT, 858, 526, 910, 562);
    place(IDC_INSERT, 760, 576, 995, 612);
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
    if (!IsRecording()) FillMacroList(GetSelectedMacro());
}

void MacroPage::OnShow(bool shown) {
    if (shown) return;
    StopKeyCapture();
    if (IsRecording()) StopRecording(true);
}

void MacroPage::OnPageEvent(PageEvent event) {
    switch (event) {
        case PageEvent::DeviceChanged:
            StopKeyCapture();
            if (IsRecording()) StopRecording(true);
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
    if (IsRecording()) StopRecording(true);
    FillMacroList(GetSelectedMacro());
}

void MacroPage::SetControlVisible(UINT id, bool visible) {
    if (MControl* control = GetControl(id)) control->SetVisible(visible ? TRUE : FALSE);
}

void MacroPage::SetTitle(UINT id, const std::wstring& text) {
    if (auto* control = GetControlAs<MControlFont>(id)) control->SetTitle(text);
}

// ---------------------------------------------------------------- the library

int32_t MacroPage::GetSelectedMacro() const {
    auto* list = GetControlAs<MacroList>(IDC_MACRO_LIST);
    return list && list->GetCurSel() >= 0 ? int32_t(list->GetCurData()) : 0;
}

void MacroPage::SelectMacro(int32_t macroId) {
    auto* list = GetControlAs<MacroList>(IDC_MACRO_LIST);
    if (!list) return;
    list->SetCurSel(list->FindItemData(macroId));
    LoadMacro();
}

void MacroPage::FillMacroList(int32_t select) {
    auto* list = GetControlAs<MacroList>(IDC_MACRO_LIST);
    if (!list) return;
    list->DeleteAllItems();
    std::vector<MacroData> macros;
    m_host.GetStore().ListMacros(macros);
    const std::wstring word = Text(kTextMacro);
    for (const MacroData& macro : macros)
        list->AddString(MacroDisplayName(macro.name, word).c_str(), macro.macroId, -1);
    list->SetCurSel(select > 0 ? list->FindItemData(select) : -1);
    LoadMacro();
    UpdateMemory();
}

void MacroPage::LoadMacro() {
    // A delay still being edited belongs to the macro shown so far: it is saved there.
    if (auto* list = GetControlAs<CRecordList>(IDC_EVENT_LIST); list && list->GetEditItem() >= 0)
        list->HideEdit();
    ClearEvents();
    const int32_t id = GetSelectedMacro();
    m_loadedMacro = id;
    MacroData macro;
    if (id <= 0 || !m_host.GetStore().GetMacro(id, macro)) {
        UpdateCounter();
        return;
    }
    SetDelayRadios(macro.delayType, macro.delayTime);
    std::vector<MacroEvent> events;
    m_host.GetStore().ListMacroRecords(id, events);
    if (auto* list = GetControlAs<CRecordList>(IDC_EVENT_LIST)) {
        for (const MacroEvent& e : events) list->AddString(e.desc, e.type, e.value, e.delayTime);
        list->SetCurSel(-1);
    }
    UpdateCounter();
}

void MacroPage::ClearEvents() {
    if (auto* list = GetControlAs<CRecordList>(IDC_EVENT_LIST)) {
        list->HideEdit();
        list->DeleteAllItems();
    }
}

void MacroPage::SetDelayRadios(int delayType, int delayTime) {
    const UINT checked = delayType == kDelayNone    ? IDC_DELAY_NONE
                         : delayType == kDelayFixed ? IDC_DELAY_FIXED
                                                    : IDC_DELAY_RECORDED;
    if (auto* radio = GetControlAs<CRadioButton>(checked)) radio->SetCheck(TRUE);
    if (auto* edit = GetControlAs<MEdit>(IDC_FIXED_DELAY)) {
        edit->SetEnabled(delayType == kDelayFixed ? TRUE : FALSE);
        if (delayType == kDelayFixed) edit->SetControlTitle(std::to_wstring(delayTime).c_str());
    }
}

int MacroPage::DelayTypeFromRadios() const {
    auto checked = [this](UINT id) {
        auto* radio = GetControlAs<CRadioButton>(id);
        return radio && radio->GetCheck();
    };
    if (checked(IDC_DELAY_NONE)) return kDelayNone;
    if (checked(IDC_DELAY_FIXED)) return kDelayFixed;
    return kDelayRecorded;
}

std::vector<MacroEvent> MacroPage::ListedEvents() const {
    std::vector<MacroEvent> events;
    auto* list = GetControlAs<CRecordList>(IDC_EVENT_LIST);
    if (!list) return events;
    const int32_t id = m_loadedMacro;
    for (const RecordItem* row : list->GetRecordItems()) {
        MacroEvent e;
        e.macroId = id;
        e.type = row->type;
        e.recordIndex = int32_t(events.size());
        e.value = row->value;
        e.delayTime = row->delay;
        e.desc = row->text;
        events.push_back(std::move(e));
    }
    return events;
}

void MacroPage::Save() {
    // The events listed are those of the macro loaded last, whatever the list selects meanwhile.
    const int32_t id = m_loadedMacro;
    DataStore& store = m_host.GetStore();
    MacroData macro;
    if (id <= 0 || !store.GetMacro(id, macro)) return;
    const int delayType = DelayTypeFromRadios();
    int delayTime = kEventDelay;
    if (delayType == kDelayFixed)
        if (auto* edit = GetControlAs<MEdit>(IDC_FIXED_DELAY))
            delayTime = ClampDelay(edit->GetEditText(), kMinFixedDelay, kMaxFixedDelay);
    const std::vector<MacroEvent> events = ListedEvents();
    store.RunInTransaction([&] {
        return store.UpdateMacro(id, macro.name, macro.playType, macro.playTimes, delayType, delayTime) &&
               store.DeleteMacroRecords(id) && (events.empty() || store.AddMacroRecords(events));
    });
    QueueUpload();
}

void MacroPage::QueueUpload(bool buttonsChanged) {
    m_host.QueueTask(kTaskWriteMacros);
    // Macro numbers on the mouse follow the library: buttons assigned to a macro
    // are sent again so that they point at its new place, or keep their default
    // when it no longer fits.
    std::vector<KeyRecord> keys;
    m_host.GetStore().ListKeys(m_host.GetState().GetCurrentProfile(), keys);
    if (buttonsChanged ||
        std::any_of(keys.begin(), keys.end(), [](const KeyRecord& k) { return k.macroType == kFuncMacro; }))
        m_host.QueueTask(kTaskWriteButtonMap);
    UpdateMemory();
}

void MacroPage::UpdateCounter() {
    auto* list = GetControlAs<CRecordList>(IDC_EVENT_LIST);
    // The limit is the same for every macro; with none selected the list is empty.
    const int count = list && GetSelectedMacro() > 0 ? list->GetItemCount() : 0;
    SetTitle(IDC_COUNTER, std::to_wstring(count) + L"/" + std::to_wstring(kMacroEventLimit));
}

void MacroPage::UpdateMemory() {
    std::vector<int32_t> ids;
    std::vector<std::vector<MacroEvent>> events;
    m_host.GetStore().ListMacroLibrary(ids, events);
    std::vector<bool> onMouse;
    m_memoryUsed = BuildMacroImage(events, &onMouse).size();
    m_leftOut.clear();
    for (size_t i = 0; i < ids.size(); ++i)
        if (!onMouse[i]) m_leftOut.push_back(ids[i]);

    if (auto* list = GetControlAs<MacroList>(IDC_MACRO_LIST))
        for (int row = 0; row < list->GetItemCount(); ++row) {
            const bool out =
                std::count(m_leftOut.begin(), m_leftOut.end(), int32_t(list->GetItemData(row))) > 0;
            list->SetItemTextColor(row, out ? kLeftOutColor : Color());
        }
    std::wstring text = Text(kTextMemory);
    text = Replace(text, L"{used}", std::to_wstring(m_memoryUsed));
    text = Replace(text, L"{size}", std::to_wstring(kMacroImageMax));
    text = Replace(text, L"{count}", std::to_wstring(ids.size() - m_leftOut.size()));
    text = Replace(text, L"{slots}", std::to_wstring(kMacroPositions));
    if (!m_leftOut.empty()) text += L"\n" + Text(kTextMemoryLeftOut);
    SetTitle(IDC_MEMORY, text);
    if (auto* memory = GetControlAs<MControlFont>(IDC_MEMORY))
        memory->SetTextColor(m_leftOut.empty() ? kMemoryColor : kLeftOutColor);
}

void MacroPage::LibraryChanged() {
    m_host.BroadcastPageEvent(PageEvent::MacroLibraryChanged, this);
}

void MacroPage::NewMacro() {
    auto* list = GetControlAs<MacroList>(IDC_MACRO_LIST);
    if (!list) return;
    std::vector<std::wstring> names;
    for (int i = 0; i < list->GetItemCount(); ++i) names.push_back(list->GetItemText(i));
    const std::wstring name = NewMacroName(Text(kTextMacro), names);
    const int32_t id = m_host.GetStore().AddMacro(name);
    if (id <= 0) return;
    list->AddString(MacroDisplayName(name, Text(kTextMacro)).c_str(), id, -1);
    SelectMacro(id);
    QueueUpload();
    LibraryChanged();
}

void MacroPage::OpenItemMenu() {
    if (GetSelectedMacro() <= 0) return;
    const CPoint cursor = Platform::GetCursorPos();
    auto* menu = new MenuWnd();  // deletes itself when it closes
    if (!menu->Create(m_host.GetDialog().GetSafeHwnd(), CPoint(cursor.x + 2, cursor.y + 2), WM_MACRO_MENU,
                      int(std::lround(160 * m_scale)))) {
        delete menu;
        return;
    }
    menu->SetMenuFont(kEmbeddedFontFamily, 14, 0);
    menu->AddMenu(Text(kTextCopy).c_str(), UINT(kMenuCopy), L"img_menu_copy.png");
    menu->AddMenu(Text(kTextDelete).c_str(), UINT(kMenuDelete), L"img_menu_delete.png");
}

void MacroPage::CopyMacro() {
    const int32_t id = GetSelectedMacro();
    DataStore& store = m_host.GetStore();
    MacroData macro;
    if (id <= 0 || !store.GetMacro(id, macro)) return;
    std::vector<MacroEvent> events;
    store.ListMacroRecords(id, events);
    int32_t copy = 0;
    const bool stored = store.RunInTransaction([&] {
        copy = store.AddMacroFull(macro.name + L" " + Text(kTextCopySuffix), macro.playType, macro.playTimes,
                                  macro.delayType, macro.delayTime);
        if (copy <= 0) return false;
        for (MacroEvent& e : events) e.macroId = copy;
        return events.empty() || store.AddMacroRecords(events);
    });
    if (!stored) return;
    FillMacroList(copy);
    QueueUpload();
    LibraryChanged();
}

void MacroPage::DeleteMacro() {
    auto* list = GetControlAs<MacroList>(IDC_MACRO_LIST);
    const int32_t id = GetSelectedMacro();
    if (!list || id <= 0) return;
    const int row = list->GetCurSel();
    DataStore& store = m_host.GetStore();
    bool buttonsChanged = false;
    if (!DeleteLibraryEntry(
            kFuncMacro, id, list->GetItemText(row), [&] { return store.DeleteMacro(id); }, buttonsChanged))
        return;
    list->DeleteItem(row);
    list->SetCurSel(row - 1);  // the macro before it; none after the first
    LoadMacro();
    QueueUpload(buttonsChanged);
    LibraryChanged();
}

void MacroPage::RenameMacro(int row) {
    auto* list = GetControlAs<MacroList>(IDC_MACRO_LIST);
    if (!list || row < 0 || row >= list->GetItemCount()) return;
    const int32_t id = int32_t(list->GetItemData(row));
    DataStore& store = m_host.GetStore();
    MacroData macro;
    if (!store.GetMacro(id, macro)) return;
    const std::wstring word = Text(kTextMacro);
    const std::wstring typed = list->GetItemText(row);
    if (typed.empty()) {
        list->ModifyItemString(row, MacroDisplayName(macro.name, word).c_str());
        list->UpdateControl(TRUE);
        return;
    }
    if (!store.RenameMacro(id, typed)) return;
    const std::wstring shown = MacroDisplayName(typed, word);
    list->ModifyItemString(row, shown.c_str());
    list->UpdateControl(TRUE);
    // The button map shows the macro's name on the buttons that play it.
    const int32_t profile = m_host.GetState().GetCurrentProfile();
    std::vector<KeyRecord> keys;
    store.ListKeys(profile, keys);
    for (const KeyRecord& key : keys)
        if (key.macroType == kFuncMacro && key.macroValue == id)
            store.SetKeyDescription(profile, key.keyCode, shown);
    LibraryChanged();
}

void MacroPage::OnFixedDelayClosed() {
    auto* edit = GetControlAs<MEdit>(IDC_FIXED_DELAY);
    if (!edit) return;
    const std::wstring text = edit->GetEditText();
    const std::wstring clamped = std::to_wstring(ClampDelay(text, kMinFixedDelay, kMaxFixedDelay));
    if (clamped != text) {
        edit->SetControlTitle(clamped.c_str());
        edit->SetTooltip(clamped.c_str());
        edit->UpdateControl(TRUE);
        m_host.ShowMessage(kTextFixedDelayTitle, kTextFixedDelayRange, CUIMessageBox::kKindOk);
    }
    // Only corrected: the delay mode belongs to the next recording, and is stored
    // with the macro when its events are.
}

// ---------------------------------------------------------------- notifications

LRESULT MacroPage::OnMessage(UINT id, UINT code, WPARAM, LPARAM lParam) {
    switch (id) {
        case IDC_MACRO_LIST:
            if (code == kClicked) {
                LoadMacro();
            } else if (code == kMoreButton) {
                LoadMacro();
                OpenItemMenu();
            } else if (code == kEditClosed) {
                RenameMacro(int(lParam));
            }
            return 1;
        case IDC_NEW:
            if (code == kClicked) NewMacro();
            return 1;
        case IDC_IMPORT:
            if (code == kClicked) ImportMacroFile();
            return 1;
        case IDC_EXPORT:
            if (code == kClicked) ExportMacroFile();
            return 1;
        case IDC_EVENT_LIST:
            if (code == kEditClosed) Save();
            return 1;
        case IDC_DELETE_EVENT:
            if (code != kClicked) return 1;
            if (auto* list = GetControlAs<CRecordList>(IDC_EVENT_LIST); list && GetSelectedMacro() > 0) {
                if (list->DeleteItem(list->GetCurSel())) {
                    Save();
                    UpdateCounter();
                }
            }
            return 1;
        case IDC_CLEAR_EVENTS:
            if (code != kClicked || GetSelectedMacro() <= 0) return 1;
            ClearEvents();
            Save();
            UpdateCounter();
            return 1;
        case IDC_RECORD:
            if (code == kClicked) ToggleRecording();
            return 1;
        case IDC_DELAY_NONE:
        case IDC_DELAY_RECORDED:
        case IDC_DELAY_FIXED:
            if (code != kClicked) return 1;
            // How the next recording takes its delays: nothing is stored or sent here.
            if (auto* edit = GetControlAs<MEdit>(IDC_FIXED_DELAY)) {
                edit->SetEnabled(id == IDC_DELAY_FIXED ? TRUE : FALSE);
                if (id == IDC_DELAY_FIXED) edit->SetControlTitle(L"10");
            }
            return 1;
        case IDC_FIXED_DELAY:
            if (code == kEditClosed) OnFixedDelayClosed();
            return 1;
        case IDC_KIND_KEY:
        case IDC_KIND_BUTTON:
        case IDC_KIND_WHEEL:
        case IDC_KIND_DELAY:
            if (code == kClicked) ChooseInsertKind(id);
            return 1;
        case IDC_INSERT_KEY:
            if (code == kEditOpened) {
                StartKeyCapture();
            } else if (code == kEditClosed) {
                // A key that closes the edit as it goes down still counts: its event is
                // on its way, so the reader stops after it.
                Platform::PostTask(
                    [alive = std::weak_ptr<int>(m_alive), this, generation = m_captureGeneration] {
                        if (alive.lock() && generation == m_captureGeneration) StopKeyCapture();
                    });
            } else if (code == kEditChanged && m_inputMode == kInputInsertKey) {
                // Typing does not edit the field: it shows the captured key.
                if (auto* edit = GetControlAs<MEdit>(IDC_INSERT_KEY);
                    edit && edit->GetEditText() != m_capturedName)
                    edit->SetControlTitle(m_capturedName.c_str());
            }
            return 1;
        case IDC_INSERT_DELAY:
            if (code == kEditClosed)
                if (auto* edit = GetControlAs<MEdit>(IDC_INSERT_DELAY))
                    edit->SetControlTitle(
                        std::to_wstring(ClampDelay(edit->GetEditText(), kMinInsertDelay, kMaxInsertDelay))
                            .c_str());
            return 1;
        case IDC_INSERT:
            if (code == kClicked) InsertEvents();
            return 1;
        case IDC_INSERT_WHERE:
        case IDC_INSERT_BUTTON:
            return 1;
        default:
            return code == kPressed ? 1 : 0;
    }
}

bool MacroPage::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (msg == WM_MACRO_MENU) {
        if (IsRecording()) return true;
        if (lParam == kMenuCopy) CopyMacro();
        if (lParam == kMenuDelete) DeleteMacro();
        return true;
    }
    if (msg == WM_PROFILE_COMMAND && (wParam == kProfileImport || wParam == kProfileExport)) {
        if (IsRecording()) return true;
        if (wParam == kProfileImport)
            ImportProfileFile();
        else
            ExportProfileFile();
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- recording

void MacroPage::ToggleRecording() {
    if (GetSelectedMacro() <= 0) {
        m_host.ShowMessage(kTextRecord, kTextNoMacro, CUIMessageBox::kKindOk);
        return;
    }
    auto* list = GetControlAs<CRecordList>(IDC_EVENT_LIST);
    if (list && list->GetItemCount() >= kMacroEventLimit) {
        if (IsRecording()) StopRecording(true);
        m_host.ShowMessage(kTextMacro, kTextTooManyEvents, CUIMessageBox::kKindOk);
        return;
    }
    if (IsRecording())
        StopRecording(true);
    else
        StartRecording();
}

void MacroPage::StartRecording() {
    StopKeyCapture();
    const int delayType = DelayTypeFromRadios();
    int fixedDelay = kMinFixedDelay;
    if (auto* edit = GetControlAs<MEdit>(IDC_FIXED_DELAY); edit && delayType == kDelayFixed) {
        if (edit->GetEditText().empty()) edit->SetControlTitle(L"10");
        fixedDelay = ClampDelay(edit->GetEditText(), kMinFixedDelay, kMaxFixedDelay);
    }
    m_recorder.Start(delayType, fixedDelay);
    if (!m_reader) m_reader = std::make_unique<LiveInputReader>();
    m_inputMode = kInputRecording;
    if (!m_reader->Register([this](const InputEvent& event) { OnInput(event); })) {
        m_inputMode = kInputOff;
        return;
    }
    if (auto* record = GetControlAs<CIconButton>(IDC_RECORD)) {
        record->SetTitle(Text(kTextStop));
        record->SetIconImage(L"icon/icon_stop_rec.png", 4);
    }
    EnableControls(false);
}

void MacroPage::StopRecording(bool save) {
    if (m_reader) m_reader->Release();
    m_inputMode = kInputOff;
    if (auto* record = GetControlAs<CIconButton>(IDC_RECORD)) {
        record->SetTitle(Text(kTextRecord));
        record->SetIconImage(L"icon/icon_rec.png", 4);
    }
    EnableControls(true);
    if (save) Save();
    UpdateCounter();
}

void MacroPage::EnableControls(bool enable) {
    const BOOL on = enable ? TRUE : FALSE;
    for (UINT id : kPageControls)
        if (MControl* control = GetControl(id)) control->SetEnabled(on);
    if (enable)
        if (MControl* edit = GetControl(IDC_FIXED_DELAY))
            edit->SetEnabled(DelayTypeFromRadios() == kDelayFixed);
    // The tab strip and the profile button: no other page, no other profile meanwhile.
    for (UINT id : {UINT(IDC_TABS), UINT(IDC_PROFILE)})
        if (MControl* control = m_host.GetDialog().GetControl(id)) control->SetEnabled(on);
}

bool MacroPage::PointerOverRecordButton() const {
    MControl* record = GetControl(IDC_RECORD);
    if (!record) return false;
    POINT pt = Platform::GetCursorPos();
    Platform::ScreenToClient(m_host.GetDialog().GetSafeHwnd(), pt);
    CRect rect = record->GetRect();
    const CPoint offset = MPanel::GetContentOffset(record);
    rect.OffsetRect(-offset.x, -offset.y);
    return rect.PtInRect(CPoint(pt.x, pt.y));
}

void MacroPage::OnInput(const InputEvent& event) {
    if (m_inputMode == kInputRecording) {
        OnRecordedInput(event);
    } else if (m_inputMode == kInputInsertKey) {
        if (event.kind != kInputKeyboard || event.name.empty()) return;
        m_capturedVk = event.code;
        m_capturedName = event.name;
        if (auto* edit = GetControlAs<MEdit>(IDC_INSERT_KEY)) {
            edit->SetControlTitle(event.name.c_str());
            edit->UpdateControl(TRUE);
        }
    }
}

void MacroPage::OnRecordedInput(const InputEvent& event) {
    auto* list = GetControlAs<CRecordList>(IDC_EVENT_LIST);
    if (!list) return;
    const uint64_t at = event.timeMs ? event.timeMs : Platform::GetTickCount();
    const RecordStep step = m_recorder.Feed(event, at, PointerOverRecordButton(), list->GetItemCount());
    if (!step.taken) return;
    if (step.previousDelay > 0) list->UpdateDelayTime(step.previousDelay);
    if (step.stopBefore) {
        StopRecording(true);
        return;
    }
    list->AddString(step.event.desc, step.event.type, step.event.value, step.event.delayTime);
    UpdateCounter();
    if (step.stopAfter) StopRecording(true);
}

// ---------------------------------------------------------------- inserting

void MacroPage::ChooseInsertKind(UINT kind) {
    StopKeyCapture();
    SetControlVisible(IDC_INSERT_KEY, kind == IDC_KIND_KEY);
    SetControlVisible(IDC_INSERT_BUTTON, kind == IDC_KIND_BUTTON);
    SetControlVisible(IDC_INSERT_WHEEL, kind == IDC_KIND_WHEEL);
    SetControlVisible(IDC_INSERT_DELAY, kind == IDC_KIND_DELAY);
    SetControlVisible(IDC_INSERT_UNIT, kind == IDC_KIND_DELAY);
    if (kind == IDC_KIND_KEY) {
        m_capturedVk = 0;
        m_capturedName.clear();
        if (auto* edit = GetControlAs<MEdit>(IDC_INSERT_KEY)) edit->SetControlTitle(L"");
    } else if (kind == IDC_KIND_BUTTON) {
        if (auto* buttons = GetControlAs<MComboBox>(IDC_INSERT_BUTTON)) buttons->SetCurSel(0);
    } else if (kind == IDC_KIND_WHEEL) {
        if (auto* wheel = GetControlAs<MComboBox>(IDC_INSERT_WHEEL)) wheel->SetCurSel(0);
    } else if (kind == IDC_KIND_DELAY) {
        if (auto* edit = GetControlAs<MEdit>(IDC_INSERT_DELAY)) edit->SetControlTitle(L"10");
    }
}

void MacroPage::StartKeyCapture() {
    auto* key = GetControlAs<CRadioButton>(IDC_KIND_KEY);
    if (!key || !key->GetCheck() || IsRecording()) return;
    ++m_captureGeneration;
    m_capturedVk = 0;
    m_capturedName.clear();
    if (auto* edit = GetControlAs<MEdit>(IDC_INSERT_KEY)) edit->SetControlTitle(L"");
    if (!m_reader) m_reader = std::make_unique<LiveInputReader>();
    m_inputMode = kInputInsertKey;
    if (!m_reader->Register([this](const InputEvent& event) { OnInput(event); })) m_inputMode = kInputOff;
}

void MacroPage::StopKeyCapture() {
    if (m_inputMode != kInputInsertKey) return;
    m_inputMode = kInputOff;
    if (m_reader) m_reader->Release();
}

void MacroPage::InsertEvents() {
    StopKeyCapture();
    auto* list = GetControlAs<CRecordList>(IDC_EVENT_LIST);
    if (!list || GetSelectedMacro() <= 0) return;
    if (list->GetItemCount() >= kMacroEventLimit) {
        m_host.ShowMessage(kTextInsertTitle, kTextTooManyEvents, CUIMessageBox::kKindOk);
        return;
    }
    if (list->GetItemCount() == 0) {
        m_host.ShowMessage(kTextInsertTitle, kTextNoEvents, CUIMessageBox::kKindOk);
        return;
    }
    auto checked = [this](UINT id) {
        auto* radio = GetControlAs<CRadioButton>(id);
        return radio && radio->GetCheck();
    };
    std::vector<MacroEvent> events;
    if (checked(IDC_KIND_KEY)) {
        if (m_capturedVk < 1) {
            m_host.ShowMessage(kTextInsertTitle, kTextNoKey, CUIMessageBox::kKindOk);
            return;
        }
        events = KeyPressEvents(m_capturedVk, m_capturedName);
    } else if (checked(IDC_KIND_BUTTON)) {
        auto* buttons = GetControlAs<MComboBox>(IDC_INSERT_BUTTON);
        if (buttons && buttons->GetCurSel() >= 0) events = ButtonPressEvents(int(buttons->GetCurData()));
    } else if (checked(IDC_KIND_WHEEL)) {
        auto* wheel = GetControlAs<MComboBox>(IDC_INSERT_WHEEL);
        events.push_back(WheelEvent(!wheel || wheel->GetCurData() != 0));
    }
    // A pair would pass the limit by one: only whole pairs are inserted.
    if (list->GetItemCount() + int(events.size()) > kMacroEventLimit) {
        m_host.ShowMessage(kTextInsertTitle, kTextTooManyEvents, CUIMessageBox::kKindOk);
        return;
    }
    auto* where = GetControlAs<MComboBox>(IDC_INSERT_WHERE);
    int at = InsertPosition(list->GetCurSel(), where && where->GetCurData() == 1, list->GetItemCount());
    if (checked(IDC_KIND_DELAY)) {
        // A pause is the delay after an event: the one before the insert position.
        if (at == 0) {
            m_host.ShowMessage(kTextInsertTitle, kTextPauseNeedsEvent, CUIMessageBox::kKindOk);
            return;
        }
        auto* edit = GetControlAs<MEdit>(IDC_INSERT_DELAY);
        const int delay = ClampDelay(edit ? edit->GetEditText() : L"", kMinInsertDelay, kMaxInsertDelay);
        if (edit) edit->SetControlTitle(std::to_wstring(delay).c_str());
        std::wstring text;
        int type = 0, value = 0, old = 0;
        list->GetRecordInfo(at - 1, text, type, value, old);
        list->SetRecordInfo(at - 1, text, type, value, delay);
        list->SetCurSel(at - 1);
    }
    for (const MacroEvent& e : events) list->InsertString(at++, e.desc, e.type, e.value, e.delayTime);
    if (!events.empty()) list->SetCurSel(at - 1);
    Save();
    UpdateCounter();
}

// ---------------------------------------------------------------- exchange files

void MacroPage::ShowFileMessage(int titleId, int messageId, const std::wstring& path) {
    m_host.ShowMessageText(Text(titleId), Replace(Text(messageId), L"{file}", path), CUIMessageBox::kKindOk);
}

void MacroPage::ShowRefusal(int titleId, int messageId, const std::wstring& path,
                            const std::vector<std::wstring>& badEntries) {
    if (badEntries.empty()) {
        ShowFileMessage(titleId, messageId, path);
        return;
    }
    // The file's own words for what is wrong, so that it can be mended.
    std::wstring text = Replace(Text(kTextBadEntries), L"{file}", path);
    for (size_t i = 0; i < badEntries.size() && i < kEntriesShown; ++i) text += L"\n" + badEntries[i];
    if (badEntries.size() > kEntriesShown)
        text += L"\n" + Replace(Text(kTextMoreEntries), L"{count}", std::to_wstring(badEntries.size() - kEntriesShown));
    m_host.ShowMessageText(Text(titleId), text, CUIMessageBox::kKindOk);
}

void MacroPage::ImportMacroFile() {
    FileDialogRequest request;
    request.title = Text(kTextImportMacro);
    request.filters.push_back({L"Macros (*.xml)", {L"*.xml"}});
    request.owner = m_host.GetDialog().GetSafeHwnd();
    std::wstring path;
    if (!ChooseFile(request, path)) return;
    if (!FileExists(path)) {
        ShowFileMessage(kTextImportMacro, kTextFileNotFound, path);
        return;
    }
    std::vector<std::wstring> badEntries;
    const int32_t id = ImportMacro(path, m_host.GetStore(), &badEntries);
    if (id <= 0) {
        ShowRefusal(kTextImportMacro, kTextNotMacroFile, path, badEntries);
        return;
    }
    FillMacroList(id);
    QueueUpload();
    LibraryChanged();
}

void MacroPage::ExportMacroFile() {
    const int32_t id = GetSelectedMacro();
    auto* list = GetControlAs<MacroList>(IDC_MACRO_LIST);
    if (id <= 0 || !list) return;
    FileDialogRequest request;
    request.save = true;
    request.title = Text(kTextExportMacro);
    request.filters.push_back({L"Macros (*.xml)", {L"*.xml"}});
    request.suggestedName = FileNameFor(list->GetItemText(list->GetCurSel()));
    request.owner = m_host.GetDialog().GetSafeHwnd();
    std::wstring path;
    if (!ChooseFile(request, path)) return;
    if (!ExportMacro(path, m_host.GetStore(), id)) ShowFileMessage(kTextExportMacro, kTextNotWritten, path);
}

namespace {

ProfileExchangeContext ExchangeContext(MainPageHost& host) {
    ProfileExchangeContext context;
    context.profile = host.GetState().GetCurrentProfile();
    context.lightingPage = host.GetState().HasLightingPage();
    context.deviceType = host.GetState().GetCurrentDeviceType();
    context.languageId = GetCurrentLcid();
    return context;
}

}  // namespace

void MacroPage::ImportProfileFile() {
    FileDialogRequest request;
    request.title = Text(kTextImportProfile);
    request.filters.push_back({L"MouseKey (*.xml)", {L"*.xml"}});
    request.owner = m_host.GetDialog().GetSafeHwnd();
    std::wstring path;
    if (!ChooseFile(request, path)) return;
    if (!FileExists(path)) {
        ShowFileMessage(kTextImportProfile, kTextFileNotFound, path);
        return;
    }
    std::vector<std::wstring> badEntries;
    const ProfileImport imported = ImportProfile(path, m_host.GetStore(), ExchangeContext(m_host), &badEntries);
    if (imported == kImportRefused) {
        ShowRefusal(kTextImportProfile, kTextNotProfileFile, path, badEntries);
        return;
    }
    m_host.QueueTask(TaskAfterImport(imported));
    // Every page shows the profile's new values.
    m_host.BroadcastPageEvent(PageEvent::ProfileChanged, this);
}

void MacroPage::ExportProfileFile() {
    const ProfileExchangeContext context = ExchangeContext(m_host);
    std::wstring name;
    m_host.GetStore().GetProfileName(context.profile, name, context.languageId);
    FileDialogRequest request;
    request.save = true;
    request.title = Text(kTextExportProfile);
    request.filters.push_back({L"MouseKey (*.xml)", {L"*.xml"}});
    request.suggestedName = FileNameFor(name);
    request.owner = m_host.GetDialog().GetSafeHwnd();
    std::wstring path;
    if (!ChooseFile(request, path)) return;
    if (!ExportProfile(path, m_host.GetStore(), context))
        ShowFileMessage(kTextExportProfile, kTextNotWritten, path);
}
