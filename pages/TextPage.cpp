#include "pages/TextPage.h"

#include <cmath>
#include <vector>

#include "pages/MainPageHost.h"
#include "pages/PagePlacement.h"
#include "base/ButtonFunction.h"
#include "features/TextLibrary.h"
#include "orvix/controls/MEdit.h"
#include "orvix/core/MScroll.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/platform/Fonts.h"
#include "orvix/widgets/MacroList.h"
#include "device/WorkerTask.h"
#include "storage/DataStore.h"

using namespace Orvix;

namespace {


constexpr int kTextCaption = 450;
constexpr int kTextSubtitle = 451;
constexpr int kTextContent = 452;
constexpr int kTextCharacterMap = 453;
constexpr int kTextNewName = 455;
constexpr int kTextNew = 353;
constexpr int kTextDelete = 354;
constexpr int kTextClear = 404;
constexpr int kTextSave = 38;
constexpr int kTextNoCharacterMap = 1040;


void Panel(MPicture* panel, const wchar_t* image) {
    if (!panel) return;
    panel->SetImage(image, 1);
    panel->SetShowMode(SHOW_MODE_NINE, 8);
}

}  // namespace

// ---------------------------------------------------------------- building

void TextPage::Create() {
    AddArea(IDC_AREA, kTextCaption);
    if (auto* subtitle = AddLabel(IDC_SUBTITLE, CRect(), Text(kTextSubtitle), 13))
        subtitle->SetTextColor(kPageDimTextColor);

    Panel(AddControlAs<MPicture>(L"MPicture", IDC_LIST_PANEL, CRect()), L"img_area_content.png");
    if (auto* list = AddControlAs<MacroList>(L"MacroList", IDC_LIST, CRect())) {
        list->SetImage(L"img_macro_item.png", 2);
        list->SetFont(kEmbeddedFontFamily, 14, 0);
        list->SetTextColor(Color(0xFFB8D3EF));
        list->EnableShowEdit(TRUE);
    }
    AddButton(IDC_NEW, CRect(), Text(kTextNew));
    AddButton(IDC_DELETE, CRect(), Text(kTextDelete));

    Panel(AddControlAs<MPicture>(L"MPicture", IDC_EDITOR_PANEL, CRect()), L"img_area2.png");
    AddLabel(IDC_CONTENT_CAPTION, CRect(), Text(kTextContent), 15);
    if (auto* edit = AddControlAs<MEdit>(L"MEdit", IDC_EDITOR, CRect())) {
        edit->SetImage(L"img_edit.png", 4);
        edit->SetFont(kEmbeddedFontFamily, 14, 0);
        edit->SetTextColor(kPageTextColor);
        edit->SetAlignment(0, 0);
        edit->EnableMultLine(TRUE);
        edit->SetLimitText(kTextContentLimit);
    }
    if (auto* button = AddControlAs<MControlFont>(L"CImageButton", IDC_CHARACTER_MAP, CRect()))
        button->SetImage(L"img_btn_abc.png", 4);
    UpdateCharacterMapButton();
    AddButton(IDC_CLEAR, CRect(), Text(kTextClear));
    AddButton(IDC_SAVE, CRect(), Text(kTextSave));
    if (auto* counter = AddLabel(IDC_COUNTER, CRect(), TextCounter(0), 14)) counter->SetTextColor(kPageDimTextColor);
    UpdateControlStates();
    SetLabels({{IDC_LIST, IDC_AREA + 2}, {IDC_EDITOR, IDC_CONTENT_CAPTION}});
}

void TextPage::Layout(double scale) {
    const CRect page = m_container.GetRect();
    PlaceArea(IDC_AREA, CRect(page.left + 20, page.top + 15, page.right - 20, page.bottom - 15));
    const PagePlacement at(page, scale);
    // The page's size in the 780-pixel layout: the right-hand side follows the window.
    const int w = int(std::lround(page.Width() / scale));
    const int h = int(std::lround(page.Height() / scale));
    const int buttonsTop = h - 86, buttonsBottom = buttonsTop + 36;

    Place(IDC_SUBTITLE, at.Edges(40, 62, w - 40, 86));

    Place(IDC_LIST_PANEL, at.Edges(40, 96, 360, h - 35));
    if (auto* list = GetControlAs<MacroList>(IDC_LIST)) list->SetScaleValue(float(scale));
    Place(IDC_LIST, at.Edges(50, 106, 350, buttonsTop - 14));
    Place(IDC_NEW, at.Edges(55, buttonsTop, 195, buttonsBottom));
    Place(IDC_DELETE, at.Edges(205, buttonsTop, 345, buttonsBottom));

    Place(IDC_EDITOR_PANEL, at.Edges(380, 96, w - 40, h - 35));
    Place(IDC_CONTENT_CAPTION, at.Edges(400, 104, w - 110, 140));
    // The button keeps its drawn size; only its place follows the layout.
    if (MControl* button = GetControl(IDC_CHARACTER_MAP)) {
        const int left = at.X(w - 88), top = at.Y(108);
        button->SetControlRect(CRect(left, top, left + 28, top + 28));
    }
    Place(IDC_EDITOR, at.Edges(400, 146, w - 60, buttonsTop - 14));
    Place(IDC_COUNTER, at.Edges(402, buttonsTop, 600, buttonsBottom));
    Place(IDC_CLEAR, at.Edges(w - 340, buttonsTop, w - 205, buttonsBottom));
    Place(IDC_SAVE, at.Edges(w - 195, buttonsTop, w - 60, buttonsBottom));
}

