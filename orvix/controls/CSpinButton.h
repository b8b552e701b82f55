#pragma once
// A numeric spin box over the rich edit: digits typed into the box, two
// arrows at the right edge, the Up and Down keys and the wheel step the value
// within its range. Every change of the value sends code 28.
#include "orvix/controls/MRichEdit.h"

namespace Orvix {

class CSpinButton : public MRichEdit {
  public:
    CSpinButton(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                BOOL enabled = TRUE);

    // Kept to the range; TRUE (and code 28) when the value changed.
    BOOL SetCurValue(int value);
    int GetCurValue() const { return m_value; }
    void SetRange(int min, int max);
    int GetMin() const { return m_min; }
    int GetMax() const { return m_max; }
    // At most this many characters may be typed (0 = no limit).
    void SetLimitLength(int length) { SetLimitText(length); }

    void InitControl(PaintManager* manager) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    BOOL OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers) override;
    BOOL OnControlScroll(int bar, UINT direction, CPoint pt) override;

    CRect GetUpRect() const;
    CRect GetDownRect() const;

  protected:
    CRect BoxRect() const override;
    void OnTextChanged() override;
    void OnEditEnded() override;

  private:
    BOOL Change(int value, bool showText);
    void ShowValue();

    int m_value = 0;
    int m_min = 0;
    int m_max = 100;
    int m_hoverArrow = 0;  // 0 none, 1 up, 2 down
    int m_pressedArrow = 0;
};

}  // namespace Orvix
