// The idle worker sleeps: no reads while there is nothing to read, yet a queued task
// and a notification from the mouse are taken up at once. Reads are counted by a back
// end that hands every call on to the simulated mouse.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "WorkerFixture.h"

namespace {

using Clock = std::chrono::steady_clock;

class CountingDevice : public HidDevice {
  public:
    CountingDevice(std::shared_ptr<HidDevice> device, std::atomic<int>& reads)
        : m_device(device), m_reads(reads) {}
    int Write(const uint8_t* data, size_t length) override { return m_device->Write(data, length); }
    int Read(uint8_t* data, size_t length, int timeoutMs) override {
        ++m_reads;
        return m_device->Read(data, length, timeoutMs);
    }
    std::wstring GetProductString() override { return m_device->GetProductString(); }
    bool GetUsage(uint16_t& usagePage, uint16_t& usage) override {
        return m_device->GetUsage(usagePage, usage);
    }
    void Close() override { m_device->Close(); }
    int DupWaitHandle() override { return m_waitable ? m_device->DupWaitHandle() : -1; }

    bool m_waitable = true;

  private:
    std::shared_ptr<HidDevice> m_device;
    std::atomic<int>& m_reads;
};

class CountingBackend : public HidBackend {
  public:
    CountingBackend(std::shared_ptr<HidBackend> backend, bool waitable)
        : m_backend(backend), m_waitable(waitable) {}
    std::vector<HidInterfaceInfo> Enumerate() override { return m_backend->Enumerate(); }
    std::shared_ptr<HidDevice> Open(const std::string& path) override {
        auto device = m_backend->Open(path);
        if (!device) return nullptr;
        auto counting = std::make_shared<CountingDevice>(device, reads);
        counting->m_waitable = m_waitable;
        return counting;
    }
    bool SetDeviceChangeHandler(DeviceChangeHandler handler) override {
        return m_backend->SetDeviceChangeHandler(std::move(handler));
    }

    std::atomic<int> reads{0};

  private:
    std::shared_ptr<HidBackend> m_backend;
    bool m_waitable;
};

class WorkerIdleConcurrency : public WorkerFixture {
  protected:
    void UseCountingBackend(bool waitable = true) {
        counting = std::make_shared<CountingBackend>(sim, waitable);
        manager.SetBackend(counting);
    }
    // Waits (at most `limit`) for `done`; the time it took.
    template <typename Done>
    static Clock::duration Await(Done done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto start = Clock::now();
        while (!done() && Clock::now() - start < limit)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        return Clock::now() - start;
    }
    static void Settle() { std::this_thread::sleep_for(std::chrono::milliseconds(300)); }

    std::shared_ptr<CountingBackend> counting;
};

TEST_F(WorkerIdleConcurrency, WithoutADeviceItReadsNothingAndStillRunsAQueuedTaskAtOnce) {
    UseCountingBackend();
    worker.RefreshDevices();  // finds nothing
    ASSERT_FALSE(state.AreDevicesPresent());
    ASSERT_TRUE(worker.StartWorker());
    Settle();
    EXPECT_EQ(counting->reads, 0);

    // A write task with no device is consumed (and its send fails) within a few milliseconds.
    state.QueueTask(kTaskWriteButtonMap);
    const auto took = Await([&] { return state.IsIdle(); });
    EXPECT_TRUE(state.IsIdle());
    EXPECT_LT(took, std::chrono::milliseconds(200)) << "the queued task waited";
    Settle();
    EXPECT_EQ(counting->reads, 0);
}

TEST_F(WorkerIdleConcurrency, WithAMouseAttachedItReadsOnlyWhenTheMouseSendsSomething) {
    UseCountingBackend();
    sim->Plug(SimEndpoint::Cable);
    worker.RefreshDevices();
    ASSERT_TRUE(state.AreDevicesPresent());
    ASSERT_TRUE(worker.StartWorker());
    Settle();
    const int before = counting->reads;
    Settle();
    EXPECT_EQ(counting->reads, before) << "the idle worker read without a report waiting";

    // The DPI button: the notification is read and acted on promptly.
    const int stage = state.GetDeviceValues().dpiIndex;
    sim->PressDpiButton();
    Await([&] { return state.GetDeviceValues().dpiIndex != stage; });
    EXPECT_NE(state.GetDeviceValues().dpiIndex, stage);
    Settle();
    const int after = counting->reads;
    EXPECT_GT(after, before);
    Settle();
    EXPECT_EQ(counting->reads, after);

    // A task queued while the worker sleeps on the mouse still runs at once.
    state.QueueTask(kTaskWriteButtonMap);
    const auto took = Await([&] { return state.IsIdle(); });
    EXPECT_LT(took, std::chrono::milliseconds(500));
    EXPECT_EQ(worker.GetSendFailures(), 0);
}

TEST_F(WorkerIdleConcurrency, AnUnpluggedMouseDoesNotKeepTheWorkerAwake) {
    UseCountingBackend();
    sim->Plug(SimEndpoint::Cable);
    worker.RefreshDevices();
    ASSERT_TRUE(worker.StartWorker());
    Settle();
    sim->Unplug(SimEndpoint::Cable);  // no refresh follows: its handle stays open, and fails
    Settle();
    const int before = counting->reads;
    Settle();
    EXPECT_EQ(counting->reads, before);
}

TEST_F(WorkerIdleConcurrency, AHandleWithNothingToWaitOnIsPolledInTurn) {
    UseCountingBackend(false);
    sim->Plug(SimEndpoint::Cable);
    worker.RefreshDevices();
    ASSERT_TRUE(worker.StartWorker());
    const int stage = state.GetDeviceValues().dpiIndex;
    sim->PressDpiButton();
    Await([&] { return state.GetDeviceValues().dpiIndex != stage; });
    EXPECT_NE(state.GetDeviceValues().dpiIndex, stage);
    const int before = counting->reads;
    Settle();
    EXPECT_GT(counting->reads, before + 5) << "without a wait handle the worker polls as before";
}

TEST_F(WorkerIdleConcurrency, StopEndsTheSleepAtOnce) {
    ASSERT_TRUE(worker.StartWorker());
    Settle();
    const auto start = Clock::now();
    EXPECT_TRUE(worker.Stop());
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
}

}  // namespace
