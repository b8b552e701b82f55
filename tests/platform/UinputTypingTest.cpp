// The paste chord on each kind of session: a uinput virtual keyboard on Wayland,
// read back from its own event node where /dev/uinput can be opened (as root where
// the module is there; the VM test always runs it), XTest on X11, and what is told
// when the virtual keyboard cannot be made.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/input.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <optional>

#include "../support/EvdevReader.h"
#include "../support/PrivateXServer.h"
#include "ScratchHome.h"
#include "platform/DesktopServices.h"
#include "platform/DesktopSession.h"
#include "platform/UinputKeyboard.h"

// After the other headers: X11 defines macros (None, Bool) that clash with names there.
#include <X11/Xlib.h>

namespace {

TEST(PasteSession, TheSessionTypeDecidesAndTheDisplaysTellOtherwise) {
    EXPECT_EQ(SessionKindFrom("wayland", nullptr, ":0"), SessionKind::Wayland);
    EXPECT_EQ(SessionKindFrom("x11", "wayland-0", ":0"), SessionKind::X11);
    EXPECT_EQ(SessionKindFrom("tty", "wayland-0", ":1"), SessionKind::Wayland);
    EXPECT_EQ(SessionKindFrom("", "", ""), SessionKind::Unknown);
    EXPECT_TRUE(PasteRoutes(SessionKind::Unknown).empty());  // no window to paste into
    // A node that opens but makes no keyboard is a failure of its own, not "missing".
    UinputKeyboard wrong("/dev/null");
    EXPECT_FALSE(wrong.Create({KEY_LEFTCTRL, KEY_V}));
    EXPECT_EQ(wrong.Problem(), UinputProblem::Failed);
    EXPECT_FALSE(wrong.PressChord({KEY_V}, std::chrono::milliseconds(1)));
}

class PasteRoutesOnSessions : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        SetEnv("DISPLAY", std::nullopt);
        SetEnv("WAYLAND_DISPLAY", std::nullopt);
    }

    // Services for a Wayland session whose virtual keyboard node is `node`, with
    // what they tell of a fallback kept.
    std::unique_ptr<SystemDesktopServices> Wayland(const std::string& node) {
        DesktopSessionOptions options;
        options.session = SessionKind::Wayland;
        options.uinputPath = node;
        options.waylandClipboard = false;
        auto services = std::make_unique<SystemDesktopServices>(options);
        services->SetPasteFallbackHandler([this](const PasteFallback& f) { fallbacks.push_back(f); });
        return services;
    }

    std::vector<PasteFallback> fallbacks;
};

TEST_F(PasteRoutesOnSessions, WithoutTheVirtualKeyboardWaylandFallsBackToXTestAndSaysSo) {
    // No X either: nothing can press the keys, and that is told.
    auto services = Wayland("/nonexistent/uinput");
    EXPECT_FALSE(services->PressPasteKeys());
    ASSERT_EQ(fallbacks.size(), 1u);
    EXPECT_EQ(fallbacks[0].problem, UinputProblem::Missing);
    EXPECT_EQ(fallbacks[0].error, ENOENT);
    EXPECT_EQ(fallbacks[0].node, "/nonexistent/uinput");
    EXPECT_FALSE(fallbacks[0].pasted);

    // With the session's X server (XWayland's role), XTest still reaches X applications.
    PrivateXServer x;
    ASSERT_TRUE(x.Ready());
    SetEnv("DISPLAY", x.Name());
    // Held open as a desktop's own clients would: Xvfb resets when its last client
    // leaves, and refuses connections meanwhile.
    Display* display = XOpenDisplay(x.Name().c_str());
    ASSERT_NE(display, nullptr) << "Xvfb on " << x.Name() << " does not answer";
    EXPECT_TRUE(services->PressPasteKeys());
    ASSERT_EQ(fallbacks.size(), 2u);
    EXPECT_TRUE(fallbacks[1].pasted);

    // An X11 session never asks for the virtual keyboard: nothing to tell.
    DesktopSessionOptions x11;
    x11.session = SessionKind::X11;
    x11.uinputPath = "/nonexistent/uinput";
    SystemDesktopServices onX11(x11);
    onX11.SetPasteFallbackHandler([this](const PasteFallback& f) { fallbacks.push_back(f); });
    EXPECT_TRUE(onX11.PressPasteKeys());
    EXPECT_EQ(fallbacks.size(), 2u);
    XCloseDisplay(display);
}

TEST_F(PasteRoutesOnSessions, TheVirtualKeyboardCarriesThePasteChord) {
    const int probe = open(kUinputPath, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (probe < 0) GTEST_SKIP() << kUinputPath << " cannot be opened here (" << std::strerror(errno) << ")";
    close(probe);

    EvdevReader reader;
    DesktopSessionOptions options;
    options.session = SessionKind::Wayland;
    options.waylandClipboard = false;
    // The node is read as soon as the keyboard is there, before any key.
    options.onVirtualKeyboard = [&](const std::string& eventNode) { reader.Start(eventNode, 4); };
    SystemDesktopServices typing(options);
    ASSERT_TRUE(typing.PressPasteKeys());
    ASSERT_FALSE(reader.Node().empty()) << "the keyboard's event node was not found";
    ASSERT_EQ(reader.OpenError(), 0) << reader.Node() << ": " << std::strerror(reader.OpenError());
    const std::vector<input_event>& keys = reader.Keys();
    // Without an X server the keys at their usual places: Ctrl and V down, V and Ctrl up.
    ASSERT_EQ(keys.size(), 4u);
    const std::pair<int, int> expected[] = {{KEY_LEFTCTRL, 1}, {KEY_V, 1}, {KEY_V, 0}, {KEY_LEFTCTRL, 0}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(keys[i].code, expected[i].first) << i;
        EXPECT_EQ(keys[i].value, expected[i].second) << i;
    }
    // The keyboard is gone afterwards.
    EXPECT_NE(access(reader.Node().c_str(), F_OK), 0);
}

}  // namespace
