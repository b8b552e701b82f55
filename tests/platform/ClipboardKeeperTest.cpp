// The clipboard keeper outlives the X servers it was kept on: a display that goes
// away while the keeper holds it must not end the program (Xlib's own handler
// exits), neither when the keeper notices it nor when it gives way to a new one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "../support/PrivateXServer.h"
#include "platform/ClipboardKeeper.h"

namespace {

TEST(ClipboardKeeperDisplays, AServerThatEndsUnderTheKeeperDoesNotEndTheProgram) {
    if (std::system("command -v Xvfb >/dev/null") != 0) GTEST_SKIP() << "no Xvfb";
    // In a child: Xlib's default handler ends the process it runs in.
    EXPECT_EXIT(
        {
            for (int round = 0; round < 6; ++round) {
                auto server = std::make_unique<PrivateXServer>();
                if (!server->Ready()) std::exit(3);
                setenv("DISPLAY", server->Name().c_str(), 1);
                ClipboardKeeper* keeper = ClipboardKeeper::Get();
                if (!keeper) std::exit(4);
                ClipboardContents contents;
                keeper->Save(contents);
                // The server ends; the next use names another display at once, so the
                // old keeper is closed while its connection is dying.
                server.reset();
                auto next = std::make_unique<PrivateXServer>();
                if (!next->Ready()) std::exit(3);
                setenv("DISPLAY", next->Name().c_str(), 1);
                if (!ClipboardKeeper::Get()) std::exit(5);
                next.reset();
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
