#pragma once
// Test support: the key events of an input device's event node, read on a thread of
// their own while the device lives (a removed device's node reads nothing more).
// Used where the virtual keyboard is watched: the platform tests and the VM probe.
#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

class EvdevReader {
  public:
    EvdevReader() = default;
    ~EvdevReader() { Join(); }
    EvdevReader(const EvdevReader&) = delete;
    EvdevReader& operator=(const EvdevReader&) = delete;

    // Opens `node` and reads until `count` key events came or two seconds passed.
    // False (with OpenError()) when the node cannot be opened.
    bool Start(const std::string& node, size_t count) {
        m_node = node;
        const int fd = open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            m_openError = errno;
            return false;
        }
        m_thread = std::thread([this, fd, count] {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (m_keys.size() < count && std::chrono::steady_clock::now() < until) {
                pollfd p{fd, POLLIN, 0};
                if (poll(&p, 1, 50) <= 0) continue;
                input_event event{};
                if (read(fd, &event, sizeof event) != static_cast<ssize_t>(sizeof event)) break;
                if (event.type == EV_KEY) m_keys.push_back(event);
            }
            close(fd);
        });
        return true;
    }
    // The events read; waits for the reading to end.
    const std::vector<input_event>& Keys() {
        Join();
        return m_keys;
    }
    const std::string& Node() const { return m_node; }
    int OpenError() const { return m_openError; }

  private:
    void Join() {
        if (m_thread.joinable()) m_thread.join();
    }

    std::string m_node;
    int m_openError = 0;
    std::thread m_thread;
    std::vector<input_event> m_keys;
};
