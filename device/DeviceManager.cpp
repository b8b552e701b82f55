#include "device/DeviceManager.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "platform/HidPath.h"
#include "platform/HidrawBackend.h"
#include "base/Trace.h"

namespace {

constexpr size_t kProductMax = 511;
constexpr size_t kConnectionStateRead = 33;  // a connection-state report fits in this

void Pause(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Reads one input report of at most `capacity` bytes into `out`; the rest of the
// `capacity` bytes are zeroed, so a short report never mixes with older contents.
int ReadReport(HidDevice& handle, uint8_t* out, size_t capacity, int timeoutMs) {
    uint8_t incoming[kReportSize + 1] = {};
    capacity = std::min(capacity, kReportSize);
    const int n = handle.Read(incoming, capacity, timeoutMs);
    if (n > 0) {
        std::memcpy(out, incoming, n);
        std::memset(out + n, 0, capacity - n);
    }
    return n;
}

}  // namespace

DeviceManager& DeviceManager::Instance() {
    static DeviceManager manager;
    return manager;
}

DeviceManager::DeviceManager(std::shared_ptr<HidBackend> backend)
    : m_backend(backend ? std::move(backend) : std::make_shared<HidrawBackend>()),
      m_recordsChanged(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

DeviceManager::~DeviceManager() {
    CloseAll();
    if (m_recordsChanged >= 0) ::close(m_recordsChanged);
}

void DeviceManager::SignalRecordsChangedLocked() {
    if (m_recordsChanged >= 0) eventfd_write(m_recordsChanged, 1);
}

void DeviceManager::SetBackend(std::shared_ptr<HidBackend> backend) {
    std::lock_guard<std::mutex> exchange(m_exchangeLock);  // no refresh goes on with the old one
    std::vector<Record> old;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        old = TakeRecordsLocked();
        m_backend = backend ? std::move(backend) : std::make_shared<HidrawBackend>();
    }
    CloseRecords(old);
}

std::shared_ptr<HidBackend> DeviceManager::GetBackend() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_backend;
}

void DeviceManager::SetTimings(const DeviceTimings& timings) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_timings = timings;
}

// ---- supported-ID table ----

void DeviceManager::AddSupportedId(int32_t vid, int32_t pid, const std::wstring& name, int32_t deviceType,
                                   int32_t deviceMode) {
    AddSupportedId(SupportedId{vid, pid, name, deviceType, deviceMode});
}

void DeviceManager::AddSupportedId(const SupportedId& row) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_supported.push_back(row);
}

void DeviceManager::ClearSupportedIds() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_supported.clear();
}

const SupportedId* DeviceManager::FindSupported(const std::vector<SupportedId>& table, int32_t vid,
                                                int32_t pid) {
    for (const SupportedId& row : table)
        if (row.vid == vid && row.pid == pid) return &row;
    return nullptr;
}

bool DeviceManager::IsSupported(int32_t vid, int32_t pid) const {
    std::lock_guard<std::mutex> lock(m_lock);
    return FindSupported(m_supported, vid, pid) != nullptr;
}

int32_t DeviceManager::GetDeviceTypeOf(int32_t vid, int32_t pid) const {
    std::lock_guard<std::mutex> lock(m_lock);
    const SupportedId* row = FindSupported(m_supported, vid, pid);
    return row ? row->deviceType : 0;
}

int32_t DeviceManager::GetDeviceModeOf(int32_t vid, int32_t pid) const {
    std::lock_guard<std::mutex> lock(m_lock);
    const SupportedId* row = FindSupported(m_supported, vid, pid);
    return row ? row->deviceMode : 0;
}

// ---- records ----

void DeviceManager::CloseAll() {
    std::vector<Record> old;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        old = TakeRecordsLocked();
    }
    CloseRecords(old);
}

std::vector<DeviceManager::Record> DeviceManager::TakeRecordsLocked() {
    SignalRecordsChangedLocked();
    m_enabled = false;
    m_activeHandle.reset();
    m_nextRead = 0;
    m_denied.clear();
    return std::exchange(m_records, {});
}

void DeviceManager::CloseRecords(std::vector<Record>& records) {
    // Outside the state lock: closing waits for a read still running on the handle.
    for (Record& record : records) record.handle->Close();
    records.clear();
}

void DeviceManager::Enumerate() {
    std::lock_guard<std::mutex> exchange(m_exchangeLock);
    std::vector<DeniedInterface> denied;
    std::vector<Record> records = OpenRecords(denied);
    InstallRecords(std::move(records), std::move(denied), false);
}

