// The autostart entry: where it lives, how its Exec line quotes the program, and
// that the desktop's own validator accepts what is written.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ScratchHome.h"
#include "base/TextConv.h"
#include "platform/Autostart.h"

namespace {

using Orvix::Utf8ToWide;
using Orvix::WideToUtf8;

class AutostartTest : public ScratchHome {
  protected:
    std::string Read(const std::wstring& path) {
        std::ifstream in(WideToUtf8(path));
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    std::string ExecLine(const std::wstring& path) {
        std::istringstream lines(Read(path));
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("Exec=", 0) == 0) return line.substr(5);
        return {};
    }
    std::wstring Entry() { return Utf8ToWide((Root() / "config/autostart/com.vantorel.mouse.desktop").string()); }
    std::wstring OldEntry() { return Utf8ToWide((Root() / "config/autostart/vantorel-mouse.desktop").string()); }
    std::string Line(const std::wstring& path, const std::string& key) {
        std::istringstream lines(Read(path));
        for (std::string line; std::getline(lines, line);)
            if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
        return "<none>";
    }
};

TEST_F(AutostartTest, EntryLivesInTheAutostartFolderOfTheConfigHome) {
    EXPECT_EQ(GetAutostartEntryPath(), Entry());
    SetEnv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(GetAutostartEntryPath(),
              Utf8ToWide((Root() / "home/.config/autostart/com.vantorel.mouse.desktop").string()));
    EXPECT_EQ(GetOldAutostartEntryPath(),
              Utf8ToWide((Root() / "home/.config/autostart/vantorel-mouse.desktop").string()));
    const std::wstring program = GetAutostartProgramPath();
    EXPECT_EQ(program.substr(program.rfind(L'/')), L"/VantorelMouse");
}

TEST_F(AutostartTest, ExecArgumentsAreQuotedAndEscapedForTheFile) {
    EXPECT_EQ(QuoteExecArgument("/opt/vantorel/VantorelMouse"), "\"/opt/vantorel/VantorelMouse\"");
    EXPECT_EQ(QuoteExecArgument("/home/a b/Vantorel"), "\"/home/a b/Vantorel\"");
    // Quote, back quote and dollar get a backslash, which the file's string escaping doubles.
    EXPECT_EQ(QuoteExecArgument("/x\"y`z$w"), "\"/x\\\\\"y\\\\`z\\\\$w\"");
    EXPECT_EQ(QuoteExecArgument("/a\\b"), "\"/a\\\\\\\\b\"");
    EXPECT_EQ(QuoteExecArgument("/100%/p"), "\"/100%%/p\"");
    EXPECT_EQ(QuoteExecArgument("/a\nb"), "");
    EXPECT_EQ(BuildAutostartEntry(L"/a\tb/Vantorel", false), "");
    EXPECT_EQ(BuildAutostartEntry(L"", false), "");
}

TEST_F(AutostartTest, WriteRewriteAndRemove) {
    EXPECT_FALSE(IsAutostartEntryPresent(Entry()));
    ASSERT_TRUE(WriteAutostartEntry(Entry(), L"/opt/vm/VantorelMouse", false));
    EXPECT_TRUE(IsAutostartEntryPresent(Entry()));
    EXPECT_EQ(ExecLine(Entry()), "\"/opt/vm/VantorelMouse\"");
    ASSERT_TRUE(WriteAutostartEntry(Entry(), L"/opt/vm/VantorelMouse", true));
    EXPECT_EQ(ExecLine(Entry()), "\"/opt/vm/VantorelMouse\" -autorun");
    EXPECT_TRUE(RemoveAutostartEntry(Entry()));
    EXPECT_FALSE(std::filesystem::exists(WideToUtf8(Entry())));
    EXPECT_TRUE(RemoveAutostartEntry(Entry())) << "already gone counts as removed";
    EXPECT_FALSE(WriteAutostartEntry(Entry(), L"/bad\npath", false));
    EXPECT_FALSE(std::filesystem::exists(WideToUtf8(Entry())));
}

TEST_F(AutostartTest, TheEntryNamesItsProgramForTryExecAndTheApplicationsIcon) {
    ASSERT_TRUE(WriteAutostartEntry(Entry(), L"/opt/a b\\c/VantorelMouse", false));
    EXPECT_EQ(Line(Entry(), "TryExec"), "/opt/a b\\\\c/VantorelMouse");
    EXPECT_EQ(Line(Entry(), "Icon"), "com.vantorel.mouse");
}

TEST_F(AutostartTest, AnEntryOfAnEarlierVersionIsMovedToTheApplicationId) {
    std::filesystem::create_directories(Root() / "config/autostart");
    // Hidden start kept, the program the running one.
    std::ofstream(WideToUtf8(OldEntry())) << "[Desktop Entry]\nType=Application\nName=V\n"
                                          << "Exec=\"/old/place/VantorelMouse\" -autorun\n";
    EXPECT_TRUE(MoveOldAutostartEntry(OldEntry(), Entry(), L"/new/VantorelMouse"));
    EXPECT_FALSE(std::filesystem::exists(WideToUtf8(OldEntry())));
    EXPECT_EQ(ExecLine(Entry()), "\"/new/VantorelMouse\" -autorun");

    // One already under the new name wins; the old one only goes.
    std::ofstream(WideToUtf8(OldEntry())) << "[Desktop Entry]\nType=Application\nName=V\nExec=v\n";
    ASSERT_TRUE(WriteAutostartEntry(Entry(), L"/new/VantorelMouse", false));
    EXPECT_TRUE(MoveOldAutostartEntry(OldEntry(), Entry(), L"/elsewhere/VantorelMouse"));
    EXPECT_EQ(ExecLine(Entry()), "\"/new/VantorelMouse\"");
    EXPECT_FALSE(std::filesystem::exists(WideToUtf8(OldEntry())));

    // One the desktop switched off stays off.
    RemoveAutostartEntry(Entry());
    std::ofstream(WideToUtf8(OldEntry())) << "[Desktop Entry]\nType=Application\nName=V\nExec=v\nHidden=true\n";
    EXPECT_TRUE(MoveOldAutostartEntry(OldEntry(), Entry(), L"/new/VantorelMouse"));
    EXPECT_FALSE(std::filesystem::exists(WideToUtf8(Entry())));
    EXPECT_FALSE(std::filesystem::exists(WideToUtf8(OldEntry())));

    // Nothing to move; and an entry that cannot be written keeps the old one.
    EXPECT_TRUE(MoveOldAutostartEntry(OldEntry(), Entry(), L"/new/VantorelMouse"));
    std::ofstream(WideToUtf8(OldEntry())) << "[Desktop Entry]\nType=Application\nName=V\nExec=v\n";
    EXPECT_FALSE(MoveOldAutostartEntry(OldEntry(), Entry(), L"/bad\npath"));
    EXPECT_TRUE(std::filesystem::exists(WideToUtf8(OldEntry())));
}

TEST_F(AutostartTest, AnEntrySwitchedOffByTheDesktopCountsAsAbsent) {
    std::filesystem::create_directories(Root() / "config/autostart");
    std::ofstream(WideToUtf8(Entry()))
        << "[Desktop Entry]\nType=Application\nName=V\nExec=v\nHidden = true\n";
    EXPECT_FALSE(IsAutostartEntryPresent(Entry()));
    std::ofstream(WideToUtf8(Entry())) << "[Desktop Entry]\nType=Application\nName=V\nExec=v\nHidden=false\n"
                                       << "[Desktop Action x]\nHidden=true\n";
    EXPECT_TRUE(IsAutostartEntryPresent(Entry()));
}

TEST_F(AutostartTest, WrittenEntriesPassTheDesktopFileValidator) {
    for (const wchar_t* program :
         {L"/usr/lib/vantorel-mouse/VantorelMouse", L"/home/a \"b\" $c/100%\\x/VantorelMouse"}) {
        for (bool hidden : {false, true}) {
            ASSERT_TRUE(WriteAutostartEntry(Entry(), program, hidden));
            const std::string command = "desktop-file-validate '" + WideToUtf8(Entry()) + "' 2>&1";
            FILE* pipe = popen(command.c_str(), "r");
            ASSERT_NE(pipe, nullptr);
            std::string output;
            char chunk[256];
            while (size_t n = fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, n);
            const int status = pclose(pipe);
            ASSERT_TRUE(WIFEXITED(status));
            ASSERT_NE(WEXITSTATUS(status), 127)
                << "desktop-file-validate is missing (scripts/setup.sh installs it)";
            EXPECT_EQ(WEXITSTATUS(status), 0) << output;
            EXPECT_EQ(output.find("error"), std::string::npos) << output;
        }
    }
}

}  // namespace
