#pragma once
// Changes asked for by a script (vantorelctl, or a caller of the bus interface),
// checked as the pages check them and written to the active profile's store as
// the pages write them. Each answers with the worker task that sends the change;
// the caller queues it. One implementation for both ways in, so they refuse the
// same values with the same words.
#include <cstdint>
#include <string>

#include "device/WorkerTask.h"

class DataStore;

struct ScriptOutcome {
    enum class Fault {
        None,
        Usage,       // an unknown key, profile, button or function type
        OutOfRange,  // a value the pages would not allow
        Store,       // the store could not be read or written
    };
    Fault fault = Fault::None;
    std::string message;  // for a person: what is wrong
    WorkerTask task = kTaskNone;  // what sends the change (kTaskNone: stored only)
    bool Ok() const { return fault == Fault::None; }
};

// What a failed store operation says: the store's own reason when it is unusable
// ("store unusable: database is locked"), otherwise `what`.
ScriptOutcome StoreFailure(DataStore& store, const std::string& what);

// `set KEY VALUE`: range checked for the model, stored. A smaller level count
// also moves the active level onto the last level in use, as the DPI page does.
ScriptOutcome StoreSetting(DataStore& store, int32_t profile, int deviceType, const std::string& key, int value);

// A function for a button: key code 0 to 8, a function type of the button page,
// its values, and for a program or web address its text.
struct ButtonAssignment {
    int keyCode = 0;
    int type = 0;
    int value = 0;
    int value2 = 0;
    int value3 = 0;
    std::string text;
};
// The key code and the type alone (before the values are read).
ScriptOutcome CheckButton(int keyCode, int type);
ScriptOutcome StoreButton(DataStore& store, int32_t profile, const ButtonAssignment& assignment);

// A profile of the store (Usage "there is no profile N" otherwise).
ScriptOutcome CheckProfile(DataStore& store, int32_t profile);

// The factory reset's part in the store: the profile's button functions go and
// its settings take their reset values, as one step.
ScriptOutcome StoreFactoryDefaults(DataStore& store, int32_t profile);
