#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <tuple>

#include "device/DeviceCatalog.h"
#include "base/TextConv.h"
#include "tests/support/TempFolder.h"

namespace {

std::string Catalog(const std::string& models, const std::string& software) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<config>\r\n<device>\r\n" + models +
           "</device>\r\n" + software + "</config>\r\n";
}

const char* const kTwoModels =
    "<mouse name=\"First\" device_type=\"101\" device_attr=\"first\" image=\"first.png\">\r\n"
    "  <mode value=\"0\" desc=\"cable\" vid=\"7768\" pid=\"6D35\" "
    "hid_interface=\"VID_7768&amp;PID_6D35&amp;MI_01\"/>\r\n"
    "  <mode value=\"1\" desc=\"receiver\" vid=\"7768\" pid=\"6d36\"/>\r\n"
    "</mouse>\r\n"
    "<mouse name=\"Twin\" device_type=\"101\" device_attr=\"twin\" image=\"twin.png\">\r\n"
    "  <mode value=\"0\" vid=\"1234\" pid=\"zz\"/>\r\n"
    "</mouse>\r\n";

}  // namespace

TEST(DeviceCatalog, ModelsModesAndSupportedIdsInFileOrder) {
    TempFolder folder;
    folder.Write("config.xml", Catalog(kTwoModels, ""));
    DeviceCatalog catalog;
    EXPECT_TRUE(ReadCatalog(folder.Folder(), L"/skins/theme1/device/", catalog));

    ASSERT_EQ(catalog.models.size(), 2u);
    EXPECT_EQ(catalog.models[0].name, L"First");
    EXPECT_EQ(catalog.models[0].deviceAttr, L"first");
    EXPECT_EQ(catalog.models[0].picturePath, L"/skins/theme1/device/first.png");
    ASSERT_EQ(catalog.modes.size(), 3u);
    EXPECT_EQ(catalog.modes[0].name, L"First");  // a copy of its model's entry
    EXPECT_EQ(catalog.modes[0].vid, 0x7768);
    EXPECT_EQ(catalog.modes[0].pid, 0x6D35);
    EXPECT_EQ(catalog.modes[0].modeDesc, L"cable");
    EXPECT_EQ(catalog.modes[0].hidInterface, L"VID_7768&PID_6D35&MI_01");
    EXPECT_EQ(catalog.modes[1].pid, 0x6D36);
    EXPECT_EQ(catalog.modes[1].modeValue, 1);
    EXPECT_EQ(catalog.modes[2].pid, 0);  // malformed hexadecimal reads as 0

    ASSERT_EQ(catalog.supportedIds.size(), 3u);
    const SupportedId& row = catalog.supportedIds[1];
    EXPECT_EQ(row.vid, 0x7768);
    EXPECT_EQ(row.pid, 0x6D36);
    EXPECT_EQ(row.name, L"");
    EXPECT_EQ(row.deviceType, 101);
    EXPECT_EQ(row.deviceMode, 1);
}

TEST(DeviceCatalog, FirstModelOfADeviceTypeWinsWhileBothAreListed) {
    TempFolder folder;
    folder.Write("config.xml", Catalog(kTwoModels, ""));
    DeviceCatalog catalog;
    ReadCatalog(folder.Folder(), L"", catalog);
    ASSERT_EQ(catalog.models.size(), 2u);
    const CatalogEntry* model = FindModel(catalog.models, 101);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->deviceAttr, L"first");
    EXPECT_EQ(FindModel(catalog.models, 102), nullptr);
}

TEST(DeviceCatalog, SoftwareElementsAreFoundOnlyInTheirOrder) {
    TempFolder folder;
    folder.Write(
        "config.xml",
        Catalog("",
                "<software caption=\"C\" version=\"1.2.3\">\r\n<store url=\"s\"/>\r\n<website url=\"w\"/>\r\n"
                "<upgrade url=\"u\"/>\r\n<copyright info=\"&#169; V\"/>\r\n</software>\r\n"));
    DeviceCatalog catalog;
    ReadCatalog(folder.Folder(), L"", catalog);
    EXPECT_EQ(catalog.software.version, L"1.2.3");
    EXPECT_EQ(catalog.software.website, L"w");
    EXPECT_EQ(catalog.software.store, L"");  // stands before website
    EXPECT_EQ(catalog.software.upgrade, L"u");
    EXPECT_EQ(catalog.software.copyright, L"\u00a9 V");
}

