// What the desktop says about scaling, read the way the desktop writes it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "orvix/platform/DesktopScale.h"
#include "tests/support/XSettingsBlob.h"

using namespace Orvix;

namespace {

DesktopScaleSources XSettings(int windowFactor, int dpi) {
    DesktopScaleSources s;
    s.xsettings = true;
    s.windowScalingFactor = windowFactor;
    s.xftDpi1024 = dpi * 1024;
    return s;
}

}  // namespace

TEST(DesktopScale, TheFirstSourceThatSaysAnythingDecides) {
    // The environment before everything else; its two variables multiply.
    DesktopScaleSources s = XSettings(1, 96);
    s.xftDpiResource = 192;
    s.gdkScale = "2";
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(s).factor, 2.0);
    EXPECT_EQ(ChooseDesktopScale(s).source, "GDK_SCALE");
    s.gdkDpiScale = "0.75";
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(s).factor, 1.5);
    s.gdkScale.clear();
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(s).factor, 0.75);
    // A variable that is no number is as good as none.
    s.gdkDpiScale = "large";
    EXPECT_EQ(ChooseDesktopScale(s).source, "XSETTINGS");
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(s).factor, 1.0);

    // Without a settings manager the resource speaks; without that, 1.
    DesktopScaleSources resourceOnly;
    resourceOnly.xftDpiResource = 144;
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(resourceOnly).factor, 1.5);
    EXPECT_EQ(ChooseDesktopScale(resourceOnly).source, "Xft.dpi");
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(DesktopScaleSources{}).factor, 1.0);
}

TEST(DesktopScale, XSettingsTakeTheLargerOfWindowFactorAndDensity) {
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(XSettings(2, 192)).factor, 2.0);   // GNOME at 200 %
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(XSettings(1, 120)).factor, 1.25);  // larger text only
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(XSettings(2, 96)).factor, 2.0);    // an unscaled density
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(XSettings(0, 144)).factor, 1.5);   // no window factor
    // A manager with neither value leaves it to the resource.
    DesktopScaleSources empty = XSettings(0, 0);
    empty.xftDpiResource = 120;
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(empty).factor, 1.25);
}

TEST(DesktopScale, FactorsStayWithinWhatCanBeDrawn) {
    DesktopScaleSources s;
    s.gdkScale = "10";  // read as 10 %, as 150 is 150 %
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(s).factor, kMinScale);
    s.gdkScale = "8.0";
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(s).factor, kMaxScale);
    s.gdkScale = "0.2";
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(s).factor, kMinScale);
    s.gdkScale = "1.333333";
    EXPECT_DOUBLE_EQ(ChooseDesktopScale(s).factor, 1.33);
}

TEST(DesktopScale, ScaleTextsInEveryUsualForm) {
    EXPECT_DOUBLE_EQ(ParseScaleText("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(ParseScaleText(" 2 "), 2.0);
    EXPECT_DOUBLE_EQ(ParseScaleText("150%"), 1.5);
    EXPECT_DOUBLE_EQ(ParseScaleText("125"), 1.25);
    for (const char* bad : {"", "0", "-1", "abc", "1.5x", "%", "nan", "inf"})
        EXPECT_DOUBLE_EQ(ParseScaleText(bad), 0.0) << bad;
}

TEST(DesktopScale, XSettingsBlobsReadInBothByteOrders) {
    for (bool msb : {false, true}) {
        const std::vector<uint8_t> blob = XSettingsBlob(msb)
                                              .String("Net/ThemeName", "Adwaita")
                                              .Integer("Gdk/WindowScalingFactor", 2)
                                              .Colour("Gtk/Colour")
                                              .Integer("Xft/DPI", 196608)
                                              .Bytes();
        std::map<std::string, XSetting> values;
        ASSERT_TRUE(ParseXSettings(blob.data(), blob.size(), values)) << msb;
        EXPECT_EQ(values["Gdk/WindowScalingFactor"].integer, 2);
        EXPECT_EQ(values["Xft/DPI"].integer, 196608);
        EXPECT_EQ(values["Net/ThemeName"].string, "Adwaita");
        EXPECT_EQ(values["Gtk/Colour"].color[3], 0xFFFF);
        EXPECT_EQ(values.size(), 4u);
    }
}

TEST(DesktopScale, DamagedXSettingsBlobsAreRefusedWithoutReadingPastThem) {
    const std::vector<uint8_t> blob =
        XSettingsBlob(false).Integer("Gdk/WindowScalingFactor", 2).String("Net/ThemeName", "Adwaita").Bytes();
    // Every cut short of the whole blob fails; what came before the cut is kept.
    for (size_t cut = 0; cut < blob.size(); ++cut) {
        std::vector<uint8_t> part(blob.begin(), blob.begin() + long(cut));
        std::map<std::string, XSetting> values;
        EXPECT_FALSE(ParseXSettings(part.data(), part.size(), values)) << cut;
        if (cut >= 48) EXPECT_EQ(values["Gdk/WindowScalingFactor"].integer, 2) << cut;
    }
    // A string that claims more bytes than there are, and an unknown type.
    std::vector<uint8_t> lying = XSettingsBlob(false).String("A", "xyz").Bytes();
    lying[24] = 0xFF;  // the string's length
    lying[25] = 0xFF;
    std::map<std::string, XSetting> values;
    EXPECT_FALSE(ParseXSettings(lying.data(), lying.size(), values));
    std::vector<uint8_t> unknown = XSettingsBlob(false).Integer("A", 1).Bytes();
    unknown[12] = 7;
    EXPECT_FALSE(ParseXSettings(unknown.data(), unknown.size(), values));
    // A byte order that is neither.
    std::vector<uint8_t> order = XSettingsBlob(false).Bytes();
    order[0] = 2;
    EXPECT_FALSE(ParseXSettings(order.data(), order.size(), values));
}

TEST(DesktopScale, XftDpiFromTheResourceDatabase) {
    EXPECT_DOUBLE_EQ(ParseXftDpi("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192.0);
    EXPECT_DOUBLE_EQ(ParseXftDpi("  Xft.dpi :  120.5"), 120.5);
    // Other resources that merely end in dpi, and values that are no number.
    EXPECT_DOUBLE_EQ(ParseXftDpi("*dpi: 144\nXTerm.dpi: 200\n"), 0.0);
    EXPECT_DOUBLE_EQ(ParseXftDpi("Xft.dpi: big\n"), 0.0);
    EXPECT_DOUBLE_EQ(ParseXftDpi(""), 0.0);
}
