#include "exchange/ExchangeFiles.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "base/LanguageText.h"
#include "exchange/XmlDocument.h"
#include "features/AppProfileRules.h"
#include "base/ButtonFunction.h"
#include "base/TextConv.h"
#include "base/ParseInt.h"
#include "base/Trace.h"
#include "protocol/MacroImage.h"
#include "storage/ConfigDefaults.h"
#include "storage/DataStore.h"

namespace {

const wchar_t kDeclaration[] = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

constexpr int32_t kMaxDelayType = 2;  // 0 no timing, 1 recorded, 2 fixed
// Event delays and DPI values travel as 16 bits, the other settings as one byte.
constexpr int32_t kMax16 = 0xFFFF;
constexpr int32_t kMaxByte = 0xFF;
constexpr int32_t kMaxColour = 0xFFFFFF;
constexpr int32_t kLightModes = 7;      // modes 0 to 6
constexpr int32_t kMaxPlayType = 3;     // the four play modes
constexpr int32_t kMaxPlayTimes = 999;  // three digits, as the key page takes them

// A setting exchanged as a number; its range is the one the store keeps it in.
struct Setting {
    const wchar_t* name;  // element or attribute of the file
    const wchar_t* key;   // configuration key
};

// Attributes of Mouse_DPI.
const Setting kDpiSettings[] = {
    {L"dpi_flag", L"dpi_flag"},
    {L"dpi_index", L"dpi_index"},
    {L"dpi_count", L"dpi_count"},
};
// Elements of Mouse, in file order, each with attribute value. The key
// "e-sports_flag" itself is not exchanged: its element carries "highspeed_mode".
const Setting kMouseSettings[] = {
    {L"button_respondtime", L"button_respondtime"},
    {L"report_rate", L"report_rate"},
    {L"sensor_flag", L"sensor_flag"},
    {L"liftoff_height", L"liftoff_height"},
    {L"scroll_flag", L"scroll_flag"},
    {L"e-sports_flag", L"highspeed_mode"},
    {L"leftbtn_lock", L"leftbtn_lock"},
};
// DPI1 to DPI5 carry levels 0 to 4; levels 5 and 6 stay out of the files.
constexpr int kExchangedDpiLevels = 5;

std::wstring DpiElement(int level) {
    return L"DPI" + std::to_wstring(level + 1);
}
std::wstring DpiValueKey(int level) {
    return Orvix::FormatW(L"dpi_group%d_value", level);
}
std::wstring DpiColourKey(int level) {
    return Orvix::FormatW(L"dpi_group%d_rgb", level);
}

// The numeric attributes of each kind of element, shared by export and import
// so that both use the same names in the same order.
using NumberFields = std::vector<std::pair<const wchar_t*, int32_t*>>;

NumberFields MacroInfoFields(MacroData& macro) {
    return {{L"macro_type", &macro.playType},
            {L"play_times", &macro.playTimes},
            {L"delay_type", &macro.delayType},
            {L"delay_time", &macro.delayTime}};
}
NumberFields EventFields(MacroEvent& event) {
    return {{L"index", &event.recordIndex},
            {L"type", &event.type},
            {L"value", &event.value},
            {L"timestamp", &event.delayTime}};
}
NumberFields KeyFields(KeyRecord& key) {
    return {{L"key_code", &key.keyCode},
            {L"macro_type", &key.macroType},
            {L"macro_value", &key.macroValue},
            {L"macro_value2", &key.macroValue2},
            {L"macro_value3", &key.macroValue3}};
}
NumberFields LightFields(LightData& light) {
    return {{L"light_mode", &light.mode},       {L"brightness", &light.brightness},
            {L"speed", &light.speed},           {L"direction", &light.direction},
            {L"colorful", &light.colorful},     {L"colorindex", &light.colorIndex},
            {L"color_value", &light.colorValue}};
}

// Holds the store lock so that an export reads one consistent state.
class StoreLock {
  public:
    explicit StoreLock(DataStore& store) : m_store(store) { m_store.Lock(); }
    ~StoreLock() { m_store.Unlock(); }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

