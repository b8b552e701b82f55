#include "orvix/controls/MEdit.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MEdit)

namespace {
constexpr int kFrameInset = 10;
constexpr int kIconGap = 9;
}  // namespace

MEdit::MEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled), m_edit(*this) {
    m_textColor = Color(0xFE050505);
    m_look = enabled ? 0 : 3;
}

void MEdit::SetTipInfo(const wchar_t* placeholder) {
    m_placeholder = placeholder ? placeholder : L"";
    if (m_title.empty()) UpdateControl(TRUE);
}

void MEdit::SetLimitText(int limit) {
    m_limit = limit > 0 ? limit : 0;
    if (m_edit.IsOpen()) m_edit.Peek()->SetLimitText(size_t(m_limit));
}

void MEdit::EnablePassWord(BOOL on) {
    m_password = on;
    UpdateControl(TRUE);
}

void MEdit::SetPassWordChar(wchar_t mask) {
    if (!mask) return;
    m_mask = mask;
    UpdateControl(TRUE);
}

void MEdit::EnableMultLine(BOOL on) {
    m_multiLine = on;
    UpdateControl(TRUE);
}

BOOL MEdit::SetIconImage(const wchar_t* file, int count) {
    ImgResInfo* info = m_manager && file ? m_manager->AddImgResInfo(file, count) : nullptr;
    if (!info) return FALSE;
    m_icon = info;
    UpdateControl(TRUE);
    return TRUE;
}

CRect MEdit::GetIconRect() const {
    if (!m_icon) return {};
    const int w = m_icon->frameWidth, h = m_icon->height;
    const int top = m_rect.top + (m_rect.Height() - h) / 2;
    return CRect(m_rect.right - kIconGap - w, top, m_rect.right - kIconGap, top + h);
}

CRect MEdit::GetTextRect() const {
    if (!m_textRect.IsRectEmpty()) return m_textRect;
    CRect r = m_rect;
    r.DeflateRect(8, 3);
    if (m_icon) r.right = GetIconRect().left - 4;
    return r;
}

// ---------------------------------------------------------------- editing

BOOL MEdit::ShowEdit() {
    if (m_readOnly || !m_enabled || !m_manager) return FALSE;
    if (m_edit.IsOpen()) return TRUE;
    MEditBox* box = m_edit.Box();
    box->SetLimitText(size_t(m_limit));
    box->SetNumberOnly(m_numberOnly);
    box->SetPassword(m_password, m_mask);
    box->SetMultiLine(m_multiLine);
    box->SetBackColor(m_editBack);
    box->SetTextColor(m_textColor);
    box->SetPassDialogKeys(TRUE);
    // Single-line text is drawn left-aligned unless centred (see RenderLook).
    m_edit.Open(GetTextRect(), m_title, m_hAlign == 1 ? 1 : 0);
    SetLooks(2, m_iconLook);
    if (m_manager->GetFocusControl() != this) m_manager->SetFocusControl(this);
    SendMessageW(Notify::EditOpened, 0, 0);
    return TRUE;
}

void MEdit::HideEdit() {
    if (!m_edit.IsOpen()) return;
    std::wstring text = m_edit.Peek()->GetText();
    m_edit.Close();
    if (text != m_title) m_title = text;
    SetLooks(m_enabled ? 0 : 3, 0);
    UpdateControl(TRUE);
    SendMessageW(Notify::EditEnded, m_endKey, 0);
}

LRESULT MEdit::OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM) {
    if (id != InPlaceEdit::kBoxId) return 0;
    if (code == Notify::TextChanged) {
        const std::wstring& text = m_edit.Peek()->GetText();
        if (text != m_title) {
            m_title = text;
            SendMessageW(Notify::TextChanged, 0, 0);
        }
    } else if (code == Notify::EditEnded) {
        // The owner learns which key ended the edit (Enter, Esc; 0 for focus loss).
        m_endKey = UINT(wParam);
        HideEdit();
        m_endKey = 0;
    }
    return 0;
}

void MEdit::SetControlTitle(const wchar_t* title) {
    m_title = title ? title : L"";
    if (m_edit.IsOpen()) m_edit.Peek()->SetText(m_title);
}

std::wstring MEdit::GetControlTitle() {
    HideEdit();
    return m_title;
}

void MEdit::SetControlEnabled(BOOL enabled) {
    m_enabled = enabled;
    if (!enabled) HideEdit();
    SetLooks(enabled ? 0 : 3, 0);
}

LRESULT MEdit::SetControlFocus(BOOL focus) {
    MControlFont::SetControlFocus(focus);
    if (focus)
        ShowEdit();
    else
        HideEdit();
    return 0;
}

// ---------------------------------------------------------------- input

