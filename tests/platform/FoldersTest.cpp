#include <filesystem>
#include <fstream>

#include "base/TextConv.h"
#include "base/Folders.h"
#include "tests/platform/ScratchHome.h"

namespace fs = std::filesystem;
using Orvix::Utf8ToWide;

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
    const std::wstring folder = GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'/');
    EXPECT_EQ(fs::canonical(Orvix::WideToUtf8(folder)), fs::canonical(VANTOREL_BINARY_DIR));
    EXPECT_EQ(GetSkinFolder(), folder + L"skins/theme1/");
}

using UserFolders = ScratchHome;

TEST_F(UserFolders, FollowTheXdgVariablesAndTheirDefaults) {
    const std::wstring root = Utf8ToWide(Root().string());
    EXPECT_EQ(GetUserDataFolder(), root + L"/data/Vantorel Mouse Files/");
    EXPECT_EQ(GetDatabaseFolder(), root + L"/data/Vantorel Mouse Files/db/");
    EXPECT_EQ(GetSettingsFolder(), root + L"/config/Vantorel Mouse/");
    EXPECT_EQ(GetRuntimeFolder(), root + L"/runtime/");

    // Unset or relative values fall back to the defaults under the home folder.
    SetEnv("XDG_DATA_HOME", std::nullopt);
    SetEnv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(GetUserDataFolder(), root + L"/home/.local/share/Vantorel Mouse Files/");
    EXPECT_EQ(GetSettingsFolder(), root + L"/home/.config/Vantorel Mouse/");

    // Without a usable runtime folder the lock goes to the per-user folder.
    SetEnv("XDG_RUNTIME_DIR", (Root() / "missing").string());
    EXPECT_EQ(GetRuntimeFolder(), GetUserDataFolder());
}

TEST_F(UserFolders, EnsureFolderTreeCreatesEveryMissingLevel) {
    const fs::path deep = Root() / "a" / "b c" / "d";
    EXPECT_TRUE(EnsureFolderTree(Utf8ToWide(deep.string())));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_TRUE(EnsureFolderTree(Utf8ToWide(deep.string()) + L"/"));  // already there

    // A plain file in the way is not a folder, whatever mkdir says.
    std::ofstream(Root() / "file") << "x";
    EXPECT_FALSE(EnsureFolderTree(Utf8ToWide((Root() / "file").string())));
    EXPECT_FALSE(EnsureFolderTree(Utf8ToWide((Root() / "file" / "sub").string())));
    EXPECT_FALSE(EnsureFolderTree(L""));
}
