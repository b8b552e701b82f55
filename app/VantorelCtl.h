#pragma once
// vantorelctl: scripting a mouse from the command line. While the program runs, it
// owns the mouse: the command goes to it over its bus interface, and the window
// shows the change at once. Otherwise the tool drives the program's own device
// worker and store: every command first reads the mouse, as the program does at
// start-up; a change is written to the active profile's store and sent by
// queueing the same worker task the page would queue. Both ways print the same.
//
// Exit codes: 0 success, 1 no mouse or a failed operation, 2 a usage error.
#include <iosfwd>
#include <string>
#include <vector>

class StopRequest;

constexpr int kCtlSuccess = 0;
constexpr int kCtlFailure = 1;
constexpr int kCtlUsage = 2;

struct CtlOptions {
    bool help = false;
    bool version = false;
    bool json = false;  // JSON output (info, get, profile, keys, watch)
    bool simulate = false;
    bool simulateReceiver = false;
    // The tool's own worker even while the program runs (--direct).
    bool direct = false;
    std::string command;
    std::vector<std::string> arguments;
};

// Parses the arguments after the program name. kCtlUsage with `error` set when
// they cannot be run (unknown option or command, wrong argument count).
int ParseCtlOptions(const std::vector<std::string>& args, CtlOptions& options, std::string& error);

// The help text.
std::string CtlUsage();

// A whole run: parse, choose the way to the mouse, run the command. `watch` runs
// until `stop` is requested (or the program it follows ends); without one it
// ends at once, after the mice's present state.
int RunVantorelCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   StopRequest* stop = nullptr);
