// The command of an application entry: quoting, escapes, field codes, and
// entries without a usable Exec line.
#include <gtest/gtest.h>

#include "platform/DesktopEntry.h"

using Args = std::vector<std::string>;

TEST(DesktopEntryTest, ExecLineBecomesAnArgumentVector) {
    Args argv;
    ASSERT_TRUE(ParseDesktopEntryExec("[Desktop Entry]\nName=Edit\nExec=gedit --new-window %U\n", argv));
    EXPECT_EQ(argv, (Args{"gedit", "--new-window"}));

    ASSERT_TRUE(ParseDesktopEntryExec(
        "[Desktop Entry]\nExec=\"/opt/My App/run\" \"a \\\\\"b\\\\\" c\" 100%% %f\n", argv));
    EXPECT_EQ(argv, (Args{"/opt/My App/run", "a \"b\" c", "100%"}));

    // Shell characters are plain text: nothing here is run by a shell.
    ASSERT_TRUE(ParseDesktopEntryExec("[Desktop Entry]\nExec=tool ;rm $(x) `y`\n", argv));
    EXPECT_EQ(argv, (Args{"tool", ";rm", "$(x)", "`y`"}));
}

TEST(DesktopEntryTest, OnlyTheMainGroupsExecCounts) {
    Args argv;
    ASSERT_TRUE(ParseDesktopEntryExec(
        "# comment\n[Desktop Entry]\nExec[de]=falsch\nExec=right\n[Desktop Action New]\nExec=wrong\n", argv));
    EXPECT_EQ(argv, (Args{"right"}));
}

TEST(DesktopEntryTest, EntriesWithoutACommandAreRefused) {
    Args argv;
    EXPECT_FALSE(ParseDesktopEntryExec("[Desktop Entry]\nType=Application\nName=No exec\n", argv));
    EXPECT_FALSE(ParseDesktopEntryExec("[Desktop Entry]\nExec=\n", argv));
    EXPECT_FALSE(ParseDesktopEntryExec("[Desktop Entry]\nExec=%F\n", argv));
    EXPECT_FALSE(ParseDesktopEntryExec("[Desktop Entry]\nExec=\"unclosed\n", argv));
    EXPECT_FALSE(ParseDesktopEntryExec("[Other]\nExec=x\n", argv));
    EXPECT_TRUE(argv.empty());
}
