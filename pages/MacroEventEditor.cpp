#include "pages/MacroEventEditor.h"

#include "pages/MacroPage.h"
#include "pages/MacroPageText.h"
#include "pages/MainPageHost.h"
#include "dialogs/CUIMessageBox.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MEdit.h"
#include "orvix/platform/Platform.h"
#include "orvix/widgets/CRecordList.h"
#include "storage/DataStore.h"

using namespace Orvix;
using namespace MacroPageText;

// ---------------------------------------------------------------- the events

void MacroEventEditor::LoadMacro() {
    // A delay still being edited belongs to the macro shown so far: it is saved there.
    if (auto* list = m_page.GetControlAs<CRecordList>(MacroPage::IDC_EVENT_LIST); list && list->GetEditItem() >= 0)
        list->HideEdit();
    ClearEvents();
    const int32_t id = m_page.GetSelectedMacro();
    m_loadedMacro = id;
    MacroData macro;
    if (id <= 0 || !m_host.GetStore().GetMacro(id, macro)) {
        UpdateCounter();
        return;
    }
    SetDelayRadios(macro.delayType, macro.delayTime);
    std::vector<MacroEvent> events;
    m_host.GetStore().ListMacroRecords(id, events);
    if (auto* list = m_page.GetControlAs<CRecordList>(MacroPage::IDC_EVENT_LIST)) {
        for (const MacroEvent& e : events) list->AddString(e.desc, e.type, e.value, e.delayTime);
        list->SetCurSel(-1);
    }
    UpdateCounter();
}

void MacroEventEditor::ClearEvents() {
    if (auto* list = m_page.GetControlAs<CRecordList>(MacroPage::IDC_EVENT_LIST)) {
        list->HideEdit();
        list->DeleteAllItems();
    }
}

void MacroEventEditor::SetDelayRadios(int delayType, int delayTime) {
    const UINT checked = delayType == kDelayNone    ? MacroPage::IDC_DELAY_NONE
                         : delayType == kDelayFixed ? MacroPage::IDC_DELAY_FIXED
                                                    : MacroPage::IDC_DELAY_RECORDED;
    if (auto* radio = m_page.GetControlAs<CRadioButton>(checked)) radio->SetCheck(TRUE);
    if (auto* edit = m_page.GetControlAs<MEdit>(MacroPage::IDC_FIXED_DELAY)) {
        edit->SetEnabled(delayType == kDelayFixed ? TRUE : FALSE);
        if (delayType == kDelayFixed) edit->SetControlTitle(std::to_wstring(delayTime).c_str());
    }
}

int MacroEventEditor::DelayTypeFromRadios() const {
    auto checked = [this](UINT id) {
        auto* radio = m_page.GetControlAs<CRadioButton>(id);
        return radio && radio->GetCheck();
    };
    if (checked(MacroPage::IDC_DELAY_NONE)) return kDelayNone;
    if (checked(MacroPage::IDC_DELAY_FIXED)) return kDelayFixed;
    return kDelayRecorded;
}

