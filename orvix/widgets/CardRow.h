#pragma once
// The row of cards that the DPI levels and the report rates are shown as:
// card i at x = 130 i of the row, 110 wide and as high as the row, so that
// 20 pixels separate two cards.
#include "orvix/platform/WinTypes.h"

namespace Orvix::CardRow {

constexpr int kPitch = 130;
constexpr int kCardWidth = 110;

inline CRect Card(const CRect& row, int index) {
    const int x = row.left + kPitch * index;
    return {x, row.top, x + kCardWidth, row.bottom};
}

// The first of `count` cards under the point; -1 for none (a gap or past the end).
inline int Hit(const CRect& row, int count, CPoint pt) {
    for (int i = 0; i < count; ++i)
        if (Card(row, i).PtInRect(pt)) return i;
    return -1;
}

}  // namespace Orvix::CardRow
