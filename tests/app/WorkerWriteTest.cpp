// Writes, resets and notifications of the worker against the simulated mouse.
#include <gtest/gtest.h>

#include "WorkerFixture.h"
#include "base/ButtonFunction.h"
#include "protocol/MacroImage.h"
#include "protocol/Notification.h"
#include "exchange/ExchangeFiles.h"
#include "protocol/SettingReports.h"

namespace {

class WorkerWrite : public WorkerFixture {
  protected:
    void SetUp() override {
        WorkerFixture::SetUp();
        Connect();
        worker.RunTask(kTaskInitialRead);
        RunQueued();
        view.Clear();
    }

    // Runs the queued tasks through the worker's cycle, as its thread does.
    void RunCycles() {
        while (state.HasQueuedTasks()) worker.ThreadCycle();
    }

    void SaveKey(int keyCode, int type, int value, int value2 = 0, int value3 = 0) {
        KeyRecord r;
        r.profile = state.GetCurrentProfile();
        r.keyCode = keyCode;
        r.macroType = type;
        r.macroValue = value;
        r.macroValue2 = value2;
        r.macroValue3 = value3;
        Store().SaveKey(r);
    }
};

TEST_F(WorkerWrite, WriteEverythingLeavesTheStoreValuesInTheMouse) {
    for (const auto& [key, value] : std::map<std::wstring, std::wstring>{{L"dpi_count", L"6"},
                                                                         {L"dpi_index", L"2"},
                                                                         {L"dpi_group2_value", L"3200"},
                                                                         {L"report_rate", L"2"},
                                                                         {L"sensor_flag", L"53"},
                                                                         {L"button_respondtime", L"20"},
                                                                         {L"scroll_flag", L"1"},
                                                                         {L"liftoff_height", L"1"},
                                                                         {L"highspeed_mode", L"0"},
                                                                         {L"light_sleep", L"300"},
                                                                         {L"deep_sleep", L"1800"}})
        SetConfig(key, value);
    SaveKey(3, kFuncDisabled, 1);
    SaveKey(9, kFuncDisabled, 1);  // no slot: skipped
    worker.RunTask(kTaskWriteEverything);

    const SimSettings s = sim->State().settings;
    EXPECT_EQ(s.dpiCount, 6);
    EXPECT_EQ(s.dpiIndex, 2);
    EXPECT_EQ(s.dpi[2], 3200);
    EXPECT_EQ(s.reportRate, 2);
    EXPECT_EQ(s.sensorFlag, 53);
    EXPECT_EQ(s.buttonRespondTime, 20);
    EXPECT_EQ(s.scrollFlag, 1);
    EXPECT_EQ(s.liftoffHeight, 1);
    EXPECT_EQ(s.highspeedMode, 0);
    EXPECT_EQ(s.lightSleep, 300);
    EXPECT_EQ(s.deepSleep, 1800);
    ButtonMap expected = BuildButtonMap({}, {});
    std::fill(expected.begin() + 12, expected.begin() + 16, 0);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), s.buttonMap.begin()));
    EXPECT_EQ(view.Calls(), (std::vector<std::string>{"reload buttons", "reload dpi", "reload lighting"}));
}

TEST_F(WorkerWrite, ReadWriteReadChangesNothing) {
    const auto stored = AllConfig();
    const SimSettings before = sim->State().settings;
    worker.RunTask(kTaskWriteEverything);
    worker.RunTask(kTaskWriteMacros);
    ASSERT_TRUE(worker.ReadMouseState());
    EXPECT_EQ(AllConfig(), stored);
    const SimSettings after = sim->State().settings;
    EXPECT_EQ(after.dpi, before.dpi);
    EXPECT_EQ(after.buttonMap, before.buttonMap);
    EXPECT_EQ(after.sensorFlag, before.sensorFlag);
    EXPECT_EQ(after.lightSleep, before.lightSleep);
    EXPECT_EQ(worker.GetSendFailures(), 0);
}

