#include "orvix/controls/MEditBox.h"

#include <algorithm>

#include "orvix/core/MPanel.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

namespace {
// Selected text is drawn dark on the accent, whatever the edit's own colours:
// readable on every background an edit has.
constexpr Color kSelection(0xFF49FFE6);
constexpr Color kSelectedText(0xFF0B1218);

// Native single-line edits keep the first line of pasted text.
std::wstring NormaliseLines(std::wstring text, bool multiLine) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r') {
            if (i + 1 < text.size() && text[i + 1] == L'\n') continue;
            c = L'\n';
        }
        if (c == L'\n' && !multiLine) break;
        out += c;
    }
    return out;
}

bool TypesText(UINT vk) {
    return (vk >= 0x30 && vk <= 0x5A) || (vk >= VK_NUMPAD0 && vk <= VK_DIVIDE) ||
           (vk >= VK_OEM_1 && vk <= VK_OEM_102);
}
}  // namespace

MEditBox::MEditBox(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
    m_textColor = Color(0xFF050505);
}

MEditBox::~MEditBox() {
    if (m_active && Platform::IsTextInputActive()) Platform::StopTextInput();
}

void MEditBox::Open(const std::wstring& text) {
    m_model.SetText(text);
    m_scrollX = m_scrollY = 0;
    SetVisible(TRUE);
    Activate();
}

void MEditBox::Activate() {
    if (m_active || !m_visible) return;
    m_active = TRUE;
    m_openText = m_model.GetText();
    m_composition.clear();
    m_wantX = -1;
    m_placedCaret.SetRectEmpty();
    if (m_manager) {
        m_manager->CreateCaret(this, 1, LineHeight(), m_textColor);
        m_manager->ShowCaret(TRUE);
    }
    Moved();
}

void MEditBox::Deactivate() {
    if (!m_active) return;
    m_active = FALSE;
    m_dragging = false;
    m_composition.clear();
    if (m_manager) {
        if (m_manager->GetCurrentCaretObject() == this) Platform::StopTextInput();
        m_manager->DestroyCaret(this);
    }
    Repaint();
}

void MEditBox::Close() {
    Deactivate();
    SetVisible(FALSE);
}

void MEditBox::SetText(const std::wstring& text) {
    m_model.SetText(text);
    if (m_visible) Moved();
}

void MEditBox::SetPassword(BOOL on, wchar_t mask) {
    m_password = on;
    if (mask) m_mask = mask;
}

void MEditBox::SetSel(size_t anchor, size_t caret) {
    m_model.SetSel(anchor, caret);
    if (m_visible) Moved();
}

BOOL MEditBox::ReplaceSel(const std::wstring& text) {
    if (!m_model.Insert(NormaliseLines(text, m_multiLine))) return FALSE;
    if (m_visible) Moved();
    return TRUE;
}

// ---------------------------------------------------------------- input

BOOL MEditBox::IsReachable() const {
    if (!m_visible || !m_enabled) return FALSE;
    for (MObject* p = m_parent; p && !p->IsClass(L"MDialog");) {
        auto* control = dynamic_cast<MControl*>(p);
        if (!control) break;
        if (!control->IsVisible() || !control->IsEnabled()) return FALSE;
        p = control->GetParantObject();
    }
    return TRUE;
}

void MEditBox::Cancel() {
    if (!m_active) return;
    SendMessageW(Notify::EditEnded, 0, 0);
    if (m_active) Deactivate();
}

LRESULT MEditBox::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!m_active) return 0;
    if (msg == WM_KILLFOCUS || !IsReachable()) {
        // Its page was hidden or disabled: like a native edit losing the focus,
        // and whatever was typed goes to the window, not into a hidden box.
        Cancel();
        return 0;
    }
    switch (msg) {
        case WM_CHAR: {
            wchar_t c = wchar_t(wParam);
            if (c < 0x20 || c == 0x7F) return 1;  // control characters come as keys
            m_composition.clear();
            if (!m_readOnly && m_model.Insert(std::wstring(1, c)))
                Changed();
            else
                Repaint();
            return 1;
        }
        case WM_IME_COMPOSITION: {
            auto* data = reinterpret_cast<const ImeCompositionData*>(wParam);
            if (!data || m_readOnly) return 1;
            m_composition = data->text;
            m_compositionCursor = std::clamp(data->cursor, 0, int(m_composition.size()));
            Moved();
            return 1;
        }
        case WM_KEYDOWN:
            return OnKey(UINT(wParam));
        case WM_NCACTIVATE:
            // The window lost activation: like a native edit losing focus.
            if (!wParam) SendMessageW(Notify::EditEnded, 0, 0);
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
            return OnPointer(msg, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        default:
            return 0;
    }
}

