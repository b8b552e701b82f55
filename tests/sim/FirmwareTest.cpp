// The firmware model on its own, without a transport.
#include <gtest/gtest.h>

#include "protocol/Report.h"
#include "sim/MacroImageCheck.h"
#include "sim/SimFirmware.h"

namespace {

using Clock = SimFirmware::Clock;

class FirmwareTest : public ::testing::Test {
  protected:
    FirmwareTest() : firmware(SimModelOf(101), trace) {
        firmware.SetPlugged(SimEndpoint::Cable, true);
        firmware.SetPairingDelay(std::chrono::milliseconds(50));
    }

    SimFirmware::Outputs Write(const ReportBuffer& report, SimEndpoint endpoint = SimEndpoint::Cable) {
        return firmware.HandleOutput(endpoint, report.data(), kReportSize, now);
    }

    ReportBuffer Setting(std::initializer_list<uint8_t> payload) {
        ReportBuffer r;
        FrameReport(r, kCmdSetting, static_cast<uint8_t>(payload.size()));
        std::copy(payload.begin(), payload.end(), r.begin() + kPayloadOffset);
        return r;
    }

    std::vector<uint8_t> Info(SimEndpoint endpoint = SimEndpoint::Cable) {
        ReportBuffer r;
        FrameReport(r, kCmdGetInfo, 0);
        SimFirmware::Outputs out = Write(r, endpoint);
        return out.empty() ? std::vector<uint8_t>{} : out[0].data;
    }

    std::string LastRejection() {
        auto rejections = trace->Rejections();
        return rejections.empty() ? std::string() : rejections.back();
    }

    std::shared_ptr<SimTrace> trace = std::make_shared<SimTrace>();
    SimFirmware firmware;
    Clock::time_point now = Clock::now();
};

TEST_F(FirmwareTest, InformationAnswerCarriesTheStateAtItsPlaces) {
    std::vector<uint8_t> a = Info();
    ASSERT_EQ(a.size(), kReportSize);
    EXPECT_EQ(a[1], kCmdGetInfo);
    EXPECT_EQ(a[9], 7);      // build
    EXPECT_EQ(a[10], 0x12);  // major 1, minor 2
    EXPECT_EQ(a[11], 0);     // over the cable
    EXPECT_EQ(a[12], 1);     // mouse present
    EXPECT_EQ(a[13], 85);
    EXPECT_EQ(a[17], 1);                  // active stage
    EXPECT_EQ(a[18] | a[19] << 8, 15);    // 800 DPI = (15 + 1) * 50
    EXPECT_EQ(a[28] | a[29] << 8, 239);   // 12000 DPI
    EXPECT_EQ(a[30], 3);                  // report rate
    EXPECT_EQ(a[39] | a[40] << 8, 1200);  // deep sleep
}

TEST_F(FirmwareTest, SettingsAreEchoedAppliedAndReadBack) {
    ReportBuffer rate = Setting({0x02, 0x01});
    SimFirmware::Outputs out = Write(rate);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_TRUE(std::equal(rate.begin(), rate.begin() + kReportSize, out[0].data.begin()));

    Write(Setting({0x0B, 0x2C, 0x01, 0x08, 0x07}));  // sleep 300 s / 1800 s
    Write(Setting({0x01, 0x05, 0x03, 0x40, 0x06}));  // 5 stages, stage 3 at 1600 DPI
    Write(Setting({0x05, 0x01, 0x00, 0x00}));        // scroll flag
    Write(Setting({0x07, 53}));                      // a new profile's sensor flag
    std::vector<uint8_t> a = Info();
    EXPECT_EQ(a[30], 1);
    EXPECT_EQ(a[37] | a[38] << 8, 300);
    EXPECT_EQ(a[39] | a[40] << 8, 1800);
    EXPECT_EQ(a[17], 3);
    EXPECT_EQ(a[24] | a[25] << 8, 31);  // 1600 DPI
    EXPECT_EQ(a[32], 1);
    EXPECT_EQ(a[34], 53);
    EXPECT_EQ(firmware.State().settings.dpiCount, 5);
    EXPECT_TRUE(trace->Rejections().empty());
}

TEST_F(FirmwareTest, MalformedReportsAreNeitherAppliedNorAnswered) {
    struct Case {
        const char* what;
        ReportBuffer report;
        const char* reason;
    };
    std::vector<Case> cases;
    ReportBuffer r = Setting({0x02, 0x00});
    r[2] = 3;  // length byte of a three-byte payload
    cases.push_back({"wrong length byte", r, "length byte 0x03"});
    r = Setting({0x02, 0x00});
    r[3] = 1;
    cases.push_back({"offset on a setting", r, "offset bytes"});
    r = Setting({0x02, 0x00});
    r[7] = 0x55;
    cases.push_back({"garbage after the payload", r, "byte 7 after the payload"});
    r = Setting({0x02, 0x00});
    r[0] = 0x07;
    cases.push_back({"report id", r, "report id 0x07"});
    r = Setting({0x02, 0x09});
    cases.push_back({"value out of range", r, "report rate 9"});
    r = Setting({0x01, 0x03, 0x03, 0x40, 0x06});
    cases.push_back({"active stage beyond the count", r, "active DPI stage 3"});
    FrameReport(r, kCmdButtonMap, 0x24);  // the real slot bytes, not the announced 0x20
    cases.push_back({"button map length", r, "needs 0x20"});
    FrameReport(r, 0x44, 0);
    cases.push_back({"unknown command", r, "unknown command 0x44"});

    for (const Case& c : cases) {
        const SimSettings before = firmware.State().settings;
        EXPECT_TRUE(Write(c.report).empty()) << c.what;
        EXPECT_NE(LastRejection().find(c.reason), std::string::npos) << c.what << ": " << LastRejection();
        EXPECT_EQ(firmware.State().settings.reportRate, before.reportRate) << c.what;
        EXPECT_EQ(firmware.State().settings.dpiCount, before.dpiCount) << c.what;
    }
    EXPECT_TRUE(firmware.HandleOutput(SimEndpoint::Cable, r.data(), 63, now).empty());
    EXPECT_NE(LastRejection().find("63 bytes"), std::string::npos);
    EXPECT_EQ(trace->Rejections().size(), cases.size() + 1);
}

TEST_F(FirmwareTest, ButtonMapAnnouncesThirtyTwoBytesAndCarriesThirtySix) {
    ReportBuffer map;
    FrameReport(map, kCmdButtonMap, kButtonMapLength);
    for (size_t k = 0; k < kButtonSlots; ++k) map[5 + 4 * k] = 0x10;
    map[5 + 4 * 8] = 0x50;  // slot 8: type a text, item 7
    map[6 + 4 * 8] = 0x0B;
    map[7 + 4 * 8] = 0x07;
    ASSERT_EQ(Write(map).size(), 1u);
    EXPECT_EQ(firmware.State().settings.buttonMap[32], 0x50);

    SimFirmware::Outputs out = firmware.PressButton(8);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].data[1], kNotificationMark);
    EXPECT_EQ(out[0].data[5], 0x50);
    EXPECT_EQ(out[0].data[6], 0x0B);
    EXPECT_EQ(out[0].data[7], 0x07);
    EXPECT_TRUE(firmware.PressButton(0).empty()) << "an ordinary button reports nothing here";

    map[5] = 0x77;
    EXPECT_TRUE(Write(map).empty());
    EXPECT_NE(LastRejection().find("slot 0"), std::string::npos);
}

