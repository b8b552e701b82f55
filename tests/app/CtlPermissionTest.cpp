// vantorelctl with a mouse this user may not open: the cause and the fix instead of
// "no mouse", exit code 1, in the user's language; once access is given, the same
// command reaches the mouse.
#include <gtest/gtest.h>

#include <sstream>

#include "../support/DeniedBackend.h"
#include "app/VantorelCtl.h"
#include "base/AppContext.h"
#include "device/DeviceManager.h"
#include "sim/SimSetup.h"
#include "tests/platform/ScratchHome.h"

namespace {

class CtlPermission : public ScratchHome {
  protected:
    void SetUp() override {
        ScratchHome::SetUp();
        // vantorelctl takes the language of the environment for the process; the
        // tests after this one keep theirs.
        lcidBefore = GetCurrentLcid();
        SetEnv("LANGUAGE", std::nullopt);
        SetEnv("LC_MESSAGES", std::nullopt);
        SetEnv("LANG", std::nullopt);
        denied = std::make_shared<DeniedBackend>(MakeSimulatedBackend(SimulateStart::Cable));
        denied->Deny(0x3A5C, 0x0108);
        DeviceManager::Instance().SetBackend(denied);
    }
    void TearDown() override {
        DeviceManager::Instance().SetBackend(nullptr);
        SetCurrentLcid(lcidBefore);
        ScratchHome::TearDown();
    }

    int Info(std::string& out, std::string& err) {
        std::ostringstream o, e;
        const int code = RunVantorelCtl({"info"}, o, e);
        out = o.str();
        err = e.str();
        return code;
    }

    std::shared_ptr<DeniedBackend> denied;
    int lcidBefore = kLcidEnglish;
};

TEST_F(CtlPermission, InfoNamesTheCauseAndTheFix) {
    SetEnv("LC_ALL", "C");
    std::string out, err;
    EXPECT_EQ(Info(out, err), 1);
    EXPECT_EQ(err.rfind("vantorelctl: Mouse found, but access to it is denied\n", 0), 0u) << err;
    EXPECT_NE(err.find("may not read and write its device (/sim/hidraw"), std::string::npos) << err;
    EXPECT_NE(err.find("plug it in again"), std::string::npos) << err;
    EXPECT_NE(err.find("\n  sudo "), std::string::npos) << err;
    EXPECT_NE(err.find("udevadm control --reload\n"), std::string::npos) << err;
    EXPECT_EQ(err.find("is reachable"), std::string::npos) << "not the message for a missing mouse";

    SetEnv("LC_ALL", "fr_FR.UTF-8");
    EXPECT_EQ(Info(out, err), 1);
    EXPECT_EQ(err.rfind("vantorelctl: Souris détectée, mais son accès est refusé\n", 0), 0u) << err;

    denied->GrantAll();
    EXPECT_EQ(Info(out, err), 0) << err;
    EXPECT_NE(out.find("3A5C:0108"), std::string::npos) << out;
}

}  // namespace
