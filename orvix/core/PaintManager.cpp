// PaintManager: the window side (dispatch, focus, timers, ticker, tree).
#include "orvix/core/PaintManager.h"

#include <algorithm>

#include "orvix/core/MAirBladder.h"
#include "orvix/core/MTooltipWnd.h"
#include "orvix/core/ControlFactory.h"
#include "orvix/core/FocusChain.h"
#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "orvix/core/MDialog.h"
#include "orvix/core/MPanel.h"

namespace Orvix {

PaintManager::PaintManager() = default;
PaintManager::~PaintManager() { DestroyData(); }

void PaintManager::Init(HWND hwnd, MWindow* window, MObject* root) {
    m_hwnd = hwnd;
    m_window = window;
    m_root = root;
    m_init = TRUE;
    m_scrollV = 102;
    m_scrollH = 101;
    AddGDITempFont(106, L"TTF");
}

MDialog* PaintManager::GetMDialog() const { return dynamic_cast<MDialog*>(m_window); }

void PaintManager::DestroyData() {
    if (!m_init) return;
    m_init = FALSE;
    for (const Ticker& t : m_tickers) Platform::StopTicker(t.platformId);
    m_tickers.clear();
    ClearTimers();
    m_animations.clear();
    ClearAllControls();
    m_backImage.reset();
    m_back.reset();
    ClearImgResInfo();
    ClearTempFont();
    m_caretOwner = nullptr;
    DestroyPopups();
}

// ---------------------------------------------------------------- tree

MControl* PaintManager::CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                      const wchar_t* title, int visible, int enabled) {
    MControl* control = CreateWindowFactoryControl(className, parent, id, rect, title, visible, enabled);
    if (!control) return nullptr;
    control->SetManager(this);
    AddControl(control, int(kind));
    return control;
}

MControl* PaintManager::CreateControl(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                      const wchar_t* title, int visible, int enabled) {
    return CreateControl(1, parent, className, id, rect, title, visible, enabled);
}

MControl* PaintManager::CreateArea(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                   const wchar_t* title, int visible, int enabled) {
    return CreateControl(0, parent, className, id, rect, title, visible, enabled);
}

void PaintManager::AddControl(MControl* control, int kind) {
    if (!control) return;
    if (kind == 0) m_areas.push_back(control);
    else if (kind == 1) m_controls.push_back(control);
}

MControl* PaintManager::GetControl(UINT id) { return MControl::FindControl(m_controls, m_areas, id); }

void PaintManager::RemoveControl(MControl* control) {
    for (auto* list : {&m_controls, &m_areas}) {
        auto it = std::find(list->begin(), list->end(), control);
        if (it == list->end()) continue;
        if (m_focus == control) SetFocusControl(nullptr);
        list->erase(it);
        delete control;
        return;
    }
}

void PaintManager::ClearAreaControls() {
    std::vector<MControl*> list;
    list.swap(m_areas);
    for (MControl* c : list) delete c;
}

void PaintManager::ClearControls() {
    std::vector<MControl*> list;
    list.swap(m_controls);
    for (MControl* c : list) delete c;
}

void PaintManager::ClearAllControls() {
    ClearAreaControls();
    ClearControls();
    m_hover = m_hoverLeaf = m_focus = nullptr;
}

void PaintManager::OnControlDestroyed(MControl* control) {
    if (m_hover == control) {
        m_hover = nullptr;
        m_buttonHeld = FALSE;
    }
    if (m_hoverLeaf == control) m_hoverLeaf = nullptr;
    if (m_focus == control) m_focus = nullptr;
    if (m_caretOwner == control) DestroyCaret(control);
    KillTimer(control);
    DeleteTimer(control);
}

bool PaintManager::IsControlAlive(MControl* control) const {
    return std::any_of(m_timers.begin(), m_timers.end(), [control](const ControlTimer& t) { return t.control == control; });
}

