#pragma once
// vantorelctl: the device worker and store of the program driven from the command
// line, for scripting a mouse. Every command first reads the mouse, as the program
// does at start-up; a change is written to the active profile's store and sent by
// queueing the same worker task the page would queue.
//
// Exit codes: 0 success, 1 no mouse or a failed operation, 2 a usage error.
#include <iosfwd>
#include <string>
#include <vector>

constexpr int kCtlSuccess = 0;
constexpr int kCtlFailure = 1;
constexpr int kCtlUsage = 2;

struct CtlOptions {
    bool help = false;
    bool version = false;
    bool json = false;  // JSON output (info, get, profile, keys)
    bool simulate = false;
    bool simulateReceiver = false;
    std::string command;
    std::vector<std::string> arguments;
};

// Parses the arguments after the program name. kCtlUsage with `error` set when
// they cannot be run (unknown option or command, wrong argument count).
int ParseCtlOptions(const std::vector<std::string>& args, CtlOptions& options, std::string& error);

// The help text.
std::string CtlUsage();

// A whole run: parse, set up, read the mouse, run the command.
int RunVantorelCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
