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
    Atom clipboard = 0, utf8 = 0, targets = 0, pasted = 0, incr = 0;
    bool incoming = false;  // data arriving in pieces
    std::string pieces;
    std::thread thread;
    std::vector<std::pair<std::string, std::string>> more;
    std::atomic<bool> stop{false}, focusWanted{false}, focused{false};
    std::mutex askLock;
    std::vector<std::string> asks;  // targets to ask for, from the test's thread
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
            std::vector<std::string> wanted;
            {
                std::lock_guard<std::mutex> guard(askLock);
                wanted.swap(asks);
            }
            for (const std::string& target : wanted)
                Ask(XInternAtom(display, target.c_str(), False), CurrentTime);
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
                        Ask(utf8, event.xkey.time);
                    break;
                case SelectionRequest:
                    Answer(event.xselectionrequest);
                    break;
                case SelectionNotify:
                    Receive(event.xselection);
                    break;
                case PropertyNotify:
                    if (incoming && event.xproperty.atom == pasted &&
                        event.xproperty.state == PropertyNewValue)
                        ReceivePiece();
                    break;
                default:
                    break;
            }
        }
    }

    void Ask(Atom target, Time time) {
        XConvertSelection(display, clipboard, target, pasted, window, time);
        XFlush(display);
    }

    // The next piece of data sent in pieces; the empty one ends it.
    void ReceivePiece() {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, pasted, 0, 0x1FFFFFFF, True, AnyPropertyType, &type, &format,
                               &count, &after, &data) != Success)
            return;
        const std::string piece(data ? reinterpret_cast<char*>(data) : "", count);
        if (data) XFree(data);
        if (!piece.empty()) {
            pieces += piece;
            return;
        }
        incoming = false;
        std::lock_guard<std::mutex> guard(lock);
        received.push_back(pieces);
    }

    void Receive(const XSelectionEvent& event) {
        std::string text = "<none>";
        if (event.property != None) {
            Atom type = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, window, event.property, 0, 0x1FFFFFFF, True, AnyPropertyType,
                                   &type, &format, &count, &after, &data) == Success) {
                if (type == incr) {
                    if (data) XFree(data);
                    incoming = true;
                    pieces.clear();
                    return;
                }
                if (format == 32 && type == XA_ATOM) {
                    text.clear();
                    for (unsigned long i = 0; i < count; ++i) {
                        char* name = XGetAtomName(display, reinterpret_cast<Atom*>(data)[i]);
                        text += std::string(name ? name : "?") + "\n";
                        if (name) XFree(name);
                    }
                } else {
                    text.assign(data ? reinterpret_cast<char*>(data) : "", count);
                }
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
            std::vector<Atom> offered = {targets, utf8};
            for (const auto& [target, data] : more)
                offered.push_back(XInternAtom(display, target.c_str(), False));
            XChangeProperty(display, request.requestor, request.property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offered.data()), int(offered.size()));
            reply.xselection.property = request.property;
        } else {
            for (const auto& [target, data] : more) {
                if (XInternAtom(display, target.c_str(), False) != request.target) continue;
                XChangeProperty(display, request.requestor, request.property, request.target, 8,
                                PropModeReplace, reinterpret_cast<const unsigned char*>(data.data()),
                                int(data.size()));
                reply.xselection.property = request.property;
            }
        }
        XSendEvent(display, request.requestor, False, 0, &reply);
        XFlush(display);
    }
};

PasteTarget::PasteTarget(const std::string& copied, std::vector<std::pair<std::string, std::string>> more)
    : m_state(std::make_unique<State>()) {
    State& s = *m_state;
    s.copied = copied;
    s.more = std::move(more);
    s.display = XOpenDisplay(nullptr);
    if (!s.display) return;
    s.clipboard = XInternAtom(s.display, "CLIPBOARD", False);
    s.utf8 = XInternAtom(s.display, "UTF8_STRING", False);
    s.targets = XInternAtom(s.display, "TARGETS", False);
    s.pasted = XInternAtom(s.display, "PASTED", False);
    s.incr = XInternAtom(s.display, "INCR", False);
    s.window = XCreateSimpleWindow(s.display, DefaultRootWindow(s.display), 700, 500, 300, 200, 0, 0, 0);
    XSelectInput(s.display, s.window, KeyPressMask | StructureNotifyMask | PropertyChangeMask);
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

void PasteTarget::AskClipboard(const std::string& target) {
    std::lock_guard<std::mutex> guard(m_state->askLock);
    m_state->asks.push_back(target);
}

std::vector<std::string> PasteTarget::Received() const {
    std::lock_guard<std::mutex> guard(m_state->lock);
    return m_state->received;
}
