#include "platform/AppLaunch.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "base/Trace.h"

// After GIO's headers: X11 defines macros (None, Bool, Status) that clash with names there.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

std::string QuoteValue(const std::string& value) {
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The X display's side of startup notification: the messages announcing and
// cancelling a launch, sent to the root window as the protocol wants them (pieces of
// 20 bytes, the first of type _NET_STARTUP_INFO_BEGIN).
class XStartupNotifier {
  public:
    XStartupNotifier() : m_display(XOpenDisplay(nullptr)) {
        if (!m_display) return;
        const Window root = DefaultRootWindow(m_display);
        m_window = XCreateSimpleWindow(m_display, root, -100, -100, 1, 1, 0, 0, 0);
        XSelectInput(m_display, m_window, PropertyChangeMask);
    }
    ~XStartupNotifier() {
        if (!m_display) return;
        XDestroyWindow(m_display, m_window);
        XCloseDisplay(m_display);
    }
    XStartupNotifier(const XStartupNotifier&) = delete;
    XStartupNotifier& operator=(const XStartupNotifier&) = delete;

    bool IsAvailable() const { return m_display != nullptr; }

    // The X server's time now, from a property change on our own window: the
    // launch's time stamp, so that the new window may take the focus.
    unsigned long ServerTime() {
        const Atom atom = XInternAtom(m_display, "_VANTOREL_TIMESTAMP", False);
        XChangeProperty(m_display, m_window, atom, XA_STRING, 8, PropModeAppend, nullptr, 0);
        XEvent event;
        XWindowEvent(m_display, m_window, PropertyChangeMask, &event);
        return event.xproperty.time;
    }

    void Send(const std::string& message) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.display = m_display;
        event.xclient.window = m_window;
        event.xclient.format = 8;
        event.xclient.message_type = XInternAtom(m_display, "_NET_STARTUP_INFO_BEGIN", False);
        const Atom more = XInternAtom(m_display, "_NET_STARTUP_INFO", False);
        const Window root = DefaultRootWindow(m_display);
        const char* next = message.c_str();
        size_t left = message.size() + 1;  // with its terminating zero
        while (left > 0) {
            const size_t piece = std::min<size_t>(left, 20);
            std::memset(event.xclient.data.b, 0, 20);
            std::memcpy(event.xclient.data.b, next, piece);
            XSendEvent(m_display, root, False, PropertyChangeMask, &event);
            next += piece;
            left -= piece;
            event.xclient.message_type = more;
        }
        XSync(m_display, False);
    }

  private:
    Display* m_display;
    Window m_window = 0;
};

std::string MakeStartupId(const std::string& binary, unsigned long time) {
    static std::atomic<unsigned> counter{0};
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    return "VantorelMouse-" + std::to_string(getpid()) + "-" + host + "-" + BaseName(binary) + "-" +
           std::to_string(++counter) + "_TIME" + std::to_string(time);
}

LaunchResult Refuse(std::string* error, const std::string& why) {
    if (error) *error = why;
    return LaunchResult::NotStartable;
}

// An executable as an application GIO can launch: its path as one argument.
GAppInfo* InfoForExecutable(const std::string& path, std::string* error) {
    gchar* quoted = g_shell_quote(path.c_str());
    // '%' starts a field code in the command GIO builds from this.
    std::string command;
    for (const char* c = quoted; *c; ++c) command += *c == '%' ? std::string("%%") : std::string(1, *c);
    g_free(quoted);
    GError* failure = nullptr;
    GAppInfo* info = g_app_info_create_from_commandline(
        command.c_str(), BaseName(path).c_str(), G_APP_INFO_CREATE_SUPPORTS_STARTUP_NOTIFICATION, &failure);
    if (!info && error) *error = failure->message;
    g_clear_error(&failure);
    return info;
}

}  // namespace

bool IsDesktopEntryPath(const std::string& path) {
    return path.size() > 8 && path.compare(path.size() - 8, 8, ".desktop") == 0;
}

