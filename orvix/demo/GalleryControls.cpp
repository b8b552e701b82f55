#include "orvix/demo/GalleryControls.h"

#include <functional>
#include <vector>

#include "orvix/controls/CArea.h"
#include "orvix/controls/CCheckButton.h"
#include "orvix/controls/CColorCombo.h"
#include "orvix/controls/CGifPicture.h"
#include "orvix/controls/CHelpButton.h"
#include "orvix/controls/CIconButton.h"
#include "orvix/controls/CImageButton.h"
#include "orvix/controls/CKeyboardTips.h"
#include "orvix/controls/CPhotoFrame.h"
#include "orvix/controls/CRadioButton.h"
#include "orvix/controls/CRoundArea.h"
#include "orvix/controls/CSelectButton.h"
#include "orvix/controls/CSliderPicture.h"
#include "orvix/controls/CSwitchButton.h"
#include "orvix/controls/CTabCtrl1.h"
#include "orvix/controls/CTextButton.h"
#include "orvix/controls/CTimerButton.h"
#include "orvix/controls/DownloadButton.h"
#include "orvix/controls/LoadingWnd.h"
#include "orvix/controls/LongPressButton.h"
#include "orvix/controls/MButton.h"
#include "orvix/core/MTooltipWnd.h"
#include "orvix/controls/MButton2.h"
#include "orvix/controls/MButton3.h"
#include "orvix/controls/MLevelCtrl.h"
#include "orvix/controls/MProgress.h"
#include "orvix/controls/MSlider.h"
#include "orvix/controls/MTabCtrl.h"
#include "orvix/controls/MTabLayout.h"
#include "orvix/controls/MenuItem.h"
#include "orvix/controls/TextCheckButton.h"
#include "orvix/controls/UpgradeButton.h"
#include "orvix/demo/OffscreenRender.h"
#include "orvix/core/MDialog.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/core/Manager.h"
#include "base/TextConv.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Headless.h"

namespace {

using namespace Orvix;

// Holds a button in a chosen look, as a pointer and a click would leave it.
template <typename T>
class Preview : public T {
public:
    Preview(MObject* parent, UINT id, CRect rect, const wchar_t* title) : T(parent, id, rect, title) {}
    void Look(int state, BOOL check) {
        this->m_state = state;
        this->m_check = check;
    }
};

const Color kLabel(0xFF8A96A3);
const Color kCaption(0xFFE8F0F5);
constexpr int kRowPitch = 34;
constexpr int kRowHeight = 28;
constexpr int kCellPitch = 94;
const wchar_t* const kLooks[] = {L"Normal", L"Hover", L"Pressed", L"Checked", L"Disabled"};

class Gallery {
public:
    explicit Gallery(MDialog& dlg) : m_dlg(dlg), m_pm(dlg.GetPaintManager()) {}

    void Build();
    // The dialog's picture with its pop-up windows laid over it.
    bool Save(const std::wstring& path);

private:
    template <typename T>
    T* Add(T* control) {
        control->SetManager(&m_pm);
        m_pm.AddControl(control, 1);
        return control;
    }
    template <typename T>
    T* Create(const wchar_t* cls, CRect rect, const wchar_t* title = nullptr) {
        return static_cast<T*>(m_dlg.CreateControl(cls, m_nextId++, rect, title));
    }
    MText* Label(CRect rect, const wchar_t* text, int size = 13, Color color = kLabel, UINT align = 0);
    void Panel(CRect rect, const wchar_t* caption);
    void GridHeader(int x, int y);
    // One row of a class in the five looks. The checked cell shows the
    // control after `checked` (a dash without one).
    template <typename T>
    void Row(int x, int y, int cellWidth, const wchar_t* name, const std::function<void(Preview<T>*)>& setup,
             const std::function<void(Preview<T>*)>& checked = nullptr);
    template <typename T>
    static void Checked(Preview<T>* control) {
        control->Look(STATE_NORMAL, TRUE);
    }
    // Looks are applied once the pointer has settled (a move resets hovers).
    void Later(std::function<void()> look) { m_looks.push_back(std::move(look)); }