TEST_F(WorkerWrite, MacrosAndButtonsReachTheMouse) {
    const int32_t first = Store().AddMacro(L"Macro 1");
    const int32_t second = Store().AddMacro(L"Macro 2");
    Store().AddMacroRecord(second, kEventKeyDown, 0, L"↓  A", 65, 50);
    SaveKey(4, kFuncMacro, second, 3, 0);
    worker.RunTask(kTaskWriteButtonMap);
    worker.RunTask(kTaskWriteMacros);
    const SimMouseState s = sim->State();
    EXPECT_EQ(std::vector<uint8_t>(s.settings.buttonMap.begin() + 16, s.settings.buttonMap.begin() + 20),
              (std::vector<uint8_t>{0x60, 1, 3, 0}));
    std::vector<std::vector<MacroEvent>> events(2);
    Store().ListMacroRecords(first, events[0]);
    Store().ListMacroRecords(second, events[1]);
    EXPECT_EQ(s.settings.macroImage, BuildMacroImage(events));
    EXPECT_EQ(s.settings.macroImage.size(), 64u + 16);

    Store().DeleteMacro(second);  // the button falls back to its slot's default
    worker.RunTask(kTaskWriteButtonMap);
    EXPECT_EQ(sim->State().settings.buttonMap[16], 0x10);
    EXPECT_EQ(sim->State().settings.buttonMap[17], 0x08);
}

TEST_F(WorkerWrite, SingleSettingsAndTasksWithoutReports) {
    SetConfig(L"report_rate", L"0");
    state.QueueTask(kTaskWriteReportRate);
    state.QueueTask(kTaskLighting);
    state.QueueTask(kTaskNone);
    RunQueued();
    EXPECT_EQ(sim->State().settings.reportRate, 0);

    sim->Unplug(SimEndpoint::Cable);  // any report sent now fails and is counted
    for (const WorkerTask& task : {kTaskLighting, kTaskNone, TaskAfterImport(kImportStoredOnly)}) worker.RunTask(task);
    EXPECT_EQ(worker.GetSendFailures(), 0);
    worker.RunTask(kTaskWriteMoveWakeup);
    EXPECT_EQ(worker.GetSendFailures(), 1);
}

// Values a store should not hold are checked before they leave: the mouse gets,
// and the store keeps, the defaults, and the window is told.
TEST_F(WorkerWrite, ValuesOutOfRangeAreSentAsTheirDefaultsAndTold) {
    for (const wchar_t* key : {L"dpi_count", L"report_rate", L"button_respondtime"}) SetConfig(key, L"99999");
    SetConfig(L"dpi_group1_value", L"1234");  // not a step of 50: the mouse would refuse it
    state.QueueTask(kTaskWriteEverything);
    RunCycles();
    const SimSettings s = sim->State().settings;
    EXPECT_EQ(s.dpiCount, 7);
    EXPECT_EQ(s.dpi[1], 1200);
    EXPECT_EQ(s.reportRate, 1);
    EXPECT_EQ(s.buttonRespondTime, 1);
    EXPECT_EQ(Config(L"dpi_count"), L"7");
    EXPECT_EQ(Config(L"report_rate"), L"1");
    EXPECT_EQ(worker.GetSendFailures(), 0);
    EXPECT_EQ(view.Count("store problems"), 1);
    const StoreNotice notice = Store().TakeOpenNotice();
    EXPECT_NE(notice.detail.find("dpi_group1_value (1234)"), std::string::npos) << notice.detail;

    // Loading the profile checks it too, before the pages show it.
    SetConfig(L"sensor_flag", L"-3");
    worker.RunTask(kTaskReadAfterSwitch);
    EXPECT_EQ(Config(L"sensor_flag"), L"4");  // put back, then read from the mouse
    EXPECT_EQ(Store().TakeOpenNotice().kind, StoreNotice::Kind::Repaired);
}

