// What the hidraw back end says about a node it could not open: a node this user may
// not read and write is a permission problem, a vanished node is not. The nodes are
// ordinary files with a node's permissions; as root (which every permission lets
// through) the probe runs in a child that has given its privileges up.
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "../support/TempFolder.h"
#include "base/TextConv.h"
#include "platform/HidSysfs.h"
#include "platform/HidrawBackend.h"

namespace {

struct Probe {
    int error = -1;
    HidOpenFailure failure = HidOpenFailure::Unknown;
};

// Probes `node` as an unprivileged user: in a child process when this one is root.
// False when the privileges could not be given up.
bool ProbeAsUser(const std::string& node, Probe& probe) {
    auto run = [&node] {
        Probe p;
        p.error = ProbeNodeOpen(node);
        HidInterfaceInfo info;
        info.systemPath = node;
        p.failure = HidrawBackend().ExplainOpenFailure(info);
        return p;
    };
    if (geteuid() != 0) {
        probe = run();
        return true;
    }
    int channel[2];
    if (pipe(channel) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        Probe p;
        // nobody:nogroup
        if (setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0)
            p = run();
        else
            p.error = -1;
        const ssize_t ignored = write(channel[1], &p, sizeof p);
        (void)ignored;
        _exit(0);
    }
    close(channel[1]);
    const bool got = read(channel[0], &probe, sizeof probe) == static_cast<ssize_t>(sizeof probe);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return got && probe.error != -1;
}

TEST(HidNodeAccess, ANodeOfAnotherUserIsDeniedAndAMissingOneIsGone) {
    TempFolder t;
    const std::string node = Orvix::WideToUtf8(t.File("hidraw7"));
    t.Write("hidraw7", "");
    // The probing user does not own the node when this test is root; otherwise it
    // owns it, and only modes without the owner's rights shut it out.
    const bool root = geteuid() == 0;
    ASSERT_EQ(chmod(Orvix::WideToUtf8(t.Folder()).c_str(), 0755), 0);  // whatever the umask

    // Open to everyone, as the udev rule's access makes it for the desktop user.
    ASSERT_EQ(chmod(node.c_str(), 0666), 0);
    Probe open;
    if (!ProbeAsUser(node, open)) GTEST_SKIP() << "no unprivileged user to probe as";
    EXPECT_EQ(open.error, 0);
    EXPECT_EQ(open.failure, HidOpenFailure::Unknown) << "a node that opens is no permission problem";

    // As the kernel creates the node without the rule: root's alone.
    ASSERT_EQ(chmod(node.c_str(), root ? 0600 : 0000), 0);
    Probe closed;
    ASSERT_TRUE(ProbeAsUser(node, closed));
    EXPECT_EQ(closed.error, EACCES);
    EXPECT_EQ(closed.failure, HidOpenFailure::AccessDenied);

    // Reading alone is not enough: the mouse is written to.
    ASSERT_EQ(chmod(node.c_str(), root ? 0644 : 0444), 0);
    Probe readOnly;
    ASSERT_TRUE(ProbeAsUser(node, readOnly));
    EXPECT_EQ(readOnly.error, EACCES);
    EXPECT_EQ(readOnly.failure, HidOpenFailure::AccessDenied);

    Probe gone;
    ASSERT_TRUE(ProbeAsUser(node + "-unplugged", gone));
    EXPECT_EQ(gone.error, ENOENT);
    EXPECT_EQ(gone.failure, HidOpenFailure::Gone);
}

}  // namespace
