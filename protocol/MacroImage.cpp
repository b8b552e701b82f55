#include "protocol/MacroImage.h"

#include <algorithm>
#include <string>

#include "base/KeyCodes.h"
#include "protocol/Report.h"

namespace {

constexpr uint8_t kKindModifierDown = 0x41;
constexpr uint8_t kKindKeyDown = 0x42;
constexpr uint8_t kKindModifierUp = 0x01;
constexpr uint8_t kKindKeyUp = 0x02;
constexpr uint8_t kKindButtonDown = 0x43;
constexpr uint8_t kKindButtonUp = 0x03;
constexpr uint8_t kKindWheel = 0x44;
constexpr uint8_t kKindImported = 0x06;
constexpr uint8_t kKindEnd = 0x83;
constexpr uint8_t kWheelUp = 0x01;
constexpr uint8_t kWheelDown = 0xFF;
constexpr int kEndRecordBytes = 8;  // end record and its four zero bytes
constexpr int kMaxEndDelay = 10000;

uint8_t Low(int value) {
    return static_cast<uint8_t>(value & 0xFF);
}

}  // namespace

std::vector<MacroEvent> CompleteMacroEvents(std::vector<MacroEvent> events) {
    std::vector<int> held;  // keys whose last event is a press, in the order of those presses
    for (const MacroEvent& e : events) {
        if (e.type != kEventKeyDown && e.type != kEventKeyUp) continue;
        held.erase(std::remove(held.begin(), held.end(), e.value), held.end());
        if (e.type == kEventKeyDown) held.push_back(e.value);
    }
    for (int key : held) {
        MacroEvent release;
        release.type = kEventKeyUp;
        release.value = key;
        release.delayTime = 10;
        events.push_back(release);
    }
    return events;
}

bool EncodeMacroEvent(const MacroEvent& event, int& runningDelay, std::array<uint8_t, 4>& record) {
    record = {};
    bool carriesDelay = true;
    const bool scrollUp = event.desc.find(L"Scroll Up") != std::wstring::npos;
    const bool scrollDown = event.desc.find(L"Scroll Down") != std::wstring::npos;
    switch (event.type) {
        case kEventKeyDown:
        case kEventKeyUp: {
            const bool modifier = IsModifierVk(event.value);
            const bool down = event.type == kEventKeyDown;
            record[2] =
                modifier ? (down ? kKindModifierDown : kKindModifierUp) : (down ? kKindKeyDown : kKindKeyUp);
            record[3] = Low(modifier ? ModifierBit(event.value) : VkToUsage(event.value));
            break;
        }
        case kEventButtonDown:
        case kEventButtonUp:
            if (scrollUp || scrollDown) {
                record[2] = kKindWheel;
                record[3] = scrollUp ? kWheelUp : kWheelDown;
            } else {
                record[2] = event.type == kEventButtonDown ? kKindButtonDown : kKindButtonUp;
                record[3] = Low(event.value);
            }
            break;
        case kEventWheelUp:
        case kEventWheelDown:
            record[2] = kKindWheel;
            record[3] = event.type == kEventWheelUp ? kWheelUp : kWheelDown;
            carriesDelay = false;
            break;
        case kEventImportedPair: {
            const int first = event.value & 0xFF;
            const int second = (event.value >> 8) & 0xFF;
            record[2] = kKindImported;
            record[3] = Low((second & 0x0F) | (first << 4));
            record[1] = static_cast<uint8_t>((first & 0x80 ? 0x80 : 0) | (second & 0x80 ? 0x40 : 0));
            carriesDelay = false;
            break;
        }
        default:
            if (event.type < kEventImportedFirst || event.type > kEventImportedPair) return false;
            record[2] = kKindImported;
            record[3] = Low(event.value);
            carriesDelay = false;
            break;
    }
    if (carriesDelay) {
        PutLe16(record.data(), runningDelay);
        runningDelay = event.delayTime;
    }
    return true;
}

std::vector<uint8_t> BuildMacroImage(const std::vector<std::vector<MacroEvent>>& macros,
                                     std::vector<bool>* onMouse) {
    if (onMouse) onMouse->assign(macros.size(), false);
    std::vector<uint8_t> image(kMacroImageMax, 0);
    size_t position = kMacroTableSize;
    for (size_t m = 0; m < macros.size() && m < kMacroPositions; ++m) {
        std::vector<uint8_t> records;
        int runningDelay = kMacroStartDelay;
        const std::vector<MacroEvent> events = CompleteMacroEvents(macros[m]);
        for (const MacroEvent& event : events) {
            std::array<uint8_t, 4> record;
            if (EncodeMacroEvent(event, runningDelay, record))
                records.insert(records.end(), record.begin(), record.end());
        }
        if (!events.empty()) {
            const int endDelay = runningDelay <= 0 ? kMacroStartDelay : std::min(runningDelay, kMaxEndDelay);
            const uint8_t end[kEndRecordBytes] = {
                Low(endDelay), Low(endDelay >> 8), kKindEnd, 0x01, 0, 0, 0, 0};
            records.insert(records.end(), end, end + kEndRecordBytes);
        }
        if (position + records.size() > kMacroImageMax) continue;  // does not fit: left out whole
        PutLe16(&image[2 * m], static_cast<int>(position));
        std::copy(records.begin(), records.end(), image.begin() + static_cast<std::ptrdiff_t>(position));
        position += records.size();
        if (onMouse) (*onMouse)[m] = true;
    }
    image.resize(position);
    return image;
}

std::vector<int32_t> MacroIdsOnMouse(const std::vector<int32_t>& macroIds, const std::vector<bool>& onMouse) {
    std::vector<int32_t> ids = macroIds;
    for (size_t i = 0; i < ids.size(); ++i)
        if (i >= onMouse.size() || !onMouse[i]) ids[i] = kMacroLeftOut;
    return ids;
}
