#pragma once
// Finds the supported mice on the bus, opens their vendor interface, greets each with
// the get-information handshake and keeps one record per opened interface; chooses
// the handle the program talks to and carries every report exchange (Send).
//
// One process-wide instance (Instance) is shared by the UI thread, the device worker
// and the pairing dialog's thread. Exchanges with the devices (refreshes with their
// handshakes, Send, the polling reads) take the exchange lock for their whole run, so
// only one is in flight at a time and a silent device holds the other exchanges back
// for as long as its time-outs last. The records and tables have a lock of their own
// that is held only for moments, never across device I/O: the queries the UI thread
// makes (FindRecordIndex, GetCurrentDevMode, the supported-ID table) never wait for a
// device. During a refresh they see the records of the last one.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/SupportedId.h"
#include "platform/HidBackend.h"
#include "protocol/Report.h"

// Online states of a record.
constexpr int32_t kNotAnswering = 0;
constexpr int32_t kOnline = 1;
constexpr int32_t kReceiverOffline = 2;  // receiver present, its mouse not connected

// Device modes.
constexpr int32_t kModeCable = 0;
constexpr int32_t kModeReceiver = 1;

// One opened vendor interface, as handed out by CollectDevices (a copy: records are
// replaced by every refresh).
struct DeviceRecord {
    int32_t index = 0;  // position in the record list at creation
    uint16_t vid = 0;
    uint16_t pid = 0;
    std::string path;  // canonical interface path
    std::wstring product;
    int32_t release = 0;
    int32_t deviceType = 0;  // 0 once the handshake got no valid answer: never chosen then
    int32_t deviceMode = 0;
    int32_t online = kNotAnswering;
    int32_t charging = 0;
    int32_t batteryLevel = 0;
};

// The vendor interface of a supported model that the last enumeration found but could
// not open because this user may not read and write its node: the mouse is there,
// only a device permission is missing.
struct DeniedInterface {
    uint16_t vid = 0;
    uint16_t pid = 0;
    int32_t deviceType = 0;
    int32_t deviceMode = 0;
    std::string path;  // canonical interface path
    std::string node;  // the device node, e.g. "/dev/hidraw3"
};

// Every wait of the manager. The defaults are the product's; tests shorten them.
struct DeviceTimings {
    int readTimeoutMs = 100;     // one read waiting for an answer
    int readAttempts = 10;       // reads per awaited answer
    int emptyReadPauseMs = 10;   // after a read that brought nothing
    int handshakeAttempts = 10;  // get-information requests per new record
    int handshakePauseMs = 20;   // after a handshake attempt without any report
    int pollTimeoutMs = 10;      // ReadAnyReport and PollOnline, per interface
};

class DeviceManager {
  public:
    // The process-wide manager, on the hidraw back end unless SetBackend replaced it.
    static DeviceManager& Instance();

    // A manager of its own on `backend` (the hidraw back end when null).
    explicit DeviceManager(std::shared_ptr<HidBackend> backend = nullptr);
    ~DeviceManager();
    DeviceManager(const DeviceManager&) = delete;
    DeviceManager& operator=(const DeviceManager&) = delete;

    // Closes every record and talks to `backend` from now on.
    void SetBackend(std::shared_ptr<HidBackend> backend);
    std::shared_ptr<HidBackend> GetBackend() const;
    void SetTimings(const DeviceTimings& timings);

    // Supported-ID table, filled from the catalog.
    void AddSupportedId(int32_t vid, int32_t pid, const std::wstring& name, int32_t deviceType,
                        int32_t deviceMode);
    void AddSupportedId(const SupportedId& row);
    void ClearSupportedIds();
    bool IsSupported(int32_t vid, int32_t pid) const;
    int32_t GetDeviceTypeOf(int32_t vid, int32_t pid) const;  // first matching row, else 0
    int32_t GetDeviceModeOf(int32_t vid, int32_t pid) const;  // first matching row, else 0

    // Records.
    void CloseAll();
    void Enumerate();
    void SetEnabled(bool enabled);
    bool IsEnabled() const;
    // Drop the active handle, CloseAll, Enumerate, enable: the manager's part of a refresh.
    void Reenumerate();
    // Copies of the records of the current device type (all records when it is 0);
    // false when there is no record at all.
    bool CollectDevices(std::vector<DeviceRecord>& list) const;
    std::vector<DeviceRecord> GetRecords() const;
    int FindRecordIndex(int32_t vid, int32_t pid, int32_t deviceMode) const;
    // The vendor interfaces the last enumeration could not open for lack of access, in
    // enumeration order; empty after CloseAll.
    std::vector<DeniedInterface> GetDeniedInterfaces() const;
    void SetOnlineByIds(int32_t vid, int32_t pid, int32_t online);

