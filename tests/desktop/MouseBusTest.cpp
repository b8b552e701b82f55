// The interface description the package installs and the program's table of
// properties agree, and a mouse's properties come back whole from the bus form.
#include <gtest/gtest.h>

#include "platform/dbus/MouseBusVariant.h"

namespace {

MouseDeviceProperties Sample() {
    MouseDeviceProperties p;
    p.objectName = "vantorel_v8";
    p.model = "Vantorel V8 Wireless";
    p.deviceType = 101;
    p.selected = true;
    p.connection = "receiver";
    p.online = true;
    p.batteryLevel = 64;
    p.charging = true;
    p.firmwareVersion = "1.2.7";
    p.receiverFirmwareVersion = "1.1.3";
    p.activeProfile = 2;
    p.profiles = {{1, "Profile 1"}, {2, "Profil \xC3\xA9t\xC3\xA9"}};
    p.dpiLevels = {800, 1200, 26000};
    p.activeDpiLevel = 2;
    p.reportRate = 3;
    p.settings = {{"report_rate", 3}, {"e-sports_flag", 0}};
    p.settingsVersion = "1.0.1";
    p.interfaces = {{0x3A5C, 0x0118, "V8 Receiver", 1, 1}};
    return p;
}

TEST(MouseBus, EveryDescribedPropertyHasItsValueOfTheDescribedType) {
    GDBusInterfaceInfo* info = MouseDeviceInterfaceInfo();
    ASSERT_NE(info, nullptr) << "the built-in description does not parse";
    size_t described = 0;
    for (GDBusPropertyInfo** p = info->properties; p && *p; ++p, ++described) {
        GVariant* value = MousePropertyValue(Sample(), (*p)->name);
        ASSERT_NE(value, nullptr) << (*p)->name;
        g_variant_ref_sink(value);
        EXPECT_STREQ(g_variant_get_type_string(value), (*p)->signature) << (*p)->name;
        g_variant_unref(value);
    }
    EXPECT_EQ(described, MousePropertyNames().size());
    for (const char* method : {"SetProfile", "Set", "SetButton", "UploadMacros", "Reset"})
        EXPECT_NE(g_dbus_interface_info_lookup_method(info, method), nullptr) << method;
}

TEST(MouseBus, PropertiesComeBackWholeAndUnknownOnesAreLeftAlone) {
    const MouseDeviceProperties sent = Sample();
    GVariant* dict = g_variant_ref_sink(MousePropertiesDict(sent));
    MouseDeviceProperties received;
    received.objectName = sent.objectName;
    ApplyMouseProperties(received, dict);
    g_variant_unref(dict);
    EXPECT_EQ(received, sent);

    // A newer program's extra property, or one of another type, changes nothing.
    GVariantBuilder b;
    g_variant_builder_init(&b, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&b, "{sv}", "Colour", g_variant_new_string("red"));
    g_variant_builder_add(&b, "{sv}", "BatteryLevel", g_variant_new_string("full"));
    GVariant* odd = g_variant_ref_sink(g_variant_builder_end(&b));
    ApplyMouseProperties(received, odd);
    g_variant_unref(odd);
    EXPECT_EQ(received, sent);
}

TEST(MouseBus, ErrorNamesAndObjectPaths) {
    for (MouseFault fault : {MouseFault::InvalidArgs, MouseFault::OutOfRange, MouseFault::NoMouse,
                             MouseFault::StoreUnusable, MouseFault::Failed})
        EXPECT_EQ(MouseFaultFromName(MouseFaultName(fault)), fault);
    EXPECT_EQ(MouseFaultName(MouseFault::OutOfRange), "com.vantorel.Mouse1.Error.OutOfRange");
    EXPECT_EQ(MouseFaultFromName("org.freedesktop.DBus.Error.NoReply"), MouseFault::Failed);
    EXPECT_EQ(MouseObjectPath(MouseObjectName("vantorel-v8.2", 101)), "/com/vantorel/Mouse/vantorel_v8_2");
    EXPECT_EQ(MouseObjectName("", 102), "model102");
    EXPECT_TRUE(g_variant_is_object_path(MouseObjectPath(MouseObjectName("a b/c", 1)).c_str()));
}

}  // namespace
