#include "SimFixture.h"
#include "platform/HidPath.h"

namespace {

class HotplugTest : public SimFixture {
  protected:
    HotplugTest() {
        sim->SetDeviceChangeHandler([this](DeviceChange change, const std::string& path) {
            OnDeviceChange(change, path, CatalogModes(), devicesPresent, manager,
                           {[this](int task) { tasks.push_back(task); }, [this] { ++popupsClosed; }});
        });
    }

    bool devicesPresent = false;
    std::vector<int> tasks;
    int popupsClosed = 0;
};

TEST_F(HotplugTest, OnlyTheVendorInterfaceOfANewDeviceQueuesARead) {
    sim->Plug(SimEndpoint::Receiver);  // mouse, vendor and keyboard interfaces arrive
    EXPECT_EQ(tasks, std::vector<int>{kTaskReadAfterChangeLong});
    EXPECT_EQ(popupsClosed, 1);
}

TEST_F(HotplugTest, ArrivalIsIgnoredOnceEveryIdentityHasARecord) {
    SimFixture::sim = std::make_shared<SimBackend>(std::vector<int32_t>{101, 102});
    manager.SetBackend(sim);
    for (int mouse : {0, 1})
        for (SimEndpoint endpoint : {SimEndpoint::Cable, SimEndpoint::Receiver}) sim->Plug(endpoint, mouse);
    Refresh();
    ASSERT_EQ(manager.GetRecords().size(), 4u);
    const std::string path = sim->InterfacePath(SimEndpoint::Cable, 1);
    EXPECT_EQ(DecideArrival(path, CatalogModes(), manager), kTaskNone);
    EXPECT_EQ(DecideArrival(path, {}, manager), kTaskNone);
}

TEST_F(HotplugTest, AKeyboardInterfaceOfAKnownReceiverQueuesNothing) {
    sim->Plug(SimEndpoint::Receiver);
    Refresh();
    tasks.clear();
    const std::string keyboard = sim->InterfacePath(SimEndpoint::Receiver, 2);
    ASSERT_FALSE(keyboard.empty());
    EXPECT_FALSE(IsVendorInterface(*sim, keyboard));
    EXPECT_EQ(DecideArrival(keyboard, CatalogModes(), manager), kTaskNone);
    EXPECT_TRUE(IsVendorInterface(*sim, sim->InterfacePath(SimEndpoint::Receiver, 1)));
    EXPECT_FALSE(IsVendorInterface(*sim, "/sim/hidraw-none"));
}

TEST_F(HotplugTest, RemovalNeedsDevicesPresentAMatchingFragmentAndARecord) {
    sim->Plug(SimEndpoint::Cable);
    Refresh();
    tasks.clear();
    const std::string vendor = ToUpperAscii(sim->InterfacePath(SimEndpoint::Cable, 1));

    EXPECT_EQ(DecideRemoval(vendor, CatalogModes(), false, manager), kTaskNone) << "no device was present";
    EXPECT_EQ(DecideRemoval(sim->InterfacePath(SimEndpoint::Cable, 0), CatalogModes(), true, manager),
              kTaskNone)
        << "the ordinary interface matches no fragment";
    std::vector<HotplugMode> unnamed = CatalogModes();
    for (HotplugMode& mode : unnamed) mode.hidInterface.clear();
    EXPECT_EQ(DecideRemoval(vendor, unnamed, true, manager), kTaskNone) << "empty fragments are skipped";

    devicesPresent = true;
    sim->Unplug(SimEndpoint::Cable);
    EXPECT_EQ(tasks, std::vector<int>{kTaskReadAfterChangeShort});

    // After the refresh the identity has no record: a repeated removal is ignored.
    Refresh();
    EXPECT_EQ(DecideRemoval(vendor, CatalogModes(), true, manager), kTaskNone);
}

TEST_F(HotplugTest, RemovalWhileNoDeviceIsPresentIsIgnored) {
    sim->Plug(SimEndpoint::Cable);
    sim->Unplug(SimEndpoint::Cable);
    EXPECT_EQ(tasks, std::vector<int>{kTaskReadAfterChangeLong});  // only the arrival
    EXPECT_EQ(popupsClosed, 1);
}

}  // namespace
