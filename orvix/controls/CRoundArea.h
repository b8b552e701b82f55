#pragma once
// A filled rounded rectangle.
#include "orvix/core/MControl.h"

namespace Orvix {

class CRoundArea : public MControl {
public:
    CRoundArea(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
               BOOL enabled = TRUE);

    void SetColor(Color color);
    Color GetColor() const { return m_color; }
    // Corner radius; -1 (the default) rounds the short side fully.
    void SetRadius(int radius);

    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    // It only draws: the pointer passes through it.
    BOOL IsDecoration() const override { return TRUE; }


private:
    Color m_color = Color(0xFF16212E);
    int m_radius = -1;
};

}  // namespace Orvix
