#pragma once
// A control that writes what reaches it into one log shared by a test, so the
// order of events across controls shows. Each entry starts with the control's
// id ("10:down 50,60"). Its answers are switches a test flips.
#include <algorithm>
#include <string>
#include <vector>

#include "ToolkitFixture.h"

namespace ToolkitTest {

using Log = std::vector<std::wstring>;

inline std::wstring At(CPoint pt) {
    return std::to_wstring(pt.x) + L"," + std::to_wstring(pt.y);
}
inline bool Has(const Log& log, const std::wstring& entry) {
    return std::find(log.begin(), log.end(), entry) != log.end();
}
// Position of the first entry, or -1.
inline long IndexOf(const Log& log, const std::wstring& entry) {
    auto it = std::find(log.begin(), log.end(), entry);
    return it == log.end() ? -1 : long(it - log.begin());
}

class Tracer : public MControlFont {
  public:
    Tracer(MObject* parent, UINT id, CRect rect, Log* log) : MControlFont(parent, id, rect), m_log(log) {}
    ~Tracer() override { Note(L"gone"); }

    // Takes ownership of a child in the controls list (kind 1) or the areas (0).
    template <typename T>
    T* Add(T* child, int kind = 1) {
        child->SetParent(this);
        child->SetManager(GetManager());
        AddChild(child, kind);
        return child;
    }

    void DrawControl(Canvas& canvas, CRect rcPaint) override {
        DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& local) {
            ++renders;
            if (fill.GetA()) cache.FillRect(local, fill);
        });
    }
    // Notifications of children pass up unchanged, as in any container.
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override {
        return m_parent ? m_parent->OnBaseMessage(id, code, wParam, lParam) : 0;
    }
    void OnMousePointChange(CPoint& pt) override { pt.Offset(shift.x, shift.y); }
    BOOL OnCheckMouseResponse(UINT, CPoint) override { return !declinePoint; }
    LRESULT SetControlFocus(BOOL focus) override {
        Note(focus ? L"focus" : L"blur");
        return MControlFont::SetControlFocus(focus);
    }
    LRESULT OnWindowMessage(UINT msg, WPARAM, LPARAM) override {
        if (msg != claim) return 0;
        Note(L"raw");
        return 1;
    }
    BOOL OnControlMouseMove(UINT, CPoint pt) override { return Answer(L"move", pt, m_rect.PtInRect(pt)); }
    BOOL OnControlLButtonDown(UINT, CPoint pt) override { return Answer(L"down", pt, TRUE); }
    BOOL OnControlLButtonUp(UINT, CPoint pt) override { return Answer(L"up", pt, TRUE); }
    BOOL OnControlLButtonDblClk(UINT, CPoint pt) override { return Answer(L"dblclk", pt, takeDblClk); }
    BOOL OnControlRButtonDown(UINT, CPoint pt) override { return Answer(L"rdown", pt, TRUE); }
    BOOL OnControlRButtonUp(UINT, CPoint pt) override { return Answer(L"rup", pt, TRUE); }
    BOOL OnControlScroll(int, UINT direction, CPoint pt) override {
        return Answer(direction ? L"wheel-down" : L"wheel-up", pt, takeWheel);
    }
    BOOL OnControlKeyDown(UINT vk, UINT repeat, UINT modifiers) override {
        Note(L"key " + std::to_wstring(vk) + L"/" + std::to_wstring(modifiers));
        return takeKeys || MControlFont::OnControlKeyDown(vk, repeat, modifiers);
    }
    BOOL OnControlTimer() override {
        ++ticks;
        return TRUE;
    }

    void Note(const std::wstring& what) {
        if (m_log) m_log->push_back(std::to_wstring(m_id) + L":" + what);
    }
    void Note(const std::wstring& what, CPoint pt) { Note(what + L" " + At(pt)); }
    BOOL Answer(const std::wstring& what, CPoint pt, BOOL answer) {
        Note(what, pt);
        return answer;
    }

    CPoint shift;  // how this control moves points for its children
    bool declinePoint = false;
    bool takeDblClk = true;
    bool takeWheel = false;
    bool takeKeys = false;
    UINT claim = 0;   // a raw window message this control answers non-zero
    Color fill;       // what its look paints (transparent: nothing)
    int renders = 0;  // how often its render cache was re-rendered
    int ticks = 0;

  private:
    Log* m_log;
};

}  // namespace ToolkitTest
