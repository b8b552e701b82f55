#pragma once
// One per window: owns the window's control tree, turns window messages into
// control events (hover, focus, capture, Tab navigation, wheel, keys), runs
// control timers and the animation ticker, and paints the tree into one back
// buffer per paint with the window's background, images, fonts and overlays.
//
// Everything here runs on the UI thread (ticker ticks included), so the lists
// need no locks; other threads post closures (Platform::PostTask).
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "orvix/core/MControl.h"
#include "orvix/core/MObject.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Image.h"

namespace Orvix {

class MWindow;
class MDialog;
class MTooltipWnd;
class MAirBladder;
enum AIRBLADDER_TYPE : int;
enum AIRBLADDER_MODE : int;

// One entry of a window's image cache.
struct ImgResInfo {
    std::shared_ptr<Image> image;
    int frameWidth = 0;  // width / count at first load
    int height = 0;
    int count = 1;
    std::wstring name;
};

enum enumBackMode { BACK_MODE_NORMAL = 0, BACK_MODE_NINE = 1 };

// Private messages and built-in native timer ids.
constexpr UINT WM_MDIALOG_CLOSE = WM_USER + 66;  // 1090: close with a result
constexpr UINT TIMER_ID_CARET = 6553;
constexpr UINT TIMER_ID_OVERLAY_FADE = 88;
constexpr UINT TIMER_ID_OVERLAY_PROGRESS = 99;
constexpr UINT TIMER_ID_OVERLAY_OTHER = 66;
// A picture dropped onto a window arrives as STM_SETIMAGE with wParam
// IMAGE_BITMAP and lParam pointing at a std::shared_ptr<Image> that is valid
// during the call; a receiver that keeps the picture copies the pointer.
constexpr WPARAM IMAGE_BITMAP = 0;
// The focus ring: a skin picture nine-sliced around the focused control (or
// its current item), this many pixels outside it.
constexpr wchar_t kFocusRingImage[] = L"img_focus.png";
constexpr int kFocusRingGap = 3;
constexpr int kFocusRingInset = 6;

class PaintManager {
public:
    PaintManager();
    ~PaintManager();
    PaintManager(const PaintManager&) = delete;
    PaintManager& operator=(const PaintManager&) = delete;

    void Init(HWND hwnd, MWindow* window, MObject* root);
    BOOL IsInit() const { return m_init; }
    // Frees timers, controls, images, background and fonts; runs once.
    void DestroyData();
    HWND GetPaintWnd() const { return m_hwnd; }
    MWindow* GetMWindow() const { return m_window; }
    MDialog* GetMDialog() const;
    MObject* GetRoot() const { return m_root; }

    // ---- dispatch ----
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    BOOL PreTranslateMessage(const MSG* msg);

    // ---- control tree ----
    // kind 0 appends to the areas list, 1 to the controls list, anything else
    // registers the control nowhere (the caller owns it). Unknown names give null.
    MControl* CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                            const wchar_t* title, int visible, int enabled);
    MControl* CreateControl(MObject* parent, const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                            int visible = 1, int enabled = 1);
    MControl* CreateArea(MObject* parent, const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                         int visible = 1, int enabled = 1);
    // Takes ownership of a control made elsewhere (kind as above).
    void AddControl(MControl* control, int kind);
    MControl* GetControl(UINT id);
    void RemoveControl(MControl* control);
    void ClearAllControls();
    void ClearAreaControls();
    void ClearControls();
    std::vector<MControl*>& GetControls() { return m_controls; }
    std::vector<MControl*>& GetAreas() { return m_areas; }
    // A control is going away: forget every pointer to it.
    void OnControlDestroyed(MControl* control);

    // ---- repaint ----
    LRESULT OnControlUpdate(CRect rc, BOOL rerender, MControl* control);
    void Invalidate();
    void InvalidateRect(CRect rect, BOOL erase = FALSE);

    // Every notification a control of this window raises, before its owner
    // hears it (tests, assistive technology). One watcher; null removes it.
    using NotificationWatcher = std::function<void(MControl* control, UINT code)>;
    void SetNotificationWatcher(NotificationWatcher watcher) { m_watcher = std::move(watcher); }
    void NoteNotification(MControl* control, UINT code) {
        if (m_watcher) m_watcher(control, code);
    }

    // ---- control timers and the animation ticker ----
    BOOL SetTimer(MControl* control, UINT key, UINT elapseMs);
    BOOL KillTimer(MControl* control, UINT key);
    void KillTimer(MControl* control);
    void ClearTimers();
    void AddMTimer(MControl* control);
    void DeleteTimer(MControl* control);
    UINT SetMTimer(UINT elapseMs);
    void KillMTimer(UINT id);
    void OnMTimerTick();

