#include "pages/MainPage.h"

#include <cmath>

#include "device/DeviceMainDef.h"
#include "pages/MainPageHost.h"
#include "device/DeviceCatalog.h"
#include "dialogs/CUIMessageBox.h"
#include "base/LanguageText.h"
#include "base/ButtonFunction.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/platform/Fonts.h"
#include "base/AppContext.h"
#include "storage/DataStore.h"

using namespace Orvix;

MControl* MainPage::AddControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                               int enabled) {
    MControl* control = m_container.CreateControl(className, id, rect, title, visible, enabled);
    if (control) m_ids.insert(id);
    return control;
}

MControl* MainPage::GetControl(UINT id) const {
    return OwnsControl(id) ? m_container.GetControl(id) : nullptr;
}

void MainPage::Place(UINT id, CRect rect) const {
    if (MControl* control = GetControl(id)) control->SetControlRect(rect);
}

std::wstring MainPage::Text(int id) {
    return GetLanguageText(L"LAN", id);
}

namespace {
constexpr int kCaptionHeight = 40;
constexpr int kTextDeleteUsedTitle = 1150;
constexpr int kTextDeleteUsedMessage = 1151;
const Color kLabelColor(0xFFC9D3DC);
}  // namespace

MControlFont* MainPage::AddArea(UINT id, int captionTextId) {
    if (auto* bkg = AddControlAs<MPicture>(L"MPicture", id, CRect())) {
        bkg->SetImage(L"img_area_bkg.png", 1);
        bkg->SetShowMode(SHOW_MODE_NINE, 8);
    }
    if (auto* bar = AddControlAs<MPicture>(L"MPicture", id + 1, CRect())) {
        bar->SetImage(L"img_area_caption.png", 1);
        bar->SetShowMode(SHOW_MODE_NINE, 6);
    }
    auto* caption = AddControlAs<MControlFont>(L"MText", id + 2, CRect(), Text(captionTextId).c_str());
    if (caption) {
        caption->SetFont(kEmbeddedFontFamily, 16, 0);
        caption->SetTextColor(kPageTextColor);
        caption->SetAlignment(0, 1);
    }
    return caption;
}

void MainPage::PlaceArea(UINT id, CRect rect) {
    if (MControl* bkg = GetControl(id)) bkg->SetControlRect(rect);
    if (MControl* bar = GetControl(id + 1))
        bar->SetControlRect(CRect(rect.left, rect.top, rect.right, rect.top + kCaptionHeight));
    if (MControl* caption = GetControl(id + 2))
        caption->SetControlRect(CRect(rect.left + 20, rect.top, rect.right - 20, rect.top + kCaptionHeight));
}

MControlFont* MainPage::AddLabel(UINT id, CRect rect, const std::wstring& text, int size) {
    auto* label = AddControlAs<MControlFont>(L"MText", id, rect, text.c_str());
    if (label) {
        label->SetFont(kEmbeddedFontFamily, size, 0);
        label->SetTextColor(kLabelColor);
        label->SetAlignment(0, 1);
    }
    return label;
}

MControlFont* MainPage::AddButton(UINT id, CRect rect, const std::wstring& text) {
    auto* button = AddControlAs<MControlFont>(L"MButton", id, rect, text.c_str());
    if (button) {
        button->SetImage(L"img_button.png", 4);
        button->SetFont(kEmbeddedFontFamily, 14, 0);
    }
    return button;
}

MControlFont* MainPage::AddHelpButton(UINT id, const std::wstring& help) {
    auto* button = AddControlAs<MControlFont>(L"CHelpButton", id, CRect(), help.c_str());
    if (button) button->SetImage(L"img_help.png", 4);
    return button;
}

MControlFont* MainPage::AddResetButton(UINT id, const std::wstring& tooltip) {
    auto* button = AddControlAs<MControlFont>(L"CImageButton", id, CRect());
    if (button) {
        button->SetImage(L"btn_reset.png", 4);
        button->SetTooltip(tooltip.c_str());
    }
    return button;
}

void MainPage::SetLabels(std::initializer_list<std::pair<UINT, UINT>> pairs) {
    for (const auto& [control, label] : pairs)
        if (MControl* c = GetControl(control)) c->SetLabelledBy(label);
}

bool MainPage::DeleteLibraryEntry(int functionType, int32_t id, const std::wstring& name,
                                  const std::function<bool()>& remove, bool& buttonsChanged) {
    buttonsChanged = false;
    DataStore& store = m_host.GetStore();
    std::vector<ProfileData> profiles;
    store.ListProfiles(profiles, GetCurrentLcid());
    std::vector<ButtonUse> uses;
    for (const ProfileData& profile : profiles) {
        std::vector<KeyRecord> keys;
        store.ListKeys(profile.profile, keys);
        for (const ButtonUse& use : ButtonsUsing(keys, functionType, id)) uses.push_back(use);
    }
    if (!uses.empty()) {
        // "Forward (Profile 1), Back (Profile 2)": the buttons by their names on the map.
        std::wstring list;
        for (const ButtonUse& use : uses) {
            std::wstring button = std::to_wstring(use.keyCode);
            for (const DescriptionButton& b : m_host.GetDescription().buttons)
                if (b.keyValue == use.keyCode) button = Text(b.nameId);
            std::wstring profileName;
            for (const ProfileData& profile : profiles)
                if (profile.profile == use.profile) profileName = profile.name;
            if (!list.empty()) list += L", ";
            list += button + L" (" + profileName + L")";
        }
        std::wstring message = Text(kTextDeleteUsedMessage);
        for (const auto& [key, value] :
             {std::pair<std::wstring, std::wstring>{L"{name}", name}, {L"{buttons}", list}})
            if (const size_t at = message.find(key); at != std::wstring::npos)
                message.replace(at, key.size(), value);
        if (m_host.ShowMessageText(Text(kTextDeleteUsedTitle), message, CUIMessageBox::kKindOkCancel) != 1)
            return false;
    }
    const bool deleted = store.RunInTransaction([&] {
        if (!remove()) return false;
        for (const ButtonUse& use : uses) {
            KeyRecord back;  // value 0: the row goes and the button has its default again
            back.profile = use.profile;
            back.keyCode = use.keyCode;
            back.macroType = kFuncMouse;
            bool stored = false;
            store.SaveKey(back, &stored);
            if (!stored) return false;
        }
        return true;
    });
    if (!deleted) return false;
    const int32_t current = m_host.GetState().GetCurrentProfile();
    for (const ButtonUse& use : uses) buttonsChanged = buttonsChanged || use.profile == current;
    return true;
}
