#include "sim/SimFirmware.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "protocol/Report.h"
#include "sim/MacroImageCheck.h"

namespace {

constexpr uint8_t kSettingDpi = 0x01;
constexpr uint8_t kSettingReportRate = 0x02;
constexpr uint8_t kSettingScroll = 0x05;
constexpr uint8_t kSettingLiftoff = 0x06;
constexpr uint8_t kSettingSensor = 0x07;
constexpr uint8_t kSettingHighspeed = 0x08;
constexpr uint8_t kSettingPairing = 0x09;
constexpr uint8_t kSettingRespondTime = 0x0A;
constexpr uint8_t kSettingSleep = 0x0B;
constexpr uint8_t kSettingMoveWakeup = 0x0C;

constexpr uint8_t kResetDpi = 0x08;
constexpr uint8_t kResetAll = 0xFF;

constexpr uint8_t kNotifyConnected = 1;
constexpr uint8_t kNotifyDpi = 2;
constexpr uint8_t kNotifyBattery = 3;
constexpr uint8_t kNotifyWake = 6;
constexpr uint8_t kNotifyPcAction = 0x50;

// Payload length (from byte 5) each setting id must announce; -1 for unknown ids.
int SettingLength(uint8_t id) {
    switch (id) {
        case kSettingDpi:
        case kSettingSleep:
            return 5;
        case kSettingScroll:
            return 4;
        case kSettingPairing:
            return 1;
        case kSettingReportRate:
        case kSettingLiftoff:
        case kSettingSensor:
        case kSettingHighspeed:
        case kSettingRespondTime:
        case kSettingMoveWakeup:
            return 2;
        default:
            return -1;
    }
}

// Settings of one value byte, with the values the mouse takes.
struct ByteSetting {
    uint8_t id;
    const char* name;
    uint8_t SimSettings::*field;
    unsigned low, high;
};
const ByteSetting kByteSettings[] = {
    {kSettingReportRate, "report rate", &SimSettings::reportRate, 0, 3},
    {kSettingScroll, "scroll flag", &SimSettings::scrollFlag, 0, 1},
    {kSettingLiftoff, "lift-off height", &SimSettings::liftoffHeight, 0, 1},
    // A bit mask: the program's stored default (53) carries bits beyond the three options.
    {kSettingSensor, "sensor flag", &SimSettings::sensorFlag, 0, 255},
    {kSettingHighspeed, "high-speed mode", &SimSettings::highspeedMode, 0, 1},
    {kSettingRespondTime, "button response time", &SimSettings::buttonRespondTime, 1, 50},
    {kSettingMoveWakeup, "move wake-up", &SimSettings::moveWakeup, 0, 1},
};

bool IsPcAction(uint8_t kind) {
    return kind >= 9 && kind <= 11;
}

std::string CheckRange(const char* name, unsigned value, unsigned low, unsigned high) {
    if (value >= low && value <= high) return {};
    return SimFormat("%s %u out of range %u to %u", name, value, low, high);
}

std::vector<uint8_t> NewReport(uint8_t first, uint8_t second, uint8_t length) {
    std::vector<uint8_t> report(kReportSize, 0);
    report[0] = first;
    report[1] = second;
    report[2] = length;
    return report;
}

}  // namespace

const SimModel& SimModelOf(int32_t deviceType) {
    static const SimModel v8{101,   0x3A5C, 0x0108, 0x0118, L"Vantorel V8 Wireless", L"Vantorel V8 Receiver",
                             0x0102};
    static const SimModel v6{102,   0x3A5C, 0x0106, 0x0116, L"Vantorel V6 Lite", L"Vantorel V6 Receiver",
                             0x0101};
    return deviceType == 102 ? v6 : v8;
}

SimFirmware::SimFirmware(const SimModel& model, std::shared_ptr<SimTrace> trace)
    : m_model(model), m_trace(std::move(trace)) {}

std::string SimFirmware::EndpointName(SimEndpoint endpoint) const {
    return std::to_string(m_model.deviceType) + (endpoint == SimEndpoint::Cable ? " cable" : " receiver");
}

