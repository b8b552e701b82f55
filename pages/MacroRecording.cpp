#include "pages/MacroRecording.h"

#include "pages/MacroPage.h"
#include "pages/MacroPageText.h"
#include "pages/MainPageHost.h"
#include "dialogs/CUIMessageBox.h"
#include "orvix/controls/CIconButton.h"
#include "orvix/controls/MEdit.h"
#include "orvix/core/MDialog.h"
#include "orvix/platform/Platform.h"
#include "orvix/widgets/CRecordList.h"

using namespace Orvix;
using namespace MacroPageText;

namespace {

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

}  // namespace

void MacroRecording::Toggle() {
    if (m_page.GetSelectedMacro() <= 0) {
        m_host.ShowMessage(kTextRecord, kTextNoMacro, CUIMessageBox::kKindOk);
        return;
    }
    auto* list = m_page.GetControlAs<CRecordList>(MacroPage::IDC_EVENT_LIST);
    if (list && list->GetItemCount() >= kMacroEventLimit) {
        if (m_page.IsRecording()) Stop(true);
        m_host.ShowMessage(kTextMacro, kTextTooManyEvents, CUIMessageBox::kKindOk);
        return;
    }
    if (m_page.IsRecording())
        Stop(true);
    else
        Start();
}

void MacroRecording::Start() {
    m_page.m_editor.StopKeyCapture();
    const int delayType = m_page.m_editor.DelayTypeFromRadios();
    int fixedDelay = kMinFixedDelay;
    if (auto* edit = m_page.GetControlAs<MEdit>(MacroPage::IDC_FIXED_DELAY); edit && delayType == kDelayFixed) {
        if (edit->GetEditText().empty()) edit->SetControlTitle(L"10");
        fixedDelay = ClampDelay(edit->GetEditText(), kMinFixedDelay, kMaxFixedDelay);
    }
    m_recorder.Start(delayType, fixedDelay);
    if (!m_page.StartInput(MacroPage::kInputRecording)) return;
    if (auto* record = m_page.GetControlAs<CIconButton>(MacroPage::IDC_RECORD)) {
        record->SetTitle(MacroPage::Text(kTextStop));
        record->SetIconImage(L"icon/icon_stop_rec.png", 4);
    }
    EnableControls(false);
}

void MacroRecording::Stop(bool save) {
    m_page.StopInput();
    if (auto* record = m_page.GetControlAs<CIconButton>(MacroPage::IDC_RECORD)) {
        record->SetTitle(MacroPage::Text(kTextRecord));
        record->SetIconImage(L"icon/icon_rec.png", 4);
    }
    EnableControls(true);
    if (save) m_page.m_editor.Save();
    m_page.m_editor.UpdateCounter();
}

void MacroRecording::EnableControls(bool enable) {
    const BOOL on = enable ? TRUE : FALSE;
    for (UINT id : kPageControls)
        if (MControl* control = m_page.GetControl(id)) control->SetEnabled(on);
    if (enable)
        if (MControl* edit = m_page.GetControl(MacroPage::IDC_FIXED_DELAY))
            edit->SetEnabled(m_page.m_editor.DelayTypeFromRadios() == kDelayFixed);
    // No other page, no other profile meanwhile.
    m_host.EnableNavigation(enable);
}

bool MacroRecording::PointerOverRecordButton() const {
    MControl* record = m_page.GetControl(MacroPage::IDC_RECORD);
    if (!record) return false;
    POINT pt = Platform::GetCursorPos();
    Platform::ScreenToClient(m_host.GetDialog().GetSafeHwnd(), pt);
    CRect rect = record->GetRect();
    const CPoint offset = MPanel::GetContentOffset(record);
    rect.OffsetRect(-offset.x, -offset.y);
    return rect.PtInRect(CPoint(pt.x, pt.y));
}

void MacroRecording::OnInput(const InputEvent& event) {
    auto* list = m_page.GetControlAs<CRecordList>(MacroPage::IDC_EVENT_LIST);
    if (!list) return;
    const uint64_t at = event.timeMs ? event.timeMs : Platform::GetTickCount();
    const RecordStep step = m_recorder.Feed(event, at, PointerOverRecordButton(), list->GetItemCount());
    if (!step.taken) return;
    if (step.previousDelay > 0) list->UpdateDelayTime(step.previousDelay);
    if (step.stopBefore) {
        Stop(true);
        return;
    }
    list->AddString(step.event.desc, step.event.type, step.event.value, step.event.delayTime);
    m_page.m_editor.UpdateCounter();
    if (step.stopAfter) Stop(true);
}
