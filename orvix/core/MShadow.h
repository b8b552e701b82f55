#pragma once
// An optional drop shadow: a layered, click-through, no-activate window of
// class "ShadowWnd" beneath its parent window that follows the parent's moves,
// sizes and visibility. The shadow is computed (size, sharpness, darkness,
// offset, colour) or an image nine-sliced around the parent. Out-of-range
// settings are refused and change nothing; size 0 without an image draws
// nothing.
#include <memory>

#include "orvix/core/MPaintWnd.h"

namespace Orvix {

class MShadow : public MPaintWnd {
public:
    static constexpr int kMaxSize = 35;

    const wchar_t* GetWindowClassName() const override { return L"ShadowWnd"; }

    // Creates the shadow window for `parent` (owned by it).
    BOOL Create(HWND parent);
    BOOL SetSize(int size);              // -35..35
    BOOL SetSharpness(UINT sharpness);   // 0..35
    BOOL SetDarkness(UINT darkness);     // 0..255
    BOOL SetPosition(int x, int y);      // -35..35 each
    BOOL SetColor(COLORREF color);
    // An image nine-sliced with `corners` (left, top, right, bottom insets)
    // over the parent's rect grown by the same insets; null clears it.
    BOOL SetImage(const wchar_t* file, CRect corners);
    BOOL SetImage(UINT resId, CRect corners);
    BOOL SetShow(BOOL show);

    int GetSize() const { return m_size; }
    UINT GetSharpness() const { return m_sharpness; }
    UINT GetDarkness() const { return m_darkness; }
    CPoint GetPosition() const { return m_offset; }
    // The parent moved, resized, showed or hid: follow it.
    void OnParentMessage(UINT msg);
    // Where the shadow window goes for the parent's screen rect (empty: none).
    CRect ShadowRect(const CRect& parent) const;
    // Opacity of the computed shadow at a point of the window.
    BYTE AlphaAt(const CRect& window, const CRect& parent, int x, int y) const;

protected:
    void OnDraw(Canvas& canvas, const CRect& client) override;

private:
    void Update();
    BOOL TakeImage(std::shared_ptr<Image> image, CRect corners);
    void Render(const CRect& window, const CRect& parent);

    HWND m_parentWnd = nullptr;
    int m_size = 0;
    UINT m_sharpness = 5;
    UINT m_darkness = 150;
    CPoint m_offset{5, 5};
    COLORREF m_color = 0;
    std::shared_ptr<Image> m_image;
    CRect m_corners;
    BOOL m_show = TRUE;
    std::unique_ptr<Canvas> m_bitmap;  // pre-multiplied, recomputed on change
};

}  // namespace Orvix
