#pragma once
// What the main window offers its pages: the window itself (owner of message
// boxes and pop-ups), the controller state with the current profile, the store,
// the worker's queue, the model's description and link, and the other pages.
// Pages reach nothing else of the program.
#include <string>

#include "pages/MainPage.h"

// The macro list's item menu answers the window with this message (lParam the
// entry); the window passes it on to its pages.
constexpr Orvix::UINT WM_MACRO_MENU = Orvix::WM_USER + 685;  // 1709

// Tab item ids (the item id of each page).
enum : int {
    kTabHome = 1,
    kTabKey = 2,
    kTabDpi = 3,
    kTabMacro = 4,
    kTabLight = 5,
    kTabDevice = 6,
    kTabText = 8,
};

class AutoProfileSwitcher;
class DataStore;
class DeviceMainDef;
struct WorkerTask;
struct DeviceDescription;
struct SoftwareInfo;
namespace Orvix {
class MDialog;
}

class MainPageHost {
  public:
    virtual ~MainPageHost() = default;

    virtual Orvix::MDialog& GetDialog() = 0;
    virtual DeviceMainDef& GetState() = 0;
    virtual DataStore& GetStore() = 0;
    // Appends a task for the worker (from the UI thread).
    virtual void QueueTask(const WorkerTask& task) = 0;
    // The current model's description: buttons, default functions, lighting.
    virtual const DeviceDescription& GetDescription() const = 0;
    virtual const SoftwareInfo& GetSoftwareInfo() const = 0;
    // The window's client height / 780.
    virtual double GetScale() const = 0;
    // A message box over the window with language texts; returns its result.
    virtual int ShowMessage(int titleTextId, int messageTextId, int kind) = 0;
    virtual int ShowMessageText(const std::wstring& title, const std::wstring& message, int kind) = 0;
    // Shows the wait dialog until the worker closes it (a task that ends with it).
    virtual void ShowWaitDialog() = 0;
    // Tells every other page.
    virtual void BroadcastPageEvent(PageEvent event, MainPage* from) = 0;
    // The receiver pairing dialog (after its confirmation).
    virtual void OpenPairingDialog() = 0;
    // The current model answers on its cable (not through the receiver).
    virtual bool IsOnCable() const = 0;
    // A receiver is plugged in (pairing needs one).
    virtual bool HasReceiver() const = 0;
    // Selects the tab with that item id (1 home, 2 keys, ...).
    virtual void SelectTab(int itemId) = 0;
    // Enables or disables the ways to another page or profile (the tab strip and
    // the profile button), while a page must keep the user on it.
    virtual void EnableNavigation(bool enable) = 0;
    // Profiles that follow the application in front; null before the window is initialised.
    virtual AutoProfileSwitcher* GetAutoProfile() { return nullptr; }
};
