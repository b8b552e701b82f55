#include "app/TrayStatusBuilder.h"

#include "base/LanguageText.h"
#include "features/LowBatteryWatch.h"

namespace {

void Replace(std::wstring& text, const std::wstring& field, const std::wstring& value) {
    for (size_t at = text.find(field); at != std::wstring::npos; at = text.find(field, at + value.size()))
        text.replace(at, field.size(), value);
}

}  // namespace

TrayStatus BuildTrayStatus(const TrayFacts& facts, const std::function<std::wstring(int id)>& text) {
    const auto lookup = [&text](int id) { return text ? text(id) : GetLanguageText(L"LAN", id); };
    using Link = TrayFacts::Link;
    TrayStatus status;
    status.title = facts.applicationName;
    status.showText = lookup(kTextTrayShow);
    status.exitText = lookup(kTextTrayExit);
    status.profiles = facts.profiles;
    status.activeProfile = facts.activeProfile;

    const bool mouseThere = facts.link == Link::Cable || facts.link == Link::Receiver;
    const std::wstring model = facts.modelName.empty() ? facts.applicationName : facts.modelName;
    const bool reading = mouseThere && facts.batteryLevel >= 1 && facts.batteryLevel <= 100;
    switch (facts.link) {
        case Link::None:
            status.tooltip = facts.applicationName;
            status.detail = lookup(kTextTrayNoMouse);
            break;
        case Link::ReceiverWithoutMouse:
            status.tooltip = model;
            status.detail = lookup(kTextTrayMouseAway);
            break;
        case Link::Cable:
        case Link::Receiver:
            status.detail = lookup(facts.link == Link::Cable ? kTextTrayCable : kTextTrayReceiver);
            if (reading) {
                status.tooltip = lookup(facts.charging ? kTextTrayBatteryCharging : kTextTrayBattery);
                Replace(status.tooltip, L"{model}", model);
                Replace(status.tooltip, L"{level}", std::to_wstring(facts.batteryLevel));
            } else {
                status.tooltip = model;
            }
            break;
    }
    // The notification's threshold, so the picture and the notice agree.
    status.lowBattery = reading && !facts.charging && facts.batteryLevel <= LowBatteryWatch::kLowThreshold;
    // A profile chosen without a mouse would reach nothing.
    status.profilesEnabled = mouseThere;
    return status;
}
