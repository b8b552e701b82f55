#include "pages/KeyPage.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cwctype>

#include "device/DeviceMainDef.h"
#include "pages/MainPageHost.h"
#include "pages/PagePlacement.h"
#include "device/DeviceCatalog.h"
#include "dialogs/CUIMessageBox.h"
#include "base/ButtonFunction.h"
#include "features/KeyApplyDecision.h"
#include "base/KeyCodes.h"
#include "features/MacroEditing.h"
#include "features/TextLibrary.h"
#include "orvix/controls/CImageButton.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/MButton3.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MEdit.h"
#include "orvix/core/MDialog.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "base/TextConv.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"
#include "orvix/widgets/KeyFuncType.h"
#include "orvix/widgets/KeyFuncValue.h"
#include "orvix/widgets/MouseCtrl.h"
#include "platform/AppLaunch.h"
#include "dialogs/FileDialog.h"
#include "base/ParseInt.h"
#include "platform/RawInputReader.h"
#include "device/WorkerTask.h"
#include "storage/DataStore.h"

using namespace Orvix;

namespace {


constexpr int kCaptionText = 72;
constexpr int kTextButtonPlaceholder = 103;
constexpr int kTextKeyPrompt = 162;
constexpr int kTextChooseProgram = 218;
constexpr int kTextDisabled = 139;
constexpr int kTextApply = 38;
constexpr int kTextRestore = 21;
constexpr int kTextLeftButtonTitle = 608;
constexpr int kTextLeftButtonMessage = 609;
constexpr int kTextRestoreQuestion = 752;
constexpr int kTextRestoreTitle = 753;
constexpr int kTextFirstKeyGroup = 760;       // 760 capture, 761 to 766 the key groups
constexpr int kTextFirstShortcutGroup = 767;  // 767 to 772
constexpr int kTextFirstPlayMode = 601;       // 601 to 604
constexpr int kTextMacro = 351;
constexpr int kTextApplication = 970;
constexpr int kTextNotAProgram = 971;
constexpr int kTextWebAddress = 972;
constexpr int kTextBadAddress = 973;
constexpr int kTextProgramGone = 974;
constexpr int kTextNoMacro = 1154;
constexpr int kTextOpenMacros = 1155;
constexpr int kTextNoProgram = 1156;
constexpr int kTextNoSuchProgram = 1157;
constexpr int kTextNoAddress = 1158;

// Program paths and web addresses of ordinary length: the field scrolls.
constexpr int kPathLimit = 4096;
constexpr int kCaptureLimit = 20;
constexpr int kCountLimit = 3;


// Page layout (780-pixel-high coordinates from the page's corner).
constexpr int kValueLeft = 240;
constexpr int kButtonPadding = 14;  // each side of a button's caption
constexpr int kValueWidth = 220;
// Midway between the dots of the left and right buttons in the description's
// label coordinates.
constexpr int kMapButtonsCentre = 280;

// The top of the apply and restore buttons for each type (780-pixel layout).
int ApplyButtonsTop(int type) {
    switch (type) {
        case kFuncMouse:
        case kFuncMultimedia:
            return 570;
        case kFuncKey:
            return 330;
        case kFuncMacro:
            return 400;
        case kFuncShortcut:
            return 270;
        case kFuncLaunch:
        case kFuncWeb:
        case kFuncText:
            return 240;
        default:
            return 210;
    }
}

bool IsExecutableFile(const std::wstring& path) {
    struct stat st {};
    const std::string p = WideToUtf8(path);
    return stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(p.c_str(), X_OK) == 0;
}

// What a launch button may start: an executable file, or an application entry
// the desktop would start (the launch goes the same way).
bool IsStartable(const std::wstring& path) {
    return IsLaunchable(WideToUtf8(path));
}

// A typed program: "~/" is the home folder, and a bare name is looked up on PATH
// as a shell would (the program is still started by its full path).
std::wstring ResolveProgramPath(std::wstring path) {
    while (!path.empty() && std::iswspace(wint_t(path.back()))) path.pop_back();
    while (!path.empty() && std::iswspace(wint_t(path.front()))) path.erase(0, 1);
    if (path.rfind(L"~/", 0) == 0) {
        if (const char* home = std::getenv("HOME")) path = Utf8ToWide(home) + path.substr(1);
    } else if (!path.empty() && path.find(L'/') == std::wstring::npos) {
        const char* dirs = std::getenv("PATH");
        std::wstring list = Utf8ToWide(dirs ? dirs : "/usr/bin:/bin");
        size_t start = 0;
        while (start <= list.size()) {
            const size_t end = std::min(list.find(L':', start), list.size());
            const std::wstring dir = list.substr(start, end - start);
            if (!dir.empty() && IsExecutableFile(dir + L"/" + path)) return dir + L"/" + path;
            start = end + 1;
        }
    }
    return path;
}

}  // namespace

KeyPage::KeyPage(MainPageHost& host, MPanel& container) : MainPage(host, container) {}

KeyPage::~KeyPage() {
    if (m_reader) m_reader->Release();
}

// ---------------------------------------------------------------- building

