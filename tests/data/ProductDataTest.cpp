// Checks the product data shipped in data/: the catalog, the device descriptions
// and the button names they take from the language files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <span>
#include <sstream>
#include <tuple>

#include "device/DeviceCatalog.h"
#include "exchange/XmlDocument.h"
#include "base/TextConv.h"

namespace {

const std::filesystem::path kData = std::filesystem::path(VANTOREL_SOURCE_DIR) / "data";

std::wstring DataFolder() {
    return Orvix::Utf8ToWide(kData.string() + "/");
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::filesystem::path> ShippedXmlFiles() {
    std::vector<std::filesystem::path> files{kData / "config.xml"};
    for (const auto& entry : std::filesystem::directory_iterator(kData / "device"))
        if (entry.path().extension() == ".xml") files.push_back(entry.path());
    return files;
}

// Calls `visit` with the cursor on every element reached by the path of names.
void ForEachElement(XmlDocument& xml, std::span<const wchar_t* const> path,
                    const std::function<void(XmlDocument&)>& visit) {
    while (xml.FindNext(path[0])) {
        if (path.size() == 1) {
            visit(xml);
        } else if (xml.StepIn()) {
            ForEachElement(xml, path.subspan(1), visit);
            xml.StepOut();
        }
    }
}

void ForEachElement(const std::filesystem::path& file, std::initializer_list<const wchar_t*> path,
                    const std::function<void(XmlDocument&)>& visit) {
    XmlDocument xml;
    EXPECT_TRUE(xml.LoadFile(Orvix::Utf8ToWide(file.string()))) << file;
    ForEachElement(xml, std::span(path.begin(), path.size()), visit);
}

// Text made of `count` characters from `allowed` (any number when count is 0).
bool Consists(std::wstring_view text, std::wstring_view allowed, size_t count = 0) {
    return !text.empty() && (count == 0 || text.size() == count) &&
           text.find_first_not_of(allowed) == std::wstring_view::npos;
}

// A decimal id as a language file keys it: digits without a leading zero.
bool IsTextId(std::wstring_view text) {
    return Consists(text, L"0123456789") && text[0] != L'0';
}

// "A#B#C" with three decimal numbers.
bool IsAnchor(std::wstring_view text) {
    size_t first = text.find(L'#'), second = text.find(L'#', first + 1);
    return first != std::wstring_view::npos && second != std::wstring_view::npos &&
           Consists(text.substr(0, first), L"0123456789") &&
           Consists(text.substr(first + 1, second - first - 1), L"0123456789") &&
           Consists(text.substr(second + 1), L"0123456789");
}

// The text ids of section [LAN] of a language file (UTF-16 with a mark, or UTF-8).
std::set<int> LanguageIds(const std::filesystem::path& file) {
    std::string bytes = ReadBytes(file);
    std::wstring text;
    if (bytes.size() >= 2 && (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")) {
        bool bigEndian = bytes[0] == '\xFE';
        std::u16string units;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            unsigned char a = bytes[i], b = bytes[i + 1];
            units.push_back(static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a));
        }
        text = Orvix::Utf16ToWide(units);
    } else {
        text = Orvix::Utf8ToWide(bytes.substr(bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0));
    }
    std::set<int> ids;
    std::wistringstream lines(text);
    std::wstring line;
    bool inLan = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty() && line.front() == L'[') {
            inLan = line == L"[LAN]";
            continue;
        }
        std::wstring key = line.substr(0, line.find(L'='));
        while (!key.empty() && (key.back() == L' ' || key.back() == L'\t')) key.pop_back();
        if (inLan && line.find(L'=') != std::wstring::npos && IsTextId(key)) ids.insert(std::stoi(key));
    }
    return ids;
}

DeviceCatalog ShippedCatalog() {
    DeviceCatalog catalog;
    EXPECT_TRUE(ReadCatalog(DataFolder(), L"", catalog));
    return catalog;
}

DeviceDescription ShippedDescription(const CatalogEntry& model) {
    DeviceDescription description;
    EXPECT_TRUE(ReadDeviceDescription(DataFolder(), model.deviceAttr, description)) << model.deviceAttr;
    return description;
}

}  // namespace