bool SimFirmware::LinkOnline() const {
    return m_state.receiverPlugged && m_state.powered && m_state.paired && !m_searching;
}

bool SimFirmware::TakeReattach() {
    return std::exchange(m_reattach, false);
}

std::string SimFirmware::CheckFraming(const uint8_t* data, size_t length) {
    if (length != kReportSize) return SimFormat("%zu bytes, expected %zu", length, kReportSize);
    if (data[0] != kReportId) return SimFormat("report id 0x%02X, expected 0x%02X", data[0], kReportId);
    const uint8_t command = data[1];
    const uint8_t announced = data[2];
    const unsigned offset = GetLe16(data + 3);
    int expected = -1;
    size_t span = announced;  // bytes from byte 5 that belong to the command
    switch (command) {
        case kCmdGetInfo:
        case kCmdGetReceiverInfo:
        case kCmdStatus1:
        case kCmdStatus2:
            expected = 0;
            break;
        case kCmdFactoryReset:
            expected = 1;
            break;
        case kCmdButtonMap:
            expected = kButtonMapLength;
            span = kButtonSlots * 4;
            break;
        case kCmdSetting:
            expected = SettingLength(data[5]);
            if (expected < 0) return SimFormat("unknown setting id 0x%02X", data[5]);
            break;
        case kCmdMacroChunk:
            if (announced > kMaxPayload)
                return SimFormat("chunk of %u bytes, at most %zu", announced, kMaxPayload);
            if (offset % kMaxPayload != 0)
                return SimFormat("chunk offset %u is not a multiple of 59", offset);
            if (offset + announced > kMacroImageMax)
                return SimFormat("chunk at %u of %u bytes ends beyond the 4000-byte macro memory", offset,
                                 announced);
            break;
        default:
            return SimFormat("unknown command 0x%02X", command);
    }
    if (expected >= 0 && announced != expected)
        return SimFormat("length byte 0x%02X, command 0x%02X (byte 5 = 0x%02X) needs 0x%02X", announced,
                         command, data[5], expected);
    if (command != kCmdMacroChunk && offset != 0)
        return SimFormat("offset bytes 3-4 hold 0x%04X, expected 0", offset);
    for (size_t i = kPayloadOffset + span; i < kReportSize; ++i)
        if (data[i] != 0) return SimFormat("byte %zu after the payload is 0x%02X, expected 0", i, data[i]);
    return {};
}

SimFirmware::Outputs SimFirmware::HandleOutput(SimEndpoint endpoint, const uint8_t* data, size_t length,
                                               Clock::time_point now) {
    Outputs out = Tick(now);
    const std::string device = EndpointName(endpoint);
    std::string error = CheckFraming(data, length);
    if (!error.empty()) {
        m_trace->Record(device, SimDirection::ToDevice, data, length, error, true);
        return out;
    }
    if (!m_state.answering) {
        m_trace->Record(device, SimDirection::ToDevice, data, length,
                        "ignored: the firmware does not answer");
        return out;
    }
    const uint8_t command = data[1];
    std::string note;
    Outputs answers;
    if (command == kCmdGetReceiverInfo) {
        answers.push_back({endpoint, ReceiverInfoAnswer(endpoint)});
    } else if (command == kCmdSetting && data[5] == kSettingPairing) {
        StartPairing(now, answers);
        answers.insert(answers.begin(), {endpoint, Report(data, data + length)});
    } else if (endpoint == SimEndpoint::Receiver && !LinkOnline()) {
        // The receiver answers for itself: no mouse behind it.
        if (command == kCmdGetInfo) {
            answers.push_back({endpoint, InfoAnswer(endpoint)});
            answers.push_back({endpoint, ConnectionState()});
        } else {
            note = "not applied: no mouse linked to the receiver";
        }
    } else {
        error = ForMouse(endpoint, data, answers);
    }
    m_trace->Record(device, SimDirection::ToDevice, data, length, error.empty() ? note : error,
                    !error.empty());
    for (SimOutput& answer : Traced(std::move(answers))) out.push_back(std::move(answer));
    return out;
}