// ---------------------------------------------------------------- repaint

LRESULT PaintManager::OnControlUpdate(CRect rc, BOOL rerender, MControl* control) {
    if (rerender && control) control->SetUpdate(FALSE, m_backColor);
    CRect dirty = MControl::WidenDirtyRect(m_areas, m_controls, control, rc, m_backColor);
    if (m_layered) Invalidate();
    else InvalidateRect(dirty);
    return 0;
}

void PaintManager::Invalidate() { Platform::InvalidateRect(m_hwnd, nullptr); }

void PaintManager::InvalidateRect(CRect rect, BOOL) {
    if (m_layered) Platform::InvalidateRect(m_hwnd, nullptr);
    else Platform::InvalidateRect(m_hwnd, &rect);
}

// ---------------------------------------------------------------- dispatch

// The bitwise OR of 16 (Shift), 17 (Ctrl) and 18 (Alt): controls compare
// hot keys against this value, so held combinations must combine.
UINT PaintManager::KeyModifiers() {
    UINT value = 0;
    if (Platform::IsKeyDown(VK_SHIFT)) value |= 16;
    if (Platform::IsKeyDown(VK_CONTROL)) value |= 17;
    if (Platform::IsKeyDown(VK_MENU)) value |= 18;
    return value;
}

LRESULT PaintManager::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!m_init) return 0;
    if (m_tickersParked) ParkTickers(FALSE);
    // The control holding the text caret stands for a native edit window: it
    // takes typing, editing keys and presses on itself before the tree does.
    if (m_caretOwner && m_caretOwner->OnWindowMessage(msg, wParam, lParam)) return 1;
    for (MControl* c : m_controls)
        if (c->OnWindowMessage(msg, wParam, lParam)) return 0;
    const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const UINT flags = UINT(wParam);
    switch (msg) {
        case WM_PAINT:
            OnPaint();
            return 1;
        case WM_GETMINMAXINFO:
            ApplySizeLimits(*reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_NCDESTROY:
            DestroyData();
            return 1;
        case WM_CREATE:
        case WM_DESTROY:
        case WM_SIZE:
        case WM_CHAR:
        case WM_RBUTTONDBLCLK:
        case WM_MOUSEHOVER:
            return 1;
        case WM_NCACTIVATE:
            if (!wParam) OnNcActivate(FALSE);
            return 0;
        case WM_CAPTURECHANGED:
        case WM_CANCELMODE:
            // The press lost its end (a modal loop took over, another window took
            // the capture): no control may stay pressed.
            if (!m_releasing) CancelPress();
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return OnKeyDown(UINT(wParam), UINT(lParam & 0xFFFF));
        case WM_TIMER:
            OnTimer(UINT(wParam));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(flags, pt);
            return 0;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return 0;
        case WM_LBUTTONDOWN:
            return OnButtonDown(flags, pt, Press::Left);
        case WM_LBUTTONUP:
            return OnButtonUp(flags, pt, true);
        case WM_LBUTTONDBLCLK:
            return OnButtonDown(flags, pt, Press::LeftDouble);
        case WM_RBUTTONDOWN:
            return OnButtonDown(flags, pt, Press::Right);
        case WM_RBUTTONUP:
            return OnButtonUp(flags, pt, false);
        case WM_MOUSEWHEEL:
            return OnMouseWheel(LOWORD(wParam), GET_WHEEL_DELTA_WPARAM(wParam), pt);
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<const DropFilesData*>(wParam));
            return 1;
        default:
            return 0;
    }
}

BOOL PaintManager::PreTranslateMessage(const MSG* msg) {
    // Tab is handled when the key is dispatched, after the control holding the
    // caret had it (a key capture field records Tab): it works in every loop.
    if (msg && msg->hwnd == m_hwnd) RelayToTooltip(msg->message);
    return FALSE;
}

// ---------------------------------------------------------------- pointer

