#include "orvix/demo/GalleryWidgetsB.h"

#include <string>

#include "orvix/demo/OffscreenRender.h"
#include "device/DeviceCatalog.h"
#include "base/LanguageText.h"
#include "orvix/core/MScroll.h"
#include "orvix/core/MDialog.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/core/Manager.h"
#include "base/TextConv.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Headless.h"
#include "orvix/widgets/CRecordList.h"
#include "orvix/widgets/KeyFuncType.h"
#include "orvix/widgets/KeyFuncValue.h"
#include "orvix/widgets/MacroList.h"
#include "orvix/widgets/MouseCtrl.h"
#include "orvix/widgets/MouseKeyCtrl.h"
#include "base/AppContext.h"
#include "base/ParseInt.h"

namespace {

using namespace Orvix;

const Color kLabel(0xFF8FA3B5);
const Color kText(0xFFE8F0F5);

class GalleryB {
  public:
    GalleryB(MDialog& dlg, MPanel& page) : m_dlg(dlg), m_page(page) {}

    template <typename T>
    T* Widget(const wchar_t* cls, CRect rect) {
        auto* c = dynamic_cast<T*>(m_page.CreateControl(cls, m_nextId++, rect));
        if (c) c->SetFont(kEmbeddedFontFamily, 13, 0);
        return c;
    }
    void Label(CRect rect, const wchar_t* text, Color color = kLabel, int size = 13) {
        auto* t = dynamic_cast<MText*>(m_dlg.CreateControl(L"MText", m_nextId++, rect, text));
        t->SetFont(kEmbeddedFontFamily, size, 0);
        t->SetTextColor(color);
    }
    MPicture* Picture(CRect rect, const wchar_t* image, bool nine) {
        auto* p = dynamic_cast<MPicture*>(m_dlg.CreateArea(L"MPicture", m_nextId++, rect));
        p->SetImage(image, 1);
        if (nine) p->SetShowMode(SHOW_MODE_NINE, 8);
        return p;
    }
    // A titled area: caption above, panel behind the content.
    void Area(CRect rect, const wchar_t* caption) {
        Label(CRect(rect.left + 4, rect.top - 26, rect.right, rect.top - 4), caption);
        Picture(rect, L"img_list_bkg.png", true);
    }

  private:
    MDialog& m_dlg;
    MPanel& m_page;
    UINT m_nextId = 100;
};

std::wstring Text(int id) {
    std::wstring text = ReadLanguageText(Manager::GetModuleFolder(), kLcidEnglish, L"LAN", id);
    return text.empty() ? L"#" + std::to_wstring(id) : text;
}

// The V8's buttons as its description places them, captioned by their function.
void FillButtonMap(MouseCtrl& map) {
    DeviceDescription description;
    ReadDeviceDescription(Manager::GetModuleFolder(), L"vantorel_v8", description);
    for (size_t i = 0; i < description.buttons.size(); ++i) {
        const DescriptionButton& b = description.buttons[i];
        const std::wstring caption = i < description.defaultButtons.size()
                                         ? Text(ParseInt(description.defaultButtons[i].macroDesc))
                                         : Text(b.nameId);
        map.AddItem(caption, b.keyValue, b.direction, CPoint(b.line.x1, b.line.y),
                    CPoint(b.line.x2, b.line.y));
    }
    // A few buttons the user has reassigned.
    map.SetItemKeyDesc(3, L"Ctrl+C");
    map.SetItemKeyDesc(4, L"Ctrl+V");
    map.SetItemKeyDesc(6, L"Macro: Rapid fire");
    map.SetSelectItem(1);
}

void FillRecords(CRecordList& events) {
    struct Event {
        const wchar_t* text;
        int type, value, delay;
    };
    const Event rows[] = {
        {L"Shift \x2193", 2, 225, 20}, {L"R \x2193", 2, 21, 35},    {L"R \x2191", 3, 21, 60},
        {L"Left \x2193", 4, 1, 30},    {L"Left \x2191", 5, 1, 55},  {L"Shift \x2191", 3, 225, 15},
        {L"Q \x2193", 2, 20, 18},      {L"Q \x2191", 3, 20, 45},    {L"Wheel \x2193", 6, 4, 25},
        {L"Right \x2193", 4, 2, 40},   {L"Right \x2191", 5, 2, 120}};
    for (const Event& e : rows) events.AddString(e.text, e.type, e.value, e.delay);
}

}  // namespace

