#pragma once
// The device catalog ("config.xml": models, their USB identities and the about
// strings) and the device description of one model ("device/<device_attr>.xml":
// picture, lighting page, buttons with their default functions). Pure readers:
// the main window puts what they return into its widgets, the device manager and
// the key page.
//
// Elements are searched forwards in a fixed order, so an element that stands
// before one already found at the same level is missed (and files rely on that
// order).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/SupportedId.h"
#include "base/KeyRecord.h"

// Device type used when none is stored (or a value below 1 is).
constexpr int kDefaultDeviceType = 101;

// A model (one `mouse` element), or one USB identity of it (a copy of the model's
// entry with the `mode` fields filled in).
struct CatalogEntry {
    std::wstring name;
    int deviceType = 0;
    std::wstring deviceAttr;   // file stem of the description and of the database
    std::wstring picturePath;  // device picture folder + `image`
    int modeValue = 0;         // 0 = cable, 1 = receiver
    std::wstring modeDesc;
    int vid = 0;
    int pid = 0;
    std::wstring hidInterface;  // fragment of the upper-case interface path
};

struct SoftwareInfo {
    std::wstring version;
    std::wstring website;
    std::wstring store;
    std::wstring upgrade;
    std::wstring copyright;
};

struct DeviceCatalog {
    std::vector<CatalogEntry> models;       // file order
    std::vector<CatalogEntry> modes;        // file order, walked by the hot-plug handler
    std::vector<SupportedId> supportedIds;  // one per mode, for the device manager
    SoftwareInfo software;
};

// Why a file the program ships with ("config.xml", a description) could not be
// used as it is. The fix for each is the same: install the program again.
struct ProductFileProblem {
    enum class Kind { None, Missing, Unreadable, Damaged };
    Kind kind = Kind::None;
    std::wstring path;
    std::string detail;  // in words: why it cannot be read, or what is wrong in it

    explicit operator bool() const { return kind != Kind::None; }
    // "<path> is missing" and the like, for a command line.
    std::string Describe() const;
};

// Reads "config.xml" in the program folder; `pictureFolder` is the device picture
// folder (skin folder + "device/"). A missing file yields an empty catalog; a
// malformed one yields whatever can be found. Returns whether the file loaded well
// formed. `problem` says what was wrong with the file: missing, unreadable, not
// well formed or without any model.
bool ReadCatalog(const std::wstring& programFolder, const std::wstring& pictureFolder, DeviceCatalog& catalog,
                 ProductFileProblem* problem = nullptr);

// The device type to select for the stored "DeviceType" value.
inline int EffectiveDeviceType(int stored) {
    return stored < 1 ? kDefaultDeviceType : stored;
}

// The first model of that device type (the one that wins when several share it);
// nullptr when there is none.
const CatalogEntry* FindModel(const std::vector<CatalogEntry>& models, int deviceType);

// A button label line in the button map, from point (x1, y) to point (x2, y).
struct LabelLine {
    int x1 = 0;
    int x2 = 0;
    int y = 0;
};

// "A#B#C": the line from (A, C) to (B, C). Missing parts read as 0; a number
// outside 0 to 4096 makes the whole anchor (0, 0), as a missing rect does.
LabelLine ParseLabelAnchor(std::wstring_view rect);

struct DescriptionButton {
    int nameId = 0;     // language text of the label
    int keyValue = 0;   // key code
    int direction = 0;  // 1 = label right of the line, otherwise left
    LabelLine line;
};

// What a description file holds. Parts whose element is missing stay unset, so the
// caller leaves that part of the window as it was.
struct DeviceDescription {
    std::optional<std::wstring> mouseImage;  // "device/" + `mouse_img`, relative to the skin folder
    std::optional<bool> lightingPage;
    bool keysFound = false;
    std::vector<DescriptionButton> buttons;
    std::vector<KeyRecord> defaultButtons;  // one per button, same order
};

// Reads "device/<deviceAttr>.xml" in the program folder into `description`
// (a key whose key_value is no button slot, 0 to 8, is skipped; a direction
// other than 1 reads as 0)
// (replacing its contents). A missing file leaves every part unset. Returns whether
// the file loaded well formed. `problem` says what was wrong with the file:
// missing, unreadable, not well formed or without a mouse element.
bool ReadDeviceDescription(const std::wstring& programFolder, const std::wstring& deviceAttr,
                           DeviceDescription& description, ProductFileProblem* problem = nullptr);
