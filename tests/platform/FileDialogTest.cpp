// The file-dialog service: an injected answer, and the zenity chooser (a stub on
// PATH) with its arguments, a chosen path, a cancel, and a zenity that fails so
// that the next chooser is asked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ScratchHome.h"
#include "orvix/platform/Platform.h"
#include "platform/FileDialog.h"

namespace fs = std::filesystem;

class FileDialogTest : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        ASSERT_TRUE(Orvix::Platform::Init(Orvix::BackendKind::Headless));
        bin = Root() / "bin";
        fs::create_directories(bin);
        SetEnv("PATH", bin.string() + ":/usr/bin:/bin");
    }
    void TearDown() override {
        SetFileDialogAnswer(nullptr);
        SetFileChooserOrder({});
        Orvix::Platform::Shutdown();
        ScratchHome::TearDown();
    }
    // A zenity that records its arguments, prints `out` and exits with `status`.
    void StubZenity(const std::string& out, int status) {
        std::ofstream(bin / "zenity")
            << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" << (Root() / "args").string()
            << "'\nprintf '%s' '" << out << "'\nexit " << status << "\n";
        fs::permissions(bin / "zenity", fs::perms::owner_all);
    }
    std::string Args() {
        std::ifstream in(Root() / "args");
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    FileDialogRequest Request() {
        FileDialogRequest request;
        request.title = L"Choose a program";
        request.filters.push_back({L"Application", {L"*.desktop", L"*"}});
        return request;
    }

    fs::path bin;
};

TEST_F(FileDialogTest, AnInjectedAnswerReplacesEveryChooser) {
    SetFileDialogAnswer([](const FileDialogRequest& request, std::wstring& path) {
        path = request.title + L".txt";
        return true;
    });
    std::wstring path;
    ASSERT_TRUE(ChooseFile(Request(), path));
    EXPECT_EQ(path, L"Choose a program.txt");
}

TEST_F(FileDialogTest, ZenityGivesThePathOrACancel) {
    SetFileChooserOrder({FileChooserKind::Zenity});
    StubZenity("/home/u/My Apps/tool.desktop\n", 0);
    std::wstring path;
    ASSERT_TRUE(ChooseFile(Request(), path));
    EXPECT_EQ(path, L"/home/u/My Apps/tool.desktop");
    EXPECT_EQ(Args(),
              "--file-selection\n--title=Choose a program\n--file-filter=Application | *.desktop *\n");

    StubZenity("", 1);
    path = L"unchanged";
    EXPECT_FALSE(ChooseFile(Request(), path));
    EXPECT_EQ(path, L"unchanged");

    FileDialogRequest save = Request();
    save.save = true;
    save.suggestedName = L"macros.xml";
    StubZenity("/tmp/out.xml", 0);
    ASSERT_TRUE(ChooseFile(save, path));
    EXPECT_NE(Args().find("--save\n--confirm-overwrite\n--filename=macros.xml\n"), std::string::npos);
}

TEST_F(FileDialogTest, WithoutAnyChooserNothingIsChosen) {
    SetFileChooserOrder({FileChooserKind::Zenity});
    std::wstring path;
    EXPECT_FALSE(ChooseFile(Request(), path));  // no zenity on PATH
    StubZenity("", 5);                          // zenity that cannot open a window
    EXPECT_FALSE(ChooseFile(Request(), path));
    EXPECT_TRUE(path.empty());
}
