#include "device/DeviceCatalog.h"

#include <cerrno>
#include <utility>

#include "exchange/XmlDocument.h"
#include "base/TextConv.h"
#include "base/FileUtil.h"
#include "base/ButtonFunction.h"
#include "base/Folders.h"
#include "base/ParseInt.h"
#include "base/Trace.h"

namespace {

// Label anchors are points of the unscaled button map, well inside this.
constexpr int kMaxAnchorCoordinate = 4096;
constexpr int kMaxUsbId = 0xFFFF;

int IntAttribute(const XmlDocument& xml, std::wstring_view name, int base = 10) {
    return ParseInt(xml.GetAttribute(name), base);
}

// Text before the first '#' and the rest after it (the whole text and nothing when
// there is no '#').
std::pair<std::wstring_view, std::wstring_view> SplitAtHash(std::wstring_view text) {
    size_t hash = text.find(L'#');
    if (hash == std::wstring_view::npos) return {text, {}};
    return {text.substr(0, hash), text.substr(hash + 1)};
}

// The `mode` elements of the `mouse` element the cursor stands on.
void ReadModes(XmlDocument& xml, const CatalogEntry& model, DeviceCatalog& catalog) {
    if (!xml.StepIn()) return;
    while (xml.FindNext(L"mode")) {
        CatalogEntry entry = model;
        entry.modeValue = IntAttribute(xml, L"value");
        entry.modeDesc = xml.GetAttribute(L"desc");
        entry.vid = IntAttribute(xml, L"vid", 16);
        entry.pid = IntAttribute(xml, L"pid", 16);
        entry.hidInterface = xml.GetAttribute(L"hid_interface");
        // A mode or USB id out of range could never match a device: not registered.
        if (entry.modeValue < 0 || entry.modeValue > 1 || entry.vid < 0 || entry.vid > kMaxUsbId ||
            entry.pid < 0 || entry.pid > kMaxUsbId) {
            Vantorel::Trace("catalog: mode %d %04X:%04X out of range, skipped", entry.modeValue, entry.vid,
                            entry.pid);
            continue;
        }
        catalog.modes.push_back(entry);
        catalog.supportedIds.push_back(
            SupportedId{entry.vid, entry.pid, L"", entry.deviceType, entry.modeValue});
    }
    xml.StepOut();
}

void ReadSoftware(XmlDocument& xml, SoftwareInfo& software) {
    // `caption` is part of the file but nothing shows it.
    software.version = xml.GetAttribute(L"version");
    if (!xml.StepIn()) return;
    if (xml.FindNext(L"website")) software.website = xml.GetAttribute(L"url");
    if (xml.FindNext(L"store")) software.store = xml.GetAttribute(L"url");
    if (xml.FindNext(L"upgrade")) software.upgrade = xml.GetAttribute(L"url");
    if (xml.FindNext(L"copyright")) software.copyright = xml.GetAttribute(L"info");
    xml.StepOut();
}

void ReadKeys(XmlDocument& xml, DeviceDescription& description) {
    description.keysFound = true;
    if (!xml.StepIn()) return;
    while (xml.FindNext(L"key")) {
        DescriptionButton button;
        const std::wstring nameText = xml.GetAttribute(L"name");
        button.nameId = ParseInt(nameText);
        button.keyValue = IntAttribute(xml, L"key_value");
        // The key code indexes the mouse's button map: another value is no button.
        if (button.keyValue < 0 || button.keyValue >= kButtonSlotCount) {
            Vantorel::Trace("description: key_value %d out of range, key skipped", button.keyValue);
            continue;
        }
        button.direction = IntAttribute(xml, L"direction") == 1 ? 1 : 0;
        button.line = ParseLabelAnchor(xml.GetAttribute(L"rect"));
        description.buttons.push_back(button);

        KeyRecord record;
        record.keyCode = button.keyValue;
        record.layoutValue = button.keyValue;
        record.layoutDesc = nameText;
        record.macroDesc = xml.GetAttribute(L"func_desc");
        record.macroType = IntAttribute(xml, L"func_type");
        record.macroValue = IntAttribute(xml, L"func_value");
        description.defaultButtons.push_back(record);
    }
    xml.StepOut();
}

void ReadCatalogElements(XmlDocument& xml, const std::wstring& pictureFolder, DeviceCatalog& catalog) {
    if (!xml.FindNext(L"config") || !xml.StepIn()) return;
    if (xml.FindNext(L"device") && xml.StepIn()) {
        while (xml.FindNext(L"mouse")) {
            CatalogEntry model;
            model.name = xml.GetAttribute(L"name");
            model.deviceType = IntAttribute(xml, L"device_type");
            model.deviceAttr = xml.GetAttribute(L"device_attr");
            model.picturePath = JoinPath(pictureFolder, xml.GetAttribute(L"image"));
            catalog.models.push_back(model);
            ReadModes(xml, model, catalog);
        }
        xml.StepOut();
    }
    if (xml.FindNext(L"software")) ReadSoftware(xml, catalog.software);
}

// Loads a product file; what kept it from loading goes to `problem`.
bool LoadProductFile(XmlDocument& xml, const std::wstring& path, ProductFileProblem* problem) {
    if (problem) *problem = ProductFileProblem{};
    if (const int error = CheckRegularFile(Orvix::WideToUtf8(path))) {
        if (problem) {
            problem->kind = error == ENOENT ? ProductFileProblem::Kind::Missing : ProductFileProblem::Kind::Unreadable;
            problem->path = path;
            problem->detail = DescribeFileError(error);
        }
        return false;
    }
    if (xml.LoadFile(path)) return true;
    if (problem) {
        problem->kind = ProductFileProblem::Kind::Damaged;
        problem->path = path;
        problem->detail = "it is not well-formed XML";
    }
    return false;
}

void NoteDamage(ProductFileProblem* problem, const std::wstring& path, const char* what) {
    if (!problem || *problem) return;
    problem->kind = ProductFileProblem::Kind::Damaged;
    problem->path = path;
    problem->detail = what;
}

}  // namespace

