#pragma once
// The real main window on the headless back end, with the simulated mouse in the
// process and a fresh per-user folder: what the UI tests of every page build on.
// Clicks and keys are a person's (`hands`): the pointer moves from where it was
// to the control, presses and releases there, keys go to the active window,
// all through the back end's input path; ids only find where a control is.
// Settle() runs the window's messages until the worker has finished what was queued.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "../app/WorkerFixture.h"
#include "../platform/ScratchHome.h"
#include "app/DeviceMainDlg.h"
#include "pages/KeyPage.h"
#include "app/ScreenshotTour.h"
#include "device/DeviceManager.h"
#include "dialogs/CUIMessageBox.h"
#include "orvix/controls/CComboBoxList.h"
#include "orvix/controls/ComboWnd.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/controls/MTabCtrl.h"
#include "orvix/core/MPanel.h"
#include "orvix/core/Manager.h"
#include "orvix/platform/Headless.h"
#include "orvix/platform/Platform.h"
#include "orvix/widgets/CDeviceList.h"
#include "orvix/widgets/KeyFuncType.h"
#include "base/AppContext.h"
#include "base/SettingsStore.h"
#include "sim/SimBackend.h"
#include "storage/DataStore.h"
#include "tests/support/UserHands.h"

class MainWindowFixture : public ScratchHome {
  public:
    // A person's hands on the desktop (the dialogs' test hooks use them too).
    UserHands hands;

  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        ASSERT_TRUE(Orvix::Platform::Init(Orvix::BackendKind::Headless) && Orvix::Manager::InitGdiplus());
        SetCurrentLcid(1033);
        sim = std::make_shared<SimBackend>(std::vector<int32_t>{101});
        sim->SetPairingDelay(std::chrono::milliseconds(20));
        DeviceManager& manager = DeviceManager::Instance();
        manager.SetBackend(sim);
        manager.SetTimings(FastDeviceTimings());
    }

    void TearDown() override {
        *m_stopWatchers = true;
        for (std::thread& watcher : m_watchers) watcher.join();
        m_watchers.clear();
        SetMessageBoxHook(nullptr, nullptr);
        dlg.reset();
        DataStore::Instance().CloseIfOpen();
        DeviceManager::Instance().SetBackend(std::make_shared<SimBackend>(std::vector<int32_t>{}));
        if (sim) {
            EXPECT_EQ(sim->Trace().Rejections(), std::vector<std::string>{});
        }
        Orvix::Manager::UnInitGdiplus();
        Orvix::Platform::Shutdown();
        ScratchHome::TearDown();
    }

    // The waits of the device and worker tests: short, so silent cases end quickly.
    static DeviceTimings FastDeviceTimings() { return FastTimings(); }
    static WorkerTimings FastWorkerTimings() { return ::FastWorkerTimings(); }

    // Creates and shows the window (the mouse plugged or not beforehand, as the
    // test wants) and lets the first read finish.
    void Start() {
        dlg = std::make_unique<DeviceMainDlg>();
        dlg->SetWorkerTimings(FastWorkerTimings());
        ASSERT_TRUE(dlg->CreateMainWindow());
        dlg->ShowMainWindow();
        Settle();
    }

    void PlugCable() { sim->Plug(SimEndpoint::Cable); }
    void PlugReceiver() { sim->Plug(SimEndpoint::Receiver); }

    // Runs the window until the worker's queue is empty and nothing more happens.
    void Settle(int timeoutMs = 5000) { ASSERT_TRUE(WaitUntilSettled(*dlg, timeoutMs)) << "the window did not settle"; }

    Orvix::HWND Hwnd() const { return dlg->GetSafeHwnd(); }

    template <class T = Orvix::MControl>
    T* Control(Orvix::UINT id) {
        return dynamic_cast<T*>(dlg->GetControl(id));
    }

    // The centre of a control in window client coordinates (scrolled panels included).
    Orvix::CPoint CentreOf(Orvix::MControl* control) {
        Orvix::CRect rect = control->GetRect();
        const Orvix::CPoint offset = Orvix::MPanel::GetContentOffset(control);
        return {rect.CenterPoint().x - offset.x, rect.CenterPoint().y - offset.y};
    }

    // The pointer moves there from where it was, and clicks.
    void ClickAt(Orvix::HWND hwnd, Orvix::CPoint pt, bool right = false) { hands.ClickAt(hwnd, pt, right); }

    // Clicks the control with that id where a user would: the middle of what shows of it.
    void ClickControl(Orvix::UINT id) {
        Orvix::MControl* control = dlg->GetControl(id);
        ASSERT_NE(control, nullptr) << "no control " << id;
        ASSERT_TRUE(control->IsVisible()) << "control " << id << " is hidden";
        hands.ClickControl(control);
    }

    // Runs `act` once a visible window with that title is there: from inside its
    // modal loop when it runs one. A watcher thread looks for the window every
    // few milliseconds for up to `seconds` and, once it exists, hands the
    // check to the UI thread (a check that posted itself again and again would
    // keep the loop busy and the window from ever settling).
    void WhenWindowOpens(const std::wstring& title, std::function<void(Orvix::HWND)> act, int seconds = 10) {
        auto done = std::make_shared<std::atomic<bool>>(false);
        auto posted = std::make_shared<std::atomic<bool>>(false);
        m_watchers.emplace_back([done, posted, title, act, seconds, stop = m_stopWatchers] {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
            while (!*done && !*stop && std::chrono::steady_clock::now() < until) {
                if (!*posted && !Orvix::Platform::FindWindows(title).empty()) {
                    *posted = true;
                    Orvix::Platform::PostTask([done, posted, title, act] {
                        *posted = false;
                        if (*done) return;
                        const std::vector<Orvix::HWND> found = Orvix::Platform::FindWindows(title);
                        if (found.empty() || !Orvix::Platform::IsWindowVisible(found[0])) return;
                        *done = true;
                        act(found[0]);
                    });
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }

    // Clicks the tab with that item id in the strip.
    // Opens the combo box `id` and clicks its item `index`, scrolling the
    // drop-down as a user would.
    void ChooseComboItem(Orvix::UINT id, int index) {
        ClickControl(id);
        auto* combo = dynamic_cast<Orvix::MComboBox*>(dlg->GetControl(id));
        ASSERT_NE(combo, nullptr);
        Orvix::ComboWnd* drop = combo->GetDropDown();
        ASSERT_NE(drop, nullptr);
        Orvix::CComboBoxList* list = drop->GetList();
        const Orvix::HWND popup = drop->GetSafeHwnd();
        Orvix::CRect row;
        for (int turn = 0; turn < 40; ++turn) {
            row = list->GetItemRect(index);
            const Orvix::CPoint offset = list->GetScrollOffset();
            row.OffsetRect(-offset.x, -offset.y);
            if (row.top >= list->GetRect().top && row.bottom <= list->GetRect().bottom) break;
            hands.MoveTo(popup, list->GetRect().CenterPoint());
            hands.Wheel(-1);
        }
        ClickAt(popup, row.CenterPoint());
        Settle();
    }
    void ClickTab(int itemId) {
        Orvix::MTabCtrl* tabs = dlg->GetTabCtrl();
        for (int i = 0; i < tabs->GetItemCount(); ++i) {
            if (int(tabs->GetItemID(i)) != itemId) continue;
            ClickAt(Hwnd(), tabs->GetItemRect(i).CenterPoint());
            return;
        }
        FAIL() << "no tab " << itemId;
    }

    // On the key page (its tab clicked when another shows), a click on the row
    // of the function type `type`.
    void ChooseKeyType(int type) {
        if (dlg->GetCurrentTabId() != kTabKey) ClickTab(kTabKey);
        auto* types = dynamic_cast<Orvix::KeyFuncType*>(dlg->GetControl(KeyPage::IDC_TYPE_LIST));
        ASSERT_NE(types, nullptr);
        for (int i = 0; i < types->GetItemCount(); ++i) {
            if (types->GetItemData(i) != type) continue;
            ClickAt(Hwnd(), types->GetRowRect(i).CenterPoint());
            return;
        }
        FAIL() << "no function type " << type;
    }

    // Clicks the card of the model at `index` in the device list.
    void ClickDeviceCard(int index) {
        const Orvix::CRect card = dlg->GetDeviceList()->GetCardRect(index);
        ASSERT_FALSE(card.IsRectEmpty()) << "the card is not shown";
        ClickAt(Hwnd(), card.CenterPoint());
    }

    // Clicks the control, then types into the edit it opens.
    void TypeInto(Orvix::UINT id, const std::wstring& text) {
        ClickControl(id);
        hands.Type(text);
    }
    // A key pressed and released; it goes to the active window.
    void PressKey(Orvix::UINT vk) { hands.Key(vk); }

    // The next message boxes are answered with these buttons (33 or 34), in turn;
    // what they said is kept in `boxes`.
    struct SeenBox {
        std::wstring title;
        std::wstring message;
    };
    void AnswerMessageBoxes(std::vector<Orvix::UINT> buttons) {
        m_answers = std::move(buttons);
        SetMessageBoxHook(
            [](CUIMessageBox& box, void* context) {
                auto* self = static_cast<MainWindowFixture*>(context);
                auto title = dynamic_cast<Orvix::MControlFont*>(box.GetControl(CUIMessageBox::IDC_TITLE));
                auto message = dynamic_cast<Orvix::MControlFont*>(box.GetControl(CUIMessageBox::IDC_MESSAGE));
                self->boxes.push_back({title ? title->GetTitle() : L"", message ? message->GetTitle() : L""});
                if (self->m_answers.empty()) {
                    self->hands.Key(Orvix::VK_ESCAPE);  // nothing more to answer: the box's Cancel
                    return;
                }
                const Orvix::UINT button = self->m_answers.front();
                self->m_answers.erase(self->m_answers.begin());
                Orvix::MControl* target = box.GetControl(button);
                if (!target) {
                    self->hands.Key(Orvix::VK_ESCAPE);
                    return;
                }
                self->hands.ClickControl(target);
            },
            this);
    }

    // Reports the simulated mouse received, as hex texts ("06 0F 01 00 00 FF ...").
    std::vector<std::string> ReceivedReports() { return sim->Trace().ReceivedHex(); }

    std::wstring Config(const std::wstring& key) {
        std::wstring value;
        DataStore::Instance().GetConfigValue(dlg->GetState().GetCurrentProfile(), key, value);
        return value;
    }

    void Screenshot(const std::wstring& path) { ASSERT_TRUE(SaveWindowPicture(*dlg, path)); }

    std::shared_ptr<SimBackend> sim;
    std::unique_ptr<DeviceMainDlg> dlg;
    std::vector<SeenBox> boxes;

  private:
    std::vector<Orvix::UINT> m_answers;
    std::vector<std::thread> m_watchers;
    std::shared_ptr<std::atomic<bool>> m_stopWatchers = std::make_shared<std::atomic<bool>>(false);
};
