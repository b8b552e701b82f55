// Report descriptors, sysfs facts of hidraw nodes, and interface numbers of devices
// without a USB parent.
#include <gtest/gtest.h>

#include "../support/TempFolder.h"
#include "platform/HidDescriptor.h"
#include "platform/HidPath.h"
#include "platform/HidSysfs.h"

namespace {

std::vector<HidUsage> Usages(const std::vector<uint8_t>& d) {
    return TopLevelUsages(d.data(), d.size());
}

TEST(HidDescriptorTest, TopLevelCollectionsInOrderNestedOnesIgnored) {
    // A mouse (with its nested pointer collection), then a vendor collection.
    const std::vector<uint8_t> d{0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09,
                                 0x19, 0x01, 0x29, 0x03, 0x81, 0x02, 0xC0, 0xC0, 0x06, 0xB2, 0xFF, 0x09,
                                 0x01, 0xA1, 0x01, 0x85, 0x06, 0x09, 0x02, 0x81, 0x02, 0xC0};
    EXPECT_EQ(Usages(d), (std::vector<HidUsage>{{0x0001, 0x0002}, {0xFFB2, 0x0001}}));
}

TEST(HidDescriptorTest, UsagePageRulesOfTheItems) {
    // A four-byte usage carries its own page.
    EXPECT_EQ(Usages({0x05, 0x01, 0x0B, 0x01, 0x00, 0xB2, 0xFF, 0xA1, 0x01, 0xC0}),
              (std::vector<HidUsage>{{0xFFB2, 0x0001}}));
    // A short usage takes the page in effect at the collection, even one set after it.
    EXPECT_EQ(Usages({0x09, 0x01, 0x06, 0xB2, 0xFF, 0xA1, 0x01, 0xC0}), (std::vector<HidUsage>{{0xFFB2, 1}}));
    // Only the first usage before the collection counts; a later main item clears them.
    EXPECT_EQ(Usages({0x05, 0x01, 0x09, 0x06, 0x09, 0x02, 0xA1, 0x01, 0xC0, 0xA1, 0x01, 0xC0}),
              (std::vector<HidUsage>{{1, 6}, {1, 0}}));
    // Push and Pop restore the page.
    EXPECT_EQ(Usages({0x05, 0x01, 0xA4, 0x06, 0xB2, 0xFF, 0xB4, 0x09, 0x02, 0xA1, 0x01, 0xC0}),
              (std::vector<HidUsage>{{1, 2}}));
}

TEST(HidDescriptorTest, MalformedInputEndsTheParseWithoutReadingPastIt) {
    // A long item is skipped whole.
    EXPECT_EQ(Usages({0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xC0}),
              (std::vector<HidUsage>{{1, 2}}));
    // A collection before a truncated item is kept; the truncated item is not read.
    EXPECT_EQ(Usages({0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xC0, 0x06, 0xB2}),
              (std::vector<HidUsage>{{1, 2}}));
    EXPECT_TRUE(Usages({0x0B, 0x01, 0x00}).empty());
    EXPECT_TRUE(Usages({0xFE}).empty());
    EXPECT_TRUE(TopLevelUsages(nullptr, 0).empty());
    // Unbalanced end collections do not turn a nested collection into a top-level one.
    EXPECT_EQ(Usages({0xC0, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02, 0xA1, 0x00, 0xC0, 0xC0}),
              (std::vector<HidUsage>{{0, 1}}));
}

TEST(HidDescriptorTest, InterfaceNumberFromPhysicalPath) {
    EXPECT_EQ(InterfaceNumberFromPhys("usb-0000:00:14.0-2/input1"), 1);
    EXPECT_EQ(InterfaceNumberFromPhys("usb-uhid-101.2/input12"), 12);
    for (const char* phys : {"", "usb-0000:00:14.0-2", "/input", "usb-1/input1x", "usb-1/input-1",
                             "usb-1/input1234", "aa:bb:cc:dd:ee:ff"})
        EXPECT_EQ(InterfaceNumberFromPhys(phys), -1) << phys;
}

TEST(HidSysfsTest, ReadsTheNodesDescriptorAndPhysicalPath) {
    TempFolder sys;
    const std::string root = Orvix::WideToUtf8(sys.Folder());
    const std::string descriptor("\x06\xB2\xFF\x09\x01\xA1\x01\x00\xC0", 9);
    sys.Write("class/hidraw/hidraw3/device/report_descriptor", descriptor);
    sys.Write("class/hidraw/hidraw3/device/uevent",
              "DRIVER=hid-generic\nHID_ID=0003:00003A5C:00000108\nHID_NAME=Vantorel V8 Wireless\n"
              "HID_PHYS=usb-uhid-101.1/input1\nHID_UNIQ=\n");

    std::vector<uint8_t> read;
    ASSERT_TRUE(ReadReportDescriptor("/dev/hidraw3", read, root));
    EXPECT_EQ(std::string(read.begin(), read.end()), descriptor);
    EXPECT_EQ(ReadHidPhys("/dev/hidraw3", root), "usb-uhid-101.1/input1");

    // Unknown nodes and paths that are not hidraw nodes lead nowhere.
    for (const char* path :
         {"/dev/hidraw4", "/dev/hidraw", "/dev/hidraw3/../hidraw3", "/sim/hidraw3", "hidraw3"}) {
        EXPECT_FALSE(ReadReportDescriptor(path, read, root)) << path;
        EXPECT_EQ(ReadHidPhys(path, root), "") << path;
    }
}

}  // namespace
