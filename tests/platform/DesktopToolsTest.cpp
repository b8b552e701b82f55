// Finding the desktop's mouse settings on PATH and starting a desktop tool
// without a shell and without the program's descriptors.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "ScratchHome.h"
#include "platform/DesktopTools.h"

namespace fs = std::filesystem;

class DesktopToolsTest : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        bin = Root() / "bin";
        fs::create_directories(bin);
    }

    std::string Install(const std::string& name, const std::string& body = "exit 0\n",
                        bool executable = true) {
        const fs::path file = bin / name;
        std::ofstream(file) << "#!/bin/sh\n" << body;
        fs::permissions(file,
                        executable ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write);
        return file.string();
    }

    static std::string ReadWhenThere(const fs::path& file) {
        for (int i = 0; i < 500 && !fs::exists(file); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the script's last write
        std::stringstream text;
        text << std::ifstream(file).rdbuf();
        return text.str();
    }

    fs::path bin;
};

TEST_F(DesktopToolsTest, OnlyExecutableFilesOnThePathCount) {
    const std::string path = "/nonexistent:" + bin.string();
    EXPECT_EQ(FindOnPath("tool", path), "");
    Install("tool", "exit 0\n", false);
    EXPECT_EQ(FindOnPath("tool", path), "") << "not executable";
    fs::create_directories(bin / "folder");
    EXPECT_EQ(FindOnPath("folder", path), "") << "a folder is no program";
    const std::string tool = Install("tool");
    EXPECT_EQ(FindOnPath("tool", path), tool);
    // Names with a separator and empty entries (the current folder) are not searched.
    EXPECT_EQ(FindOnPath("bin/tool", Root().string()), "");
    const fs::path here = fs::current_path();
    fs::current_path(bin);
    EXPECT_EQ(FindOnPath("tool", ":/nonexistent"), "");
    fs::current_path(here);
}

TEST_F(DesktopToolsTest, TheSessionsDesktopComesFirst) {
    const std::string path = bin.string();
    EXPECT_TRUE(FindMouseSettingsCommand("GNOME", path).empty()) << "nothing installed";

    const std::string gnome = Install("gnome-control-center");
    const std::string xfce = Install("xfce4-mouse-settings");
    const std::string cinnamon = Install("cinnamon-settings");
    EXPECT_EQ(FindMouseSettingsCommand("XFCE", path), DesktopCommand{xfce});
    EXPECT_EQ(FindMouseSettingsCommand("ubuntu:GNOME", path), (DesktopCommand{gnome, "mouse"}));
    EXPECT_EQ(FindMouseSettingsCommand("X-Cinnamon", path), (DesktopCommand{cinnamon, "mouse"}));
    // A desktop without its own tool here, or none named: any installed one.
    EXPECT_EQ(FindMouseSettingsCommand("KDE", path), (DesktopCommand{gnome, "mouse"}));
    EXPECT_EQ(FindMouseSettingsCommand("", path), (DesktopCommand{gnome, "mouse"}));

    const std::string kde = Install("systemsettings5");
    EXPECT_EQ(FindMouseSettingsCommand("kde", path), (DesktopCommand{kde, "kcm_mouse"}));
}

TEST_F(DesktopToolsTest, StartedWithItsArgumentsAsGivenAndWithoutTheProgramsDescriptors) {
    const fs::path out = Root() / "out.txt";
    const std::string tool =
        Install("tool", "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + out.string() +
                            ".tmp'\n"
                            "if [ -e /proc/$$/fd/$1 ]; then echo inherited; else echo closed; fi >> '" +
                            out.string() +
                            ".tmp'\n"
                            "mv '" +
                            out.string() + ".tmp' '" + out.string() + "'\n");
    // A descriptor the program holds open without close-on-exec.
    const int held = open((Root() / "held").c_str(), O_CREAT | O_RDWR, 0600);
    ASSERT_GE(held, 3);
    const std::string marker = (Root() / "injected").string();
    ASSERT_TRUE(StartDesktopCommand({tool, std::to_string(held), "two words", "x; touch " + marker}));
    EXPECT_EQ(ReadWhenThere(out), std::to_string(held) + "\ntwo words\nx; touch " + marker + "\nclosed\n");
    EXPECT_FALSE(fs::exists(marker)) << "no shell read the arguments";
    close(held);

    EXPECT_FALSE(StartDesktopCommand({}));
    EXPECT_FALSE(StartDesktopCommand({"tool"})) << "only absolute paths are started";
    EXPECT_FALSE(StartDesktopCommand({(bin / "missing").string()}));
}

TEST_F(DesktopToolsTest, TheCharacterMapOfTheSessionsDesktopFirst) {
    const std::string path = bin.string();
    EXPECT_TRUE(FindCharacterMapCommand("GNOME", path).empty()) << "nothing installed";
    const std::string kde = Install("kcharselect");
    EXPECT_EQ(FindCharacterMapCommand("GNOME", path), DesktopCommand{kde}) << "any installed one";
    const std::string gtk = Install("gucharmap");
    const std::string gnome = Install("gnome-characters");
    EXPECT_EQ(FindCharacterMapCommand("ubuntu:GNOME", path), DesktopCommand{gnome});
    EXPECT_EQ(FindCharacterMapCommand("KDE", path), DesktopCommand{kde});
    EXPECT_EQ(FindCharacterMapCommand("X-Cinnamon", path), DesktopCommand{gtk});
    EXPECT_EQ(FindCharacterMapCommand("", path), DesktopCommand{gnome});
}
