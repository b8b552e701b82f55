#pragma once
// A plain list of keys: name and description per row, rows 27 pixels (times
// the scale) high with a 5-pixel gap. Hovering a row shows its description as
// the tooltip; press and release report as the button map does (codes 1 and 2
// with the hover row).
#include <string>

#include "orvix/widgets/MouseItemList.h"

namespace Orvix {

struct MouseKeyItem {
    std::wstring name;
    std::wstring description;
    int keyValue = 0;
    CRect rect;  // window coordinates, as last drawn
};

class MouseKeyCtrl : public MouseItemList<MouseKeyItem> {
  public:
    MouseKeyCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, int visible = 1,
                 int enabled = 1);
    MouseKeyCtrl(MObject* parent, UINT id, CRect rect, int visible)
        : MouseKeyCtrl(parent, id, rect, nullptr, visible) {}

    const wchar_t* GetClassNameW() const override { return L"MouseKeyCtrl"; }

    int AddItem(const std::wstring& name, const std::wstring& description, int keyValue);
    std::wstring GetItemKeyName(int index) const;
    std::wstring GetItemKeyDesc(int index) const;
    // Replaces the description of the first item whose key value is `keyValue`.
    int SetItemKeyDesc(int keyValue, const std::wstring& description);
    void SetItemText(int index, const std::wstring& name);
    // Row `index` in window coordinates.
    CRect GetRowRect(int index) const;

    void DrawControl(Canvas& canvas, CRect rcPaint) override;

  protected:
    CRect HitRect(int index) const override { return GetRowRect(index); }
    void OnHoverKept(CPoint pt) override;
    void OnHoverChanged() override;
};

}  // namespace Orvix
