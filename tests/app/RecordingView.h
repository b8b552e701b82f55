#pragma once
// A device view that writes down every call, for tests of the worker. A device
// event is written down as what the window does about it (a model with the
// lighting page unless told otherwise).
#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "app/DeviceView.h"
#include "base/TextConv.h"

class RecordingView : public DeviceView {
  public:
    void SetBatteryInfo(int level, int charging) override { Note("battery " + N(level) + " " + N(charging)); }
    void SetDeviceBattery(int type, int charging, int level) override {
        Note("list battery " + N(type) + " " + N(charging) + " " + N(level));
    }
    void SetAllDeviceState(int state) override { Note("all devices " + N(state)); }
    void SetDeviceState(int type, int mode, int online) override {
        Note("device state " + N(type) + " " + N(mode) + " " + N(online));
    }
    void SetDeviceVersion(int type, int release) override {
        Note("device version " + N(type) + " " + N(release));
    }
    int SelectDevice(int type) override {
        Note("select device " + N(type));
        return type ? type : 101;
    }
    void SetMouseVersionLabel(const std::wstring& text) override {
        Note("mouse label " + Orvix::WideToUtf8(text));
    }
    void SetReceiverVersionLabel(const std::wstring& text) override {
        Note("receiver label " + Orvix::WideToUtf8(text));
    }
    void SetProfileTitle(const std::wstring& name) override { Note("profile " + Orvix::WideToUtf8(name)); }
    void ShowNotConnectedView() override { Note("not connected"); }
    void ShowDeviceListView(int mode) override { Note("device list " + N(mode)); }
    void SelectDpiStage(int index) override { Note("dpi stage " + N(index)); }
    void OnDeviceEvent(DeviceEvent event) override {
        for (WindowReaction reaction : ReactionsTo(event, lightingPage)) Note(Name(reaction));
    }
    void CloseWaitDialog() override { Note("close wait"); }
    void EnableMainWindow(bool enable) override { Note(enable ? "enable" : "disable"); }
    void TellStoreProblems() override { Note("store problems"); }
    void TellRefusedWrite() override { Note("write refused"); }

    std::vector<std::string> Calls() const {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_calls;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_calls.clear();
    }
    bool Has(const std::string& call) const {
        const auto calls = Calls();
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
    long Count(const std::string& call) const {
        const auto calls = Calls();
        return std::count(calls.begin(), calls.end(), call);
    }

    bool lightingPage = true;

  private:
    static std::string N(int value) { return std::to_string(value); }
    static std::string Name(WindowReaction reaction) {
        switch (reaction) {
            case WindowReaction::ReloadButtons: return "reload buttons";
            case WindowReaction::ReloadMacros: return "reload macros";
            case WindowReaction::ReloadDpiPerformance: return "reload dpi";
            case WindowReaction::ReloadLighting: return "reload lighting";
            case WindowReaction::StopMacroRecording: return "stop recording";
            case WindowReaction::ClosePopups: return "close popups";
        }
        return "?";
    }
    void Note(std::string call) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_calls.push_back(std::move(call));
    }

    mutable std::mutex m_lock;
    std::vector<std::string> m_calls;
};
