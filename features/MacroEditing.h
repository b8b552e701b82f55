#pragma once
// The rules of the macro page that need no window: names of new macros, the
// names macros are shown under, event descriptions, the delay limits, what a
// recording makes of each live input event, and the events the insert panel
// adds.
#include <cstdint>
#include <string>
#include <vector>

#include "features/RawInput.h"
#include "base/StoreRecords.h"

constexpr int kMacroEventLimit = 200;
constexpr int kMaxRecordedDelay = 31000;  // ms; a longer pause is stored as this
constexpr int kEventDelay = 10;           // ms; the delay a new event starts with
constexpr int kMinFixedDelay = 10;
constexpr int kMaxFixedDelay = 10000;
constexpr int kMinInsertDelay = 1;
constexpr int kMaxInsertDelay = 10000;

// Macro::delayType.
constexpr int kDelayNone = 0;
constexpr int kDelayRecorded = 1;
constexpr int kDelayFixed = 2;

// "<base> N" with the smallest N from 1 that no name in `names` has (compared
// without regard to case); past 1000 the base alone.
std::wstring NewMacroName(const std::wstring& base, const std::vector<std::wstring>& names);

// A stored name that begins with one of the default prefixes ("宏", "Macro",
// "自定义", "Custom") is shown with the language's word for macro instead.
std::wstring MacroDisplayName(const std::wstring& name, const std::wstring& macroWord);

// "↓  A", "↑  LB", "Scroll Up": the event list's text for an event type and a
// key or button name.
std::wstring EventDescription(int type, const std::wstring& name);
// "LB", "RB", "MB", "Backward", "Forward" for button bits 1, 2, 4, 8, 16; "" otherwise.
std::wstring MouseButtonName(int bit);

// A typed delay held to its range; an empty or non-numeric text gives the minimum.
int ClampDelay(const std::wstring& text, int min, int max);

// What the page does with one live input event while recording.
struct RecordStep {
    bool taken = false;       // the event is recorded (or ends the recording)
    int previousDelay = 0;    // above 0: becomes the delay of the last event in the list
    bool stopBefore = false;  // the list is full: stop without adding
    MacroEvent event;         // appended (type, value, desc, delay 10) unless stopBefore
    bool stopAfter = false;   // the list is full with it: stop after adding
};

class MacroRecorder {
  public:
    // delayType: kDelayNone, kDelayRecorded or kDelayFixed (with fixedDelay ms).
    void Start(int delayType, int fixedDelay);
    // `nowMs` is a monotonic clock; `insideRecordButton` tells whether the
    // pointer was over the record button (its click stops the recording and is
    // not part of the macro); `eventCount` is the length of the list. A release
    // of a key or button not pressed during the recording is not taken.
    RecordStep Feed(const InputEvent& input, uint64_t nowMs, bool insideRecordButton, int eventCount);

  private:
    int m_delayType = kDelayRecorded;
    int m_fixedDelay = kMinFixedDelay;
    bool m_hasPrevious = false;
    uint64_t m_previousMs = 0;
    // Keys and buttons pressed since the start: a release of anything else (held
    // before the recording began) has no press in the macro and is dropped.
    std::vector<int> m_heldKeys;
    int m_heldButtons = 0;
};

// The press and the release the insert panel adds for a key (virtual key and
// its name) or a mouse button (button bit), each with the delay 10.
std::vector<MacroEvent> KeyPressEvents(int vk, const std::wstring& keyName);
std::vector<MacroEvent> ButtonPressEvents(int bit);
// One wheel step up ("Scroll Up", type 6, value 1) or down ("Scroll Down", type 7, value 255).
MacroEvent WheelEvent(bool up);

// Where inserted events go in a list of `count` events: after the selected
// one (`after`) or before it; at the end without a selection.
int InsertPosition(int selected, bool after, int count);