TEST_F(FirmwareTest, MacroChunksMustArriveInOrderAndFormAWellFormedImage) {
    std::vector<uint8_t> image = MakeSampleMacroImage(120);
    ASSERT_EQ(CheckMacroImage(image.data(), image.size()), "");
    ReportBuffer chunk;
    FrameMacroChunk(chunk, image.data(), image.size(), 1);
    EXPECT_TRUE(Write(chunk).empty()) << "a chunk without the start of an upload";
    for (size_t i = 0; i < MacroChunkCount(image.size()); ++i) {
        FrameMacroChunk(chunk, image.data(), image.size(), i);
        EXPECT_EQ(Write(chunk).size(), 1u);
    }
    EXPECT_EQ(firmware.State().settings.macroImage, image);
    EXPECT_EQ(firmware.State().macroUploads, 1);

    // An image whose table points into the middle of a record is refused whole.
    image[0] = 66;
    for (size_t i = 0; i < MacroChunkCount(image.size()); ++i) {
        FrameMacroChunk(chunk, image.data(), image.size(), i);
        Write(chunk);
    }
    EXPECT_EQ(firmware.State().macroUploads, 1);
    EXPECT_NE(LastRejection().find("macro image not applied"), std::string::npos);
}

TEST_F(FirmwareTest, FactoryResetsAreNotAnswered) {
    Write(Setting({0x02, 0x00}));
    Write(Setting({0x01, 0x02, 0x00, 0x90, 0x01}));
    ReportBuffer reset;
    FrameReport(reset, kCmdFactoryReset, 1);
    reset[5] = 0x08;  // DPI only
    EXPECT_TRUE(Write(reset).empty());
    EXPECT_EQ(firmware.State().settings.dpiCount, 7);
    EXPECT_EQ(firmware.State().settings.dpi[0], 800);
    EXPECT_EQ(firmware.State().settings.reportRate, 0);
    reset[5] = 0xFF;
    Write(reset);
    EXPECT_EQ(firmware.State().settings.reportRate, 3);
    EXPECT_TRUE(trace->Rejections().empty());
}