std::string SimFirmware::ForMouse(SimEndpoint endpoint, const uint8_t* data, Outputs& answers) {
    const uint8_t command = data[1];
    std::string error;
    if (command == m_state.refusedCommand && (m_state.refusedSetting < 0 || data[5] == m_state.refusedSetting))
        return SimFormat("refused: this firmware does not take command 0x%02X (byte 5 = 0x%02X)", command, data[5]);
    switch (command) {
        case kCmdGetInfo:
            answers.push_back({endpoint, InfoAnswer(endpoint)});
            return {};
        case kCmdStatus1:
        case kCmdStatus2:
            answers.push_back({endpoint, StatusAnswer(command)});
            return {};
        case kCmdFactoryReset:
            return ApplyFactoryReset(data[5]);  // never answered
        case kCmdButtonMap:
            error = ApplyButtonMap(data);
            break;
        case kCmdSetting:
            error = ApplySetting(data);
            break;
        case kCmdMacroChunk:
            error = ApplyMacroChunk(data);
            break;
    }
    if (error.empty()) answers.push_back({endpoint, Report(data, data + kReportSize)});
    return error;
}

std::string SimFirmware::ApplySetting(const uint8_t* data) {
    SimSettings& s = m_state.settings;
    const uint8_t* v = data + kPayloadOffset + 1;
    std::string error;
    switch (data[5]) {
        case kSettingDpi: {
            const unsigned dpi = GetLe16(v + 2);
            error = CheckRange("DPI stage count", v[0], 1, 7);
            if (error.empty()) error = CheckRange("active DPI stage", v[1], 0, v[0] - 1u);
            if (error.empty()) error = CheckRange("DPI", dpi, 50, 26000);
            if (error.empty() && dpi % 50 != 0) error = SimFormat("DPI %u is not a multiple of 50", dpi);
            if (error.empty()) {
                s.dpiCount = v[0];
                s.dpiIndex = v[1];
                s.dpi[v[1]] = static_cast<uint16_t>(dpi);
            }
            return error;
        }
        case kSettingSleep:
            s.lightSleep = GetLe16(v);
            s.deepSleep = GetLe16(v + 2);
            return {};
        case kSettingScroll:
            if (v[1] || v[2]) return "scroll setting bytes 7-8 must be 0";
            break;
    }
    for (const ByteSetting& setting : kByteSettings) {
        if (setting.id != data[5]) continue;
        error = CheckRange(setting.name, v[0], setting.low, setting.high);
        if (error.empty()) s.*setting.field = v[0];
        return error;
    }
    return SimFormat("unknown setting id 0x%02X", data[5]);
}

std::string SimFirmware::ApplyButtonMap(const uint8_t* data) {
    const uint8_t* slots = data + kPayloadOffset;
    for (size_t k = 0; k < kButtonSlots; ++k) {
        const uint8_t* code = slots + 4 * k;
        switch (code[0]) {
            case 0x00:
                if (code[1] || code[2] || code[3]) return SimFormat("slot %zu: disabled code with data", k);
                break;
            case 0x10:
            case 0x1F:
            case 0x20:
            case 0x30:
            case 0x40:
                break;
            case 0x50:
                if (!IsPcAction(code[1]))
                    return SimFormat("slot %zu: PC-side action 0x%02X unknown", k, code[1]);
                break;
            case 0x60:
                if (code[1] >= kMacroTableSize / 2)
                    return SimFormat("slot %zu: macro position %u", k, code[1]);
                break;
            default:
                return SimFormat("slot %zu: function kind 0x%02X unknown", k, code[0]);
        }
    }
    std::copy(slots, slots + kButtonSlots * 4, m_state.settings.buttonMap.begin());
    return {};
}

