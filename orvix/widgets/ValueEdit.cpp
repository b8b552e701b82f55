#include "orvix/widgets/ValueEdit.h"

#include <algorithm>
#include <climits>
#include <cwctype>

#include "orvix/core/PaintManager.h"

namespace Orvix {

bool ValueEdit::Open(const CRect& rect, const std::wstring& text, size_t limit, COLORREF back,
                     Color textColor) {
    PaintManager* manager = m_host.GetManager();
    MEditBox* box = m_edit.Box();
    if (!manager || !box) return false;
    box->SetNumberOnly(TRUE);
    box->SetLimitText(limit);
    box->SetBackColor(back);
    box->SetTextColor(textColor);
    m_edit.Open(rect, text, 1);  // the value is drawn centred
    if (manager->GetFocusControl() != &m_host) manager->SetFocusControl(&m_host);
    m_host.SendMessageW(Notify::EditOpened, 0, 0);
    return true;
}

bool ValueEdit::OnChanged(std::wstring& title) {
    if (!IsOpen() || m_edit.Peek()->GetText() == title) return false;
    title = m_edit.Peek()->GetText();
    m_host.SendMessageW(Notify::TextChanged, 0, 0);
    return true;
}

std::optional<int> ValueEdit::Close(int value) {
    if (!IsOpen() || m_closing) return std::nullopt;
    m_closing = true;
    m_valueSet = false;
    m_host.SendMessageW(Notify::EditEnded, 0, 0);
    m_closing = false;
    if (!IsOpen()) return std::nullopt;  // the owner discarded it meanwhile
    const std::wstring text = m_edit.Peek()->GetText();
    m_edit.Close();
    // An owner that corrected the value on code 29 (rounding, limits) has the last word.
    if (m_valueSet || text == std::to_wstring(value)) return std::nullopt;
    return LeadingNumber(text);
}

int ValueEdit::LeadingNumber(const std::wstring& text) {
    long long number = 0;
    for (wchar_t c : text) {
        if (!std::iswdigit(c)) break;
        number = std::min<long long>(number * 10 + (c - L'0'), INT_MAX);
    }
    return int(number);
}

}  // namespace Orvix
