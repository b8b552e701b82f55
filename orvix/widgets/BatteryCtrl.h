#pragma once
// The battery gauge: an outline image, up to five segments cut from a level
// bar image (a red bar below 25 %) and a charging mark right of the outline.
// While charging and registered with the window's animation ticker
// (AddMTimer) the mark blinks, one change every fifth tick.
#include "orvix/core/MControlFont.h"

namespace Orvix {

class Image;

class BatteryCtrl : public MControlFont {
  public:
    static constexpr int kSegments = 5;
    static constexpr int kAnimationPeriod = 5;  // ticks per blink step
    static constexpr Color kLowColor{0xFFFF0000};

    BatteryCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"BatteryCtrl"; }
    // The outline (one frame).
    BOOL SetImage(const wchar_t* outline, int count = 1) override;
    BOOL SetBatteryIcon(const wchar_t* levelBar, const wchar_t* charging);
    // No-op when both are unchanged.
    void SetBatteryInfo(int level, int charging);
    int GetLevel() const { return m_level; }
    int GetCharging() const { return m_charging; }
    BOOL IsChargeMarkLit() const { return m_chargeLit; }

    // Segments a level shows: 5 from 95, 4 from 75, 3 from 50, 2 from 25; 0
    // means the red bar (0..24) and -1 nothing (a negative level).
    static int SegmentsFor(int level);
    // The level bar and the charging mark from the window's image cache;
    // FALSE, and nothing changes, unless both load.
    static BOOL LoadIcons(PaintManager* manager, const wchar_t* levelBar, const wchar_t* charging,
                          const Image*& bar, const Image*& charge);
    // The outline at `at` (natural size) and the level over it.
    static void DrawGauge(Canvas& canvas, CPoint at, const Image* outline, const Image* bar, int level);

    BOOL OnControlTimer() override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    // It only draws: the pointer passes through it.
    BOOL IsDecoration() const override { return TRUE; }


  private:
    const Image* m_bar = nullptr;     // owned by the window's image cache
    const Image* m_charge = nullptr;  // likewise
    int m_level = 100;
    int m_charging = 0;
    int m_ticks = 0;
    BOOL m_chargeLit = TRUE;
};

}  // namespace Orvix
