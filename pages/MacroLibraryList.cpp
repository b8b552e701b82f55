#include "pages/MacroLibraryList.h"

#include <algorithm>
#include <cmath>

#include "device/DeviceMainDef.h"
#include "pages/ExchangeFileUi.h"
#include "pages/MacroPage.h"
#include "pages/MacroPageText.h"
#include "pages/MainPageHost.h"
#include "exchange/ExchangeFiles.h"
#include "base/ButtonFunction.h"
#include "orvix/controls/MenuWnd.h"
#include "orvix/core/MDialog.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"
#include "orvix/widgets/MacroList.h"
#include "protocol/MacroImage.h"
#include "protocol/Report.h"
#include "device/WorkerTask.h"
#include "storage/DataStore.h"

using namespace Orvix;
using namespace MacroPageText;

MacroList* MacroLibraryList::List() const { return m_page.GetControlAs<MacroList>(MacroPage::IDC_MACRO_LIST); }

int32_t MacroLibraryList::GetSelectedMacro() const {
    auto* list = List();
    return list && list->GetCurSel() >= 0 ? int32_t(list->GetCurData()) : 0;
}

void MacroLibraryList::SelectMacro(int32_t macroId) {
    auto* list = List();
    if (!list) return;
    list->SetCurSel(list->FindItemData(macroId));
    m_page.m_editor.LoadMacro();
}

void MacroLibraryList::Fill(int32_t select) {
    auto* list = List();
    if (!list) return;
    list->DeleteAllItems();
    std::vector<MacroData> macros;
    m_host.GetStore().ListMacros(macros);
    const std::wstring word = MacroPage::Text(kTextMacro);
    for (const MacroData& macro : macros)
        list->AddString(MacroDisplayName(macro.name, word).c_str(), macro.macroId, -1);
    list->SetCurSel(select > 0 ? list->FindItemData(select) : -1);
    m_page.m_editor.LoadMacro();
    UpdateMemory();
}

