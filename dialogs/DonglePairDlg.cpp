#include "dialogs/DonglePairDlg.h"

#include <memory>
#include <vector>

#include "device/DeviceMainDef.h"
#include "device/DeviceManager.h"
#include "dialogs/CUIMessageBox.h"
#include "base/LanguageText.h"
#include "orvix/controls/CImageButton.h"
#include "orvix/controls/MButton.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/platform/Fonts.h"
#include "orvix/platform/Platform.h"
#include "platform/HidPath.h"
#include "base/Trace.h"

using namespace Orvix;

namespace {

constexpr UINT kSuccessMessage = WM_USER + 120;  // from the pairing thread: show the button
constexpr UINT_PTR kCloseTimer = 0x5031;
constexpr uint8_t kSettingPairing = 0x09;
constexpr uint8_t kNotifyConnected = 1;

constexpr int kTextClose = 5;
constexpr int kTextPairTitle = 700;
constexpr int kTextTitle = 702;
constexpr int kTextSteps[] = {706, 707, 708};
// What pairing does, asked before it starts.
constexpr int kTextExplainPairing = 1160;
constexpr int kTextNote = 930;
constexpr int kTextSuccess = 931;

const Color kTextColor(0xFFE8F0F5);
const Color kWarningColor(0xFFFFB347);

PairDialogHook g_hook = nullptr;
void* g_hookContext = nullptr;

std::wstring Text(int id) {
    return GetLanguageText(L"LAN", id);
}

}  // namespace

void SetPairDialogHook(PairDialogHook hook, void* context) {
    g_hook = hook;
    g_hookContext = context;
}

DonglePairDlg::DonglePairDlg(DeviceManager& manager, PairingTimings timings)
    : m_manager(manager), m_timings(timings) {}

namespace {
DonglePairDlg* g_openPairing = nullptr;
}  // namespace

DonglePairDlg::~DonglePairDlg() {
    if (g_openPairing == this) g_openPairing = nullptr;
    Stop();
}

DonglePairDlg* DonglePairDlg::GetOpen() {
    return g_openPairing;
}

ReportBuffer DonglePairDlg::PairingCommand() {
    ReportBuffer report{};
    FrameReport(report, kCmdSetting, 1);
    report[kPayloadOffset] = kSettingPairing;
    return report;
}

bool DonglePairDlg::IsConnectedNotification(const ReportBuffer& report) {
    return report[1] == kNotificationMark && report[5] == kNotifyConnected && report[6] == 1;
}

bool DonglePairDlg::CreateOver(HWND owner) {
    if (!Create(owner, L"DonglePairDlg", WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                CRect(0, 0, kWidth, kHeight)))
        return false;
    CenterWindow(nullptr);
    return true;
}

bool DonglePairDlg::CreatePreviewOver(HWND owner) {
    m_preview = true;
    return CreateOver(owner);
}

BOOL DonglePairDlg::OnInitDialog() {
    MDialog::OnInitDialog();
    EnableWndDrag(FALSE);
    if (m_preview) return TRUE;
    g_openPairing = this;
    m_threadHwnd = GetSafeHwnd();
    QueueTask(kTaskStartPairing);
    Start(m_timings.cycleMs, true);
    if (g_hook) {
        // After the modal loop has started, as the user's actions would come.
        Platform::PostTask([hwnd = GetSafeHwnd(), this] {
            if (Platform::IsWindow(hwnd) && g_hook) g_hook(*this, g_hookContext);
        });
    }
    return TRUE;
}

void DonglePairDlg::InitUI(CRect client) {
    auto* back = static_cast<MPicture*>(CreateControl(L"MPicture", IDC_BACKGROUND, client));
    back->SetImage(L"main_bkg.png", 1);
    back->SetShowMode(SHOW_MODE_NINE, 8);
    const int centre = client.Width() / 2;
    const int middle = client.Height() / 2;
    auto addText = [this](UINT id, CRect rect, const std::wstring& text, int size, Color color, UINT align) {
        auto* label = static_cast<MText*>(CreateControl(L"MText", id, rect, text.c_str()));
        label->SetFont(kEmbeddedFontFamily, size, 0);
        label->SetTextColor(color);
        label->SetAlignment(align, 4);
        return label;
    };
    // Wider than the title needs in English, so that longer translations fit.
    addText(IDC_TITLE, CRect(centre - 300, 50, centre + 300, 80), Text(kTextTitle), 20, kTextColor, 1);
    SetWindowTextW(Text(kTextTitle).c_str());  // the desktop names the window by its caption
    auto* close = static_cast<CImageButton*>(
        CreateControl(L"CImageButton", IDC_CLOSE, CRect(client.right - 44, 10, client.right - 12, 38)));
    close->SetImage(L"sysbtn_close.png", 4);
    close->SetTooltip(Text(kTextClose).c_str());
    SetCancelButton(IDC_CLOSE);  // Esc does what the close button does
    SetDefaultButton(IDC_SUCCESS);  // Enter, once "Pairing succeeded" shows
    CRect line(centre - 400, middle - 100, centre + 400, middle - 50);
    for (int i = 0; i < 3; ++i) {
        addText(IDC_STEP1 + i, line, Text(kTextSteps[i]), 18, kTextColor, 0);
        line.OffsetRect(0, 50);
    }
    line.bottom += 30;  // room for a second line
    addText(IDC_NOTE, line, Text(kTextNote), 18, kWarningColor, 0)->EnableMultiLine(TRUE);
    auto* success = static_cast<MButton*>(CreateControl(
        L"MButton", IDC_SUCCESS, CRect(centre - 80, client.bottom - 80, centre + 80, client.bottom - 50),
        Text(kTextSuccess).c_str(), 0));
    success->SetImage(L"img_button.png", 4);
    success->SetFont(kEmbeddedFontFamily, 14, 0);
}