    // ---- pointer, focus, hover, tooltip ----
    // The control that takes the pointer at a window client point: the
    // topmost visible control there that takes input (decoration passes it
    // through; for a press, disabled controls too), with the top-level control
    // that holds it. Every motion, press, release and wheel notch goes by it.
    MControl* ControlAt(CPoint pt, UINT flags = 0, bool press = false, MControl** topLevel = nullptr);
    // The top-level control under the pointer, and the control itself.
    MControl* GetHoverControl() const { return m_hover; }
    MControl* GetHoverLeaf() const { return m_hoverLeaf; }
    bool IsUnderPointer(const MControl* control) const;
    // Whether the control is (still) in this window's tree.
    bool Contains(const MControl* control) const;
    void SetFocusControl(MControl* control);
    MControl* GetFocusControl() const { return m_focus; }
    // The next and previous controls of the focus chain (see FocusChain).
    MControl* GetNextFocusableControl();
    MControl* GetPrevFocusableControl();
    // Tab and Shift+Tab: the focus goes one step along the chain and the ring shows.
    BOOL MoveFocus(bool forward);
    // The focus ring shows once the keyboard is in use and hides when the
    // pointer is pressed; it is drawn over everything, around the focus
    // control's current item.
    void ShowKeyboardCues(BOOL show);
    BOOL IsShowingKeyboardCues() const { return m_keyboardCues; }
    // While a key the focus control declined looks for a hot key in the tree.
    BOOL IsHotKeyPass() const { return m_hotKeyPass; }
    // Where the ring is drawn, in window client coordinates (empty: none).
    CRect FocusRingRect();
    void OnFocusRingMoved(MControl* control);
    // The tooltip text shown for a rect; the window shows one at a time in its
    // tooltip popup. Empty text deactivates it.
    void SetTooltip(const wchar_t* text, CRect rect, UINT ownerId = 0);
    void ClearTooltip();
    MTooltipWnd* GetTooltipWindow() const { return m_tooltipWnd.get(); }
    // The window's bubble, created on first use.
    void SetAirBladderMsg(const wchar_t* text, POINT screenPt, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode);
    // A non-zero mode only acts when showing or when it is the current mode.
    void ShowAirBladder(int show, int mode);
    MAirBladder* GetAirBladder() const { return m_bubble.get(); }
    const std::wstring& GetTooltipText() const { return m_tooltipText; }
    CRect GetTooltipRect() const { return m_tooltipRect; }
    UINT GetTooltipOwner() const { return m_tooltipOwner; }

    // ---- window settings ----
    void SetBackColor(COLORREF back, COLORREF border);
    COLORREF GetBackColor() const { return m_backColor; }
    COLORREF GetBorderColor() const { return m_borderColor; }
    void SetCaptionRect(CRect rect) { m_captionRect = rect; }
    CRect GetCaptionRect() const { return m_captionRect; }
    // The largest and smallest size the user can give the window (0 = no limit).
    void SetWindowMaxSize(int cx, int cy) { m_maxSize = {cx, cy}; }
    void SetWindowMixSize(int cx, int cy) { m_minSize = {cx, cy}; }
    void SetLayeredWindow(BOOL layered);
    BOOL IsLayeredWindow() const { return m_layered; }
    void EnableWndDrag(BOOL enable) { m_wndDrag = enable; }
    BOOL IsWndDrag() const { return m_wndDrag; }
    CRect GetClientRect() const;
    CSize GetClientSize() const;
    LRESULT SendMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    void SetScrollResID(UINT vertical, UINT horizontal) { m_scrollV = vertical, m_scrollH = horizontal; }
    UINT GetScrollVID() const { return m_scrollV; }
    UINT GetScrollHID() const { return m_scrollH; }
    COLORREF GetDefaultEnabledColor() const { return m_disabledText; }
    void SetDefaultEnabledColor(COLORREF c) { m_disabledText = c; }
    BOOL IsButtonHeld() const { return m_buttonHeld; }

    // ---- painting ----
    void OnPaint();
    void DrawControl(Canvas& canvas, CRect rcPaint);
    void DrawBackImage(Canvas& canvas, CRect rcPaint);
    // The back buffer of the paint in progress (null outside a paint).
    Canvas* GetBackBuffer() const { return m_backBuffer; }
    BOOL LoadBKImage(const std::wstring& file);
    BOOL LoadBKImage(UINT resId, const std::wstring& type);
    void SetBackMode(enumBackMode mode, int inset = 4);

    // ---- images and fonts ----
    ImgResInfo* AddImgResInfo(const wchar_t* file, int count);
    ImgResInfo* AddImgResInfo(UINT resId, const std::wstring& type, int count, BOOL fromApplication);
    void ClearImgResInfo();
    BOOL AddTempFont(const std::wstring& name, const std::wstring& fontFile);
    // The family to draw `name` with: a private font, else an installed family
    // (remembered); empty when neither exists.
    std::wstring FindTempFont(const std::wstring& name);
    BOOL AddGDITempFont(UINT resId, const std::wstring& type);
    void ClearTempFont();

    // ---- overlays ----
    void SetMessage(const std::wstring& text, CRect rect, int alpha = 255);
    void SetProgress(int percent, const std::wstring& text, CRect rect);
    const std::wstring& GetMessageText() const { return m_messageText; }
    int GetProgressShown() const { return m_progressShown; }

