// A mouse that is plugged in but may not be opened by this user: the device manager
// reports it instead of treating it as absent, the notice names the cause and the fix
// in both languages, and the udev rule built from the catalog gives access to every
// identity of it.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "../support/DeniedBackend.h"
#include "../support/TempFolder.h"
#include "SimFixture.h"
#include "device/DeviceCatalog.h"
#include "device/PermissionNotice.h"
#include "device/UdevRule.h"
#include "base/TextConv.h"
#include "base/AppContext.h"

namespace {

class DevicePermission : public SimFixture {
  protected:
    DevicePermission() : SimFixture({101, 102}), denied(std::make_shared<DeniedBackend>(sim)) {
        manager.SetBackend(denied);
    }
    std::shared_ptr<DeniedBackend> denied;
};

TEST_F(DevicePermission, DeniedVendorInterfaceIsReportedInsteadOfIgnored) {
    sim->Plug(SimEndpoint::Cable, 0);
    sim->Plug(SimEndpoint::Receiver, 1);
    denied->Deny(0x3A5C, 0x0108);  // every interface of the V8 on its cable
    Refresh();

    // The V6's receiver is reached as before; the V8's cable gives no record.
    const std::vector<DeviceRecord> records = manager.GetRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].pid, 0x0116);
    EXPECT_EQ(manager.GetCurrentDevMode(), -1);

    // Its vendor interface alone is reported: the ordinary ones do not matter.
    const std::vector<DeniedInterface> list = manager.GetDeniedInterfaces();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].vid, 0x3A5C);
    EXPECT_EQ(list[0].pid, 0x0108);
    EXPECT_EQ(list[0].deviceType, 101);
    EXPECT_EQ(list[0].deviceMode, kModeCable);
    EXPECT_EQ(list[0].path, sim->InterfacePath(SimEndpoint::Cable, 1, 0));
    EXPECT_EQ(list[0].node.rfind("/sim/hidraw", 0), 0u) << list[0].node;

    // Once the rule is in place and the mouse plugged in again, the notice goes.
    denied->GrantAll();
    Refresh();
    EXPECT_TRUE(manager.GetDeniedInterfaces().empty());
    EXPECT_EQ(manager.GetCurrentDevMode(), kModeCable);

    denied->Deny(0x3A5C, 0x0108);
    Refresh();
    EXPECT_EQ(manager.GetDeniedInterfaces().size(), 1u);
    manager.CloseAll();
    EXPECT_TRUE(manager.GetDeniedInterfaces().empty());
}

TEST_F(DevicePermission, OtherOpenFailuresAreNotAPermissionProblem) {
    sim->Plug(SimEndpoint::Cable, 0);
    denied->Deny(0x3A5C, 0x0108);
    denied->SetFailure(HidOpenFailure::Gone);  // unplugged between listing and opening
    Refresh();
    EXPECT_TRUE(manager.GetRecords().empty());
    EXPECT_TRUE(manager.GetDeniedInterfaces().empty());
    PermissionNotice notice;
    notice.title = L"untouched";
    EXPECT_FALSE(GetPermissionNotice(manager, notice));
    EXPECT_EQ(notice.title, L"untouched");

    // A device the catalog does not name is never opened, so never reported.
    manager.ClearSupportedIds();
    denied->SetFailure(HidOpenFailure::AccessDenied);
    Refresh();
    EXPECT_TRUE(manager.GetDeniedInterfaces().empty());
}

class PermissionNoticeText : public ::testing::Test {
  protected:
    void TearDown() override { SetCurrentLcid(1033); }

    std::vector<DeniedInterface> TwoNodes() const {
        // The same node twice (cable found by two refresh passes) is named once.
        return {{0x3A5C, 0x0108, 101, kModeCable, "p1", "/dev/hidraw3"},
                {0x3A5C, 0x0118, 101, kModeReceiver, "p2", "/dev/hidraw5"},
                {0x3A5C, 0x0108, 101, kModeCable, "p1", "/dev/hidraw3"}};
    }
};

