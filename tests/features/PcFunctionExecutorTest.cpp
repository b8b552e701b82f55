#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "../support/TempFolder.h"
#include "RecordingDesktop.h"
#include "base/ButtonFunction.h"
#include "platform/PcFunctionExecutor.h"
#include "base/TextConv.h"
#include "platform/DesktopServices.h"
#include "storage/DataStore.h"

namespace {

TEST(PcFunction, WebAddressRules) {
    EXPECT_EQ(WebAddressToOpen(L"https://example.com/a"), L"www.example.com/a");
    EXPECT_EQ(WebAddressToOpen(L"https://www.example.com"), L"www.example.com");
    EXPECT_EQ(WebAddressToOpen(L"http://example.com"), L"www.example.com");
    EXPECT_EQ(WebAddressToOpen(L"example.com"), L"www.example.com");
    EXPECT_EQ(WebAddressToOpen(L"shop.www.example.com"), L"shop.www.example.com");
    EXPECT_EQ(WebAddressToOpen(L"https://"), L"");
    EXPECT_EQ(WebAddressToOpen(L"HTTPS://example.com"), L"www.HTTPS://example.com");

    // Only http and https reach the browser, whatever the address contains.
    EXPECT_EQ(WebUrlFor(L"www.example.com/a"), L"http://www.example.com/a");
    EXPECT_EQ(WebUrlFor(L"HTTPS://example.com"), L"HTTPS://example.com");
    EXPECT_EQ(WebUrlFor(L"localhost:8080/admin"), L"http://localhost:8080/admin");
    for (const wchar_t* refused : {L"file:///etc/www.passwd", L"javascript:alert('www.')", L"FILE:/x/www.y",
                                   L"mailto:a@www.example.com", L"www.HTTPS://example.com",
                                   L"data:text/html,www.", L"smb://www.host/share"}) {
        EXPECT_EQ(WebUrlFor(WebAddressToOpen(refused)), L"") << Orvix::WideToUtf8(refused);
    }
}

class PcFunctionStore : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(Orvix::WideToUtf8(folder.Folder()) + "db");
        ASSERT_TRUE(DataStore::Instance().OpenForDevice(folder.Folder(), L"PcFunction"));
    }
    void TearDown() override { DataStore::Instance().CloseIfOpen(); }

    TempFolder folder;
    RecordingDesktop desktop;
    PcFunctionExecutor executor{DataStore::Instance(), desktop};
};

TEST_F(PcFunctionStore, ProgramsAndAddressesFromTheirRows) {
    DataStore& store = DataStore::Instance();
    const int32_t program = store.AddKeyOtherData(L"editor", L"/usr/bin/my editor", kFuncLaunch);
    const int32_t web = store.AddKeyOtherData(L"https://example.com", L"", kFuncWeb);
    EXPECT_TRUE(executor.Execute(kFuncLaunch, program));
    EXPECT_TRUE(executor.Execute(kFuncWeb, web));
    EXPECT_FALSE(executor.Execute(kFuncLaunch, 99));  // no row: nothing to start
    const int32_t file = store.AddKeyOtherData(L"file:///etc/www.passwd", L"", kFuncWeb);
    EXPECT_FALSE(executor.Execute(kFuncWeb, file));  // never handed to the desktop
    EXPECT_FALSE(executor.Execute(12, program));
    EXPECT_EQ(desktop.calls,
              (std::vector<std::wstring>{L"start /usr/bin/my editor", L"open www.example.com"}));
}

