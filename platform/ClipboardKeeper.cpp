#include "platform/ClipboardKeeper.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "base/Trace.h"

// After the standard headers: X11 defines macros (None, Bool) that clash with
// names elsewhere.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kAnswerWaitMs = 1000;            // an owner's answer to one request
constexpr size_t kIncrThreshold = 256 * 1024;  // larger data goes in pieces
constexpr size_t kIncrChunk = 64 * 1024;
constexpr size_t kMostSaved = 64u * 1024 * 1024;  // what is kept of a clipboard at most

// Requests to a program that went away fail on this connection alone: those
// errors are the keeper's to ignore; any other connection's go on as before.
std::atomic<Display*> g_keeperDisplay{nullptr};
XErrorHandler g_previousHandler = nullptr;

int OnXError(Display* display, XErrorEvent* error) {
    if (display == g_keeperDisplay) return 0;
    return g_previousHandler ? g_previousHandler(display, error) : 0;
}

// The display went away (its server ended): the keeper stops instead of the
// process, and the next typing opens the display of that time. Xlib ends the
// process unless the handler returns, which then calls the exit handler.
XIOErrorHandler g_previousIOHandler = nullptr;

int OnXIOError(Display* display) {
    if (display == g_keeperDisplay) return 0;
    return g_previousIOHandler ? g_previousIOHandler(display) : 0;
}

void OnConnectionLost(Display*, void* impl);

size_t UnitSize(int format) {
    return format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
}

}  // namespace

ClipboardContents TextClipboardFormats(const std::string& utf8) {
    ClipboardContents formats;
    for (const char* target : {"UTF8_STRING", "text/plain;charset=utf-8", "STRING", "TEXT", "text/plain"})
        formats.push_back({target, std::strcmp(target, "STRING") == 0 ? "STRING" : "UTF8_STRING", 8, utf8});
    return formats;
}

struct ClipboardKeeper::Impl {
    Display* display = nullptr;
    Window window = 0;
    Atom clipboard = 0, targets = 0, multiple = 0, timestamp = 0, incr = 0, property = 0;
    int wake[2] = {-1, -1};
    std::thread thread;

    std::string displayName;
    std::atomic<bool> dead{false};  // the connection broke
    std::mutex lock;
    std::condition_variable done;
    std::deque<std::function<void()>> commands;
    bool stop = false;
    bool exited = false;  // the thread has ended: commands are not taken any more

    // The keeper thread's own.
    ClipboardContents offered;
    bool owner = false;
    Time ownedAt = CurrentTime;
    std::atomic<uint64_t> answered{0};
    std::atomic<bool> ownerShown{false};
    struct Outgoing {  // data going to a requestor in pieces
        Window requestor;
        Atom property;
        Atom type;
        int format;
        std::string data;
        size_t sent = 0;
    };
    std::vector<Outgoing> outgoing;
    // A request of ours being answered.
    bool notified = false;
    Atom notifiedProperty = 0;
    bool chunkArrived = false;

    // Runs `work` on the keeper thread and waits for it.
    void Run(std::function<void()> work) {
        bool finished = false;
        {
            std::lock_guard<std::mutex> guard(lock);
            if (exited) return;
            commands.push_back([&] {
                work();
                std::lock_guard<std::mutex> inner(lock);
                finished = true;
                done.notify_all();
            });
        }
        const char byte = 1;
        (void)!write(wake[1], &byte, 1);
        std::unique_lock<std::mutex> guard(lock);
        done.wait(guard, [&] { return finished; });
    }