std::string SimFirmware::ApplyMacroChunk(const uint8_t* data) {
    const size_t count = data[2];
    const size_t offset = GetLe16(data + 3);
    if (offset == 0) {
        m_staging.assign(kMacroImageMax, 0);
        m_nextChunk = 0;
    }
    if (!m_nextChunk || offset != *m_nextChunk) {
        std::string error = m_nextChunk
                                ? SimFormat("chunk at offset %zu, expected %zu", offset, *m_nextChunk)
                                : SimFormat("chunk at offset %zu without an upload in progress", offset);
        m_nextChunk.reset();
        return error;
    }
    std::memcpy(m_staging.data() + offset, data + kPayloadOffset, count);
    if (count == kMaxPayload) {
        *m_nextChunk += kMaxPayload;
        return {};
    }
    // A short chunk (possibly empty) ends the image.
    m_nextChunk.reset();
    const size_t length = offset + count;
    std::string error = CheckMacroImage(m_staging.data(), length);
    if (!error.empty()) return "macro image not applied: " + error;
    m_state.settings.macroImage.assign(m_staging.begin(), m_staging.begin() + length);
    ++m_state.macroUploads;
    return {};
}

std::string SimFirmware::ApplyFactoryReset(uint8_t group) {
    SimSettings& s = m_state.settings;
    const SimSettings factory;
    if (group == kResetDpi) {
        s.dpiCount = factory.dpiCount;
        s.dpiIndex = factory.dpiIndex;
        s.dpi = factory.dpi;
    } else if (group == kResetAll) {
        s = factory;
    } else {
        return SimFormat("unknown reset group 0x%02X", group);
    }
    return {};
}

SimFirmware::Report SimFirmware::InfoAnswer(SimEndpoint endpoint) const {
    Report a = NewReport(kReportId, kCmdGetInfo, 38);
    PutLe16(&a[5], m_model.vid);
    PutLe16(&a[7], endpoint == SimEndpoint::Cable ? m_model.cablePid : m_model.receiverPid);
    a[11] = endpoint == SimEndpoint::Cable ? 0 : 1;
    if (endpoint == SimEndpoint::Receiver && !LinkOnline()) {
        a[9] = m_state.receiverBuild;
        a[10] = m_state.receiverVersion;
        a[12] = 0;  // no mouse
        return a;
    }
    const SimSettings& s = m_state.settings;
    a[9] = m_state.firmwareBuild;
    a[10] = m_state.firmwareVersion;
    a[12] = 1;
    a[13] = m_state.batteryLevel;
    a[14] = m_state.charging;
    a[17] = s.dpiIndex;
    for (size_t i = 0; i < 6; ++i) PutLe16(&a[18 + 2 * i], s.dpi[i] / 50 - 1);
    a[30] = s.reportRate;
    a[31] = s.reportFlag;
    a[32] = s.scrollFlag;
    a[33] = s.liftoffHeight;
    a[34] = s.sensorFlag;
    a[35] = s.highspeedMode;
    a[36] = s.buttonRespondTime;
    PutLe16(&a[37], s.lightSleep);
    PutLe16(&a[39], s.deepSleep);
    a[41] = s.moveWakeup;
    a[42] = s.moveCloselight;
    return a;
}

SimFirmware::Report SimFirmware::ReceiverInfoAnswer(SimEndpoint endpoint) const {
    Report a = NewReport(kReportId, kCmdGetReceiverInfo, 6);
    if (endpoint == SimEndpoint::Receiver) {  // a mouse on its cable has no receiver to describe
        a[5] = 1;
        a[9] = m_state.receiverBuild;
        a[10] = m_state.receiverVersion;
    }
    return a;
}

SimFirmware::Report SimFirmware::StatusAnswer(uint8_t command) const {
    const SimSettings& s = m_state.settings;
    if (command == kCmdStatus1) {
        Report a = NewReport(kReportId, command, static_cast<uint8_t>(s.buttonMap.size()));
        std::copy(s.buttonMap.begin(), s.buttonMap.end(), a.begin() + kPayloadOffset);
        return a;
    }
    Report a = NewReport(kReportId, command, 3);
    PutLe16(&a[5], static_cast<unsigned>(s.macroImage.size()));
    a[7] = static_cast<uint8_t>(m_state.macroUploads & 0xFF);
    return a;
}

SimFirmware::Report SimFirmware::ConnectionState() const {
    return NewReport(kConnectionStateId, LinkOnline() ? 1 : 0, 0);
}

void SimFirmware::StartPairing(Clock::time_point now, Outputs& out) {
    if (!m_state.receiverPlugged) return;  // nothing to pair with
    ++m_state.pairingRequests;
    const bool was = LinkOnline();
    m_state.paired = false;
    m_searching = true;
    m_pairingEnds = now + m_pairingDelay;
    LinkChanged(was, out);
}

