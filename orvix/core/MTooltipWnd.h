#pragma once
// The window's tooltip: one no-activate popup per window, drawn by the
// toolkit on a 0xF5F5F5 background, word-wrapped at 256 pixels and shown just
// below the pointer while it is active.
#include "orvix/core/MPaintWnd.h"

namespace Orvix {

class MTooltipWnd : public MPaintWnd {
public:
    static constexpr int kMaxWidth = 256;
    static constexpr COLORREF kBackColor = 0xF5F5F5;

    // Creates the popup on first use, owned by `owner`.
    BOOL Init(HWND owner);
    // Puts the text in and shows it next to the pointer (empty text hides it).
    void Activate(const std::wstring& text);
    void Deactivate();
    BOOL IsActive() const { return m_active; }
    const std::wstring& GetText() const { return m_text; }

protected:
    void OnDraw(Canvas& canvas, const CRect& client) override;

private:
    TextStyle Style() const;
    std::wstring m_text;
    BOOL m_active = FALSE;
};

}  // namespace Orvix