    // ---- caret (edit boxes drawn by the toolkit) ----
    void CreateCaret(MControl* owner, int width, int height, Color color);
    void DestroyCaret(MControl* owner);
    void ShowCaret(BOOL show);
    void SetCaretPos(CPoint pt);
    void DrawCaret(Canvas& canvas);
    MControl* GetCurrentCaretObject() const { return m_caretOwner; }
    BOOL IsCaretVisible() const { return m_caretShown && m_caretBlinkOn; }

private:
    struct ControlTimer {
        UINT key;
        UINT nativeId;
        BOOL killed;
        MControl* control;
    };

    // Mouse and keys.
    enum class Press { Left, LeftDouble, Right };
    void OnMouseMove(UINT flags, CPoint pt);
    void OnMouseLeave();
    BOOL OnButtonDown(UINT flags, CPoint pt, Press kind);
    BOOL OnButtonUp(UINT flags, CPoint pt, bool left);
    // A held press that lost its end: the control hears a release at (-1, -1).
    void CancelPress();
    // Enter and leave follow the hit test; the tooltip follows the hover.
    void SetHover(MControl* topLevel, MControl* leaf);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint screenPt);
    void InvalidateFocusRing();
    void DrawFocusRing(Canvas& canvas);
    BOOL OnKeyDown(UINT vk, UINT repeat);
    void OnNcActivate(BOOL active);
    void ApplySizeLimits(MINMAXINFO& info) const;
    void OnTimer(UINT id);
    void OnDropFiles(const DropFilesData* drop);
    void DestroyPopups();
    // Mouse messages reach the tooltip as they would a native one: a press or
    // a wheel notch pops it down until the pointer moves on to another control.
    void RelayToTooltip(UINT msg);
    bool IsControlAlive(MControl* control) const;
    UINT NextNativeTimerId();
    void OnOverlayTimer(UINT id);
    void PaintMessageOverlay(Canvas& canvas);
    void InvalidateCaret();
    static UINT KeyModifiers();

    HWND m_hwnd = nullptr;
    MWindow* m_window = nullptr;
    MObject* m_root = nullptr;
    BOOL m_init = FALSE;

    COLORREF m_backColor = 0x110B06;
    COLORREF m_borderColor = 0xE6FF49;
    std::shared_ptr<Image> m_backImage;
    enumBackMode m_backMode = BACK_MODE_NORMAL;
    int m_backInset = 4;
    CRect m_captionRect;
    CSize m_minSize, m_maxSize;
    BOOL m_layered = FALSE;
    BOOL m_wndDrag = TRUE;

    std::vector<MControl*> m_areas;
    std::vector<MControl*> m_controls;
    MControl* m_hover = nullptr;      // top-level control under the pointer
    MControl* m_hoverLeaf = nullptr;  // the control under the pointer that takes it
    MControl* m_focus = nullptr;
    BOOL m_releasing = FALSE;         // the window lets the capture go itself
    BOOL m_keyboardCues = FALSE;
    BOOL m_hotKeyPass = FALSE;
    NotificationWatcher m_watcher;
    CRect m_ringShown;                // where the last paint drew the focus ring
    std::shared_ptr<Image> m_ringImage;
    BOOL m_tracking = FALSE;
    BOOL m_capture = FALSE;
    BOOL m_buttonHeld = FALSE;
    BOOL m_dblClk = FALSE;

    std::vector<ControlTimer> m_timers;
    UINT m_timerCounter = 4096;
    std::vector<MControl*> m_animations;
    // The animation tickers. When no control has animated for a while they are
    // parked (their platform tickers stopped, so an idle window sleeps) until the
    // next message reaches the window.
    struct Ticker {
        UINT id;          // as SetMTimer returned it
        UINT platformId;  // 0 while parked
        UINT periodMs;
    };
    std::vector<Ticker> m_tickers;
    UINT m_nextTickerId = 0;
    UINT m_idleTickMs = 0;
    BOOL m_tickersParked = FALSE;
    void ParkTickers(BOOL park);

    std::wstring m_tooltipText;
    CRect m_tooltipRect;
    UINT m_tooltipOwner = 0;
    std::unique_ptr<MTooltipWnd> m_tooltipWnd;
    std::unique_ptr<MAirBladder> m_bubble;
    int m_bubbleMode = 0;
    UINT m_scrollV = 0, m_scrollH = 0;
    COLORREF m_disabledText = 0x808080;

    Canvas* m_backBuffer = nullptr;   // during a paint: m_back
    std::unique_ptr<Canvas> m_back;  // kept between paints, redrawn where damaged
    std::map<std::wstring, ImgResInfo> m_fileImages;
    std::map<UINT, ImgResInfo> m_appImages;
    std::map<UINT, ImgResInfo> m_libImages;
    std::map<std::wstring, std::wstring> m_fonts;  // name -> family to draw with

    std::wstring m_messageText;
    CRect m_messageRect;
    int m_messageAlpha = 255;
    int m_progressTarget = 0;
    int m_progressShown = 0;
    BOOL m_progressMode = FALSE;

    MControl* m_caretOwner = nullptr;
    CRect m_caretRect;
    Color m_caretColor;
    BOOL m_caretShown = FALSE;
    BOOL m_caretBlinkOn = TRUE;
};

}  // namespace Orvix
