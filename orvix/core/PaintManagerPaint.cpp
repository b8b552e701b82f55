// PaintManager: the painting side (paint pipeline, background, images, fonts,
// overlays, caret).
#include <algorithm>
#include <chrono>
#include <thread>

#include "orvix/core/Manager.h"
#include "orvix/core/MRender.h"
#include "orvix/core/PaintManager.h"
#include "orvix/platform/Fonts.h"

namespace Orvix {

namespace {
constexpr BYTE kBackAlpha = 254;  // backgrounds are never fully opaque
}

// ---------------------------------------------------------------- paint pipeline

namespace {

// A control whose render cache is stale copies what lies beneath all of its rect
// when it paints: the paint must then cover all of that rect, or the copy would
// take in the last frame's pixels outside it.
void GrowOverStaleCaches(const std::vector<MControl*>& list, CRect& rect) {
    for (MControl* c : list) {
        if (!c->IsVisible() || !c->GetRect().Intersects(rect)) continue;
        if (!c->GetUpdate() && c->GetMemCanvas()) rect = rect | c->GetRect();
        GrowOverStaleCaches(c->GetAreas(), rect);
        GrowOverStaleCaches(c->GetControls(), rect);
    }
}

}  // namespace

void PaintManager::OnPaint() {
    if (!m_init || Platform::IsIconic(m_hwnd)) {
        Platform::BeginPaint(m_hwnd);
        return;
    }
    CRect update = Platform::BeginPaint(m_hwnd);
    if (update.IsRectEmpty()) return;
    const CRect client = GetClientRect();
    if (client.IsRectEmpty()) return;

    // The back buffer is kept from paint to paint, so a paint redraws only its
    // update rect: the background there, then the controls that intersect it.
    // It holds the window's device pixels; everything draws in logical units.
    const CSize pixels = Platform::GetDeviceClientSize(m_hwnd);
    const double scale = Platform::GetScale();
    if (!m_back || m_back->GetWidth() != client.Width() || m_back->GetHeight() != client.Height() ||
        m_back->GetPixelWidth() != pixels.cx || m_back->GetPixelHeight() != pixels.cy ||
        m_back->GetScale() != scale) {
        m_back = std::make_unique<Canvas>(client.Width(), client.Height(), scale, pixels.cx, pixels.cy);
        update = client;
    }
    if (m_layered) update = client;
    // The overlay blends over what lies beneath it: that is painted afresh each time.
    if (!m_messageText.empty()) update = update | m_messageRect;
    GrowOverStaleCaches(m_areas, update);
    GrowOverStaleCaches(m_controls, update);
    update = update & client;

    Canvas& back = *m_back;
    m_backBuffer = &back;
    back.PushClip(update);
    if (m_backImage) {
        back.SetRectPixels(update, Color(0));  // the image may leave parts transparent
        DrawBackImage(back, client);
    } else {
        // A one-pixel border around the back colour, each pixel written once.
        CRect inner = client;
        inner.DeflateRect(1, 1);
        const Color border = Color::FromCOLORREF(m_borderColor, kBackAlpha);
        for (const CRect& edge : {CRect(client.left, client.top, client.right, inner.top),
                                  CRect(client.left, inner.bottom, client.right, client.bottom),
                                  CRect(client.left, inner.top, inner.left, inner.bottom),
                                  CRect(inner.right, inner.top, client.right, inner.bottom)})
            if (!(edge & update).IsRectEmpty()) back.SetRectPixels(edge & update, border);
        if (!(inner & update).IsRectEmpty())
            back.SetRectPixels(inner & update, Color::FromCOLORREF(m_backColor, kBackAlpha));
    }
    DrawControl(back, update);
    DrawFocusRing(back);  // over every control, so nothing hides it
    DrawCaret(back);
    back.PopClip();

    if (m_layered) {
        // Plain drawing that left alpha 0 on a coloured pixel becomes opaque.
        uint32_t* data = back.GetData();
        const int stride = back.GetStride();
        const CRect area = back.ToPixels(update) & CRect(0, 0, back.GetPixelWidth(), back.GetPixelHeight());
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                uint32_t& p = data[y * stride + x];
                if ((p >> 24) == 0 && (p & 0xFFFFFF) != 0) p |= 0xFF000000;
            }
        }
        back.MarkDirty();
    }
    if (!m_messageText.empty()) PaintMessageOverlay(back);
    Platform::Present(m_hwnd, back, update);
    m_backBuffer = nullptr;
    if (int delay = Platform::GetPaintDelay()) std::this_thread::sleep_for(std::chrono::milliseconds(delay));
}