void MEdit::SetLooks(int look, int iconLook) {
    if (look == m_look && iconLook == m_iconLook) return;
    bool iconChanged = iconLook != m_iconLook;
    m_look = look;
    m_iconLook = iconLook;
    UpdateControl(iconChanged);  // the icon is part of every pre-rendered look
}

BOOL MEdit::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    const bool inside = m_rect.PtInRect(pt);
    const bool onIcon = GetIconRect().PtInRect(pt);
    int look = m_edit.IsOpen() ? 2 : inside ? 1 : 0;
    SetLooks(look, onIcon ? (m_iconPressed ? 2 : 1) : 0);
    return inside;
}

BOOL MEdit::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    if (GetIconRect().PtInRect(pt)) {
        HideEdit();
        m_iconPressed = true;
        SetLooks(m_look, 2);
        SendMessageW(Notify::PartClicked, 0, 0);
        return TRUE;
    }
    m_pressed = true;
    ShowEdit();
    SendMessageW(Notify::Pressed, 0, 0);
    return TRUE;
}

BOOL MEdit::OnControlLButtonUp(UINT, CPoint pt) {
    const bool wasPressed = m_pressed, wasIcon = m_iconPressed;
    m_pressed = m_iconPressed = false;
    const bool onIcon = GetIconRect().PtInRect(pt);
    SetLooks(m_look, onIcon ? 1 : 0);
    if (wasIcon && onIcon)
        SendMessageW(Notify::IconClicked, 0, 0);
    else if (wasPressed && m_rect.PtInRect(pt))
        SendMessageW(Notify::Clicked, 0, 0);
    return wasPressed || wasIcon;
}

BOOL MEdit::OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers) {
    if (vk == VK_SPACE && modifiers == 0 && m_edit.IsOpen()) {
        SendMessageW(Notify::Pressed, 0, 0);
        SendMessageW(Notify::Clicked, 0, 0);
        return TRUE;
    }
    return MControlFont::OnControlKeyDown(vk, repeat, modifiers);
}

// ---------------------------------------------------------------- drawing

void MEdit::DrawControl(Canvas& canvas, CRect rcPaint) {
    DrawCached(canvas, rcPaint, 4, m_look,
               [this](Canvas& cache, int look, const CRect& slice) { RenderLook(cache, look, slice); });
}

void MEdit::RenderLook(Canvas& canvas, int look, const CRect& slice) const {
    const int dx = slice.left - m_rect.left, dy = slice.top - m_rect.top;
    if (m_image) {
        const CRect frame = GetFrameRect(look);
        MRender::DrawImageFrame(canvas, *m_image, slice, frame.left, frame.top, frame.Width(), frame.Height(),
                                kFrameInset);
    } else {
        canvas.FillRoundRect(slice, 4, Color::FromCOLORREF(m_editBack));
        canvas.DrawRoundRect(slice, 4, look == 1 || look == 2 ? Color(0xFF49FFE6) : Color(0xFF3A4450));
    }
    CRect text = GetTextRect();
    text.OffsetRect(dx, dy);
    const bool empty = m_title.empty();
    const std::wstring shown = empty        ? m_placeholder
                               : m_password ? std::wstring(m_title.size(), m_mask)
                                            : m_title;
    Color color = look == 3 ? Color::FromCOLORREF(0x808080)
                  : empty   ? Color::FromCOLORREF(0xB4B4B4)
                            : m_textColor;
    TextStyle style = GetTextStyle(m_multiLine && m_hAlign != 1);
    if (m_hAlign == 1) {
        style.hAlign = 1;
        style.vAlign = 4;
    } else if (!m_multiLine) {
        style.hAlign = 0;
        style.vAlign = 4;
        style.ellipsis = true;
    } else {
        // From the top left, where the open box puts the same text, and kept
        // inside the field however long it is.
        style.hAlign = 0;
        style.vAlign = 0;
        style.clip = true;
    }
    if (!style.family.empty()) canvas.DrawText(shown, text, color, style);
    if (m_icon && m_icon->image) {
        CRect icon = GetIconRect();
        icon.OffsetRect(dx, dy);
        const int w = m_icon->frameWidth;
        canvas.DrawImage(*m_icon->image, icon,
                         CRect(m_iconLook * w, 0, (m_iconLook + 1) * w, m_icon->height));
    }
}

void MEdit::DescribeAccessible(AccessibleInfo& info) {
    MControlFont::DescribeAccessible(info);
    info.role = AccessibleRole::Entry;
    info.action = L"click";
    info.editable = !m_readOnly;
    info.hasText = true;
    info.text = GetEditText();
    if (m_edit.IsOpen()) info.caret = int(m_edit.Peek()->GetCaret());
    // The text is the field's content, not its name.
    info.name = !GetAccessibleName().empty() ? GetAccessibleName() : GetTooltip();
    info.description.clear();
}

}  // namespace Orvix