TEST_F(PermissionNoticeText, CauseAndFixInBothLanguages) {
    SetCurrentLcid(1033);
    UdevRuleState rule;
    rule.shipped = "/opt/vm/lib/udev/rules.d/70-vantorel-mouse.rules";
    PermissionNotice n = BuildPermissionNotice(TwoNodes(), rule);
    EXPECT_EQ(n.title, L"Mouse found, but access to it is denied");
    EXPECT_NE(n.cause.find(L"(/dev/hidraw3, /dev/hidraw5)"), std::wstring::npos) << n.cause;
    EXPECT_EQ(n.cause.find(L"%s"), std::wstring::npos);
    EXPECT_NE(n.fix.find(L"vantorel-mouse package"), std::wstring::npos) << n.fix;
    EXPECT_NE(n.fix.find(L"plug it in again"), std::wstring::npos) << n.fix;
    EXPECT_EQ(
        n.command,
        L"sudo cp '/opt/vm/lib/udev/rules.d/70-vantorel-mouse.rules' /etc/udev/rules.d/ && sudo udevadm "
        L"control --reload");
    EXPECT_EQ(FormatPermissionNotice(n),
              Orvix::WideToUtf8(n.title + L"\n" + n.cause + L"\n" + n.fix + L"\n  " + n.command));

    SetCurrentLcid(1036);
    PermissionNotice f = BuildPermissionNotice(TwoNodes(), rule);
    EXPECT_EQ(f.title, L"Souris détectée, mais son accès est refusé");
    EXPECT_NE(f.cause.find(L"(/dev/hidraw3, /dev/hidraw5)"), std::wstring::npos)
        << Orvix::WideToUtf8(f.cause);
    EXPECT_NE(f.fix.find(L"paquet vantorel-mouse"), std::wstring::npos);
    EXPECT_EQ(f.command, n.command);
}

TEST_F(PermissionNoticeText, FixDependsOnWhereTheRuleIs) {
    SetCurrentLcid(1033);
    // Installed but not applied: plug in again; the path is named.
    UdevRuleState installed;
    installed.installed = "/usr/lib/udev/rules.d/70-vantorel-mouse.rules";
    installed.shipped = "/usr/lib/udev/rules.d/70-vantorel-mouse.rules";
    PermissionNotice n = BuildPermissionNotice(TwoNodes(), installed);
    EXPECT_NE(n.fix.find(L"The device rule /usr/lib/udev/rules.d/70-vantorel-mouse.rules is installed"),
              std::wstring::npos)
        << Orvix::WideToUtf8(n.fix);
    EXPECT_EQ(n.command, L"sudo udevadm control --reload");

    // Nowhere: no command to offer, but the way to get the rule.
    n = BuildPermissionNotice(TwoNodes(), UdevRuleState{});
    EXPECT_NE(n.fix.find(L"uaccess"), std::wstring::npos);
    EXPECT_TRUE(n.command.empty());
    EXPECT_EQ(FormatPermissionNotice(n).find("  "), std::string::npos);

    // A folder name with a quote stays one shell word.
    UdevRuleState odd;
    odd.shipped = "/home/o'neil/build/70-vantorel-mouse.rules";
    EXPECT_EQ(BuildPermissionNotice(TwoNodes(), odd).command,
              L"sudo cp '/home/o'\\''neil/build/70-vantorel-mouse.rules' /etc/udev/rules.d/ && sudo udevadm "
              L"control --reload");
}