void PaintManager::DrawControl(Canvas& canvas, CRect rcPaint) {
    for (MControl* c : m_areas) c->Draw(canvas, rcPaint);
    for (MControl* c : m_controls) c->Draw(canvas, rcPaint);
}

void PaintManager::DrawBackImage(Canvas& canvas, CRect) {
    if (!m_backImage) return;
    const Image& img = *m_backImage;
    if (m_backMode == BACK_MODE_NINE)
        MRender::DrawImageFrame(canvas, img, GetClientRect(), 0, 0, img.GetWidth(), img.GetHeight(), m_backInset);
    else
        canvas.DrawImage(img, 0, 0);
}

BOOL PaintManager::LoadBKImage(const std::wstring& file) {
    m_backImage = MRender::LoadImageFromFile(Manager::GetSkinPath(file));
    return m_backImage != nullptr;
}

BOOL PaintManager::LoadBKImage(UINT resId, const std::wstring& type) {
    m_backImage = MRender::LoadImageFromIDResource(resId, type, true);
    return m_backImage != nullptr;
}

void PaintManager::SetBackMode(enumBackMode mode, int inset) {
    m_backMode = mode;
    m_backInset = inset;
}

// ---------------------------------------------------------------- image cache

namespace {
ImgResInfo* CacheEntry(ImgResInfo& entry, std::shared_ptr<Image> image, int count, std::wstring name) {
    count = std::max(1, count);
    entry.image = std::move(image);
    entry.count = count;
    entry.frameWidth = entry.image->GetWidth() / count;
    entry.height = entry.image->GetHeight();
    entry.name = std::move(name);
    return &entry;
}
}  // namespace

ImgResInfo* PaintManager::AddImgResInfo(const wchar_t* file, int count) {
    if (!file || !*file) return nullptr;
    auto it = m_fileImages.find(file);
    if (it != m_fileImages.end()) return &it->second;  // the first count stays
    std::shared_ptr<Image> image = MRender::LoadImageFromFile(Manager::GetSkinPath(file));
    if (!image) return nullptr;  // not cached: a later request tries again
    return CacheEntry(m_fileImages[file], std::move(image), count, file);
}

ImgResInfo* PaintManager::AddImgResInfo(UINT resId, const std::wstring& type, int count, BOOL fromApplication) {
    auto& map = fromApplication ? m_appImages : m_libImages;
    auto it = map.find(resId);
    if (it != map.end()) return &it->second;
    std::shared_ptr<Image> image = MRender::LoadImageFromIDResource(resId, type, fromApplication);
    if (!image) return nullptr;
    return CacheEntry(map[resId], std::move(image), count, std::to_wstring(resId) + L"." + type);
}

void PaintManager::ClearImgResInfo() {
    m_fileImages.clear();
    m_appImages.clear();
    m_libImages.clear();
}

// ---------------------------------------------------------------- fonts

BOOL PaintManager::AddTempFont(const std::wstring& name, const std::wstring& fontFile) {
    if (!RegisterAppFont(fontFile) || !FontFamilyInstalled(name)) return FALSE;
    m_fonts[name] = name;
    return TRUE;
}

std::wstring PaintManager::FindTempFont(const std::wstring& name) {
    auto it = m_fonts.find(name);
    if (it != m_fonts.end()) return it->second;
    std::wstring family = ResolveFontFamily(name);
    if (!family.empty()) m_fonts[name] = family;
    return family;
}

BOOL PaintManager::AddGDITempFont(UINT resId, const std::wstring& type) {
    // The library's only font resource is the embedded "Open Sans Semibold".
    if (resId != 106 || (type != L"TTF" && type != L"ttf")) return FALSE;
    return RegisterEmbeddedFont();
}

void PaintManager::ClearTempFont() { m_fonts.clear(); }

// ---------------------------------------------------------------- overlays

void PaintManager::SetMessage(const std::wstring& text, CRect rect, int alpha) {
    m_messageText = text;
    m_messageRect = rect;
    m_messageAlpha = std::clamp(alpha, 0, 255);
    m_progressMode = FALSE;
    Invalidate();
}