std::vector<DeviceManager::Record> DeviceManager::OpenRecords(std::vector<DeniedInterface>& denied) {
    std::shared_ptr<HidBackend> backend;
    std::vector<SupportedId> supported;
    DeviceTimings timings;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        backend = m_backend;
        supported = m_supported;
        timings = m_timings;
    }
    std::vector<Record> records;
    for (const HidInterfaceInfo& info : backend->Enumerate()) {
        const SupportedId* row = FindSupported(supported, info.vid, info.pid);
        if (!row) continue;
        const bool vendor = info.usagePage == kVendorUsagePage && info.usage == kVendorUsage;
        std::shared_ptr<HidDevice> handle = backend->Open(info.path);
        if (!handle) {
            // Only the vendor interface matters: the program never talks to the others.
            if (vendor && backend->ExplainOpenFailure(info) == HidOpenFailure::AccessDenied) {
                Vantorel::Trace("device: %s (%04X:%04X) exists but may not be opened",
                                info.systemPath.c_str(), info.vid, info.pid);
                denied.push_back({info.vid, info.pid, row->deviceType, row->deviceMode, info.path,
                                  info.systemPath.empty() ? SystemPathOf(info.path) : info.systemPath});
            }
            continue;
        }
        if (!vendor) {
            handle->Close();
            continue;
        }
        Record record;
        record.handle = std::move(handle);
        DeviceRecord& r = record.info;
        r.vid = info.vid;
        r.pid = info.pid;
        r.product = record.handle->GetProductString().substr(0, kProductMax);
        r.release = info.release;
        r.deviceType = row->deviceType;
        r.deviceMode = row->deviceMode;
        Handshake(record, timings);
        r.path = info.path;
        records.push_back(std::move(record));
    }
    return records;
}

void DeviceManager::InstallRecords(std::vector<Record> records, std::vector<DeniedInterface> denied,
                                   bool replace) {
    std::lock_guard<std::mutex> lock(m_lock);
    SignalRecordsChangedLocked();
    if (replace) {
        m_records.clear();
        m_denied.clear();
        m_activeHandle.reset();  // may have been chosen among the old records meanwhile
        m_nextRead = 0;
    }
    m_denied.insert(m_denied.end(), std::make_move_iterator(denied.begin()),
                    std::make_move_iterator(denied.end()));
    for (Record& record : records) {
        DeviceRecord& r = record.info;
        r.index = static_cast<int32_t>(m_records.size());
        Vantorel::Trace("device: record %d %04X:%04X type %d mode %d online %d", r.index, r.vid, r.pid,
                        r.deviceType, r.deviceMode, r.online);
        m_records.push_back(std::move(record));
    }
}

void DeviceManager::Handshake(Record& record, const DeviceTimings& timings) {
    DeviceRecord& r = record.info;
    r.online = kNotAnswering;
    ReportBuffer buffer{};
    bool answered = false;
    for (int attempt = 0; attempt < timings.handshakeAttempts && !answered; ++attempt) {
        FrameReport(buffer, kCmdGetInfo, 0);
        if (record.handle->Write(buffer.data(), kReportSize) >= 0) {
            buffer.fill(0);
            answered = AwaitReport(*record.handle, buffer, timings);
        }
        if (!answered) Pause(timings.handshakePauseMs);
    }
    // The handshake accepts an answer carrying either version byte; readers later ask for both.
    if (buffer[9] != 0 || buffer[10] != 0) {
        r.batteryLevel = buffer[13];
        r.charging = buffer[14];
        r.online = kOnline;
    } else {
        r.deviceType = 0;
    }
}

bool DeviceManager::AwaitReport(HidDevice& handle, ReportBuffer& buffer, const DeviceTimings& timings) {
    for (int attempt = 0; attempt < timings.readAttempts; ++attempt) {
        if (attempt > 0) Pause(timings.emptyReadPauseMs);
        const int n = ReadReport(handle, buffer.data(), kReportSize, timings.readTimeoutMs);
        if (n > 0) return true;
        if (n < 0) return false;  // the device is gone: no answer will come
    }
    return false;
}

void DeviceManager::SetEnabled(bool enabled) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (enabled != m_enabled) SignalRecordsChangedLocked();
    m_enabled = enabled;
}

bool DeviceManager::IsEnabled() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_enabled;
}

void DeviceManager::Reenumerate() {
    std::lock_guard<std::mutex> exchange(m_exchangeLock);
    std::vector<Record> old;
    {
        // Until the new records are in, queries see those of the last refresh (their
        // handles closed): a removal meanwhile still finds the record it removes.
        std::lock_guard<std::mutex> lock(m_lock);
        m_enabled = false;
        m_activeHandle.reset();
        old = m_records;
    }
    CloseRecords(old);
    // The handshakes may take seconds: the state stays free for queries meanwhile.
    std::vector<DeniedInterface> denied;
    std::vector<Record> records = OpenRecords(denied);
    InstallRecords(std::move(records), std::move(denied), true);
    std::lock_guard<std::mutex> lock(m_lock);
    m_enabled = true;
}

