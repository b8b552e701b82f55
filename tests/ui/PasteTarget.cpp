#include "PasteTarget.h"

#include <poll.h>

#include <atomic>
#include <mutex>
#include <thread>

// After the standard headers: X11 defines macros (None, KeyPress, Bool) that
// clash with names elsewhere.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

struct PasteTarget::State {
    std::string copied;
    Display* display = nullptr;
    Window window = 0;
    Atom clipboard = 0, utf8 = 0, targets = 0, pasted = 0;
    std::thread thread;
    std::atomic<bool> stop{false}, focusWanted{false}, askWanted{false}, focused{false};
    mutable std::mutex lock;
    std::vector<std::string> received;

    void Run() {
        while (!stop) {
            if (focusWanted.exchange(false)) {
                XSetInputFocus(display, window, RevertToParent, CurrentTime);
                XSync(display, False);
                Window focus = 0;
                int revert = 0;
                XGetInputFocus(display, &focus, &revert);
                focused = focus == window;
            }
            if (askWanted.exchange(false)) Ask(CurrentTime);
            if (!XPending(display)) {
                pollfd p{ConnectionNumber(display), POLLIN, 0};
                poll(&p, 1, 10);
                continue;
            }
            XEvent event;
            XNextEvent(display, &event);
            switch (event.type) {
                case KeyPress:
                    if ((event.xkey.state & ControlMask) && XLookupKeysym(&event.xkey, 0) == XK_v)
                        Ask(event.xkey.time);
                    break;
                case SelectionRequest:
                    Answer(event.xselectionrequest);
                    break;
                case SelectionNotify:
                    Receive(event.xselection);
                    break;
                default:
                    break;
            }
        }
    }

    void Ask(Time time) {
        XConvertSelection(display, clipboard, utf8, pasted, window, time);
        XFlush(display);
    }

    void Receive(const XSelectionEvent& event) {
        std::string text = "<none>";
        if (event.property != None) {
            Atom type = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, window, event.property, 0, 65536, True, AnyPropertyType, &type,
                                   &format, &count, &after, &data) == Success) {
                text.assign(data ? reinterpret_cast<char*>(data) : "", count);
                if (data) XFree(data);
            }
        }
        std::lock_guard<std::mutex> guard(lock);
        received.push_back(text);
    }

    void Answer(const XSelectionRequestEvent& request) {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = None;
        if (request.target == utf8) {
            XChangeProperty(display, request.requestor, request.property, utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(copied.data()), int(copied.size()));
            reply.xselection.property = request.property;
        } else if (request.target == targets) {
            const Atom offered[] = {targets, utf8};
            XChangeProperty(display, request.requestor, request.property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offered), 2);
            reply.xselection.property = request.property;
        }
        XSendEvent(display, request.requestor, False, 0, &reply);
        XFlush(display);
    }
};

PasteTarget::PasteTarget(const std::string& copied) : m_state(std::make_unique<State>()) {
    State& s = *m_state;
    s.copied = copied;
    s.display = XOpenDisplay(nullptr);
    if (!s.display) return;
    s.clipboard = XInternAtom(s.display, "CLIPBOARD", False);
    s.utf8 = XInternAtom(s.display, "UTF8_STRING", False);
    s.targets = XInternAtom(s.display, "TARGETS", False);
    s.pasted = XInternAtom(s.display, "PASTED", False);
    s.window = XCreateSimpleWindow(s.display, DefaultRootWindow(s.display), 700, 500, 300, 200, 0, 0, 0);
    XSelectInput(s.display, s.window, KeyPressMask | StructureNotifyMask);
    XMapWindow(s.display, s.window);
    XEvent event;
    do {
        XWindowEvent(s.display, s.window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    XSetSelectionOwner(s.display, s.clipboard, s.window, CurrentTime);
    XSync(s.display, False);
    s.thread = std::thread([&s] { s.Run(); });
}

PasteTarget::~PasteTarget() {
    m_state->stop = true;
    if (m_state->thread.joinable()) m_state->thread.join();
    if (m_state->display) XCloseDisplay(m_state->display);
}

bool PasteTarget::Ready() const {
    return m_state->display != nullptr;
}

void PasteTarget::TakeFocus() {
    m_state->focusWanted = true;
}

bool PasteTarget::HasFocus() const {
    return m_state->focused;
}

void PasteTarget::AskClipboard() {
    m_state->askWanted = true;
}

std::vector<std::string> PasteTarget::Received() const {
    std::lock_guard<std::mutex> guard(m_state->lock);
    return m_state->received;
}
