#include "protocol/Report.h"

#include <algorithm>
#include <cstring>

void FrameReport(ReportBuffer& report, uint8_t command, uint8_t length, uint16_t offset) {
    report.fill(0);
    report[0] = kReportId;
    report[1] = command;
    report[2] = length;
    report[3] = static_cast<uint8_t>(offset & 0xFF);
    report[4] = static_cast<uint8_t>(offset >> 8);
}

size_t MacroChunkCount(size_t length) {
    return length / kMaxPayload + 1;
}

void FrameMacroChunk(ReportBuffer& report, const uint8_t* image, size_t length, size_t index) {
    length = std::min(length, kMacroImageMax);
    const size_t offset = index * kMaxPayload;
    const size_t count = offset < length ? std::min(kMaxPayload, length - offset) : 0;
    FrameReport(report, kCmdMacroChunk, static_cast<uint8_t>(count), static_cast<uint16_t>(offset));
    if (count) std::memcpy(&report[kPayloadOffset], image + offset, count);
}