TEST(DeviceCatalog, MissingOrMalformedFilesYieldWhatCanBeFound) {
    TempFolder folder;
    DeviceCatalog catalog;
    catalog.models.resize(1);
    EXPECT_FALSE(ReadCatalog(folder.Folder(), L"", catalog));
    EXPECT_TRUE(catalog.models.empty());
    EXPECT_TRUE(catalog.supportedIds.empty());

    std::string truncated = Catalog(kTwoModels, "");
    truncated.resize(truncated.find("<mouse name=\"Twin\""));
    folder.Write("config.xml", truncated);
    EXPECT_FALSE(ReadCatalog(folder.Folder(), L"", catalog));
    EXPECT_EQ(catalog.models.size(), 1u);
    EXPECT_EQ(catalog.modes.size(), 2u);
}

TEST(DeviceCatalog, WithoutStoredDeviceTypeTheDefaultModelIsLoaded) {
    EXPECT_EQ(EffectiveDeviceType(0), 101);
    EXPECT_EQ(EffectiveDeviceType(-3), 101);
    EXPECT_EQ(EffectiveDeviceType(102), 102);

    TempFolder folder;
    folder.Write("config.xml",
                 Catalog("<mouse name=\"Other\" device_type=\"102\" device_attr=\"other\"/>\r\n", ""));
    DeviceCatalog catalog;
    ReadCatalog(folder.Folder(), L"", catalog);
    // No model of type 101: the description's name is empty and no file is found.
    EXPECT_EQ(FindModel(catalog.models, EffectiveDeviceType(0)), nullptr);
    DeviceDescription description;
    description.keysFound = true;
    ReadDeviceDescription(folder.Folder(), L"", description);
    EXPECT_FALSE(description.mouseImage.has_value());
    EXPECT_FALSE(description.lightingPage.has_value());
    EXPECT_FALSE(description.keysFound);
}

TEST(DeviceCatalog, LabelAnchorGivesAHorizontalLine) {
    LabelLine line = ParseLabelAnchor(L"120#340#56");
    EXPECT_EQ(std::tuple(line.x1, line.x2, line.y), std::tuple(120, 340, 56));
    line = ParseLabelAnchor(L"7#8");
    EXPECT_EQ(std::tuple(line.x1, line.x2, line.y), std::tuple(7, 8, 0));
    // Numbers that would overflow the label's rectangle are refused whole.
    for (const wchar_t* bad : {L"-2147483648#0#0", L"0#2147483647#5", L"10#20#-1", L"1#2#99999999999"}) {
        line = ParseLabelAnchor(bad);
        EXPECT_EQ(std::tuple(line.x1, line.x2, line.y), std::tuple(0, 0, 0)) << Orvix::WideToUtf8(bad);
    }
}

TEST(DeviceCatalog, NumbersOutOfRangeAreCheckedWhenRead) {
    TempFolder folder;
    folder.Write("config.xml", Catalog("<mouse name=\"M\" device_type=\"101\" device_attr=\"m\">\r\n"
                                       "  <mode value=\"0\" vid=\"3A5C\" pid=\"0108\"/>\r\n"
                                       "  <mode value=\"7\" vid=\"3A5C\" pid=\"0109\"/>\r\n"
                                       "  <mode value=\"1\" vid=\"123456\" pid=\"0109\"/>\r\n"
                                       "  <mode value=\"1\" vid=\"3A5C\" pid=\"-1\"/>\r\n</mouse>\r\n",
                                       ""));
    DeviceCatalog catalog;
    ReadCatalog(folder.Folder(), L"/d/", catalog);
    ASSERT_EQ(catalog.modes.size(), 1u);
    EXPECT_EQ(catalog.supportedIds.size(), 1u);
    EXPECT_EQ(catalog.modes[0].pid, 0x0108);

    folder.Write("device/m.xml",
                 "<mouse><mouse_key>"
                 "<key name=\"300\" key_value=\"9\" rect=\"1#2#3\"/>"
                 "<key name=\"301\" key_value=\"-1\"/>"
                 "<key name=\"302\" key_value=\"8\" direction=\"-2147483648\" rect=\"-2147483648#0#0\"/>"
                 "</mouse_key></mouse>");
    DeviceDescription description;
    ReadDeviceDescription(folder.Folder(), L"m", description);
    ASSERT_EQ(description.buttons.size(), 1u);
    ASSERT_EQ(description.defaultButtons.size(), 1u);
    EXPECT_EQ(description.buttons[0].keyValue, 8);
    EXPECT_EQ(description.buttons[0].direction, 0);
    EXPECT_EQ(description.buttons[0].line.x1, 0);
}