void KeyPage::Create() {
    AddArea(IDC_AREA, kCaptionText);

    // The model's picture lies on the page's panel, under the map's lines and dots.
    if (auto* picture = AddControlAs<MPicture>(L"MPicture", IDC_MOUSE_PICTURE, CRect())) {
        picture->SetShowMode(SHOW_MODE_NATURAL, 0);
        picture->SetVisible(FALSE);
    }
    if (auto* map = AddControlAs<MouseCtrl>(L"MouseCtrl", IDC_BUTTON_MAP, CRect())) {
        map->SetImage(L"img_key_bkg.png", 2);
    }
    if (auto* types = AddControlAs<KeyFuncType>(L"KeyFuncType", IDC_TYPE_LIST, CRect())) {
        for (const FunctionTypeEntry& entry : kFunctionTypes)
            types->AddItem(Text(entry.textId), entry.type, entry.icon);
    }
    AddLabel(IDC_TYPE_CAPTION, CRect(), L"", 16);

    for (UINT id : {IDC_GROUP, IDC_ITEM}) {
        if (auto* combo = AddControlAs<MComboBox>(L"MComboBox", id, CRect())) {
            combo->SetBackImage(L"img_combobox.png");
            combo->SetFont(kEmbeddedFontFamily, 14, 0);
        }
    }
    AddControlAs<KeyFuncValue>(L"KeyFuncValue", IDC_VALUE_LIST, CRect());
    // Lists say what they hold: the area's caption, the chosen type's caption.
    SetLabels({{IDC_TYPE_LIST, IDC_AREA + 2}, {IDC_BUTTON_MAP, IDC_AREA + 2}, {IDC_VALUE_LIST, IDC_TYPE_CAPTION}});

    if (auto* edit = AddControlAs<MEdit>(L"MEdit", IDC_PATH_EDIT, CRect())) {
        edit->SetImage(L"img_edit.png", 4);
        edit->SetFont(kEmbeddedFontFamily, 14, 0);
        edit->SetTextColor(kPageTextColor);
        edit->SetLimitText(kPathLimit);
    }
    if (auto* button = AddControlAs<CImageButton>(L"CImageButton", IDC_OPEN_FILE, CRect())) {
        button->SetImage(L"btn_openfile.png", 4);
        button->SetTooltip(Text(kTextChooseProgram).c_str());
    }
    if (auto* edit = AddControlAs<MEdit>(L"MEdit", IDC_CAPTURE, CRect())) {
        edit->SetImage(L"img_edit.png", 4);
        edit->SetFont(kEmbeddedFontFamily, 14, 0);
        edit->SetTextColor(kPageTextColor);
        edit->SetLimitText(kCaptureLimit);
        edit->SetTipInfo(Text(kTextKeyPrompt).c_str());
    }
    const std::pair<UINT, const wchar_t*> toggles[] = {
        {IDC_CTRL, L"Ctrl"}, {IDC_WIN, L"Win"}, {IDC_ALT, L"Alt"}, {IDC_SHIFT, L"Shift"}};
    for (const auto& [id, title] : toggles) {
        if (auto* toggle = AddControlAs<MButton3>(L"MButton3", id, CRect(), title)) {
            toggle->SetImage(L"img_select_button.png", 8);
            toggle->SetFont(kEmbeddedFontFamily, 13, 0);
        }
    }
    for (int i = 0; i < 4; ++i) {
        auto* radio = AddControlAs<CRadioButton>(L"CRadioButton", IDC_RADIO_HELD + UINT(i), CRect(),
                                                 Text(kTextFirstPlayMode + i).c_str());
        if (!radio) continue;
        radio->SetImage(L"btn_radiobox.png", 8);
        radio->SetFont(kEmbeddedFontFamily, 13, 0);
        radio->SetGroupName(L"IDC_MACRO_RADIO_LOOP1");
        radio->EnableMultiLine(TRUE);  // the play modes take two lines in the value column
    }
    if (auto* radio = GetControlAs<CRadioButton>(IDC_RADIO_COUNT)) radio->SetCheck(TRUE);
    if (auto* edit = AddControlAs<MEdit>(L"MEdit", IDC_COUNT, CRect(), L"1")) {
        edit->SetImage(L"img_edit.png", 4);
        edit->SetFont(kEmbeddedFontFamily, 14, 0);
        edit->SetTextColor(kPageTextColor);
        edit->SetNumberOnly(TRUE);
        edit->SetLimitText(kCountLimit);
    }
    if (auto* note = AddLabel(IDC_NO_MACRO, CRect(), Text(kTextNoMacro), 14)) {
        dynamic_cast<MText*>(note)->EnableMultiLine(TRUE);
        note->SetAlignment(0, 0);
    }
    AddButton(IDC_OPEN_MACROS, CRect(), Text(kTextOpenMacros));
    AddButton(IDC_APPLY, CRect(), Text(kTextApply));
    AddButton(IDC_RESTORE, CRect(), Text(kTextRestore));

    HideValueControls();
    LoadButtons();
}

