#include "orvix/platform/X11Desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace Orvix::X11 {

namespace {

// One connection with the atoms and windows the scale settings live on.
struct Settings {
    xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t selection = 0;  // _XSETTINGS_S<screen>
    xcb_atom_t property = 0;   // _XSETTINGS_SETTINGS
    xcb_atom_t manager = 0;    // MANAGER
    xcb_atom_t resources = 0;  // RESOURCE_MANAGER

    bool Open() {
        int screenNumber = 0;
        c = xcb_connect(nullptr, &screenNumber);
        if (!c || xcb_connection_has_error(c)) return false;
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
        if (!it.rem) return false;
        root = it.data->root;
        selection = Atom("_XSETTINGS_S" + std::to_string(screenNumber));
        property = Atom("_XSETTINGS_SETTINGS");
        manager = Atom("MANAGER");
        resources = Atom("RESOURCE_MANAGER");
        return true;
    }
    ~Settings() {
        if (c) xcb_disconnect(c);
    }

    xcb_atom_t Atom(const std::string& name) {
        xcb_intern_atom_reply_t* r =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.c_str()), nullptr);
        xcb_atom_t atom = r ? r->atom : XCB_ATOM_NONE;
        free(r);
        return atom;
    }

    xcb_window_t Owner() {
        xcb_get_selection_owner_reply_t* r =
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
        xcb_window_t owner = r ? r->owner : XCB_WINDOW_NONE;
        free(r);
        return owner;
    }

    // A property's bytes; empty when it is missing (or its window went away).
    std::string Property(xcb_window_t window, xcb_atom_t atom) {
        std::string bytes;
        xcb_get_property_reply_t* r = xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20), nullptr);
        if (r && r->format == 8)
            bytes.assign(static_cast<const char*>(xcb_get_property_value(r)), size_t(xcb_get_property_value_length(r)));
        free(r);
        return bytes;
    }

    void Read(DesktopScaleSources& s) {
        if (xcb_window_t owner = Owner()) {
            const std::string blob = Property(owner, property);
            std::map<std::string, XSetting> values;
            ParseXSettings(reinterpret_cast<const uint8_t*>(blob.data()), blob.size(), values);
            s.xsettings = !blob.empty();
            auto integer = [&](const char* name) {
                auto it = values.find(name);
                return it != values.end() && it->second.type == XSetting::Type::Integer ? it->second.integer : 0;
            };
            s.windowScalingFactor = std::max(0, integer("Gdk/WindowScalingFactor"));
            s.xftDpi1024 = std::max(0, integer("Xft/DPI"));
        }
        s.xftDpiResource = ParseXftDpi(Property(root, resources));
    }

    void Listen(xcb_window_t window, uint32_t mask) {
        xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
    }
};

unsigned long XAtom(Display* d, const char* name) { return XInternAtom(d, name, False); }

}  // namespace

bool ReadScaleSources(DesktopScaleSources& sources) {
    if (!std::getenv("DISPLAY")) return false;
    Settings settings;
    if (!settings.Open()) return false;
    settings.Read(sources);
    return true;
}

ScaleWatcher::~ScaleWatcher() { Stop(); }

bool ScaleWatcher::Start(std::function<void()> changed) {
    Stop();
    if (!changed || !std::getenv("DISPLAY")) return false;
    auto settings = std::make_shared<Settings>();
    if (!settings->Open() || pipe(m_stopPipe) != 0) return false;
    const uint32_t rootMask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    const uint32_t ownerMask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    settings->Listen(settings->root, rootMask);
    xcb_window_t owner = settings->Owner();
    if (owner) settings->Listen(owner, ownerMask);
    xcb_flush(settings->c);
    const int stopFd = m_stopPipe[0];
    m_thread = std::thread([settings, owner, stopFd, changed = std::move(changed), ownerMask]() mutable {
        pollfd fds[2] = {{xcb_get_file_descriptor(settings->c), POLLIN, 0}, {stopFd, POLLIN, 0}};
        for (;;) {
            bool announce = false;
            while (xcb_generic_event_t* e = xcb_poll_for_event(settings->c)) {
                const uint8_t type = e->response_type & 0x7F;
                if (type == XCB_PROPERTY_NOTIFY) {
                    auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
                    if ((p->window == owner && p->atom == settings->property) ||
                        (p->window == settings->root && p->atom == settings->resources))
                        announce = true;
                } else if (type == XCB_CLIENT_MESSAGE) {
                    // A new settings manager took the selection.
                    auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
                    if (m->type == settings->manager && m->data.data32[1] == settings->selection) {
                        owner = settings->Owner();
                        if (owner) settings->Listen(owner, ownerMask);
                        xcb_flush(settings->c);
                        announce = true;
                    }
                } else if (type == XCB_DESTROY_NOTIFY) {
                    auto* d = reinterpret_cast<xcb_destroy_notify_event_t*>(e);
                    if (d->window == owner) {
                        owner = settings->Owner();
                        if (owner) settings->Listen(owner, ownerMask);
                        xcb_flush(settings->c);
                        announce = true;
                    }
                }
                free(e);
            }
            if (announce) changed();
            if (xcb_connection_has_error(settings->c)) return;
            if (poll(fds, 2, -1) < 0) continue;
            if (fds[1].revents) return;
        }
    });
    return true;
}