    void Loop() {
        for (;;) {
            {
                std::unique_lock<std::mutex> guard(lock);
                while (!commands.empty()) {
                    std::function<void()> command = std::move(commands.front());
                    commands.pop_front();
                    guard.unlock();
                    command();
                    guard.lock();
                }
                if (stop || dead) {
                    exited = true;
                    return;
                }
            }
            Dispatch();
            if (dead) continue;  // the commands still waiting are answered, then it ends
            pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {wake[0], POLLIN, 0}};
            if (poll(fds, 2, -1) > 0 && (fds[1].revents & POLLIN)) {
                char buffer[64];
                while (read(wake[0], buffer, sizeof buffer) > 0) {
                }
            }
        }
    }

    void Dispatch() {
        while (!dead && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            Handle(event);
        }
    }

    // Handles events until `ready` or the time is up.
    bool WaitFor(const std::function<bool()>& ready, int ms) {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            Dispatch();
            if (ready()) return true;
            if (dead) return false;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
            if (left <= 0) return false;
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, int(left));
        }
    }

    void Handle(const XEvent& event) {
        switch (event.type) {
            case SelectionRequest:
                Answer(event.xselectionrequest);
                break;
            case SelectionClear:
                // Another program took the clipboard: what was kept is its no more.
                if (event.xselectionclear.selection == clipboard) {
                    owner = false;
                    ownerShown = false;
                    offered.clear();
                }
                break;
            case SelectionNotify:
                if (event.xselection.requestor == window) {
                    notified = true;
                    notifiedProperty = event.xselection.property;
                }
                break;
            case PropertyNotify:
                if (event.xproperty.window == window) {
                    if (event.xproperty.atom == property && event.xproperty.state == PropertyNewValue)
                        chunkArrived = true;
                } else if (event.xproperty.state == PropertyDelete) {
                    SendNextPiece(event.xproperty.window, event.xproperty.atom);
                }
                break;
            default:
                break;
        }
    }

    // ---- answering other programs ----

    void Answer(const XSelectionRequestEvent& request) {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.display = request.display;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.time = request.time;
        reply.xselection.property = 0;
        // Clients of old name the target as the property.
        const Atom into = request.property ? request.property : request.target;
        if (owner && request.selection == clipboard) {
            if (request.target == targets) {
                std::vector<long> atoms = {long(targets), long(timestamp)};
                for (const ClipboardFormat& f : offered)
                    atoms.push_back(long(XInternAtom(display, f.target.c_str(), False)));
                XChangeProperty(display, request.requestor, into, XA_ATOM, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(atoms.data()), int(atoms.size()));
                reply.xselection.property = into;
            } else if (request.target == timestamp) {
                const long at = long(ownedAt);
                XChangeProperty(display, request.requestor, into, XA_INTEGER, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(&at), 1);
                reply.xselection.property = into;
            } else if (const ClipboardFormat* f = Find(request.target)) {
                const Atom type = XInternAtom(display, f->type.c_str(), False);
                if (f->data.size() > kIncrThreshold) {
                    // In pieces: the requestor deletes the property for each next one.
                    XSelectInput(display, request.requestor, PropertyChangeMask);
                    const long size = long(f->data.size());
                    XChangeProperty(display, request.requestor, into, incr, 32, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(&size), 1);
                    outgoing.push_back({request.requestor, into, type, f->format, f->data, 0});
                } else {
                    XChangeProperty(display, request.requestor, into, type, f->format, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(f->data.data()),
                                    int(f->data.size() / UnitSize(f->format)));
                }
                reply.xselection.property = into;
                ++answered;
            }
        }
        XSendEvent(display, request.requestor, False, 0, &reply);
        XFlush(display);
    }

    const ClipboardFormat* Find(Atom target) {
        char* name = XGetAtomName(display, target);
        if (!name) return nullptr;
        const ClipboardFormat* found = nullptr;
        for (const ClipboardFormat& f : offered)
            if (f.target == name) found = &f;
        XFree(name);
        return found;
    }

    void SendNextPiece(Window requestor, Atom deleted) {
        for (size_t i = 0; i < outgoing.size(); ++i) {
            Outgoing& o = outgoing[i];
            if (o.requestor != requestor || o.property != deleted) continue;
            const size_t unit = UnitSize(o.format);
            const size_t piece = std::min(kIncrChunk / unit * unit, o.data.size() - o.sent);
            XChangeProperty(display, requestor, deleted, o.type, o.format, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(o.data.data() + o.sent),
                            int(piece / unit));
            XFlush(display);
            o.sent += piece;
            // The empty piece after the last one ends the transfer.
            if (piece == 0) outgoing.erase(outgoing.begin() + long(i));
            return;
        }
    }

    // ---- asking the owner ----

    // The whole of `property` on our window, removed from it.
    bool ReadProperty(Atom& type, int& format, std::string& data) {
        unsigned long count = 0, after = 0;
        unsigned char* bytes = nullptr;
        if (XGetWindowProperty(display, window, property, 0, 0x1FFFFFFF, True, AnyPropertyType, &type,
                               &format, &count, &after, &bytes) != Success)
            return false;
        data.assign(bytes ? reinterpret_cast<const char*>(bytes) : "", bytes ? count * UnitSize(format) : 0);
        if (bytes) XFree(bytes);
        return true;
    }

    bool Fetch(Atom target, Atom& type, int& format, std::string& data) {
        XDeleteProperty(display, window, property);
        notified = false;
        XConvertSelection(display, clipboard, target, property, window, CurrentTime);
        XFlush(display);
        if (!WaitFor([this] { return notified; }, kAnswerWaitMs) || notifiedProperty == 0) return false;
        chunkArrived = false;
        if (!ReadProperty(type, format, data)) return false;
        if (type != incr) return true;
        // In pieces: each new value is read and deleted, an empty one ends it.
        data.clear();
        for (;;) {
            if (!WaitFor([this] { return chunkArrived; }, kAnswerWaitMs)) return false;
            chunkArrived = false;
            std::string piece;
            if (!ReadProperty(type, format, piece)) return false;
            if (piece.empty()) return true;
            if (data.size() + piece.size() > kMostSaved) return false;
            data += piece;
        }
    }

    bool Save(ClipboardContents& contents) {
        contents.clear();
        const Window current = XGetSelectionOwner(display, clipboard);
        if (current == 0) return true;
        if (current == window) {
            contents = offered;
            return true;
        }
        Atom type = 0;
        int format = 0;
        std::string list;
        if (!Fetch(targets, type, format, list) || format != 32) return false;
        const auto* atoms = reinterpret_cast<const long*>(list.data());
        const size_t n = list.size() / sizeof(long);
        size_t total = 0;
        for (size_t i = 0; i < n; ++i) {
            const Atom target = Atom(atoms[i]);
            // The list of formats and the requests about the clipboard itself are
            // answered by whoever holds it, not kept.
            if (target == targets || target == multiple || target == timestamp) continue;
            char* name = XGetAtomName(display, target);
            if (!name) continue;
            ClipboardFormat f;
            f.target = name;
            XFree(name);
            if (f.target == "SAVE_TARGETS" || f.target == "DELETE" || f.target.rfind("INSERT_", 0) == 0)
                continue;
            std::string data;
            if (!Fetch(target, type, format, data) || type == 0) continue;
            if (char* typeName = XGetAtomName(display, type)) {
                f.type = typeName;
                XFree(typeName);
            }
            f.format = format;
            f.data = std::move(data);
            total += f.data.size();
            if (total > kMostSaved) break;
            contents.push_back(std::move(f));
        }
        return true;
    }

    bool Offer(const ClipboardContents& contents) {
        outgoing.clear();
        if (contents.empty()) {
            offered.clear();
            if (owner) XSetSelectionOwner(display, clipboard, 0, CurrentTime);
            owner = false;
            ownerShown = false;
            XFlush(display);
            return true;
        }
        offered = contents;
        ownedAt = CurrentTime;
        XSetSelectionOwner(display, clipboard, window, CurrentTime);
        owner = XGetSelectionOwner(display, clipboard) == window;
        ownerShown = owner;
        return owner;
    }
};

