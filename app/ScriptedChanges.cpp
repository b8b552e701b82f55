#include "app/ScriptedChanges.h"

#include <algorithm>

#include "base/ButtonFunction.h"
#include "features/DpiLevels.h"
#include "base/KeyCodes.h"
#include "features/SettingRanges.h"
#include "base/TextConv.h"
#include "base/ParseInt.h"
#include "protocol/SettingReports.h"
#include "storage/DataStore.h"

using Orvix::Utf8ToWide;

namespace {

ScriptOutcome Refused(ScriptOutcome::Fault fault, std::string message) {
    ScriptOutcome outcome;
    outcome.fault = fault;
    outcome.message = std::move(message);
    return outcome;
}

ScriptOutcome Sent(const WorkerTask& task) {
    ScriptOutcome outcome;
    outcome.task = task;
    return outcome;
}

}  // namespace

ScriptOutcome StoreFailure(DataStore& store, const std::string& what) {
    if (store.IsBusy()) return Refused(ScriptOutcome::Fault::Store, store.GetUnusableReason());  // "store busy: ..."
    return Refused(ScriptOutcome::Fault::Store,
                   store.IsUnusable() ? "store unusable: " + store.GetUnusableReason() : what);
}

ScriptOutcome StoreSetting(DataStore& store, int32_t profile, int deviceType, const std::string& key, int value) {
    std::wstring count;
    store.GetConfigValue(profile, L"dpi_count", count);
    std::string message;
    switch (CheckSetting(key, value, deviceType, ParseInt(count), message)) {
        case SettingCheck::Ok:
            break;
        case SettingCheck::OutOfRange:
            return Refused(ScriptOutcome::Fault::OutOfRange, message);
        default:
            return Refused(ScriptOutcome::Fault::Usage, message);
    }
    const std::wstring wkey = Utf8ToWide(key);
    std::wstring old;
    if (!store.GetConfigValue(profile, wkey, old)) return StoreFailure(store, "the profile has no value for " + key);
    // The active level must stay one of the levels in use: the mouse is sent both.
    std::wstring index;
    store.GetConfigValue(profile, L"dpi_index", index);
    const int active = ParseInt(index);
    const bool moveActive = key == "dpi_count" && ActiveLevelAfterCount(active, value) != active;
    const bool stored = store.RunInTransaction([&] {
        return store.SetConfigValue(profile, wkey, std::to_wstring(value)) &&
               (!moveActive ||
                store.SetConfigValue(profile, L"dpi_index", std::to_wstring(ActiveLevelAfterCount(active, value))));
    });
    if (!stored) return StoreFailure(store, "cannot store " + key);
    return Sent(TaskForConfigKey(wkey));
}

ScriptOutcome CheckButton(int keyCode, int type) {
    if (keyCode < 0 || keyCode >= kButtonSlotCount)
        return Refused(ScriptOutcome::Fault::Usage, "the button is a key code from 0 to 8");
    const bool known = std::any_of(kFunctionTypes.begin(), kFunctionTypes.end(),
                                   [&](const FunctionTypeEntry& entry) { return entry.type == type; });
    if (!known) return Refused(ScriptOutcome::Fault::Usage, "unknown function type " + std::to_string(type));
    return {};
}

ScriptOutcome StoreButton(DataStore& store, int32_t profile, const ButtonAssignment& a) {
    const ScriptOutcome checked = CheckButton(a.keyCode, a.type);
    if (!checked.Ok()) return checked;
    KeyRecord record;
    record.profile = profile;
    record.keyCode = a.keyCode;
    record.macroType = a.type;
    if (a.type == kFuncLaunch || a.type == kFuncWeb) {
        if (a.text.empty())
            return Refused(ScriptOutcome::Fault::Usage,
                           a.type == kFuncLaunch ? "the program to start is missing" : "the web address is missing");
        // The program path or the address itself, kept in its own row as the page does.
        const std::wstring text = Utf8ToWide(a.text);
        const size_t slash = text.find_last_of(L'/');
        record.macroDesc = a.type == kFuncLaunch && slash != std::wstring::npos ? text.substr(slash + 1) : text;
        // The assignment and its parameter row go in one step: no orphan row when one fails.
        bool stored = false;
        store.SaveKeyWithParameters(record, record.macroDesc, a.type == kFuncLaunch ? text : L"", &stored);
        if (!stored) return StoreFailure(store, "cannot store the function of button " + std::to_string(a.keyCode));
        return Sent(kTaskWriteButtonMap);
    }
    record.macroValue = a.value;
    record.macroValue2 = a.value2;
    record.macroValue3 = a.value3;
    if (a.type == kFuncDefault) {  // back to the button's default
        record.macroType = kFuncMouse;
        record.macroValue = record.macroValue2 = 0;
    }
    record.macroDesc = a.type == kFuncKey ? KeyComboCaption(record.macroValue2, UsageName(record.macroValue)) : L"";
    bool stored = false;
    store.SaveKey(record, &stored);
    if (!stored) return StoreFailure(store, "cannot store the function of button " + std::to_string(a.keyCode));
    return Sent(kTaskWriteButtonMap);
}

ScriptOutcome CheckProfile(DataStore& store, int32_t profile) {
    std::vector<ProfileData> profiles;
    store.ListProfiles(profiles, 0);
    for (const ProfileData& p : profiles)
        if (p.profile == profile) return {};
    return Refused(ScriptOutcome::Fault::Usage, "there is no profile " + std::to_string(profile));
}

ScriptOutcome StoreFactoryDefaults(DataStore& store, int32_t profile) {
    if (!store.RunInTransaction(
            [&] { return store.DeleteProfileKeys(profile) && store.ResetConfigToDefaults(profile); }))
        return StoreFailure(store, "cannot store the profile's defaults");
    return Sent(kTaskFactoryReset);
}
