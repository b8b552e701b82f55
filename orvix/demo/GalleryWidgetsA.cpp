#include "orvix/demo/GalleryWidgetsA.h"

#include <string>

#include "orvix/demo/OffscreenRender.h"
#include "orvix/core/MDialog.h"
#include "orvix/core/MPanel.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/core/Manager.h"
#include "base/TextConv.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Headless.h"
#include "orvix/widgets/BatteryCtrl.h"
#include "orvix/widgets/CColorButton.h"
#include "orvix/widgets/CColorPalette.h"
#include "orvix/widgets/CColorSelect.h"
#include "orvix/widgets/CDeviceCtrl.h"
#include "orvix/widgets/CDeviceList.h"
#include "orvix/widgets/CDeviceState.h"
#include "orvix/widgets/CirclePalette.h"
#include "orvix/widgets/ColorButtonEx.h"
#include "orvix/widgets/DPIControl.h"
#include "orvix/widgets/DPISlider.h"
#include "orvix/widgets/LightSlider.h"
#include "orvix/widgets/MPalette.h"
#include "orvix/widgets/PaletteBar.h"
#include "orvix/widgets/ReporteCtrl.h"

namespace {

using namespace Orvix;

const Color kLabel(0xFF8A96A3);
const Color kCaption(0xFFE8F0F5);

class Gallery {
  public:
    explicit Gallery(MDialog& dlg) : m_dlg(dlg), m_pm(dlg.GetPaintManager()) {}

    void Build() {
        BuildFrame();
        BuildDpi();
        BuildDevices();
        BuildRatesAndSliders();
        BuildColours();
    }

  private:
    template <typename T>
    T* Top(const wchar_t* cls, CRect rect, const wchar_t* title = nullptr) {
        return dynamic_cast<T*>(m_dlg.CreateControl(cls, m_nextId++, rect, title));
    }
    // A panel for the widgets only containers make; it covers `rect`.
    MPanel* Page(CRect rect) {
        auto* page = new MPanel(&m_dlg, m_nextId++, rect);
        page->SetManager(&m_pm);
        m_pm.AddControl(page, 1);
        return page;
    }
    template <typename T>
    T* In(MPanel* page, const wchar_t* cls, CRect rect) {
        return dynamic_cast<T*>(page->CreateControl(cls, m_nextId++, rect));
    }
    MText* Label(CRect rect, const wchar_t* text, int size = 13, Color color = kLabel, UINT align = 0) {
        auto* t = Top<MText>(L"MText", rect, text);
        t->SetFont(kEmbeddedFontFamily, size, 0);
        t->SetTextColor(color);
        t->SetAlignment(align, 4);
        return t;
    }
    void Panel(CRect rect, const wchar_t* caption) {
        auto* back = Top<MPicture>(L"MPicture", rect);
        back->SetImage(L"img_area_bkg.png");
        back->SetShowMode(SHOW_MODE_NINE, 8);
        auto* bar =
            Top<MPicture>(L"MPicture", CRect(rect.left + 1, rect.top + 1, rect.right - 1, rect.top + 30));
        bar->SetImage(L"img_area_caption.png");
        bar->SetShowMode(SHOW_MODE_NINE, 6);
        Label(CRect(rect.left + 14, rect.top + 1, rect.right - 14, rect.top + 30), caption, 14, kCaption);
    }

    void BuildFrame();
    void BuildDpi();
    void BuildDevices();
    void BuildRatesAndSliders();
    void BuildColours();