TEST_F(PcFunctionStore, TypingPastesAndPutsEveryFormatOfTheClipboardBack) {
    TextData text;
    text.name = L"greeting";
    text.content = L"Hello, it's my pleasure to serve you!";
    const int32_t id = DataStore::Instance().AddText(text);
    // The user had copied a picture: its format and a text one go back.
    const ClipboardContents copied = {
        {"image/png", "image/png", 8, std::string("\x89PNG\r\n\x1a\n\0\x01", 10)},
        {"UTF8_STRING", "UTF8_STRING", 8, "the user's copy"}};
    desktop.clipboard = copied;
    EXPECT_TRUE(executor.Execute(kFuncText, id));
    executor.WaitUntilTyped();
    EXPECT_EQ(desktop.Calls(), (std::vector<std::wstring>{L"save clipboard", L"set clipboard " + text.content,
                                                          L"paste", L"restore clipboard (2 formats)"}));
    EXPECT_EQ(desktop.Clipboard(), copied);

    desktop.calls.clear();
    EXPECT_FALSE(executor.TypeText(L""));  // nothing to paste, clipboard untouched
    executor.WaitUntilTyped();
    EXPECT_TRUE(desktop.Calls().empty());

    desktop.clipboardReachable = false;  // no clipboard: no keys either
    EXPECT_FALSE(executor.PasteThroughClipboard(L"x"));
    EXPECT_TRUE(desktop.Calls().empty());
}

TEST_F(PcFunctionStore, TypingDoesNotHoldUpTheCaller) {
    TextData text;
    text.content = L"Typed while the worker goes on";
    const int32_t id = DataStore::Instance().AddText(text);
    desktop.HoldPaste();
    // The worker hands the text over and is free at once, while the keys are
    // still being pressed; a second text waits its turn.
    auto executed = std::async(std::launch::async, [&] {
        return executor.Execute(kFuncText, id) && executor.Execute(kFuncText, id);
    });
    ASSERT_EQ(executed.wait_for(std::chrono::seconds(5)), std::future_status::ready)
        << "the caller waited for the typing";
    EXPECT_TRUE(executed.get());
    desktop.WaitForHeldPaste();
    EXPECT_EQ(desktop.Calls().back(), L"set clipboard " + text.content);
    desktop.Release();
    executor.WaitUntilTyped();
    const std::vector<std::wstring> calls = desktop.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), L"paste"), 2);
}

// The real services, against a stand-in xdg-open first on PATH that writes down
// the arguments it got, one per line.
class DesktopSpawn : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* path = std::getenv("PATH");
        m_savedPath = path ? path : "";
        WriteScript("bin/xdg-open",
                    "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/../args\"\n");
        setenv("PATH", (Orvix::WideToUtf8(folder.File("bin")) + ":" + m_savedPath).c_str(), 1);
    }
    void TearDown() override { setenv("PATH", m_savedPath.c_str(), 1); }

    void WriteScript(const std::string& name, const std::string& body) {
        folder.Write(name, "#!/bin/sh\n" + body);
        chmod(Orvix::WideToUtf8(folder.File(name)).c_str(), 0755);
    }

    // The file a started program writes, once it is there.
    std::string WaitFor(const std::string& name) {
        for (int i = 0; i < 500 && !std::filesystem::exists(Orvix::WideToUtf8(folder.File(name))); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let the writer finish the line
        return folder.Read(name);
    }

    TempFolder folder;
    std::string m_savedPath;
};

TEST_F(DesktopSpawn, AddressesGoToXdgOpenAsOneArgument) {
    SystemDesktopServices services;
    ASSERT_TRUE(services.OpenWebAddress(L"www.example.com/a b;touch x"));
    EXPECT_EQ(WaitFor("args"), "http://www.example.com/a b;touch x\n");
    EXPECT_FALSE(std::filesystem::exists(Orvix::WideToUtf8(folder.File("bin/x"))));
}

TEST_F(DesktopSpawn, ProgramsStartByPathWithoutAShell) {
    WriteScript("my tool.sh", "echo started > \"$(dirname \"$0\")/started\"\n");
    SystemDesktopServices services;
    ASSERT_TRUE(services.StartProgram(folder.File("my tool.sh")));
    EXPECT_EQ(WaitFor("started"), "started\n");
    EXPECT_FALSE(services.StartProgram(folder.File("missing")));
    // Without a display there is no clipboard to paste through.
    if (!std::getenv("DISPLAY")) {
        ClipboardContents contents;
        EXPECT_FALSE(services.SaveClipboard(contents));
    }
}

}  // namespace
