#pragma once
// A small toolkit window that paints itself in one back buffer per paint: the
// base of the tooltip, the bubble, the loading window, the keyboard tips and
// the drop shadow. It never takes activation and is presented with per-pixel
// alpha, so rounded corners and soft edges show what lies beneath.
#include <memory>
#include <string>

#include "orvix/core/MWindow.h"
#include "orvix/core/PaintManager.h"
#include "orvix/platform/Canvas.h"

namespace Orvix {

class MPaintWnd : public MWindow {
public:
    MPaintWnd() = default;

    // Creates the hidden popup owned by `owner`.
    BOOL CreatePopup(HWND owner, const wchar_t* title, CRect screenRect, DWORD exStyle = 0);
    BOOL LoadBKImage(const std::wstring& file);
    void SetBackMode(enumBackMode mode, int inset = 4);
    // Shows without activating, or hides.
    void Show(BOOL show);
    // Moves and resizes (screen coordinates), then repaints.
    void Place(const CRect& screenRect);

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    virtual void OnDraw(Canvas& canvas, const CRect& client) = 0;
    virtual void OnTimer(UINT id) { (void)id; }
    // The background image over `rect` by the back mode; FALSE without one.
    BOOL DrawBackImage(Canvas& canvas, const CRect& rect) const;
    void Repaint();

    std::shared_ptr<Image> m_backImage;
    enumBackMode m_backMode = BACK_MODE_NORMAL;
    int m_backInset = 4;

private:
    void Paint();
};

}  // namespace Orvix