bool DeviceManager::CollectDevices(std::vector<DeviceRecord>& list) const {
    std::lock_guard<std::mutex> lock(m_lock);
    list.clear();
    for (const Record& record : m_records)
        if (m_currentDeviceType == 0 || record.info.deviceType == m_currentDeviceType)
            list.push_back(record.info);
    return !m_records.empty();
}

std::vector<DeviceRecord> DeviceManager::GetRecords() const {
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<DeviceRecord> list;
    for (const Record& record : m_records) list.push_back(record.info);
    return list;
}

int DeviceManager::FindRecordIndex(int32_t vid, int32_t pid, int32_t deviceMode) const {
    std::lock_guard<std::mutex> lock(m_lock);
    for (size_t i = 0; i < m_records.size(); ++i) {
        const DeviceRecord& r = m_records[i].info;
        if (r.vid == vid && r.pid == pid && r.deviceMode == deviceMode) return static_cast<int>(i);
    }
    return -1;
}

std::vector<DeniedInterface> DeviceManager::GetDeniedInterfaces() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_denied;
}

void DeviceManager::SetOnlineByIds(int32_t vid, int32_t pid, int32_t online) {
    std::lock_guard<std::mutex> lock(m_lock);
    SetOnlineLocked(vid, pid, online);
}

void DeviceManager::SetOnlineLocked(int32_t vid, int32_t pid, int32_t online) {
    bool changed = false;
    for (Record& record : m_records) {
        DeviceRecord& r = record.info;
        if (r.vid != vid || r.pid != pid || r.online == online) continue;
        r.online = online;
        changed = true;
    }
    // A receiver that lost its mouse must not stay the cached choice.
    if (changed) m_activeHandle.reset();
}

// ---- the active device ----

void DeviceManager::SetCurrentDeviceType(int32_t deviceType) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (deviceType != m_currentDeviceType) m_activeHandle.reset();
    m_currentDeviceType = deviceType;
}

int32_t DeviceManager::GetCurrentDeviceType() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_currentDeviceType;
}

void DeviceManager::DropActiveHandle() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_activeHandle.reset();
}

int DeviceManager::GetCurrentDevMode() const {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_currentDeviceType == 0) return -1;
    for (int32_t mode : {kModeCable, kModeReceiver})
        for (const Record& record : m_records) {
            const DeviceRecord& r = record.info;
            if (r.deviceType == m_currentDeviceType && r.deviceMode == mode && r.online == kOnline)
                return mode;
        }
    return -1;
}

std::shared_ptr<HidDevice> DeviceManager::GetActiveHandle() {
    std::lock_guard<std::mutex> lock(m_lock);
    return ActiveHandleLocked();
}

std::shared_ptr<HidDevice> DeviceManager::ActiveHandleLocked() {
    if (m_activeHandle) return m_activeHandle;
    // Records whose handshake failed carry type 0 and are never chosen.
    if (m_currentDeviceType == 0) return nullptr;
    for (const Record& record : m_records)
        if (record.info.deviceType == m_currentDeviceType && record.info.deviceMode == kModeCable)
            return m_activeHandle = record.handle;
    for (const Record& record : m_records) {
        if (record.info.deviceType != m_currentDeviceType || record.info.deviceMode != kModeReceiver)
            continue;
        if (record.info.online == kOnline) m_activeHandle = record.handle;
        return m_activeHandle;
    }
    return nullptr;
}

// ---- reading and sending ----

void DeviceManager::ApplyConnectionState(const Record& record, uint8_t state) {
    std::lock_guard<std::mutex> lock(m_lock);
    SetOnlineLocked(record.info.vid, record.info.pid, state == 1 ? kOnline : kReceiverOffline);
}

void DeviceManager::PollOnline() {
    std::lock_guard<std::mutex> exchange(m_exchangeLock);
    std::vector<Record> receivers;
    DeviceTimings timings;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        timings = m_timings;
        for (const Record& record : m_records)
            if (record.info.deviceType == m_currentDeviceType && record.info.deviceMode == kModeReceiver)
                receivers.push_back(record);
    }
    for (const Record& record : receivers) {
        uint8_t report[kConnectionStateRead] = {};
        if (ReadReport(*record.handle, report, sizeof report, timings.pollTimeoutMs) > 0 &&
            report[0] == kConnectionStateId)
            ApplyConnectionState(record, report[1]);
    }
}

