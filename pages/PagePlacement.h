#pragma once
// Where a page puts its controls: positions and sizes are given for the
// 780-pixel-high layout, from the page's corner, and scaled by the window's
// scale (client height / 780), rounded to the nearest pixel.
#include "orvix/platform/WinTypes.h"

class PagePlacement {
  public:
    PagePlacement(Orvix::CRect page, double scale) : m_page(page), m_scale(scale) {}

    // A length of the layout in window pixels.
    int Len(int v) const;
    // A position of the layout in window coordinates.
    int X(int v) const { return m_page.left + Len(v); }
    int Y(int v) const { return m_page.top + Len(v); }
    // A rectangle of the layout by its edges.
    Orvix::CRect Edges(int left, int top, int right, int bottom) const;
    Orvix::CRect Edges(Orvix::CRect rect) const { return Edges(rect.left, rect.top, rect.right, rect.bottom); }
    // A rectangle of the layout by its corner and size (the size scaled on its own).
    Orvix::CRect Box(int left, int top, int width, int height) const;

  private:
    Orvix::CRect m_page;
    double m_scale;
};