void ScaleWatcher::Stop() {
    if (m_thread.joinable()) {
        const char stop = 1;
        if (write(m_stopPipe[1], &stop, 1) < 0) {
        }
        m_thread.join();
    }
    for (int& fd : m_stopPipe) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

void ApplyWindowHints(void* display, unsigned long window, const WindowHints& hints) {
    auto* d = static_cast<Display*>(display);
    const char* type = "_NET_WM_WINDOW_TYPE_NORMAL";
    switch (hints.kind) {
        case WindowKind::Dialog: type = "_NET_WM_WINDOW_TYPE_DIALOG"; break;
        case WindowKind::PopupMenu: type = "_NET_WM_WINDOW_TYPE_POPUP_MENU"; break;
        case WindowKind::DropdownMenu: type = "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU"; break;
        case WindowKind::Tooltip: type = "_NET_WM_WINDOW_TYPE_TOOLTIP"; break;
        default: break;
    }
    const unsigned long atom = XAtom(d, type);
    XChangeProperty(d, window, XAtom(d, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&atom), 1);
    // A window of ours is transient for its owner only; a top-level window for
    // nothing (a manager treats a window transient for the root as a dialog).
    if (hints.owner) XSetTransientForHint(d, window, hints.owner);
    else XDeleteProperty(d, window, XA_WM_TRANSIENT_FOR);
    // The desktop may composite us like any other window.
    XDeleteProperty(d, window, XAtom(d, "_NET_WM_BYPASS_COMPOSITOR"));
    XFlush(d);
}

void SetWindowIcon(void* display, unsigned long window, const std::vector<std::shared_ptr<const Canvas>>& sizes) {
    auto* d = static_cast<Display*>(display);
    std::vector<unsigned long> data;  // CARDINAL/32 travels as longs in Xlib
    for (const auto& icon : sizes) {
        if (!icon) continue;
        const int w = icon->GetPixelWidth(), h = icon->GetPixelHeight();
        data.push_back(unsigned(w));
        data.push_back(unsigned(h));
        const uint32_t* px = icon->GetData();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) data.push_back(icon->GetPixel(x, y).GetValue());
        (void)px;
    }
    const unsigned long property = XAtom(d, "_NET_WM_ICON");
    if (data.empty()) XDeleteProperty(d, window, property);
    else
        XChangeProperty(d, window, property, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
    XFlush(d);
}

std::string TakeStartupId() {
    const char* id = std::getenv("DESKTOP_STARTUP_ID");
    std::string taken = id ? id : "";
    unsetenv("DESKTOP_STARTUP_ID");
    return taken;
}

void SetStartupId(void* display, unsigned long window, const std::string& id) {
    auto* d = static_cast<Display*>(display);
    XChangeProperty(d, window, XAtom(d, "_NET_STARTUP_ID"), XAtom(d, "UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(id.data()), int(id.size()));
    XFlush(d);
}

// The message goes to the root window in 20-byte pieces: the first of type
// _NET_STARTUP_INFO_BEGIN, the rest _NET_STARTUP_INFO, ending with its NUL.
void SendStartupComplete(void* display, const std::string& id) {
    if (id.empty()) return;
    auto* d = static_cast<Display*>(display);
    std::string message = "remove: ID=\"";
    for (char ch : id) {
        if (ch == '"' || ch == '\\') message += '\\';
        message += ch;
    }
    message += '"';
    message += '\0';
    const Window root = DefaultRootWindow(d);
    // A window of our own carries the message, as the protocol asks.
    XSetWindowAttributes attrs{};
    attrs.override_redirect = True;
    const Window sender = XCreateWindow(d, root, -100, -100, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent,
                                        CWOverrideRedirect, &attrs);
    const Atom begin = XAtom(d, "_NET_STARTUP_INFO_BEGIN"), more = XAtom(d, "_NET_STARTUP_INFO");
    for (size_t at = 0; at < message.size(); at += 20) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = sender;
        e.xclient.message_type = at == 0 ? begin : more;
        e.xclient.format = 8;
        std::memcpy(e.xclient.data.b, message.data() + at, std::min<size_t>(20, message.size() - at));
        XSendEvent(d, root, False, PropertyChangeMask, &e);
    }
    XDestroyWindow(d, sender);
    XFlush(d);
}

}  // namespace Orvix::X11