void TextPage::OnLanguageChanged() {
    auto title = [this](UINT id, int textId) {
        if (auto* control = GetControlAs<MControlFont>(id)) control->SetTitle(Text(textId));
    };
    title(IDC_AREA + 2, kTextCaption);
    title(IDC_SUBTITLE, kTextSubtitle);
    title(IDC_CONTENT_CAPTION, kTextContent);
    title(IDC_NEW, kTextNew);
    title(IDC_DELETE, kTextDelete);
    title(IDC_CLEAR, kTextClear);
    title(IDC_SAVE, kTextSave);
    UpdateCharacterMapButton();

    // The examples are shown in the new language; the user's own names stay.
    auto* list = GetControlAs<MacroList>(IDC_LIST);
    if (!list) return;
    DataStore& store = m_host.GetStore();
    for (int row = 0; row < list->GetItemCount(); ++row) {
        std::wstring name;
        if (store.GetTextName(int32_t(list->GetItemData(row)), name))
            list->ModifyItemString(row, DisplayedTextName(name).c_str());
    }
    std::wstring content;
    if (EditorText() == m_shownContent && store.GetTextContent(GetSelectedTextId(), content))
        ShowContent(DisplayedTextContent(content));
}

void TextPage::OnShow(bool shown) {
    // A character map installed meanwhile is found when the page is shown.
    if (shown) UpdateCharacterMapButton();
}

void TextPage::OnPageEvent(PageEvent event) {
    // Each model has its own store and so its own library.
    if (event == PageEvent::ModelChanged) LoadTexts();
}

// ---------------------------------------------------------------- the library

int32_t TextPage::GetSelectedTextId() const {
    auto* list = GetControlAs<MacroList>(IDC_LIST);
    return list && list->GetCurSel() >= 0 ? int32_t(list->GetCurData()) : 0;
}

std::wstring TextPage::EditorText() const {
    auto* edit = GetControlAs<MEdit>(IDC_EDITOR);
    return edit ? edit->GetEditText() : L"";
}

void TextPage::LoadTexts() {
    auto* list = GetControlAs<MacroList>(IDC_LIST);
    if (!list) return;
    if (list->GetEditItem() >= 0) list->HideEdit();
    list->DeleteAllItems();
    ShowContent(L"");
    DataStore& store = m_host.GetStore();
    CreateExampleTexts(store, [](int textId) { return Text(textId); });
    std::vector<TextData> texts;
    store.ListTexts(texts);
    for (const TextData& text : texts) list->AddString(DisplayedTextName(text.name).c_str(), text.textId, -1);
    if (MScroll* bar = list->GetScrollVertical()) bar->SetScrollCurrentPos(0);
    SelectRow(texts.empty() ? -1 : 0);
}

void TextPage::SelectRow(int row) {
    auto* list = GetControlAs<MacroList>(IDC_LIST);
    if (!list) return;
    list->SetCurSel(row);
    std::wstring content;
    if (row >= 0 && m_host.GetStore().GetTextContent(GetSelectedTextId(), content))
        ShowContent(DisplayedTextContent(content));
    else
        ShowContent(L"");
    UpdateControlStates();
}

void TextPage::ShowContent(const std::wstring& shown) {
    m_shownContent = shown;
    if (auto* edit = GetControlAs<MEdit>(IDC_EDITOR)) {
        edit->SetControlTitle(shown.c_str());
        edit->UpdateControl(TRUE);
    }
    ShowCounter();
}

void TextPage::ShowCounter() {
    if (auto* counter = GetControlAs<MControlFont>(IDC_COUNTER))
        counter->SetTitle(TextCounter(EditorText().size()));
}

