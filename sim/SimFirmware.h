#pragma once
// The firmware of the simulated mouse and its wireless receiver, independent of any
// transport: it takes the output reports the host writes to the vendor interface of
// the cable (the mouse itself) or of the receiver, and returns the input reports the
// devices send back, answers and unsolicited reports alike. The in-process back end
// and any other transport deliver those reports; this class never blocks or sleeps.
//
// Strictness: a report whose size, report id, command, length byte, chunk offset or
// trailing bytes do not match the framing, or whose values the device cannot take,
// is not applied and not answered; the trace says why. Settings are answered with an
// echo of the request, reset commands are not answered at all.
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/SimTrace.h"

enum class SimEndpoint { Cable, Receiver };

// Identity of one model on the bus.
struct SimModel {
    int32_t deviceType = 0;
    uint16_t vid = 0;
    uint16_t cablePid = 0;
    uint16_t receiverPid = 0;
    std::wstring cableProduct;
    std::wstring receiverProduct;
    uint16_t release = 0;
};

// The models of the shipped catalog (101 and 102); any other type gives model 101.
const SimModel& SimModelOf(int32_t deviceType);

// What the mouse keeps in its settings memory; the defaults are its factory values.
struct SimSettings {
    uint8_t dpiCount = 7;
    uint8_t dpiIndex = 1;
    std::array<uint16_t, 7> dpi{800, 1200, 1600, 2400, 5000, 12000, 24000};
    uint8_t reportRate = 3;
    uint8_t reportFlag = 0;
    uint8_t scrollFlag = 0;
    uint8_t liftoffHeight = 0;
    uint8_t sensorFlag = 4;
    uint8_t highspeedMode = 1;
    uint8_t buttonRespondTime = 8;
    uint16_t lightSleep = 60;
    uint16_t deepSleep = 1200;
    uint8_t moveWakeup = 1;
    uint8_t moveCloselight = 0;
    std::array<uint8_t, 36> buttonMap{0x10, 0x01, 0, 0, 0x10, 0x02, 0, 0, 0x10, 0x04, 0, 0,
                                      0x10, 0x10, 0, 0, 0x10, 0x08, 0, 0, 0x10, 0x20, 0, 0,
                                      0x10, 0x40, 0, 0, 0x1F, 0x01, 0, 0, 0x1F, 0x00, 0, 0};
    std::vector<uint8_t> macroImage;  // the last image accepted
};

struct SimMouseState {
    SimSettings settings;
    uint8_t batteryLevel = 85;
    uint8_t charging = 0;
    uint8_t firmwareBuild = 7;  // version 1.2.7
    uint8_t firmwareVersion = 0x12;
    uint8_t receiverBuild = 3;  // version 1.1.3
    uint8_t receiverVersion = 0x11;
    bool powered = true;    // the mouse's switch
    bool paired = true;     // the receiver knows this mouse
    bool answering = true;  // false: the firmware hangs and ignores every report
    // A firmware that refuses one kind of change (neither applied nor answered):
    // reports of this command, and with refusedSetting >= 0 only that setting id.
    int refusedCommand = -1;
    int refusedSetting = -1;
    bool cablePlugged = false;
    bool receiverPlugged = false;
    int macroUploads = 0;     // images accepted
    int pairingRequests = 0;  // pairing commands the receiver took
};

struct SimOutput {
    SimEndpoint endpoint;
    std::vector<uint8_t> data;
};

class SimFirmware {
  public:
    using Clock = std::chrono::steady_clock;
    using Outputs = std::vector<SimOutput>;

    SimFirmware(const SimModel& model, std::shared_ptr<SimTrace> trace);

    // One output report written by the host to the vendor interface of `endpoint`.
    Outputs HandleOutput(SimEndpoint endpoint, const uint8_t* data, size_t length, Clock::time_point now);
    // Runs timed events (the end of pairing) that are due.
    Outputs Tick(Clock::time_point now);
    std::optional<Clock::time_point> NextEventTime() const;

    // Transport state: which USB devices are on the bus.
    void SetPlugged(SimEndpoint endpoint, bool plugged);

    // What the user does with the mouse. Switching it on while the receiver searches
    // pairs it at once: the link comes up with the connection notification, and the
    // receiver then attaches anew on the bus (TakeReattach).
    Outputs SetPowered(bool on);
    Outputs PressDpiButton();
    Outputs SetBattery(uint8_t level, bool charging);
    Outputs Wake();
    // A press of the button in slot 0..8; only buttons mapped to a PC-side function report it.
    Outputs PressButton(int slot);

    // A mouse that stays switched on is found once the search has run this long.
    void SetPairingDelay(std::chrono::milliseconds delay) { m_pairingDelay = delay; }
    // True while the receiver has a radio link to the mouse.
    bool LinkOnline() const;
    // True while the receiver searches for a mouse after a pairing command.
    bool IsSearching() const { return m_searching; }
    // True once after pairing by a switch-on: the transport takes the receiver's
    // interfaces off the bus and puts them back, as a receiver re-attaches.
    bool TakeReattach();

    SimMouseState& State() { return m_state; }
    const SimMouseState& State() const { return m_state; }
    const SimModel& Model() const { return m_model; }
    std::string EndpointName(SimEndpoint endpoint) const;

    // Why a report is not framed as the host must frame it; empty when it is.
    static std::string CheckFraming(const uint8_t* data, size_t length);

  private:
    using Report = std::vector<uint8_t>;

    // A command that the mouse itself carries out; the error when it is not applied.
    std::string ForMouse(SimEndpoint endpoint, const uint8_t* data, Outputs& answers);
    std::string ApplySetting(const uint8_t* data);
    std::string ApplyButtonMap(const uint8_t* data);
    std::string ApplyMacroChunk(const uint8_t* data);
    std::string ApplyFactoryReset(uint8_t group);
    Report InfoAnswer(SimEndpoint endpoint) const;
    Report ReceiverInfoAnswer(SimEndpoint endpoint) const;
    Report StatusAnswer(uint8_t command) const;
    Report ConnectionState() const;
    void StartPairing(Clock::time_point now, Outputs& out);
    // The search found the mouse: paired, link up with the success signal.
    void FinishPairing(Outputs& out);
    // Reports the link change, if any, since `wasOnline`. These helpers only append to
    // `out`; the public entry points trace what they return.
    void LinkChanged(bool wasOnline, Outputs& out);
    // An unsolicited report from the mouse, sent over the cable when it is plugged,
    // else over the radio link; lost when the mouse has no path to the host.
    void Notify(uint8_t kind, uint8_t first, uint8_t second, Outputs& out);
    // Records the reports the devices send, then hands them on.
    Outputs Traced(Outputs out) const;

    SimModel m_model;
    std::shared_ptr<SimTrace> m_trace;
    SimMouseState m_state;
    std::chrono::milliseconds m_pairingDelay{1500};
    std::optional<Clock::time_point> m_pairingEnds;  // when a switched-on mouse is found
    bool m_searching = false;
    bool m_reattach = false;
    // Macro upload in progress: the image so far and the offset the next chunk must have.
    std::vector<uint8_t> m_staging;
    std::optional<size_t> m_nextChunk;
};
