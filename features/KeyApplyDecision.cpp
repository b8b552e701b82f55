#include "features/KeyApplyDecision.h"

#include <algorithm>
#include <cwctype>

#include "base/ButtonFunction.h"
#include "base/KeyCodes.h"
#include "base/ParseInt.h"

namespace {

KeyApplyDecision Refused(KeyApplyRefusal why) {
    KeyApplyDecision decision;
    decision.refusal = why;
    return decision;
}

// The choice's data and text go into the record; false when nothing is chosen.
bool TakeChoice(const ListChoice& choice, KeyRecord& record) {
    if (!choice.chosen) return false;
    record.macroValue = choice.value;
    record.macroDesc = choice.text;
    return true;
}

KeyApplyRefusal CheckProgram(const KeyApplyInput& input) {
    if (input.programPath.empty()) return KeyApplyRefusal::NoProgram;
    if (!input.programExists)
        return input.programChosen ? KeyApplyRefusal::ProgramGone : KeyApplyRefusal::NoSuchProgram;
    if (!input.programStartable) return KeyApplyRefusal::NotAProgram;
    return KeyApplyRefusal::None;
}

}  // namespace

KeyApplyDecision DecideKeyApply(const KeyApplyInput& input) {
    KeyApplyDecision decision;
    KeyRecord& record = decision.record;
    record.profile = input.profile;
    record.fnLayer = 0;
    record.keyCode = input.keyCode;
    record.macroType = input.type;
    switch (input.type) {
        case kFuncDefault:
            // Stored as the mouse function the model gives the button.
            if (!input.hasDefault) return Refused(KeyApplyRefusal::NoDefault);
            record.macroType = kFuncMouse;
            record.macroValue = input.defaultValue;
            record.macroDesc = input.defaultCaption;
            break;
        case kFuncMouse:
        case kFuncMultimedia:
            if (!TakeChoice(input.value, record)) return Refused(KeyApplyRefusal::NothingChosen);
            break;
        case kFuncKey:
            if (input.group.value == 1) {
                record.macroValue = VkToUsage(input.capturedVk);
                record.macroValue2 = input.modifiers;
                // Modifiers alone are a combination too; a key the mouse cannot send is left out.
                record.macroDesc = KeyComboCaption(record.macroValue2, record.macroValue ? input.keyName : L"");
            } else if (!TakeChoice(input.item, record)) {
                return Refused(KeyApplyRefusal::NothingChosen);
            }
            break;
        case kFuncShortcut:
            if (!TakeChoice(input.item, record)) return Refused(KeyApplyRefusal::NothingChosen);
            break;
        case kFuncMacro:
            if (!TakeChoice(input.group, record)) return Refused(KeyApplyRefusal::NothingChosen);
            if (input.playMode >= 1 && input.playMode < 4) {
                record.macroValue3 = input.playMode;
                record.macroValue2 = 1;
            } else {
                // An empty or unreadable count is one play; the mouse counts to 255.
                record.macroValue2 = std::clamp(ParseInt(input.countText), 1, 255);
                record.macroValue3 = 0;
            }
            break;
        case kFuncDisabled:
            record.macroValue = 1;
            record.macroDesc = input.disabledCaption;
            break;
        case kFuncLaunch:
            if (const KeyApplyRefusal why = CheckProgram(input); why != KeyApplyRefusal::None) return Refused(why);
            decision.otherParam = input.programPath;
            record.macroDesc = FileNameOf(input.programPath);
            decision.withOtherData = true;
            break;
        case kFuncWeb:
            if (input.webAddress.empty()) return Refused(KeyApplyRefusal::NoAddress);
            if (!IsAcceptableAddress(input.webAddress)) return Refused(KeyApplyRefusal::BadAddress);
            record.macroDesc = input.webAddress;
            decision.withOtherData = true;
            break;
        case kFuncText:
            if (!TakeChoice(input.group, record)) return Refused(KeyApplyRefusal::NothingChosen);
            break;
        default:
            return Refused(KeyApplyRefusal::NothingChosen);
    }
    return decision;
}

bool IsAcceptableAddress(const std::wstring& address) {
    return std::none_of(address.begin(), address.end(),
                        [](wchar_t c) { return std::iswspace(wint_t(c)) || c < 0x20 || c == 0x7F; });
}

std::wstring FileNameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"/\\");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
