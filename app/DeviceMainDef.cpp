#include "app/DeviceMainDef.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>

namespace {

bool IsDeviceChangeRead(int code) {
    return code == kTaskReadAfterChangeLong || code == kTaskReadAfterChangeShort;
}

// The signal follows the queue: set by the first task queued, cleared with the last taken.
void SetSignal(int fd, bool set) {
    if (fd < 0) return;
    eventfd_t value = 0;
    if (set)
        eventfd_write(fd, 1);
    else
        eventfd_read(fd, &value);  // non-blocking: nothing to clear is fine
}

}  // namespace

DeviceMainDef::DeviceMainDef() : m_taskSignal(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

DeviceMainDef::~DeviceMainDef() {
    if (m_taskSignal >= 0) ::close(m_taskSignal);
}

void DeviceMainDef::QueueTask(int code) {
    std::lock_guard<std::mutex> lock(m_queueLock);
    ++m_queuedCounts[code];
    if (IsDeviceChangeRead(code)) {
        const auto queued = std::find_if(m_tasks.begin(), m_tasks.end(), IsDeviceChangeRead);
        if (queued != m_tasks.end()) {
            if (code == kTaskReadAfterChangeLong) *queued = code;
            return;
        }
    }
    m_tasks.push_back(code);
    if (m_tasks.size() == 1) SetSignal(m_taskSignal, true);
}

int DeviceMainDef::TakeDeviceChangeReads() {
    std::lock_guard<std::mutex> lock(m_queueLock);
    int taken = kTaskNone;
    for (auto it = m_tasks.begin(); it != m_tasks.end();) {
        if (!IsDeviceChangeRead(*it)) {
            ++it;
            continue;
        }
        if (taken != kTaskReadAfterChangeLong) taken = *it;
        it = m_tasks.erase(it);
    }
    if (m_tasks.empty()) SetSignal(m_taskSignal, false);
    return taken;
}

int DeviceMainDef::GetQueuedCount(int code) const {
    std::lock_guard<std::mutex> lock(m_queueLock);
    auto it = m_queuedCounts.find(code);
    return it == m_queuedCounts.end() ? 0 : it->second;
}

bool DeviceMainDef::TakeTask(int& code) {
    std::lock_guard<std::mutex> lock(m_queueLock);
    if (m_tasks.empty()) return false;
    code = m_tasks.front();
    m_tasks.pop_front();
    if (m_tasks.empty()) SetSignal(m_taskSignal, false);
    m_taskRunning = true;
    return true;
}

void DeviceMainDef::FinishTask() {
    std::lock_guard<std::mutex> lock(m_queueLock);
    m_taskRunning = false;
}

bool DeviceMainDef::DiscardTask() {
    std::lock_guard<std::mutex> lock(m_queueLock);
    if (m_tasks.empty()) return false;
    m_tasks.pop_front();
    if (m_tasks.empty()) SetSignal(m_taskSignal, false);
    return true;
}

bool DeviceMainDef::HasQueuedTasks() const {
    std::lock_guard<std::mutex> lock(m_queueLock);
    return !m_tasks.empty();
}

bool DeviceMainDef::IsIdle() const {
    std::lock_guard<std::mutex> lock(m_queueLock);
    return m_tasks.empty() && !m_taskRunning;
}

DeviceValues DeviceMainDef::GetDeviceValues() const {
    std::lock_guard<std::mutex> lock(m_valueLock);
    return m_values;
}

void DeviceMainDef::SetDeviceValues(const DeviceValues& values) {
    std::lock_guard<std::mutex> lock(m_valueLock);
    m_values = values;
}

void DeviceMainDef::SetMousePresent(int present) {
    std::lock_guard<std::mutex> lock(m_valueLock);
    m_values.mousePresent = present;
}

void DeviceMainDef::SetActiveDpiIndex(int index) {
    std::lock_guard<std::mutex> lock(m_valueLock);
    m_values.dpiIndex = index;
}

void DeviceMainDef::SetBattery(int level, int charging) {
    std::lock_guard<std::mutex> lock(m_valueLock);
    m_values.batteryLevel = level;
    m_values.charging = charging;
}

std::wstring DeviceMainDef::GetMouseVersion() const {
    std::lock_guard<std::mutex> lock(m_valueLock);
    return m_mouseVersion;
}

void DeviceMainDef::SetMouseVersion(const std::wstring& version) {
    std::lock_guard<std::mutex> lock(m_valueLock);
    m_mouseVersion = version;
}

std::wstring DeviceMainDef::GetReceiverVersion() const {
    std::lock_guard<std::mutex> lock(m_valueLock);
    return m_receiverVersion;
}

void DeviceMainDef::SetReceiverVersion(const std::wstring& version) {
    std::lock_guard<std::mutex> lock(m_valueLock);
    m_receiverVersion = version;
}