std::vector<MacroEvent> MacroEventEditor::ListedEvents() const {
    std::vector<MacroEvent> events;
    auto* list = m_page.GetControlAs<CRecordList>(MacroPage::IDC_EVENT_LIST);
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

void MacroEventEditor::Save() {
    // The events listed are those of the macro loaded last, whatever the list selects meanwhile.
    const int32_t id = m_loadedMacro;
    DataStore& store = m_host.GetStore();
    MacroData macro;
    if (id <= 0 || !store.GetMacro(id, macro)) return;
    const int delayType = DelayTypeFromRadios();
    int delayTime = kEventDelay;
    if (delayType == kDelayFixed)
        if (auto* edit = m_page.GetControlAs<MEdit>(MacroPage::IDC_FIXED_DELAY))
            delayTime = ClampDelay(edit->GetEditText(), kMinFixedDelay, kMaxFixedDelay);
    const std::vector<MacroEvent> events = ListedEvents();
    store.RunInTransaction([&] {
        return store.UpdateMacro(id, macro.name, macro.playType, macro.playTimes, delayType, delayTime) &&
               store.DeleteMacroRecords(id) && (events.empty() || store.AddMacroRecords(events));
    });
    m_page.m_library.QueueUpload();
}

void MacroEventEditor::UpdateCounter() {
    auto* list = m_page.GetControlAs<CRecordList>(MacroPage::IDC_EVENT_LIST);
    // The limit is the same for every macro; with none selected the list is empty.
    const int count = list && m_page.GetSelectedMacro() > 0 ? list->GetItemCount() : 0;
    m_page.SetTitle(MacroPage::IDC_COUNTER, std::to_wstring(count) + L"/" + std::to_wstring(kMacroEventLimit));
}

void MacroEventEditor::DeleteSelectedEvent() {
    auto* list = m_page.GetControlAs<CRecordList>(MacroPage::IDC_EVENT_LIST);
    if (!list || m_page.GetSelectedMacro() <= 0) return;
    if (list->DeleteItem(list->GetCurSel())) {
        Save();
        UpdateCounter();
    }
}

void MacroEventEditor::ClearAllEvents() {
    if (m_page.GetSelectedMacro() <= 0) return;
    ClearEvents();
    Save();
    UpdateCounter();
}

// ---------------------------------------------------------------- delays

void MacroEventEditor::OnDelayModeChosen(UINT id) {
    // How the next recording takes its delays: nothing is stored or sent here.
    if (auto* edit = m_page.GetControlAs<MEdit>(MacroPage::IDC_FIXED_DELAY)) {
        edit->SetEnabled(id == MacroPage::IDC_DELAY_FIXED ? TRUE : FALSE);
        if (id == MacroPage::IDC_DELAY_FIXED) edit->SetControlTitle(L"10");
    }
}

void MacroEventEditor::OnFixedDelayClosed() {
    auto* edit = m_page.GetControlAs<MEdit>(MacroPage::IDC_FIXED_DELAY);
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

// ---------------------------------------------------------------- inserting

void MacroEventEditor::ChooseInsertKind(UINT kind) {
    StopKeyCapture();
    m_page.SetControlVisible(MacroPage::IDC_INSERT_KEY, kind == MacroPage::IDC_KIND_KEY);
    m_page.SetControlVisible(MacroPage::IDC_INSERT_BUTTON, kind == MacroPage::IDC_KIND_BUTTON);
    m_page.SetControlVisible(MacroPage::IDC_INSERT_WHEEL, kind == MacroPage::IDC_KIND_WHEEL);
    m_page.SetControlVisible(MacroPage::IDC_INSERT_DELAY, kind == MacroPage::IDC_KIND_DELAY);
    m_page.SetControlVisible(MacroPage::IDC_INSERT_UNIT, kind == MacroPage::IDC_KIND_DELAY);
    if (kind == MacroPage::IDC_KIND_KEY) {
        m_capturedVk = 0;
        m_capturedName.clear();
        if (auto* edit = m_page.GetControlAs<MEdit>(MacroPage::IDC_INSERT_KEY)) edit->SetControlTitle(L"");
    } else if (kind == MacroPage::IDC_KIND_BUTTON) {
        if (auto* buttons = m_page.GetControlAs<MComboBox>(MacroPage::IDC_INSERT_BUTTON)) buttons->SetCurSel(0);
    } else if (kind == MacroPage::IDC_KIND_WHEEL) {
        if (auto* wheel = m_page.GetControlAs<MComboBox>(MacroPage::IDC_INSERT_WHEEL)) wheel->SetCurSel(0);
    } else if (kind == MacroPage::IDC_KIND_DELAY) {
        if (auto* edit = m_page.GetControlAs<MEdit>(MacroPage::IDC_INSERT_DELAY)) edit->SetControlTitle(L"10");
    }
}

void MacroEventEditor::OnInsertKeyNotify(UINT code) {
    if (code == Notify::EditOpened) {
        StartKeyCapture();
    } else if (code == Notify::EditEnded) {
        // A key that closes the edit as it goes down still counts: its event is
        // on its way, so the reader stops after it.
        Platform::PostTask([alive = std::weak_ptr<int>(m_alive), this, generation = m_captureGeneration] {
            if (alive.lock() && generation == m_captureGeneration) StopKeyCapture();
        });
    } else if (code == Notify::TextChanged && m_page.GetInputMode() == MacroPage::kInputInsertKey) {
        // Typing does not edit the field: it shows the captured key.
        if (auto* edit = m_page.GetControlAs<MEdit>(MacroPage::IDC_INSERT_KEY);
            edit && edit->GetEditText() != m_capturedName)
            edit->SetControlTitle(m_capturedName.c_str());
    }
}

void MacroEventEditor::OnInsertDelayClosed() {
    if (auto* edit = m_page.GetControlAs<MEdit>(MacroPage::IDC_INSERT_DELAY))
        edit->SetControlTitle(
            std::to_wstring(ClampDelay(edit->GetEditText(), kMinInsertDelay, kMaxInsertDelay)).c_str());
}

void MacroEventEditor::StartKeyCapture() {
    auto* key = m_page.GetControlAs<CRadioButton>(MacroPage::IDC_KIND_KEY);
    if (!key || !key->GetCheck() || m_page.IsRecording()) return;
    ++m_captureGeneration;
    m_capturedVk = 0;
    m_capturedName.clear();
    if (auto* edit = m_page.GetControlAs<MEdit>(MacroPage::IDC_INSERT_KEY)) edit->SetControlTitle(L"");
    m_page.StartInput(MacroPage::kInputInsertKey);
}

void MacroEventEditor::StopKeyCapture() {
    if (m_page.GetInputMode() != MacroPage::kInputInsertKey) return;
    m_page.StopInput();
}

void MacroEventEditor::OnKeyInput(const InputEvent& event) {
    if (event.kind != kInputKeyboard || event.name.empty()) return;
    m_capturedVk = event.code;
    m_capturedName = event.name;
    if (auto* edit = m_page.GetControlAs<MEdit>(MacroPage::IDC_INSERT_KEY)) {
        edit->SetControlTitle(event.name.c_str());
        edit->UpdateControl(TRUE);
    }
}

void MacroEventEditor::InsertEvents() {
    StopKeyCapture();
    auto* list = m_page.GetControlAs<CRecordList>(MacroPage::IDC_EVENT_LIST);
    if (!list || m_page.GetSelectedMacro() <= 0) return;
    if (list->GetItemCount() >= kMacroEventLimit) {
        m_host.ShowMessage(kTextInsertTitle, kTextTooManyEvents, CUIMessageBox::kKindOk);
        return;
    }
    if (list->GetItemCount() == 0) {
        m_host.ShowMessage(kTextInsertTitle, kTextNoEvents, CUIMessageBox::kKindOk);
        return;
    }
    auto checked = [this](UINT id) {
        auto* radio = m_page.GetControlAs<CRadioButton>(id);
        return radio && radio->GetCheck();
    };
    std::vector<MacroEvent> events;
    if (checked(MacroPage::IDC_KIND_KEY)) {
        if (m_capturedVk < 1) {
            m_host.ShowMessage(kTextInsertTitle, kTextNoKey, CUIMessageBox::kKindOk);
            return;
        }
        events = KeyPressEvents(m_capturedVk, m_capturedName);
    } else if (checked(MacroPage::IDC_KIND_BUTTON)) {
        auto* buttons = m_page.GetControlAs<MComboBox>(MacroPage::IDC_INSERT_BUTTON);
        if (buttons && buttons->GetCurSel() >= 0) events = ButtonPressEvents(int(buttons->GetCurData()));
    } else if (checked(MacroPage::IDC_KIND_WHEEL)) {
        auto* wheel = m_page.GetControlAs<MComboBox>(MacroPage::IDC_INSERT_WHEEL);
        events.push_back(WheelEvent(!wheel || wheel->GetCurData() != 0));
    }
    // A pair would pass the limit by one: only whole pairs are inserted.
    if (list->GetItemCount() + int(events.size()) > kMacroEventLimit) {
        m_host.ShowMessage(kTextInsertTitle, kTextTooManyEvents, CUIMessageBox::kKindOk);
        return;
    }
    auto* where = m_page.GetControlAs<MComboBox>(MacroPage::IDC_INSERT_WHERE);
    int at = InsertPosition(list->GetCurSel(), where && where->GetCurData() == 1, list->GetItemCount());
    if (checked(MacroPage::IDC_KIND_DELAY)) {
        // A pause is the delay after an event: the one before the insert position.
        if (at == 0) {
            m_host.ShowMessage(kTextInsertTitle, kTextPauseNeedsEvent, CUIMessageBox::kKindOk);
            return;
        }
        auto* edit = m_page.GetControlAs<MEdit>(MacroPage::IDC_INSERT_DELAY);
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
