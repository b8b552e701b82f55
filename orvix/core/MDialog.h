#pragma once
// A top-level toolkit window hosting a tree of controls. Applications derive
// from it and override OnWindowMessage, OnInitDialog, InitUI, UISize,
// OnMessage and OnTimer.
#include <memory>
#include <string>

#include "orvix/core/MObject.h"
#include "orvix/core/MWindow.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

class MShadow;

class MDialog : public MWindow, public MObject {
public:
    MDialog();
    ~MDialog() override;

    // ---- MWindow part ----
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(const MSG* msg) override;
    BOOL OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;
    // Screen point under a control for the bubble: bottom edge, x at the left
    // edge (type 0), centre (1) or right edge (2); (0, 0) for null.
    virtual POINT GetAirBladderPoint(MControl* control, UINT type);
    virtual void OnMinimize();
    virtual void OnMaximize();
    virtual void InitUI(CRect client);
    virtual void UISize(CRect client);
    virtual LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCreate(const WindowParams* params);
    virtual LRESULT OnSize(UINT type, int cx, int cy);
    virtual LRESULT OnMouseMove(UINT flags, CPoint pt);
    virtual LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseWheel(UINT flags, short delta, CPoint pt);
    virtual LRESULT OnLButtonDown(UINT flags, CPoint pt);
    virtual LRESULT OnLButtonUp(UINT flags, CPoint pt);
    virtual LRESULT OnLButtonDblClk(UINT flags, CPoint pt);
    virtual LRESULT OnRButtonDown(UINT flags, CPoint pt);
    virtual LRESULT OnRButtonUp(UINT flags, CPoint pt);
    virtual LRESULT OnRButtonDblClk(UINT flags, CPoint pt);
    virtual LRESULT OnKeyDown(UINT vk, UINT repeat, UINT flags);
    virtual LRESULT OnNcActivate(BOOL active);
    virtual LRESULT OnWindowPosChanged();
    virtual LRESULT OnPaint();
    virtual void OnTimer(UINT id);
    virtual LRESULT OnClose();
    virtual LRESULT OnDestroy();
    virtual LRESULT PostNcDestroy();

    // ---- MObject part ----
    const wchar_t* GetClassNameW() const override { return L"MDialog"; }
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnControlUpdate(CRect rc, BOOL rerender, MControl* control) override;

    // ---- controls ----
    MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title = nullptr,
                            int visible = 1, int enabled = 1);
    MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title = nullptr,
                         int visible = 1, int enabled = 1);
    MControl* GetControl(UINT id) { return m_pm.GetControl(id); }
    std::vector<MControl*>& GetControls() { return m_pm.GetControls(); }
    void SetFocusControl(MControl* control) { m_pm.SetFocusControl(control); }
    PaintManager& GetPaintManager() { return m_pm; }

    // ---- animation ticker and close protocol ----
    UINT SetMTimer(UINT elapseMs) { return m_pm.SetMTimer(elapseMs); }
    void KillMTimer(UINT id) { m_pm.KillMTimer(id); }
    void DoOK() { PostMessageW(WM_MDIALOG_CLOSE, IDOK, 0); }
    void DoCancel() { PostMessageW(WM_MDIALOG_CLOSE, IDCANCEL, 0); }
    void DoClose() { PostMessageW(WM_MDIALOG_CLOSE, IDCANCEL, 0); }
    void DoYes() { PostMessageW(WM_MDIALOG_CLOSE, IDYES, 0); }
    void DoNo() { PostMessageW(WM_MDIALOG_CLOSE, IDNO, 0); }

    // ---- assistive technology ----
    // The window's role and name for a screen reader: a dialog when it has an
    // owner, else a frame; named by its title.
    virtual void DescribeWindow(AccessibleInfo& info);
    uint64_t GetSerial() const { return m_serial; }

    // ---- keyboard: Esc and Enter ----
    // Esc does what the window's close button or Cancel does, Enter what its
    // default button (OK) does, when the focus control leaves the key alone.
    void SetCancelButton(UINT id) { m_cancelId = id; }
    void SetDefaultButton(UINT id) { m_defaultId = id; }
    UINT GetCancelButton() const { return m_cancelId; }
    UINT GetDefaultButton() const { return m_defaultId; }
    // Default: a click on the cancel (default) button when it is shown and
    // enabled; FALSE when there is none.
    virtual BOOL OnCancelKey();
    virtual BOOL OnDefaultKey();
    // A pop-up that closes when a press lands outside it (see
    // Platform::SetDismissOnOutsidePress); OnCancelMode then runs.
    void SetDismissOnOutsidePress(BOOL dismiss);
    virtual void OnCancelMode() {}

    // ---- window look ----
    void EnableWndDrag(BOOL enable) { m_pm.EnableWndDrag(enable); }
    void SetCaptionRect(CRect rect) { m_pm.SetCaptionRect(rect); }
    void SetLayeredWindow(BOOL layered) { m_pm.SetLayeredWindow(layered); }
    void SetBackMode(enumBackMode mode, int inset = 4) { m_pm.SetBackMode(mode, inset); }
    BOOL LoadBKImage(const std::wstring& file) { return m_pm.LoadBKImage(file); }
    BOOL LoadBKImage(UINT resId, const std::wstring& type) { return m_pm.LoadBKImage(resId, type); }
    // Constant alpha below 255 or a colour key other than 0xFFFFFF make the
    // window layered (applied again on every resize).
    void SetWindowAlpha(BYTE alpha) { m_alpha = alpha; }
    void SetColorKey(COLORREF key) { m_colorKey = key; }
    void SetupBackTranslucent();
    void SetTooltip(const std::wstring& text, CRect rect) { m_pm.SetTooltip(text.c_str(), rect); }
    void ClearTooltip() { m_pm.ClearTooltip(); }
    void SetMessage(const std::wstring& text, CRect rect, int alpha = 255) { m_pm.SetMessage(text, rect, alpha); }
    void SetProgress(int percent, const std::wstring& text, CRect rect) { m_pm.SetProgress(percent, text, rect); }
    void SetScrollResID(UINT vertical, UINT horizontal) { m_pm.SetScrollResID(vertical, horizontal); }
    // The window's bubble below a screen point (mode 3).
    void SetAirBladderMsg(const wchar_t* text, POINT screenPt, AIRBLADDER_TYPE type);

    // ---- the optional drop shadow (out-of-range values answer FALSE) ----
    BOOL CreateShadow(int size = 0, bool show = true);
    BOOL SetSize(int size);
    BOOL SetSharpness(UINT sharpness);
    BOOL SetDarkness(UINT darkness);
    BOOL SetPosition(int x, int y);
    BOOL SetShadowColor(COLORREF color);
    BOOL SetShadowImage(const wchar_t* file, CRect corners);
    BOOL SetShadowImage(UINT resId, CRect corners);
    BOOL SetShadowShow(BOOL show);
    MShadow* GetShadow() const { return m_shadow.get(); }

protected:
    PaintManager m_pm;
    CRect m_rcClient;
    COLORREF m_colorKey = 0xFFFFFF;
    BYTE m_alpha = 255;
    UINT m_cancelId = 0;
    UINT m_defaultId = 0;
    BOOL m_dismissOnOutsidePress = FALSE;

private:
    // Clicks a control of this window as the keyboard does (Esc and Enter).
    BOOL ClickButton(UINT id);
    static UINT KeyModifiersHeld();
    MShadow& Shadow();
    std::unique_ptr<MShadow> m_shadow;
    const uint64_t m_serial = NextAccessibleSerial();
};

}  // namespace Orvix
