#include "app/DeviceEvents.h"

std::vector<WindowReaction> ReactionsTo(DeviceEvent event, bool lightingPage) {
    using R = WindowReaction;
    std::vector<R> reactions;
    switch (event) {
        case DeviceEvent::StateRead:
            reactions = {R::ReloadButtons, R::ReloadMacros, R::ReloadDpiPerformance};
            if (lightingPage) reactions.push_back(R::ReloadLighting);
            break;
        case DeviceEvent::ProfileChecked:
            // The macro library is no part of a profile.
            reactions = {R::ReloadButtons, R::ReloadDpiPerformance};
            if (lightingPage) reactions.push_back(R::ReloadLighting);
            break;
        case DeviceEvent::SwitchedProfileLoaded:
            reactions = {R::ReloadDpiPerformance};
            break;
        case DeviceEvent::LightingReset:
            reactions = {R::ReloadLighting};
            break;
        case DeviceEvent::MouseUnreachable:
            reactions = {R::StopMacroRecording, R::ClosePopups};
            break;
    }
    return reactions;
}