MControl* PaintManager::ControlAt(CPoint pt, UINT flags, bool press, MControl** topLevel) {
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        if (MControl* hit = (*it)->HitTest(pt, flags, press)) {
            if (topLevel) *topLevel = *it;
            return hit;
        }
    }
    if (topLevel) *topLevel = nullptr;
    return nullptr;
}

void PaintManager::SetHover(MControl* topLevel, MControl* leaf) {
    if (leaf != m_hoverLeaf) {
        m_hoverLeaf = leaf;
        ClearTooltip();  // the tooltip follows the hover: the new control shows its own
    }
    if (topLevel == m_hover) return;
    MControl* old = m_hover;
    m_hover = topLevel;
    if (old) old->OnMouseLeave();
}

void PaintManager::OnMouseMove(UINT flags, CPoint pt) {
    if (!m_tracking) {
        Platform::TrackMouseLeave(m_hwnd);
        m_tracking = TRUE;
    }
    // A held press keeps every move (capture): a drag follows the pointer.
    if (m_buttonHeld && m_hover) {
        m_hover->OnMouseMove(flags, pt);
        return;
    }
    MControl* top = nullptr;
    MControl* leaf = ControlAt(pt, flags, false, &top);
    SetHover(top, leaf);
    if (top) top->OnMouseMove(flags, pt);
}

void PaintManager::OnMouseLeave() {
    ClearTooltip();
    m_tracking = FALSE;
    if (m_buttonHeld) return;
    SetHover(nullptr, nullptr);
}

BOOL PaintManager::OnButtonDown(UINT flags, CPoint pt, Press kind) {
    const bool left = kind != Press::Right;
    m_dblClk = kind == Press::LeftDouble;
    ShowKeyboardCues(FALSE);  // the pointer is in use: no focus ring until the keyboard is
    if (m_buttonHeld && m_hover) {
        // Another button while one is held goes where the first one went.
        return left ? m_hover->OnLButtonDown(flags, pt) : m_hover->OnRButtonDown(flags, pt);
    }
    MControl* top = nullptr;
    MControl* leaf = ControlAt(pt, flags, true, &top);
    SetHover(top, leaf);
    if (!leaf) {
        // Nothing takes it: the focus goes, and the background moves the window.
        SetFocusControl(nullptr);
        if (left && kind == Press::Left && m_wndDrag && m_captionRect.PtInRect(pt)) {
            Platform::ReleaseCapture();
            m_capture = FALSE;
            Platform::BeginWindowMove(m_hwnd);
        }
        return FALSE;
    }
    if (leaf->IsDragDrop() && leaf->IsEnabled()) {
        // (drag sources arm themselves when their press arrives)
    }
    m_buttonHeld = TRUE;
    // Captured before the control hears of the press: a press handler that
    // runs a modal loop takes the capture away, and the press ends there.
    if (!m_capture) {
        Platform::SetCapture(m_hwnd);
        m_capture = TRUE;
    }
    BOOL answer;
    if (kind == Press::LeftDouble) answer = top->OnLButtonDblClk(flags, pt);
    else answer = left ? top->OnLButtonDown(flags, pt) : top->OnRButtonDown(flags, pt);
    if (m_buttonHeld && Platform::GetCapture() != m_hwnd) CancelPress();
    return answer;
}

BOOL PaintManager::OnButtonUp(UINT flags, CPoint pt, bool left) {
    const bool held = m_buttonHeld;
    m_buttonHeld = FALSE;
    if (m_capture) {
        m_releasing = TRUE;
        Platform::ReleaseCapture();
        m_releasing = FALSE;
        m_capture = FALSE;
    }
    if (!held) {
        // A release without a press here (a drop from a drag): it goes to the
        // control under the pointer.
        MControl* top = nullptr;
        MControl* leaf = ControlAt(pt, flags, true, &top);
        SetHover(top, leaf);
    }
    MControl* hover = m_hover;
    BOOL answer = FALSE;
    if (hover && hover->IsVisible() && hover->GetRresponse())
        answer = left ? hover->OnLButtonUp(flags, pt) : hover->OnRButtonUp(flags, pt);
    // The pointer may rest over another control now: it becomes the hover one.
    if (held && !m_buttonHeld && m_init) {
        MControl* top = nullptr;
        MControl* leaf = ControlAt(pt, flags, false, &top);
        SetHover(top, leaf);
        if (top && top != hover) top->OnMouseMove(flags, pt);
    }
    return answer;
}

