#pragma once
// The program's one main window. So far it holds the frame: the background,
// the caption bar with the program name, the footer bar and the close and
// minimise buttons (drawn once the toolkit has image buttons).
#include "orvix/core/MDialog.h"

// Control ids of the frame (the page dispatcher routes clicks by them).
enum : Orvix::UINT {
    IDC_MAIN_BKG = 30,
    IDC_CAPTION_BAR = 32,
    IDC_FOOTER_BAR = 33,
    IDC_CAPTION_TEXT = 35,
    IDC_SYSBTN_CLOSE = 39,
    IDC_SYSBTN_MIN = 40,
};

class DeviceMainDlg : public Orvix::MDialog {
  public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 800;

    // Creates the window hidden, its size centred on the desktop; ShowModal shows it.
    bool CreateMainWindow();

    // Brings the window forward and shows it, also when it was hidden (a
    // second start of the program asks for this).
    void ShowMainWindow();

    // Ends the window; the modal loop returns.
    virtual void CloseMainWindow();

    // True once the user chose to leave the program (the close button), as
    // opposed to the window ending otherwise.
    bool IsExitRequested() const { return m_exitRequested; }

  protected:
    void InitUI(Orvix::CRect client) override;
    void UISize(Orvix::CRect client) override;
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;

  private:
    bool m_exitRequested = false;
};