void KeyPage::Layout(double scale) {
    m_scale = scale;
    const CRect page = m_container.GetRect();
    PlaceArea(IDC_AREA, CRect(page.left + 20, page.top + 15, page.right - 20, page.bottom - 15));
    const PagePlacement at(page, scale);
    // The button map lies over the window's picture of the mouse (300 pixels wide,
    // 160 from the right edge, top 145), so that its dots fall on the buttons.
    if (auto* map = GetControlAs<MouseCtrl>(IDC_BUTTON_MAP)) {
        const int pictureCentre = page.right + 1 - 160 - 150;
        const int left = pictureCentre - int(kMapButtonsCentre * scale);
        map->SetControlRect(CRect(left, page.top + 40, page.right - 20, page.top + 40 + int(520 * scale)));
        map->SetScaleValue(float(scale));
    }
    PlaceMousePicture();
    Place(IDC_TYPE_LIST, at.Edges(30, 70, 220, 480));
    const int x = kValueLeft, w = kValueWidth;
    Place(IDC_TYPE_CAPTION, at.Edges(x, 60, x + w, 95));
    Place(IDC_GROUP, at.Edges(x, 100, x + w, 136));
    Place(IDC_VALUE_LIST, at.Edges(x, 100, x + w, 560));
    Place(IDC_PATH_EDIT, at.Edges(x, 100, x + w - 40, 136));
    Place(IDC_OPEN_FILE, at.Edges(x + w - 32, 104, x + w - 4, 132));
    Place(IDC_ITEM, at.Edges(x, 150, x + w, 186));
    Place(IDC_CAPTURE, at.Edges(x, 150, x + w, 186));
    const int toggleWidth = (w - 3 * 6) / 4;
    for (int i = 0; i < 4; ++i)
        Place(IDC_CTRL + UINT(i),
              at.Edges(x + i * (toggleWidth + 6), 200, x + i * (toggleWidth + 6) + toggleWidth, 232));
    for (int i = 0; i < 4; ++i) Place(IDC_RADIO_HELD + UINT(i), at.Edges(x, 144 + 50 * i, x + w, 188 + 50 * i));
    Place(IDC_COUNT, at.Edges(x + 30, 346, x + 110, 382));
    Place(IDC_NO_MACRO, at.Edges(x, 100, x + w, 190));
    Place(IDC_OPEN_MACROS, at.Edges(x, 196, x + w, 232));
    PlaceApplyButtons();
}

void KeyPage::PlaceApplyButtons() {
    const PagePlacement at(m_container.GetRect(), m_scale);
    const int top = ApplyButtonsTop(m_type);
    const int x = kValueLeft;
    // The value column shared by the two buttons as their captions need it (in
    // some languages "Save" is the longer one), the room left split evenly.
    auto need = [this](UINT id) {
        auto* button = GetControlAs<MControlFont>(id);
        return button
                   ? Canvas::MeasureText(button->GetTitle(), button->GetTextStyle()).cx + 2 * kButtonPadding
                   : 0;
    };
    const int gap = 10, width = at.Len(kValueWidth - gap);
    const int applyNeed = need(IDC_APPLY), restoreNeed = need(IDC_RESTORE);
    const int extra = width - applyNeed - restoreNeed;
    const int applyWidth = std::max(0, applyNeed + extra / 2);
    CRect apply = at.Edges(x, top, x, top + 36);
    apply.right = apply.left + applyWidth;
    const int restoreLeft = apply.right + at.Len(gap);
    const CRect restore(restoreLeft, apply.top, apply.left + width + at.Len(gap), apply.bottom);
    Place(IDC_APPLY, apply);
    Place(IDC_RESTORE, restore);
}

void KeyPage::OnLanguageChanged() {
    NameButtons();
    if (auto* caption = GetControlAs<MControlFont>(IDC_AREA + 2)) caption->SetTitle(Text(kCaptionText));
    if (auto* types = GetControlAs<KeyFuncType>(IDC_TYPE_LIST))
        for (size_t i = 0; i < kFunctionTypes.size(); ++i)
            types->SetItemText(int(i), Text(kFunctionTypes[i].textId));
    if (auto* button = GetControlAs<MControlFont>(IDC_APPLY)) button->SetTitle(Text(kTextApply));
    if (auto* button = GetControlAs<MControlFont>(IDC_RESTORE)) button->SetTitle(Text(kTextRestore));
    if (auto* edit = GetControlAs<MEdit>(IDC_CAPTURE)) edit->SetTipInfo(Text(kTextKeyPrompt).c_str());
    if (auto* button = GetControlAs<MControl>(IDC_OPEN_FILE))
        button->SetTooltip(Text(kTextChooseProgram).c_str());
    for (int i = 0; i < 4; ++i)
        if (auto* radio = GetControlAs<MControlFont>(IDC_RADIO_HELD + UINT(i)))
            radio->SetTitle(Text(kTextFirstPlayMode + i));
    if (auto* note = GetControlAs<MControlFont>(IDC_NO_MACRO)) note->SetTitle(Text(kTextNoMacro));
    if (auto* button = GetControlAs<MControlFont>(IDC_OPEN_MACROS)) button->SetTitle(Text(kTextOpenMacros));
    LoadButtons();
}

void KeyPage::OnShow(bool shown) {
    if (!shown) StopCapture();
}

void KeyPage::OnPageEvent(PageEvent event) {
    switch (event) {
        case PageEvent::ProfileChanged:
        case PageEvent::ModelChanged:
            LoadButtons();
            break;
        case PageEvent::MacroLibraryChanged:
        case PageEvent::TextLibraryChanged:
            // A renamed entry renames the buttons that use it.
            RefreshCaptions();
            // The list shown keeps its choice where that entry still exists.
            if ((event == PageEvent::MacroLibraryChanged && m_type == kFuncMacro) ||
                (event == PageEvent::TextLibraryChanged && m_type == kFuncText)) {
                if (auto* group = GetControlAs<MComboBox>(IDC_GROUP)) {
                    const LPARAM chosen = group->GetCurData();
                    group->DelAllItems();
                    if (m_type == kFuncMacro)
                        FillMacros();
                    else
                        FillTexts();
                    if (!group->SelectData(chosen) && group->GetItemCount() > 0) group->SetCurSel(0);
                    if (m_type == kFuncMacro) ShowNoMacroNote(group->GetItemCount() == 0);
                }
            }
            break;
        case PageEvent::DeviceChanged:
            StopCapture();
            break;
    }
}