TEST_F(FirmwareTest, ReceiverWithoutItsMouseAnswersForItselfAndReportsOffline) {
    firmware.SetPlugged(SimEndpoint::Receiver, true);
    firmware.SetPowered(false);
    ReportBuffer r;
    FrameReport(r, kCmdGetInfo, 0);
    SimFirmware::Outputs out = Write(r, SimEndpoint::Receiver);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].data[12], 0);                   // no mouse
    EXPECT_NE(out[0].data[9] | out[0].data[10], 0);  // but the receiver answered
    EXPECT_EQ(out[1].data[0], kConnectionStateId);
    EXPECT_EQ(out[1].data[1], 0);

    FrameReport(r, kCmdGetReceiverInfo, 0);
    out = Write(r, SimEndpoint::Receiver);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].data[5], 1);
    EXPECT_EQ(out[0].data[10], 0x11);

    EXPECT_TRUE(Write(Setting({0x02, 0x00}), SimEndpoint::Receiver).empty()) << "no mouse to apply it";
    EXPECT_EQ(firmware.State().settings.reportRate, 3);
}

TEST_F(FirmwareTest, PairingDropsTheLinkAndBringsItBackWithTheSuccessSignal) {
    firmware.SetPlugged(SimEndpoint::Receiver, true);
    ASSERT_TRUE(firmware.LinkOnline());
    SimFirmware::Outputs out = Write(Setting({0x09}), SimEndpoint::Receiver);
    ASSERT_EQ(out.size(), 2u);  // echo, then link down
    EXPECT_EQ(out[1].data[0], kConnectionStateId);
    EXPECT_FALSE(firmware.LinkOnline());

    EXPECT_TRUE(firmware.Tick(now + std::chrono::milliseconds(10)).empty());
    out = firmware.Tick(now + std::chrono::milliseconds(60));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].data[1], 1);  // online
    EXPECT_EQ(out[1].data[1], kNotificationMark);
    EXPECT_EQ(out[1].data[5], 1);
    EXPECT_EQ(out[1].data[6], 1);
    EXPECT_TRUE(firmware.LinkOnline());
}

TEST_F(FirmwareTest, ASearchingReceiverFindsTheMouseWhenItIsSwitchedOnAgain) {
    firmware.SetPlugged(SimEndpoint::Receiver, true);
    SimFirmware::Outputs out = Write(Setting({0x09}), SimEndpoint::Receiver);
    ASSERT_EQ(out.size(), 2u);  // echo, then link down
    EXPECT_EQ(firmware.State().pairingRequests, 1);
    EXPECT_TRUE(firmware.SetPowered(false).empty()) << "the link is already down";
    // A switched-off mouse is not found, however long the search runs.
    EXPECT_TRUE(firmware.Tick(now + std::chrono::hours(1)).empty());
    EXPECT_TRUE(firmware.IsSearching());
    EXPECT_FALSE(firmware.TakeReattach());

    out = firmware.SetPowered(true);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].data[0], kConnectionStateId);
    EXPECT_EQ(out[0].data[1], 1);
    EXPECT_EQ(out[1].endpoint, SimEndpoint::Receiver);
    EXPECT_EQ(std::vector<uint8_t>(out[1].data.begin(), out[1].data.begin() + 7),
              (std::vector<uint8_t>{kReportId, kNotificationMark, 3, 0, 0, 1, 1}));
    EXPECT_TRUE(firmware.LinkOnline());
    EXPECT_FALSE(firmware.IsSearching());
    EXPECT_TRUE(firmware.TakeReattach());
    EXPECT_FALSE(firmware.TakeReattach()) << "reported once";

    // Outside a search a power cycle only brings the link back: no new attachment.
    firmware.SetPowered(false);
    out = firmware.SetPowered(true);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_FALSE(firmware.TakeReattach());
}

TEST_F(FirmwareTest, NotificationsTakeTheCableElseTheRadioElseAreLost) {
    firmware.SetPlugged(SimEndpoint::Receiver, true);
    SimFirmware::Outputs out = firmware.PressDpiButton();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].endpoint, SimEndpoint::Cable);
    EXPECT_EQ(out[0].data[6], 2);

    firmware.SetPlugged(SimEndpoint::Cable, false);
    out = firmware.SetBattery(42, false);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].endpoint, SimEndpoint::Receiver);
    EXPECT_EQ(out[0].data[5], 3);
    EXPECT_EQ(out[0].data[6], 42);

    firmware.SetPowered(false);
    EXPECT_TRUE(firmware.Wake().empty());
}

TEST_F(FirmwareTest, AHungFirmwareIgnoresEverything) {
    firmware.State().answering = false;
    EXPECT_TRUE(Info().empty());
    EXPECT_TRUE(Write(Setting({0x02, 0x00})).empty());
    EXPECT_EQ(firmware.State().settings.reportRate, 3);
}

}  // namespace
