#include "orvix/controls/MRichEdit.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MRichEdit)

MRichEdit::MRichEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MPanel(parent, id, rect, title, visible, enabled), m_edit(*this) {
    m_look = enabled ? 0 : 3;
}

void MRichEdit::InitControl(PaintManager* manager) {
    MPanel::InitControl(manager);
    if (!manager || m_edit.Peek()) return;
    MEditBox* box = m_edit.Box();
    box->SetBackColor(m_back);
    box->SetMargins(4, 3);  // always in view: the box is the field itself
    box->SetTextColor(m_textColor);
    box->SetFont(m_fontName.c_str(), m_fontSize, m_fontStyle);
    box->SetControlRect(BoxRect());
    box->SetText(m_title);
    box->SetVisible(TRUE, FALSE);
}

CRect MRichEdit::BoxRect() const {
    CRect r = m_rect;
    r.DeflateRect(m_inset, m_inset);
    return r;
}

void MRichEdit::SetControlRect(CRect rect) {
    MPanel::SetControlRect(rect);
    if (MEditBox* box = m_edit.Peek()) box->SetControlRect(BoxRect());
}

void MRichEdit::SetText(const wchar_t* text) {
    m_title = text ? text : L"";
    if (MEditBox* box = m_edit.Peek()) box->SetText(m_title);
    UpdateControl(TRUE);
}

std::wstring MRichEdit::GetText() const {
    return m_edit.Peek() ? m_edit.Peek()->GetText() : m_title;
}

void MRichEdit::SetSel(int anchor, int caret) {
    if (MEditBox* box = m_edit.Peek()) box->SetSel(size_t(std::max(0, anchor)), size_t(std::max(0, caret)));
}

void MRichEdit::GetSel(int& start, int& end) const {
    MEditBox* box = m_edit.Peek();
    start = box ? int(box->GetSelStart()) : 0;
    end = box ? int(box->GetSelEnd()) : 0;
}

BOOL MRichEdit::ReplaceSel(const wchar_t* text) {
    MEditBox* box = m_edit.Peek();
    return box && text && box->ReplaceSel(text);
}

void MRichEdit::SetReadOnly(BOOL on) {
    if (MEditBox* box = m_edit.Box()) box->SetReadOnly(on);
}
void MRichEdit::SetPassword(BOOL on, wchar_t mask) {
    if (MEditBox* box = m_edit.Box()) box->SetPassword(on, mask);
}
void MRichEdit::SetLimitText(int limit) {
    if (MEditBox* box = m_edit.Box()) box->SetLimitText(size_t(std::max(0, limit)));
}
void MRichEdit::SetNumberOnly(BOOL on) {
    if (MEditBox* box = m_edit.Box()) box->SetNumberOnly(on);
}
void MRichEdit::SetWordWrap(BOOL multiLine) {
    if (MEditBox* box = m_edit.Box()) box->SetMultiLine(multiLine);
}

void MRichEdit::SetBackColor(COLORREF color) {
    m_back = color;
    if (MEditBox* box = m_edit.Peek()) box->SetBackColor(color);
    UpdateControl(TRUE);
}

void MRichEdit::SetTextColor(Color color) {
    MPanel::SetTextColor(color);
    if (MEditBox* box = m_edit.Peek()) box->SetTextColor(color);
}

void MRichEdit::SetControlEnabled(BOOL enabled) {
    m_enabled = enabled;
    m_look = enabled ? 0 : 3;
    if (!enabled && m_edit.Peek()) m_edit.Peek()->Deactivate();
}

LRESULT MRichEdit::SetControlFocus(BOOL focus) {
    MPanel::SetControlFocus(focus);
    MEditBox* box = m_edit.Peek();
    if (!box) return 0;
    if (focus && m_enabled) {
        box->Activate();
        m_look = 2;
    } else if (box->IsOpen()) {
        box->Deactivate();
        m_look = m_enabled ? 0 : 3;
        OnEditEnded();
    }
    UpdateControl();
    return 0;
}

LRESULT MRichEdit::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    if (id != InPlaceEdit::kBoxId) return MPanel::OnMessage(id, code, wParam, lParam);
    if (code == Notify::TextChanged) {
        SendMessageW(Notify::TextChanged, 0, 0);
        OnTextChanged();
    } else if (code == Notify::EditEnded) {
        OnEditEnded();
        SendMessageW(Notify::EditEnded, 0, 0);
    }
    return 0;
}

BOOL MRichEdit::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled || m_look == 2) return FALSE;
    int look = m_rect.PtInRect(pt) ? 1 : 0;
    if (look != m_look) {
        m_look = look;
        UpdateControl();
    }
    return look == 1;
}

BOOL MRichEdit::OnControlLButtonDown(UINT, CPoint) {
    return m_enabled;
}

void MRichEdit::DrawControl(Canvas& canvas, CRect) {
    // The frame of the look (normal, hover, typing, disabled), then the box.
    if (m_image) {
        const CRect frame = GetFrameRect(std::min(m_look, m_frameCount - 1));
        MRender::DrawImageFrame(canvas, *m_image, m_rect, frame.left, frame.top, frame.Width(),
                                frame.Height(), 8);
    } else {
        canvas.FillRoundRect(m_rect, 4, Color::FromCOLORREF(m_back));
        canvas.DrawRoundRect(m_rect, 4, m_look == 1 || m_look == 2 ? Color(0xFF49FFE6) : Color(0xFF3A4450));
    }
}

}  // namespace Orvix