void KeyPage::Reload() {
    LoadButtons();
}

// ---------------------------------------------------------------- the button map

const KeyRecord* KeyPage::DefaultEntry(int keyCode) const {
    for (const KeyRecord& entry : m_host.GetDescription().defaultButtons)
        if (entry.keyCode == keyCode) return &entry;
    return nullptr;
}

std::wstring KeyPage::DefaultCaption(int keyCode) const {
    const KeyRecord* entry = DefaultEntry(keyCode);
    return entry ? Text(ParseInt(entry->macroDesc)) : L"";
}

void KeyPage::LoadMousePicture() {
    auto* picture = GetControlAs<MPicture>(IDC_MOUSE_PICTURE);
    if (!picture) return;
    const std::optional<std::wstring>& image = m_host.GetDescription().mouseImage;
    if (image && *image != m_pictureFile) {
        m_pictureFile = *image;
        picture->SetImage(image->c_str(), 1);
    }
    picture->SetVisible(image && picture->GetImageSize().cx > 1 ? TRUE : FALSE);
    PlaceMousePicture();
}

void KeyPage::PlaceMousePicture() {
    // Where the window's layout puts the model's picture: 160 pixels from the
    // client's right edge, 145 from its top. The button map is laid over it.
    auto* picture = GetControlAs<MPicture>(IDC_MOUSE_PICTURE);
    if (!picture) return;
    const CSize size = picture->GetImageSize();
    const int right = m_container.GetRect().right + 1;
    picture->SetControlRect(CRect(right - size.cx - 160, 145, right - 160, 145 + size.cy));
}

void KeyPage::LoadButtons() {
    LoadMousePicture();
    auto* map = GetControlAs<MouseCtrl>(IDC_BUTTON_MAP);
    if (!map) return;
    map->DeleteAllItems();
    const DeviceDescription& description = m_host.GetDescription();
    if (description.buttons.empty()) {
        // Before a description is read: six placeholder labels.
        for (int i = 0; i < 6; ++i)
            map->AddItem(Text(kTextButtonPlaceholder) + L" " + std::to_wstring(i + 1), i, i % 2,
                         CPoint(200, 90 + 50 * i), CPoint(300, 90 + 50 * i));
    } else {
        for (size_t i = 0; i < description.buttons.size(); ++i) {
            const DescriptionButton& b = description.buttons[i];
            const std::wstring caption = i < description.defaultButtons.size()
                                             ? Text(ParseInt(description.defaultButtons[i].macroDesc))
                                             : L"";
            map->AddItem(caption, b.keyValue, b.direction, CPoint(b.line.x1, b.line.y),
                         CPoint(b.line.x2, b.line.y));
        }
        std::vector<KeyRecord> keys;
        m_host.GetStore().ListKeys(m_host.GetState().GetCurrentProfile(), keys);
        for (const KeyRecord& key : keys)
            if (key.fnLayer == 0) map->SetItemKeyDesc(key.keyCode, key.macroDesc);
    }
    NameButtons();
    SelectButton(1);
}

void KeyPage::NameButtons() {
    // The labels show the functions; a screen reader also says which button each one is.
    auto* map = GetControlAs<MouseCtrl>(IDC_BUTTON_MAP);
    if (!map) return;
    std::vector<std::wstring> names;
    for (int i = 0; i < map->GetItemCount(); ++i)
        names.push_back(Text(kTextButtonPlaceholder) + L" " + std::to_wstring(i + 1));
    map->SetAccessibleItemNames(std::move(names));
}

void KeyPage::RefreshCaptions() {
    auto* map = GetControlAs<MouseCtrl>(IDC_BUTTON_MAP);
    if (!map || m_host.GetDescription().buttons.empty()) return;
    std::vector<KeyRecord> keys;
    m_host.GetStore().ListKeys(m_host.GetState().GetCurrentProfile(), keys);
    // A button whose assignment went with its macro or text shows its default again.
    for (const DescriptionButton& button : m_host.GetDescription().buttons) {
        std::wstring caption = DefaultCaption(button.keyValue);
        for (const KeyRecord& key : keys)
            if (key.fnLayer == 0 && key.keyCode == button.keyValue) caption = key.macroDesc;
        map->SetItemKeyDesc(button.keyValue, caption);
    }
}

void KeyPage::SelectButton(int index) {
    auto* map = GetControlAs<MouseCtrl>(IDC_BUTTON_MAP);
    if (!map) return;
    map->SetSelectItem(index);
    m_keyCode = map->GetItemKeyValue(index);
    ShowAssignment();
}

void KeyPage::ShowAssignment() {
    StopCapture();
    KeyRecord record;
    const bool found = m_host.GetStore().GetKey(m_host.GetState().GetCurrentProfile(), m_keyCode, record);
    int currentGroup = 1;
    if (auto* group = GetControlAs<MComboBox>(IDC_GROUP); group && m_type == kFuncShortcut)
        currentGroup = int(group->GetCurData());
    ApplyChoice(DecodeKeyRecord(found ? &record : nullptr, m_keyCode, currentGroup ? currentGroup : 1));
}

