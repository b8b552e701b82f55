#pragma once
// The bubble: a layered popup with rounded corners that shows a text next to a
// screen point, with an arrow towards it, and hides itself after 5 seconds
// (except type 4). One per window, created by the window's manager.
#include <string>

#include "orvix/core/MPaintWnd.h"
#include "orvix/core/MObject.h"

namespace Orvix {

// Where the bubble sits relative to its point.
enum AIRBLADDER_MODE : int {
    AIRBLADDER_MODE_NONE = 0,
    AIRBLADDER_MODE_RIGHT = 1,  // to the lower right, arrow on the left
    AIRBLADDER_MODE_LEFT = 2,   // to the left, arrow on the right
    AIRBLADDER_MODE_BELOW = 3,  // below, arrow on top
    AIRBLADDER_MODE_ABOVE = 4   // above, centred on the point
};
// The kind of message; only the persistent type stays until hidden.
enum AIRBLADDER_TYPE : int {
    AIRBLADDER_TYPE_TIP = 0,
    AIRBLADDER_TYPE_PERSIST = 4,
    AIRBLADDER_TYPE_HELP = 5
};

class MAirBladder : public MPaintWnd, public MObject {
public:
    static constexpr UINT kHideTimer = 1;
    static constexpr UINT kHideAfterMs = 5000;

    BOOL LoadArrowLImage(const std::wstring& file);
    BOOL LoadArrowRImage(const std::wstring& file);
    BOOL LoadArrowTImage(const std::wstring& file);
    // Shows `text` next to the screen point. A repeated identical call while
    // the bubble is shown changes nothing (the hide timer keeps running).
    void SetAirBladderMsg(const wchar_t* text, POINT screenPt, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode);
    void Hide();
    BOOL IsShown() const { return GetSafeHwnd() && IsWindowVisible(); }
    const std::wstring& GetText() const { return m_text; }
    AIRBLADDER_MODE GetMode() const { return m_mode; }

    // The window rect for a text of w x h pixels at the point, by mode.
    static CRect FitRect(POINT pt, int w, int h, AIRBLADDER_MODE mode);
    // The measured text size (embedded font, 14 pixels, wrapped at 320).
    static CSize MeasureMessage(const std::wstring& text);

protected:
    void OnDraw(Canvas& canvas, const CRect& client) override;
    void OnTimer(UINT id) override;

private:
    std::shared_ptr<Image> m_arrowL, m_arrowR, m_arrowT;
    std::wstring m_text;
    POINT m_point{};
    AIRBLADDER_TYPE m_type = AIRBLADDER_TYPE_TIP;
    AIRBLADDER_MODE m_mode = AIRBLADDER_MODE_NONE;
    bool m_set = false;
};

}  // namespace Orvix