ClipboardKeeper* ClipboardKeeper::Get() {
    static std::mutex made;
    // The keeper of the display in use; one whose display went away, or that is
    // not the display named now, gives way to a new one.
    static std::unique_ptr<ClipboardKeeper> keeper;
    std::lock_guard<std::mutex> guard(made);
    const char* name = std::getenv("DISPLAY");
    const std::string wanted = name ? name : "";
    if (keeper && (keeper->m_impl->dead || keeper->m_impl->displayName != wanted)) keeper.reset();
    if (!keeper) {
        auto candidate = std::unique_ptr<ClipboardKeeper>(new ClipboardKeeper());
        if (candidate->Open()) keeper = std::move(candidate);
    }
    return keeper.get();
}

ClipboardKeeper::ClipboardKeeper() : m_impl(std::make_unique<Impl>()) {}

ClipboardKeeper::~ClipboardKeeper() {
    // The display stays ours for the error handlers until it is closed: closing a
    // connection whose server just ended raises Xlib's fatal error, which must not
    // reach its default handler (that ends the program).
    Display* mine = m_impl->display;
    if (m_impl->thread.joinable()) {
        {
            std::lock_guard<std::mutex> guard(m_impl->lock);
            m_impl->stop = true;
        }
        const char byte = 1;
        (void)!write(m_impl->wake[1], &byte, 1);
        m_impl->thread.join();
    }
    for (int fd : m_impl->wake)
        if (fd >= 0) close(fd);
    // A connection that broke is not closed (Xlib would wait on it); it is kept,
    // small, for as long as the process runs.
    if (m_impl->display && m_impl->dead) {
        static auto* lost = new std::vector<Display*>;  // outlives every static
        lost->push_back(m_impl->display);
    } else if (m_impl->display) {
        XCloseDisplay(m_impl->display);
    }
    g_keeperDisplay.compare_exchange_strong(mine, nullptr);
}

