#include "pages/PagePlacement.h"

#include <cmath>

using Orvix::CRect;

int PagePlacement::Len(int v) const { return int(std::lround(v * m_scale)); }

CRect PagePlacement::Edges(int left, int top, int right, int bottom) const {
    return CRect(X(left), Y(top), X(right), Y(bottom));
}

CRect PagePlacement::Box(int left, int top, int width, int height) const {
    return CRect(X(left), Y(top), X(left) + Len(width), Y(top) + Len(height));
}
