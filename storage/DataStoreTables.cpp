// The key, macro, lighting and text tables of DataStore.
#include "storage/DataStore.h"

namespace {

const char* const kInsertMacroEvent =
    "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) VALUES (?, ?, ?, ?, ?, "
    "?);";
const char* const kInsertMacro =
    "INSERT INTO t_macro_data(name, play_type, play_times, delay_type, delay_time) VALUES (?, ?, ?, ?, ?);";

KeyRecord ReadKeyRow(const SQLiteStatement& row) {
    KeyRecord record;
    record.keyId = row.ColumnInt(0);
    record.profile = row.ColumnInt(1);
    record.fnLayer = row.ColumnInt(2);
    record.keyCode = row.ColumnInt(3);
    record.layoutValue = row.ColumnInt(4);
    record.layoutDesc = row.ColumnWide(5);
    record.macroType = row.ColumnInt(6);
    record.macroValue = row.ColumnInt(7);
    record.macroValue2 = row.ColumnInt(8);
    record.macroValue3 = row.ColumnInt(9);
    record.macroDesc = row.ColumnWide(10);
    return record;
}

MacroData ReadMacroRow(const SQLiteStatement& row) {
    MacroData record;
    record.macroId = row.ColumnInt(0);
    record.name = row.ColumnWide(1);
    record.playType = row.ColumnInt(2);
    record.playTimes = row.ColumnInt(3);
    record.delayType = row.ColumnInt(4);
    record.delayTime = row.ColumnInt(5);
    return record;
}

MacroEvent ReadMacroEventRow(const SQLiteStatement& row) {
    MacroEvent record;
    record.recordId = row.ColumnInt(0);
    record.macroId = row.ColumnInt(1);
    record.type = row.ColumnInt(2);
    record.recordIndex = row.ColumnInt(3);
    record.desc = row.ColumnWide(4);
    record.value = row.ColumnInt(5);
    record.delayTime = row.ColumnInt(6);
    return record;
}

LightData ReadLightRow(const SQLiteStatement& row) {
    LightData record;
    record.lightId = row.ColumnInt(0);
    record.profile = row.ColumnInt(1);
    record.name = row.ColumnWide(2);
    record.mode = row.ColumnInt(3);
    record.brightness = row.ColumnInt(4);
    record.speed = row.ColumnInt(5);
    record.direction = row.ColumnInt(6);
    record.colorful = row.ColumnInt(7);
    record.colorIndex = row.ColumnInt(8);
    record.colorValue = row.ColumnInt(9);
    record.configFunc = row.ColumnInt(10);
    record.reserved = row.ColumnInt(11);
    record.status = row.ColumnInt(12);
    return record;
}

TextData ReadTextRow(const SQLiteStatement& row) {
    TextData record;
    record.textId = row.ColumnInt(0);
    record.name = row.ColumnWide(1);
    record.status = row.ColumnInt(2);
    record.content = row.ColumnWide(3);
    record.type = row.ColumnInt(4);
    return record;
}

}  // namespace

// ---- button assignments ----

int32_t DataStore::SaveKey(const KeyRecord& record, bool* stored) {
    int32_t id = 0;
    // Delete and insert as one step: a process killed between them, or an
    // insert that fails, keeps the previous assignment.
    const bool written = Atomically([&] {
        KeyRecord replaced;
        const bool hadRow = GetKeyOnLayer(record.profile, record.fnLayer, record.keyCode, replaced);
        if (!Write("DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?",
                   {record.profile, record.fnLayer, record.keyCode}))
            return false;
        if (record.macroValue != 0 || record.macroValue2 != 0) {
            id = Insert(
                "INSERT INTO t_key_macro_data(profile, fn_layer, key_code, layout_value, layout_desc, "
                "macro_type, macro_value, macro_value2, macro_value3, macro_desc) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);",
                {record.profile, record.fnLayer, record.keyCode, record.layoutValue, record.layoutDesc,
                 record.macroType, record.macroValue, record.macroValue2, record.macroValue3,
                 record.macroDesc});
            if (id == 0) return false;
        }
        // The parameter row of the assignment replaced, when nothing else names it.
        return !hadRow || DeleteParameterRowIfUnused(replaced);
    });
    if (stored != nullptr) *stored = written;
    return written ? id : 0;
}