BOOL MEditBox::OnPointer(UINT msg, CPoint pt) {
    const CPoint offset = WindowOffset();
    CRect onWindow = m_rect;
    onWindow.OffsetRect(-offset.x, -offset.y);
    const CPoint content(pt.x + offset.x, pt.y + offset.y);
    const bool inside = onWindow.PtInRect(pt);
    switch (msg) {
        case WM_MOUSEMOVE:
            if (!m_dragging) return FALSE;
            m_model.MoveTo(HitTest(content), true);
            Moved();
            return TRUE;
        case WM_LBUTTONUP:
            if (!m_dragging) return FALSE;
            m_dragging = false;
            Platform::ReleaseCapture();
            return TRUE;
        case WM_LBUTTONDOWN:
            if (!inside) return FALSE;
            m_model.MoveTo(HitTest(content), Platform::IsKeyDown(VK_SHIFT));
            m_dragging = true;
            if (m_manager) Platform::SetCapture(m_manager->GetPaintWnd());
            m_wantX = -1;
            Moved();
            return TRUE;
        case WM_LBUTTONDBLCLK:
            if (!inside) return FALSE;
            m_model.SelectWordAt(HitTest(content));
            Moved();
            return TRUE;
        case WM_RBUTTONUP:
            // Only a release whose press the box took: the window saw the others' presses.
            if (!m_rightPressed) return FALSE;
            m_rightPressed = false;
            return TRUE;
        default:  // right presses on the box stay with it, as with a native edit
            m_rightPressed = inside;
            return inside;
    }
}

BOOL MEditBox::OnKey(UINT vk) {
    const bool ctrl = Platform::IsKeyDown(VK_CONTROL), shift = Platform::IsKeyDown(VK_SHIFT);
    if (Platform::IsKeyDown(VK_MENU)) return FALSE;
    const bool editable = !m_readOnly;
    bool keepColumn = false;
    switch (vk) {
        case VK_LEFT:
            m_model.MoveLeft(shift, ctrl);
            break;
        case VK_RIGHT:
            m_model.MoveRight(shift, ctrl);
            break;
        case VK_HOME:
            ctrl ? m_model.MoveTo(0, shift) : m_model.MoveHome(shift);
            break;
        case VK_END:
            ctrl ? m_model.MoveTo(m_model.GetText().size(), shift) : m_model.MoveEnd(shift);
            break;
        case VK_UP:
        case VK_DOWN: {
            if (!m_multiLine) return FALSE;  // single-line hosts use them (spin boxes)
            CPoint at = PosOf(m_model.GetCaret());
            if (m_wantX < 0) m_wantX = at.x;
            int y = at.y + (vk == VK_UP ? -LineHeight() : LineHeight()) + LineHeight() / 2;
            if (y >= 0) m_model.MoveTo(HitTest(CPoint(TextArea().left + m_wantX, TextArea().top + y)), shift);
            keepColumn = true;
            break;
        }
        case VK_BACK:
            if (editable && m_model.Backspace(ctrl)) Changed();
            return TRUE;
        case VK_DELETE:
            if (shift) {  // Shift+Delete cuts
                Copy();
                if (editable && !m_password && m_model.DeleteSelection()) Changed();
            } else if (editable && m_model.Delete(ctrl)) {
                Changed();
            }
            return TRUE;
        case VK_INSERT:
            if (ctrl)
                Copy();
            else if (shift && editable)
                Paste();
            return TRUE;
        case VK_RETURN:
            if (m_multiLine) {
                if (editable && m_model.Insert(L"\n")) Changed();
            } else {
                SendMessageW(Notify::EditEnded, VK_RETURN, 0);
                if (m_passDialogKeys) return FALSE;
            }
            return TRUE;
        case VK_ESCAPE:
            Revert();
            SendMessageW(Notify::EditEnded, VK_ESCAPE, 0);
            return !m_passDialogKeys;
        case VK_TAB:
        case VK_SPACE:
            return FALSE;  // Space types through WM_CHAR; hosts may also act on it
        default:
            if (ctrl && vk == 'A') {
                m_model.SelectAll();
                break;
            }
            if (ctrl && vk == 'C') {
                Copy();
                return TRUE;
            }
            if (ctrl && vk == 'X') {
                Copy();
                if (editable && !m_password && m_model.DeleteSelection()) Changed();
                return TRUE;
            }
            if (ctrl && vk == 'V') {
                if (editable) Paste();
                return TRUE;
            }
            // Keys that type are the box's alone: no hot key fires while typing.
            return !ctrl && TypesText(vk);
    }
    if (!keepColumn) m_wantX = -1;
    Moved();
    return TRUE;
}

BOOL MEditBox::Copy() const {
    if (m_password || !m_model.HasSelection()) return FALSE;  // a password is never copied out
    Platform::SetClipboardText(m_model.GetSelectedText());
    return TRUE;
}