bool ClipboardKeeper::Open() {
    Impl& s = *m_impl;
    s.display = XOpenDisplay(nullptr);
    if (!s.display) return false;
    const char* name = std::getenv("DISPLAY");
    s.displayName = name ? name : "";
    XSetIOErrorExitHandler(s.display, OnConnectionLost, &s);
    if (pipe2(s.wake, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    g_keeperDisplay = s.display;
    if (!g_previousHandler) g_previousHandler = XSetErrorHandler(OnXError);
    if (!g_previousIOHandler) g_previousIOHandler = XSetIOErrorHandler(OnXIOError);
    s.clipboard = XInternAtom(s.display, "CLIPBOARD", False);
    s.targets = XInternAtom(s.display, "TARGETS", False);
    s.multiple = XInternAtom(s.display, "MULTIPLE", False);
    s.timestamp = XInternAtom(s.display, "TIMESTAMP", False);
    s.incr = XInternAtom(s.display, "INCR", False);
    s.property = XInternAtom(s.display, "VANTOREL_CLIPBOARD", False);
    s.window = XCreateSimpleWindow(s.display, DefaultRootWindow(s.display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(s.display, s.window, PropertyChangeMask);
    XFlush(s.display);
    s.thread = std::thread([&s] { s.Loop(); });
    Vantorel::Trace("clipboard: kept on display %s", s.displayName.c_str());
    return true;
}

bool ClipboardKeeper::Save(ClipboardContents& contents) {
    bool ok = false;
    m_impl->Run([&] { ok = m_impl->Save(contents); });
    if (!ok) Vantorel::Trace("clipboard: its owner did not answer");
    return ok;
}

bool ClipboardKeeper::Offer(const ClipboardContents& contents) {
    bool ok = false;
    m_impl->Run([&] { ok = m_impl->Offer(contents); });
    return ok;
}

namespace {
void OnConnectionLost(Display*, void* impl) {
    static_cast<ClipboardKeeper::Impl*>(impl)->dead = true;
    Vantorel::Trace("clipboard: the display went away");
}
}  // namespace

uint64_t ClipboardKeeper::GetAnsweredRequests() {
    return m_impl->answered.load();
}

bool ClipboardKeeper::IsOwner() {
    return m_impl->ownerShown.load();
}
