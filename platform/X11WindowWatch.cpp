// The X11 provider: the window manager's _NET_ACTIVE_WINDOW on the root window,
// watched on a connection of its own (XCB, so that a window that vanished while
// it was read is an error reply here and never the process-wide Xlib handler).
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "base/TextConv.h"
#include "platform/PollThread.h"
#include "base/Trace.h"
#include "platform/WindowWatch.h"

namespace {

class X11WindowWatch : public WindowWatchProvider {
  public:
    explicit X11WindowWatch(std::string display) : m_display(std::move(display)) {}
    ~X11WindowWatch() override { Stop(); }

    bool Start(Sink sink) override {
        if (m_thread.IsRunning()) return true;
        const std::string name = m_display.empty() ? Env("DISPLAY") : m_display;
        if (name.empty()) return false;
        m_conn = xcb_connect(name.c_str(), nullptr);
        if (!m_conn || xcb_connection_has_error(m_conn)) {
            Disconnect();
            return false;
        }
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        m_activeAtom = Atom("_NET_ACTIVE_WINDOW");
        m_pidAtom = Atom("_NET_WM_PID");
        m_nameAtom = Atom("_NET_WM_NAME");
        m_utf8Atom = Atom("UTF8_STRING");
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_conn, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_conn);
        m_sink = std::move(sink);
        if (!m_thread.Start([this](int stopFd) { Run(stopFd); })) {
            Disconnect();
            return false;
        }
        return true;
    }

    void Stop() override {
        m_thread.Stop();
        Disconnect();
    }

  private:
    static std::string Env(const char* name) {
        const char* value = std::getenv(name);
        return value ? value : "";
    }

    void Disconnect() {
        if (m_conn) xcb_disconnect(m_conn);
        m_conn = nullptr;
    }

    xcb_atom_t Atom(const char* name) {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(m_conn, xcb_intern_atom(m_conn, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return atom;
    }

    // A property's bytes; false when the window is gone or has none.
    bool Property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, std::string& value) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_conn, xcb_get_property(m_conn, 0, window, property, type, 0, 4096), nullptr);
        if (!reply) return false;
        const int length = xcb_get_property_value_length(reply);
        const bool ok = reply->type != XCB_ATOM_NONE && length > 0;
        if (ok) value.assign(static_cast<const char*>(xcb_get_property_value(reply)), size_t(length));
        free(reply);
        return ok;
    }

    xcb_window_t ActiveWindow() {
        std::string value;
        // Window managers write it as a WINDOW; a 32-bit value of another type is taken too.
        if (!Property(m_root, m_activeAtom, XCB_GET_PROPERTY_TYPE_ANY, value) || value.size() < 4)
            return XCB_WINDOW_NONE;
        xcb_window_t window = 0;
        std::memcpy(&window, value.data(), 4);
        return window;
    }

    FocusedWindow Describe(xcb_window_t window) {
        FocusedWindow seen;
        std::string value;
        if (Property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, value)) {
            // "instance\0class\0"
            const size_t nul = value.find('\0');
            seen.wmInstance = Orvix::Utf8ToWide(value.substr(0, nul));
            if (nul != std::string::npos) {
                std::string rest = value.substr(nul + 1);
                seen.wmClass = Orvix::Utf8ToWide(rest.substr(0, rest.find('\0')));
            }
        }
        if (Property(window, m_pidAtom, XCB_ATOM_CARDINAL, value) && value.size() >= 4) {
            uint32_t pid = 0;
            std::memcpy(&pid, value.data(), 4);
            seen.pid = int(pid);
            char path[PATH_MAX];
            const std::string link = "/proc/" + std::to_string(pid) + "/exe";
            const ssize_t n = readlink(link.c_str(), path, sizeof(path) - 1);
            if (n > 0) seen.executable.assign(path, size_t(n));
        }
        if (Property(window, m_nameAtom, m_utf8Atom, value) || Property(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, value))
            seen.title = Orvix::Utf8ToWide(value);
        return seen;
    }

    void Report() {
        const xcb_window_t window = ActiveWindow();
        // No window in front (a desktop, or under XWayland a Wayland window): nothing to tell.
        if (window == XCB_WINDOW_NONE || window == m_reported) return;
        m_reported = window;
        const FocusedWindow seen = Describe(window);
        if (!seen.IsEmpty()) m_sink(seen);
    }

    void Run(int stopFd) {
        Report();
        pollfd fds[2] = {{xcb_get_file_descriptor(m_conn), POLLIN, 0}, {stopFd, POLLIN, 0}};
        for (;;) {
            bool changed = false;
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_conn)) {
                if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
                    const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
                    changed = changed || (notify->window == m_root && notify->atom == m_activeAtom);
                }
                free(event);
            }
            if (changed) Report();
            if (xcb_connection_has_error(m_conn)) {
                Vantorel::Trace("window watch: the X display went away");
                return;
            }
            if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
            if (fds[1].revents) return;
        }
    }

    std::string m_display;
    xcb_connection_t* m_conn = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_activeAtom = 0, m_pidAtom = 0, m_nameAtom = 0, m_utf8Atom = 0;
    xcb_window_t m_reported = XCB_WINDOW_NONE;
    Sink m_sink;
    PollThread m_thread;
};

}  // namespace

std::unique_ptr<WindowWatchProvider> MakeX11WindowWatch(const std::string& display) {
    return std::make_unique<X11WindowWatch>(display);
}
