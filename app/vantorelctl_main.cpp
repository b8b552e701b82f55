// vantorelctl: a command-line front end over the running program's bus interface,
// or over the program's own device worker and store.
#include <signal.h>

#include <iostream>
#include <thread>

#include "app/VantorelCtl.h"
#include "platform/StopRequest.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    CtlOptions options;
    std::string error;
    const bool watch = ParseCtlOptions(args, options, error) == kCtlSuccess && options.command == "watch";
    if (!watch) return RunVantorelCtl(args, std::cout, std::cerr);
    // A watch ends with an interrupt, a hang-up or a termination: taken by a thread
    // of their own (blocked everywhere else), so that the watch ends cleanly.
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    static StopRequest stop;  // the signal thread may outlive main's frame
    std::thread([signals] {
        int received = 0;
        sigwait(&signals, &received);
        stop.Request();
    }).detach();
    return RunVantorelCtl(args, std::cout, std::cerr, &stop);
}
