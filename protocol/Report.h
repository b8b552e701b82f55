#pragma once
// Framing of the 64-byte reports exchanged with the mouse over its vendor interface.
// Outgoing layout: byte 0 report id 0x06, byte 1 command, byte 2 payload length
// (counted from byte 5), bytes 3-4 chunk offset (0 except for macro chunks), payload
// from byte 5, zero after its last byte.
#include <array>
#include <cstddef>
#include <cstdint>

constexpr size_t kReportSize = 64;
constexpr size_t kPayloadOffset = 5;
constexpr size_t kMaxPayload = kReportSize - kPayloadOffset;  // 59
constexpr uint8_t kReportId = 0x06;
constexpr uint8_t kNotificationMark = 0xFA;   // byte 1 of an unsolicited report
constexpr uint8_t kConnectionStateId = 0xC0;  // byte 0 of a receiver's link report

// Command codes (byte 1).
constexpr uint8_t kCmdGetInfo = 0x05;
constexpr uint8_t kCmdGetReceiverInfo = 0x07;
constexpr uint8_t kCmdFactoryReset = 0x0F;
constexpr uint8_t kCmdStatus1 = 0x10;
constexpr uint8_t kCmdStatus2 = 0x11;
constexpr uint8_t kCmdButtonMap = 0x12;
constexpr uint8_t kCmdSetting = 0x13;
constexpr uint8_t kCmdMacroChunk = 0x31;

// The button map carries nine 4-byte slots but announces 0x20 as its length.
constexpr size_t kButtonSlots = 9;
constexpr uint8_t kButtonMapLength = 0x20;

// Macro memory: image of at most 4000 bytes sent in 59-byte chunks.
constexpr size_t kMacroImageMax = 4000;
constexpr size_t kMacroTableSize = 64;

// The caller's buffer keeps one spare byte so that a copied-back input report fits.
using ReportBuffer = std::array<uint8_t, kReportSize + 1>;

// Little-endian 16-bit fields of reports and of the macro image.
inline int GetLe16(const uint8_t* p) {
    return p[0] | p[1] << 8;
}
inline void PutLe16(uint8_t* p, int value) {
    p[0] = static_cast<uint8_t>(value & 0xFF);
    p[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

// Clears the buffer and writes the header of a command.
void FrameReport(ReportBuffer& report, uint8_t command, uint8_t length, uint16_t offset = 0);

// Number of chunks an image of `length` bytes is sent in: floor(length / 59) + 1
// (the last one may announce 0 bytes).
size_t MacroChunkCount(size_t length);

// Frames chunk `index` of an image of `length` bytes (length at most 4000).
void FrameMacroChunk(ReportBuffer& report, const uint8_t* image, size_t length, size_t index);