TEST(DeviceCatalog, ASpecialFileInPlaceOfTheCatalogIsRefusedAtOnce) {
    TempFolder folder;
    ASSERT_EQ(mkfifo(Orvix::WideToUtf8(folder.File("config.xml")).c_str(), 0600), 0);
    std::filesystem::create_directories(Orvix::WideToUtf8(folder.File("device/m.xml")));
    const auto start = std::chrono::steady_clock::now();
    DeviceCatalog catalog;
    EXPECT_FALSE(ReadCatalog(folder.Folder(), L"/d/", catalog));
    EXPECT_TRUE(catalog.models.empty());
    DeviceDescription description;
    EXPECT_FALSE(ReadDeviceDescription(folder.Folder(), L"m", description));
    EXPECT_FALSE(description.keysFound);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(DeviceDescription, ButtonsBecomeLabelsAndDefaultRecords) {
    TempFolder folder;
    folder.Write("device/m1.xml",
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<mouse>\r\n"
                 "<image_file mouse_img=\"m1.png\"/>\r\n<menu light=\"1\"/>\r\n<mouse_key>\r\n"
                 "<key name=\"300\" key_value=\"0\" direction=\"0\" rect=\"120#340#56\" func_desc=\"150\" "
                 "func_type=\"1\" func_value=\"1\"/>\r\n"
                 "<key name=\"307\" key_value=\"7\" direction=\"1\"/>\r\n"
                 "</mouse_key>\r\n</mouse>\r\n");
    DeviceDescription description;
    EXPECT_TRUE(ReadDeviceDescription(folder.Folder(), L"m1", description));
    EXPECT_EQ(description.mouseImage.value_or(L""), L"device/m1.png");
    EXPECT_EQ(description.lightingPage, std::optional<bool>(true));
    ASSERT_TRUE(description.keysFound);
    ASSERT_EQ(description.buttons.size(), 2u);
    EXPECT_EQ(description.buttons[0].nameId, 300);
    EXPECT_EQ(description.buttons[0].line.x2, 340);
    EXPECT_EQ(description.buttons[1].direction, 1);
    EXPECT_EQ(description.buttons[1].line.x1 + description.buttons[1].line.y, 0);  // no rect: (0, 0)

    ASSERT_EQ(description.defaultButtons.size(), 2u);
    const KeyRecord& left = description.defaultButtons[0];
    EXPECT_EQ(left.keyCode, 0);
    EXPECT_EQ(left.layoutValue, 0);
    EXPECT_EQ(left.layoutDesc, L"300");
    EXPECT_EQ(left.macroType, 1);
    EXPECT_EQ(left.macroValue, 1);
    EXPECT_EQ(left.macroDesc, L"150");
    EXPECT_EQ(left.profile + left.fnLayer + left.macroValue2 + left.macroValue3, 0);
    EXPECT_EQ(description.defaultButtons[1].keyCode, 7);
}

TEST(DeviceDescription, ElementsOutOfOrderAreMissed) {
    TempFolder folder;
    folder.Write("device/m2.xml",
                 "<mouse><menu light=\"2\"/><image_file mouse_img=\"m2.png\"/><mouse_key/></mouse>");
    DeviceDescription description;
    ReadDeviceDescription(folder.Folder(), L"m2", description);
    EXPECT_TRUE(description.mouseImage.has_value());
    EXPECT_FALSE(description.lightingPage.has_value());  // stands before image_file
    EXPECT_TRUE(description.keysFound);
    EXPECT_TRUE(description.buttons.empty());

    folder.Write("device/m3.xml", "<mouse><menu light=\"2\"/></mouse>");
    ReadDeviceDescription(folder.Folder(), L"m3", description);
    EXPECT_EQ(description.lightingPage, std::optional<bool>(false));  // only 1 shows the page
    EXPECT_FALSE(description.mouseImage.has_value());
}

TEST(DeviceDescription, ANameThatLeavesTheDescriptionFolderIsNotRead) {
    TempFolder folder;
    const char* kDescription = "<mouse><image_file mouse_img=\"x.png\"/><menu light=\"1\"/></mouse>";
    folder.Write("outside.xml", kDescription);
    folder.Write("device/sub/inner.xml", kDescription);
    for (const wchar_t* attr : {L"../outside", L"sub/inner", L"sub\\inner", L".."}) {
        DeviceDescription description;
        EXPECT_FALSE(ReadDeviceDescription(folder.Folder(), attr, description)) << Orvix::WideToUtf8(attr);
        EXPECT_FALSE(description.mouseImage.has_value()) << Orvix::WideToUtf8(attr);
        EXPECT_FALSE(description.lightingPage.has_value()) << Orvix::WideToUtf8(attr);
    }
}