void PaintManager::CancelPress() {
    if (m_capture) {
        m_capture = FALSE;
        m_releasing = TRUE;
        if (Platform::GetCapture() == m_hwnd) Platform::ReleaseCapture();
        m_releasing = FALSE;
    }
    if (!m_buttonHeld) return;
    m_buttonHeld = FALSE;
    if (MControl* hover = m_hover) hover->OnLButtonUp(0, CPoint(-1, -1));
}

BOOL PaintManager::OnMouseWheel(UINT, short delta, CPoint screenPt) {
    POINT p = screenPt;
    Platform::ScreenToClient(m_hwnd, p);
    const CPoint pt(p);
    int steps = delta / WHEEL_DELTA;
    const UINT direction = delta <= 0 ? 1 : 0;
    BOOL any = FALSE;
    for (int i = 0; i < std::abs(steps); ++i) {
        any = TRUE;
        // The control under the pointer first (its containers after it), then
        // the other top-level controls under the point.
        MControl* top = nullptr;
        ControlAt(pt, 0, true, &top);
        if (top && top->OnScroll(1, direction, pt)) continue;
        for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it)
            if (*it != top && (*it)->PtInRect(pt) && (*it)->OnScroll(1, direction, pt)) break;
    }
    // What scrolled moved under the pointer: the control now there is the hover one.
    if (any && !m_buttonHeld && m_init) {
        MControl* top = nullptr;
        MControl* leaf = ControlAt(pt, 0, false, &top);
        if (leaf != m_hoverLeaf) {
            SetHover(top, leaf);
            if (top) top->OnMouseMove(0, pt);
        }
    }
    return any;
}

// ---------------------------------------------------------------- keys

BOOL PaintManager::OnKeyDown(UINT vk, UINT repeat) {
    const UINT modifiers = KeyModifiers();
    // The focus control first, then the containers that hold it.
    if (m_focus && FocusChain::IsFocusable(m_focus)) {
        for (MControl* c = m_focus; c; c = dynamic_cast<MControl*>(c->GetParantObject()))
            if (c->OnControlKeyDown(vk, repeat, modifiers)) return TRUE;
        if (m_focus->OnFocusKey(vk, modifiers)) {
            ShowKeyboardCues(TRUE);
            return TRUE;
        }
    }
    // Tab and Shift+Tab walk the focus chain.
    if (vk == VK_TAB && !(modifiers & ~16u) && !Platform::IsKeyDown(VK_CONTROL) && !Platform::IsKeyDown(VK_MENU)) {
        MoveFocus(!Platform::IsKeyDown(VK_SHIFT));
        return TRUE;
    }
    // Hot keys anywhere in the window.
    m_hotKeyPass = TRUE;
    BOOL taken = FALSE;
    for (MControl* c : m_controls)
        if ((taken = c->OnKeyDown(vk, repeat, modifiers))) break;
    m_hotKeyPass = FALSE;
    return taken;
}

BOOL PaintManager::MoveFocus(bool forward) {
    const FocusChain chain(*this);
    MControl* from = m_focus;
    // A focus control outside the chain (pressed, not a tab stop) counts from
    // the nearest container of it that is in the chain.
    while (from && !chain.Holds(from)) from = dynamic_cast<MControl*>(from->GetParantObject());
    MControl* next = chain.Next(from, forward);
    ShowKeyboardCues(TRUE);
    if (!next) return FALSE;
    SetFocusControl(next);
    next->SetKeyItem(next->GetInitialKeyItem());
    return TRUE;
}

