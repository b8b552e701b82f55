#include "platform/WindowWatch.h"

#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>

#include "base/TextConv.h"
#include "base/AppContext.h"
#include "platform/InstalledApps.h"
#include "base/Trace.h"
#include "platform/dbus/GLibLoop.h"

struct WindowWatch::Shared {
    std::mutex mutex;
    Callback callback;
    std::vector<AppEntry> entries;
    bool entriesLoaded = false;
    std::wstring ownClass;
    int ownPid = 0;
};

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

const char* SessionName(WatchSession session) {
    switch (session) {
        case WatchSession::X11: return "X11";
        case WatchSession::KWin: return "KDE Plasma (Wayland)";
        case WatchSession::Wlroots: return "wlroots (Wayland)";
        case WatchSession::Gnome: return "GNOME (Wayland)";
        default: return "none";
    }
}

}  // namespace

SessionEnvironment ReadSessionEnvironment() {
    SessionEnvironment env;
    env.waylandDisplay = Env("WAYLAND_DISPLAY");
    env.display = Env("DISPLAY");
    env.sessionType = Env("XDG_SESSION_TYPE");
    env.currentDesktop = Env("XDG_CURRENT_DESKTOP");
    env.kdeSession = Env("KDE_FULL_SESSION");
    return env;
}

std::unique_ptr<WindowWatchProvider> MakeSessionWindowWatch(WatchSession session) {
    switch (session) {
        case WatchSession::X11:
        case WatchSession::Gnome:
            return MakeX11WindowWatch("");
        case WatchSession::KWin:
            return MakeKWinWindowWatch(SessionBusAddress());
        case WatchSession::Wlroots:
            return MakeWlrootsWindowWatch("");
        default:
            return nullptr;
    }
}

namespace {
WindowWatch::ProviderFactory& FactoryOverride() {
    static WindowWatch::ProviderFactory factory;
    return factory;
}
}  // namespace

void SetWindowWatchFactory(WindowWatch::ProviderFactory factory) {
    FactoryOverride() = std::move(factory);
}

WindowWatch::WindowWatch()
    : m_factory(FactoryOverride() ? FactoryOverride() : ProviderFactory(MakeSessionWindowWatch)) {}

WindowWatch::~WindowWatch() {
    Stop();
}

std::wstring WindowWatch::OwnWindowClass() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return L"";
    std::string exe(path, size_t(n));
    return Orvix::Utf8ToWide(exe.substr(exe.rfind('/') + 1));
}

void WindowWatch::SetInstalledApps(std::vector<AppEntry> entries) {
    if (!m_shared) m_shared = std::make_shared<Shared>();
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->entries = std::move(entries);
    m_shared->entriesLoaded = true;
}

bool WindowWatch::Start(WatchSession session, Callback callback) {
    Stop();
    if (!m_shared) m_shared = std::make_shared<Shared>();
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->callback = std::move(callback);
        m_shared->ownClass = OwnWindowClass();
        m_shared->ownPid = int(getpid());
    }
    std::weak_ptr<Shared> weak = m_shared;
    WindowWatchProvider::Sink sink = [weak](const FocusedWindow& seen) {
        std::shared_ptr<Shared> shared = weak.lock();
        if (!shared) return;
        FocusReport report;
        report.atMs = SteadyMs();
        report.window = seen;
        Callback callback;
        {
            std::lock_guard<std::mutex> lock(shared->mutex);
            if (!shared->entriesLoaded) {
                shared->entries = ListInstalledApps(GetCurrentLcid());
                shared->entriesLoaded = true;
            }
            FocusedWindow& w = report.window;
            w.own = w.own || (w.pid != 0 && w.pid == shared->ownPid) ||
                    (!shared->ownClass.empty() && (w.wmClass == shared->ownClass || w.appId == shared->ownClass));
            if (!w.own) report.entryId = ResolveEntryId(w, shared->entries);
            report.appName = !w.wmClass.empty() ? w.wmClass : !w.appId.empty() ? w.appId : w.wmInstance;
            for (const AppEntry& entry : shared->entries)
                if (!report.entryId.empty() && entry.id == report.entryId) report.appName = entry.name;
            callback = shared->callback;
        }
        Vantorel::Trace("window watch: %s class \"%s\" app id \"%s\" pid %d -> entry \"%s\"%s",
                        Orvix::WideToUtf8(report.window.title).c_str(),
                        Orvix::WideToUtf8(report.window.wmClass).c_str(),
                        Orvix::WideToUtf8(report.window.appId).c_str(), report.window.pid,
                        Orvix::WideToUtf8(report.entryId).c_str(), report.window.own ? " (ours)" : "");
        if (callback) callback(report);
    };

    m_session = session;
    m_coverage = Coverage::Nothing;
    if (session != WatchSession::None && session != WatchSession::Gnome) {
        m_provider = m_factory ? m_factory(session) : nullptr;
        if (m_provider && m_provider->Start(sink)) {
            m_coverage = Coverage::AllWindows;
        } else {
            m_provider.reset();
        }
    }
    // GNOME tells no client which window is in front; other Wayland desktops may
    // lack what their provider needs. X11 applications still show through XWayland.
    if (!m_provider && session != WatchSession::None && session != WatchSession::X11) {
        m_provider = m_factory ? m_factory(WatchSession::X11) : nullptr;
        if (m_provider && m_provider->Start(sink))
            m_coverage = Coverage::X11WindowsOnly;
        else
            m_provider.reset();
    }
    Vantorel::Trace("window watch: session %s, %s", SessionName(session),
                    m_coverage == Coverage::AllWindows       ? "every window"
                    : m_coverage == Coverage::X11WindowsOnly ? "X11 windows only"
                                                             : "nothing to watch");
    return m_provider != nullptr;
}

void WindowWatch::Stop() {
    if (m_provider) {
        m_provider->Stop();
        m_provider.reset();
    }
    if (m_shared) {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->callback = nullptr;
    }
    m_coverage = Coverage::Nothing;
}