BOOL MEditBox::Paste() {
    std::wstring text = NormaliseLines(Platform::GetClipboardText(), m_multiLine);
    if (!m_model.Insert(text)) return FALSE;
    Changed();
    return TRUE;
}

BOOL MEditBox::TypeOver(size_t start, size_t end, const std::wstring& text) {
    if (!m_active || m_readOnly) return FALSE;
    m_composition.clear();
    m_model.SetSel(start, end);
    const bool changed =
        text.empty() ? m_model.DeleteSelection() : m_model.Insert(NormaliseLines(text, m_multiLine));
    if (changed)
        Changed();
    else
        Moved();
    return changed;
}

BOOL MEditBox::CopyRange(size_t start, size_t end) {
    if (!m_active) return FALSE;
    m_model.SetSel(start, end);
    Moved();
    return Copy();
}

BOOL MEditBox::CutRange(size_t start, size_t end) {
    if (!m_active || m_readOnly || m_password) return FALSE;
    m_model.SetSel(start, end);
    if (!Copy() || !m_model.DeleteSelection()) return FALSE;
    Changed();
    return TRUE;
}

BOOL MEditBox::PasteAt(size_t position) {
    if (!m_active || m_readOnly) return FALSE;
    m_composition.clear();
    m_model.SetSel(position, position);
    return Paste();
}

void MEditBox::Revert() {
    if (m_model.GetText() == m_openText) return;
    m_model.SetText(m_openText);
    Changed();
}

void MEditBox::Changed() {
    Moved();
    SendMessageW(Notify::TextChanged, 0, 0);
}

void MEditBox::Repaint() {
    UpdateControl();
    // Hosts that are no containers (edit fields, value buttons) do not pass
    // their children's requests on: the box asks its window itself, for its
    // whole rect, since an aligned line moves as a whole.
    if (!m_manager || !m_visible) return;
    CRect onWindow = m_rect;
    const CPoint offset = WindowOffset();
    onWindow.OffsetRect(-offset.x, -offset.y);
    m_manager->InvalidateRect(onWindow);
}

void MEditBox::Moved() {
    ScrollToCaret();
    Repaint();
    PlaceCaret();
}

// ---------------------------------------------------------------- layout

std::wstring MEditBox::DisplayText() const {
    std::wstring text = m_password ? std::wstring(m_model.GetText().size(), m_mask) : m_model.GetText();
    if (!m_composition.empty()) text.insert(m_model.GetCaret(), m_composition);
    return text;
}

TextStyle MEditBox::Style() const {
    TextStyle style = GetTextStyle(false);
    style.hAlign = 0;
    style.vAlign = 0;
    style.clip = false;
    return style;
}

int MEditBox::LineHeight() const {
    int h = Canvas::MeasureText(L"Ag", Style()).cy;
    return h > 0 ? h : m_fontSize + 4;
}

int MEditBox::TextWidth(const std::wstring& text) const {
    return Canvas::MeasureText(text, Style()).cx;
}

CRect MEditBox::TextArea() const {
    CRect area = m_rect;
    area.DeflateRect(m_marginX, 0);
    if (m_multiLine) {
        area.DeflateRect(0, m_marginY);
    } else {
        int top = m_rect.top + (m_rect.Height() - LineHeight()) / 2;
        area.top = top;
        area.bottom = top + LineHeight();
    }
    return area;
}

CPoint MEditBox::PosOf(size_t pos) const {
    const std::wstring text = DisplayText();
    pos = std::min(pos, text.size());
    size_t lineStart = pos ? text.rfind(L'\n', pos - 1) : std::wstring::npos;
    lineStart = lineStart == std::wstring::npos ? 0 : lineStart + 1;
    int line = int(std::count(text.begin(), text.begin() + long(lineStart), L'\n'));
    size_t lineEnd = text.find(L'\n', lineStart);
    if (lineEnd == std::wstring::npos) lineEnd = text.size();
    const int offset = AlignOffset(TextWidth(text.substr(lineStart, lineEnd - lineStart)));
    return {offset + TextWidth(text.substr(lineStart, pos - lineStart)), line * LineHeight()};
}

int MEditBox::AlignOffset(int width) const {
    const int room = TextArea().Width();
    if (width >= room || m_hAlign == 0) return 0;  // a line that overflows scrolls from the left
    return m_hAlign == 1 ? (room - width) / 2 : room - width;
}

size_t MEditBox::HitTest(CPoint pt) const {
    const CRect area = TextArea();
    const std::wstring& text = m_model.GetText();
    int line = std::max(0, (pt.y - area.top + m_scrollY) / LineHeight());
    size_t start = 0;
    for (int i = 0; i < line; ++i) {
        size_t nl = text.find(L'\n', start);
        if (nl == std::wstring::npos) break;
        start = nl + 1;
    }
    size_t end = m_model.LineEnd(start);
    auto width = [&](size_t i) {
        return TextWidth(m_password ? std::wstring(i - start, m_mask) : text.substr(start, i - start));
    };
    const int x = pt.x - area.left + m_scrollX - AlignOffset(width(end));
    // The first index whose left edge lies past x, then the nearer neighbour.
    size_t lo = start, hi = end;
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (width(mid) < x)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo > start && x - width(lo - 1) < width(lo) - x) --lo;
    return lo;
}