int RenderWidgetsGalleryB(const char* pngPath) {
    return RenderOffscreen("widgets gallery B", pngPath, [&] {
        Manager::SetFontName(kEmbeddedFontFamily);
        MDialog dlg;
        dlg.Create(nullptr, L"Orvix", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 1120, 920));
        HWND hwnd = dlg.GetSafeHwnd();
        dlg.LoadBKImage(L"main_bkg.png");
        dlg.SetBackMode(BACK_MODE_NINE, 8);
        auto* page = new MPanel(&dlg, 90, CRect(0, 0, 1120, 920));
        page->SetManager(&dlg.GetPaintManager());
        GalleryB g(dlg, *page);
        g.Picture(CRect(1, 1, 1119, 44), L"img_caption.png", false)->SetShowMode(SHOW_MODE_STRETCH);
        g.Label(CRect(20, 1, 900, 44), L"Button map, function lists, macros and events", kText, 18);

        // ---- button map ----
        g.Area(CRect(16, 86, 596, 526),
               L"BUTTON MAP  \x00B7  Vantorel V8 Wireless, labels from its description");
        g.Picture(CRect(26 + 130, 96, 26 + 430, 516), L"device/vantorel_v8.png", false);
        // ---- function type and value ----
        g.Area(CRect(612, 86, 842, 526), L"FUNCTION TYPE");
        g.Area(CRect(858, 86, 1104, 526), L"MOUSE ACTION");
        // ---- macros, events, shortcuts ----
        g.Area(CRect(16, 580, 316, 904), L"MACROS  \x00B7  rename, item menu");
        g.Area(CRect(332, 580, 842, 904), L"EVENTS OF \x201CRELOAD CANCEL\x201D  \x00B7  11 events");
        g.Area(CRect(858, 580, 1104, 904), L"SHORTCUTS");
        dlg.GetPaintManager().AddControl(page, 1);

        auto* map = g.Widget<MouseCtrl>(L"MouseCtrl", CRect(26, 96, 586, 516));
        map->SetImage(L"img_key_bkg.png", 2);
        FillButtonMap(*map);

        auto* types = g.Widget<KeyFuncType>(L"KeyFuncType", CRect(618, 92, 836, 520));
        const int typeData[] = {0, 1, 2, 5, 4, 7, 8, 9, 10, 11};
        const wchar_t* typeIcons[] = {L"0", L"1", L"2", L"4", L"6", L"7", L"9", L"10", L"11", L"12"};
        for (int i = 0; i < 10; ++i)
            types->AddItem(Text(221 + i), typeData[i],
                           std::wstring(L"icon\\keytype_") + typeIcons[i] + L".png");
        types->SetCurData(1);

        auto* values = g.Widget<KeyFuncValue>(L"KeyFuncValue", CRect(864, 92, 1098, 520));
        for (int i = 0; i < 10; ++i) values->AddItem(Text(150 + i), i + 1, L"");
        values->AddItem(Text(210), 11, L"");
        values->SetCurData(3);

        auto* macros = g.Widget<MacroList>(L"MacroList", CRect(22, 586, 310, 898));
        macros->SetImage(L"img_macro_item.png", 2);
        macros->SetEditImage(L"btn_more.png", 4);
        macros->SetTextColor(Color(0xFFB8D3EF));
        for (const wchar_t* name : {L"Rapid fire", L"Reload cancel", L"Build order", L"Burst x3",
                                    L"Sprint toggle", L"Quick scope", L"Screenshot"})
            macros->AddString(name, 0, -1);
        macros->SetCurSel(1);

        auto* events = g.Widget<CRecordList>(L"CRecordList", CRect(338, 586, 836, 898));
        events->SetImage(L"icon/icon_record.png", 4);
        events->SetItemImage(L"img_record_item.png", 2);
        events->SetMoreImage(L"btn_more.png", 4);
        events->SetTextColor(Color(0xFFD6E2EE));
        FillRecords(*events);
        events->GetScrollVertical()->SetScrollCurrentPos(0);
        events->SetCurSel(2);
        events->SetTimeStampSelect(60);

        auto* keys = g.Widget<MouseKeyCtrl>(L"MouseKeyCtrl", CRect(864, 592, 1098, 898));
        const wchar_t* shortcuts[][2] = {{L"Win+D", L"Show desktop"},    {L"Win+E", L"File manager"},
                                         {L"Win+L", L"Lock screen"},     {L"Ctrl+C", L"Copy"},
                                         {L"Ctrl+V", L"Paste"},          {L"Ctrl+Z", L"Undo"},
                                         {L"Alt+Tab", L"Switch window"}, {L"Ctrl+S", L"Save"}};
        for (int i = 0; i < 8; ++i) keys->AddItem(shortcuts[i][0], shortcuts[i][1], i + 1);
        keys->SetSelectItem(2);

        // The pointer rests on the side button's label.
        Platform::RunPending();
        const CRect hovered = map->GetLabelRect(3);
        Headless::MouseMove(hwnd, hovered.CenterPoint().x, hovered.CenterPoint().y);
        Platform::RunPending();
        return Platform::SaveScreenshot(hwnd, Utf8ToWide(pngPath));
    });
}
