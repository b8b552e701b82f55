// A flood of device changes (a flaky hub, a receiver plugged in and out in a
// hurry) must not pile up refreshes: the window settles soon after the last one
// and its memory goes back to where it was.
#include <chrono>
#include <cstdio>

#include "../support/ProcessFigures.h"
#include "MainWindowFixture.h"
#include "orvix/widgets/CDeviceList.h"

namespace {

using Clock = std::chrono::steady_clock;

class HotplugStorm : public MainWindowFixture {
  protected:
    // The product's pauses after a device change: what makes a pile-up cost seconds.
    static WorkerTimings ProductChangePauses() {
        WorkerTimings timings = FastWorkerTimings();
        const WorkerTimings product;
        timings.longChangePauseMs = product.longChangePauseMs;
        timings.shortChangePauseMs = product.shortChangePauseMs;
        return timings;
    }
};

TEST_F(HotplugStorm, FifteenHundredChangesSettleSoonAfterTheLastOneAndLeaveNoMemoryBehind) {
    PlugCable();
    dlg = std::make_unique<DeviceMainDlg>();
    dlg->SetWorkerTimings(ProductChangePauses());
    ASSERT_TRUE(dlg->CreateMainWindow());
    dlg->ShowMainWindow();
    Settle(10000);
    sim->Trace().ClearReceived();
    const size_t heapBefore = LiveHeapBytes();

    // Each plug or unplug of the receiver is three interface events (mouse,
    // vendor, keyboard), each taken by the window while the receiver is as it
    // left it: 250 rounds make 1,500 changes, over about three seconds.
    const auto reads = [&] {
        return dlg->GetState().GetQueuedCount(kTaskReadAfterChangeLong) +
               dlg->GetState().GetQueuedCount(kTaskReadAfterChangeShort);
    };
    const int readsBefore = reads();
    int events = 0;
    const auto start = Clock::now();
    for (int round = 0; round < 250; ++round) {
        for (bool plug : {true, false}) {
            if (plug)
                sim->Plug(SimEndpoint::Receiver);
            else
                sim->Unplug(SimEndpoint::Receiver);
            events += 3;
            Orvix::Platform::RunPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(6));
        }
    }
    sim->Plug(SimEndpoint::Receiver);
    events += 3;
    Orvix::Platform::RunPending();
    const auto end = Clock::now();
    EXPECT_GE(events, 1500);
    EXPECT_GT(end - start, std::chrono::seconds(2));
    // The window asked for a read after many of them: the worker folds them together.
    EXPECT_GT(reads() - readsBefore, 100);

    Settle(20000);
    const auto settled = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - end);
    EXPECT_LT(settled.count(), 2000) << "settled " << settled.count() << " ms after the last change";
    // The last refresh saw both: the cable and the receiver with its mouse.
    EXPECT_EQ(DeviceManager::Instance().GetRecords().size(), 2u);
    EXPECT_EQ(dlg->GetDeviceList()->GetDeviceState(101), 1);

    // What the storm used is given back (the simulator's bounded report log aside).
    sim->Trace().ClearReceived();
    const long grown = long(LiveHeapBytes()) - long(heapBefore);
    EXPECT_LT(grown, 512 * 1024) << "the heap grew by " << grown << " bytes";
    std::printf("storm: %d changes in %.1f s, %d reads asked for, settled %ld ms after the last, heap %+ld bytes\n",
                events, std::chrono::duration<double>(end - start).count(), reads() - readsBefore,
                long(settled.count()), grown);
}

}  // namespace
