#pragma once
// A page fixture on the real SDL back end and a private X server instead of the
// headless back end: for what only a real display shows (raw input from other X
// clients, typing into them).
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/DeviceMainDlg.h"
#include "orvix/controls/MTabCtrl.h"
#include "orvix/core/Manager.h"
#include "orvix/platform/Platform.h"
#include "orvix/widgets/CDeviceList.h"
#include "tests/support/PrivateXServer.h"
#include "tests/support/UserHands.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

template <class PageFixture>
class OnPrivateDisplay : public PageFixture {
  protected:
    void SetUp() override {
        this->ScratchHome::SetUp();
        if (std::system("command -v Xvfb >/dev/null && command -v xdotool >/dev/null") != 0)
            GTEST_SKIP() << "no Xvfb or xdotool";
        m_server = std::make_unique<PrivateXServer>("1400x900x24");
        ASSERT_TRUE(m_server->Ready());
        this->SetEnv("DISPLAY", m_server->Name());
        this->SetEnv("SDL_VIDEODRIVER", "x11");
        ASSERT_TRUE(Orvix::Platform::Init(Orvix::BackendKind::Sdl) && Orvix::Manager::InitGdiplus());
        SetCurrentLcid(1033);
        this->sim = std::make_shared<SimBackend>(std::vector<int32_t>{101});
        DeviceManager::Instance().SetBackend(this->sim);
        DeviceManager::Instance().SetTimings(PageFixture::FastDeviceTimings());
    }
    void TearDown() override {
        if (this->sim)
            PageFixture::TearDown();
        else
            this->ScratchHome::TearDown();
        m_server.reset();
    }

    // A real display keeps messages coming: the window runs until `done` or the time is up.
    static bool PumpUntil(const std::function<bool()>& done, int ms = 5000) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) return false;
            Orvix::Platform::RunPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }
    static void Pump(int ms) { PumpUntil([] { return false; }, ms); }

    // The real window, started with the mouse plugged, in the device list.
    void StartReal(bool receiver = false) {
        receiver ? this->PlugReceiver() : this->PlugCable();
        this->dlg = std::make_unique<DeviceMainDlg>();
        this->dlg->SetWorkerTimings(PageFixture::FastWorkerTimings());
        ASSERT_TRUE(this->dlg->CreateMainWindow());
        this->dlg->ShowMainWindow();
        ASSERT_TRUE(PumpUntil([this] { return this->dlg->GetView() == DeviceMainDlg::View::DeviceList; }));
        Pump(300);
    }
    Orvix::CPoint InWindow(int x, int y) const { return UserHands::ToScreen(this->Hwnd(), Orvix::CPoint(x, y)); }
    // A control's middle on the screen, where the pointer aims.
    static Orvix::CPoint At(const Orvix::MControl* control) { return UserHands::ScreenPointOf(control); }

    // The pointer goes from `from` to `to` in steps, each a motion the X server
    // delivers, then what `then` says (xdotool commands; a click by default).
    static int Xdo(Orvix::CPoint from, Orvix::CPoint to, std::vector<std::string> then = {"click", "1"}) {
        std::vector<std::string> args = {"xdotool"};
        constexpr int kSteps = 12;
        for (int i = 0; i <= kSteps; ++i) {
            args.insert(args.end(), {"mousemove", std::to_string(from.x + (to.x - from.x) * i / kSteps),
                                     std::to_string(from.y + (to.y - from.y) * i / kSteps), "sleep", "0.01"});
        }
        args.insert(args.end(), then.begin(), then.end());
        return RunProgram(args);
    }
    static int Key(const std::string& key) { return RunProgram({"xdotool", "key", key}); }

    // Into the model view of the first model, by a click on its card.
    void ToModelView() {
        const Orvix::CRect card = this->dlg->GetDeviceList()->GetCardRect(0);
        ASSERT_EQ(Xdo(InWindow(5, 5), UserHands::ToScreen(this->Hwnd(), card.CenterPoint())), 0);
        ASSERT_TRUE(PumpUntil([this] { return this->dlg->GetView() == DeviceMainDlg::View::Model; }));
        Pump(300);
    }
    // A click on the tab with that item id.
    void ToTab(int itemId) {
        Orvix::MTabCtrl* tabs = this->dlg->GetTabCtrl();
        for (int i = 0; i < tabs->GetItemCount(); ++i) {
            if (int(tabs->GetItemID(i)) != itemId) continue;
            ASSERT_EQ(Xdo(InWindow(600, 400), UserHands::ToScreen(this->Hwnd(), tabs->GetItemRect(i).CenterPoint())),
                      0);
            ASSERT_TRUE(PumpUntil([&] { return this->dlg->GetCurrentTabId() == itemId; }));
            Pump(200);
            return;
        }
        FAIL() << "no tab " << itemId;
    }

    // Runs a command (xdotool, for one) to its end: its exit status, or -1.
    static int RunProgram(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = -1;
        if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
        int status = 0;
        if (waitpid(pid, &status, 0) < 0) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    std::unique_ptr<PrivateXServer> m_server;
#if defined(__SANITIZE_ADDRESS__)
    // The X and SDL libraries keep one-time allocations past their unloading.
    __lsan::ScopedDisabler m_xAllocations;
#endif
};
