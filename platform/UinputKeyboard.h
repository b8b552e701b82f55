#pragma once
// A virtual keyboard on /dev/uinput, made for one key chord and removed after it.
// Keys pressed on it go through the kernel's input layer to the compositor, which
// hands them to whatever window has the focus: on a Wayland session this reaches
// native Wayland applications, which synthetic X events (XTest) never reach.
//
// Access to /dev/uinput is root's unless a udev rule gives it to the user of the
// local session (the package installs one); without it the keyboard cannot be made
// and the caller falls back to what the session offers.
#include <chrono>
#include <string>
#include <vector>

inline constexpr char kUinputPath[] = "/dev/uinput";
inline constexpr char kUinputDeviceName[] = "Vantorel Mouse virtual keyboard";

// Why a virtual keyboard could not be made.
enum class UinputProblem {
    Ok,
    Missing,  // no such node: the uinput module is not loaded and no static node exists
    Denied,   // the node is there, but this user may not write it
    Failed,   // opened, but the kernel refused the device (the error says why)
};

// What an open of the node tells, from its errno value (0: it opened).
UinputProblem UinputProblemFromErrno(int error);

class UinputKeyboard {
  public:
    // `path`: the uinput node (tests give another one).
    explicit UinputKeyboard(std::string path = kUinputPath) : m_path(std::move(path)) {}
    ~UinputKeyboard() { Destroy(); }
    UinputKeyboard(const UinputKeyboard&) = delete;
    UinputKeyboard& operator=(const UinputKeyboard&) = delete;

    // Makes the keyboard with these keys (evdev key codes, KEY_*). False with
    // Problem() and Error() set when it cannot.
    bool Create(const std::vector<int>& keys);
    void Destroy();
    bool IsCreated() const { return m_fd >= 0 && m_created; }

    // The keyboard's event node ("/dev/input/event7") once created; empty when the
    // kernel does not say (the keys are still delivered).
    const std::string& EventNode() const { return m_eventNode; }

    // Presses the keys in order, holds them for `hold`, and releases them in the
    // opposite order, each change followed by a report so the compositor sees it
    // at once. False when the kernel did not take an event.
    bool PressChord(const std::vector<int>& keys, std::chrono::milliseconds hold);

    UinputProblem Problem() const { return m_problem; }
    int Error() const { return m_error; }
    const std::string& Path() const { return m_path; }

  private:
    bool Emit(int type, int code, int value);
    bool Fail(UinputProblem problem, int error);

    std::string m_path;
    int m_fd = -1;
    bool m_created = false;
    std::string m_eventNode;
    UinputProblem m_problem = UinputProblem::Ok;
    int m_error = 0;
};

// The event node of the input device named by its sysfs name ("input12"), from
// /sys/devices/virtual/input/<name>/event*; empty when there is none.
std::string EventNodeOfInputDevice(const std::string& sysfsRoot, const std::string& inputName);
