#pragma once
// A time-stamped record of every report the simulated devices exchange, in both
// directions, with the reason when a report was not applied, written line by line to
// the file VANTOREL_SIM_TRACE names. The rejections are also kept for tests.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

enum class SimDirection { ToDevice, ToHost };

struct SimTraceEntry {
    double seconds = 0;  // since the process started
    std::string device;  // e.g. "101 cable"
    SimDirection direction = SimDirection::ToDevice;
    std::vector<uint8_t> data;
    std::string note;       // what the device did with it
    bool rejected = false;  // not applied because it was malformed
};

// printf-style text for trace notes.
std::string SimFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

class SimTrace {
  public:
    void Record(const std::string& device, SimDirection direction, const uint8_t* data, size_t length,
                const std::string& note = {}, bool rejected = false);

    // Notes of every rejected report, oldest first (the last 4096).
    std::vector<std::string> Rejections() const;
    void ClearRejections();

    // Every report the host wrote to a device, oldest first, as upper-case hex
    // bytes joined by blanks ("06 0F 01 00 00 FF 00 ..."); the last 4096 are kept.
    std::vector<std::string> ReceivedHex() const;
    // The same, of the devices whose name holds `device` ("cable", "receiver").
    std::vector<std::string> ReceivedHex(const std::string& device) const;
    void ClearReceived();

    // One line of the trace file.
    static std::string Format(const SimTraceEntry& entry);

  private:
    mutable std::mutex m_lock;
    static constexpr size_t kReceivedKept = 4096;
    std::deque<std::string> m_rejections;
    std::deque<std::string> m_received;
    std::deque<std::string> m_receivers;  // the device of each of m_received
};
