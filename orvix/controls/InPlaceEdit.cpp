#include "orvix/controls/InPlaceEdit.h"

#include <algorithm>

namespace Orvix {

MEditBox* InPlaceEdit::Box() {
    if (m_box || !m_host.GetManager()) return m_box;
    m_box = new MEditBox(&m_host, kBoxId, m_host.GetRect());
    m_box->SetManager(m_host.GetManager());
    m_box->SetRresponse(FALSE);  // it takes its input as the caret owner, not through the tree
    m_host.AddChild(m_box, 1);
    return m_box;
}

void InPlaceEdit::Open(const CRect& rect, const std::wstring& text, int hAlign) {
    MEditBox* box = Box();
    if (!box) return;
    box->SetFont(m_host.GetTextFont().c_str(), m_host.GetFontWidth(), m_host.GetFontStyle());
    UINT h = 0, v = 0;
    m_host.GetAlignment(h, v);
    box->SetAlignment(hAlign >= 0 ? UINT(hAlign) : h);
    box->SetControlRect(rect);
    box->Open(text);
}

void InPlaceEdit::Close() {
    if (m_box) m_box->Close();
}

TextEditOutcome InPlaceEditHost::EditAsTyping(TextOp op, int start, int end, const std::wstring& text) {
    MEditBox* box = OpenEditBox();
    if (!box || !box->IsOpen()) return {};
    const int n = int(box->GetText().size());
    const size_t from = size_t(std::clamp(start, 0, n));
    const size_t to = size_t(end < 0 ? n : std::clamp(end, int(from), n));
    bool done = false;
    switch (op) {
        case TextOp::SetContents:
            box->TypeOver(0, size_t(n), text);
            done = box->GetText() == text;
            break;
        case TextOp::Insert: done = box->TypeOver(from, from, text); break;
        case TextOp::Delete: done = box->TypeOver(from, to, L""); break;
        case TextOp::Copy: done = box->CopyRange(from, to); break;
        case TextOp::Cut: done = box->CutRange(from, to); break;
        case TextOp::Paste: done = box->PasteAt(from); break;
    }
    return {true, done};
}

}  // namespace Orvix
