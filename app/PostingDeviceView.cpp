#include "app/PostingDeviceView.h"

#include "orvix/platform/Platform.h"

// ---- DeviceListShadow ----

void DeviceListShadow::SetModels(const std::vector<int>& deviceTypes) {
    m_entries.clear();
    for (int type : deviceTypes) m_entries.push_back({type, 0});
    m_selected = -1;
}

void DeviceListShadow::SetAllDeviceState(int state) {
    for (Entry& e : m_entries) e.state = state;
}

void DeviceListShadow::SetDeviceState(int deviceType, int deviceMode, int state) {
    for (Entry& e : m_entries) {
        if (e.deviceType != deviceType) continue;
        if (e.state == 1 && deviceMode != 0) return;
        e.state = state;
        return;
    }
}

int DeviceListShadow::SelectDevice(int deviceType) {
    int first = -1, match = -1;
    for (int i = 0; i < int(m_entries.size()) && match < 0; ++i) {
        if (m_entries[i].state <= 0) continue;
        if (first < 0) first = i;
        if (m_entries[i].deviceType == deviceType) match = i;
    }
    m_selected = match >= 0 ? match : first;
    if (m_entries.empty()) return 0;
    if (m_selected < 0) m_selected = 0;
    return m_entries[m_selected].deviceType;
}

// ---- PostingDeviceView ----

PostingDeviceView::PostingDeviceView(DeviceView& target) : m_target(target), m_alive(std::make_shared<int>(0)) {}

PostingDeviceView::~PostingDeviceView() = default;

void PostingDeviceView::Detach() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_alive.reset();
}

template <class F>
void PostingDeviceView::Post(F call) {
    std::weak_ptr<int> alive;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        alive = m_alive;
    }
    Orvix::Platform::PostTask([this, alive, call]() {
        if (!alive.lock()) return;  // detached: `this` may be gone too
        call(m_target);
        if (m_afterEachCall) m_afterEachCall();
    });
}

void PostingDeviceView::SetModels(const std::vector<int>& deviceTypes) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_shadow.SetModels(deviceTypes);
}

void PostingDeviceView::SetBatteryInfo(int level, int charging) {
    Post([=](DeviceView& v) { v.SetBatteryInfo(level, charging); });
}
void PostingDeviceView::SetDeviceBattery(int deviceType, int charging, int level) {
    Post([=](DeviceView& v) { v.SetDeviceBattery(deviceType, charging, level); });
}
void PostingDeviceView::SetAllDeviceState(int state) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_shadow.SetAllDeviceState(state);
    }
    Post([=](DeviceView& v) { v.SetAllDeviceState(state); });
}
void PostingDeviceView::SetDeviceState(int deviceType, int deviceMode, int online) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_shadow.SetDeviceState(deviceType, deviceMode, online);
    }
    Post([=](DeviceView& v) { v.SetDeviceState(deviceType, deviceMode, online); });
}
void PostingDeviceView::SetDeviceVersion(int deviceType, int release) {
    Post([=](DeviceView& v) { v.SetDeviceVersion(deviceType, release); });
}
int PostingDeviceView::SelectDevice(int deviceType) {
    int selected = 0;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        selected = m_shadow.SelectDevice(deviceType);
    }
    Post([=](DeviceView& v) { v.SelectDevice(deviceType); });
    return selected;
}
void PostingDeviceView::SetMouseVersionLabel(const std::wstring& text) {
    Post([=](DeviceView& v) { v.SetMouseVersionLabel(text); });
}
void PostingDeviceView::SetReceiverVersionLabel(const std::wstring& text) {
    Post([=](DeviceView& v) { v.SetReceiverVersionLabel(text); });
}
void PostingDeviceView::SetProfileTitle(const std::wstring& name) {
    Post([=](DeviceView& v) { v.SetProfileTitle(name); });
}
void PostingDeviceView::ShowNotConnectedView() {
    Post([](DeviceView& v) { v.ShowNotConnectedView(); });
}
void PostingDeviceView::ShowDeviceListView(int deviceMode) {
    Post([=](DeviceView& v) { v.ShowDeviceListView(deviceMode); });
}
void PostingDeviceView::SelectDpiStage(int index) {
    Post([=](DeviceView& v) { v.SelectDpiStage(index); });
}
void PostingDeviceView::OnDeviceEvent(DeviceEvent event) {
    Post([=](DeviceView& v) { v.OnDeviceEvent(event); });
}
void PostingDeviceView::CloseWaitDialog() {
    Post([](DeviceView& v) { v.CloseWaitDialog(); });
}
void PostingDeviceView::EnableMainWindow(bool enable) {
    Post([=](DeviceView& v) { v.EnableMainWindow(enable); });
}
void PostingDeviceView::TellStoreProblems() {
    Post([](DeviceView& v) { v.TellStoreProblems(); });
}
void PostingDeviceView::TellRefusedWrite() {
    Post([](DeviceView& v) { v.TellRefusedWrite(); });
}