    MDialog& m_dlg;
    PaintManager& m_pm;
    UINT m_nextId = 100;
};

void Gallery::BuildFrame() {
    m_dlg.LoadBKImage(L"main_bkg.png");
    m_dlg.SetBackMode(BACK_MODE_NINE, 8);
    auto* caption = Top<MPicture>(L"MPicture", CRect(1, 1, 1279, 50));
    caption->SetImage(L"img_caption.png");
    caption->SetShowMode(SHOW_MODE_STRETCH);
    Label(CRect(24, 1, 700, 50), L"Orvix \u00b7 device widgets", 18, kCaption);
}

void Gallery::BuildDpi() {
    Panel(CRect(16, 62, 1264, 274), L"DPI levels");
    Label(CRect(40, 96, 600, 116),
          L"Seven levels with their colours \u00b7 level 2 active, level 4 being typed");
    MPanel* page = Page(CRect(30, 118, 1250, 204));
    auto* cards = In<DPIControl>(page, L"DPIControl", CRect(40, 120, 950, 200));
    cards->SetFont(kEmbeddedFontFamily, 16, 1);
    const int values[] = {800, 1200, 1600, 2400, 5000, 12000, 24000};
    const int colours[] = {255, 16776960, 65535, 13353215, 65280, 8388736, 16711680};
    for (int i = 0; i < 7; ++i) cards->AddItem(values[i], colours[i]);
    auto* slider = Top<DPISlider>(L"DPISlider", CRect(40, 204, 950, 268));
    slider->SetBkgImage(L"img_area2.png");
    slider->SetImage(L"img_dpi_bar.png", 1);
    slider->SetFont(kEmbeddedFontFamily, 13, 0);
    slider->SetTextColor(Color(0xFFB8C4CE));
    slider->SetProgress(1200 / 50);
    Label(CRect(980, 120, 1240, 146), L"Active level", 13);
    Label(CRect(980, 144, 1240, 180), L"DPI 2 \u00b7 1200", 22, kCaption);
    Label(CRect(980, 184, 1240, 208), L"Slider: 50 DPI a step", 13);
    // The user is typing a new value into level 4.
    cards->SetSelectItem(3);
    cards->ShowEdit();
    if (MEditBox* box = cards->GetEditWindow()) box->SetText(L"3200");
}

void Gallery::BuildDevices() {
    Panel(CRect(16, 284, 700, 512), L"Devices");
    auto* list = Top<CDeviceList>(L"CDeviceList", CRect(30, 320, 490, 504));
    list->SetImage(L"area_device.png", 1);
    list->SetDevModeDesc(L"Wired", L"Wireless");
    list->SetDevModeImage(L"device_mode.png");
    list->SetBatteryBkg(L"icon/icon_battery_bkg.png");
    list->SetBatteryIcon(L"icon/icon_batteryvalue.png", L"icon/icon_charge.png");
    // The pictures of the shipped models, as the catalog names them.
    list->AddDevice(L"V8 Wireless", 101, Manager::GetSkinPath(L"device/vantorel_v8.png"));
    list->AddDevice(L"V6 Lite", 102, Manager::GetSkinPath(L"device/vantorel_v6.png"));
    list->AddDevice(L"V6 (not connected)", 103, Manager::GetSkinPath(L"device/vantorel_v6.png"));
    list->SetDeviceState(101, 1, 1);
    list->SetDeviceState(102, 0, 1);
    list->SetDeviceBattery(101, 0, 80);
    list->SetDeviceBattery(102, 1, 55);
    list->SetSelectDevice(101);

    Label(CRect(510, 320, 690, 340), L"Battery levels");
    const int levels[] = {100, 80, 55, 30, 12};
    for (int i = 0; i < 5; ++i) {
        const int y = 346 + i * 28;
        auto* battery = Top<BatteryCtrl>(L"BatteryCtrl", CRect(510, y, 580, y + 20));
        battery->SetImage(L"icon/icon_battery_bkg.png", 1);
        battery->SetBatteryIcon(L"icon/icon_batteryvalue.png", L"icon/icon_charge.png");
        battery->SetBatteryInfo(levels[i], i == 2 ? 1 : 0);
        Label(CRect(600, y, 690, y + 20),
              (std::to_wstring(levels[i]) + L" %" + (i == 2 ? L" charging" : L"")).c_str(), 12);
    }
    auto* state = Top<CDeviceState>(L"CDeviceState", CRect(510, 482, 690, 506), L"Connected \u00b7 2.4 GHz");
    state->SetImage(L"device_mode.png", 1);
    state->SetFont(kEmbeddedFontFamily, 13, 0);
    state->SetTextColor(Color(0xFF6CF29A));
}

void Gallery::BuildRatesAndSliders() {
    Panel(CRect(712, 284, 1264, 392), L"Report rate");
    MPanel* page = Page(CRect(724, 320, 1252, 386));
    auto* rates = In<ReporteCtrl>(page, L"ReporteCtrl", CRect(742, 326, 1242, 380));
    rates->SetFont(kEmbeddedFontFamily, 15, 1);
    rates->SetTextColor(Color(0xFFE8F0F5));
    const wchar_t* texts[] = {L"125Hz", L"250Hz", L"500Hz", L"1000Hz"};
    const int colours[] = {0x0108F1, 0xED6B00, 0x4DF600, 0x20A3FF};
    for (int i = 0; i < 4; ++i) rates->AddItem(texts[i], i, colours[i]);
    rates->SetSelectItemValue(3);

    Panel(CRect(712, 402, 1264, 512), L"Brightness and speed");
    const wchar_t* names[] = {L"Brightness", L"Speed"};
    const int values[] = {7, 4};
    for (int i = 0; i < 2; ++i) {
        const int y = 438 + i * 36;
        Label(CRect(730, y, 840, y + 32), names[i]);
        auto* s = Top<LightSlider>(L"LightSlider", CRect(840, y, 1240, y + 32));
        s->SetImage(L"img_light_slider_bk.png");
        s->SetThumbImage(L"img_light_slider_thumb.png");
        s->SetFont(kEmbeddedFontFamily, 12, 1);
        s->SetProgress(values[i]);
    }
}

void Gallery::BuildColours() {
    Panel(CRect(16, 522, 1264, 792), L"Lighting colour");
    auto* ring = Top<CirclePalette>(L"CirclePalette", CRect(30, 552, 270, 792));
    ring->SetImage(L"img_color_ring.png", 1);
    ring->MoveThumbPos(CPoint(150 + 62, 672 - 62));

    Label(CRect(290, 578, 640, 598), L"Hue and saturation \u00b7 lightness");
    auto* palette = Top<MPalette>(L"MPalette", CRect(290, 602, 640, 722));
    palette->SetPalletHeight(120);
    palette->SetThumbImage(L"img_palette_thumb.png");
    palette->SetSelectColor(RGB(255, 72, 0));
    Label(CRect(290, 730, 640, 750), L"Hue bar");
    MPanel* page = Page(CRect(290, 752, 650, 782));
    auto* bar = In<PaletteBar>(page, L"PaletteBar", CRect(290, 754, 640, 778));
    bar->SetImage(L"img_palette_bar_thumb.png", 1);
    bar->SetCurrentHue(30);

    Label(CRect(670, 578, 1000, 598), L"Preset colours (one group)");
    const COLORREF presets[] = {0x0000FF, 0xFF00F0, 0xFF0C00, 0xFCFF00,
                                0x06FF00, 0x00DEFF, 0x0048FF, 0xFFFFFF};
    for (int i = 0; i < 8; ++i) {
        auto* b = Top<CColorButton>(L"CColorButton", CRect(670 + i * 40, 604, 700 + i * 40, 634));
        b->SetColor(presets[i]);
        b->SetGroupName(L"DEFAULTCOLOR");
        b->SetVisibleBorder(true);
        if (i == 2) b->SetCheck(TRUE);
    }
    Label(CRect(670, 646, 1000, 666), L"Colour buttons with a value");
    MPanel* values = Page(CRect(670, 670, 1000, 710));
    const COLORREF valueColours[] = {0x3C14DC, 0x00A5FF, 0x32CD32, 0xFF901E};
    const int numbers[] = {25, 50, 75, 100};
    for (int i = 0; i < 4; ++i) {
        auto* b = In<ColorButtonEx>(values, L"ColorButtonEx", CRect(670 + i * 80, 672, 740 + i * 80, 706));
        b->SetColor(valueColours[i]);
        b->SetFont(kEmbeddedFontFamily, 14, 1);
        b->SetValue(numbers[i]);
        b->SetGroupName(L"LEVEL");
        if (i == 1) b->SetCheck(TRUE);
    }
    Label(CRect(670, 718, 1000, 738), L"Colour row");
    auto* row = Top<CColorSelect>(L"CColorSelect", CRect(674, 746, 1010, 776));
    row->SetColorIndex(5);

    Label(CRect(1030, 578, 1250, 598), L"Palette");
    auto* grid = Top<CColorPalette>(L"CColorPalette", CRect(1030, 606, 1254, 780));
    grid->SetThumbImage(L"img_color_check.png");
    grid->SetSelectColor(grid->GetColors()[14]);
}

}  // namespace

int RenderWidgetsGalleryA(const char* pngPath) {
    return RenderOffscreen("widgets gallery", pngPath, [&] {
        Manager::SetFont(kEmbeddedFontFamily, 14);
        MDialog dlg;
        dlg.Create(nullptr, L"Orvix device widgets", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 1280, 800));
        Gallery gallery(dlg);
        gallery.Build();
        const HWND hwnd = dlg.GetSafeHwnd();
        // The pointer rests on the first device card.
        Headless::MouseMove(hwnd, 130, 420);
        Platform::RunPending();
        Platform::UpdateWindow(hwnd);
        return Platform::SaveScreenshot(hwnd, Utf8ToWide(pngPath));
    });
}