int32_t DataStore::SaveKeyWithParameters(KeyRecord record, const std::wstring& description,
                                         const std::wstring& param, bool* stored) {
    int32_t id = 0;
    // The parameter row and the assignment that names it come together or not at all.
    const bool written = Atomically([&] {
        record.macroValue = AddKeyOtherData(description, param, record.macroType);
        if (record.macroValue <= 0) return false;
        bool saved = false;
        id = SaveKey(record, &saved);
        return saved && id > 0;
    });
    if (stored != nullptr) *stored = written;
    return written ? id : 0;
}

bool DataStore::DeleteUnusedParameterRows() {
    return Write(
        "DELETE FROM t_key_otherdata WHERE macro_value NOT IN (SELECT macro_value FROM t_key_macro_data "
        "WHERE macro_type IN (?, ?))",
        {kKeyTypeLaunch, kKeyTypeWeb});
}

bool DataStore::DeleteParameterRowIfUnused(const KeyRecord& assignment) {
    if (assignment.macroType != kKeyTypeLaunch && assignment.macroType != kKeyTypeWeb) return true;
    return Write(
        "DELETE FROM t_key_otherdata WHERE macro_value = ? AND NOT EXISTS (SELECT 1 FROM t_key_macro_data "
        "WHERE macro_type IN (?, ?) AND macro_value = ?)",
        {assignment.macroValue, kKeyTypeLaunch, kKeyTypeWeb, assignment.macroValue});
}

bool DataStore::GetKeyOnLayer(int32_t profile, int32_t layer, int32_t keyCode, KeyRecord& record) {
    return ReadRow("SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?",
                   {profile, layer, keyCode}, [&](const SQLiteStatement& row) { record = ReadKeyRow(row); });
}

bool DataStore::GetKey(int32_t profile, int32_t keyCode, KeyRecord& record) {
    return GetKeyOnLayer(profile, 0, keyCode, record);
}

bool DataStore::SetKeyDescription(int32_t profile, int32_t keyCode, const std::wstring& description) {
    return Write(
        "UPDATE t_key_macro_data SET macro_desc = ? WHERE profile = ? and fn_layer = ? and key_code = ?",
        {description, profile, 0, keyCode});
}

int DataStore::ListKeys(int32_t profile, std::vector<KeyRecord>& keys) {
    keys.clear();
    return ReadRows("SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?", {profile, 0},
                    [&](const SQLiteStatement& row) { keys.push_back(ReadKeyRow(row)); });
}

bool DataStore::DeleteProfileKeys(int32_t profile) {
    // The parameter rows only this profile's assignments name go with them.
    return Atomically([&] {
        return Write(
                   "DELETE FROM t_key_otherdata WHERE macro_value IN (SELECT macro_value FROM t_key_macro_data "
                   "WHERE profile = ? AND macro_type IN (?, ?)) AND macro_value NOT IN (SELECT macro_value FROM "
                   "t_key_macro_data WHERE profile != ? AND macro_type IN (?, ?))",
                   {profile, kKeyTypeLaunch, kKeyTypeWeb, profile, kKeyTypeLaunch, kKeyTypeWeb}) &&
               Write("DELETE FROM t_key_macro_data WHERE profile = ?", {profile});
    });
}

int32_t DataStore::AddKeyOtherData(const std::wstring& description, const std::wstring& param, int32_t type) {
    return Insert("INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES (?, ?, ?);",
                  {description, param, type});
}

