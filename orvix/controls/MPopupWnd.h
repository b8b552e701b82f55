#pragma once
// A borderless pop-up window that hosts controls with its own manager and the
// dialog dispatcher. It closes itself when it loses activation and deletes
// itself once its window is gone, so it is always made with new.
#include "orvix/core/MDialog.h"

namespace Orvix {

class MPopupWnd : public MDialog {
  public:
    // It closes on Esc and on a press outside it, with or without a window
    // manager to take its activation away.
    MPopupWnd() { SetDismissOnOutsidePress(TRUE); }

    void SetParent(MObject* parent) { m_parent = parent; }
    MObject* GetParent() const { return m_parent; }
    // Calls the logical parent's OnMessage(0, code, wParam, lParam).
    LRESULT SendMessageToParent(UINT code, WPARAM wParam = 0, LPARAM lParam = 0);
    // Post the close message (wParam 0, or the given values); nothing without a window.
    void CloseWindow() { OnUserCloseWindow(0, 0); }
    LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam) override;

    LRESULT OnNcActivate(BOOL active) override;
    BOOL OnCancelKey() override;
    void OnCancelMode() override { CloseWindow(); }
    LRESULT PostNcDestroy() override;

  private:
    MObject* m_parent = nullptr;
};

}  // namespace Orvix
