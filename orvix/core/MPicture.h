#pragma once
// A picture fitted to its rect by a show mode; it always shows frame 0.
#include <memory>

#include "orvix/core/MControlFont.h"

namespace Orvix {

enum enumShowMode {
    SHOW_MODE_NATURAL = 0,  // one frame at natural size, placed by the alignment
    SHOW_MODE_TILE = 1,     // tiled from the top-left, cut at the edges
    SHOW_MODE_STRETCH = 2,  // one frame stretched over the rect
    SHOW_MODE_NINE = 3,     // nine-slice, one inset
    SHOW_MODE_NINE_MID = 4, // nine-slice, four insets
    SHOW_MODE_CUSTOM = 5    // a custom source rect stretched over the rect
};

class MPicture : public MControlFont {
public:
    void DescribeAccessible(AccessibleInfo& info) override;
    MPicture(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
             BOOL enabled = TRUE);

    // The picture loads its own copy; on failure it has none, still repaints
    // and answers FALSE.
    BOOL SetImage(const wchar_t* file, int count = 1) override;
    BOOL SetImage(UINT resId, const std::wstring& resType, int count) override;
    BOOL SetShowMode(enumShowMode mode, int inset = 4);
    void SetShowModeMID(int left, int top, int right, int bottom);
    void SetCustomRect(CRect rect);
    enumShowMode GetShowMode() const { return m_mode; }

    void DrawControl(Canvas& canvas, CRect rcPaint) override;
    // It only draws: the pointer passes through it.
    BOOL IsDecoration() const override { return TRUE; }


protected:
    // The picture fitted to `dst` by the show mode.
    void Render(Canvas& canvas, const CRect& dst) const;

private:
    BOOL TakeOwnImage(std::shared_ptr<Image> image, int count);

    std::shared_ptr<Image> m_own;
    enumShowMode m_mode = SHOW_MODE_NATURAL;
    int m_inset = 4;
    CRect m_insets{4, 4, 4, 4};  // left, top, right, bottom
    CRect m_custom;
};

}  // namespace Orvix
