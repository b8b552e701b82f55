#pragma once
// What the device worker tells its view about the mouse, and what the main window
// does about it. The worker speaks of the mouse (its settings were read, the
// profile about to be sent was checked, ...); the window decides which pages
// show the store again. Kept apart from both so the decision is tested on its own.
#include <vector>

enum class DeviceEvent {
    // A read of the mouse ended (also after a factory reset): the store holds its values.
    StateRead,
    // The profile to be sent whole was checked (values out of range put back).
    ProfileChecked,
    // The profile of the model switched to was loaded, before the mouse is read.
    SwitchedProfileLoaded,
    // The lighting's reset values are in the store.
    LightingReset,
    // The mouse stopped answering: nothing in progress may go on with it.
    MouseUnreachable,
};

// What the window does, in this order.
enum class WindowReaction {
    ReloadButtons,
    ReloadMacros,
    ReloadDpiPerformance,  // the DPI page and the device page's power options
    ReloadLighting,
    StopMacroRecording,
    ClosePopups,
};

// `lightingPage`: whether the current model has the lighting page.
std::vector<WindowReaction> ReactionsTo(DeviceEvent event, bool lightingPage);
