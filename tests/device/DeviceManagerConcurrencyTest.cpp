#include <atomic>
#include <thread>

#include "SimFixture.h"

namespace {

class DeviceManagerConcurrency : public SimFixture {
  protected:
    // With the cable plugged and refreshed, the mouse falls silent and each read
    // waits up to 5 s (one greeting per device); `reached` turns true when the next
    // report reaches the mouse. Unplugging ends the wait.
    void SilenceTheMouse() {
        sim->Plug(SimEndpoint::Cable);
        Refresh();
        DeviceTimings slow = FastTimings();
        slow.readTimeoutMs = 5000;
        slow.readAttempts = 1;
        slow.handshakeAttempts = 1;
        manager.SetTimings(slow);
        sim->Configure([](SimMouseState& state) { state.answering = false; });
        sim->ApplyBeforeNextAnswer([this](SimFirmware&) {
            reached = true;
            return SimFirmware::Outputs{};
        });
    }
    void WaitUntilReached() const {
        while (!reached) std::this_thread::yield();
    }

    std::atomic<bool> reached{false};
};

// The worker sends while the UI thread refreshes and polls and the user presses the
// DPI button: every exchange must still get its own answer (or a notification that
// overtook it), never a request left behind because another thread took the reply.
TEST_F(DeviceManagerConcurrency, SendsStayPairedWithTheirAnswersWhileAnotherThreadRefreshesAndPolls) {
    sim->Plug(SimEndpoint::Cable);
    sim->Plug(SimEndpoint::Receiver);
    Refresh();
    sim->SetLatency(std::chrono::milliseconds(1));  // leaves time for another thread to grab an answer

    std::atomic<bool> done{false};
    int lost = 0, answered = 0;
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) {
            ReportBuffer buffer;
            if (!SendGetInfo(buffer)) continue;
            if (buffer[1] == kCmdGetInfo && buffer[9] != 0)
                ++answered;
            else if (buffer[1] != kNotificationMark)
                ++lost;
        }
        done = true;
    });
    std::thread ui([&] {
        for (int i = 0; !done; ++i) {
            if (i % 10 == 0) manager.Reenumerate();
            ReportBuffer buffer{};
            int32_t type = 0;
            manager.ReadAnyReport(buffer, type);
            manager.PollOnline();
            std::vector<DeviceRecord> list;
            manager.CollectDevices(list);
            manager.GetCurrentDevMode();
        }
    });
    for (int i = 0; !done; ++i) {
        sim->PressDpiButton();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    worker.join();
    ui.join();
    EXPECT_EQ(lost, 0);
    EXPECT_GT(answered, 0);
}

// The hot-plug handler and the window ask the manager about its records on the UI
// thread; a mouse that does not answer must not hold those questions up while the
// worker waits for its reply.
TEST_F(DeviceManagerConcurrency, QueriesDoNotWaitForAnExchangeWithASilentDevice) {
    SilenceTheMouse();
    std::atomic<bool> sendDone{false};
    std::thread worker([&] {
        ReportBuffer buffer;
        EXPECT_TRUE(SendGetInfo(buffer));
        sendDone = true;
    });
    WaitUntilReached();

    EXPECT_EQ(manager.FindRecordIndex(0x3A5C, 0x0108, kModeCable), 0);
    EXPECT_EQ(manager.GetCurrentDevMode(), kModeCable);
    EXPECT_TRUE(manager.IsSupported(0x3A5C, 0x0108));
    std::vector<DeviceRecord> list;
    EXPECT_TRUE(manager.CollectDevices(list));
    EXPECT_FALSE(sendDone);  // the answers came while the exchange was still waiting

    sim->Unplug(SimEndpoint::Cable);  // ends the wait
    worker.join();
}

// A refresh greets each device; while a silent one holds it up, the records of the last
// refresh still answer, so a removal in the meantime is not missed.
TEST_F(DeviceManagerConcurrency, DuringASlowRefreshQueriesSeeTheLastRefresh) {
    SilenceTheMouse();
    std::atomic<bool> refreshed{false};
    std::thread worker([&] {
        manager.Reenumerate();
        refreshed = true;
    });
    WaitUntilReached();  // the greeting of the new record waits

    EXPECT_EQ(manager.FindRecordIndex(0x3A5C, 0x0108, kModeCable), 0);
    EXPECT_EQ(manager.GetCurrentDevMode(), kModeCable);
    EXPECT_FALSE(refreshed);

    sim->Unplug(SimEndpoint::Cable);  // ends the handshake
    worker.join();
    EXPECT_EQ(manager.GetCurrentDevMode(), -1);  // the silent device is never chosen
}

}  // namespace
