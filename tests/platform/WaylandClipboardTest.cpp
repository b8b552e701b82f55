// The Wayland clipboard through wl-copy and wl-paste: stand-ins on a PATH of the
// test's own keep what they are given, so the text, the arguments and the time
// limits can be checked without a compositor.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "../support/TempFolder.h"
#include "ScratchHome.h"
#include "platform/WaylandClipboard.h"

namespace {

class WaylandClipboardTest : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        SetEnv("PATH", Orvix::WideToUtf8(folder.File("bin")) + ":/usr/bin:/bin");
        SetEnv("WAYLAND_DISPLAY", "wayland-test");
        // wl-copy keeps its arguments and what it read; wl-paste gives that back.
        Script("bin/wl-copy", "printf '%s\\n' \"$@\" > \"$out/copy-args\"; cat > \"$out/clipboard\"\n");
        Script("bin/wl-paste", "[ -s \"$out/clipboard\" ] || exit 1; cat \"$out/clipboard\"\n");
    }

    void Script(const std::string& name, const std::string& body) {
        folder.Write(name, "#!/bin/sh\nout='" + Orvix::WideToUtf8(folder.Folder()) + "'\n" + body);
        chmod(Orvix::WideToUtf8(folder.File(name)).c_str(), 0755);
    }

    TempFolder folder;
    WaylandClipboard clipboard;
};

TEST_F(WaylandClipboardTest, TextGoesInThroughStandardInputAndComesBackWhole) {
    ASSERT_TRUE(WaylandClipboard::IsAvailable());
    const std::string text = "Bonjour, ravi de vous servir !\nline 2 with 'quotes' and $HOME";
    ASSERT_TRUE(clipboard.Write(text));
    EXPECT_EQ(folder.Read("clipboard"), text);
    EXPECT_EQ(folder.Read("copy-args"), "--type\ntext/plain;charset=utf-8\n");
    std::string back;
    ASSERT_TRUE(clipboard.Read(back));
    EXPECT_EQ(back, text);

    // An empty text clears the clipboard; an empty clipboard reads as no text.
    ASSERT_TRUE(clipboard.Write(""));
    EXPECT_EQ(folder.Read("copy-args"), "--clear\n");
    folder.Write("clipboard", "");
    back = "stale";
    ASSERT_TRUE(clipboard.Read(back));
    EXPECT_EQ(back, "");
}

TEST_F(WaylandClipboardTest, AHelperThatHangsIsGivenUpWithinItsTimeAndOneMissingIsNoClipboard) {
    Script("bin/wl-paste", "sleep 30\n");
    const auto start = std::chrono::steady_clock::now();
    std::string text;
    EXPECT_FALSE(clipboard.Read(text));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));

    SetEnv("PATH", "/nonexistent");
    EXPECT_FALSE(WaylandClipboard::IsAvailable());
    EXPECT_FALSE(clipboard.Write("x"));
    SetEnv("PATH", Orvix::WideToUtf8(folder.File("bin")) + ":/usr/bin:/bin");
    SetEnv("WAYLAND_DISPLAY", std::nullopt);
    EXPECT_FALSE(WaylandClipboard::IsAvailable());
}

}  // namespace