// A change the mouse leaves unanswered is a failure, told once until a change
// goes through again.
TEST_F(WorkerWrite, AChangeTheMouseDoesNotTakeIsAFailureToldOnce) {
    sim->Configure([](SimMouseState& s) {
        s.refusedCommand = kCmdSetting;
        s.refusedSetting = kSettingReportRate;
    });
    SetConfig(L"report_rate", L"2");
    state.QueueTask(kTaskWriteReportRate);
    state.QueueTask(kTaskWriteReportRate);
    state.QueueTask(kTaskWriteSensor);  // taken: a change of another kind
    RunCycles();
    EXPECT_EQ(worker.GetRefusedWrites(), 2);
    EXPECT_EQ(worker.GetSendFailures(), 2);
    EXPECT_EQ(view.Count("write refused"), 1);
    EXPECT_EQ(sim->State().settings.reportRate, 3);

    state.QueueTask(kTaskWriteReportRate);
    RunCycles();
    EXPECT_EQ(view.Count("write refused"), 2);  // a new refusal after one that went through

    // A library upload stops at the first chunk the mouse leaves unanswered.
    sim->Configure([](SimMouseState& s) {
        s.refusedCommand = kCmdMacroChunk;
        s.refusedSetting = -1;
    });
    const int32_t macro = Store().AddMacro(L"Long");
    std::vector<MacroEvent> events;
    for (int i = 0; i < 100; ++i) events.push_back({0, macro, kEventKeyDown + i % 2, i, 4, 20, L"A"});
    Store().AddMacroRecords(events);
    sim->Trace().ClearReceived();
    EXPECT_FALSE(worker.WriteMacroMemory());
    const auto sent = sim->Trace().ReceivedHex();
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(), [](const std::string& r) { return r.rfind("06 31", 0) == 0; }),
              1);
    EXPECT_EQ(sim->Trace().Rejections().size(), 4u);
    sim->Trace().ClearRejections();
}

TEST_F(WorkerWrite, PairingDiscardsOneTaskPerCycle) {
    SetConfig(L"report_rate", L"0");
    state.QueueTask(kTaskWriteReportRate);
    state.QueueTask(kTaskWriteReportRate);
    state.SetPairingOpen(true);
    worker.ThreadCycle();
    EXPECT_TRUE(state.HasQueuedTasks());
    worker.ThreadCycle();
    EXPECT_FALSE(state.HasQueuedTasks());
    EXPECT_EQ(sim->State().settings.reportRate, 3);
}

TEST_F(WorkerWrite, PageAndFactoryResets) {
    sim->Configure([](SimMouseState& s) {
        s.settings.dpi[0] = 400;
        s.settings.reportRate = 1;
    });
    worker.RunTask(kTaskResetLightingPage);
    EXPECT_EQ(view.Calls(), std::vector<std::string>{"reload lighting"});
    worker.RunTask(kTaskResetDpiPage);
    EXPECT_EQ(sim->State().settings.dpi[0], 800);
    EXPECT_EQ(sim->State().settings.reportRate, 1);

    SetConfig(L"report_rate", L"0");
    view.Clear();
    worker.RunTask(kTaskFactoryReset);
    EXPECT_EQ(sim->State().settings.reportRate, 3);
    EXPECT_EQ(Config(L"report_rate"), L"3");  // read back after the reset
    const auto calls = view.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), "disable");
    EXPECT_EQ(calls[calls.size() - 2], "close wait");
    EXPECT_EQ(calls.back(), "enable");
}

// The DPI page queues its reset and the lighting page its own before the worker
// takes either: each reset is carried out for its own page.
TEST_F(WorkerWrite, ResetsQueuedBackToBackEachResetTheirOwnPage) {
    sim->Configure([](SimMouseState& s) { s.settings.dpi[0] = 400; });
    state.QueueTask(kTaskResetDpiPage);
    state.QueueTask(kTaskResetLightingPage);
    RunCycles();
    EXPECT_EQ(sim->State().settings.dpi[0], 800);
    EXPECT_EQ(view.Calls(), std::vector<std::string>{"reload lighting"});
}

using WorkerNotification = WorkerWrite;

