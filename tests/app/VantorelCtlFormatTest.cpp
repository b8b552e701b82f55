// What vantorelctl prints, whichever way it reached the mouse: the info block, and
// the watch lines made from two states of a mouse, as text and as JSON.
#include <gtest/gtest.h>

#include "JsonReader.h"
#include "app/VantorelCtlFormat.h"

namespace {

MouseDeviceProperties V8() {
    MouseDeviceProperties p;
    p.objectName = "vantorel_v8";
    p.model = "Vantorel V8 Wireless";
    p.deviceType = 101;
    p.selected = true;
    p.connection = "cable";
    p.online = true;
    p.batteryLevel = 80;
    p.activeProfile = 1;
    p.profiles = {{1, "Profile 1"}, {2, "Profile 2"}};
    p.dpiLevels = {800, 1200, 1600};
    p.activeDpiLevel = 1;
    return p;
}

std::string Lines(const MouseDeviceProperties* before, const MouseDeviceProperties* after,
                  bool json = false) {
    std::string out;
    for (const WatchEvent& e : WatchEventsFor(before, after)) out += FormatCtlWatchEvent(e, json);
    return out;
}

TEST(CtlFormat, InfoKeepsItsLayout) {
    CtlInfo info;
    info.models = {{101, "Vantorel V8 Wireless", true}, {102, "Vantorel V6 Lite", false}};
    info.devices = {{0x3A5C, 0x0118, "V8 Receiver", 101, 1, 2}};
    info.connection = "receiver";
    info.batteryLevel = 55;
    info.charging = true;
    info.mouseFirmware = "1.2.7";
    EXPECT_EQ(FormatCtlInfo(info, false),
              "models:\n"
              "  101 Vantorel V8 Wireless  (selected)\n"
              "  102 Vantorel V6 Lite\n"
              "devices:\n"
              "  3A5C:0118 V8 Receiver, model 101, receiver, mouse offline\n"
              "connection: receiver\n"
              "battery: 55% (charging)\n"
              "mouse firmware: 1.2.7\n"
              "receiver firmware: -\n");
}

TEST(CtlFormat, AWatchTellsAMouseWholeWhenItComesThenOnlyWhatChanged) {
    const MouseDeviceProperties v8 = V8();
    EXPECT_EQ(Lines(nullptr, &v8),
              "mouse: Vantorel V8 Wireless, cable\nbattery: 80%\nprofile: 1 Profile 1\ndpi level: 1 (level "
              "2), 1200 DPI\n");
    EXPECT_EQ(Lines(&v8, &v8), "");

    MouseDeviceProperties changed = v8;
    changed.batteryLevel = 79;
    changed.charging = true;
    EXPECT_EQ(Lines(&v8, &changed), "battery: 79% (charging)\n");
    changed = v8;
    changed.activeDpiLevel = 2;
    changed.settings["dpi_index"] = 2;  // settings alone are no line
    EXPECT_EQ(Lines(&v8, &changed), "dpi level: 2 (level 3), 1600 DPI\n");
    changed = v8;
    changed.dpiLevels[1] = 1300;
    EXPECT_EQ(Lines(&v8, &changed), "dpi level: 1 (level 2), 1300 DPI\n");
    changed = v8;
    changed.activeProfile = 2;
    EXPECT_EQ(Lines(&v8, &changed), "profile: 2 Profile 2\n");
    changed = v8;
    changed.connection = "receiver";
    changed.online = false;
    EXPECT_EQ(Lines(&v8, &changed), "mouse: Vantorel V8 Wireless, receiver, mouse offline\n");
    EXPECT_EQ(Lines(&v8, nullptr), "mouse: Vantorel V8 Wireless, unplugged\n");
}

TEST(CtlFormat, AModelTheWindowDoesNotShowHasNoSettingLines) {
    MouseDeviceProperties other = V8();
    other.selected = false;
    MouseDeviceProperties drained = other;
    drained.batteryLevel = 5;
    EXPECT_EQ(Lines(nullptr, &other), "mouse: Vantorel V8 Wireless, cable\n");
    EXPECT_EQ(Lines(&other, &drained), "");
    // Chosen in the window: its state is told whole.
    MouseDeviceProperties chosen = drained;
    chosen.selected = true;
    EXPECT_EQ(Lines(&drained, &chosen),
              "battery: 5%\nprofile: 1 Profile 1\ndpi level: 1 (level 2), 1200 DPI\n");
}

TEST(CtlFormat, InfoAndAWatchWriteTheBatteryAndTheDpiLevelAlike) {
    CtlInfo info;
    info.connection = "cable";
    info.batteryLevel = 80;
    info.reportRate = 3;
    info.dpiIndex = 1;
    info.dpi = 1200;
    const std::string text = FormatCtlInfo(info, false);
    EXPECT_NE(text.find("\nreport rate: 3 (1000 Hz)\n"), std::string::npos) << text;
    const MouseDeviceProperties v8 = V8();
    for (const std::string line : {"battery: 80%\n", "dpi level: 1 (level 2), 1200 DPI\n"}) {
        EXPECT_NE(text.find("\n" + line), std::string::npos) << line << text;
        EXPECT_NE(Lines(nullptr, &v8).find(line), std::string::npos) << line;
    }
    // The JSON objects of the two share their field names and shapes.
    const std::optional<Json> document = ParseJson(FormatCtlInfo(info, true));
    ASSERT_TRUE(document);
    WatchEvent battery;
    battery.kind = WatchEvent::Kind::Battery;
    battery.number = 80;
    WatchEvent dpi;
    dpi.kind = WatchEvent::Kind::DpiLevel;
    dpi.number = 1;
    dpi.dpi = 1200;
    const std::optional<Json> batteryLine = ParseJson(FormatCtlWatchEvent(battery, true));
    const std::optional<Json> dpiLine = ParseJson(FormatCtlWatchEvent(dpi, true));
    ASSERT_TRUE(batteryLine && dpiLine);
    EXPECT_EQ((*batteryLine)["battery"]["level"].number, (*document)["battery"]["level"].number);
    EXPECT_EQ((*batteryLine)["battery"]["charging"].kind, Json::Kind::Bool);
    EXPECT_EQ((*dpiLine)["dpi_index"]["value"].number, (*document)["dpi_index"]["value"].number);
    EXPECT_EQ((*dpiLine)["dpi_index"]["text"].text, (*document)["dpi_index"]["text"].text);
    EXPECT_EQ((*dpiLine)["dpi"].number, (*document)["dpi"].number);
}

// Splits a watch's output into its lines, each of which must be one JSON object.
std::vector<Json> JsonLines(const std::string& text) {
    std::vector<Json> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        EXPECT_NE(end, std::string::npos) << "a line without its end: " << text.substr(start);
        if (end == std::string::npos) break;
        const std::optional<Json> line = ParseJson(text.substr(start, end - start));
        EXPECT_TRUE(line && line->kind == Json::Kind::Object) << text.substr(start, end - start);
        if (line) lines.push_back(*line);
        start = end + 1;
    }
    return lines;
}

