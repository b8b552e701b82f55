#pragma once
// The button map: callout labels around the picture of the mouse. Each item is
// a label box joined by a line to a dot on its button and shows what the
// button does. Points are given at scale 1 relative to the control's top-left
// corner; side 1 puts the dot at the first point and the label right of the
// second, any other side the dot at the second point and the label left of
// the first. The control's skin image holds the label box (frame 0 normal,
// frame 1 hovered or selected), drawn nine-sliced.
#include <string>

#include "orvix/widgets/MouseItemList.h"

namespace Orvix {

struct MouseCtrlItem {
    std::wstring text;
    int keyValue = 0;
    int side = 0;
    CPoint first;
    CPoint second;
    CRect labelRect;  // window coordinates, as last drawn
};

class MouseCtrl : public MouseItemList<MouseCtrlItem> {
  public:
    void DescribeAccessible(AccessibleInfo& info) override;
    MouseCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, int visible = 1,
              int enabled = 1);
    MouseCtrl(MObject* parent, UINT id, CRect rect, int visible)
        : MouseCtrl(parent, id, rect, nullptr, visible) {}

    const wchar_t* GetClassNameW() const override { return L"MouseCtrl"; }

    int AddItem(const std::wstring& text, int keyValue, int side, CPoint first, CPoint second);
    // Replaces the label of the item at `index` (ignored for a bad index).
    void SetItemText(int index, const std::wstring& text);
    std::wstring GetItemText(int index) const;
    // Replaces the label of the first item whose key value is `keyValue` (not an index).
    int SetItemKeyDesc(int keyValue, const std::wstring& text);
    // The label box of an item in window coordinates (empty for a bad index).
    CRect GetLabelRect(int index) const;
    // Where the dot of an item is drawn, in window coordinates.
    CRect GetDotRect(int index) const;

    void DrawControl(Canvas& canvas, CRect rcPaint) override;

  protected:
    void OnHoverKept(CPoint pt) override;
    void OnHoverChanged() override;
    CRect HitRect(int index) const override { return GetLabelRect(index); }

  private:
    TextStyle LabelStyle() const;
    CRect GetLabelTextRect(int index) const;
    CPoint Scaled(CPoint p) const;
};

}  // namespace Orvix
