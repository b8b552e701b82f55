#include "orvix/core/MAirBladder.h"

#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "orvix/platform/Fonts.h"

namespace Orvix {

namespace {

constexpr int kWrapWidth = 320;  // long help texts wrap instead of spanning the screen
constexpr int kTextInset = 8;
constexpr int kLeftArrowY = 27;  // the point's height in a bubble left of it

TextStyle MessageStyle(bool centred) {
    TextStyle style;
    style.family = kEmbeddedFontFamily;
    style.pixelSize = 14;
    style.wrap = true;
    style.hAlign = centred ? 1 : 0;
    style.vAlign = 4;
    return style;
}

std::shared_ptr<Image> LoadSkin(const std::wstring& file) {
    return MRender::LoadImageFromFile(Manager::GetSkinPath(file));
}

}  // namespace

BOOL MAirBladder::LoadArrowLImage(const std::wstring& file) { return (m_arrowL = LoadSkin(file)) != nullptr; }
BOOL MAirBladder::LoadArrowRImage(const std::wstring& file) { return (m_arrowR = LoadSkin(file)) != nullptr; }
BOOL MAirBladder::LoadArrowTImage(const std::wstring& file) { return (m_arrowT = LoadSkin(file)) != nullptr; }

CSize MAirBladder::MeasureMessage(const std::wstring& text) {
    const TextStyle style = MessageStyle(false);
    const int lineHeight = Canvas::MeasureText(L"Ag", style).cy;
    const int lines = std::max(1, Canvas::CountLines(text, style, kWrapWidth));
    return {Canvas::MeasureText(text, style, kWrapWidth).cx, lines * lineHeight};
}

CRect MAirBladder::FitRect(POINT pt, int w, int h, AIRBLADDER_MODE mode) {
    const int x = pt.x, y = pt.y;
    switch (mode) {
        case AIRBLADDER_MODE_LEFT:
            return {x - w - 40, y - kLeftArrowY, x, y + h - 7};
        case AIRBLADDER_MODE_BELOW:
            return {x - 25, y, x + w + 15, y + h + 30};
        case AIRBLADDER_MODE_ABOVE:
            return {x - (w + 30) / 2, y - h - 20, x - (w + 30) / 2 + w + 30, y};
        default:
            return {x, y, x + w + 40, y + h + 20};
    }
}

void MAirBladder::SetAirBladderMsg(const wchar_t* text, POINT screenPt, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode) {
    const std::wstring message = text ? text : L"";
    const bool same = m_set && message == m_text && screenPt.x == m_point.x && screenPt.y == m_point.y &&
                      type == m_type && mode == m_mode;
    if (same && IsShown()) return;
    m_set = true;
    m_text = message;
    m_point = screenPt;
    m_type = type;
    m_mode = mode;
    if (!GetSafeHwnd()) return;
    const CSize size = MeasureMessage(m_text);
    Place(FitRect(screenPt, size.cx, size.cy, mode));
    Show(TRUE);
    KillTimer(kHideTimer);
    if (type != AIRBLADDER_TYPE_PERSIST) SetTimer(kHideTimer, kHideAfterMs);
}

void MAirBladder::Hide() {
    KillTimer(kHideTimer);
    Show(FALSE);
}

void MAirBladder::OnTimer(UINT id) {
    if (id == kHideTimer) Hide();
}

void MAirBladder::OnDraw(Canvas& canvas, const CRect& client) {
    CRect body = client;
    const Image* arrow = nullptr;
    int ax = 0, ay = 0;
    switch (m_mode) {
        case AIRBLADDER_MODE_LEFT:
            if ((arrow = m_arrowR.get())) {
                ax = client.right - arrow->GetWidth();
                ay = kLeftArrowY - arrow->GetHeight() / 2;
                body.right = ax + 1;
            }
            break;
        case AIRBLADDER_MODE_BELOW:
            if ((arrow = m_arrowT.get())) {
                ax = 25 - arrow->GetWidth() / 2;
                body.top = arrow->GetHeight() - 1;
            }
            break;
        case AIRBLADDER_MODE_ABOVE:
            break;
        default:
            if ((arrow = m_arrowL.get())) {
                ay = 6;
                body.left = arrow->GetWidth() - 1;
            }
            break;
    }
    if (m_backImage) {
        const Image& img = *m_backImage;
        MRender::DrawImageFrame(canvas, img, body, 0, 0, img.GetWidth(), img.GetHeight(), 6);
    } else {
        canvas.FillRoundRect(body, 3, Color(0xF2142130));
    }
    if (arrow) canvas.DrawImage(*arrow, ax, ay);
    CRect text = body;
    text.DeflateRect(kTextInset, 0);
    const bool single = Canvas::CountLines(m_text, MessageStyle(false), kWrapWidth) <= 1;
    canvas.DrawText(m_text, text, Color(0xFFFFFFFF), MessageStyle(single || m_mode == AIRBLADDER_MODE_ABOVE));
}

}  // namespace Orvix
