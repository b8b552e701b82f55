#include "device/DeviceMainDef.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {

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

void DeviceMainDef::QueueTask(const WorkerTask& task) {
    QueueTask(task, {});
}

void DeviceMainDef::QueueTask(const WorkerTask& task, TaskDone done) {
    std::lock_guard<std::mutex> lock(m_queueLock);
    const auto counted = std::find_if(m_queuedCounts.begin(), m_queuedCounts.end(),
                                      [&](const auto& entry) { return entry.first == task; });
    if (counted != m_queuedCounts.end())
        ++counted->second;
    else
        m_queuedCounts.emplace_back(task, 1);
    // Only reads nobody waits for fold: a waiter is told about its own task.
    if (task.IsDeviceChangeRead() && !done) {
        const auto queued = std::find_if(m_tasks.begin(), m_tasks.end(), [](const QueuedTask& queuedTask) {
            return queuedTask.task.IsDeviceChangeRead() && !queuedTask.done;
        });
        if (queued != m_tasks.end()) {
            if (task == kTaskReadAfterChangeLong) queued->task = task;
            return;
        }
    }
    m_tasks.push_back({task, std::move(done)});
    if (m_tasks.size() == 1) SetSignal(m_taskSignal, true);
}

WorkerTask DeviceMainDef::TakeDeviceChangeReads() {
    std::vector<TaskDone> waiters;
    WorkerTask taken = kTaskNone;
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        for (auto it = m_tasks.begin(); it != m_tasks.end();) {
            if (!it->task.IsDeviceChangeRead()) {
                ++it;
                continue;
            }
            if (taken != kTaskReadAfterChangeLong) taken = it->task;
            if (it->done) waiters.push_back(std::move(it->done));
            it = m_tasks.erase(it);
        }
        if (m_tasks.empty()) SetSignal(m_taskSignal, false);
    }
    // The refresh about to run does their work; told outside the lock.
    for (TaskDone& done : waiters) done(true);
    return taken;
}

int DeviceMainDef::GetQueuedCount(const WorkerTask& task) const {
    std::lock_guard<std::mutex> lock(m_queueLock);
    for (const auto& [counted, count] : m_queuedCounts)
        if (counted == task) return count;
    return 0;
}

bool DeviceMainDef::TakeTask(WorkerTask& task) {
    std::lock_guard<std::mutex> lock(m_queueLock);
    if (m_tasks.empty()) return false;
    task = m_tasks.front().task;
    m_runningDone = std::move(m_tasks.front().done);
    m_tasks.pop_front();
    if (m_tasks.empty()) SetSignal(m_taskSignal, false);
    m_taskRunning = true;
    return true;
}

void DeviceMainDef::FinishTask(bool sent) {
    TaskDone done;
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        m_taskRunning = false;
        done.swap(m_runningDone);
    }
    // Outside the lock: the waiter may queue again.
    if (done) done(sent);
}

bool DeviceMainDef::DiscardTask() {
    TaskDone done;
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        if (m_tasks.empty()) return false;
        done.swap(m_tasks.front().done);
        m_tasks.pop_front();
        if (m_tasks.empty()) SetSignal(m_taskSignal, false);
    }
    if (done) done(false);
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