TEST_F(WorkerNotification, DpiButtonMovesTheStage) {
    sim->PressDpiButton();  // stage 1 -> 2
    worker.PollNotification();
    EXPECT_EQ(Config(L"dpi_index"), L"2");
    EXPECT_EQ(state.GetDeviceValues().dpiIndex, 2);
    EXPECT_EQ(view.Calls(), std::vector<std::string>{"dpi stage 2"});

    // The stage already shown: nothing is written.
    SetConfig(L"dpi_index", L"5");
    sim->Configure([](SimMouseState& s) { s.settings.dpiIndex = 1; });
    sim->PressDpiButton();
    view.Clear();
    worker.PollNotification();
    EXPECT_EQ(Config(L"dpi_index"), L"5");
    EXPECT_TRUE(view.Calls().empty());

    // A stage beyond the seven the profile keeps is not taken as the active one.
    sim->Apply([](SimFirmware&) {
        std::vector<uint8_t> report(kReportSize, 0);
        report[0] = kReportId;
        report[1] = kNotificationMark;
        report[5] = kNotifyDpiStage;
        report[6] = 200;
        return SimFirmware::Outputs{{SimEndpoint::Cable, report}};
    });
    worker.PollNotification();
    EXPECT_EQ(Config(L"dpi_index"), L"5");
    EXPECT_EQ(state.GetDeviceValues().dpiIndex, 2);
    EXPECT_TRUE(view.Calls().empty());
}

TEST_F(WorkerNotification, BatteryReports) {
    sim->SetBattery(40, true);
    worker.PollNotification();
    EXPECT_EQ(view.Calls(), (std::vector<std::string>{"battery 40 1", "list battery 101 1 40"}));

    view.Clear();
    sim->SetBattery(0, false);  // level 0: only the list, with the values shown
    worker.PollNotification();
    EXPECT_EQ(view.Calls(), std::vector<std::string>{"list battery 101 1 40"});

    // While not connected the report first brings the mouse back.
    state.SetConnected(false);
    view.Clear();
    sim->SetBattery(30, false);
    worker.PollNotification();
    EXPECT_TRUE(state.IsConnected());
    EXPECT_TRUE(view.Has("all devices 0"));
    EXPECT_EQ(view.Calls().back(), "list battery 101 0 30");
}

TEST_F(WorkerNotification, PcFunctionsRunOnThePc) {
    const int32_t program = Store().AddKeyOtherData(L"tool", L"/opt/tool", kFuncLaunch);
    const int32_t web = Store().AddKeyOtherData(L"https://example.com", L"", kFuncWeb);
    TextData text;
    text.content = L"Hello";
    const int32_t textId = Store().AddText(text);
    SaveKey(3, kFuncLaunch, program);
    SaveKey(4, kFuncWeb, web);
    SaveKey(5, kFuncText, textId);
    worker.RunTask(kTaskWriteButtonMap);
    for (int slot : {3, 4, 5, 6}) {  // slot 6 keeps its mouse action: no report
        sim->PressButton(slot);
        worker.PollNotification();
    }
    executor.WaitUntilTyped();
    EXPECT_EQ(desktop.Calls(), (std::vector<std::wstring>{L"start /opt/tool", L"open www.example.com",
                                                          L"save clipboard", L"set clipboard Hello", L"paste",
                                                          L"restore clipboard (0 formats)"}));
}

TEST_F(WorkerNotification, WakeRefreshesAndReads) {
    sim->Configure([](SimMouseState& s) { s.settings.reportRate = 0; });
    sim->Wake();
    worker.PollNotification();
    EXPECT_TRUE(view.Has("all devices 0"));
    EXPECT_TRUE(view.Has("reload buttons"));
    EXPECT_EQ(Config(L"report_rate"), L"0");
}

class TwoModels : public WorkerFixture {
  protected:
    TwoModels() : WorkerFixture({101, 102}) {}
};

TEST_F(TwoModels, OtherModelsOnlyShowTheirBattery) {
    sim->Plug(SimEndpoint::Cable, 1);
    Connect();
    ASSERT_EQ(state.GetCurrentDeviceType(), 101);
    worker.RunTask(kTaskInitialRead);
    view.Clear();

    // Both interfaces hold a report at the same poll: neither is lost.
    sim->SetBattery(30, false, 1);
    sim->PressDpiButton(1);
    sim->PressDpiButton(0);
    for (int i = 0; i < 4; ++i) worker.PollNotification();
    EXPECT_EQ(view.Calls(), (std::vector<std::string>{"list battery 102 0 30", "dpi stage 2"}));
    EXPECT_EQ(Config(L"dpi_index"), L"2");
}

}  // namespace