void MEditBox::ScrollToCaret() {
    const CRect area = TextArea();
    CPoint at = PosOf(m_model.GetCaret() + size_t(m_compositionCursor * !m_composition.empty()));
    if (at.x - m_scrollX > area.Width() - 1) m_scrollX = at.x - area.Width() + 1;
    if (at.x < m_scrollX) m_scrollX = std::max(0, at.x - area.Width() / 3);
    // Text that fits needs no scrolling (a centred line shrinking back into view).
    if (m_scrollX > 0 && TextWidth(DisplayText()) < area.Width() && !m_multiLine) m_scrollX = 0;
    if (!m_multiLine) return;
    if (at.y + LineHeight() - m_scrollY > area.Height()) m_scrollY = at.y + LineHeight() - area.Height();
    if (at.y < m_scrollY) m_scrollY = at.y;
}

CPoint MEditBox::WindowOffset() const {
    return MPanel::GetContentOffset(this);
}

CRect MEditBox::GetCaretRect() const {
    const CRect area = TextArea();
    const CPoint offset = WindowOffset();
    CPoint at = PosOf(m_model.GetCaret() + size_t(m_compositionCursor * !m_composition.empty()));
    int x = std::min(area.left + at.x - m_scrollX, area.right - 1);
    int y = area.top + at.y - m_scrollY;
    return CRect(x - offset.x, y - offset.y, x - offset.x + 1, y - offset.y + LineHeight());
}

void MEditBox::PlaceCaret() {
    if (!m_active || !m_manager || m_manager->GetCurrentCaretObject() != this) return;
    CRect caret = GetCaretRect();
    if (caret == m_placedCaret) return;
    m_placedCaret = caret;
    m_manager->SetCaretPos(caret.TopLeft());
    Platform::StartTextInput(m_manager->GetPaintWnd(), caret);
}

// ---------------------------------------------------------------- drawing

void MEditBox::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (!m_rect.Intersects(rcPaint)) return;
    canvas.PushClip(m_rect);
    if (m_backAlpha) canvas.FillRect(m_rect, Color::FromCOLORREF(m_back, m_backAlpha));
    const CRect area = TextArea();
    const TextStyle style = Style();
    const std::wstring text = DisplayText();
    const int lineHeight = LineHeight();
    const size_t selStart = m_model.SelStart(), selEnd = m_model.SelEnd();
    const size_t compStart = m_model.GetCaret(), compEnd = compStart + m_composition.size();
    size_t start = 0;
    for (int line = 0; start <= text.size(); ++line) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        const int y = area.top + line * lineHeight - m_scrollY;
        const std::wstring piece = text.substr(start, end - start);
        const int x0 = area.left - m_scrollX + AlignOffset(TextWidth(piece));
        if (y + lineHeight > m_rect.top && y < m_rect.bottom) {
            auto xOf = [&](size_t i) {
                return x0 + TextWidth(text.substr(start, std::clamp(i, start, end) - start));
            };
            CRect selected;
            if (m_composition.empty() && selStart < selEnd && selStart <= end && selEnd >= start) {
                int right = xOf(selEnd) + (selEnd > end ? 4 : 0);  // a selected line break shows
                selected = CRect(xOf(selStart), y, right, y + lineHeight);
                canvas.FillRect(selected, kSelection);
            }
            const CRect line(x0, y, x0 + 100000, y + lineHeight);
            if (selected.IsRectEmpty()) {
                canvas.DrawText(piece, line, m_textColor, style);
            } else {
                // Each part of the line in its own colour, none drawn over another.
                const CRect parts[] = {CRect(m_rect.left, y, selected.left, y + lineHeight), selected,
                                       CRect(selected.right, y, m_rect.right, y + lineHeight)};
                for (int part = 0; part < 3; ++part) {
                    if (parts[part].IsRectEmpty()) continue;
                    canvas.PushClip(parts[part]);
                    canvas.DrawText(piece, line, part == 1 ? kSelectedText : m_textColor, style);
                    canvas.PopClip();
                }
            }
            if (!m_composition.empty() && compStart >= start && compStart <= end)
                canvas.FillRect(CRect(xOf(compStart), y + lineHeight - 1, xOf(compEnd), y + lineHeight),
                                m_textColor);
        }
        start = end + 1;
    }
    canvas.PopClip();
    PlaceCaret();
}

}  // namespace Orvix
