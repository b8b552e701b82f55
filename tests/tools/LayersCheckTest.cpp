// The layer check, run on scratch trees the way the build runs it on the real
// one: it must pass a tree whose includes point down and name every include
// that does not.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

const fs::path kChecker = fs::path(VANTOREL_SOURCE_DIR) / "tools" / "layers" / "check_layers.py";

constexpr const char* kLayers =
    "# lowest first\n"
    "base\n"
    "kit/core\n"
    "kit/controls\n"
    "logic  !kit\n"
    "window\n"
    "allow window/Old.cpp top/Main.h  # being moved\n"
    "unlayered tests\n"
    "top\n";

class LayersCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        tree.Write("cmake/layers.txt", kLayers);
        tree.Write("base/Text.h", "#pragma once\n");
        tree.Write("kit/core/Control.h", "#pragma once\n#include \"base/Text.h\"\n");
        tree.Write("kit/controls/Button.cpp", "#include \"kit/core/Control.h\"\n#include <vector>\n");
        tree.Write("logic/Rules.cpp", "#include \"base/Text.h\"\n#include \"Rules.h\"\n");
        tree.Write("logic/Rules.h", "#pragma once\n");
        tree.Write("window/Page.cpp", "#include \"kit/controls/Button.h\"\n#include \"logic/Rules.h\"\n");
        tree.Write("kit/controls/Button.h", "#pragma once\n");
        tree.Write("top/Main.h", "#pragma once\n#include \"window/Page.h\"\n");
        tree.Write("window/Page.h", "#pragma once\n");
        tree.Write("tests/PageTest.cpp", "#include \"top/Main.h\"\n");
        tree.Write("window/Old.cpp", "#include \"top/Main.h\"\n");
    }

    // Runs the checker on the scratch tree; its output (both streams) lands in `out`.
    int Run(const std::string& options = "") {
        const std::string command = "python3 '" + kChecker.string() + "' " + options + " '" + Root() + "' 2>&1";
        out.clear();
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return -1;
        char buffer[512];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        const int status = ::pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Root() const { return Orvix::WideToUtf8(tree.Folder()); }

    TempFolder tree;
    std::string out;
};

TEST_F(LayersCheck, PassesATreeWhoseIncludesPointDown) {
    EXPECT_EQ(Run(), 0) << out;
    EXPECT_EQ(out, "");
}

// A file written to go against the order, and what the check must say of it.
struct WrongInclude {
    const char* file;
    const char* text;
    const char* message;
};

TEST_F(LayersCheck, NamesEachIncludeAgainstTheOrder) {
    const WrongInclude cases[] = {
        // A layer reaching one above it.
        {"logic/Rules.cpp", "#include \"base/Text.h\"\n#include \"window/Page.h\"\n",
         "logic/Rules.cpp:2: includes window/Page.h: logic sits below window"},
        // Two folders of one parent: kit/core sits below kit/controls.
        {"kit/core/Control.h", "#pragma once\n#include \"kit/controls/Button.h\"\n",
         "kit/core/Control.h:2: includes kit/controls/Button.h: kit/core sits below kit/controls"},
        // kit is listed below logic, but logic's line keeps it off every kit folder.
        {"logic/Rules.h", "#pragma once\n#include \"kit/core/Control.h\"\n",
         "logic/Rules.h:2: includes kit/core/Control.h: logic may not use kit/core"},
        // An include written relative to the file.
        {"base/Text.h", "#pragma once\n#include \"../top/Main.h\"\n", "base/Text.h:2: includes top/Main.h"},
        // Code in a folder the order does not name.
        {"extra/Thing.cpp", "int thing;\n", "extra/Thing.cpp: its folder is in no layer"},
    };
    for (const WrongInclude& wrong : cases) {
        SCOPED_TRACE(wrong.file);
        const fs::path path = fs::path(Root()) / wrong.file;
        const bool existed = fs::exists(path);
        const std::string before = tree.Read(wrong.file);
        tree.Write(wrong.file, wrong.text);
        EXPECT_EQ(Run(), 1);
        EXPECT_NE(out.find(wrong.message), std::string::npos) << out;
        if (existed) tree.Write(wrong.file, before);
        else fs::remove(path);
        EXPECT_EQ(Run(), 0) << out;
    }
}

TEST_F(LayersCheck, LetsThroughOnlyTheIncludeAnAllowLineNames) {
    tree.Write("window/Other.cpp", "#include \"top/Main.h\"\n");
    EXPECT_EQ(Run(), 1);
    EXPECT_NE(out.find("window/Other.cpp:1:"), std::string::npos) << out;
    EXPECT_EQ(out.find("window/Old.cpp"), std::string::npos) << out;
}

TEST_F(LayersCheck, SaysWhenAnAllowLineIsNoLongerNeeded) {
    // The include is gone: the line should go too, but the build goes on.
    tree.Write("window/Old.cpp", "#include \"window/Page.h\"\n");
    EXPECT_EQ(Run(), 0);
    EXPECT_NE(out.find("note: \"allow window/Old.cpp top/Main.h\" is no longer needed"), std::string::npos) << out;
}

TEST_F(LayersCheck, ListsTheArrowsBetweenFolders) {
    EXPECT_EQ(Run("--list"), 0) << out;
    EXPECT_NE(out.find("window -> kit/controls (1)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("window -> logic (1)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("kit/core -> base (1)\n"), std::string::npos) << out;
    // Unlayered folders draw no arrows.
    EXPECT_EQ(out.find("tests"), std::string::npos) << out;
}

TEST(LayersCheckOfTheProgram, EveryIncludePointsDown) {
    const std::string command = "python3 '" + kChecker.string() + "' '" VANTOREL_SOURCE_DIR "' 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