void PaintManager::OnNcActivate(BOOL) {
    m_tracking = FALSE;
    m_dblClk = FALSE;
    // No control may stay pressed or hovered in a window that lost activation.
    const bool held = m_buttonHeld;
    m_buttonHeld = FALSE;
    if (m_capture) {
        m_capture = FALSE;
        m_releasing = TRUE;
        Platform::ReleaseCapture();
        m_releasing = FALSE;
    }
    if (MControl* hover = m_hover) {
        m_hover = m_hoverLeaf = nullptr;
        // A release outside (the button must not stay down), else the leave.
        if (held) hover->OnLButtonUp(0, CPoint(-1, -1));
        else hover->OnMouseLeave();
    }
    Invalidate();
}

void PaintManager::ApplySizeLimits(MINMAXINFO& info) const {
    if (m_minSize.cx > 0) info.ptMinTrackSize.x = m_minSize.cx;
    if (m_minSize.cy > 0) info.ptMinTrackSize.y = m_minSize.cy;
    if (m_maxSize.cx > 0) info.ptMaxTrackSize.x = m_maxSize.cx;
    if (m_maxSize.cy > 0) info.ptMaxTrackSize.y = m_maxSize.cy;
    // Without a frame a maximised window would cover the whole display, panels
    // and task bar included: it takes the work area of its display instead.
    const CRect work = Platform::GetWorkArea(Platform::GetWindowRect(m_hwnd).CenterPoint());
    info.ptMaxPosition = work.TopLeft();
    info.ptMaxSize = {work.Width(), work.Height()};
}

// ---------------------------------------------------------------- focus

void PaintManager::SetFocusControl(MControl* control) {
    if (control == m_focus) return;
    MControl* old = m_focus;
    m_focus = control;
    InvalidateFocusRing();
    if (old) old->OnFocus(FALSE);
    if (control && m_focus == control) control->OnFocus(TRUE);
    InvalidateFocusRing();
    AccessibilityNoteChange();
}

MControl* PaintManager::GetNextFocusableControl() { return FocusChain(*this).Next(m_focus, true); }
MControl* PaintManager::GetPrevFocusableControl() { return FocusChain(*this).Next(m_focus, false); }

// ---------------------------------------------------------------- the focus ring

void PaintManager::ShowKeyboardCues(BOOL show) {
    if (bool(show) == bool(m_keyboardCues)) return;
    m_keyboardCues = show;
    InvalidateFocusRing();
}

CRect PaintManager::FocusRingRect() {
    MControl* focus = m_focus;
    if (!m_keyboardCues || !focus || !FocusChain::IsFocusable(focus)) return {};
    CRect ring = focus->GetFocusRect();
    const CPoint offset = MPanel::GetContentOffset(focus);
    ring.OffsetRect(-offset.x, -offset.y);
    ring.InflateRect(kFocusRingGap, kFocusRingGap);
    // Inside every container that clips what it holds, and inside the window.
    for (MObject* p = focus->GetParantObject(); p;) {
        auto* c = dynamic_cast<MControl*>(p);
        if (!c) break;
        ring = ring & FocusChain::WindowRect(c);
        p = c->GetParantObject();
    }
    return ring & GetClientRect();
}

void PaintManager::InvalidateFocusRing() {
    const CRect now = FocusRingRect();
    if (!m_ringShown.IsRectEmpty()) InvalidateRect(m_ringShown);
    if (!now.IsRectEmpty()) InvalidateRect(now);
}

void PaintManager::OnFocusRingMoved(MControl* control) {
    if (control == m_focus) InvalidateFocusRing();
    AccessibilityNoteChange();
}

