#pragma once
// What "Apply" on the key page stores for a button, decided from what the page's
// controls hold. The page gathers their state (and looks the chosen program up
// on disk), this decides, and the page stores the record or tells the user why
// not. The question before restoring a default stays with the page.
#include <cstdint>
#include <string>

#include "base/KeyRecord.h"

// One choice of a list or combo box: its item data and text. `value` is the
// item data even when nothing is chosen (a combo box without a selection gives
// its default), as the key group is read.
struct ListChoice {
    bool chosen = false;
    int32_t value = 0;
    std::wstring text;
};

struct KeyApplyInput {
    int32_t profile = 0;
    int keyCode = 0;
    int type = 0;  // the function type chosen (kFunc...)

    // kFuncDefault: the model's default for the button, when it has one, and its caption.
    bool hasDefault = false;
    int32_t defaultValue = 0;
    std::wstring defaultCaption;

    ListChoice value;  // kFuncMouse, kFuncMultimedia: the value list
    ListChoice group;  // kFuncKey: the key group (1 = a captured key); kFuncMacro: the macro; kFuncText: the text
    ListChoice item;   // kFuncKey (a key of a listed group), kFuncShortcut

    // kFuncKey with a captured key: the key, the modifier toggles, the capture field's text.
    int capturedVk = 0;
    int modifiers = 0;
    std::wstring keyName;

    // kFuncMacro: the play mode (1 to 3 the radio buttons' modes, 4 a count) and the count typed.
    int playMode = 4;
    std::wstring countText;

    std::wstring disabledCaption;  // kFuncDisabled: the button map's caption

    // kFuncLaunch: the program as typed and resolved, and what the disk says of it.
    std::wstring programPath;
    bool programChosen = false;  // the path is the one last taken from the file chooser
    bool programExists = false;
    bool programStartable = false;

    std::wstring webAddress;  // kFuncWeb
};

// Why nothing is stored. NothingChosen and NoDefault pass silently; the others
// are told to the user.
enum class KeyApplyRefusal {
    None,
    NothingChosen,  // the list, group or item the type needs has no choice; or an unknown type
    NoDefault,      // the model names no default for the button
    NoProgram,      // launch: no program typed
    ProgramGone,    // launch: the program chosen in the file chooser is gone
    NoSuchProgram,  // launch: the typed program does not exist
    NotAProgram,    // launch: neither executable nor an application entry
    NoAddress,      // web: no address typed
    BadAddress,     // web: white space or control characters in the address
};

struct KeyApplyDecision {
    KeyApplyRefusal refusal = KeyApplyRefusal::None;
    KeyRecord record;
    // Launch and web buttons: their parameters row is stored with the record.
    bool withOtherData = false;
    std::wstring otherParam;

    bool Stores() const { return refusal == KeyApplyRefusal::None; }
};

KeyApplyDecision DecideKeyApply(const KeyApplyInput& input);

// A web address is handed to the browser as one argument; white space or control
// characters in it would only ever open something else than what was typed.
bool IsAcceptableAddress(const std::wstring& address);

// The last part of a path: what a launch button shows.
std::wstring FileNameOf(const std::wstring& path);
