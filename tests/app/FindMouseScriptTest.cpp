// scripts/find-mouse.sh, which lets the run command choose between a real
// mouse and the simulated one, against a made-up sysfs hidraw class.
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/platform/ScratchHome.h"

namespace fs = std::filesystem;

namespace {

class FindMouseScript : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        m_class = Root() / "class";
        fs::create_directories(m_class);
        SetEnv("VANTOREL_HIDRAW_CLASS", m_class.string());
    }

    // A hidraw node whose HID device has this bus:vendor:product id.
    void AddNode(const std::string& node, const std::string& hidId) {
        fs::create_directories(m_class / node / "device");
        std::ofstream(m_class / node / "device" / "uevent")
            << "DRIVER=hid-generic\nHID_ID=" << hidId << "\nHID_NAME=Some device\n";
    }

    // The script's exit code; what it printed goes to `printed`.
    int Run(const fs::path& catalog, std::string* printed = nullptr) {
        const fs::path output = Root() / "printed.txt";
        const std::string command = "bash '" VANTOREL_SOURCE_DIR "/scripts/find-mouse.sh' '" +
                                    catalog.string() + "' > '" + output.string() + "' 2>&1";
        const int status = std::system(command.c_str());
        if (printed) {
            std::ifstream in(output);
            std::getline(in, *printed);
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path WriteCatalog(const std::string& modes) {
        const fs::path catalog = Root() / "config.xml";
        std::ofstream(catalog) << "<?xml version=\"1.0\"?>\n<config><device>\n"
                               << "<mouse name=\"M\" device_type=\"101\" device_attr=\"m\">\n"
                               << modes << "</mouse></device></config>\n";
        return catalog;
    }

    fs::path m_class;
};

}  // namespace

TEST_F(FindMouseScript, FindsOnlyAnIdentityOfTheCatalog) {
    const fs::path catalog = WriteCatalog(
        "<mode value=\"0\" desc=\"cable\" vid=\"3a5c\" pid=\"0108\" "
        "hid_interface=\"VID_3A5C&amp;PID_0108&amp;MI_01\"/>\n"
        "<mode value=\"1\" desc=\"receiver\" vid=\"3A5C\" pid=\"0118\"/>\n");
    AddNode("hidraw0", "0003:0000046D:0000C52B");  // somebody else's receiver
    AddNode("hidraw1", "0003:00003A5C:00000999");  // the maker's, but no model of the catalog
    EXPECT_EQ(Run(catalog), 1);
    EXPECT_EQ(Run(Root() / "missing.xml"), 1);

    AddNode("hidraw4", "0003:00003A5C:00000118");
    std::string printed;
    EXPECT_EQ(Run(catalog, &printed), 0);
    EXPECT_EQ(printed, "/dev/hidraw4");
}

TEST_F(FindMouseScript, TheShippedCatalogNamesEveryModelAndConnection) {
    const fs::path catalog = VANTOREL_SOURCE_DIR "/data/config.xml";
    if (!fs::exists(catalog)) GTEST_SKIP() << "no data/config.xml in this tree";
    for (const char* pid : {"00000108", "00000118", "00000106", "00000116"}) {
        fs::remove_all(m_class);
        AddNode("hidraw2", std::string("0003:00003A5C:") + pid);
        EXPECT_EQ(Run(catalog), 0) << pid;
    }
}