std::string ProductFileProblem::Describe() const {
    const std::string file = Orvix::WideToUtf8(path);
    switch (kind) {
        case Kind::None:
            return {};
        case Kind::Missing:
            return file + " is missing";
        case Kind::Unreadable:
            return file + " cannot be read: " + detail;
        case Kind::Damaged:
            break;
    }
    return file + " is damaged: " + detail;
}

bool ReadCatalog(const std::wstring& programFolder, const std::wstring& pictureFolder, DeviceCatalog& catalog,
                 ProductFileProblem* problem) {
    catalog = DeviceCatalog{};
    XmlDocument xml;
    const std::wstring path = JoinPath(programFolder, L"config.xml");
    // A malformed file is still searched: whatever stands in it in order is used.
    const bool wellFormed = LoadProductFile(xml, path, problem);
    ReadCatalogElements(xml, pictureFolder, catalog);
    if (catalog.models.empty()) NoteDamage(problem, path, "it lists no mouse model");
    return wellFormed;
}

const CatalogEntry* FindModel(const std::vector<CatalogEntry>& models, int deviceType) {
    for (const CatalogEntry& model : models)
        if (model.deviceType == deviceType) return &model;
    return nullptr;
}

LabelLine ParseLabelAnchor(std::wstring_view rect) {
    auto [a, rest] = SplitAtHash(rect);
    auto [b, c] = SplitAtHash(rest);
    const LabelLine line{ParseInt(a), ParseInt(b), ParseInt(c)};
    for (int value : {line.x1, line.x2, line.y}) {
        if (value < 0 || value > kMaxAnchorCoordinate) return LabelLine{};  // as a key without rect
    }
    return line;
}

bool ReadDeviceDescription(const std::wstring& programFolder, const std::wstring& deviceAttr,
                           DeviceDescription& description, ProductFileProblem* problem) {
    description = DeviceDescription{};
    // device_attr comes from the catalog: a separator or ".." must not reach
    // a file outside the description folder.
    if (problem) *problem = ProductFileProblem{};
    if (!IsPlainFileStem(deviceAttr)) return false;
    XmlDocument xml;
    const std::wstring path = JoinPath(JoinPath(programFolder, L"device"), deviceAttr + L".xml");
    const bool wellFormed = LoadProductFile(xml, path, problem);
    if (!xml.FindNext(L"mouse") || !xml.StepIn()) {
        if (wellFormed) NoteDamage(problem, path, "it describes no mouse");
        return wellFormed;
    }
    if (xml.FindNext(L"image_file")) description.mouseImage = L"device/" + xml.GetAttribute(L"mouse_img");
    if (xml.FindNext(L"menu")) description.lightingPage = IntAttribute(xml, L"light") == 1;
    if (xml.FindNext(L"mouse_key")) ReadKeys(xml, description);
    return wellFormed;
}
