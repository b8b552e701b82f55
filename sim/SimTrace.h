#pragma once
// A time-stamped record of every report the simulated devices exchange, in both
// directions, with the reason when a report was not applied. Kept in memory (the
// most recent entries) for tests and, when VANTOREL_SIM_TRACE names a file, written
// there line by line.
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

    std::vector<SimTraceEntry> Entries() const;
    // Notes of every rejected report since the last Clear, oldest first.
    std::vector<std::string> Rejections() const;
    void Clear();

    // One line of the trace file.
    static std::string Format(const SimTraceEntry& entry);

  private:
    static constexpr size_t kKeep = 4096;
    mutable std::mutex m_lock;
    std::deque<SimTraceEntry> m_entries;
    std::vector<std::string> m_rejections;
};
