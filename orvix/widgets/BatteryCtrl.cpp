#include "orvix/widgets/BatteryCtrl.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/PaintManager.h"
#include "orvix/platform/Image.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(BatteryCtrl)

namespace {
constexpr int kFirstSegment = 4;
constexpr int kGap = 2;
constexpr int kLastSegmentShift = 5;
}  // namespace

BatteryCtrl::BatteryCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                         BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
    m_fontSize = 14;
    m_frameCount = 1;
    m_runTimer = TRUE;  // ticks arrive once the owner registers it
}

BOOL BatteryCtrl::SetImage(const wchar_t* outline, int count) {
    return MControlFont::SetImage(outline, count);
}

BOOL BatteryCtrl::LoadIcons(PaintManager* manager, const wchar_t* levelBar, const wchar_t* charging,
                            const Image*& bar, const Image*& charge) {
    if (!manager || !levelBar || !charging) return FALSE;
    ImgResInfo* barInfo = manager->AddImgResInfo(levelBar, 1);
    ImgResInfo* chargeInfo = manager->AddImgResInfo(charging, 1);
    if (!barInfo || !chargeInfo) return FALSE;
    bar = barInfo->image.get();
    charge = chargeInfo->image.get();
    return TRUE;
}

BOOL BatteryCtrl::SetBatteryIcon(const wchar_t* levelBar, const wchar_t* charging) {
    if (!LoadIcons(m_manager, levelBar, charging, m_bar, m_charge)) return FALSE;
    UpdateControl(TRUE);
    return TRUE;
}

void BatteryCtrl::SetBatteryInfo(int level, int charging) {
    if (level == m_level && charging == m_charging) return;
    m_level = level;
    m_charging = charging;
    m_chargeLit = TRUE;
    UpdateControl(TRUE);
}

int BatteryCtrl::SegmentsFor(int level) {
    if (level < 0) return -1;
    if (level >= 95) return 5;
    if (level >= 75) return 4;
    if (level >= 50) return 3;
    if (level >= 25) return 2;
    return 0;
}

void BatteryCtrl::DrawGauge(Canvas& canvas, CPoint at, const Image* outline, const Image* bar, int level) {
    if (outline) canvas.DrawImage(*outline, at.x, at.y);
    const Image* sizer = bar ? bar : outline;
    if (!sizer) return;
    const int segment = (sizer->GetWidth() - 6) / kSegments, height = sizer->GetHeight();
    const int shown = SegmentsFor(level);
    if (shown == 0) {
        canvas.FillRect(
            CRect(at.x + kFirstSegment, at.y + 4, at.x + kFirstSegment + segment, at.y + height - 4),
            kLowColor);
        return;
    }
    for (int i = 0; bar && i < shown; ++i) {
        const int x = kFirstSegment + i * (segment + kGap);
        // The bar image is narrower than five segments and their gaps: the
        // last of four or five takes its pixels from further left.
        const int srcX = (shown >= 4 && i == shown - 1) ? x - kLastSegmentShift : x;
        canvas.DrawImage(*bar, CRect(at.x + x, at.y, at.x + x + segment, at.y + height),
                         CRect(srcX, 0, srcX + segment, height));
    }
}

BOOL BatteryCtrl::OnControlTimer() {
    if (m_charging != 1) return FALSE;
    if (++m_ticks % kAnimationPeriod != 0) return FALSE;
    m_chargeLit = !m_chargeLit;
    UpdateControl(TRUE);
    return TRUE;
}

void BatteryCtrl::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& slice) {
        DrawGauge(cache, slice.TopLeft(), m_image, m_bar, m_level);
        if (m_charging == 1 && m_charge) {
            const int x = slice.left + (m_image ? m_image->GetWidth() : 0) + 1;
            const int y = slice.top + (slice.Height() - m_charge->GetHeight()) / 2;
            cache.DrawImage(*m_charge, CRect(x, y, x + m_charge->GetWidth(), y + m_charge->GetHeight()),
                            CRect(0, 0, m_charge->GetWidth(), m_charge->GetHeight()), 0,
                            m_chargeLit ? 255 : 90);
        }
    });
}

}  // namespace Orvix