void PaintManager::SetProgress(int percent, const std::wstring& text, CRect rect) {
    if (rect.IsRectEmpty()) {
        CRect client = GetClientRect();
        rect = CRect(client.left, client.bottom - 60, client.right, client.bottom - 2);
    }
    m_messageText = text.empty() ? L" " : text;
    m_messageRect = rect;
    m_progressMode = TRUE;
    m_progressTarget = std::clamp(percent, 0, 100);
    if (percent < 5) {
        Platform::KillTimer(m_hwnd, TIMER_ID_OVERLAY_FADE);
        m_messageAlpha = 255;
    }
    Platform::SetTimer(m_hwnd, TIMER_ID_OVERLAY_PROGRESS, 10);
    Invalidate();
}

void PaintManager::OnOverlayTimer(UINT id) {
    if (id == TIMER_ID_OVERLAY_PROGRESS) {
        if (m_progressShown < m_progressTarget) m_progressShown = std::min(m_progressTarget, m_progressShown + 2);
        else if (m_progressShown > m_progressTarget) m_progressShown = std::max(m_progressTarget, m_progressShown - 2);
        if (m_progressShown == m_progressTarget) {
            Platform::KillTimer(m_hwnd, TIMER_ID_OVERLAY_PROGRESS);
            if (m_progressShown >= 100) Platform::SetTimer(m_hwnd, TIMER_ID_OVERLAY_FADE, 50);
        }
    } else if (id == TIMER_ID_OVERLAY_FADE) {
        m_messageAlpha -= 10;
        if (m_messageAlpha < 20) {
            Platform::KillTimer(m_hwnd, TIMER_ID_OVERLAY_FADE);
            m_messageText.clear();
            m_messageAlpha = 255;
            m_progressShown = 0;
            m_progressMode = FALSE;
        }
    } else {
        Platform::KillTimer(m_hwnd, id);
    }
    Invalidate();
}

void PaintManager::PaintMessageOverlay(Canvas& canvas) {
    auto fade = [this](uint32_t argb) {
        Color c(argb);
        return Color(BYTE(c.GetA() * m_messageAlpha / 255), c.GetR(), c.GetG(), c.GetB());
    };
    const CRect r = m_messageRect;
    canvas.FillRect(r, fade(0xFF141414));
    canvas.DrawRect(r, fade(0xFF6D6D6D), 2);
    if (m_progressMode) {
        CRect bar(r.left + 2, r.bottom - 6, r.left + 2 + (r.Width() - 4) * m_progressShown / 100, r.bottom - 2);
        canvas.FillRect(bar, fade(Manager::GetSelectColor().GetValue()));
    }
    TextStyle style;
    style.family = FindTempFont(Manager::GetFontName());
    style.pixelSize = Manager::GetFontWidth();
    style.hAlign = 1;
    style.vAlign = 4;
    style.wrap = true;
    if (!style.family.empty()) canvas.DrawText(m_messageText, r, fade(0xFFFFFFFF), style);
}

// ---------------------------------------------------------------- caret

void PaintManager::CreateCaret(MControl* owner, int width, int height, Color color) {
    InvalidateCaret();
    m_caretOwner = owner;
    m_caretRect = CRect(m_caretRect.left, m_caretRect.top, m_caretRect.left + width, m_caretRect.top + height);
    m_caretColor = Color(0xFE, color.GetR(), color.GetG(), color.GetB());
}

void PaintManager::DestroyCaret(MControl* owner) {
    if (owner != m_caretOwner) return;
    ShowCaret(FALSE);
    m_caretOwner = nullptr;
}

void PaintManager::ShowCaret(BOOL show) {
    if (bool(show) == bool(m_caretShown)) return;
    m_caretShown = show;
    m_caretBlinkOn = TRUE;
    if (show) Platform::SetTimer(m_hwnd, TIMER_ID_CARET, Platform::GetCaretBlinkTime());
    else Platform::KillTimer(m_hwnd, TIMER_ID_CARET);
    InvalidateCaret();
}

void PaintManager::SetCaretPos(CPoint pt) {
    InvalidateCaret();
    m_caretRect.MoveToXY(pt.x, pt.y);
    m_caretBlinkOn = TRUE;  // a moving caret stays visible
    InvalidateCaret();
}

void PaintManager::DrawCaret(Canvas& canvas) {
    if (!m_caretOwner || !m_caretShown || !m_caretBlinkOn || Platform::GetActiveWindow() != m_hwnd) return;
    canvas.FillRect(m_caretRect, m_caretColor);
}

void PaintManager::InvalidateCaret() {
    if (m_hwnd && !m_caretRect.IsRectEmpty()) InvalidateRect(m_caretRect);
}

}  // namespace Orvix
