#include "orvix/controls/MProgress.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MProgress)

namespace {
constexpr int kSegmentPercent = 25;  // width of the running segment
constexpr int kPhaseSteps = 100;
}  // namespace

MProgress::MProgress(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
    m_hAlign = 1;
}

void MProgress::InitControl(PaintManager* manager) {
    MControlFont::InitControl(manager);
    AddMTimer();
}

BOOL MProgress::TakeLayer(const ImgResInfo* info, const Image*& layer) {
    if (!info) return FALSE;
    layer = info->image.get();
    UpdateControl(TRUE);
    return TRUE;
}

BOOL MProgress::SetBackGroundImage(const wchar_t* file) {
    return m_manager && file && TakeLayer(m_manager->AddImgResInfo(file, 1), m_back);
}
BOOL MProgress::SetBackGroundImage(UINT resId, const std::wstring& type) {
    return m_manager && TakeLayer(m_manager->AddImgResInfo(resId, type, 1, TRUE), m_back);
}
BOOL MProgress::SetForeGroundImage(const wchar_t* file) {
    return m_manager && file && TakeLayer(m_manager->AddImgResInfo(file, 1), m_fore);
}
BOOL MProgress::SetForeGroundImage(UINT resId, const std::wstring& type) {
    return m_manager && TakeLayer(m_manager->AddImgResInfo(resId, type, 1, TRUE), m_fore);
}

void MProgress::SetProgress(int progress) {
    progress = std::clamp(progress, 0, m_max);
    if (progress == m_progress) return;
    m_progress = progress;
    UpdateControl(TRUE);
}

void MProgress::SetMaxProgress(int maximum) {
    m_max = std::max(1, maximum);
    m_progress = std::min(m_progress, m_max);
    UpdateControl(TRUE);
}

void MProgress::SetRun(BOOL run) {
    m_run = run ? TRUE : FALSE;
    m_phase = 0;
    SetRunTimer(m_run);
    UpdateControl(TRUE);
}

void MProgress::EnableShowText(BOOL show) {
    m_showText = show;
    UpdateControl(TRUE);
}

BOOL MProgress::OnControlTimer() {
    if (!m_run) return FALSE;
    m_phase = (m_phase + 1) % kPhaseSteps;
    UpdateControl(TRUE);
    return TRUE;
}

void MProgress::DrawLayer(Canvas& canvas, const Image& layer, const CRect& r) const {
    // Round ends stay round however long the bar is; the centre keeps a
    // stretchable row and column.
    const int inset = std::max(0, std::min(layer.GetWidth(), layer.GetHeight()) / 2 - 1);
    MRender::DrawImageFrame(canvas, layer, r, 0, 0, layer.GetWidth(), layer.GetHeight(), inset);
}

void MProgress::Render(Canvas& canvas, const CRect& r) const {
    // The covered span: the progress, or the moving segment while running.
    int from = r.left, to = r.left + int(int64_t(r.Width()) * m_progress / m_max);
    if (m_run) {
        const int seg = r.Width() * kSegmentPercent / 100;
        from = r.left - seg + (r.Width() + seg) * m_phase / kPhaseSteps;
        to = from + seg;
    }
    const CRect covered(std::max(from, r.left), r.top, std::min(to, r.right), r.bottom);
    if (m_back || m_fore) {
        if (m_back) DrawLayer(canvas, *m_back, r);
        if (m_fore && !covered.IsRectEmpty()) {
            canvas.PushClip(covered);
            DrawLayer(canvas, *m_fore, r);
            canvas.PopClip();
        }
    } else {
        const Color accent = Manager::GetSelectColor();
        canvas.FillRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), Color(0x80, accent.GetR(), accent.GetG(), accent.GetB()));
        if (!covered.IsRectEmpty()) canvas.FillRect(CRect(covered.left, r.bottom - 3, covered.right, r.bottom), accent);
    }
    if (m_showText && !m_run) {
        const std::wstring text = std::to_wstring(m_progress * 100 / m_max) + L"%";
        DrawTitleText(canvas, text, r, m_textColor);
    }
}

void MProgress::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& slice) { Render(cache, slice); });
}

void MProgress::DescribeAccessible(AccessibleInfo& info) {
    info.role = AccessibleRole::ProgressBar;
    info.name = GetAccessibleName().empty() ? GetTitle() : GetAccessibleName();
    info.hasValue = true;
    info.value = GetProgress();
    info.minimum = 0;
    info.maximum = GetMaxProgress();
}

}  // namespace Orvix
