#pragma once
// The macro memory image the mouse plays macros from: a 64-byte offset table (a
// little-endian uint16 per macro position, 0 = none) followed by 4-byte event
// records (delay uint16 LE, kind, code), each macro closed by an end record and
// four zero bytes. Built from the stored macros in list order and sent in 59-byte
// chunks (FrameMacroChunk).
#include <array>
#include <climits>
#include <cstdint>
#include <vector>

#include "base/StoreRecords.h"

// Macro event types (MacroEvent::type).
constexpr int kEventKeyDown = 2;
constexpr int kEventKeyUp = 3;
constexpr int kEventButtonDown = 4;
constexpr int kEventButtonUp = 5;
constexpr int kEventWheelUp = 6;
constexpr int kEventWheelDown = 7;
constexpr int kEventImportedFirst = 8;  // 8 to 11: imported events with a one-byte code
constexpr int kEventImportedPair = 12;

constexpr size_t kMacroPositions = 32;  // entries of the offset table
constexpr int kMacroStartDelay = 10;    // the running delay each macro starts with

// Appends a release (delay 10) for every key whose last event is a press, in the
// order of the keys' last presses.
std::vector<MacroEvent> CompleteMacroEvents(std::vector<MacroEvent> events);

// The record of one event, with the running delay it carries. False for an event
// type that has no record (it is left out and leaves the delay alone).
// `runningDelay` becomes the event's own delay when its record carries the delay.
bool EncodeMacroEvent(const MacroEvent& event, int& runningDelay, std::array<uint8_t, 4>& record);

// The whole image for the macros' event lists (each ordered by record index; they
// are completed here). At most 32 macros get a table entry and the image stays
// within 4000 bytes: a macro whose records would run past that is left out whole
// (its entry stays 0), and so are the macros beyond position 31. `onMouse`, when
// given, receives one flag per macro: true for those the image holds.
std::vector<uint8_t> BuildMacroImage(const std::vector<std::vector<MacroEvent>>& macros,
                                     std::vector<bool>* onMouse = nullptr);

// The macro ids in list order as the button map numbers them, with the macros the
// image left out replaced by kMacroLeftOut: a button assigned to one of those
// then keeps its default code instead of pointing at an empty entry.
constexpr int32_t kMacroLeftOut = INT32_MIN;
std::vector<int32_t> MacroIdsOnMouse(const std::vector<int32_t>& macroIds, const std::vector<bool>& onMouse);