LRESULT DonglePairDlg::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kSuccessMessage) {
        if (MControl* success = GetControl(IDC_SUCCESS); success && !m_closing) success->SetVisible(TRUE);
        return 0;
    }
    return MDialog::OnWindowMessage(msg, wParam, lParam);
}

void DonglePairDlg::OnDeviceChange(DeviceChange change, const std::string& path) {
    if (change != DeviceChange::Arrival) return;
    if (ToUpperAscii(path).find("MI_01") != std::string::npos) QueueTask(kTaskInterfaceArrived);
}

LRESULT DonglePairDlg::OnMessage(UINT id, UINT code, WPARAM, LPARAM) {
    if (code != Notify::Clicked) return 1;
    if (id == IDC_CLOSE || id == IDC_SUCCESS) Finish();
    return 1;
}

void DonglePairDlg::Finish() {
    if (m_closing) return;
    m_closing = true;
    Stop();
    // The receiver settles before the main window reads the devices again; the
    // window stays responsive meanwhile.
    if (m_timings.closeDelayMs > 0)
        SetTimer(kCloseTimer, UINT(m_timings.closeDelayMs));
    else
        DoCancel();
}

void DonglePairDlg::OnTimer(UINT id) {
    if (id != kCloseTimer) return;
    KillTimer(kCloseTimer);
    DoCancel();
}

bool DonglePairDlg::IsSuccessShown() {
    MControl* success = GetControl(IDC_SUCCESS);
    return success && success->IsVisible();
}

bool DonglePairDlg::HasQueuedTasks() {
    std::lock_guard<std::mutex> lock(m_queueLock);
    return !m_tasks.empty();
}

void DonglePairDlg::QueueTask(int code) {
    std::lock_guard<std::mutex> lock(m_queueLock);
    m_tasks.push_back(code);
}

bool DonglePairDlg::TakeTask(int& code) {
    std::lock_guard<std::mutex> lock(m_queueLock);
    if (m_tasks.empty()) return false;
    code = m_tasks.front();
    m_tasks.pop_front();
    return true;
}

void DonglePairDlg::ThreadCycle() {
    int task = 0;
    if (TakeTask(task)) {
        if (task == kTaskStartPairing)
            StartPairing();
        else if (task == kTaskInterfaceArrived)
            CheckArrival();
        return;
    }
    ReadNotification();
}

void DonglePairDlg::StartPairing() {
    if (!Pause(m_timings.settleMs)) return;
    m_manager.Reenumerate();
    // Only a receiver pairs: a mouse on its cable never gets the command.
    if (!m_manager.HasReceiver()) {
        Vantorel::Trace("pairing: no receiver to send the pairing command to");
        return;
    }
    // The answer is not examined: the receiver shows the outcome by its reports.
    ReportBuffer command = PairingCommand();
    if (!m_manager.SendToReceiver(command, true))
        Vantorel::Trace("pairing: the pairing command was not sent");
}

void DonglePairDlg::CheckArrival() {
    if (!Pause(m_timings.settleMs)) return;
    m_manager.Reenumerate();
    // The handshake counts a receiver without its mouse as answering: its
    // connection-state report, read now, tells whether the mouse is linked.
    m_manager.PollOnline();
    std::vector<DeviceRecord> records;
    m_manager.CollectDevices(records);
    for (const DeviceRecord& record : records) {
        if (record.deviceMode == kModeCable || record.online != kOnline) continue;
        ReportSuccess();
        Pause(m_timings.settleMs);
        return;
    }
}

void DonglePairDlg::ReadNotification() {
    // Read while the selected model has a receiver, linked or not: the receiver
    // reports its mouse gone when pairing starts, and the notification that it is
    // back comes after that.
    std::vector<DeviceRecord> records;
    m_manager.CollectDevices(records);
    bool receiver = false;
    for (const DeviceRecord& record : records)
        if (record.deviceMode == kModeReceiver && record.deviceType != 0) receiver = true;
    if (!receiver && m_manager.GetCurrentDevMode() != kModeReceiver) return;
    ReportBuffer buffer{};
    int32_t deviceType = 0;
    if (!m_manager.ReadAnyReport(buffer, deviceType)) return;
    if (!IsConnectedNotification(buffer)) return;
    ReportSuccess();
    Pause(m_timings.settleMs);
}

void DonglePairDlg::ReportSuccess() {
    // A message to the window: dropped when the window is already gone.
    if (HWND hwnd = m_threadHwnd.load()) Platform::PostMessage(hwnd, kSuccessMessage, 0, 0);
}

bool RunDonglePairing(HWND owner, DeviceMainDef& state, DeviceManager& manager,
                      const PairingTimings& timings) {
    const std::wstring title = Text(kTextPairTitle);
    const std::wstring message = Text(kTextExplainPairing);
    if (ShowMessageBox(message.c_str(), owner, title.c_str(), CUIMessageBox::kKindOkCancel) != 1)
        return false;
    state.SetPairingOpen(true);
    {
        DonglePairDlg dlg(manager, timings);
        if (dlg.CreateOver(owner)) dlg.ShowModal(SW_SHOW);
        dlg.Stop();
        if (dlg.GetSafeHwnd()) dlg.DestroyWindow();
    }
    state.SetPairingOpen(false);
    return true;
}
