#pragma once
// A progress bar: the background image with the foreground image covering
// progress / maximum of the width; without images, a 1-pixel line along the
// bottom with a 3-pixel bar of that length. Optionally the percentage as text.
// Running, it shows an indeterminate segment that moves with the window's
// animation ticker instead.
#include "orvix/core/MControlFont.h"

namespace Orvix {

class MProgress : public MControlFont {
public:
    void DescribeAccessible(AccessibleInfo& info) override;
    MProgress(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
              BOOL enabled = TRUE);

    BOOL SetBackGroundImage(const wchar_t* file);
    BOOL SetBackGroundImage(UINT resId, const std::wstring& type);
    BOOL SetForeGroundImage(const wchar_t* file);
    BOOL SetForeGroundImage(UINT resId, const std::wstring& type);
    // Clamped to 0..maximum.
    void SetProgress(int progress);
    int GetProgress() const { return m_progress; }
    // At least 1; the progress is clamped again.
    void SetMaxProgress(int maximum);
    int GetMaxProgress() const { return m_max; }
    void SetRun(BOOL run);
    BOOL IsRun() const { return m_run; }
    void EnableShowText(BOOL show);

    void InitControl(PaintManager* manager) override;
    BOOL OnControlTimer() override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    // It only draws: the pointer passes through it.
    BOOL IsDecoration() const override { return TRUE; }


private:
    BOOL TakeLayer(const struct ImgResInfo* info, const Image*& layer);
    void Render(Canvas& canvas, const CRect& r) const;
    void DrawLayer(Canvas& canvas, const Image& layer, const CRect& r) const;

    const Image* m_back = nullptr;  // both owned by the window's image cache
    const Image* m_fore = nullptr;
    int m_progress = 0;
    int m_max = 100;
    BOOL m_run = FALSE;
    BOOL m_showText = FALSE;
    int m_phase = 0;
};

}  // namespace Orvix
