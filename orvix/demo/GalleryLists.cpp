#include "orvix/demo/GalleryLists.h"

#include <string>

#include "orvix/demo/OffscreenRender.h"
#include "orvix/controls/CSpinButton.h"
#include "orvix/controls/ComboWnd.h"
#include "orvix/controls/DListBox.h"
#include "orvix/controls/MComboBox2.h"
#include "orvix/controls/MEdit.h"
#include "orvix/controls/MEditEx.h"
#include "orvix/controls/MListBox.h"
#include "orvix/core/MScroll.h"
#include "orvix/controls/MSpinButton.h"
#include "orvix/controls/MenuWnd.h"
#include "orvix/controls/NumberEdit.h"
#include "orvix/core/ControlFactory.h"
#include "orvix/core/MDialog.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/core/Manager.h"
#include "base/TextConv.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Headless.h"

namespace {

using namespace Orvix;

const Color kLabel(0xFF8FA3B5);
const Color kText(0xFFE8F0F5);

class Gallery {
  public:
    explicit Gallery(MDialog& dlg) : m_dlg(dlg) {}

    template <typename T>
    T* Make(const wchar_t* cls, CRect rect, const wchar_t* title = nullptr) {
        auto* c = dynamic_cast<T*>(m_dlg.CreateControl(cls, m_nextId++, rect, title));
        if (auto* f = dynamic_cast<MControlFont*>(static_cast<MControl*>(c))) f->SetTextColor(kText);
        return c;
    }
    void Label(CRect rect, const wchar_t* text, Color color = kLabel, int size = 13) {
        auto* t = Make<MText>(L"MText", rect, text);
        t->SetFont(kEmbeddedFontFamily, size, 0);
        t->SetTextColor(color);
    }
    void Frame(CRect rect, const wchar_t* image = L"img_list_bkg.png") {
        auto* p = dynamic_cast<MPicture*>(m_dlg.CreateArea(L"MPicture", m_nextId++, rect));
        p->SetImage(image, 1);
        p->SetShowMode(SHOW_MODE_NINE, 8);
    }
    MEdit* Edit(CRect rect, const wchar_t* text) {
        auto* e = Make<MEdit>(L"MEdit", rect, text);
        e->SetImage(L"img_edit.png", 4);
        e->SetEditBKColor(0x272222);
        return e;
    }
    MComboBox* Combo(MComboBox* c, int selected) {
        const wchar_t* rates[] = {L"125 Hz",  L"250 Hz",  L"500 Hz", L"1000 Hz",
                                  L"2000 Hz", L"4000 Hz", L"8000 Hz"};
        c->SetBackImage(L"img_combobox.png");
        c->SetShowModeMID(8, 8, 30, 8);  // the arrow keeps its shape
        c->SetTextColor(kText);
        for (int i = 0; i < 7; ++i) c->AddItem(rates[i], 125 << i);
        c->SetCurSel(selected);
        return c;
    }

  private:
    MDialog& m_dlg;
    UINT m_nextId = 100;
};

}  // namespace