std::string StartupNotifyMessage(const std::string& kind, const std::string& id, const std::string& name,
                                 const std::string& binary, const std::string& icon,
                                 const std::string& applicationId) {
    std::string message = kind + ": ID=" + QuoteValue(id);
    if (kind != "new") return message;
    message += " NAME=" + QuoteValue(name) + " SCREEN=0";
    if (!binary.empty()) message += " BIN=" + QuoteValue(binary);
    if (!icon.empty()) message += " ICON=" + QuoteValue(icon);
    if (!applicationId.empty()) message += " APPLICATION_ID=" + QuoteValue(applicationId);
    return message;
}

bool IsLaunchable(const std::string& path) {
    if (!IsDesktopEntryPath(path)) return IsExecutableFile(path);
    // GIO refuses another type and a missing TryExec program; an entry it reads
    // still needs a program to run, or to be started over the bus, and must not be
    // one the desktop counts as deleted (Hidden).
    GDesktopAppInfo* entry = g_desktop_app_info_new_from_filename(path.c_str());
    if (!entry) return false;
    if (g_desktop_app_info_get_is_hidden(entry)) {
        g_object_unref(entry);
        return false;
    }
    bool startable = g_desktop_app_info_get_boolean(entry, "DBusActivatable");
    if (const char* program = g_app_info_get_executable(G_APP_INFO(entry));
        !startable && program && *program) {
        gchar* found = g_find_program_in_path(program);
        startable = found != nullptr;
        g_free(found);
    }
    g_object_unref(entry);
    return startable;
}

LaunchResult LaunchApplication(const std::string& path, std::string* error) {
    GAppInfo* info = nullptr;
    bool notify = true;
    std::string icon;
    if (IsDesktopEntryPath(path)) {
        GDesktopAppInfo* entry =
            IsLaunchable(path) ? g_desktop_app_info_new_from_filename(path.c_str()) : nullptr;
        if (!entry) return Refuse(error, "not an application entry that can be started here");
        // An application that does not say it completes startup notification would
        // leave the desktop's busy pointer on until it gives up.
        notify = g_desktop_app_info_get_boolean(entry, "StartupNotify") ||
                 g_desktop_app_info_get_startup_wm_class(entry) != nullptr;
        if (gchar* name = g_desktop_app_info_get_string(entry, "Icon")) {
            icon = name;
            g_free(name);
        }
        info = G_APP_INFO(entry);
    } else {
        if (!IsExecutableFile(path)) return Refuse(error, "not an executable file");
        info = InfoForExecutable(path, error);
        if (!info) return LaunchResult::Failed;
    }

    GAppLaunchContext* context = g_app_launch_context_new();
    // The id this program may have been started with belongs to its own start.
    g_app_launch_context_unsetenv(context, "DESKTOP_STARTUP_ID");
    XStartupNotifier display;
    std::string id;
    const char* binary = g_app_info_get_executable(info);
    if (notify && display.IsAvailable()) {
        id = MakeStartupId(binary ? binary : path, display.ServerTime());
        display.Send(StartupNotifyMessage("new", id, g_app_info_get_display_name(info), binary ? binary : "",
                                          icon, IsDesktopEntryPath(path) ? path : std::string()));
        g_app_launch_context_setenv(context, "DESKTOP_STARTUP_ID", id.c_str());
    }
    GError* failure = nullptr;
    const bool started = g_app_info_launch(info, nullptr, context, &failure);
    if (!started) {
        Vantorel::Trace("launch: %s: %s", path.c_str(), failure ? failure->message : "?");
        if (error) *error = failure ? failure->message : "the program could not be started";
        if (!id.empty()) display.Send(StartupNotifyMessage("remove", id, "", "", "", ""));
    }
    g_clear_error(&failure);
    g_object_unref(context);
    g_object_unref(info);
    return started ? LaunchResult::Started : LaunchResult::Failed;
}