  private:
    DataStore& m_store;
};

// ---- reading ----

bool ReadNumber(const XmlDocument& xml, const wchar_t* name, int32_t& value) {
    return ParseDecimal(xml.GetAttribute(name), value);
}

bool InRange(int32_t value, int32_t min, int32_t max) {
    return value >= min && value <= max;
}

// The entries of a file that cannot be stored, named as the file names them.
class BadEntries {
  public:
    void Add(const std::wstring& where, const std::wstring& what) { m_list.push_back(where + L": " + what); }
    bool Empty() const { return m_list.empty(); }
    std::vector<std::wstring> Take() { return std::move(m_list); }

  private:
    std::vector<std::wstring> m_list;
};

std::wstring Item(const wchar_t* list, size_t number) {
    return std::wstring(list) + L" item " + std::to_wstring(number);
}

// What is wrong with an entry, in the user's language: the language text with
// its placeholders ({attribute}, {min}, ...) filled.
std::wstring Say(int textId, std::initializer_list<std::pair<std::wstring_view, std::wstring>> fills = {}) {
    std::wstring text = GetLanguageText(L"LAN", textId);
    for (const auto& [name, value] : fills) {
        const std::wstring placeholder = L"{" + std::wstring(name) + L"}";
        for (size_t at = text.find(placeholder); at != std::wstring::npos; at = text.find(placeholder, at + value.size()))
            text.replace(at, placeholder.size(), value);
    }
    return text;
}
constexpr int kSaysNotANumber = 1409;
constexpr int kSaysNotAButton = 1410;
constexpr int kSaysNoFunctionType = 1411;
constexpr int kSaysNoSuchFunction = 1412;
constexpr int kSaysNoSuchMacro = 1413;
constexpr int kSaysNoWebAddress = 1414;
constexpr int kSaysNoProgramPath = 1415;
constexpr int kSaysNoText = 1416;
constexpr int kSaysNoLightingMode = 1417;
constexpr int kSaysValueOutOfRange = 1418;
constexpr int kSaysNotInRange = 1419;
constexpr int kSaysNotInSteps = 1420;
constexpr int kSaysTooManyEvents = 1421;
constexpr int kSaysOutOfRange = 1422;

// `name "value"` of an attribute as the file has it, in the sentence of textId.
std::wstring Shown(const XmlDocument& xml, const wchar_t* name, int textId = kSaysOutOfRange) {
    return Say(textId, {{L"attribute", std::wstring(name) + L" \"" + xml.GetAttribute(name) + L"\""}});
}

// The first of the fields that is no number, or that is out of its range.
bool CheckNumbers(const XmlDocument& xml, const NumberFields& fields, std::wstring& bad) {
    for (const auto& [name, value] : fields) {
        if (!ReadNumber(xml, name, *value)) {
            bad = Shown(xml, name, kSaysNotANumber);
            return false;
        }
    }
    return true;
}

// Loads an exchange file whose root element is `root` and steps into it. Only
// small regular files are read: a folder, a device node or a huge file is not
// an exchange file.
bool OpenExchangeFile(XmlDocument& xml, const std::wstring& path, const wchar_t* root) {
    struct stat info {};
    if (::stat(Orvix::WideToUtf8(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<uintmax_t>(info.st_size) > kMaxExchangeFileBytes) {
        return false;
    }
    // Checked again by the reader on the file it opens, without blocking.
    return xml.LoadFile(path) && xml.FindNext(root) && xml.StepIn();
}

// ---- writing ----

void SetNumber(XmlDocument& xml, const wchar_t* name, int32_t value) {
    xml.SetAttribute(name, std::to_wstring(value));
}
void SetNumbers(XmlDocument& xml, const NumberFields& fields) {
    for (const auto& [name, value] : fields) SetNumber(xml, name, *value);
}

// The declaration and the root element, which is current.
XmlDocument NewExchangeDocument(const wchar_t* root) {
    XmlDocument xml;
    xml.SetText(kDeclaration);
    xml.AddElement(root);
    return xml;
}

// ---- macro files ----

bool ReadMacroFile(const std::wstring& path, MacroData& macro, std::vector<MacroEvent>& events, BadEntries& bad) {
    XmlDocument xml;
    if (!OpenExchangeFile(xml, path, L"macro") || !xml.FindNext(L"macroinfo")) return false;
    macro.name = xml.GetAttribute(L"macro_name") + L" Import";
    std::wstring what;
    if (!CheckNumbers(xml, MacroInfoFields(macro), what))
        bad.Add(L"macroinfo", what);
    else if (!InRange(macro.delayType, 0, kMaxDelayType))
        bad.Add(L"macroinfo", Shown(xml, L"delay_type"));
    else if (!InRange(macro.playType, 0, kMaxPlayType))
        bad.Add(L"macroinfo", Shown(xml, L"macro_type"));
    else if (!InRange(macro.playTimes, 0, kMaxPlayTimes))
        bad.Add(L"macroinfo", Shown(xml, L"play_times"));
    else if (!InRange(macro.delayTime, 0, kMax16))
        bad.Add(L"macroinfo", Shown(xml, L"delay_time"));
    if (xml.FindNext(L"macroitems") && xml.StepIn()) {
        for (size_t number = 1; xml.FindNext(L"item"); ++number) {
            // One bad event would change what the macro plays: the file is refused.
            MacroEvent event;
            const std::wstring where = Item(L"macroitems", number);
            if (number > static_cast<size_t>(kMaxMacroEvents)) {
                bad.Add(where, Say(kSaysTooManyEvents, {{L"count", std::to_wstring(kMaxMacroEvents)}}));
                break;
            }
            if (!CheckNumbers(xml, EventFields(event), what))
                bad.Add(where, what);
            else if (!InRange(event.type, kEventKeyDown, kEventImportedPair))
                bad.Add(where, Shown(xml, L"type"));
            else if (!InRange(event.value, 0, event.type == kEventImportedPair ? kMax16 : kMaxByte))
                bad.Add(where, Shown(xml, L"value"));
            else if (!InRange(event.delayTime, 0, kMax16))
                bad.Add(where, Shown(xml, L"timestamp"));
            event.desc = xml.GetAttribute(L"desc");
            events.push_back(std::move(event));
        }
    }
    // Events play in record-index order (file order among equal indices); the
    // new macro numbers them 0, 1, 2 ... as the macro page does.
    std::stable_sort(events.begin(), events.end(),
                     [](const MacroEvent& a, const MacroEvent& b) { return a.recordIndex < b.recordIndex; });
    for (size_t i = 0; i < events.size(); ++i) events[i].recordIndex = static_cast<int32_t>(i);
    return bad.Empty();
}

// ---- profile files ----

// A button assignment of a file with the parameters its function needs here.
struct ImportedKey {
    KeyRecord record;
    std::wstring otherDesc;  // launch and web: the t_key_otherdata row
    std::wstring otherParam;
    std::wstring textName;  // text: the t_text_data row
    std::wstring textContent;
};

// What an import writes, checked before the first write.
struct ProfileFile {
    std::vector<ImportedKey> keys;  // one per key code
    bool hasActiveMode = false;
    int32_t activeMode = 0;
    std::map<int32_t, LightData> lights;  // by mode
    std::vector<std::pair<std::wstring, int32_t>> settings;
    // The applications that switch to the profile; a file without them (an older
    // one) leaves the profile's applications as they are.
    bool hasApps = false;
    std::vector<AppRef> apps;
};

// Most applications one profile file may name.
constexpr size_t kMaxProfileApps = 500;
constexpr size_t kMaxAppNameLength = 1024;

// Every type of the function list but "restore the default", which is never stored.
bool IsStoredKeyType(int32_t type) {
    return type != kFuncDefault && std::any_of(kFunctionTypes.begin(), kFunctionTypes.end(),
                                               [type](const FunctionTypeEntry& e) { return e.type == type; });
}

// What is wrong with an item that must not be stored; empty for a good one.
// `macroIds` are the macros of this store, which a macro assignment must name.
std::wstring ReadKeyItem(const XmlDocument& xml, int32_t profile, const std::vector<int32_t>& macroIds,
                         ImportedKey& key) {
    KeyRecord& record = key.record;
    std::wstring what;
    if (!CheckNumbers(xml, KeyFields(record), what)) return what;
    if (!InRange(record.keyCode, 0, kButtonSlotCount - 1))
        return Shown(xml, L"key_code", kSaysNotAButton);
    if (!IsStoredKeyType(record.macroType)) return Shown(xml, L"macro_type", kSaysNoFunctionType);
    record.profile = profile;
    record.macroDesc = xml.GetAttribute(L"macro_desc");
    if (record.macroValue == 0 && record.macroValue2 == 0) return {};  // returns the button to its default
    // The mouse-side functions must give a button code: a value outside their
    // tables (mouse actions, key usages, multimedia keys, shortcuts) or a macro
    // this store does not have is not stored.
    ButtonCode code{};
    const bool pcSide =
        record.macroType == kFuncLaunch || record.macroType == kFuncWeb || record.macroType == kFuncText;
    if (!pcSide && !EncodeButtonFunction(record, macroIds, code))
        return Shown(xml, L"macro_value", record.macroType == kFuncMacro ? kSaysNoSuchMacro : kSaysNoSuchFunction);
    switch (record.macroType) {
        case kFuncLaunch:
        case kFuncWeb:
            // Older files carry only the caption, which for a web address is the
            // address itself; a program path cannot be rebuilt from it.
            key.otherDesc = xml.GetAttribute(L"other_desc");
            if (key.otherDesc.empty()) key.otherDesc = record.macroDesc;
            key.otherParam = xml.GetAttribute(L"other_param");
            if (record.macroType == kFuncWeb && key.otherDesc.empty()) return Say(kSaysNoWebAddress);
            if (record.macroType == kFuncLaunch && key.otherParam.empty()) return Say(kSaysNoProgramPath);
            return {};
        case kFuncText:
            key.textName = xml.GetAttribute(L"text_name");
            key.textContent = xml.GetAttribute(L"text_content");
            if (key.textName.empty() && key.textContent.empty()) return Say(kSaysNoText);
            return {};
        default:
            return {};
    }
}

// A later item of a key code replaces the earlier one, as storing them in turn would.
void PutKey(std::vector<ImportedKey>& keys, ImportedKey key) {
    std::erase_if(keys, [&](const ImportedKey& k) { return k.record.keyCode == key.record.keyCode; });
    keys.push_back(std::move(key));
}

// Reads attribute `attribute` of the current element, `where` in the file, as
// the value of `key`. An attribute that is absent (or empty) leaves the key as
// it is; one that is no value the store may hold for the key is a bad entry.
void ReadSetting(const XmlDocument& xml, const std::wstring& where, const wchar_t* attribute, std::wstring key,
                 ProfileFile& file, BadEntries& bad) {
    const std::wstring text = xml.GetAttribute(attribute);
    if (text.empty()) return;
    const ConfigDefault* row = FindConfigDefault(key);
    int32_t value = 0;
    if (row && IsStoredValueValid(*row, text) && ParseDecimal(text, value)) {
        file.settings.emplace_back(std::move(key), value);
        return;
    }
    if (!row) {
        bad.Add(where, Shown(xml, attribute, kSaysNotANumber));
        return;
    }
    const std::wstring shown = std::wstring(attribute) + L" \"" + text + L"\"";
    bad.Add(where, Say(row->step > 1 ? kSaysNotInSteps : kSaysNotInRange,
                       {{L"attribute", shown},
                        {L"min", std::to_wstring(row->min)},
                        {L"max", std::to_wstring(row->max)},
                        {L"step", std::to_wstring(row->step)}}));
}

void ReadLightItems(XmlDocument& xml, ProfileFile& file, BadEntries& bad) {
    if (!xml.GetAttribute(L"lightmode").empty()) {
        file.hasActiveMode =
            ReadNumber(xml, L"lightmode", file.activeMode) && InRange(file.activeMode, 0, kLightModes - 1);
        if (!file.hasActiveMode) bad.Add(L"Lightitems", Shown(xml, L"lightmode", kSaysNoLightingMode));
    }
    if (!xml.StepIn()) return;
    for (size_t number = 1; xml.FindNext(L"item"); ++number) {
        LightData light;
        std::wstring what;
        if (!CheckNumbers(xml, LightFields(light), what)) {
            bad.Add(Item(L"Lightitems", number), what);
        } else if (!InRange(light.mode, 0, kLightModes - 1) || !InRange(light.brightness, 0, kMaxByte) ||
                   !InRange(light.speed, 0, kMaxByte) || !InRange(light.direction, 0, kMaxByte) ||
                   !InRange(light.colorful, 0, kMaxByte) || !InRange(light.colorIndex, 0, kMaxByte) ||
                   !InRange(light.colorValue, 0, kMaxColour)) {
            bad.Add(Item(L"Lightitems", number), Say(kSaysValueOutOfRange));
        } else {
            file.lights[light.mode] = light;
        }
    }
    xml.StepOut();
}

void ReadDpiSettings(XmlDocument& xml, ProfileFile& file, BadEntries& bad) {
    for (const Setting& setting : kDpiSettings) {
        ReadSetting(xml, L"Mouse_DPI", setting.name, setting.key, file, bad);
    }
    if (!xml.StepIn()) return;
    for (int level = 0; level < kExchangedDpiLevels; ++level) {
        if (!xml.FindNext(DpiElement(level))) continue;
        ReadSetting(xml, DpiElement(level), L"value", DpiValueKey(level), file, bad);
        ReadSetting(xml, DpiElement(level), L"color", DpiColourKey(level), file, bad);
    }
    xml.StepOut();
}

void ReadApplications(XmlDocument& xml, ProfileFile& file) {
    file.hasApps = true;
    if (!xml.StepIn()) return;
    while (xml.FindNext(L"item") && file.apps.size() < kMaxProfileApps) {
        const std::wstring entry = xml.GetAttribute(L"desktop");
        const std::wstring windowClass = xml.GetAttribute(L"class");
        AppRef app{entry.empty() ? AppRef::Kind::Class : AppRef::Kind::Entry, entry.empty() ? windowClass : entry};
        if (app.value.empty() || app.value.size() > kMaxAppNameLength) continue;
        if (std::find(file.apps.begin(), file.apps.end(), app) == file.apps.end()) file.apps.push_back(app);
    }
    xml.StepOut();
}

// Elements are searched forwards, in the order the files have them. False for
// a file that is no profile file, or has bad entries.
bool ReadProfileFile(const std::wstring& path, const ProfileExchangeContext& context,
                     const std::vector<int32_t>& macroIds, ProfileFile& file, BadEntries& bad) {
    XmlDocument xml;
    // The profile keeps its own name: profileinfo's name is not read.
    if (!OpenExchangeFile(xml, path, L"profile") || !xml.FindNext(L"profileinfo") || !xml.StepIn())
        return false;
    if (xml.FindNext(L"keyitems") && xml.StepIn()) {
        for (size_t number = 1; xml.FindNext(L"item"); ++number) {
            ImportedKey key;
            const std::wstring what = ReadKeyItem(xml, context.profile, macroIds, key);
            if (what.empty())
                PutKey(file.keys, std::move(key));
            else
                bad.Add(Item(L"keyitems", number), what);
        }
        xml.StepOut();
    }
    if (context.lightingPage && xml.FindNext(L"Lightitems")) ReadLightItems(xml, file, bad);
    if (xml.FindNext(L"Mouse_DPI")) ReadDpiSettings(xml, file, bad);
    if (xml.FindNext(L"Mouse") && xml.StepIn()) {
        for (const Setting& setting : kMouseSettings) {
            if (xml.FindNext(setting.name))
                ReadSetting(xml, setting.name, L"value", setting.key, file, bad);
        }
        xml.StepOut();
    }
    // After Mouse, where an older reader's forward search never looks.
    if (xml.FindNext(L"applications")) ReadApplications(xml, file);
    return bad.Empty();
}

// The text of the library with this name and content, added when there is none.
int32_t FindOrAddText(DataStore& store, const std::wstring& name, const std::wstring& content) {
    std::vector<TextData> texts;
    store.ListTexts(texts);
    for (const TextData& text : texts) {
        if (text.name == name && text.content == content) return text.textId;
    }
    TextData text;
    text.name = name;
    text.content = content;
    return store.AddText(text);
}

bool StoreKey(DataStore& store, ImportedKey& key) {
    KeyRecord& record = key.record;
    const bool adds = record.macroValue != 0 || record.macroValue2 != 0;
    if (adds && (record.macroType == kFuncLaunch || record.macroType == kFuncWeb))
        return store.SaveKeyWithParameters(record, key.otherDesc, key.otherParam) > 0;
    if (adds && record.macroType == kFuncText) {
        record.macroValue = FindOrAddText(store, key.textName, key.textContent);
        if (record.macroValue <= 0) return false;
    }
    return store.SaveKey(record) > 0 || !adds;
}

bool StoreLights(DataStore& store, int32_t profile, const ProfileFile& file) {
    std::vector<LightData> rows;
    store.ListLights(profile, rows);
    bool activeModeHasRow = false;
    for (LightData& row : rows) {
        activeModeHasRow = activeModeHasRow || (file.hasActiveMode && row.mode == file.activeMode);
        const auto found = file.lights.find(row.mode);
        if (found == file.lights.end()) continue;  // modes without a row are skipped
        const LightData& light = found->second;
        row.brightness = light.brightness;
        row.speed = light.speed;
        row.direction = light.direction;
        row.colorful = light.colorful;
        row.colorIndex = light.colorIndex;
        row.colorValue = light.colorValue;
        if (!store.UpdateLight(profile, row.mode, row)) return false;
    }
    // A mode without a row would leave the profile with no active mode.
    return !activeModeHasRow || store.SetActiveLightMode(profile, file.activeMode);
}

// The file's applications become the profile's; one that another profile
// listed moves here, as an application switches to one profile only. Whether
// the profile is the default stays as it was.
bool StoreApplications(DataStore& store, int32_t profile, const std::vector<AppRef>& apps) {
    std::vector<ProfileData> profiles;
    store.ListProfiles(profiles, 0);
    for (const ProfileData& row : profiles) {
        ProfileApps stored = DecodeProfileApps(row.app);
        const ProfileApps before = stored;
        if (row.profile == profile) {
            stored.apps = apps;
        } else {
            for (const AppRef& app : apps) RemoveApp(stored, app);
        }
        if (stored != before && !store.SetProfileApp(row.profile, EncodeProfileApps(stored))) return false;
    }
    return true;
}

// The file's assignments replace all of the profile's, as a file without
// keyitems leaves none.
bool StoreProfile(DataStore& store, int32_t profile, ProfileFile& file) {
    std::wstring name;  // a profile that does not exist gets no rows
    if (!store.GetProfileName(profile, name, 0) || !store.DeleteProfileKeys(profile)) return false;
    for (ImportedKey& key : file.keys) {
        if (!StoreKey(store, key)) return false;
    }
    if (!StoreLights(store, profile, file)) return false;
    for (const auto& [key, value] : file.settings) {
        if (!store.SetConfigValue(profile, key, std::to_wstring(value))) return false;
    }
    return !file.hasApps || StoreApplications(store, profile, file.apps);
}

std::wstring ConfigText(DataStore& store, int32_t profile, const wchar_t* key) {
    std::wstring value;
    store.GetConfigValue(profile, key, value);
    return value;
}

// Launch, web and text assignments take their parameters along.
void AddKeyParameters(XmlDocument& xml, DataStore& store, const KeyRecord& key) {
    if (key.macroType == kFuncLaunch || key.macroType == kFuncWeb) {
        std::wstring desc, param;
        int32_t type = 0;
        store.GetKeyOtherData(key.macroValue, desc, param, type);
        xml.SetAttribute(L"other_desc", desc);
        xml.SetAttribute(L"other_param", param);
    } else if (key.macroType == kFuncText) {
        std::wstring name, content;
        if (!store.GetTextName(key.macroValue, name)) return;
        store.GetTextContent(key.macroValue, content);
        xml.SetAttribute(L"text_name", name);
        xml.SetAttribute(L"text_content", content);
    }
}

void AddKeyItems(XmlDocument& xml, DataStore& store, int32_t profile) {
    std::vector<KeyRecord> keys;
    store.ListKeys(profile, keys);
    xml.AddElement(L"keyitems");
    xml.StepIn();
    for (KeyRecord& key : keys) {
        xml.AddElement(L"item");
        SetNumbers(xml, KeyFields(key));
        xml.SetAttribute(L"macro_desc", key.macroDesc);
        AddKeyParameters(xml, store, key);
    }
    xml.StepOut();
}

void AddLightItems(XmlDocument& xml, DataStore& store, int32_t profile) {
    std::vector<LightData> lights;
    store.ListLights(profile, lights);
    xml.AddElement(L"Lightitems");
    SetNumber(xml, L"lightmode", store.GetActiveLightMode(profile));
    xml.StepIn();
    for (LightData& light : lights) {
        xml.AddElement(L"item");
        SetNumbers(xml, LightFields(light));
    }
    xml.StepOut();
}

void AddSettings(XmlDocument& xml, DataStore& store, int32_t profile) {
    xml.AddElement(L"Mouse_DPI");
    for (const Setting& setting : kDpiSettings)
        xml.SetAttribute(setting.name, ConfigText(store, profile, setting.key));
    xml.StepIn();
    for (int level = 0; level < kExchangedDpiLevels; ++level) {
        xml.AddElement(DpiElement(level));
        xml.SetAttribute(L"value", ConfigText(store, profile, DpiValueKey(level).c_str()));
        xml.SetAttribute(L"color", ConfigText(store, profile, DpiColourKey(level).c_str()));
    }
    xml.StepOut();
    xml.AddElement(L"Mouse");
    xml.StepIn();
    for (const Setting& setting : kMouseSettings) {
        xml.AddElement(setting.name);
        xml.SetAttribute(L"value", ConfigText(store, profile, setting.key));
    }
    xml.StepOut();
}

void AddApplications(XmlDocument& xml, DataStore& store, int32_t profile) {
    std::vector<ProfileData> profiles;
    store.ListProfiles(profiles, 0);
    xml.AddElement(L"applications");
    xml.StepIn();
    for (const ProfileData& row : profiles) {
        if (row.profile != profile) continue;
        for (const AppRef& app : DecodeProfileApps(row.app).apps) {
            xml.AddElement(L"item");
            xml.SetAttribute(app.kind == AppRef::Kind::Entry ? L"desktop" : L"class", app.value);
        }
    }
    xml.StepOut();
}

}  // namespace

bool ExportMacro(const std::wstring& path, DataStore& store, int32_t macroId) {
    MacroData macro;
    std::vector<MacroEvent> events;
    {
        const StoreLock lock(store);
        if (!store.GetMacro(macroId, macro)) return false;
        store.ListMacroRecords(macroId, events);
    }
    XmlDocument xml = NewExchangeDocument(L"macro");
    xml.StepIn();
    xml.AddElement(L"macroinfo");
    xml.SetAttribute(L"macro_name", macro.name);
    SetNumbers(xml, MacroInfoFields(macro));
    xml.AddElement(L"macroitems");
    xml.StepIn();
    for (MacroEvent& event : events) {
        xml.AddElement(L"item");
        xml.SetAttribute(L"desc", event.desc);
        SetNumbers(xml, EventFields(event));
    }
    return xml.SaveFile(path);
}

int32_t ImportMacro(const std::wstring& path, DataStore& store, std::vector<std::wstring>* badEntries) {
    MacroData macro;
    std::vector<MacroEvent> events;
    BadEntries bad;
    const bool read = ReadMacroFile(path, macro, events, bad);
    if (badEntries) *badEntries = bad.Take();
    if (!read) {
        Vantorel::Trace("exchange: %s is no macro file to import", Orvix::WideToUtf8(path).c_str());
        return 0;
    }
    int32_t macroId = 0;
    const bool stored = store.RunInTransaction([&] {
        macroId =
            store.AddMacroFull(macro.name, macro.playType, macro.playTimes, macro.delayType, macro.delayTime);
        if (macroId <= 0) return false;
        return std::all_of(events.begin(), events.end(), [&](const MacroEvent& event) {
            return store.AddMacroRecord(macroId, event.type, event.recordIndex, event.desc, event.value,
                                        event.delayTime) > 0;
        });
    });
    Vantorel::Trace("exchange: macro import of %zu events -> %d", events.size(), stored ? macroId : 0);
    return stored ? macroId : 0;
}

bool ExportProfile(const std::wstring& path, DataStore& store, const ProfileExchangeContext& context) {
    XmlDocument xml = NewExchangeDocument(L"profile");
    {
        const StoreLock lock(store);
        std::wstring name;
        if (!store.GetProfileName(context.profile, name, context.languageId)) return false;
        xml.StepIn();
        xml.AddElement(L"profileinfo");
        xml.SetAttribute(L"name", name);
        xml.StepIn();
        AddKeyItems(xml, store, context.profile);
        if (context.lightingPage) AddLightItems(xml, store, context.profile);
        AddSettings(xml, store, context.profile);
        AddApplications(xml, store, context.profile);
    }
    return xml.SaveFile(path);
}

ProfileImport ImportProfile(const std::wstring& path, DataStore& store, const ProfileExchangeContext& context,
                            std::vector<std::wstring>* badEntries) {
    ProfileFile file;
    std::vector<MacroData> macros;
    store.ListMacros(macros);
    std::vector<int32_t> macroIds;
    for (const MacroData& macro : macros) macroIds.push_back(macro.macroId);
    BadEntries bad;
    const bool read = ReadProfileFile(path, context, macroIds, file, bad);
    if (badEntries) *badEntries = bad.Take();
    if (!read) {
        Vantorel::Trace("exchange: %s is no profile file to import", Orvix::WideToUtf8(path).c_str());
        return kImportRefused;
    }
    if (!store.RunInTransaction([&] { return StoreProfile(store, context.profile, file); })) {
        Vantorel::Trace("exchange: profile %d import not stored, the profile is unchanged", context.profile);
        return kImportRefused;
    }
    return ProfileImportFollowUp(context.deviceType);
}

ProfileImport ProfileImportFollowUp(int deviceType) {
    return deviceType <= 200 ? kImportSendProfile : kImportStoredOnly;
}
