#include "orvix/controls/EditModel.h"

#include <algorithm>
#include <cwctype>

namespace Orvix {

namespace {
bool IsWordChar(wchar_t c) {
    return std::iswalnum(c) || c == L'_';
}
}  // namespace

void EditModel::SetText(const std::wstring& text) {
    m_text = text;
    m_caret = m_anchor = m_text.size();
}

void EditModel::SetSel(size_t anchor, size_t caret) {
    m_anchor = std::min(anchor, m_text.size());
    m_caret = std::min(caret, m_text.size());
}

void EditModel::SelectWordAt(size_t pos) {
    pos = std::min(pos, m_text.size());
    size_t start = pos, end = pos;
    while (start > 0 && IsWordChar(m_text[start - 1])) --start;
    while (end < m_text.size() && IsWordChar(m_text[end])) ++end;
    if (start == end && end < m_text.size()) ++end;  // a lone separator
    SetSel(start, end);
}

bool EditModel::Insert(const std::wstring& text) {
    if (text.empty()) return false;
    if (m_digitsOnly &&
        !std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
        return false;
    std::wstring piece = text;
    const size_t kept = m_text.size() - (SelEnd() - SelStart());
    if (m_limit) {
        const size_t room = kept < m_limit ? m_limit - kept : 0;
        if (room == 0) return false;
        if (piece.size() > room) piece.resize(room);
    }
    const size_t start = SelStart();
    m_text.replace(start, SelEnd() - start, piece);
    m_caret = m_anchor = start + piece.size();
    return true;
}

bool EditModel::DeleteSelection() {
    if (!HasSelection()) return false;
    const size_t start = SelStart();
    m_text.erase(start, SelEnd() - start);
    m_caret = m_anchor = start;
    return true;
}

bool EditModel::Backspace(bool word) {
    if (DeleteSelection()) return true;
    if (m_caret == 0) return false;
    m_anchor = word ? WordLeft(m_caret) : m_caret - 1;
    return DeleteSelection();
}

bool EditModel::Delete(bool word) {
    if (DeleteSelection()) return true;
    if (m_caret >= m_text.size()) return false;
    m_anchor = word ? WordRight(m_caret) : m_caret + 1;
    return DeleteSelection();
}

void EditModel::MoveTo(size_t pos, bool extend) {
    m_caret = std::min(pos, m_text.size());
    if (!extend) m_anchor = m_caret;
}

void EditModel::MoveLeft(bool extend, bool word) {
    // Without Shift a selection collapses to its start.
    if (HasSelection() && !extend && !word) return MoveTo(SelStart(), false);
    MoveTo(word ? WordLeft(m_caret) : (m_caret ? m_caret - 1 : 0), extend);
}

void EditModel::MoveRight(bool extend, bool word) {
    if (HasSelection() && !extend && !word) return MoveTo(SelEnd(), false);
    MoveTo(word ? WordRight(m_caret) : m_caret + 1, extend);
}

size_t EditModel::LineStart(size_t pos) const {
    pos = std::min(pos, m_text.size());
    size_t nl = pos ? m_text.rfind(L'\n', pos - 1) : std::wstring::npos;
    return nl == std::wstring::npos ? 0 : nl + 1;
}

size_t EditModel::LineEnd(size_t pos) const {
    size_t nl = m_text.find(L'\n', std::min(pos, m_text.size()));
    return nl == std::wstring::npos ? m_text.size() : nl;
}

size_t EditModel::WordLeft(size_t pos) const {
    while (pos > 0 && !IsWordChar(m_text[pos - 1])) --pos;
    while (pos > 0 && IsWordChar(m_text[pos - 1])) --pos;
    return pos;
}

size_t EditModel::WordRight(size_t pos) const {
    while (pos < m_text.size() && IsWordChar(m_text[pos])) ++pos;
    while (pos < m_text.size() && !IsWordChar(m_text[pos])) ++pos;
    return pos;
}

}  // namespace Orvix
