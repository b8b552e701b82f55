#pragma once
// A grid of preset colour cells (hues at two lightnesses and a row of greys
// unless the owner sets its own). A click on a cell selects it and sends
// code 27 with its colour; the selected cell carries the thumb image (or a
// ring without one).
#include <vector>

#include "orvix/core/MPanel.h"

namespace Orvix {

struct ImgResInfo;

class CColorPalette : public MPanel {
  public:
    // Keyboard: the cells are its items; arrows move the ring, Enter chooses.
    int GetKeyItemCount() override { return int(m_colors.size()); }
    CRect GetKeyItemRect(int index) override { return GetCellRect(index); }
    int GetInitialKeyItem() override { return m_selectIndex > 0 ? m_selectIndex : 0; }
    CColorPalette(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                  BOOL enabled = TRUE);

    const wchar_t* GetClassNameW() const override { return L"CColorPalette"; }

    void SetColors(const std::vector<COLORREF>& colors);
    const std::vector<COLORREF>& GetColors() const { return m_colors; }
    // The selected cell's colour, else the last colour set.
    COLORREF GetSelectColor() const;
    // Selects the first cell of that colour (none when no cell has it).
    void SetSelectColor(COLORREF color);
    int GetSelectIndex() const { return m_selectIndex; }
    BOOL SetThumbImage(const wchar_t* file);
    // Lays the cells out again for the control's size and repaints.
    void UpdateControlEx();
    // Window coordinates; empty outside the list.
    CRect GetCellRect(int index) const;

    void SetControlRect(CRect rect) override;
    BOOL OnControlMouseMove(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint pt) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint pt) override;
    void DrawControl(Canvas& canvas, CRect rcPaint) override;

  protected:
    // Cell size and gap; round cells are drawn as discs.
    CColorPalette(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled,
                  std::vector<COLORREF> colors, int cell, int gap, bool round);
    void Select(int index);

  private:
    int HitCell(CPoint pt) const;
    // How far the hover and selection rings reach beyond a cell: at most half
    // the gap, so a ring never touches a neighbour.
    int RingReach() const;
    // The check mark's box over a cell, likewise held to half the gap.
    CRect ThumbBox(const CRect& cell) const;
    // Kept clear along the control's edges so an edge cell's ring is whole.
    int Margin() const;
    // The cell size: smaller than asked when the control is too low for one
    // row with its rings.
    int CellSize() const;

    std::vector<COLORREF> m_colors;
    int m_cell;
    int m_gap;
    bool m_round;
    int m_columns = 1;
    int m_hoverIndex = -1;
    int m_pressIndex = -1;
    int m_selectIndex = -1;
    COLORREF m_selectColor = 0;
    const ImgResInfo* m_thumb = nullptr;  // owned by the window's image cache
};

}  // namespace Orvix
