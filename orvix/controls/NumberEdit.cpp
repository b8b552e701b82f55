#include "orvix/controls/NumberEdit.h"

#include <algorithm>
#include <cwchar>

#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(NumberEdit)

namespace {
// The number a text shows; false when it is empty or not a whole number.
bool ParseNumber(const std::wstring& text, long& value) {
    if (text.empty()) return false;
    wchar_t* end = nullptr;
    value = std::wcstol(text.c_str(), &end, 10);
    return end && *end == 0;
}
}  // namespace

NumberEdit::NumberEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : NumberEdit(parent, id, rect, title, visible, enabled,
                 Layout{L"img_btn_addvalue.png", L"img_btn_subtract.png", 15, 1, 50}) {}

NumberEdit::NumberEdit(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled,
                       const Layout& layout)
    : MPanel(parent, id, rect, title, visible, enabled),
      m_layout(layout),
      m_edit(*this),
      m_min(layout.min),
      m_max(layout.max) {
    m_hAlign = 1;
}

void NumberEdit::InitControl(PaintManager* manager) {
    MPanel::InitControl(manager);
    if (!manager || GetControl(kIncreaseId)) return;
    // Made by name: the buttons are the toolkit's image buttons.
    for (UINT id : {kIncreaseId, kDecreaseId}) {
        auto* button = dynamic_cast<MControlFont*>(CreateControl(
            L"CImageButton", id, id == kIncreaseId ? IncreaseRect() : DecreaseRect(), nullptr, 1, m_enabled));
        if (button) button->SetImage(id == kIncreaseId ? m_layout.increaseImage : m_layout.decreaseImage, 4);
    }
}

CRect NumberEdit::IncreaseRect() const {
    const int s = m_layout.buttonSize, top = m_rect.top + (m_rect.Height() - s) / 2;
    return CRect(m_rect.right - 2 - s, top, m_rect.right - 2, top + s);
}

CRect NumberEdit::DecreaseRect() const {
    const int s = m_layout.buttonSize, top = m_rect.top + (m_rect.Height() - s) / 2;
    return CRect(m_rect.left + 2, top, m_rect.left + 2 + s, top + s);
}

void NumberEdit::PlaceButtons() {
    if (MControl* b = GetControl(kIncreaseId)) b->SetRect(IncreaseRect());
    if (MControl* b = GetControl(kDecreaseId)) b->SetRect(DecreaseRect());
}

void NumberEdit::SetControlRect(CRect rect) {
    MPanel::SetControlRect(rect);
    PlaceButtons();
}

CRect NumberEdit::GetTextRect() const {
    if (!m_textRect.IsRectEmpty()) return m_textRect;
    // Between the buttons: those right of the middle bound the text on the right.
    CRect r(m_rect.left + 4, m_rect.top + 2, m_rect.right - 4, m_rect.bottom - 2);
    for (const CRect& b : {IncreaseRect(), DecreaseRect()}) {
        if (b.CenterPoint().x > m_rect.CenterPoint().x)
            r.right = std::min<int>(r.right, b.left - 2);
        else
            r.left = std::max<int>(r.left, b.right + 2);
    }
    return r;
}

void NumberEdit::SetEditText(const wchar_t* text) {
    m_title = text ? text : L"";
    if (m_edit.IsOpen()) m_edit.Peek()->SetText(m_title);
    UpdateControl(TRUE);
}

BOOL NumberEdit::Step(int delta) {
    long value = 0;
    if (!ParseNumber(m_title, value)) value = delta > 0 ? m_min - 1 : m_max + 1;
    value = std::clamp<long>(value + delta, m_min, m_max);
    std::wstring text = std::to_wstring(value);
    if (text == m_title) return FALSE;
    m_title = text;
    SendMessageW(Notify::Clicked, WPARAM(value), 0);
    UpdateControl(TRUE);
    return TRUE;
}

BOOL NumberEdit::ShowEdit() {
    if (!m_enabled || !m_manager) return FALSE;
    if (m_edit.IsOpen()) return TRUE;
    MEditBox* box = m_edit.Box();
    box->SetNumberOnly(m_min >= 0);
    box->SetLimitText(std::to_wstring(m_max).size());
    box->SetBackColor(m_editBack);
    box->SetTextColor(m_textColor);
    box->SetPassDialogKeys(TRUE);
    m_edit.Open(GetTextRect(), m_title);
    box->SetSel(0, m_title.size());  // typing replaces the number
    if (m_manager->GetFocusControl() != this) m_manager->SetFocusControl(this);
    SendMessageW(Notify::EditOpened, 0, 0);
    return TRUE;
}

