#include "features/MacroEditing.h"

#include <algorithm>
#include <cwctype>
#include <set>

#include "base/ParseInt.h"
#include "protocol/MacroImage.h"

namespace {

constexpr int kLastNumberedName = 1000;

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return wchar_t(std::towlower(wint_t(c))); });
    return text;
}

}  // namespace

std::wstring NewMacroName(const std::wstring& base, const std::vector<std::wstring>& names) {
    std::set<std::wstring> taken;
    for (const std::wstring& name : names) taken.insert(Lower(name));
    for (int n = 1; n <= kLastNumberedName; ++n) {
        std::wstring candidate = base + L" " + std::to_wstring(n);
        if (!taken.count(Lower(candidate))) return candidate;
    }
    return base;
}

std::wstring MacroDisplayName(const std::wstring& name, const std::wstring& macroWord) {
    // Default names were made in Chinese or English; they follow the language.
    static const wchar_t* const kPrefixes[] = {L"\u5b8f", L"Macro", L"\u81ea\u5b9a\u4e49", L"Custom"};
    for (const wchar_t* prefix : kPrefixes) {
        const std::wstring p(prefix);
        if (name.compare(0, p.size(), p) == 0) return macroWord + name.substr(p.size());
    }
    return name;
}

std::wstring EventDescription(int type, const std::wstring& name) {
    switch (type) {
        case kEventKeyDown:
        case kEventButtonDown:
            return L"\u2193  " + name;
        case kEventKeyUp:
        case kEventButtonUp:
            return L"\u2191  " + name;
        default:
            return name;
    }
}

std::wstring MouseButtonName(int bit) {
    switch (bit) {
        case 1:
            return L"LB";
        case 2:
            return L"RB";
        case 4:
            return L"MB";
        case 8:
            return L"Backward";
        case 16:
            return L"Forward";
        default:
            return L"";
    }
}

int ClampDelay(const std::wstring& text, int min, int max) {
    return std::clamp(ParseInt(text), min, max);
}

void MacroRecorder::Start(int delayType, int fixedDelay) {
    m_delayType = delayType;
    m_fixedDelay = fixedDelay;
    m_hasPrevious = false;
    m_previousMs = 0;
    m_heldKeys.clear();
    m_heldButtons = 0;
}

RecordStep MacroRecorder::Feed(const InputEvent& input, uint64_t nowMs, bool insideRecordButton,
                               int eventCount) {
    RecordStep step;
    if (input.name.empty() || (input.kind != kInputKeyboard && input.kind != kInputMouse)) return step;
    int type = 0;
    if (input.kind == kInputKeyboard) {
        type = input.action == kActionUp ? kEventKeyUp : kEventKeyDown;
    } else {
        switch (input.action) {
            case kActionDown:
                type = kEventButtonDown;
                break;
            case kActionUp:
                type = kEventButtonUp;
                break;
            case kActionWheelUp:
                type = kEventWheelUp;
                break;
            case kActionWheelDown:
                type = kEventWheelDown;
                break;
            default:
                return step;
        }
    }

    if (type == kEventKeyUp || type == kEventButtonUp) {
        const bool held = type == kEventKeyUp ? std::find(m_heldKeys.begin(), m_heldKeys.end(), input.code) !=
                                                    m_heldKeys.end()
                                              : (m_heldButtons & input.code) != 0;
        if (!held) return step;
    }

    int delay = 0;
    if (m_delayType == kDelayRecorded) {
        if (m_hasPrevious)
            delay = int(std::min<uint64_t>(nowMs - std::min(nowMs, m_previousMs), kMaxRecordedDelay));
        m_hasPrevious = true;
        m_previousMs = nowMs;
    } else if (m_delayType == kDelayFixed) {
        delay = m_fixedDelay;
    }
    if (input.kind == kInputMouse && insideRecordButton) return step;

    step.taken = true;
    step.previousDelay = delay;
    if (type == kEventKeyDown &&
        std::find(m_heldKeys.begin(), m_heldKeys.end(), input.code) == m_heldKeys.end())
        m_heldKeys.push_back(input.code);
    if (type == kEventKeyUp)
        m_heldKeys.erase(std::remove(m_heldKeys.begin(), m_heldKeys.end(), input.code), m_heldKeys.end());
    if (type == kEventButtonDown) m_heldButtons |= input.code;
    if (type == kEventButtonUp) m_heldButtons &= ~input.code;
    if (m_delayType != kDelayNone && delay != 0 && eventCount >= kMacroEventLimit) {
        step.stopBefore = true;
        return step;
    }
    step.event.type = type;
    step.event.value = input.code;
    step.event.desc = EventDescription(type, input.name);
    step.event.delayTime = kEventDelay;
    step.stopAfter = eventCount + 1 >= kMacroEventLimit;
    return step;
}

namespace {

// A press: the down event, then the up event, each with the shortest delay.
std::vector<MacroEvent> PressEvents(int downType, int upType, int value, const std::wstring& name) {
    std::vector<MacroEvent> events(2);
    events[0].type = downType;
    events[1].type = upType;
    for (MacroEvent& e : events) {
        e.value = value;
        e.delayTime = kEventDelay;
        e.desc = EventDescription(e.type, name);
    }
    return events;
}

}  // namespace

std::vector<MacroEvent> KeyPressEvents(int vk, const std::wstring& keyName) {
    return PressEvents(kEventKeyDown, kEventKeyUp, vk, keyName);
}

std::vector<MacroEvent> ButtonPressEvents(int bit) {
    return PressEvents(kEventButtonDown, kEventButtonUp, bit, MouseButtonName(bit));
}

MacroEvent WheelEvent(bool up) {
    MacroEvent e;
    e.type = up ? kEventWheelUp : kEventWheelDown;
    e.value = up ? 1 : 255;
    e.delayTime = kEventDelay;
    e.desc = up ? L"Scroll Up" : L"Scroll Down";
    return e;
}

int InsertPosition(int selected, bool after, int count) {
    if (selected < 0 || selected >= count) return count;
    return after ? selected + 1 : selected;
}