void PaintManager::DrawFocusRing(Canvas& canvas) {
    const CRect ring = FocusRingRect();
    m_ringShown = ring;
    if (ring.IsRectEmpty()) return;
    if (!m_ringImage) m_ringImage = MRender::LoadImageFromFile(Manager::GetSkinPath(kFocusRingImage));
    if (m_ringImage && m_ringImage->GetWidth() > 2 * kFocusRingInset && m_ringImage->GetHeight() > 2 * kFocusRingInset) {
        const Image& img = *m_ringImage;
        MRender::DrawImageFrame(canvas, img, ring, 0, 0, img.GetWidth(), img.GetHeight(), kFocusRingInset);
        return;
    }
    // No skin: the accent line on a dark edge, so it shows on light and dark ground.
    canvas.DrawRoundRect(ring, 4, Color(0xC0000000), 3);
    CRect inner = ring;
    inner.DeflateRect(1, 1);
    canvas.DrawRoundRect(inner, 3, Manager::GetSelectColor(), 1);
}

bool PaintManager::Contains(const MControl* control) const {
    struct Walk {
        static bool In(const std::vector<MControl*>& list, const MControl* wanted) {
            for (MControl* c : list)
                if (c == wanted || In(c->GetControls(), wanted) || In(c->GetAreas(), wanted)) return true;
            return false;
        }
    };
    return control && (Walk::In(m_controls, control) || Walk::In(m_areas, control));
}

bool PaintManager::IsUnderPointer(const MControl* control) const {
    for (MControl* c = m_hoverLeaf; c; c = dynamic_cast<MControl*>(c->GetParantObject()))
        if (c == control) return true;
    return false;
}

// ---------------------------------------------------------------- control timers

UINT PaintManager::NextNativeTimerId() {
    // Ids cycle through 1..239. Unlike a plain counter this never hands out an
    // id that a record still holds or that has a built-in meaning, so one
    // control's timer cannot tick another control or an overlay.
    for (int tries = 0; tries < 240; ++tries) {
        m_timerCounter = (m_timerCounter + 1) % 240;
        UINT id = m_timerCounter;
        if (id == 0 || id == TIMER_ID_OVERLAY_OTHER || id == TIMER_ID_OVERLAY_FADE || id == TIMER_ID_OVERLAY_PROGRESS)
            continue;
        bool used = std::any_of(m_timers.begin(), m_timers.end(), [id](const ControlTimer& t) { return t.nativeId == id; });
        if (!used) return id;
    }
    return 0;
}

BOOL PaintManager::SetTimer(MControl* control, UINT key, UINT elapseMs) {
    if (!control || !m_hwnd) return FALSE;
    for (ControlTimer& t : m_timers) {
        if (t.control != control || t.key != key) continue;
        if (!t.killed) return FALSE;
        if (!Platform::SetTimer(m_hwnd, t.nativeId, elapseMs)) return FALSE;
        t.killed = FALSE;
        return TRUE;
    }
    UINT id = NextNativeTimerId();
    if (!id || !Platform::SetTimer(m_hwnd, id, elapseMs)) return FALSE;
    m_timers.push_back({key, id, FALSE, control});
    return TRUE;
}

BOOL PaintManager::KillTimer(MControl* control, UINT key) {
    for (ControlTimer& t : m_timers) {
        if (t.control == control && t.key == key) {
            Platform::KillTimer(m_hwnd, t.nativeId);
            t.killed = TRUE;
            return TRUE;
        }
    }
    return FALSE;
}

void PaintManager::KillTimer(MControl* control) {
    std::erase_if(m_timers, [&](const ControlTimer& t) {
        if (t.control != control) return false;
        Platform::KillTimer(m_hwnd, t.nativeId);
        return true;
    });
}

void PaintManager::ClearTimers() {
    for (const ControlTimer& t : m_timers) Platform::KillTimer(m_hwnd, t.nativeId);
    m_timers.clear();
}

