#include "platform/UinputKeyboard.h"

#include <fcntl.h>
#include <linux/input.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

#include "base/Trace.h"

namespace {

// The keyboard's identity: a virtual device, the mouse's vendor id, a product id
// of its own (never one of the catalog's, so the program never takes it for a mouse).
constexpr uint16_t kVendor = 0x3A5C;
constexpr uint16_t kProduct = 0xFF01;

}  // namespace

UinputProblem UinputProblemFromErrno(int error) {
    switch (error) {
        case 0:
            return UinputProblem::Ok;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return UinputProblem::Missing;
        case EACCES:
        case EPERM:
        case EROFS:
            return UinputProblem::Denied;
        default:
            return UinputProblem::Failed;
    }
}

std::string EventNodeOfInputDevice(const std::string& sysfsRoot, const std::string& inputName) {
    if (inputName.empty() || inputName.find('/') != std::string::npos) return {};
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::path(sysfsRoot) / "devices/virtual/input" / inputName;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("event", 0) == 0 && name.size() > 5) return "/dev/input/" + name;
    }
    return {};
}

bool UinputKeyboard::Fail(UinputProblem problem, int error) {
    m_problem = problem;
    m_error = error;
    Vantorel::Trace("uinput: %s: %s", m_path.c_str(), std::strerror(error));
    Destroy();
    return false;
}

bool UinputKeyboard::Create(const std::vector<int>& keys) {
    Destroy();
    m_problem = UinputProblem::Ok;
    m_error = 0;
    m_fd = open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) return Fail(UinputProblemFromErrno(errno), errno);
    if (ioctl(m_fd, UI_SET_EVBIT, EV_KEY) < 0 || ioctl(m_fd, UI_SET_EVBIT, EV_SYN) < 0)
        return Fail(UinputProblem::Failed, errno);
    for (int key : keys)
        if (key <= 0 || key > KEY_MAX || ioctl(m_fd, UI_SET_KEYBIT, key) < 0)
            return Fail(UinputProblem::Failed, key <= 0 || key > KEY_MAX ? EINVAL : errno);
    uinput_setup setup{};
    setup.id.bustype = BUS_VIRTUAL;
    setup.id.vendor = kVendor;
    setup.id.product = kProduct;
    setup.id.version = 1;
    std::strncpy(setup.name, kUinputDeviceName, UINPUT_MAX_NAME_SIZE - 1);
    if (ioctl(m_fd, UI_DEV_SETUP, &setup) < 0 || ioctl(m_fd, UI_DEV_CREATE) < 0)
        return Fail(UinputProblem::Failed, errno);
    m_created = true;
    char sysname[64] = {};
    if (ioctl(m_fd, UI_GET_SYSNAME(sizeof sysname - 1), sysname) >= 0)
        m_eventNode = EventNodeOfInputDevice("/sys", sysname);
    return true;
}

void UinputKeyboard::Destroy() {
    if (m_fd < 0) return;
    if (m_created) ioctl(m_fd, UI_DEV_DESTROY);
    close(m_fd);
    m_fd = -1;
    m_created = false;
    m_eventNode.clear();
}

bool UinputKeyboard::Emit(int type, int code, int value) {
    input_event event{};
    event.type = static_cast<uint16_t>(type);
    event.code = static_cast<uint16_t>(code);
    event.value = value;
    return write(m_fd, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
}

bool UinputKeyboard::PressChord(const std::vector<int>& keys, std::chrono::milliseconds hold) {
    if (!IsCreated() || keys.empty()) return false;
    bool ok = true;
    for (int key : keys) ok = Emit(EV_KEY, key, 1) && Emit(EV_SYN, SYN_REPORT, 0) && ok;
    std::this_thread::sleep_for(hold);
    // Released whatever happened to the presses: no key may stay down.
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        ok = Emit(EV_KEY, *key, 0) && Emit(EV_SYN, SYN_REPORT, 0) && ok;
    return ok;
}
