#include "orvix/core/MControlFont.h"

#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"
#include "orvix/core/TextFit.h"
#include "orvix/platform/Fonts.h"

namespace Orvix {

MControlFont::MControlFont(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControl(parent, id, rect, title, visible, enabled),
      m_title(title ? title : L""),
      m_fontName(Manager::GetFontName()),
      m_fontSize(Manager::GetFontWidth()) {}

void MControlFont::SetTextFont(const std::wstring& name) { m_fontName = name; }
void MControlFont::SetTextColor(Color color) { m_textColor = color; }
void MControlFont::SetControlTitle(const wchar_t* title) { m_title = title ? title : L""; }
std::wstring MControlFont::GetControlTitle() { return m_title; }

void MControlFont::SetTitle(const wchar_t* title) {
    CheckUIThread("SetTitle");
    SetControlTitle(title);
    if (m_visible) UpdateControl(TRUE);
}

void MControlFont::SetFont(const wchar_t* name, int size, int style) {
    SetTextFont(name ? name : L"");
    m_fontSize = size;
    m_fontStyle = style;
}

void MControlFont::SetAlignment(UINT h) { SetAlignment(h, m_vAlign); }
void MControlFont::SetVAlignment(UINT v) { SetAlignment(m_hAlign, v); }

void MControlFont::SetAlignment(UINT h, UINT v) {
    if (h == m_hAlign && v == m_vAlign) return;
    m_hAlign = h;
    m_vAlign = v;
    if (m_visible) UpdateControl(TRUE);
}

BOOL MControlFont::TakeImage(ImgResInfo* info, const std::wstring& path) {
    if (!info) return FALSE;
    m_image = info->image.get();
    m_frameWidth = info->frameWidth;
    m_frameHeight = info->height;
    m_frameCount = info->count;
    m_imagePath = path;
    UpdateControl(TRUE);
    return TRUE;
}

BOOL MControlFont::SetImage(const wchar_t* file, int count) {
    if (!m_manager || !file) return FALSE;
    return TakeImage(m_manager->AddImgResInfo(file, count), file);
}

BOOL MControlFont::SetImage(UINT resId, const std::wstring& resType, int count) {
    if (!m_manager) return FALSE;
    return TakeImage(m_manager->AddImgResInfo(resId, resType, count, TRUE), std::to_wstring(resId) + L"." + resType);
}

void MControlFont::SetImageCount(int count) {
    if (count < 1) return;
    m_frameCount = count;
    if (m_image) m_frameWidth = m_image->GetWidth() / count;
}

CRect MControlFont::GetFrameRect(int frame) const {
    return CRect(frame * m_frameWidth, 0, (frame + 1) * m_frameWidth, m_frameHeight);
}

std::wstring MControlFont::GetFontFamily(const std::wstring& name) const {
    return m_manager ? m_manager->FindTempFont(name) : ResolveFontFamily(name);
}

TextStyle MControlFont::GetTextStyle(bool multiLine) const {
    TextStyle style;
    style.family = GetFontFamily(m_fontName);
    style.pixelSize = m_fontSize;
    style.style = m_fontStyle;
    // Either numbering is accepted on both axes: 1 or 4 centre, 2 or 8 far.
    auto axis = [](UINT a) { return a == 1 || a == 4 ? 1 : a == 2 || a == 8 ? 2 : 0; };
    style.hAlign = axis(m_hAlign);
    style.vAlign = UINT(axis(m_vAlign) * 4);
    style.wrap = multiLine;
    style.clip = !multiLine;  // multi-line text is drawn unclipped
    return style;
}

void MControlFont::DrawTitleText(Canvas& canvas, const std::wstring& text, const CRect& rect, Color color,
                                 bool multiLine) const {
    TextStyle style = GetTextStyle(multiLine);
    if (style.family.empty()) return;  // neither private nor installed: no text
    TextFit::Check(*this, text, rect, style);
    canvas.DrawText(text, rect, color, style);
}

void MControlFont::DescribeAccessible(AccessibleInfo& info) {
    MControl::DescribeAccessible(info);
    // Text shown on the control names it; the tooltip then describes it.
    if (info.expose && !m_title.empty() && GetAccessibleName().empty()) {
        info.name = m_title;
        info.description = GetTooltip();
    }
}

}  // namespace Orvix
