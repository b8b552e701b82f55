// PaintManager: the window side (dispatch, focus, timers, ticker, tree).
#include "orvix/core/PaintManager.h"

#include <algorithm>

#include "orvix/controls/MAirBladder.h"
#include "orvix/controls/MTooltipWnd.h"
#include "orvix/core/ControlFactory.h"
#include "orvix/core/MDialog.h"

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
    m_hover = m_focus = nullptr;
}

void PaintManager::OnControlDestroyed(MControl* control) {
    if (m_hover == control) m_hover = nullptr;
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
            return OnLButtonDown(flags, pt);
        case WM_LBUTTONUP:
            return OnButtonUp(flags, pt, true);
        case WM_LBUTTONDBLCLK:
            return OnLButtonDblClk(flags, pt);
        case WM_RBUTTONDOWN:
            return OnRButtonDown(flags, pt);
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
    if (msg && msg->hwnd == m_hwnd) RelayToTooltip(msg->message);
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) || msg->wParam != VK_TAB) return FALSE;
    if (Platform::IsKeyDown(VK_CONTROL) || Platform::IsKeyDown(VK_MENU)) return FALSE;
    MControl* next = Platform::IsKeyDown(VK_SHIFT) ? GetPrevFocusableControl() : GetNextFocusableControl();
    if (!next || next == m_focus) return FALSE;
    SetFocusControl(next);
    return TRUE;
}

void PaintManager::OnMouseMove(UINT flags, CPoint pt) {
    if (!m_tracking) {
        Platform::TrackMouseLeave(m_hwnd);
        m_tracking = TRUE;
    }
    if (m_hover) {
        if (m_hover->PtInRect(pt) && m_hover->OnCheckMouseResponse(flags, pt)) {
            m_hover->OnMouseMove(flags, pt);
            return;
        }
        ClearTooltip();
        // While a button is held over a control, the move is its alone.
        if (m_buttonHeld) {
            m_hover->OnMouseMove(flags, pt);
            return;
        }
    }
    MControl* hover = nullptr;
    for (MControl* c : m_controls) {
        c->OnMouseMove(flags, pt);
        if (c->PtInRect(pt) && c->GetRresponse()) hover = c;
    }
    m_hover = hover;
}

void PaintManager::OnMouseLeave() {
    ClearTooltip();
    m_tracking = FALSE;
    if (m_buttonHeld || !m_hover) return;
    MControl* hover = m_hover;
    m_hover = nullptr;
    hover->OnMouseMove(0, CPoint(-1, -1));
}

// A press lands on the hover control when it takes it: the control gets the
// focus and the press, and the window captures the mouse.
bool PaintManager::PressHover(UINT flags, CPoint pt, bool left, BOOL& answer) {
    if (m_focus && m_focus != m_hover) SetFocusControl(nullptr);
    MControl* hover = m_hover;
    if (!hover || !hover->IsVisible() || !hover->GetRresponse() || !hover->PtInRect(pt) ||
        !hover->OnCheckMouseResponse(flags, pt))
        return false;
    m_buttonHeld = TRUE;
    if (!hover->IsFocused()) SetFocusControl(hover);
    answer = left ? hover->OnLButtonDown(flags, pt) : hover->OnRButtonDown(flags, pt);
    if (!m_capture) {
        Platform::SetCapture(m_hwnd);
        m_capture = TRUE;
    }
    return true;
}

BOOL PaintManager::OnLButtonDown(UINT flags, CPoint pt) {
    m_dblClk = FALSE;
    BOOL answer = FALSE;
    if (PressHover(flags, pt, true, answer)) return answer;
    if (m_wndDrag && m_captionRect.PtInRect(pt)) {
        Platform::ReleaseCapture();
        m_capture = FALSE;
        Platform::BeginWindowMove(m_hwnd);
    }
    return FALSE;
}

BOOL PaintManager::OnRButtonDown(UINT flags, CPoint pt) {
    BOOL answer = FALSE;
    PressHover(flags, pt, false, answer);
    return answer;
}

BOOL PaintManager::OnButtonUp(UINT flags, CPoint pt, bool left) {
    if (m_capture) {
        Platform::ReleaseCapture();
        m_capture = FALSE;
    }
    m_buttonHeld = FALSE;
    MControl* hover = m_hover;
    if (!hover || !hover->IsVisible() || !hover->GetRresponse()) return FALSE;
    BOOL answer = left ? hover->OnLButtonUp(flags, pt) : hover->OnRButtonUp(flags, pt);
    if (m_hover == hover && !hover->PtInRect(pt)) m_hover = nullptr;
    return answer;
}

BOOL PaintManager::OnLButtonDblClk(UINT flags, CPoint pt) {
    m_dblClk = TRUE;
    MControl* hover = m_hover;
    if (!hover || !hover->IsVisible() || !hover->GetRresponse()) return FALSE;
    BOOL answer = hover->OnLButtonDblClk(flags, pt);
    if (m_hover == hover && !hover->PtInRect(pt)) m_hover = nullptr;
    return answer;
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
        if (m_hover && m_hover->OnScroll(1, direction, pt)) continue;
        for (MControl* c : m_controls)
            if (c != m_hover && c->OnScroll(1, direction, pt)) break;
    }
    return any;
}

BOOL PaintManager::OnKeyDown(UINT vk, UINT repeat) {
    const UINT modifiers = KeyModifiers();
    if (m_hover && m_hover->OnKeyDown(vk, repeat, modifiers)) return TRUE;
    for (MControl* c : m_controls)
        if (c != m_hover && c->OnKeyDown(vk, repeat, modifiers)) return TRUE;
    return FALSE;
}

void PaintManager::OnNcActivate(BOOL) {
    m_tracking = FALSE;
    m_dblClk = FALSE;
    if (m_capture) {
        Platform::ReleaseCapture();
        m_capture = FALSE;
    }
    // No control may stay pressed or hovered in a window that lost activation.
    if (MControl* hover = m_hover) {
        m_hover = nullptr;
        if (m_buttonHeld) hover->OnLButtonUp(0, CPoint(-1, -1));
        else hover->OnMouseMove(0, CPoint(-1, -1));
    }
    m_buttonHeld = FALSE;
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
    if (old) old->OnFocus(FALSE);
    if (control) control->OnFocus(TRUE);
}

MControl* PaintManager::GetNextFocusableControl() const { return FindFocusable(true); }
MControl* PaintManager::GetPrevFocusableControl() const { return FindFocusable(false); }

MControl* PaintManager::FindFocusable(bool forward) const {
    auto focusable = [](MControl* c) { return c->IsVisible() && c->IsEnabled() && c->IsTabStop(); };
    const size_t n = m_controls.size();
    if (n == 0) return nullptr;
    size_t start;
    if (!m_focus) {
        start = forward ? n - 1 : 0;  // so that the first step lands on an end of the list
    } else {
        auto it = std::find(m_controls.begin(), m_controls.end(), m_focus);
        if (it == m_controls.end()) return nullptr;  // focus inside a container
        start = size_t(it - m_controls.begin());
    }
    for (size_t i = 1; i <= n; ++i) {
        MControl* c = m_controls[forward ? (start + i) % n : (start + n - i) % n];
        if (focusable(c)) return c;
    }
    return nullptr;
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