void NumberEdit::HideEdit() {
    if (!m_edit.IsOpen()) return;
    std::wstring text = m_edit.Peek()->GetText();
    m_edit.Close();
    // What was typed is kept to the range; an empty field keeps the old number.
    long value = 0;
    if (ParseNumber(text, value)) m_title = std::to_wstring(std::clamp<long>(value, m_min, m_max));
    UpdateControl(TRUE);
    SendMessageW(Notify::EditEnded, 0, 0);
}

LRESULT NumberEdit::SetControlFocus(BOOL focus) {
    MPanel::SetControlFocus(focus);
    if (focus)
        ShowEdit();
    else
        HideEdit();
    return 0;
}

LRESULT NumberEdit::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    if (id == InPlaceEdit::kBoxId) {
        if (code == Notify::TextChanged && m_edit.Peek()->GetText() != m_title) {
            m_title = m_edit.Peek()->GetText();
            SendMessageW(Notify::TextChanged, 0, 0);
        } else if (code == Notify::EditEnded) {
            HideEdit();
        }
        return 0;
    }
    if (id == kIncreaseId || id == kDecreaseId) {
        if (code == Notify::Clicked) Step(id == kIncreaseId ? 1 : -1);
        return 0;
    }
    return MPanel::OnMessage(id, code, wParam, lParam);
}

BOOL NumberEdit::OnControlLButtonDown(UINT, CPoint) {
    return ShowEdit();
}

BOOL NumberEdit::OnFocusKey(UINT vk, UINT modifiers) {
    if (modifiers == 0 && m_enabled && m_edit.IsOpen() && (vk == VK_UP || vk == VK_DOWN)) {
        // Typing is under way (Left and Right move the caret there): Up and
        // Down step from the number typed so far.
        MEditBox* box = m_edit.Peek();
        m_title = box->GetText();
        Step(vk == VK_UP ? 1 : -1);
        box->SetText(m_title);
        box->SetSel(0, m_title.size());
        return TRUE;
    }
    if (modifiers == 0 && m_enabled && !m_edit.IsOpen()) {
        const UINT step = (vk == VK_UP || vk == VK_RIGHT) ? kIncreaseId : (vk == VK_DOWN || vk == VK_LEFT) ? kDecreaseId : 0;
        if (MControl* button = step ? GetControl(step) : nullptr; button && button->IsVisible()) {
            button->ClickKeyItem();
            return TRUE;
        }
    }
    return MPanel::OnFocusKey(vk, modifiers);
}

BOOL NumberEdit::OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers) {
    // Space while the field is open (a closed one opens as a click opens it).
    if (vk == VK_SPACE && modifiers == 0 && IsFocused() && m_edit.IsOpen()) {
        SendMessageW(Notify::Pressed, 0, 0);
        SendMessageW(Notify::Clicked, 0, 0);
        return TRUE;
    }
    return MPanel::OnControlKeyDown(vk, repeat, modifiers);
}

void NumberEdit::DrawControl(Canvas& canvas, CRect rcPaint) {
    DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& slice) {
        if (m_image) {
            MRender::DrawImageFrame(cache, *m_image, slice, 0, 0, m_frameWidth, m_frameHeight, 6);
        } else {
            cache.FillRoundRect(slice, 4, Color::FromCOLORREF(m_editBack));
            cache.DrawRoundRect(slice, 4, IsFocused() ? Color(0xFF49FFE6) : Color(0xFF3A4450));
        }
        CRect text = GetTextRect();
        text.OffsetRect(slice.left - m_rect.left, slice.top - m_rect.top);
        DrawTitleText(cache, m_title, text, m_enabled ? m_textColor : Color::FromCOLORREF(0x808080));
    });
}

void NumberEdit::DescribeAccessible(AccessibleInfo& info) {
    MControl::DescribeAccessible(info);
    info.role = AccessibleRole::SpinButton;
    info.action = L"click";
    info.editable = true;
    info.hasText = true;
    info.text = GetEditText();
    if (m_edit.IsOpen()) info.caret = int(m_edit.Peek()->GetCaret());
    info.hasValue = true;
    info.value = std::wcstol(GetEditText().c_str(), nullptr, 10);
    info.minimum = GetMin();
    info.maximum = GetMax();
    info.step = 1;
    info.valueText = GetEditText();
}

}  // namespace Orvix