int RenderListsGallery(const char* pngPath) {
    return RenderOffscreen("lists gallery", pngPath, [&] {
        Manager::SetFontName(kEmbeddedFontFamily);
        MDialog dlg;
        dlg.Create(nullptr, L"Orvix", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 960, 640));
        HWND hwnd = dlg.GetSafeHwnd();
        dlg.LoadBKImage(L"main_bkg.png");
        dlg.SetBackMode(BACK_MODE_NINE, 8);
        Gallery g(dlg);
        auto* caption = g.Make<MPicture>(L"MPicture", CRect(1, 1, 959, 44));
        caption->SetImage(L"img_caption.png", 1);
        caption->SetShowMode(SHOW_MODE_STRETCH);
        g.Label(CRect(20, 1, 600, 44), L"Lists, edits, combo boxes and menus", kText, 18);

        // ---- lists ----
        g.Label(CRect(24, 56, 304, 78), L"PROFILES  \x00B7  selection, hover, rename");
        g.Frame(CRect(20, 80, 308, 304));
        auto* profiles = g.Make<DListBox>(L"DListBox", CRect(24, 84, 304, 300));
        const wchar_t* names[] = {L"Office", L"Shooter", L"Strategy", L"MOBA", L"Drawing", L"Travel"};
        for (int i = 0; i < 6; ++i) profiles->AddString(names[i], i + 1, -1);
        profiles->SetCurSel(1);
        g.Label(CRect(24, 316, 304, 338), L"MACROS  \x00B7  scrolled list");
        g.Frame(CRect(20, 340, 308, 524));
        auto* macros = g.Make<MListBox>(L"MListBox", CRect(24, 344, 304, 520));
        const wchar_t* steps[] = {L"Rapid fire", L"Build order",   L"Copy & paste", L"Sprint toggle",
                                  L"Burst x3",   L"Reload cancel", L"Quick scope",  L"Screenshot",
                                  L"Mute voice", L"Recall"};
        macros->SetItemHeight(30);
        for (const wchar_t* s : steps) macros->AddString(s);
        macros->SetCurSel(4);
        macros->GetScrollVertical()->SetScrollCurrentPos(120);
        auto* off = g.Make<DListBox>(L"DListBox", CRect(24, 540, 304, 612));
        off->AddString(L"Disabled list");
        off->AddString(L"No input");
        off->SetItemHeight(34);
        off->SetEnabled(FALSE);
        off->SetTextColor(Color(0xFF5C6875));

        // ---- edits ----
        g.Label(CRect(336, 56, 616, 78), L"EDITS  \x00B7  typing, password, disabled");
        g.Edit(CRect(336, 84, 616, 118), L"Left button: fire");
        auto* search = g.Edit(CRect(336, 128, 616, 162), L"");
        search->SetTipInfo(L"Search macros\x2026");
        search->SetIconImage(L"img_edit_clear.png", 4);
        auto* typing = g.Edit(CRect(336, 172, 616, 206), L"Rapid fire macro");
        auto* password = g.Edit(CRect(336, 216, 616, 250), L"hunter2");
        password->EnablePassWord(TRUE);
        auto* disabled = g.Edit(CRect(336, 260, 616, 294), L"Read-only value");
        disabled->SetEnabled(FALSE);
        auto* rich = g.Make<MEditEx>(L"MEditEx", CRect(336, 304, 616, 338), L"Text typed by the mouse");
        (void)rich;

        g.Label(CRect(336, 352, 616, 374), L"NUMBERS  \x00B7  number edits and spin boxes");
        auto* page = new MPanel(&dlg, 90, CRect(336, 378, 616, 412));
        page->SetManager(&dlg.GetPaintManager());
        dlg.GetPaintManager().AddControl(page, 1);
        auto* steps1 = dynamic_cast<NumberEdit*>(
            page->CreateControl(L"NumberEdit", 91, CRect(336, 378, 446, 410), L"7"));
        auto* steps2 = dynamic_cast<NumberEdit*>(
            page->CreateControl(L"NumberEdit2", 92, CRect(462, 380, 522, 408), L"12"));
        auto* spin =
            dynamic_cast<MSpinButton*>(page->CreateControl(L"MSpinButton", 93, CRect(538, 378, 616, 410)));
        for (NumberEdit* n : {steps1, steps2}) {
            n->SetTextColor(kText);
            n->SetImage(L"img_edit.png", 4);
        }
        spin->SetTextColor(kText);
        spin->SetRange(0, 20);
        spin->SetCurValue(5);

        // ---- a scrolled panel of settings ----
        g.Label(CRect(336, 428, 616, 450), L"SCROLLED PANEL  \x00B7  wheel moves the content");
        g.Frame(CRect(332, 452, 620, 612));
        auto* panel = new MPanel(&dlg, 94, CRect(336, 456, 616, 608));
        panel->SetManager(&dlg.GetPaintManager());
        dlg.GetPaintManager().AddControl(panel, 1);
        const wchar_t* rows[] = {L"Lift-off distance", L"Debounce time", L"Sleep after", L"Angle snapping",
                                 L"Ripple control",    L"Motion sync",   L"Wake on move"};
        const wchar_t* values[] = {L"1 mm", L"4 ms", L"5 min", L"Off", L"On", L"On", L"Off"};
        for (int i = 0; i < 7; ++i) {
            int y = 460 + i * 40;
            auto* name = dynamic_cast<MText*>(
                panel->CreateControl(L"MText", 200 + i, CRect(344, y, 500, y + 32), rows[i]));
            name->SetTextColor(kText);
            auto* value = dynamic_cast<MEdit*>(
                panel->CreateControl(L"MEdit", 210 + i, CRect(500, y + 2, 604, y + 30), values[i]));
            value->SetImage(L"img_edit.png", 4);
            value->SetTextColor(kText);
            value->SetAlignment(1);
        }
        for (int i = 0; i < 3; ++i) Headless::Wheel(hwnd, 400, 500, -120);

        // ---- combo boxes ----
        g.Label(CRect(648, 56, 936, 78), L"COMBO BOXES  \x00B7  open, checked, disabled");
        auto* rate = g.Combo(g.Make<MComboBox>(L"MComboBox", CRect(648, 84, 936, 118)), 3);
        auto* grouped = new MComboBox2(&dlg, 120, CRect(648, 404, 936, 438));
        grouped->SetManager(&dlg.GetPaintManager());
        dlg.GetPaintManager().AddControl(grouped, 1);
        g.Combo(grouped, 5);
        grouped->SetCheck(TRUE);
        auto* offCombo = g.Combo(g.Make<MComboBox>(L"MComboBox", CRect(648, 448, 936, 482)), 0);
        offCombo->SetEnabled(FALSE);
        // Menus are made of the toolkit's menu items.
        MControl* itemProbe = CreateWindowFactoryControl(L"MenuItem", nullptr, 0, CRect(), nullptr, 1, 1);
        const bool menus = itemProbe != nullptr;
        delete itemProbe;
        if (menus) g.Label(CRect(648, 490, 936, 512), L"MENU  \x00B7  entries, separator, hover");

        // Typing state: the field is open with a word selected; the pointer hovers a profile.
        Platform::RunPending();
        typing->ShowEdit();
        typing->GetEditBox()->SetSel(6, 10);
        Headless::MouseMove(hwnd, 120, 84 + 3 * 36 + 10);
        Platform::RunPending();
        Platform::UpdateWindow(hwnd);
        Canvas shot(960, 640);
        if (const Canvas* image = Platform::GetPresentedImage(hwnd))
            shot.DrawCanvas(*image, shot.GetRect(), image->GetRect());

        // The open drop-down and a context menu, each in its own window.
        rate->OpenDropDown();
        if (ComboWnd* drop = rate->GetDropDown()) {
            Headless::MouseMove(drop->GetSafeHwnd(), 60, 6 + 5 * 30 + 10);
            Platform::RunPending();
            CompositePopup(shot, hwnd, drop->GetSafeHwnd());
            drop->CloseWindow();
            Platform::RunPending();
        }
        if (menus) {
            auto* menu = new MenuWnd();
            menu->Create(hwnd, CPoint(648, 518), WM_USER + 685, 220);
            menu->AddMenu(L"Copy macro", 1, L"img_menu_copy.png");
            menu->AddMenu(L"Rename", 2);
            menu->AddSeparator(3);
            menu->AddMenu(L"Delete macro", 4, L"img_menu_delete.png");
            Headless::MouseMove(menu->GetSafeHwnd(), 60, 6 + 25 + 10);
            Platform::RunPending();
            CompositePopup(shot, hwnd, menu->GetSafeHwnd());
            menu->CloseWindow();
            Platform::RunPending();
        }
        return shot.SavePng(Utf8ToWide(pngPath));
    });
}
