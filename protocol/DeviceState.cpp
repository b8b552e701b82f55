#include "protocol/DeviceState.h"

#include <cwchar>

namespace {

// One-byte settings of the answer with the keys they are stored under.
struct ByteField {
    size_t at;
    const wchar_t* key;
};
constexpr ByteField kByteFieldsBeforeSleep[] = {
    {30, L"report_rate"}, {31, L"report_flag"},    {32, L"scroll_flag"},        {33, L"liftoff_height"},
    {34, L"sensor_flag"}, {35, L"highspeed_mode"}, {36, L"button_respondtime"},
};

}  // namespace

bool IsValidInfoAnswer(const ReportBuffer& answer) {
    return answer[9] != 0 && answer[10] != 0;
}

bool IsValidReceiverAnswer(const ReportBuffer& answer) {
    return answer[5] == 1;
}

std::wstring FormatFirmwareVersion(uint8_t majorMinor, uint8_t build) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%x.%x.%d", majorMinor >> 4, majorMinor & 0x0F, build);
    return text;
}

MouseInfo DecodeMouseInfo(const ReportBuffer& a) {
    MouseInfo info;
    info.connectionKind = a[11];
    info.mousePresent = a[12];
    info.batteryLevel = a[13];
    info.charging = a[14];
    info.dpiIndex = a[17];
    info.version = FormatFirmwareVersion(a[10], a[9]);
    info.reportRate = a[30];
    info.reportFlag = a[31];
    auto store = [&](const std::wstring& key, int value) {
        info.storedValues.emplace_back(key, std::to_wstring(value));
    };
    for (int i = 0; i < kDpiStagesRead; ++i) {
        info.dpi[i] = (GetLe16(&a[18 + 2 * i]) + 1) * 50;
        store(L"dpi_group" + std::to_wstring(i) + L"_value", info.dpi[i]);
    }
    for (const ByteField& field : kByteFieldsBeforeSleep) store(field.key, a[field.at]);
    store(L"light_sleep", GetLe16(&a[37]));
    store(L"deep_sleep", GetLe16(&a[39]));
    store(L"move_wakeup", a[41]);
    store(L"move_closelight", a[42]);
    return info;
}
