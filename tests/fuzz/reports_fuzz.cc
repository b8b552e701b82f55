// libFuzzer target for the decoders of what the mouse sends: the state answer,
// the receiver answer and the notifications, on any 64 bytes.
#include <cstdint>
#include <cstring>

#include "protocol/DeviceState.h"
#include "protocol/Notification.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReportBuffer report{};
    std::memcpy(report.data(), data, size < report.size() ? size : report.size());
    if (IsValidInfoAnswer(report)) {
        const MouseInfo info = DecodeMouseInfo(report);
        (void)info;
    }
    IsValidReceiverAnswer(report);
    Notification notification;
    ParseNotification(report, notification);
    return 0;
}
