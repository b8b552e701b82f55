#include "orvix/controls/MenuItem.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/MWindow.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MenuItem)

namespace {
constexpr int kAutoColumn = 22;
constexpr int kArrowWidth = 16;

constexpr int kLabelGap = 4;  // between the icon column (and a checked item's frame) and the text

bool IsLight(Color fill) {
    return (fill.GetR() * 299 + fill.GetG() * 587 + fill.GetB() * 114) / 1000 > 140;
}

// Text on the hover fill must stay readable whether the fill is light or dark.
Color ContrastOn(Color fill, Color normal) {
    return IsLight(fill) ? Color(0xFF141414) : normal;
}

// An icon drawn in one colour through its own alpha: skin icons are light for
// the dark menu and would vanish on a light hover fill.
void DrawTinted(Canvas& canvas, const Image& image, const CRect& src, CPoint at, Color color) {
    const CRect dst(at.x, at.y, at.x + src.Width(), at.y + src.Height());
    // Tinted at the canvas's resolution, on its pixel grid.
    std::unique_ptr<Canvas> tile = canvas.MakeLayer(dst);
    tile->Clear();
    tile->DrawImage(image, tile->GetRect(), src);
    uint32_t* px = tile->GetData();
    const int stride = tile->GetStride();
    for (int y = 0; y < tile->GetPixelHeight(); ++y)
        for (int x = 0; x < tile->GetPixelWidth(); ++x) {
            const uint32_t a = px[y * stride + x] >> 24;
            px[y * stride + x] = (a << 24) | ((color.GetR() * a / 255) << 16) |
                                 ((color.GetG() * a / 255) << 8) | (color.GetB() * a / 255);
        }
    tile->MarkDirty();
    canvas.DrawCanvas(*tile, dst, tile->GetRect());
}
}  // namespace

MenuItem::MenuItem(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MButtonBase(parent, id, rect, title, visible, enabled) {
    m_checkable = TRUE;
    m_vAlign = 4;
}

void MenuItem::SetCheck(BOOL check) {
    StoreCheck(check);
    if (check && !m_groupName.empty()) MGroupCheck::ResetGroupCheck(this);
}

void MenuItem::SetSeparator(BOOL separator) {
    m_separator = separator;
    SetRresponse(!separator);  // a separator takes no input
    UpdateControl(TRUE);
}

void MenuItem::SetFrameWidth(int width) {
    m_column = std::max(0, width);
    UpdateControl(TRUE);
}

void MenuItem::SetIndent(int indent) {
    m_indent = std::max(0, indent);
    UpdateControl(TRUE);
}

void MenuItem::SetHoverColor(Color color) {
    m_hoverColor = color;
    UpdateControl(TRUE);
}

void MenuItem::ShowPopupMenu() {
    if (!m_popup || !m_popup->GetSafeHwnd() || !m_manager) return;
    POINT at{m_rect.right, m_rect.top};
    Platform::ClientToScreen(m_manager->GetPaintWnd(), at);
    const CRect r = m_popup->GetWindowRect();
    m_popup->MoveWindow(CRect(at.x, at.y, at.x + r.Width(), at.y + r.Height()));
    m_popup->ShowWindow(SW_SHOWNOACTIVATE);
}

void MenuItem::OnClicked() {
    if (!m_groupName.empty()) SetCheck(TRUE);
    SendMessageW(Notify::Clicked, WPARAM(m_value), 0);
}

void MenuItem::OnHoverChanged(BOOL hover) {
    if (hover) ShowPopupMenu();
}

int MenuItem::ColumnWidth() const {
    if (m_column > 0) return m_column;
    return NaturalColumn();
}

int MenuItem::NaturalColumn() const {
    // Room for the icon and, when checked, the frame drawn 3 pixels around it.
    return m_image ? std::max(kAutoColumn, m_frameWidth + 10) : kAutoColumn;
}

void MenuItem::RenderLook(Canvas& canvas, int look, const CRect& slice) {
    const int state = look & 3;
    if (m_separator) {
        const int y = slice.top + slice.Height() / 2;
        canvas.FillRect(CRect(slice.left + m_indent + 1, y, slice.right - 1, y + 1), Color(0x40FFFFFF));
        return;
    }
    const bool lit = state == STATE_HOVER || state == STATE_PRESSED;
    if (lit) canvas.FillRect(slice, m_hoverColor);
    const Color text = state == STATE_DISABLED ? TextColorFor(STATE_DISABLED)
                       : lit                   ? ContrastOn(m_hoverColor, m_textColor)
                                               : m_textColor;
    const CRect column(slice.left + m_indent, slice.top, slice.left + m_indent + ColumnWidth(), slice.bottom);
    const CPoint c = column.CenterPoint();
    if (m_image) {
        // A checked item with an icon shows the icon framed.
        if (look >= STATE_CHECKED)
            canvas.DrawRoundRect(CRect(c.x - m_frameWidth / 2 - 3, c.y - m_frameHeight / 2 - 3,
                                       c.x + (m_frameWidth + 1) / 2 + 3, c.y + (m_frameHeight + 1) / 2 + 3),
                                 3, text);
        if (lit && IsLight(m_hoverColor))  // dark on the light fill; a press in dark teal
            DrawTinted(canvas, *m_image, GetFrameRect(FrameForLook(STATE_NORMAL)),
                       CPoint(c.x - m_frameWidth / 2, c.y - m_frameHeight / 2),
                       state == STATE_PRESSED ? Color(0xFF0B5D53) : text);
        else
            DrawLookFrameAt(canvas, c.x - m_frameWidth / 2, c.y - m_frameHeight / 2, state);
    } else if (look >= STATE_CHECKED) {
        if (m_groupName.empty()) {
            canvas.DrawLine(CPoint(c.x - 5, c.y), CPoint(c.x - 1, c.y + 4), text, 2);
            canvas.DrawLine(CPoint(c.x - 1, c.y + 4), CPoint(c.x + 6, c.y - 4), text, 2);
        } else {
            canvas.FillEllipse(CRect(c.x - 3, c.y - 3, c.x + 4, c.y + 4), text);
        }
    }
    CRect label(column.right + kLabelGap, slice.top, slice.right - kArrowWidth, slice.bottom);
    DrawTitleText(canvas, m_title, label, text);
    if (m_popup) {
        const int x = slice.right - kArrowWidth / 2 - 2, y = c.y;
        canvas.FillPolygon({{x - 2, y - 4}, {x - 2, y + 4}, {x + 3, y}}, text);
    }
}

void MenuItem::DescribeAccessible(AccessibleInfo& info) {
    MButtonBase::DescribeAccessible(info);
    info.role = AccessibleRole::MenuItem;
}

}  // namespace Orvix