void TextPage::UpdateControlStates() {
    // Without a selected text there is nothing to edit, save, clear or delete.
    const BOOL selected = GetSelectedTextId() != 0 ? TRUE : FALSE;
    for (UINT id : {IDC_EDITOR, IDC_DELETE, IDC_CLEAR, IDC_SAVE})
        if (MControl* control = GetControl(id)) control->SetEnabled(selected);
}

void TextPage::LibraryChanged() {
    m_host.BroadcastPageEvent(PageEvent::TextLibraryChanged, this);
}

void TextPage::OnRenamed(int row) {
    auto* list = GetControlAs<MacroList>(IDC_LIST);
    if (!list || row < 0 || row >= list->GetItemCount()) return;
    const int32_t textId = int32_t(list->GetItemData(row));
    DataStore& store = m_host.GetStore();
    const std::wstring name = list->GetItemText(row);
    if (!IsBlankTextName(name) && RenameTextAndCaptions(store, textId, name)) {
        LibraryChanged();
        return;
    }
    // No name, or one the store did not take: the list shows the stored one again.
    std::wstring stored;
    store.GetTextName(textId, stored);
    list->ModifyItemString(row, DisplayedTextName(stored).c_str());
}

void TextPage::NewText() {
    auto* list = GetControlAs<MacroList>(IDC_LIST);
    if (!list) return;
    TextData record;
    record.name = NewTextName(list->GetItemCount(), Text(kTextNewName));
    const int32_t textId = m_host.GetStore().AddText(record);
    if (textId == 0) return;
    const int row = list->AddString(record.name.c_str(), textId, -1);
    SelectRow(row);
    LibraryChanged();
}

void TextPage::DeleteSelected() {
    auto* list = GetControlAs<MacroList>(IDC_LIST);
    const int row = list ? list->GetCurSel() : -1;
    if (row < 0) return;
    if (list->GetEditItem() >= 0) list->HideEdit();
    const int32_t id = GetSelectedTextId();
    DataStore& store = m_host.GetStore();
    bool buttonsChanged = false;
    if (!DeleteLibraryEntry(
            kFuncText, id, list->GetItemText(row), [&] { return store.DeleteText(id); }, buttonsChanged))
        return;
    if (buttonsChanged) m_host.QueueTask(kTaskWriteButtonMap);
    list->DeleteItem(row);
    SelectRow(row - 1);
    LibraryChanged();
}

void TextPage::SaveContent() {
    const int32_t textId = GetSelectedTextId();
    if (textId == 0) return;
    const std::wstring content = EditorText();
    if (m_host.GetStore().SetTextContent(textId, content)) m_shownContent = content;
    ShowCounter();
}

void TextPage::ClearContent() {
    const int32_t textId = GetSelectedTextId();
    if (textId == 0) return;
    ShowContent(L"");
    m_host.GetStore().SetTextContent(textId, L"");
}

// ---------------------------------------------------------------- the character map

void TextPage::UpdateCharacterMapButton() {
    m_characterMap = FindCharacterMapCommand();
    MControl* button = GetControl(IDC_CHARACTER_MAP);
    if (!button) return;
    button->SetEnabled(m_characterMap.empty() ? FALSE : TRUE);
    button->SetTooltip(Text(m_characterMap.empty() ? kTextNoCharacterMap : kTextCharacterMap).c_str());
}

void TextPage::OpenCharacterMap() {
    if (m_characterMap.empty() || !StartDesktopCommand(m_characterMap)) UpdateCharacterMapButton();
}

// ---------------------------------------------------------------- notifications

LRESULT TextPage::OnMessage(UINT id, UINT code, WPARAM, LPARAM lParam) {
    switch (id) {
        case IDC_LIST:
            if (code == Notify::Clicked) {
                if (auto* list = GetControlAs<MacroList>(IDC_LIST)) SelectRow(list->GetCurSel());
            } else if (code == Notify::EditEnded) {
                OnRenamed(int(lParam));
            }
            return 1;
        case IDC_EDITOR:
            if (code == Notify::TextChanged) ShowCounter();
            return 1;
        case IDC_NEW:
            if (code == Notify::Clicked) NewText();
            return 1;
        case IDC_DELETE:
            if (code == Notify::Clicked) DeleteSelected();
            return 1;
        case IDC_SAVE:
            if (code == Notify::Clicked) SaveContent();
            return 1;
        case IDC_CLEAR:
            if (code == Notify::Clicked) ClearContent();
            return 1;
        case IDC_CHARACTER_MAP:
            if (code == Notify::Clicked) OpenCharacterMap();
            return 1;
        default:
            return 0;
    }
}