    void BuildFrame();
    void BuildPushButtons();
    void BuildCheckControls();
    void BuildBars();
    void BuildTabs();
    void BuildPictures();
    void BuildPopups();

    MDialog& m_dlg;
    PaintManager& m_pm;
    UINT m_nextId = 100;
    CKeyboardTips m_tips;
    LoadingWnd m_loading;
    std::vector<std::function<void()>> m_looks;
};

MText* Gallery::Label(CRect rect, const wchar_t* text, int size, Color color, UINT align) {
    auto* t = Create<MText>(L"MText", rect, text);
    t->SetFont(kEmbeddedFontFamily, size, 0);
    t->SetTextColor(color);
    t->SetAlignment(align, 4);
    return t;
}

void Gallery::Panel(CRect rect, const wchar_t* caption) {
    auto* back = Create<MPicture>(L"MPicture", rect);
    back->SetImage(L"img_area_bkg.png");
    back->SetShowMode(SHOW_MODE_NINE, 8);
    auto* bar = Create<MPicture>(L"MPicture", CRect(rect.left + 1, rect.top + 1, rect.right - 1, rect.top + 30));
    bar->SetImage(L"img_area_caption.png");
    bar->SetShowMode(SHOW_MODE_NINE, 6);
    Label(CRect(rect.left + 14, rect.top + 1, rect.right - 14, rect.top + 30), caption, 14, kCaption);
}

void Gallery::GridHeader(int x, int y) {
    for (int i = 0; i < 5; ++i)
        Label(CRect(x + i * kCellPitch, y, x + i * kCellPitch + kCellPitch - 8, y + 20), kLooks[i], 12, kLabel, 1);
}

template <typename T>
void Gallery::Row(int x, int y, int cellWidth, const wchar_t* name, const std::function<void(Preview<T>*)>& setup,
                  const std::function<void(Preview<T>*)>& checked) {
    Label(CRect(x - 138, y, x - 8, y + kRowHeight), name, 13, kLabel);
    const int states[] = {STATE_NORMAL, STATE_HOVER, STATE_PRESSED, STATE_NORMAL, STATE_DISABLED};
    for (int i = 0; i < 5; ++i) {
        const CRect cell(x + i * kCellPitch, y, x + i * kCellPitch + cellWidth, y + kRowHeight);
        if (i == 3 && !checked) {
            Label(cell, L"\u2014", 13, Color(0xFF3A4450), 1);
            continue;
        }
        auto* control = Add(new Preview<T>(&m_dlg, m_nextId++, cell, nullptr));
        setup(control);
        if (i == 4) control->SetEnabled(FALSE);
        else if (i == 3) Later([=] { checked(control); });
        else Later([=, state = states[i]] { control->Look(state, FALSE); });
    }
}

void Gallery::BuildFrame() {
    m_dlg.LoadBKImage(L"main_bkg.png");
    m_dlg.SetBackMode(BACK_MODE_NINE, 8);
    auto* caption = Create<MPicture>(L"MPicture", CRect(1, 1, 1279, 50));
    caption->SetImage(L"img_caption.png");
    caption->SetShowMode(SHOW_MODE_STRETCH);
    Label(CRect(24, 1, 600, 50), L"Orvix \u00b7 standard controls", 18, kCaption);
    const wchar_t* sys[] = {L"sysbtn_close.png", L"sysbtn_maximize.png", L"sysbtn_min.png", L"sysbtn_setting.png"};
    for (int i = 0; i < 4; ++i) {
        auto* b = Add(new Preview<CImageButton>(&m_dlg, m_nextId++, CRect(1230 - 36 * i, 11, 1262 - 36 * i, 39), nullptr));
        b->SetImage(sys[i], 4);
        if (i == 3) Later([b] { b->Look(STATE_HOVER, FALSE); });
    }
}

void Gallery::BuildPushButtons() {
    Panel(CRect(16, 62, 628, 548), L"Push buttons");
    const int x = 156;
    GridHeader(x, 98);
    int y = 124;
    auto button = [](const wchar_t* title, const wchar_t* image = L"img_button.png", int frames = 4) {
        return [=](MButton* b) {
            b->SetImage(image, frames);
            b->SetTitle(title);
        };
    };
    Row<MButton>(x, y, 86, L"MButton", button(L"Apply"));
    Row<MButton>(x, y += kRowPitch, 86, L"MButton + icon", [](MButton* b) {
        b->SetImage(L"img_button.png", 4);
        b->SetIconImage(L"img_menuitem_copy.png", 4);
        b->SetTitle(L"Copy");
    });
    Row<LongPressButton>(x, y += kRowPitch, 86, L"LongPressButton", button(L"Hold +"));
    Row<MButton2>(x, y += kRowPitch, 86, L"MButton2", button(L"Profile 1", L"img_select_button.png", 8),
                  Checked<MButton2>);
    Row<MButton3>(x, y += kRowPitch, 86, L"MButton3", button(L"Sniper", L"img_select_button.png", 8),
                  Checked<MButton3>);
    Row<CSelectButton>(x, y += kRowPitch, 86, L"CSelectButton", [](CSelectButton* b) {
        b->SetImage(L"img_select_button.png", 8);
        b->SetTitle(L"1000 Hz");
    }, Checked<CSelectButton>);
    Row<CImageButton>(x, y += kRowPitch, 86, L"CImageButton", [](CImageButton* b) { b->SetImage(L"btn_reset.png", 4); });
    Row<CIconButton>(x, y += kRowPitch, 86, L"CIconButton", [](CIconButton* b) {
        b->SetImage(L"img_button.png", 4);
        b->SetIconImage(L"img_menuitem_delete.png", 4);
        b->SetTextRect(CRect(30, 0, 86, 28), CRect(6, 0, 28, 28));
        b->SetTitle(L"Delete");
    });
    Row<CTimerButton>(x, y += kRowPitch, 86, L"CTimerButton", button(L"Record"), [](CTimerButton* b) {
        b->SetRun(TRUE);  // running: the red mark and the pulse
        b->OnControlTimer();
    });
    Row<UpgradeButton>(x, y += kRowPitch, 86, L"UpgradeButton", [](UpgradeButton* b) {
        b->SetImage(L"img_button.png", 4);
        b->SetTitle(L"Upgrade");
        b->SetUpgradeStatus(UpgradeButton::UPGRADE_AVAILABLE);
    });
    Row<DownloadButton>(x, y += kRowPitch, 86, L"DownloadButton", [](DownloadButton* b) {
        b->SetImage(L"img_button.png", 4);
        b->SetTitle(L"45 %");
        b->SetDownloadProcess(45);
    });
    Row<CTextButton>(x, y += kRowPitch, 86, L"CTextButton", [](CTextButton* b) {
        b->SetTitle(L"Website");
        b->SetAlignment(1, 4);
    });
}

void Gallery::BuildCheckControls() {
    Panel(CRect(644, 62, 1264, 368), L"Check buttons, pickers and menu items");
    const int x = 784;
    GridHeader(x, 98);
    int y = 124;
    Row<CCheckButton>(x, y, 90, L"CCheckButton", [](CCheckButton* b) {
        b->SetImage(L"btn_checkbox.png", 8);
        b->SetTitle(L"Ripple");
    }, Checked<CCheckButton>);
    Row<CRadioButton>(x, y += kRowPitch, 90, L"CRadioButton", [](CRadioButton* b) {
        b->SetImage(L"btn_radiobox.png", 8);
        b->SetTitle(L"1.0 mm");
    }, Checked<CRadioButton>);
    Row<TextCheckButton>(x, y += kRowPitch, 86, L"TextCheckButton", [](TextCheckButton* b) {
        b->SetImage(L"img_select_button.png", 8);
        b->SetTitle(L"Angle snap");
    }, Checked<TextCheckButton>);
    Row<CSwitchButton>(x, y += kRowPitch, 90, L"CSwitchButton", [](CSwitchButton* b) {
        b->SetImage(L"img_switch_btn_on.png", L"img_switch_btn_off.png", 4);
        b->SetTitle(L"Wake");
    }, Checked<CSwitchButton>);
    Row<CHelpButton>(x, y += kRowPitch, 86, L"CHelpButton", [](CHelpButton* b) {
        b->SetImage(L"img_help.png", 4);
        b->SetTitle(L"Help");
    });
    Row<CColorCombo>(x, y += kRowPitch, 86, L"CColorCombo", [](CColorCombo* b) {
        b->SetImage(L"img_colorcombo.png", 4);
        b->SetAreaColor(0xFF7B3D);
    }, [](CColorCombo* b) { b->SetIsOpen(TRUE); });
    // Menu items as they sit in a menu: on the menu's own background.
    for (int i = 0; i < 5; ++i) {
        auto* back = Create<CRoundArea>(L"CRoundArea", CRect(x + i * kCellPitch - 3, y + kRowPitch - 3,
                                                             x + i * kCellPitch + 93, y + kRowPitch + kRowHeight + 3));
        back->SetColor(Color(0xFF515151));
        back->SetRadius(4);
    }
    auto item = [](MenuItem* m) {
        m->SetImage(L"img_menuitem_copy.png", 4);
        m->SetTitle(L"Copy");
        m->SetFont(kEmbeddedFontFamily, 13, 0);
    };
    Row<MenuItem>(x, y += kRowPitch, 90, L"MenuItem", item, Checked<MenuItem>);
}

void Gallery::BuildBars() {
    Panel(CRect(644, 380, 1264, 548), L"Progress, sliders and levels");
    const int x = 784, w = 112, pitch = 120;
    int y = 418;
    Label(CRect(656, y, x - 8, y + 24), L"MProgress", 13);
    auto progress = [&](int i, int value, bool images) {
        auto* p = Create<MProgress>(L"MProgress", CRect(x + i * pitch, y + 6, x + i * pitch + w, y + 18));
        if (images) {
            p->SetBackGroundImage(L"img_progress_bk.png");
            p->SetForeGroundImage(L"img_progress_fg.png");
        }
        p->SetProgress(value);
        return p;
    };
    progress(0, 35, true);
    MProgress* text = progress(1, 80, true);
    text->SetRect(CRect(x + pitch, y + 2, x + pitch + w, y + 22));
    text->SetFont(kEmbeddedFontFamily, 11, 0);
    text->SetTextColor(Color(0xFF060B11));
    text->EnableShowText(TRUE);
    progress(2, 60, false);
    MProgress* running = progress(3, 0, true);
    running->SetRun(TRUE);
    for (int t = 0; t < 40; ++t) running->OnControlTimer();

    y += 40;
    Label(CRect(656, y, x - 8, y + 24), L"MSlider", 13);
    for (int i = 0; i < 4; ++i) {
        auto* s = Create<MSlider>(L"MSlider", CRect(x + i * pitch, y, x + i * pitch + w, y + 24));
        s->SetImage(L"img_slider_bk.png");
        s->SetThumbImage(L"img_slider_thumb.png", 4);
        s->SetMaxProgress(255);
        s->SetProgress(60 + 50 * i);
        if (i == 1) s->SetShowText(TRUE), s->SetFont(kEmbeddedFontFamily, 12, 0);
        if (i == 2) Later([s] { s->OnControlMouseMove(0, s->GetThumbRect().CenterPoint()); });  // thumb hovered
        if (i == 3) s->SetEnabled(FALSE);
    }
    y += 40;
    Label(CRect(656, y, x - 8, y + 24), L"MLevelCtrl", 13);
    for (int i = 0; i < 3; ++i) {
        auto* l = Create<MLevelCtrl>(L"MLevelCtrl", CRect(x + i * pitch, y + 2, x + i * pitch + w, y + 22));
        l->SetImage(L"img_level.png", 4);
        l->SetRangeValue(1, 6);
        l->SetLevelValue(2 + i);
        if (i == 1) Later([l] { l->OnControlMouseMove(0, l->GetSegmentRect(4).CenterPoint()); });
        if (i == 2) l->SetEnabled(FALSE);
    }
}

void Gallery::BuildTabs() {
    Panel(CRect(16, 560, 440, 788), L"MTabCtrl (vertical) and its pages");
    auto* strip = Create<MTabCtrl>(L"MTabCtrl", CRect(24, 598, 200, 782));
    strip->SetTabType(1);
    strip->SetTabCtrlWidth(176);
    strip->SetTabCtrlHeight(56);
    strip->SetImage(L"img_tabitem_bkg.png", 3);
    strip->SetFont(kEmbeddedFontFamily, 14, 0);
    const wchar_t* names[] = {L"Home", L"Sensitivity", L"Lighting"};
    const wchar_t* icons[] = {L"icon/tab_home.png", L"icon/tab_dpi.png", L"icon/tab_light.png"};
    MControl* shown = nullptr;
    for (int i = 0; i < 3; ++i) {
        MControl* page = strip->CreatePanel(m_nextId++, CRect(208, 598, 432, 782));
        if (i == 1) shown = page;
        strip->InsertItem(UINT(i + 1), names[i], icons[i], page);
    }
    strip->SetSelectItem(1);
    auto* page = static_cast<MTabLayout*>(shown);
    auto text = static_cast<MText*>(page->CreateControl(L"MText", m_nextId++, CRect(216, 604, 424, 628), L"DPI levels"));
    text->SetFont(kEmbeddedFontFamily, 15, 0);
    auto* level = static_cast<MLevelCtrl*>(page->CreateControl(L"MLevelCtrl", m_nextId++, CRect(216, 636, 424, 656)));
    level->SetImage(L"img_level.png", 4);
    level->SetRangeValue(1, 6);
    level->SetLevelValue(4);
    auto* slider = static_cast<MSlider*>(page->CreateControl(L"MSlider", m_nextId++, CRect(216, 668, 424, 692)));
    slider->SetImage(L"img_slider_bk.png");
    slider->SetThumbImage(L"img_slider_thumb.png", 4);
    slider->SetShowText(TRUE);
    slider->SetFont(kEmbeddedFontFamily, 12, 0);
    slider->SetMaxProgress(480);
    slider->SetProgress(320);
    auto* check = static_cast<CCheckButton*>(page->CreateControl(L"CCheckButton", m_nextId++, CRect(216, 704, 424, 728), L"Motion sync"));
    check->SetImage(L"btn_checkbox.png", 8);
    check->SetCheck(TRUE);
    auto* apply = static_cast<MButton*>(page->CreateControl(L"MButton", m_nextId++, CRect(216, 742, 316, 774), L"Apply"));
    apply->SetImage(L"img_button.png", 4);

    Panel(CRect(452, 560, 840, 788), L"MTabCtrl (horizontal) and CTabCtrl1");
    auto* top = Create<MTabCtrl>(L"MTabCtrl", CRect(460, 596, 832, 662));
    top->SetImage(L"img_tabctrl1.png", 3);
    top->SetTabCtrlHeight(64);
    top->SetFont(kEmbeddedFontFamily, 13, 0);
    const wchar_t* topNames[] = {L"Buttons", L"Macros", L"Texts", L"Device"};
    const wchar_t* topIcons[] = {L"icon/tab_key.png", L"icon/tab_macro.png", L"icon/tab_text.png", L"icon/tab_set.png"};
    for (int i = 0; i < 4; ++i) top->InsertItem(UINT(i + 1), topNames[i], topIcons[i], nullptr);
    top->SetItemWidth(93, 60);
    top->SetSelectItem(0);
    auto* list = Create<CTabCtrl1>(L"CTabCtrl1", CRect(460, 668, 640, 788));
    list->SetImage(L"img_tabctrl1.png", 3);
    list->SetFont(kEmbeddedFontFamily, 14, 0);
    list->AddItem(L"General", 0, nullptr);
    list->AddItem(L"About", 1, nullptr);
    list->SetSelectItem(0);
}

void Gallery::BuildPictures() {
    Panel(CRect(852, 560, 1264, 788), L"Pictures and areas");
    auto* photo = Create<CPhotoFrame>(L"CPhotoFrame", CRect(864, 598, 1004, 700));
    photo->SetPhotoFrame(L"img_photo_frame.png", 4);
    photo->SetImage(L"img_photo_product.png");
    auto* slide = Create<CSliderPicture>(L"CSliderPicture", CRect(864, 708, 1004, 780));
    slide->SetImage(L"img_photo_product.png");
    slide->SetShowMode(SHOW_MODE_STRETCH);
    slide->SetRun(TRUE, SLIDER_LEFT, 2);
    for (int t = 0; t < 24; ++t) slide->OnControlTimer();

    auto* stage = Create<CRoundArea>(L"CRoundArea", CRect(1014, 598, 1116, 700));
    stage->SetColor(Color(0xFF333333));
    stage->SetRadius(8);
    auto* gif = Create<CGifPicture>(L"CGifPicture", CRect(1014, 598, 1116, 700));
    gif->SetImage(L"loading.gif");
    gif->SetRunState(TRUE, 3);

    auto* fade = Create<CArea>(L"CArea", CRect(1014, 708, 1116, 740));
    fade->SetTransparent(255, 20, 0xE6FF49, false);
    auto* framed = Create<CArea>(L"CArea", CRect(1014, 748, 1116, 780));
    framed->SetAreaColor(0x3D7BFF);
    framed->SetFrame(1, Color(0xFFE8F0F5), 2);
    const uint32_t colours[] = {0xFFFF3B3B, 0xFFFF9F1A, 0xFFFFE14D, 0xFF3DDC84,
                                0xFF49FFE6, 0xFF3D7BFF, 0xFFB45CFF, 0xFFF5F5F5};
    for (int i = 0; i < 8; ++i) {
        const int cx = 1128 + (i % 4) * 32, cy = 712 + (i / 4) * 36;
        Create<CRoundArea>(L"CRoundArea", CRect(cx, cy, cx + 26, cy + 26))->SetColor(Color(colours[i]));
    }
}

void Gallery::BuildPopups() {
    HWND hwnd = m_dlg.GetSafeHwnd();
    // A busy indicator over part of the window.
    m_loading.CreateDlg(hwnd, CRect(1126, 598, 1252, 700));
    m_loading.LoadGifImage(L"loading.gif");
    // A keyboard tip.
    m_tips.Init(hwnd);
    POINT tip{652, 676};
    Platform::ClientToScreen(hwnd, tip);
    m_tips.SetAirBladderMsg(L"Record a macro", L"Press the keys, then stop.", L"Ctrl+Shift+R", tip);
    // The pointer rests on a tab: its tooltip shows.
    Headless::MouseMove(hwnd, 160, 720);
    Platform::RunPending();
    for (auto& look : m_looks) look();
    // A help mark in the caption, as if hovered: its bubble shows.
    auto* help = Create<CHelpButton>(L"CHelpButton", CRect(250, 15, 270, 35),
                                     L"Every control in its normal, hover, pressed, checked and disabled looks");
    help->SetImage(L"img_help.png", 4);
    help->OnControlMouseMove(0, help->GetRect().CenterPoint());
}

void Gallery::Build() {
    BuildFrame();
    BuildPushButtons();
    BuildCheckControls();
    BuildBars();
    BuildTabs();
    BuildPictures();
    BuildPopups();
}

bool Gallery::Save(const std::wstring& path) {
    HWND hwnd = m_dlg.GetSafeHwnd();
    Platform::UpdateWindow(hwnd);
    const Canvas* window = Platform::GetPresentedImage(hwnd);
    if (!window) return false;
    Canvas out(window->GetWidth(), window->GetHeight());
    out.DrawCanvas(*window, out.GetRect(), out.GetRect(), Canvas::Blend::Copy);
    std::vector<HWND> popups = {m_loading.GetSafeHwnd(), m_tips.GetSafeHwnd()};
    if (MTooltipWnd* tooltip = m_pm.GetTooltipWindow()) popups.push_back(tooltip->GetSafeHwnd());
    if (MAirBladder* bubble = m_pm.GetAirBladder()) popups.push_back(bubble->GetSafeHwnd());
    for (HWND popup : popups)
        if (popup && Platform::IsWindowVisible(popup)) CompositePopup(out, hwnd, popup);
    return out.SavePng(path);
}

}  // namespace

int RenderControlsGallery(const char* pngPath) {
    return RenderOffscreen("controls gallery", pngPath, [&] {
        Manager::SetFont(kEmbeddedFontFamily, 14);
        MDialog dlg;
        dlg.Create(nullptr, L"Orvix controls", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 1280, 800));
        Gallery gallery(dlg);
        gallery.Build();
        return gallery.Save(Utf8ToWide(pngPath));
    });
}
