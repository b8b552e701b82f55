// What the UHID front shows the kernel: one device per interface, with descriptors and
// physical paths that the program's enumeration and the catalog's fragments match.
#include <gtest/gtest.h>

#include <map>

#include "platform/HidBackend.h"
#include "platform/HidDescriptor.h"
#include "platform/HidPath.h"
#include "protocol/Report.h"
#include "sim/UhidMouse.h"

namespace {

// Report size in bytes per report id of the descriptor's input or output items
// (8-bit fields only, as the vendor collection has).
std::map<uint8_t, size_t> ReportBytes(const std::vector<uint8_t>& d, uint8_t mainItem) {
    std::map<uint8_t, size_t> sizes;
    uint8_t id = 0, count = 0;
    for (size_t i = 0; i + 1 < d.size(); i += 1 + ((d[i] & 3) == 3 ? 4 : d[i] & 3)) {
        if (d[i] == 0x85) id = d[i + 1];
        if (d[i] == 0x95) count = d[i + 1];
        if (d[i] == mainItem) sizes[id] += 1 + count;  // with the id byte
    }
    return sizes;
}

TEST(UhidMouseTest, VendorCollectionCarries64ByteReportsWithTheirId) {
    const std::vector<uint8_t> cable = VendorReportDescriptor(false);
    EXPECT_EQ(TopLevelUsages(cable.data(), cable.size()),
              (std::vector<HidUsage>{{kVendorUsagePage, kVendorUsage}}));
    EXPECT_EQ(ReportBytes(cable, 0x81), (std::map<uint8_t, size_t>{{kReportId, kReportSize}}));
    EXPECT_EQ(ReportBytes(cable, 0x91), (std::map<uint8_t, size_t>{{kReportId, kReportSize}}));
    // The receiver also sends its link state, and only ever receives commands.
    const std::vector<uint8_t> receiver = VendorReportDescriptor(true);
    EXPECT_EQ(ReportBytes(receiver, 0x81),
              (std::map<uint8_t, size_t>{{kReportId, kReportSize}, {kConnectionStateId, kReportSize}}));
    EXPECT_EQ(ReportBytes(receiver, 0x91), (std::map<uint8_t, size_t>{{kReportId, kReportSize}}));
}

TEST(UhidMouseTest, EachEndpointShowsTheInterfacesOfTheSimulatedBackEnd) {
    const SimModel& model = SimModelOf(101);
    for (SimEndpoint endpoint : {SimEndpoint::Cable, SimEndpoint::Receiver}) {
        const bool receiver = endpoint == SimEndpoint::Receiver;
        const std::vector<UhidDeviceSpec> specs = UhidDevicesOf(model, endpoint);
        ASSERT_EQ(specs.size(), receiver ? 3u : 2u);
        const std::string fragment = receiver ? "VID_3A5C&PID_0118&MI_01#" : "VID_3A5C&PID_0108&MI_01#";
        for (size_t i = 0; i < specs.size(); ++i) {
            const UhidDeviceSpec& spec = specs[i];
            EXPECT_EQ(spec.interfaceNumber, static_cast<int>(i));
            EXPECT_EQ(spec.name, receiver ? "Vantorel V8 Receiver" : "Vantorel V8 Wireless");
            EXPECT_LT(spec.phys.size(), 64u);  // the kernel's field
            // The path the program builds for the device's node names the interface.
            const int number = InterfaceNumberFromPhys(spec.phys);
            EXPECT_EQ(number, spec.interfaceNumber) << spec.phys;
            const std::string path = MakeInterfacePath(spec.vid, spec.pid, number, "/dev/hidraw0");
            const std::vector<HidUsage> usages =
                TopLevelUsages(spec.descriptor.data(), spec.descriptor.size());
            ASSERT_EQ(usages.size(), 1u);
            const bool vendorUsage = usages[0] == HidUsage{kVendorUsagePage, kVendorUsage};
            EXPECT_EQ(spec.vendor, vendorUsage);
            EXPECT_EQ(path.find(fragment) != std::string::npos, vendorUsage) << path;
        }
    }
    // Devices of different endpoints never share a physical path.
    EXPECT_NE(UhidDevicesOf(model, SimEndpoint::Cable)[1].phys,
              UhidDevicesOf(model, SimEndpoint::Receiver)[1].phys);
}

TEST(UhidMouseTest, ControlLinesOutsideTheLanguageAreRefused) {
    UhidMouse mouse(101, std::make_shared<SimTrace>());
    bool quit = true;
    std::string error;
    EXPECT_TRUE(mouse.Command("", quit, error));
    EXPECT_FALSE(quit);
    // Events with nothing plugged are carried out by the firmware and lost on the way.
    for (const char* line : {"dpi", "wake", "battery 40 1", "button 3", "power off", "unplug cable"}) {
        EXPECT_TRUE(mouse.Command(line, quit, error)) << line << ": " << error;
        EXPECT_FALSE(quit);
    }
    for (const char* line :
         {"plug", "plug mouse", "power maybe", "battery 101", "battery x", "button", "jump"}) {
        error.clear();
        EXPECT_FALSE(mouse.Command(line, quit, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
    }
    EXPECT_TRUE(mouse.Command("quit", quit, error));
    EXPECT_TRUE(quit);
}

}  // namespace
