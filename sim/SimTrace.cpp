#include "sim/SimTrace.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

// The trace file is shared by every simulated device of the process. It follows the
// environment variable, which is read at every record so that a change takes effect.
class TraceFile {
  public:
    ~TraceFile() {
        if (m_file) std::fclose(m_file);
    }
    void Write(const SimTraceEntry& entry) {
        const char* name = std::getenv("VANTOREL_SIM_TRACE");
        std::lock_guard<std::mutex> lock(m_lock);
        if (!name || !*name) return;
        if (m_name != name) {
            if (m_file) std::fclose(m_file);
            m_name = name;
            m_file = std::fopen(name, "w");
        }
        if (!m_file) return;
        std::fprintf(m_file, "%s\n", SimTrace::Format(entry).c_str());
        std::fflush(m_file);
    }

  private:
    std::mutex m_lock;
    std::string m_name;
    FILE* m_file = nullptr;
};

TraceFile& SharedFile() {
    static TraceFile file;
    return file;
}

double Seconds() {
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    return duration<double>(steady_clock::now() - start).count();
}

}  // namespace

std::string SimFormat(const char* format, ...) {
    char text[256];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(text, sizeof text, format, ap);
    va_end(ap);
    return text;
}

void SimTrace::Record(const std::string& device, SimDirection direction, const uint8_t* data, size_t length,
                      const std::string& note, bool rejected) {
    SimTraceEntry entry{Seconds(), device,  direction, std::vector<uint8_t>(data, data + length),
                        note,      rejected};
    SharedFile().Write(entry);
    std::lock_guard<std::mutex> lock(m_lock);
    if (direction == SimDirection::ToDevice) {
        // Enough for any test's look back, bounded for a long demo run.
        if (m_received.size() >= kReceivedKept) {
            m_received.pop_front();
            m_receivers.pop_front();
        }
        std::string hex;
        char byte[4];
        for (size_t i = 0; i < length; ++i) {
            std::snprintf(byte, sizeof byte, i ? " %02X" : "%02X", data[i]);
            hex += byte;
        }
        m_received.push_back(std::move(hex));
        m_receivers.push_back(device);
    }
    if (rejected) {
        if (m_rejections.size() >= kReceivedKept) m_rejections.pop_front();
        m_rejections.push_back(device + ": " + note);
    }
}

std::vector<std::string> SimTrace::ReceivedHex() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return {m_received.begin(), m_received.end()};
}

std::vector<std::string> SimTrace::ReceivedHex(const std::string& device) const {
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<std::string> received;
    for (size_t i = 0; i < m_received.size(); ++i)
        if (m_receivers[i].find(device) != std::string::npos) received.push_back(m_received[i]);
    return received;
}

void SimTrace::ClearReceived() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_received.clear();
    m_receivers.clear();
}

std::vector<std::string> SimTrace::Rejections() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return {m_rejections.begin(), m_rejections.end()};
}

void SimTrace::ClearRejections() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_rejections.clear();
}

std::string SimTrace::Format(const SimTraceEntry& entry) {
    // Trailing zero bytes are summarised so that a 64-byte report stays readable.
    size_t used = entry.data.size();
    while (used > 0 && entry.data[used - 1] == 0) --used;
    char head[96];
    std::snprintf(head, sizeof head, "%12.6f %-14s %s ", entry.seconds, entry.device.c_str(),
                  entry.direction == SimDirection::ToDevice ? "host->dev" : "dev->host");
    std::string line = head;
    char byte[4];
    for (size_t i = 0; i < used; ++i) {
        std::snprintf(byte, sizeof byte, i ? " %02X" : "%02X", entry.data[i]);
        line += byte;
    }
    if (used < entry.data.size()) line += " +" + std::to_string(entry.data.size() - used) + "x00";
    if (!entry.note.empty()) line += (entry.rejected ? "  REJECTED: " : "  ") + entry.note;
    return line;
}
