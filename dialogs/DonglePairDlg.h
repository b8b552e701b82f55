#pragma once
// The receiver pairing window. It puts the receiver into pairing mode with one
// command, then waits on its own thread until the receiver reports its mouse
// connected (the connection notification, or the receiver's vendor interface
// arriving again with its mouse online) and shows the success button. While it is
// open the main worker discards its tasks, so this thread is the only one talking
// to the devices.
#include <atomic>
#include <deque>
#include <mutex>
#include <string>

#include "platform/CThreadBasic.h"
#include "orvix/core/MDialog.h"
#include "platform/HidBackend.h"
#include "protocol/Report.h"

class DeviceManager;
class DeviceMainDef;

// Every wait of the dialog. The defaults are the product's; tests shorten them.
struct PairingTimings {
    int cycleMs = 2000;       // pause between two cycles of the pairing thread
    int settleMs = 100;       // before a re-enumeration and after a success
    int closeDelayMs = 1000;  // between the closing click and the end of the window
};

class DonglePairDlg : public Orvix::MDialog, public CThreadBasic {
  public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 780;
    enum : Orvix::UINT {
        IDC_BACKGROUND = 29,
        IDC_TITLE = 30,
        IDC_CLOSE = 31,
        IDC_STEP1 = 32,
        IDC_STEP2 = 33,
        IDC_STEP3 = 34,
        IDC_NOTE = 35,
        IDC_SUCCESS = 36,
    };
    // Tasks of the dialog's own queue.
    static constexpr int kTaskInterfaceArrived = 100;
    static constexpr int kTaskStartPairing = 200;

    explicit DonglePairDlg(DeviceManager& manager, PairingTimings timings = {});
    ~DonglePairDlg() override;

    // Creates the window centred over `owner` without running its modal loop.
    bool CreateOver(Orvix::HWND owner);
    // The same window as a picture only: no thread, no command, nothing sent.
    bool CreatePreviewOver(Orvix::HWND owner);

    // The dialog while one runs its pairing (at most one does), else null: the main
    // window hands it the device changes.
    static DonglePairDlg* GetOpen();

    // A device interface arrived or left (forwarded by the main window while the
    // dialog is open): an arrival whose path names interface "MI_01" queues a check.
    void OnDeviceChange(DeviceChange change, const std::string& path);

    // The pairing cycle, run on the dialog's thread (public for the thread base).
    void ThreadCycle() override;

    bool IsSuccessShown();
    bool HasQueuedTasks();
    const wchar_t* GetClassNameW() const override { return L"DonglePairDlg"; }

    // The pairing command: setting 0x09 without a value.
    static ReportBuffer PairingCommand();
    // The receiver's "mouse connected" notification: 0xFA, kind 1, first data byte 1.
    static bool IsConnectedNotification(const ReportBuffer& report);

  protected:
    Orvix::LRESULT OnWindowMessage(Orvix::UINT msg, Orvix::WPARAM wParam, Orvix::LPARAM lParam) override;
    Orvix::BOOL OnInitDialog() override;
    void InitUI(Orvix::CRect client) override;
    void UISize(Orvix::CRect) override {}
    Orvix::LRESULT OnMessage(Orvix::UINT id, Orvix::UINT code, Orvix::WPARAM wParam,
                             Orvix::LPARAM lParam) override;
    void OnTimer(Orvix::UINT id) override;

  private:
    void QueueTask(int code);
    bool TakeTask(int& code);
    void StartPairing();
    void CheckArrival();
    void ReadNotification();
    // Thread side: asks the UI thread to show the success button.
    void ReportSuccess();
    // Stops the thread and ends the window after the close delay.
    void Finish();

    DeviceManager& m_manager;
    PairingTimings m_timings;
    std::mutex m_queueLock;
    std::deque<int> m_tasks;
    bool m_closing = false;
    bool m_preview = false;
    std::atomic<Orvix::HWND> m_threadHwnd{nullptr};  // the window, for the thread's messages
};

// What the main window runs for its pairing buttons: the confirmation box (texts
// 700 and 723); only when it is confirmed, the pairing-open flag set, the dialog run
// modally over `owner`, the flag cleared. True when the dialog was shown: the caller
// then queues task 2 (re-read after a device change) on its worker.
bool RunDonglePairing(Orvix::HWND owner, DeviceMainDef& state, DeviceManager& manager,
                      const PairingTimings& timings = {});

// Hook for the program's tests: called on the UI thread once the pairing window
// runs its modal loop. Null to stop.
using PairDialogHook = void (*)(DonglePairDlg& dlg, void* context);
void SetPairDialogHook(PairDialogHook hook, void* context);
