#include <gtest/gtest.h>

#include "platform/HidPath.h"
#include "platform/HidrawBackend.h"
#include "platform/UdevMonitor.h"

namespace {

TEST(HidPathTest, CanonicalPathIsUpperCaseAndReversible) {
    const std::string path = MakeInterfacePath(0x3a5c, 0x0108, 1, "/dev/hidraw3");
    EXPECT_EQ(path, "\\\\?\\HID#VID_3A5C&PID_0108&MI_01#/DEV/HIDRAW3");
    EXPECT_TRUE(IsInterfacePath(path));
    EXPECT_EQ(SystemPathOf(path), "/dev/hidraw3");
    EXPECT_EQ(SystemPathOf("/dev/hidraw3"), "/dev/hidraw3");
    EXPECT_EQ(MakeInterfacePath(0x046D, 0xB01A, -1, "/dev/hidraw0"),
              "\\\\?\\HID#VID_046D&PID_B01A#/DEV/HIDRAW0");
}

TEST(HidPathTest, DevpathGivesIdsAndInterfaceNumber) {
    uint16_t vid = 0, pid = 0;
    int iface = 7;
    ASSERT_TRUE(ParseHidrawDevpath(
        "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:3A5C:0118.0007/hidraw/hidraw3", vid, pid,
        iface));
    EXPECT_EQ(vid, 0x3A5C);
    EXPECT_EQ(pid, 0x0118);
    EXPECT_EQ(iface, 1);

    // A Bluetooth device has no USB interface in its path.
    ASSERT_TRUE(
        ParseHidrawDevpath("/devices/virtual/misc/uhid/0005:046D:B01A.0003/hidraw/hidraw0", vid, pid, iface));
    EXPECT_EQ(vid, 0x046D);
    EXPECT_EQ(iface, -1);

    EXPECT_FALSE(ParseHidrawDevpath("/devices/virtual/hidraw/hidraw9", vid, pid, iface));
    EXPECT_FALSE(ParseHidrawDevpath("/devices/0003:3A5C:01.0007/hidraw/hidraw3", vid, pid, iface));
}

TEST(HidrawBackendTest, EnumeratesWithCanonicalPathsAndRefusesUnknownPaths) {
    HidrawBackend backend;
    for (const HidInterfaceInfo& info : backend.Enumerate()) {
        EXPECT_TRUE(IsInterfacePath(info.path)) << info.path;
        EXPECT_EQ(SystemPathOf(info.path), info.systemPath);
    }
    EXPECT_EQ(backend.Open("/dev/hidraw-does-not-exist"), nullptr);
    EXPECT_EQ(backend.Open(MakeInterfacePath(1, 2, 1, "/dev/hidraw-does-not-exist")), nullptr);
}

TEST(UdevMonitorTest, StopsPromptlyWhetherOrNotItCouldStart) {
    UdevMonitor monitor;
    const bool started = monitor.Start([](DeviceChange, const std::string&) {});
    EXPECT_EQ(monitor.IsRunning(), started);
    monitor.Stop();
    EXPECT_FALSE(monitor.IsRunning());
}

}  // namespace