    // The model the program talks to (0 = none); a change drops the active handle.
    void SetCurrentDeviceType(int32_t deviceType);
    int32_t GetCurrentDeviceType() const;
    void DropActiveHandle();
    // 0 when the current model's cable is online, else 1 when its receiver is, else -1.
    int GetCurrentDevMode() const;
    // The cable of the current model whenever one is enumerated, otherwise its first
    // receiver while that reports its mouse online; null when there is none. Valid
    // until the next refresh (a closed handle fails every call, it never dangles).
    std::shared_ptr<HidDevice> GetActiveHandle();

    // Reads a connection-state report from each receiver of the current model.
    void PollOnline();
    // Reads the open interfaces in turn, 10 ms each, until one delivers a report other
    // than a connection state (which only updates the online state); that report is
    // left in `buffer` with the type of the device that sent it. False while disabled.
    // An interface whose read fails (a device gone) is not waited on any more.
    bool ReadAnyReport(ReportBuffer& buffer, int32_t& deviceType);
    // Sleeps until an open interface may have a report to read (only with
    // `interfaces`), one of `wakeFds` polls readable, the records change or
    // `timeoutMs` passes (-1: no limit). Returns 1 when woken, 0 at the time-out,
    // and -1 at once, without waiting, when an open interface offers nothing to
    // wait on (it must be read in turn). Meant for one waiter at a time.
    int WaitForInput(const std::vector<int>& wakeFds, int timeoutMs, bool interfaces = true);
    // Writes `report` to the active handle; with `wantReply` waits for the first input
    // report and leaves it in `report` (the request stays there when none came). True
    // when the write succeeded; false, with `report` untouched, without a device.
    // `answered`, when given, tells whether the answer came: the mouse answers what it
    // takes, and is silent about a report it refuses.
    bool Send(ReportBuffer& report, bool wantReply, bool* answered = nullptr);
    // The same to a receiver of the current model (of any model when none is
    // current), linked to its mouse or not: commands meant for the receiver
    // itself (pairing) never go to a mouse on its cable. False without one.
    bool SendToReceiver(ReportBuffer& report, bool wantReply);
    // True when a receiver of a supported model is enumerated.
    bool HasReceiver() const;

  private:
    struct Record {
        DeviceRecord info;
        std::shared_ptr<HidDevice> handle;
        bool readFailed = false;  // its reads fail: nothing to wait for until the next refresh
    };

    static const SupportedId* FindSupported(const std::vector<SupportedId>& table, int32_t vid, int32_t pid);
    // Empties the record list and disables sends; the caller closes what it returns.
    std::vector<Record> TakeRecordsLocked();
    static void CloseRecords(std::vector<Record>& records);
    // Opens and greets the supported vendor interfaces (exchange lock held); those it
    // may not open go to `denied`.
    std::vector<Record> OpenRecords(std::vector<DeniedInterface>& denied);
    // Appends the records, or with `replace` puts them in place of the old ones.
    void InstallRecords(std::vector<Record> records, std::vector<DeniedInterface> denied, bool replace);
    static void Handshake(Record& record, const DeviceTimings& timings);
    std::shared_ptr<HidDevice> ActiveHandleLocked();
    bool SendThrough(const std::shared_ptr<HidDevice>& handle, const DeviceTimings& timings,
                     ReportBuffer& report, bool wantReply,
                     bool* answered = nullptr);
    void SetOnlineLocked(int32_t vid, int32_t pid, int32_t online);
    // A receiver's connection-state report (byte 1 = 1 online, else offline).
    void ApplyConnectionState(const Record& record, uint8_t state);
    // Waits, as the timings say, for one input report and leaves it in `buffer`.
    static bool AwaitReport(HidDevice& handle, ReportBuffer& buffer, const DeviceTimings& timings);
    // Wakes a WaitForInput in progress: the records it waits on are no longer those.
    void SignalRecordsChangedLocked();

    std::mutex m_exchangeLock;  // taken before m_lock, never while holding it
    mutable std::mutex m_lock;
    std::shared_ptr<HidBackend> m_backend;
    DeviceTimings m_timings;
    std::vector<SupportedId> m_supported;
    std::vector<Record> m_records;
    std::vector<DeniedInterface> m_denied;
    bool m_enabled = false;
    int32_t m_currentDeviceType = 0;
    std::shared_ptr<HidDevice> m_activeHandle;  // cached choice of GetActiveHandle
    size_t m_nextRead = 0;                      // where ReadAnyReport starts, so no interface is starved
    int m_recordsChanged = -1;                  // eventfd, set by every change of the records
};
