#pragma once
// A tab page: a plain container. While its strip slides it in or out, its
// drawing is clipped to the page's resting place.
#include "orvix/core/MPanel.h"

namespace Orvix {

class MTabLayout : public MPanel {
public:
    MTabLayout(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
               BOOL enabled = TRUE);

    // Empty: no clipping.
    void SetClipRect(CRect clip) { m_clip = clip; }
    CRect GetClipRect() const { return m_clip; }

    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    // A bare container: the pointer passes through where none of its controls is.
    BOOL IsDecoration() const override { return TRUE; }

    BOOL DrawSubControls(Canvas& canvas, CRect rcPaint) override;

private:
    CRect m_clip;
};

}  // namespace Orvix
