#include <gtest/gtest.h>

#include <thread>

#include "app/PostingDeviceView.h"
#include "orvix/platform/Platform.h"
#include "RecordingView.h"

using namespace Orvix;

TEST(DeviceListShadow, SelectsAsTheDeviceListDoes) {
    DeviceListShadow shadow;
    EXPECT_EQ(shadow.SelectDevice(101), 0);  // no models
    shadow.SetModels({101, 102, 103});
    // Nobody online: the first entry stays selected.
    EXPECT_EQ(shadow.SelectDevice(102), 101);
    shadow.SetDeviceState(103, 1, 1);
    shadow.SetDeviceState(102, 0, 1);
    EXPECT_EQ(shadow.SelectDevice(102), 102);
    // The stored model offline: the first online one.
    EXPECT_EQ(shadow.SelectDevice(101), 102);
    // An online receiver keeps its state unless the cable reports.
    shadow.SetDeviceState(102, 1, 2);
    EXPECT_EQ(shadow.SelectDevice(102), 102);
    shadow.SetDeviceState(102, 0, 0);
    EXPECT_EQ(shadow.SelectDevice(102), 103);
    shadow.SetAllDeviceState(0);
    EXPECT_EQ(shadow.SelectDevice(103), 101);
}

class PostingDeviceViewTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(Platform::Init(BackendKind::Headless)); }
    void TearDown() override { Platform::Shutdown(); }
};

TEST_F(PostingDeviceViewTest, CallsFromAnotherThreadReachTheViewOnTheUiThreadInOrder) {
    RecordingView target;
    PostingDeviceView view(target);
    view.SetModels({101});
    int selected = 0;
    std::thread worker([&] {
        view.SetDeviceState(101, 0, 1);
        selected = view.SelectDevice(101);
        view.SetBatteryInfo(40, 1);
        view.ShowDeviceListView(0);
    });
    worker.join();
    EXPECT_EQ(selected, 101);
    EXPECT_TRUE(target.Calls().empty());  // nothing happened on the worker's thread
    Platform::RunPending();
    EXPECT_EQ(target.Calls(), (std::vector<std::string>{"device state 101 0 1", "select device 101", "battery 40 1",
                                                         "device list 0"}));
}

TEST_F(PostingDeviceViewTest, CallsStillOnTheirWayAfterDetachAreDropped) {
    RecordingView target;
    PostingDeviceView view(target);
    view.ShowNotConnectedView();
    view.Detach();
    view.ShowDeviceListView(1);
    Platform::RunPending();
    EXPECT_TRUE(target.Calls().empty());
}

// A device event reaches the window's view as the event; the view decides what it changes.
TEST_F(PostingDeviceViewTest, DeviceEventsReachTheViewOnTheUiThread) {
    RecordingView target;
    target.lightingPage = false;
    PostingDeviceView view(target);
    std::thread worker([&] { view.OnDeviceEvent(DeviceEvent::StateRead); });
    worker.join();
    EXPECT_TRUE(target.Calls().empty());
    Platform::RunPending();
    EXPECT_EQ(target.Calls(), (std::vector<std::string>{"reload buttons", "reload macros", "reload dpi"}));
}