bool DataStore::GetKeyOtherData(int32_t id, std::wstring& description, std::wstring& param, int32_t& type) {
    ReadRow("SELECT macro_desc, param, type FROM t_key_otherdata WHERE macro_value = ?", {id},
            [&](const SQLiteStatement& row) {
                description = row.ColumnWide(0);
                param = row.ColumnWide(1);
                type = row.ColumnInt(2);
            });
    return true;
}

// ---- macros and their events ----

int32_t DataStore::AddMacro(const std::wstring& name) {
    return AddMacroFull(name, 0, 1, 1, 0);
}

int32_t DataStore::AddMacroFull(const std::wstring& name, int32_t playType, int32_t playTimes,
                                int32_t delayType, int32_t delayTime) {
    return Insert(kInsertMacro, {name, playType, playTimes, delayType, delayTime});
}

bool DataStore::RenameMacro(int32_t macroId, const std::wstring& name) {
    return Write("UPDATE t_macro_data SET name = ? WHERE macro_id = ?", {name, macroId});
}

bool DataStore::UpdateMacro(int32_t macroId, const std::wstring& name, int32_t playType, int32_t playTimes,
                            int32_t delayType, int32_t delayTime) {
    return Write(
        "UPDATE t_macro_data SET name = ?, play_type = ?, play_times = ?, delay_type = ?,delay_time = ? "
        "WHERE "
        "macro_id = ?",
        {name, playType, playTimes, delayType, delayTime, macroId});
}

bool DataStore::DeleteMacro(int32_t macroId) {
    return Atomically([&] {
        return Write("DELETE FROM t_macro_data WHERE macro_id = ?", {macroId}) && DeleteMacroRecords(macroId);
    });
}

bool DataStore::GetMacro(int32_t macroId, MacroData& record) {
    return ReadRow("SELECT * FROM t_macro_data WHERE macro_id = ?", {macroId},
                   [&](const SQLiteStatement& row) { record = ReadMacroRow(row); });
}

int DataStore::ListMacros(std::vector<MacroData>& macros) {
    macros.clear();
    return ReadRows("SELECT * FROM t_macro_data", {},
                    [&](const SQLiteStatement& row) { macros.push_back(ReadMacroRow(row)); });
}

int32_t DataStore::AddMacroRecord(int32_t macroId, int32_t type, int32_t recordIndex,
                                  const std::wstring& desc, int32_t value, int32_t delayTime) {
    return Insert(kInsertMacroEvent, {macroId, type, recordIndex, desc, value, delayTime});
}

bool DataStore::AddMacroRecords(std::vector<MacroEvent> events) {
    bool all = true;
    const bool committed = Atomically([&] {
        for (const MacroEvent& event : events) {
            all = Insert(kInsertMacroEvent, {event.macroId, event.type, event.recordIndex, event.desc,
                                             event.value, event.delayTime}) != 0 &&
                  all;
        }
        return true;
    });
    return committed && all;
}

int DataStore::ListMacroRecords(int32_t macroId, std::vector<MacroEvent>& events) {
    events.clear();
    return ReadRows("SELECT * FROM t_macrorecord WHERE macro_id = ? ORDER BY record_index ASC", {macroId},
                    [&](const SQLiteStatement& row) { events.push_back(ReadMacroEventRow(row)); });
}

int DataStore::ListMacroLibrary(std::vector<int32_t>& macroIds, std::vector<std::vector<MacroEvent>>& events) {
    std::vector<MacroData> macros;
    ListMacros(macros);
    macroIds.clear();
    events.assign(macros.size(), {});
    for (size_t i = 0; i < macros.size(); ++i) {
        macroIds.push_back(macros[i].macroId);
        ListMacroRecords(macros[i].macroId, events[i]);
    }
    return int(macros.size());
}

bool DataStore::DeleteMacroRecords(int32_t macroId) {
    return Write("DELETE FROM t_macrorecord WHERE macro_id = ?", {macroId});
}

