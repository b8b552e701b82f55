// vantorel_uhid: the simulated mouse as kernel HID devices (through /dev/uhid), for
// tests of the real HID path. Needs root and the uhid module.
#include <fcntl.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sim/UhidMouse.h"

namespace {

const char kUsage[] =
    "usage: vantorel_uhid [--type=N] [--cable] [--receiver] [--control=PATH]\n"
    "Creates the simulated mouse of model N (default 101) as kernel HID devices: its\n"
    "cable by default, its receiver with --receiver, both with --cable --receiver.\n"
    "Control lines (plug|unplug cable|receiver, power on|off, dpi, battery LEVEL\n"
    "[CHARGING], wake, button SLOT, quit) come from PATH (a FIFO, held open) or from\n"
    "standard input. Every report goes to the trace file VANTOREL_SIM_TRACE names\n"
    "(standard output when it is not set).\n";

}  // namespace

int main(int argc, char** argv) {
    int deviceType = 101;
    bool cable = false, receiver = false;
    std::string control;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--type=", 0) == 0) {
            deviceType = std::atoi(arg.c_str() + 7);
        } else if (arg == "--cable") {
            cable = true;
        } else if (arg == "--receiver") {
            receiver = true;
        } else if (arg.rfind("--control=", 0) == 0) {
            control = arg.substr(10);
        } else {
            std::fputs(kUsage, arg == "--help" ? stdout : stderr);
            return arg == "--help" ? 0 : 2;
        }
    }
    if (!cable && !receiver) cable = true;
    setenv("VANTOREL_SIM_TRACE", "/dev/stdout", 0);

    // Read-write, so that the FIFO never reports its end when a writer goes away.
    const int controlFd = control.empty() ? STDIN_FILENO : open(control.c_str(), O_RDWR | O_CLOEXEC);
    if (controlFd < 0) {
        std::fprintf(stderr, "vantorel_uhid: %s: %s\n", control.c_str(), std::strerror(errno));
        return 1;
    }
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    const int stopFd = signalfd(-1, &stop, SFD_CLOEXEC);

    UhidMouse mouse(deviceType, std::make_shared<SimTrace>());
    if ((cable && !mouse.Plug(SimEndpoint::Cable)) || (receiver && !mouse.Plug(SimEndpoint::Receiver)))
        return 1;
    std::fflush(stdout);
    return mouse.Run(controlFd, stopFd);
}