void PaintManager::OnTimer(UINT id) {
    switch (id) {
        case TIMER_ID_CARET:
            m_caretBlinkOn = !m_caretBlinkOn;
            InvalidateCaret();
            return;
        case TIMER_ID_OVERLAY_OTHER:
        case TIMER_ID_OVERLAY_FADE:
        case TIMER_ID_OVERLAY_PROGRESS:
            OnOverlayTimer(id);
            return;
        default:
            break;
    }
    // Copy: a control may set or kill timers from its tick.
    std::vector<MControl*> due;
    for (const ControlTimer& t : m_timers)
        if (!t.killed && t.nativeId == id) due.push_back(t.control);
    for (MControl* c : due)
        if (IsControlAlive(c)) c->OnTimer();
}

// ---------------------------------------------------------------- animation ticker

void PaintManager::AddMTimer(MControl* control) {
    if (control && std::find(m_animations.begin(), m_animations.end(), control) == m_animations.end())
        m_animations.push_back(control);
}

void PaintManager::DeleteTimer(MControl* control) { std::erase(m_animations, control); }

UINT PaintManager::SetMTimer(UINT elapseMs) {
    const UINT platformId = Platform::StartTicker(elapseMs, [this] { OnMTimerTick(); });
    if (!platformId) return 0;
    m_tickers.push_back({++m_nextTickerId, platformId, std::max<UINT>(elapseMs, 1)});
    if (m_tickersParked) ParkTickers(FALSE);
    return m_nextTickerId;
}

void PaintManager::KillMTimer(UINT id) {
    for (const Ticker& t : m_tickers)
        if (t.id == id) Platform::StopTicker(t.platformId);
    std::erase_if(m_tickers, [id](const Ticker& t) { return t.id == id; });
}

void PaintManager::ParkTickers(BOOL park) {
    m_idleTickMs = 0;
    if (bool(park) == bool(m_tickersParked)) return;
    m_tickersParked = park;
    for (Ticker& t : m_tickers) {
        if (park) {
            Platform::StopTicker(t.platformId);
            t.platformId = 0;
        } else {
            t.platformId = Platform::StartTicker(t.periodMs, [this] { OnMTimerTick(); });
        }
    }
}

void PaintManager::OnMTimerTick() {
    // Idle ticks would wake the program all the time; two seconds in which no
    // control animated park the tickers (a press, a paint or any other message
    // brings them back). Presses that repeat and frames that wait do so faster.
    constexpr UINT kParkAfterMs = 2000;
    bool animated = false;
    std::vector<MControl*> list = m_animations;  // a tick may register or remove controls
    for (MControl* c : list) {
        if (std::find(m_animations.begin(), m_animations.end(), c) == m_animations.end()) continue;
        if (c->IsRunTimer() && c->IsVisible() && c->IsParentVisible() && c->OnTimer()) animated = true;
    }
    if (animated || m_tickers.empty()) {
        m_idleTickMs = 0;
        return;
    }
    m_idleTickMs += m_tickers.front().periodMs;
    if (m_idleTickMs >= kParkAfterMs) ParkTickers(TRUE);
}

// ---------------------------------------------------------------- window settings

void PaintManager::SetBackColor(COLORREF back, COLORREF border) {
    m_backColor = back;
    m_borderColor = border;
}

void PaintManager::SetLayeredWindow(BOOL layered) {
    m_layered = layered;
    if (m_hwnd) Platform::SetLayered(m_hwnd, layered);
}

CRect PaintManager::GetClientRect() const { return Platform::GetClientRect(m_hwnd); }
CSize PaintManager::GetClientSize() const { return GetClientRect().Size(); }
LRESULT PaintManager::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
    return Platform::SendMessage(m_hwnd, msg, wParam, lParam);
}
BOOL PaintManager::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
    return Platform::PostMessage(m_hwnd, msg, wParam, lParam);
}

}  // namespace Orvix