void KeyPage::ApplyChoice(const KeyPageChoice& choice) {
    auto* types = GetControlAs<KeyFuncType>(IDC_TYPE_LIST);
    if (types) types->SetCurData(choice.type);
    ShowType(choice.type);
    auto* values = GetControlAs<KeyFuncValue>(IDC_VALUE_LIST);
    auto* group = GetControlAs<MComboBox>(IDC_GROUP);
    auto* item = GetControlAs<MComboBox>(IDC_ITEM);
    switch (choice.type) {
        case kFuncMouse:
        case kFuncMultimedia:
            if (values) values->SetCurData(choice.value);
            break;
        case kFuncKey: {
            const std::pair<UINT, bool> toggles[] = {{IDC_CTRL, choice.ctrl},
                                                     {IDC_SHIFT, choice.shift},
                                                     {IDC_ALT, choice.alt},
                                                     {IDC_WIN, choice.win}};
            for (const auto& [id, on] : toggles)
                if (auto* toggle = GetControlAs<MButton3>(id)) toggle->SetCheck(on ? TRUE : FALSE);
            m_capturedVk = choice.capturedVk;
            m_capturedName = choice.keyName;
            if (auto* edit = GetControlAs<MEdit>(IDC_CAPTURE)) edit->SetControlTitle(choice.keyName.c_str());
            break;
        }
        case kFuncMacro: {
            if (group) group->SelectData(choice.value);
            const UINT radio = IDC_RADIO_HELD + UINT(choice.macroRadio - 1);
            if (auto* button = GetControlAs<CRadioButton>(radio)) button->SetCheck(TRUE);
            if (auto* count = GetControlAs<MEdit>(IDC_COUNT))
                count->SetControlTitle(choice.macroRadio == 4 ? choice.countText.c_str() : L"10");
            break;
        }
        case kFuncShortcut:
            if (group) group->SelectData(choice.group);
            FillShortcuts(choice.group);
            if (item) item->SelectData(choice.value);
            break;
        case kFuncLaunch:
        case kFuncWeb: {
            std::wstring description, param;
            int32_t type = 0;
            m_host.GetStore().GetKeyOtherData(choice.otherDataId, description, param, type);
            // A launch button shows the program's whole path (its caption is the file
            // name); a row without one, from an older file, shows its caption.
            const std::wstring shown = choice.type == kFuncLaunch && !param.empty() ? param : description;
            if (auto* edit = GetControlAs<MEdit>(IDC_PATH_EDIT)) edit->SetControlTitle(shown.c_str());
            break;
        }
        case kFuncText:
            if (group) group->SelectData(choice.value);
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------- the type and its controls

void KeyPage::SetControlVisible(UINT id, bool visible) {
    if (MControl* control = GetControl(id)) control->SetVisible(visible ? TRUE : FALSE);
}

void KeyPage::HideValueControls() {
    for (UINT id : {IDC_GROUP, IDC_ITEM, IDC_PATH_EDIT, IDC_VALUE_LIST, IDC_CAPTURE, IDC_CTRL, IDC_WIN,
                    IDC_ALT, IDC_SHIFT, IDC_RADIO_HELD, IDC_RADIO_TOGGLE, IDC_RADIO_ANY, IDC_RADIO_COUNT,
                    IDC_COUNT, IDC_OPEN_FILE, IDC_NO_MACRO, IDC_OPEN_MACROS})
        SetControlVisible(id, false);
    if (MControl* apply = GetControl(IDC_APPLY)) apply->SetEnabled(TRUE);
}

void KeyPage::ChooseType(int type) {
    if (auto* types = GetControlAs<KeyFuncType>(IDC_TYPE_LIST)) types->SetCurData(type);
    ShowType(type);
}

void KeyPage::ShowType(int type) {
    StopCapture();
    m_type = type;
    HideValueControls();
    if (auto* caption = GetControlAs<MControlFont>(IDC_TYPE_CAPTION)) {
        std::wstring text;
        for (const FunctionTypeEntry& entry : kFunctionTypes)
            if (entry.type == type) text = Text(entry.textId);
        caption->SetTitle(text);
    }
    auto* values = GetControlAs<KeyFuncValue>(IDC_VALUE_LIST);
    switch (type) {
        case kFuncMouse:
        case kFuncMultimedia:
            if (values) {
                values->ClearList();
                if (type == kFuncMouse) {
                    for (const MouseActionEntry& e : kMouseActions)
                        if (e.textId) values->AddItem(Text(e.textId), e.value, L"");
                } else {
                    for (const MultimediaEntry& e : kMultimediaKeys)
                        values->AddItem(Text(e.textId), e.value, L"");
                }
                values->SetSelectItem(0);
                values->UpdateControl(TRUE);
            }
            SetControlVisible(IDC_VALUE_LIST, true);
            break;
        case kFuncKey:
        case kFuncShortcut:
        case kFuncMacro:
        case kFuncText:
            FillGroup(type);
            break;
        case kFuncLaunch:
        case kFuncWeb:
            if (auto* edit = GetControlAs<MEdit>(IDC_PATH_EDIT)) edit->SetControlTitle(L"");
            SetControlVisible(IDC_PATH_EDIT, true);
            SetControlVisible(IDC_OPEN_FILE, type == kFuncLaunch);
            break;
        default:
            break;
    }
    PlaceApplyButtons();
}

void KeyPage::FillGroup(int type) {
    auto* group = GetControlAs<MComboBox>(IDC_GROUP);
    if (!group) return;
    group->DelAllItems();
    switch (type) {
        case kFuncKey:
            for (int i = 0; i < 7; ++i) group->AddItem(Text(kTextFirstKeyGroup + i).c_str(), i + 1);
            break;
        case kFuncShortcut:
            for (int i = 0; i < 6; ++i) group->AddItem(Text(kTextFirstShortcutGroup + i).c_str(), i + 1);
            break;
        case kFuncMacro:
            FillMacros();
            break;
        case kFuncText:
            FillTexts();
            break;
        default:
            break;
    }
    if (group->GetItemCount() > 0) group->SetCurSel(0);
    SetControlVisible(IDC_GROUP, true);
    if (type == kFuncMacro) ShowNoMacroNote(group->GetItemCount() == 0);
    if (type == kFuncKey || type == kFuncShortcut) OnGroupChanged();
}

void KeyPage::ShowNoMacroNote(bool shown) {
    SetControlVisible(IDC_GROUP, !shown);
    for (UINT id : {IDC_RADIO_HELD, IDC_RADIO_TOGGLE, IDC_RADIO_ANY, IDC_RADIO_COUNT, IDC_COUNT})
        SetControlVisible(id, !shown);
    SetControlVisible(IDC_NO_MACRO, shown);
    SetControlVisible(IDC_OPEN_MACROS, shown);
    if (MControl* apply = GetControl(IDC_APPLY)) apply->SetEnabled(shown ? FALSE : TRUE);
}

void KeyPage::FillMacros() {
    auto* group = GetControlAs<MComboBox>(IDC_GROUP);
    std::vector<MacroData> macros;
    m_host.GetStore().ListMacros(macros);
    for (const MacroData& macro : macros) group->AddItem(MacroDisplayName(macro.name).c_str(), macro.macroId);
}

void KeyPage::FillTexts() {
    auto* group = GetControlAs<MComboBox>(IDC_GROUP);
    std::vector<TextData> texts;
    m_host.GetStore().ListTexts(texts);
    for (const TextData& text : texts) group->AddItem(TextDisplayName(text.name).c_str(), text.textId);
}

std::wstring KeyPage::MacroDisplayName(const std::wstring& name) {
    return ::MacroDisplayName(name, Text(kTextMacro));
}

std::wstring KeyPage::TextDisplayName(const std::wstring& name) {
    return DisplayedTextName(name);
}

void KeyPage::OnGroupChanged() {
    auto* group = GetControlAs<MComboBox>(IDC_GROUP);
    auto* item = GetControlAs<MComboBox>(IDC_ITEM);
    if (!group || !item) return;
    const int data = int(group->GetCurData());
    if (m_type == kFuncKey) {
        const bool capture = data == 1;
        SetControlVisible(IDC_ITEM, !capture);
        for (UINT id : {IDC_CAPTURE, IDC_CTRL, IDC_WIN, IDC_ALT, IDC_SHIFT}) SetControlVisible(id, capture);
        if (!capture) {
            StopCapture();
            item->DelAllItems();
            for (const PredefinedKey& key : PredefinedKeyGroup(data)) item->AddItem(key.name, key.usage);
            if (item->GetItemCount() > 0) item->SetCurSel(0);
        }
    } else if (m_type == kFuncShortcut) {
        FillShortcuts(data);
    }
}

void KeyPage::FillShortcuts(int group) {
    auto* item = GetControlAs<MComboBox>(IDC_ITEM);
    if (!item) return;
    item->DelAllItems();
    for (const ShortcutEntry& entry : kShortcuts)
        if (entry.group == group) item->AddItem(Text(entry.textId).c_str(), entry.value);
    if (item->GetItemCount() > 0) item->SetCurSel(0);
    SetControlVisible(IDC_ITEM, true);
}

// ---------------------------------------------------------------- notifications

LRESULT KeyPage::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM) {
    switch (id) {
        case IDC_BUTTON_MAP:
            if (code != Notify::Clicked) return code == Notify::Pressed ? 1 : 0;
            if (int(wParam) == 0) {
                // The primary click stays on the left button.
                m_host.ShowMessage(kTextLeftButtonTitle, kTextLeftButtonMessage, CUIMessageBox::kKindOk);
                SelectButton(1);
            } else if (int(wParam) > 0) {
                SelectButton(int(wParam));
            }
            return 1;
        case IDC_TYPE_LIST:
            if (code != Notify::Clicked) return 0;
            if (auto* types = GetControlAs<KeyFuncType>(IDC_TYPE_LIST)) ShowType(types->GetCurData());
            return 1;
        case IDC_GROUP:
            if (code != Notify::Clicked) return 0;
            OnGroupChanged();
            return 1;
        case IDC_APPLY:
            if (code == Notify::Clicked) Apply();
            return 1;
        case IDC_RESTORE:
            if (code == Notify::Clicked) RestoreDefault();
            return 1;
        case IDC_CAPTURE:
            if (code == Notify::EditOpened) {
                StartCapture();
            } else if (code == Notify::EditEnded) {
                // Enter, Esc or Tab close the edit as they go down; their own event is
                // already on its way and still counts, so the reader stops after it.
                Platform::PostTask(
                    [alive = std::weak_ptr<int>(m_alive), this, generation = m_captureGeneration] {
                        if (alive.lock() && generation == m_captureGeneration) StopCapture();
                    });
            } else if (code == Notify::TextChanged && m_capturing) {
                // Typing does not edit the field: it shows the captured key.
                if (auto* edit = GetControlAs<MEdit>(IDC_CAPTURE);
                    edit && edit->GetEditText() != m_capturedName)
                    edit->SetControlTitle(m_capturedName.c_str());
            }
            return 1;
        case IDC_COUNT:
            if (code == Notify::EditEnded) ClampCount();
            return 1;
        case IDC_OPEN_FILE:
            if (code == Notify::Clicked) ChooseProgram();
            return 1;
        case IDC_OPEN_MACROS:
            if (code == Notify::Clicked) m_host.SelectTab(kTabMacro);
            return 1;
        case IDC_CTRL:
        case IDC_WIN:
        case IDC_ALT:
        case IDC_SHIFT:
        case IDC_RADIO_HELD:
        case IDC_RADIO_TOGGLE:
        case IDC_RADIO_ANY:
        case IDC_RADIO_COUNT:
            return 1;
        default:
            return 0;
    }
}

// ---------------------------------------------------------------- key capture

bool KeyPage::IsCapturing() const {
    return m_capturing;
}

void KeyPage::StartCapture() {
    ++m_captureGeneration;
    m_capturedVk = 0;
    m_capturedName.clear();
    if (auto* edit = GetControlAs<MEdit>(IDC_CAPTURE)) edit->SetControlTitle(L"");
    if (!m_reader) m_reader = std::make_unique<LiveInputReader>();
    m_capturing = m_reader->Register([this](const InputEvent& event) { OnInput(event); });
}

void KeyPage::StopCapture() {
    if (!m_capturing) return;
    m_capturing = false;
    if (m_reader) m_reader->Release();
}

void KeyPage::OnInput(const InputEvent& event) {
    if (!m_capturing || event.kind != kInputKeyboard || event.name.empty()) return;
    // Shift, Ctrl and Alt are the toggles' business.
    if (event.code >= 0xA0 && event.code <= 0xA5) return;
    m_capturedVk = event.code;
    m_capturedName = event.name;
    if (auto* edit = GetControlAs<MEdit>(IDC_CAPTURE)) {
        edit->SetControlTitle(event.name.c_str());
        edit->UpdateControl(TRUE);
    }
}

int KeyPage::ModifierMask() {
    int mask = 0;
    const std::pair<UINT, int> toggles[] = {
        {IDC_CTRL, kModLeftCtrl}, {IDC_SHIFT, kModLeftShift}, {IDC_ALT, kModLeftAlt}, {IDC_WIN, kModLeftWin}};
    for (const auto& [id, bit] : toggles)
        if (auto* toggle = GetControlAs<MButton3>(id); toggle && toggle->GetCheck()) mask |= bit;
    return mask;
}

// ---------------------------------------------------------------- the count and the program

void KeyPage::ClampCount() {
    auto* edit = GetControlAs<MEdit>(IDC_COUNT);
    if (!edit) return;
    const std::wstring text = edit->GetEditText();
    // An emptied count is one play, as the edit first showed.
    if (text.empty()) {
        edit->SetControlTitle(L"1");
        return;
    }
    const int value = ParseInt(text);
    const int clamped = std::clamp(value, 1, 255);
    if (std::to_wstring(clamped) != text) edit->SetControlTitle(std::to_wstring(clamped).c_str());
}

std::wstring KeyPage::GetProgramPath() const {
    auto* edit = GetControlAs<MEdit>(IDC_PATH_EDIT);
    return edit && m_type == kFuncLaunch ? ResolveProgramPath(edit->GetEditText()) : L"";
}

void KeyPage::ChooseProgram() {
    FileDialogRequest request;
    request.title = Text(kTextChooseProgram);
    request.filters.push_back({Text(kTextApplication), {L"*.desktop", L"*"}});
    request.owner = m_host.GetDialog().GetSafeHwnd();
    std::wstring path;
    if (!ChooseFile(request, path)) return;
    struct stat st {};
    if (stat(WideToUtf8(path).c_str(), &st) != 0) return;  // gone meanwhile: nothing changes
    if (!IsStartable(path)) {
        m_host.ShowMessage(kTextApplication, kTextNotAProgram, CUIMessageBox::kKindOk);
        return;
    }
    m_chosenPath = path;
    if (auto* edit = GetControlAs<MEdit>(IDC_PATH_EDIT)) {
        edit->SetControlTitle(path.c_str());
        edit->UpdateControl(TRUE);
    }
}

// ---------------------------------------------------------------- apply and restore

void KeyPage::Apply() {
    StopCapture();
    if (m_type == kFuncDefault &&
        m_host.ShowMessage(kTextRestoreTitle, kTextRestoreQuestion, CUIMessageBox::kKindOkCancel) != 1)
        return;
    const KeyApplyInput input = GatherApplyInput();
    const KeyApplyDecision decision = DecideKeyApply(input);
    if (!decision.Stores()) {
        TellRefusal(decision.refusal, input.programPath);
        return;
    }
    DataStore& store = m_host.GetStore();
    const KeyRecord& record = decision.record;
    // The program or address row and the assignment that names it are stored
    // as one: a save that fails leaves no row behind.
    if (decision.withOtherData)
        store.SaveKeyWithParameters(record, record.macroDesc, decision.otherParam);
    else
        store.SaveKey(record);
    // The map shows what is stored now; a record that was not kept leaves the default.
    KeyRecord kept;
    const std::wstring caption =
        store.GetKey(input.profile, m_keyCode, kept) ? kept.macroDesc : DefaultCaption(m_keyCode);
    if (auto* map = GetControlAs<MouseCtrl>(IDC_BUTTON_MAP)) map->SetItemKeyDesc(m_keyCode, caption);
    m_host.QueueTask(kTaskWriteButtonMap);
}

KeyApplyInput KeyPage::GatherApplyInput() {
    KeyApplyInput input;
    input.profile = m_host.GetState().GetCurrentProfile();
    input.keyCode = m_keyCode;
    input.type = m_type;
    auto choice = [](MComboBox* combo) {
        ListChoice c;
        if (!combo) return c;
        c.value = int32_t(combo->GetCurData());
        c.chosen = combo->GetCurSel() >= 0;
        if (c.chosen) c.text = combo->GetItemText(combo->GetCurSel());
        return c;
    };
    switch (m_type) {
        case kFuncDefault:
            if (const KeyRecord* entry = DefaultEntry(m_keyCode)) {
                input.hasDefault = true;
                input.defaultValue = entry->macroValue;
                input.defaultCaption = Text(ParseInt(entry->macroDesc));
            }
            break;
        case kFuncMouse:
        case kFuncMultimedia:
            if (auto* values = GetControlAs<KeyFuncValue>(IDC_VALUE_LIST); values && values->GetSelectItem() >= 0) {
                input.value.chosen = true;
                input.value.value = values->GetCurData();
                input.value.text = values->GetItemText(values->GetSelectItem());
            }
            break;
        case kFuncKey:
            input.group = choice(GetControlAs<MComboBox>(IDC_GROUP));
            input.item = choice(GetControlAs<MComboBox>(IDC_ITEM));
            input.capturedVk = m_capturedVk;
            input.modifiers = ModifierMask();
            if (auto* edit = GetControlAs<MEdit>(IDC_CAPTURE)) input.keyName = edit->GetEditText();
            break;
        case kFuncShortcut:
            input.item = choice(GetControlAs<MComboBox>(IDC_ITEM));
            break;
        case kFuncMacro:
            input.group = choice(GetControlAs<MComboBox>(IDC_GROUP));
            for (int i = 0; i < 4; ++i)
                if (auto* button = GetControlAs<CRadioButton>(IDC_RADIO_HELD + UINT(i)); button && button->GetCheck())
                    input.playMode = i + 1;
            // The count field shows the count that is stored.
            if (input.group.chosen && input.playMode == 4)
                if (auto* count = GetControlAs<MEdit>(IDC_COUNT)) {
                    if (count->GetEditText().empty()) count->SetControlTitle(L"1");
                    ClampCount();
                    input.countText = count->GetEditText();
                }
            break;
        case kFuncDisabled:
            input.disabledCaption = Text(kTextDisabled);
            break;
        case kFuncLaunch:
            input.programPath = GetProgramPath();
            if (!input.programPath.empty()) {
                struct stat st {};
                input.programChosen = input.programPath == m_chosenPath;
                input.programExists = stat(WideToUtf8(input.programPath).c_str(), &st) == 0;
                input.programStartable = input.programExists && IsStartable(input.programPath);
            }
            break;
        case kFuncWeb:
            if (auto* edit = GetControlAs<MEdit>(IDC_PATH_EDIT)) input.webAddress = edit->GetEditText();
            break;
        case kFuncText:
            input.group = choice(GetControlAs<MComboBox>(IDC_GROUP));
            break;
        default:
            break;
    }
    return input;
}

void KeyPage::TellRefusal(KeyApplyRefusal refusal, const std::wstring& programPath) {
    switch (refusal) {
        case KeyApplyRefusal::NoProgram:
            m_host.ShowMessage(kTextApplication, kTextNoProgram, CUIMessageBox::kKindOk);
            break;
        case KeyApplyRefusal::ProgramGone:
            m_host.ShowMessage(kTextApplication, kTextProgramGone, CUIMessageBox::kKindOk);
            break;
        case KeyApplyRefusal::NoSuchProgram: {
            std::wstring message = Text(kTextNoSuchProgram);
            if (const size_t at = message.find(L"{path}"); at != std::wstring::npos) message.replace(at, 6, programPath);
            m_host.ShowMessageText(Text(kTextApplication), message, CUIMessageBox::kKindOk);
            break;
        }
        case KeyApplyRefusal::NotAProgram:
            m_host.ShowMessage(kTextApplication, kTextNotAProgram, CUIMessageBox::kKindOk);
            break;
        case KeyApplyRefusal::NoAddress:
            m_host.ShowMessage(kTextWebAddress, kTextNoAddress, CUIMessageBox::kKindOk);
            break;
        case KeyApplyRefusal::BadAddress:
            m_host.ShowMessage(kTextWebAddress, kTextBadAddress, CUIMessageBox::kKindOk);
            break;
        default:  // nothing chosen, no default: nothing to say
            break;
    }
}

void KeyPage::RestoreDefault() {
    StopCapture();
    KeyRecord record;
    record.profile = m_host.GetState().GetCurrentProfile();
    record.keyCode = m_keyCode;
    record.macroType = kFuncMouse;
    m_host.GetStore().SaveKey(record);  // value 0: the row goes
    if (auto* map = GetControlAs<MouseCtrl>(IDC_BUTTON_MAP))
        map->SetItemKeyDesc(m_keyCode, DefaultCaption(m_keyCode));
    m_host.QueueTask(kTaskWriteButtonMap);
    ShowAssignment();
}