void SimFirmware::FinishPairing(Outputs& out) {
    const bool was = LinkOnline();
    m_searching = false;
    m_pairingEnds.reset();
    m_state.paired = true;
    LinkChanged(was, out);
}

SimFirmware::Outputs SimFirmware::Tick(Clock::time_point now) {
    Outputs out;
    if (m_pairingEnds && now >= *m_pairingEnds) {
        m_pairingEnds.reset();
        // A switched-off mouse is not found: the search goes on until it is switched on.
        if (m_state.powered) FinishPairing(out);
    }
    return Traced(std::move(out));
}

std::optional<SimFirmware::Clock::time_point> SimFirmware::NextEventTime() const {
    return m_pairingEnds;
}

void SimFirmware::LinkChanged(bool wasOnline, Outputs& out) {
    const bool online = LinkOnline();
    if (online == wasOnline || !m_state.receiverPlugged) return;
    out.push_back({SimEndpoint::Receiver, ConnectionState()});
    if (online) {
        Report connected = NewReport(kReportId, kNotificationMark, 3);
        connected[5] = kNotifyConnected;
        connected[6] = 1;
        out.push_back({SimEndpoint::Receiver, std::move(connected)});
    }
}

void SimFirmware::SetPlugged(SimEndpoint endpoint, bool plugged) {
    (endpoint == SimEndpoint::Cable ? m_state.cablePlugged : m_state.receiverPlugged) = plugged;
}

SimFirmware::Outputs SimFirmware::SetPowered(bool on) {
    Outputs out;
    const bool was = LinkOnline();
    m_state.powered = on;
    if (on && m_searching && m_state.receiverPlugged) {
        FinishPairing(out);
        m_reattach = true;
    } else {
        LinkChanged(was, out);
    }
    return Traced(std::move(out));
}

SimFirmware::Outputs SimFirmware::PressDpiButton() {
    Outputs out;
    SimSettings& s = m_state.settings;
    s.dpiIndex = static_cast<uint8_t>((s.dpiIndex + 1) % std::max<uint8_t>(s.dpiCount, 1));
    Notify(kNotifyDpi, s.dpiIndex, 0, out);
    return Traced(std::move(out));
}

SimFirmware::Outputs SimFirmware::SetBattery(uint8_t level, bool charging) {
    Outputs out;
    m_state.batteryLevel = level;
    m_state.charging = charging ? 1 : 0;
    Notify(kNotifyBattery, level, m_state.charging, out);
    return Traced(std::move(out));
}

SimFirmware::Outputs SimFirmware::Wake() {
    Outputs out;
    Notify(kNotifyWake, 0, 0, out);
    return Traced(std::move(out));
}

SimFirmware::Outputs SimFirmware::PressButton(int slot) {
    Outputs out;
    if (slot < 0 || slot >= static_cast<int>(kButtonSlots)) return out;
    const uint8_t* code = &m_state.settings.buttonMap[4 * slot];
    if (code[0] == 0x50 && IsPcAction(code[1])) Notify(kNotifyPcAction, code[1], code[2], out);
    return Traced(std::move(out));
}

void SimFirmware::Notify(uint8_t kind, uint8_t first, uint8_t second, Outputs& out) {
    Report report = NewReport(kReportId, kNotificationMark, 3);
    report[5] = kind;
    report[6] = first;
    report[7] = second;
    if (m_state.cablePlugged)
        out.push_back({SimEndpoint::Cable, std::move(report)});
    else if (LinkOnline())
        out.push_back({SimEndpoint::Receiver, std::move(report)});
    else
        m_trace->Record(std::to_string(m_model.deviceType) + " mouse", SimDirection::ToHost, report.data(),
                        report.size(), "not sent: the mouse has no path to the host");
}

SimFirmware::Outputs SimFirmware::Traced(Outputs out) const {
    for (const SimOutput& o : out)
        m_trace->Record(EndpointName(o.endpoint), SimDirection::ToHost, o.data.data(), o.data.size());
    return out;
}
