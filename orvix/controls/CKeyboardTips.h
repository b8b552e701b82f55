#pragma once
// A three-part tip sized to its texts: a bold title, a wrapped explanation and
// a row of key caps (the keys text split at '+', e.g. "Ctrl+Shift+C"), shown
// at a screen point without taking activation.
#include <string>
#include <vector>

#include "orvix/core/MPaintWnd.h"

namespace Orvix {

class CKeyboardTips : public MPaintWnd {
public:
    // Creates the hidden window on first use, owned by `owner`.
    BOOL Init(HWND owner);
    void SetAirBladderMsg(const std::wstring& title, const std::wstring& text, const std::wstring& keys, POINT pt);
    void Hide() { Show(FALSE); }
    // The key caps of a keys text.
    static std::vector<std::wstring> SplitKeys(const std::wstring& keys);
    // The window size for the current texts.
    CSize MeasureTips() const;

protected:
    void OnDraw(Canvas& canvas, const CRect& client) override;

private:
    int KeyCapWidth(const std::wstring& key) const;

    std::wstring m_title, m_text;
    std::vector<std::wstring> m_keys;
};

}  // namespace Orvix