// ---- lighting rows ----

int DataStore::CountLights(int32_t profile) {
    int count = 0;
    ReadRow("select count(*) FROM t_light_data WHERE profile = ?", {profile},
            [&](const SQLiteStatement& row) { count = row.ColumnInt(0); });
    return count;
}

int32_t DataStore::AddLight(const LightData& record) {
    return Insert(
        "INSERT INTO t_light_data(profile, name, mode, brightness, speed, direction, colorful, colorindex, "
        "color_value, config_func, reserved, status) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);",
        {record.profile, record.name, record.mode, record.brightness, record.speed, record.direction,
         record.colorful, record.colorIndex, record.colorValue, record.configFunc, record.reserved,
         record.status});
}

bool DataStore::UpdateLight(int32_t profile, int32_t mode, const LightData& record) {
    return Write(
        "UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, colorful = ?, colorindex = ?, "
        "color_value = ?, config_func = ?, reserved = ? WHERE profile = ? AND mode = ?",
        {record.brightness, record.speed, record.direction, record.colorful, record.colorIndex,
         record.colorValue, record.configFunc, record.reserved, profile, mode});
}

bool DataStore::SetActiveLightMode(int32_t profile, int32_t mode) {
    return Atomically([&] {
        return Write("UPDATE t_light_data SET status = ? WHERE profile = ?", {0, profile}) &&
               Write("UPDATE t_light_data SET status = ? WHERE profile = ? and mode = ?", {1, profile, mode});
    });
}

int32_t DataStore::GetActiveLightMode(int32_t profile) {
    int32_t mode = 0;
    ReadRow("SELECT mode FROM t_light_data WHERE profile = ? and status = ?", {profile, 1},
            [&](const SQLiteStatement& row) { mode = row.ColumnInt(0); });
    return mode;
}

bool DataStore::GetLight(int32_t profile, int32_t mode, LightData& record) {
    return ReadRow("SELECT * FROM t_light_data WHERE profile = ? AND mode = ?", {profile, mode},
                   [&](const SQLiteStatement& row) { record = ReadLightRow(row); });
}

int DataStore::ListLights(int32_t profile, std::vector<LightData>& lights) {
    lights.clear();
    return ReadRows("SELECT * FROM t_light_data WHERE profile = ?", {profile},
                    [&](const SQLiteStatement& row) { lights.push_back(ReadLightRow(row)); });
}

// ---- text library ----

int32_t DataStore::AddText(const TextData& record) {
    return Insert("INSERT INTO t_text_data(name, status, content, type) VALUES (?, ?, ?, ?);",
                  {record.name, 0, record.content, 0});
}

bool DataStore::DeleteText(int32_t textId) {
    return Write("DELETE FROM t_text_data WHERE text_id = ?", {textId});
}

bool DataStore::RenameText(int32_t textId, const std::wstring& name) {
    return Write("UPDATE t_text_data SET name = ? WHERE text_id = ?", {name, textId});
}

bool DataStore::GetTextName(int32_t textId, std::wstring& name) {
    return ReadRow("SELECT name FROM t_text_data WHERE text_id = ?", {textId},
                   [&](const SQLiteStatement& row) { name = row.ColumnWide(0); });
}

bool DataStore::SetTextContent(int32_t textId, const std::wstring& content) {
    return Write("UPDATE t_text_data SET content = ? WHERE text_id = ?", {content, textId});
}

bool DataStore::GetTextContent(int32_t textId, std::wstring& content) {
    return ReadRow("SELECT content FROM t_text_data WHERE text_id = ?", {textId},
                   [&](const SQLiteStatement& row) { content = row.ColumnWide(0); });
}

int DataStore::ListTexts(std::vector<TextData>& texts) {
    texts.clear();
    return ReadRows("SELECT * FROM t_text_data", {},
                    [&](const SQLiteStatement& row) { texts.push_back(ReadTextRow(row)); });
}
