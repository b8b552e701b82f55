#include "orvix/controls/CKeyboardTips.h"

#include "orvix/core/Manager.h"
#include "orvix/platform/Fonts.h"

namespace Orvix {

namespace {

constexpr int kMargin = 12;
constexpr int kTextWidth = 280;
constexpr int kGap = 6;
constexpr int kCapHeight = 24;
constexpr int kCapPad = 8;
constexpr int kCapGap = 6;

TextStyle TitleFont() {
    TextStyle s;
    s.family = kEmbeddedFontFamily;
    s.pixelSize = 15;
    s.style = 1;
    return s;
}

TextStyle BodyFont(bool wrap = true) {
    TextStyle s;
    s.family = kEmbeddedFontFamily;
    s.pixelSize = 12;
    s.wrap = wrap;
    return s;
}

}  // namespace

BOOL CKeyboardTips::Init(HWND owner) { return CreatePopup(owner, L"KeyboardTips", CRect(0, 0, 1, 1)); }

std::vector<std::wstring> CKeyboardTips::SplitKeys(const std::wstring& keys) {
    std::vector<std::wstring> caps;
    std::wstring cap;
    auto flush = [&] {
        while (!cap.empty() && cap.back() == L' ') cap.pop_back();
        if (!cap.empty()) caps.push_back(cap);
        cap.clear();
    };
    for (wchar_t c : keys) {
        // A '+' that starts a cap is the plus key itself, not a separator.
        if (c == L'+' && !cap.empty()) flush();
        else if (c != L' ' || !cap.empty()) cap += c;
    }
    flush();
    return caps;
}

int CKeyboardTips::KeyCapWidth(const std::wstring& key) const {
    return std::max(kCapHeight, Canvas::MeasureText(key, BodyFont(false)).cx + 2 * kCapPad);
}

CSize CKeyboardTips::MeasureTips() const {
    int w = 0, h = kMargin;
    if (!m_title.empty()) {
        const CSize t = Canvas::MeasureText(m_title, TitleFont());
        w = std::max(w, t.cx);
        h += t.cy + kGap;
    }
    if (!m_text.empty()) {
        const CSize t = Canvas::MeasureText(m_text, BodyFont(), kTextWidth);
        w = std::max(w, t.cx);
        h += t.cy + kGap;
    }
    if (!m_keys.empty()) {
        int row = 0;
        for (const std::wstring& k : m_keys) row += KeyCapWidth(k) + kCapGap;
        w = std::max(w, row - kCapGap);
        h += kCapHeight + kGap;
    }
    return {w + 2 * kMargin, h - kGap + kMargin};
}

void CKeyboardTips::SetAirBladderMsg(const std::wstring& title, const std::wstring& text, const std::wstring& keys,
                                     POINT pt) {
    m_title = title;
    m_text = text;
    m_keys = SplitKeys(keys);
    if (!GetSafeHwnd()) return;
    const CSize size = MeasureTips();
    const CRect work = Platform::GetWorkArea(pt);
    const int x = std::clamp(pt.x, work.left, std::max(work.left, work.right - size.cx));
    const int y = std::clamp(pt.y, work.top, std::max(work.top, work.bottom - size.cy));
    Place(CRect(x, y, x + size.cx, y + size.cy));
    Show(TRUE);
}

void CKeyboardTips::OnDraw(Canvas& canvas, const CRect& client) {
    if (!DrawBackImage(canvas, client)) {
        canvas.FillRoundRect(client, 6, Color(0xF20E1620));
        canvas.DrawRoundRect(client, 6, Color(0xFF2A9C8E));
    }
    int y = kMargin;
    const int left = kMargin, right = client.right - kMargin;
    if (!m_title.empty()) {
        const int h = Canvas::MeasureText(m_title, TitleFont()).cy;
        canvas.DrawText(m_title, CRect(left, y, right, y + h), Manager::GetSelectColor(), TitleFont());
        y += h + kGap;
    }
    if (!m_text.empty()) {
        const int h = Canvas::MeasureText(m_text, BodyFont(), kTextWidth).cy;
        canvas.DrawText(m_text, CRect(left, y, right, y + h), Color(0xFFC8D2DC), BodyFont());
        y += h + kGap;
    }
    int x = left;
    TextStyle cap = BodyFont(false);
    cap.hAlign = 1;
    cap.vAlign = 4;
    for (const std::wstring& key : m_keys) {
        const CRect r(x, y, x + KeyCapWidth(key), y + kCapHeight);
        canvas.FillRoundRect(r, 4, Color(0xFF1F2D3C));
        canvas.DrawRoundRect(r, 4, Color(0xFF49FFE6));
        canvas.FillRect(CRect(r.left + 3, r.bottom - 3, r.right - 3, r.bottom - 2), Color(0x6049FFE6));
        canvas.DrawText(key, r, Color(0xFFFFFFFF), cap);
        x = r.right + kCapGap;
    }
}

}  // namespace Orvix