TEST(CtlFormat, AWatchUnderJsonIsOneObjectPerLineNamedByItsEvent) {
    MouseDeviceProperties v8 = V8();
    v8.profiles[0].second = "Work \"fast\"";  // a name a user typed
    v8.charging = true;
    std::vector<Json> lines = JsonLines(Lines(nullptr, &v8, true));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0]["event"].text, "mouse");
    EXPECT_EQ(lines[0]["model"].text, "Vantorel V8 Wireless");
    EXPECT_EQ(lines[0]["connection"].text, "cable");
    EXPECT_EQ(lines[0]["state"].text, "online");
    EXPECT_EQ(lines[1]["event"].text, "battery");
    EXPECT_EQ(lines[1]["battery"]["level"].number, 80);
    EXPECT_TRUE(lines[1]["battery"]["charging"].boolean);
    EXPECT_EQ(lines[2]["event"].text, "profile");
    EXPECT_EQ(lines[2]["profile"]["id"].number, 1);
    EXPECT_EQ(lines[2]["profile"]["name"].text, "Work \"fast\"");
    EXPECT_EQ(lines[3]["event"].text, "dpi_level");
    EXPECT_EQ(lines[3]["dpi_index"]["value"].number, 1);
    EXPECT_EQ(lines[3]["dpi_index"]["text"].text, "level 2");
    EXPECT_EQ(lines[3]["dpi"].number, 1200);

    // Switched off behind its receiver, then unplugged: the mouse's state says which.
    MouseDeviceProperties off = v8;
    off.connection = "receiver";
    off.online = false;
    lines = JsonLines(Lines(&v8, &off, true));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["connection"].text, "receiver");
    EXPECT_EQ(lines[0]["state"].text, "mouse offline");
    lines = JsonLines(Lines(&off, nullptr, true));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["connection"].kind, Json::Kind::Null);
    EXPECT_EQ(lines[0]["state"].text, "unplugged");
}

}  // namespace