TEST_F(PermissionNoticeText, TypingWithoutTheVirtualKeyboardNamesTheNodeTheFixAndWhatStillWorks) {
    SetCurrentLcid(1033);
    UdevRuleState shipped;
    shipped.shipped = "/opt/vm/70-vantorel-mouse.rules";
    PermissionNotice n = BuildUinputNotice(UinputProblem::Denied, "/dev/uinput", EACCES, true, shipped);
    EXPECT_EQ(n.title, L"Texts are not typed into every application");
    EXPECT_NE(n.cause.find(L"may not write /dev/uinput"), std::wstring::npos) << Orvix::WideToUtf8(n.cause);
    EXPECT_NE(n.fix.find(L"vantorel-mouse package"), std::wstring::npos);
    EXPECT_NE(n.fix.find(L"X applications only"), std::wstring::npos) << Orvix::WideToUtf8(n.fix);
    EXPECT_EQ(
        n.command,
        L"sudo cp '/opt/vm/70-vantorel-mouse.rules' /etc/udev/rules.d/ && sudo udevadm control --reload");

    // No node at all: the module too; nothing typed without X.
    n = BuildUinputNotice(UinputProblem::Missing, "/dev/uinput", ENOENT, false, shipped);
    EXPECT_NE(n.cause.find(L"/dev/uinput does not exist"), std::wstring::npos) << Orvix::WideToUtf8(n.cause);
    EXPECT_NE(n.fix.find(L"cannot be typed"), std::wstring::npos);
    EXPECT_TRUE(n.command.ends_with(L" && sudo modprobe uinput")) << Orvix::WideToUtf8(n.command);

    // The rule in place: what is left to do for this session.
    UdevRuleState installed;
    installed.installed = "/usr/lib/udev/rules.d/70-vantorel-mouse.rules";
    n = BuildUinputNotice(UinputProblem::Missing, "/dev/uinput", ENOENT, true, installed);
    EXPECT_NE(n.fix.find(L"load the uinput module"), std::wstring::npos) << Orvix::WideToUtf8(n.fix);
    EXPECT_EQ(n.command, L"sudo modprobe uinput");
    n = BuildUinputNotice(UinputProblem::Denied, "/dev/uinput", EACCES, true, installed);
    EXPECT_NE(n.fix.find(L"log out and in again"), std::wstring::npos);
    EXPECT_EQ(n.command, L"sudo udevadm trigger --name-match=/dev/uinput");

    // A refusal of the kernel is no matter of rules: its reason, no command.
    n = BuildUinputNotice(UinputProblem::Failed, "/dev/uinput", ENOTTY, true, installed);
    EXPECT_NE(n.cause.find(L"could not make one (Inappropriate ioctl for device)"), std::wstring::npos)
        << Orvix::WideToUtf8(n.cause);
    EXPECT_TRUE(n.command.empty());
    EXPECT_EQ(n.fix, L"Until then, texts are typed into X applications only.");

    SetCurrentLcid(1036);
    n = BuildUinputNotice(UinputProblem::Denied, "/dev/uinput", EACCES, true, shipped);
    EXPECT_NE(n.cause.find(L"/dev/uinput"), std::wstring::npos);
    EXPECT_NE(n.fix.find(L"applications X"), std::wstring::npos) << Orvix::WideToUtf8(n.fix);
    EXPECT_EQ(n.cause.find(L"{node}"), std::wstring::npos);
}

TEST(UdevRuleLookup, InstalledFoldersThenBesideTheProgram) {
    TempFolder t;
    const std::string root = Orvix::WideToUtf8(t.Folder());
    const std::vector<std::string> system = {root + "etc", root + "usr/lib/udev/rules.d"};
    const std::string installedProgram = root + "opt/lib/vantorel-mouse/";
    std::filesystem::create_directories(installedProgram);

    EXPECT_EQ(FindUdevRule(installedProgram, system).installed, "");
    EXPECT_EQ(FindUdevRule(installedProgram, system).shipped, "");

    // An installed tree keeps it in <prefix>/lib/udev/rules.d.
    t.Write("opt/lib/udev/rules.d/70-vantorel-mouse.rules", "x");
    EXPECT_EQ(FindUdevRule(installedProgram, system).shipped,
              root + "opt/lib/udev/rules.d/70-vantorel-mouse.rules");
    // The build folder, beside the program.
    t.Write("build/70-vantorel-mouse.rules", "x");
    EXPECT_EQ(FindUdevRule(root + "build/", system).shipped, root + "build/70-vantorel-mouse.rules");

    t.Write("usr/lib/udev/rules.d/70-vantorel-mouse.rules", "x");
    t.Write("etc/70-vantorel-mouse.rules", "x");
    EXPECT_EQ(FindUdevRule(root + "build/", system).installed, root + "etc/70-vantorel-mouse.rules");
    // A folder of that name is not the rule.
    std::filesystem::remove(root + "etc/70-vantorel-mouse.rules");
    std::filesystem::create_directories(root + "etc/70-vantorel-mouse.rules");
    EXPECT_EQ(FindUdevRule(root + "build/", system).installed,
              root + "usr/lib/udev/rules.d/70-vantorel-mouse.rules");
}

