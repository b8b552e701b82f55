#include "SimFixture.h"
#include "platform/HidPath.h"

namespace {

class HotplugTest : public SimFixture {
  protected:
    HotplugTest() {
        sim->SetDeviceChangeHandler([this](DeviceChange change, const std::string& path) {
            OnDeviceChange(change, path, CatalogModes(), devicesPresent, manager,
                           {[this](DeviceChangeRead task) { tasks.push_back(task); }, [this] { ++popupsClosed; }});
        });
    }

    bool devicesPresent = false;
    std::vector<DeviceChangeRead> tasks;
    int popupsClosed = 0;
};

TEST_F(HotplugTest, OnlyTheVendorInterfaceOfANewDeviceQueuesARead) {
    sim->Plug(SimEndpoint::Receiver);  // mouse, vendor and keyboard interfaces arrive
    EXPECT_EQ(tasks, std::vector<DeviceChangeRead>{DeviceChangeRead::Long});
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
    EXPECT_EQ(DecideArrival(path, CatalogModes(), manager), DeviceChangeRead::None);
    EXPECT_EQ(DecideArrival(path, {}, manager), DeviceChangeRead::None);
}

TEST_F(HotplugTest, AKeyboardInterfaceOfAKnownReceiverQueuesNothing) {
    sim->Plug(SimEndpoint::Receiver);
    Refresh();
    tasks.clear();
    const std::string keyboard = sim->InterfacePath(SimEndpoint::Receiver, 2);
    ASSERT_FALSE(keyboard.empty());
    EXPECT_FALSE(IsVendorInterface(*sim, keyboard));
    EXPECT_EQ(DecideArrival(keyboard, CatalogModes(), manager), DeviceChangeRead::None);
    EXPECT_TRUE(IsVendorInterface(*sim, sim->InterfacePath(SimEndpoint::Receiver, 1)));
    EXPECT_FALSE(IsVendorInterface(*sim, "/sim/hidraw-none"));
}

TEST_F(HotplugTest, RemovalNeedsDevicesPresentAMatchingFragmentAndARecord) {
    sim->Plug(SimEndpoint::Cable);
    Refresh();
    tasks.clear();
    const std::string vendor = ToUpperAscii(sim->InterfacePath(SimEndpoint::Cable, 1));

    EXPECT_EQ(DecideRemoval(vendor, CatalogModes(), false, manager), DeviceChangeRead::None) << "no device was present";
    EXPECT_EQ(DecideRemoval(sim->InterfacePath(SimEndpoint::Cable, 0), CatalogModes(), true, manager),
              DeviceChangeRead::None)
        << "the ordinary interface matches no fragment";
    std::vector<HotplugMode> unnamed = CatalogModes();
    for (HotplugMode& mode : unnamed) mode.hidInterface.clear();
    EXPECT_EQ(DecideRemoval(vendor, unnamed, true, manager), DeviceChangeRead::None) << "empty fragments are skipped";

    devicesPresent = true;
    sim->Unplug(SimEndpoint::Cable);
    EXPECT_EQ(tasks, std::vector<DeviceChangeRead>{DeviceChangeRead::Short});

    // After the refresh the identity has no record: a repeated removal is ignored.
    Refresh();
    EXPECT_EQ(DecideRemoval(vendor, CatalogModes(), true, manager), DeviceChangeRead::None);
}

TEST_F(HotplugTest, RemovalWhileNoDeviceIsPresentIsIgnored) {
    sim->Plug(SimEndpoint::Cable);
    sim->Unplug(SimEndpoint::Cable);
    EXPECT_EQ(tasks, std::vector<DeviceChangeRead>{DeviceChangeRead::Long});  // only the arrival
    EXPECT_EQ(popupsClosed, 1);
}

}  // namespace