bool DeviceManager::ReadAnyReport(ReportBuffer& buffer, int32_t& deviceType) {
    std::lock_guard<std::mutex> exchange(m_exchangeLock);
    std::vector<Record> records;
    size_t first = 0;
    DeviceTimings timings;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_enabled) return false;
        records = m_records;  // the handles stay open while read: only a refresh closes them
        first = m_nextRead;
        timings = m_timings;
    }
    const size_t count = records.size();
    for (size_t k = 0; k < count; ++k) {
        const size_t i = (first + k) % count;
        const Record& record = records[i];
        uint8_t report[kReportSize] = {};
        const int n = ReadReport(*record.handle, report, sizeof report, timings.pollTimeoutMs);
        if (n < 0) {
            // Gone or closed: its descriptor would wake every wait until the next refresh.
            std::lock_guard<std::mutex> lock(m_lock);
            for (Record& r : m_records)
                if (r.handle == record.handle) r.readFailed = true;
        }
        if (n <= 0) continue;
        std::memcpy(buffer.data(), report, sizeof report);
        deviceType = record.info.deviceType;
        if (report[0] == kConnectionStateId) {
            ApplyConnectionState(record, report[1]);
            continue;
        }
        // One report per call: the other interfaces keep theirs queued for the next poll.
        std::lock_guard<std::mutex> lock(m_lock);
        m_nextRead = (i + 1) % count;
        return true;
    }
    return true;
}

int DeviceManager::WaitForInput(const std::vector<int>& wakeFds, int timeoutMs, bool interfaces) {
    std::vector<pollfd> set;
    for (int fd : wakeFds)
        if (fd >= 0) set.push_back({fd, POLLIN, 0});
    const size_t firstOwned = set.size();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_enabled && interfaces) {
            for (const Record& record : m_records) {
                if (record.readFailed) continue;
                const int fd = record.handle->DupWaitHandle();
                if (fd < 0) {
                    for (size_t i = firstOwned; i < set.size(); ++i) ::close(set[i].fd);
                    return -1;
                }
                set.push_back({fd, POLLIN, 0});
            }
        }
        eventfd_t stale = 0;
        if (m_recordsChanged >= 0) {
            eventfd_read(m_recordsChanged, &stale);  // changes before now are in the set already
            set.push_back({::fcntl(m_recordsChanged, F_DUPFD_CLOEXEC, 0), POLLIN, 0});
        }
    }
    int ready;
    while ((ready = ::poll(set.data(), set.size(), timeoutMs)) < 0 && errno == EINTR) {
    }
    for (size_t i = firstOwned; i < set.size(); ++i)
        if (set[i].fd >= 0) ::close(set[i].fd);
    return ready > 0 ? 1 : 0;
}

bool DeviceManager::Send(ReportBuffer& report, bool wantReply, bool* answered) {
    if (answered) *answered = false;
    std::lock_guard<std::mutex> exchange(m_exchangeLock);
    std::shared_ptr<HidDevice> handle;
    DeviceTimings timings;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_enabled) return false;
        handle = ActiveHandleLocked();
        timings = m_timings;
    }
    return SendThrough(handle, timings, report, wantReply, answered);
}

bool DeviceManager::SendToReceiver(ReportBuffer& report, bool wantReply) {
    std::lock_guard<std::mutex> exchange(m_exchangeLock);
    std::shared_ptr<HidDevice> handle;
    DeviceTimings timings;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_enabled) return false;
        for (const Record& record : m_records) {
            if (record.info.deviceMode != kModeReceiver || record.info.deviceType == 0) continue;
            if (m_currentDeviceType != 0 && record.info.deviceType != m_currentDeviceType) continue;
            handle = record.handle;
            break;
        }
        timings = m_timings;
    }
    return SendThrough(handle, timings, report, wantReply);
}

bool DeviceManager::HasReceiver() const {
    std::lock_guard<std::mutex> lock(m_lock);
    for (const Record& record : m_records)
        if (record.info.deviceMode == kModeReceiver && record.info.deviceType != 0) return true;
    return false;
}

bool DeviceManager::SendThrough(const std::shared_ptr<HidDevice>& handle, const DeviceTimings& timings,
                                ReportBuffer& report, bool wantReply, bool* answered) {
    if (!handle) return false;
    ReportBuffer exchanged = report;
    Vantorel::TraceHex("send", exchanged.data(), kReportSize);
    if (handle->Write(exchanged.data(), kReportSize) < 0) return false;
    if (wantReply) {
        const bool came = AwaitReport(*handle, exchanged, timings);
        if (came)
            Vantorel::TraceHex("answer", exchanged.data(), kReportSize);
        else
            Vantorel::Trace("no answer to command 0x%02X", report[1]);
        if (answered) *answered = came;
        std::memcpy(report.data(), exchanged.data(), kReportSize);
    }
    return true;
}