TEST(UdevRules, OneLinePerIdentityOfTheCatalog) {
    DeviceCatalog catalog;
    ASSERT_TRUE(ReadCatalog(Orvix::Utf8ToWide(VANTOREL_SOURCE_DIR "/data/"), L"", catalog));
    ASSERT_FALSE(catalog.modes.empty());
    const std::string rules = BuildUdevRules(catalog.modes);
    for (const CatalogEntry& mode : catalog.modes) {
        char line[96];
        std::snprintf(line, sizeof line,
                      "SUBSYSTEM==\"hidraw\", KERNELS==\"*:%04X:%04X.*\", TAG+=\"uaccess\"\n", mode.vid,
                      mode.pid);
        EXPECT_NE(rules.find(line), std::string::npos) << line << rules;
    }

    // Duplicates once, unusable ids left out, names kept on their comment line.
    CatalogEntry a;
    a.name = L"Model\nSUBSYSTEM==\"x\"";
    a.modeDesc = L"cable";
    a.vid = 0x7768;
    a.pid = 0x6D35;
    CatalogEntry zero = a;
    zero.pid = 0;
    CatalogEntry wide = a;
    wide.vid = 0x12345;
    const std::string odd = BuildUdevRules({a, a, zero, wide});
    EXPECT_EQ(odd.find("KERNELS==\"*:7768:6D35.*\""), odd.rfind("KERNELS==\"*:7768:6D35.*\""));
    EXPECT_EQ(odd.find(":0000."), std::string::npos);
    EXPECT_EQ(odd.find("12345"), std::string::npos);
    EXPECT_NE(odd.find("# Model SUBSYSTEM==\"x\", cable\n"), std::string::npos) << odd;
    size_t rulesLines = 0;
    for (size_t at = odd.find("\nSUBSYSTEM"); at != std::string::npos; at = odd.find("\nSUBSYSTEM", at + 1))
        ++rulesLines;
    EXPECT_EQ(rulesLines, 1u);
    // The virtual keyboard's node, for the session's user, ends every rule file.
    const std::string uinput = std::string(kUinputRuleLine) + "\n";
    EXPECT_EQ(odd.compare(odd.size() - uinput.size(), uinput.size(), uinput), 0) << odd;
    EXPECT_EQ(uinput,
              "KERNEL==\"uinput\", SUBSYSTEM==\"misc\", OPTIONS+=\"static_node=uinput\", TAG+=\"uaccess\"\n");
}

TEST(UdevRules, EveryCatalogIdBecomesAModaliasOfTheMetadata) {
    DeviceCatalog catalog;
    ASSERT_TRUE(ReadCatalog(Orvix::Utf8ToWide(VANTOREL_SOURCE_DIR "/data/"), L"", catalog));
    const std::vector<std::string> patterns = BuildUsbModaliases(catalog.modes);
    ASSERT_FALSE(patterns.empty());
    for (const CatalogEntry& mode : catalog.modes) {
        char pattern[32];
        std::snprintf(pattern, sizeof pattern, "usb:v%04Xp%04Xd*", mode.vid, mode.pid);
        EXPECT_NE(std::find(patterns.begin(), patterns.end(), pattern), patterns.end()) << pattern;
    }
    CatalogEntry a;
    a.vid = 0x7768;
    a.pid = 0x6d35;
    CatalogEntry zero = a;
    zero.vid = 0;
    EXPECT_EQ(BuildUsbModaliases({a, zero, a}), std::vector<std::string>{"usb:v7768p6D35d*"});

    // The marker's line becomes the entries, indented as it was; the rest stays.
    const std::string metadata =
        "<provides>\n    <binary>x</binary>\n    <!-- @MODALIASES@ -->\n</provides>\n";
    EXPECT_EQ(InsertModaliases(metadata, "@MODALIASES@", {"usb:v1p2d*", "usb:v3p4d*"}),
              "<provides>\n    <binary>x</binary>\n    <modalias>usb:v1p2d*</modalias>\n"
              "    <modalias>usb:v3p4d*</modalias>\n</provides>\n");
    EXPECT_EQ(InsertModaliases("<provides/>", "@MODALIASES@", {"usb:v1p2d*"}), "");
}

}  // namespace