TEST(ProductData, EveryCatalogAndDescriptionFileIsWellFormed) {
    for (const auto& file : ShippedXmlFiles()) {
        XmlDocument xml;
        EXPECT_TRUE(xml.LoadFile(Orvix::Utf8ToWide(file.string())))
            << file << ": " << Orvix::WideToUtf8(xml.GetResult());
        EXPECT_EQ(ReadBytes(file).rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << file;
    }
}

TEST(ProductData, CatalogIdentitiesAreUniqueAndHexadecimal) {
    ForEachElement(kData / "config.xml", {L"config", L"device", L"mouse", L"mode"}, [](XmlDocument& mode) {
        EXPECT_TRUE(Consists(mode.GetAttribute(L"vid"), L"0123456789ABCDEF", 4))
            << Orvix::WideToUtf8(mode.GetAttribute(L"vid"));
        EXPECT_TRUE(Consists(mode.GetAttribute(L"pid"), L"0123456789ABCDEF", 4))
            << Orvix::WideToUtf8(mode.GetAttribute(L"pid"));
    });

    DeviceCatalog catalog = ShippedCatalog();
    ASSERT_FALSE(catalog.models.empty());
    std::set<int> types;
    std::set<std::wstring> attrs;
    for (const CatalogEntry& model : catalog.models) {
        EXPECT_GT(model.deviceType, 0);
        EXPECT_TRUE(types.insert(model.deviceType).second) << "device_type " << model.deviceType << " twice";
        EXPECT_TRUE(attrs.insert(model.deviceAttr).second);
        EXPECT_TRUE(
            std::filesystem::exists(kData / "device" / (Orvix::WideToUtf8(model.deviceAttr) + ".xml")));
    }
    std::set<std::pair<int, int>> identities;
    std::map<int, std::set<int>> modesOfType;
    for (const CatalogEntry& mode : catalog.modes) {
        EXPECT_TRUE(identities.insert({mode.vid, mode.pid}).second)
            << std::hex << mode.vid << ":" << mode.pid;
        EXPECT_TRUE(modesOfType[mode.deviceType].insert(mode.modeValue).second);
        EXPECT_EQ(mode.hidInterface, Orvix::FormatW(L"VID_%04X&PID_%04X&MI_01", mode.vid, mode.pid));
    }
    for (int type : types) EXPECT_EQ(modesOfType[type], (std::set<int>{0, 1})) << "device_type " << type;

    EXPECT_EQ(catalog.software.version, L"1.0.0");
    EXPECT_FALSE(catalog.software.website.empty());
    EXPECT_FALSE(catalog.software.store.empty());
    EXPECT_FALSE(catalog.software.upgrade.empty());
    EXPECT_FALSE(catalog.software.copyright.empty());
}

// The simulated mouse presents these identities; both sides must agree.
TEST(ProductData, ShippedModelsAreTheOnesTheSimulatedMouseKnows) {
    const struct {
        int type, cablePid, receiverPid;
        size_t buttons;
        bool lighting;
    } expected[] = {{101, 0x0108, 0x0118, 8, true}, {102, 0x0106, 0x0116, 6, false}};
    DeviceCatalog catalog = ShippedCatalog();
    ASSERT_EQ(catalog.supportedIds.size(), 2 * std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const auto& e = expected[i];
        const SupportedId& cable = catalog.supportedIds[2 * i];
        const SupportedId& receiver = catalog.supportedIds[2 * i + 1];
        EXPECT_EQ(std::tuple(cable.vid, cable.pid, cable.deviceType, cable.deviceMode),
                  std::tuple(0x3A5C, e.cablePid, e.type, 0));
        EXPECT_EQ(std::tuple(receiver.vid, receiver.pid, receiver.deviceType, receiver.deviceMode),
                  std::tuple(0x3A5C, e.receiverPid, e.type, 1));
        DeviceDescription description = ShippedDescription(catalog.models[i]);
        EXPECT_EQ(description.buttons.size(), e.buttons);
        EXPECT_EQ(description.lightingPage, std::optional<bool>(e.lighting));
    }
}

TEST(ProductData, DescriptionsHaveUniqueButtonsWithAnchors) {
    for (const CatalogEntry& model : ShippedCatalog().models) {
        SCOPED_TRACE(Orvix::WideToUtf8(model.deviceAttr));
        const auto file = kData / "device" / (Orvix::WideToUtf8(model.deviceAttr) + ".xml");
        ForEachElement(file, {L"mouse", L"mouse_key", L"key"}, [](XmlDocument& key) {
            EXPECT_TRUE(IsAnchor(key.GetAttribute(L"rect")));
            EXPECT_TRUE(Consists(key.GetAttribute(L"direction"), L"01", 1));
            EXPECT_TRUE(IsTextId(key.GetAttribute(L"func_desc")));
        });
        DeviceDescription description = ShippedDescription(model);
        ASSERT_TRUE(description.keysFound);
        ASSERT_FALSE(description.buttons.empty());
        // Item 0 of the button map is the one button that cannot be reassigned: the left button.
        EXPECT_EQ(description.buttons[0].keyValue, 0);
        std::set<int> keyCodes, names;
        for (const DescriptionButton& button : description.buttons) {
            EXPECT_TRUE(keyCodes.insert(button.keyValue).second)
                << "key_value " << button.keyValue << " twice";
            EXPECT_TRUE(names.insert(button.nameId).second) << "name " << button.nameId << " twice";
            EXPECT_GE(button.keyValue, 0);
            EXPECT_LE(button.keyValue, 8);
            EXPECT_GE(button.nameId, 300);
            EXPECT_LE(button.nameId, 349);
            EXPECT_LT(button.line.x1, button.line.x2);
        }
        for (const KeyRecord& record : description.defaultButtons) EXPECT_EQ(record.macroType, 1);
    }
}

TEST(ProductData, ButtonTextsExistInBothLanguageFiles) {
    for (int lcid : {1033, 1036}) {
        const std::set<int> ids = LanguageIds(kData / "language" / (std::to_string(lcid) + ".lan"));
        for (const CatalogEntry& model : ShippedCatalog().models) {
            DeviceDescription description = ShippedDescription(model);
            for (size_t i = 0; i < description.buttons.size(); ++i) {
                EXPECT_TRUE(ids.count(description.buttons[i].nameId))
                    << lcid << ": name " << description.buttons[i].nameId;
                int caption = std::stoi(description.defaultButtons[i].macroDesc);
                EXPECT_TRUE(ids.count(caption)) << lcid << ": func_desc " << caption;
            }
        }
    }
}