void MacroLibraryList::QueueUpload(bool buttonsChanged) {
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

void MacroLibraryList::UpdateMemory() {
    std::vector<int32_t> ids;
    std::vector<std::vector<MacroEvent>> events;
    m_host.GetStore().ListMacroLibrary(ids, events);
    std::vector<bool> onMouse;
    m_memoryUsed = BuildMacroImage(events, &onMouse).size();
    m_leftOut.clear();
    for (size_t i = 0; i < ids.size(); ++i)
        if (!onMouse[i]) m_leftOut.push_back(ids[i]);

    if (auto* list = List())
        for (int row = 0; row < list->GetItemCount(); ++row) {
            const bool out =
                std::count(m_leftOut.begin(), m_leftOut.end(), int32_t(list->GetItemData(row))) > 0;
            list->SetItemTextColor(row, out ? kLeftOutColor : Color());
        }
    std::wstring text = MacroPage::Text(kTextMemory);
    text = ReplaceField(text, L"{used}", std::to_wstring(m_memoryUsed));
    text = ReplaceField(text, L"{size}", std::to_wstring(kMacroImageMax));
    text = ReplaceField(text, L"{count}", std::to_wstring(ids.size() - m_leftOut.size()));
    text = ReplaceField(text, L"{slots}", std::to_wstring(kMacroPositions));
    if (!m_leftOut.empty()) text += L"\n" + MacroPage::Text(kTextMemoryLeftOut);
    m_page.SetTitle(MacroPage::IDC_MEMORY, text);
    if (auto* memory = m_page.GetControlAs<MControlFont>(MacroPage::IDC_MEMORY))
        memory->SetTextColor(m_leftOut.empty() ? kMemoryColor : kLeftOutColor);
}

void MacroLibraryList::LibraryChanged() { m_host.BroadcastPageEvent(PageEvent::MacroLibraryChanged, &m_page); }

void MacroLibraryList::NewMacro() {
    auto* list = List();
    if (!list) return;
    std::vector<std::wstring> names;
    for (int i = 0; i < list->GetItemCount(); ++i) names.push_back(list->GetItemText(i));
    const std::wstring name = NewMacroName(MacroPage::Text(kTextMacro), names);
    const int32_t id = m_host.GetStore().AddMacro(name);
    if (id <= 0) return;
    list->AddString(MacroDisplayName(name, MacroPage::Text(kTextMacro)).c_str(), id, -1);
    SelectMacro(id);
    QueueUpload();
    LibraryChanged();
}

void MacroLibraryList::OpenItemMenu() {
    if (GetSelectedMacro() <= 0) return;
    const CPoint cursor = Platform::GetCursorPos();
    auto* menu = new MenuWnd();  // deletes itself when it closes
    if (!menu->Create(m_host.GetDialog().GetSafeHwnd(), CPoint(cursor.x + 2, cursor.y + 2), WM_MACRO_MENU,
                      int(std::lround(160 * m_page.GetScale())))) {
        delete menu;
        return;
    }
    menu->SetMenuFont(kEmbeddedFontFamily, 14, 0);
    menu->AddMenu(MacroPage::Text(kTextCopy).c_str(), UINT(MacroPage::kMenuCopy), L"img_menu_copy.png");
    menu->AddMenu(MacroPage::Text(kTextDelete).c_str(), UINT(MacroPage::kMenuDelete), L"img_menu_delete.png");
}

void MacroLibraryList::CopyMacro() {
    const int32_t id = GetSelectedMacro();
    DataStore& store = m_host.GetStore();
    MacroData macro;
    if (id <= 0 || !store.GetMacro(id, macro)) return;
    std::vector<MacroEvent> events;
    store.ListMacroRecords(id, events);
    int32_t copy = 0;
    const bool stored = store.RunInTransaction([&] {
        copy = store.AddMacroFull(macro.name + L" " + MacroPage::Text(kTextCopySuffix), macro.playType,
                                  macro.playTimes, macro.delayType, macro.delayTime);
        if (copy <= 0) return false;
        for (MacroEvent& e : events) e.macroId = copy;
        return events.empty() || store.AddMacroRecords(events);
    });
    if (!stored) return;
    Fill(copy);
    QueueUpload();
    LibraryChanged();
}

void MacroLibraryList::DeleteMacro() {
    auto* list = List();
    const int32_t id = GetSelectedMacro();
    if (!list || id <= 0) return;
    const int row = list->GetCurSel();
    DataStore& store = m_host.GetStore();
    bool buttonsChanged = false;
    if (!m_page.DeleteLibraryEntry(
            kFuncMacro, id, list->GetItemText(row), [&] { return store.DeleteMacro(id); }, buttonsChanged))
        return;
    list->DeleteItem(row);
    list->SetCurSel(row - 1);  // the macro before it; none after the first
    m_page.m_editor.LoadMacro();
    QueueUpload(buttonsChanged);
    LibraryChanged();
}

void MacroLibraryList::RenameMacro(int row) {
    auto* list = List();
    if (!list || row < 0 || row >= list->GetItemCount()) return;
    const int32_t id = int32_t(list->GetItemData(row));
    DataStore& store = m_host.GetStore();
    MacroData macro;
    if (!store.GetMacro(id, macro)) return;
    const std::wstring word = MacroPage::Text(kTextMacro);
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
        if (key.macroType == kFuncMacro && key.macroValue == id) store.SetKeyDescription(profile, key.keyCode, shown);
    LibraryChanged();
}

// ---------------------------------------------------------------- macro files

void MacroLibraryList::ImportMacroFile() {
    std::wstring path;
    if (!ChooseImportFile(m_host, kTextImportMacro, L"Macros (*.xml)", path)) return;
    std::vector<std::wstring> badEntries;
    const int32_t id = ImportMacro(path, m_host.GetStore(), &badEntries);
    if (id <= 0) {
        ShowFileRefusal(m_host, kTextImportMacro, kTextNotMacroFile, path, badEntries);
        return;
    }
    Fill(id);
    QueueUpload();
    LibraryChanged();
}

void MacroLibraryList::ExportMacroFile() {
    const int32_t id = GetSelectedMacro();
    auto* list = List();
    if (id <= 0 || !list) return;
    std::wstring path;
    if (!ChooseExportFile(m_host, kTextExportMacro, L"Macros (*.xml)", list->GetItemText(list->GetCurSel()), path))
        return;
    if (!ExportMacro(path, m_host.GetStore(), id)) ShowFileMessage(m_host, kTextExportMacro, kTextNotWritten, path);
}
