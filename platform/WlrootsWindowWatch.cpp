// The provider for wlroots compositors (sway, labwc, Wayfire, ...): the
// zwlr_foreign_toplevel_manager_v1 protocol announces every toplevel with its
// app id and tells which one is "activated". The newer ext-foreign-toplevel-list
// names toplevels but has no activation state, so it cannot serve here.
#include "platform/WindowWatch.h"

#ifdef VANTOREL_HAVE_WLR_TOPLEVEL

#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "base/TextConv.h"
#include "platform/PollThread.h"
#include "base/Trace.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace {

class WlrootsWindowWatch : public WindowWatchProvider {
  public:
    explicit WlrootsWindowWatch(std::string display) : m_displayName(std::move(display)) {}
    ~WlrootsWindowWatch() override { Stop(); }

    bool Start(Sink sink) override {
        if (m_thread.IsRunning()) return true;
        m_display = wl_display_connect(m_displayName.empty() ? nullptr : m_displayName.c_str());
        if (!m_display) return false;
        wl_registry* registry = wl_display_get_registry(m_display);
        static const wl_registry_listener registryListener = {&OnGlobal, &OnGlobalRemove};
        wl_registry_add_listener(registry, &registryListener, this);
        wl_display_roundtrip(m_display);
        wl_registry_destroy(registry);
        if (!m_manager) {
            Vantorel::Trace("window watch: this Wayland compositor has no zwlr_foreign_toplevel_manager_v1");
            Disconnect();
            return false;
        }
        static const zwlr_foreign_toplevel_manager_v1_listener managerListener = {&OnToplevel, &OnFinished};
        zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &managerListener, this);
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
    struct Toplevel {
        WlrootsWindowWatch* owner = nullptr;
        zwlr_foreign_toplevel_handle_v1* handle = nullptr;
        std::string appId, title;
        bool activated = false;         // as of the last "done"
        bool pendingActivated = false;  // since then
        std::string reportedAppId;
    };

    void Disconnect() {
        for (Toplevel* t : m_toplevels) {
            zwlr_foreign_toplevel_handle_v1_destroy(t->handle);
            delete t;
        }
        m_toplevels.clear();
        if (m_manager) zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
        m_manager = nullptr;
        if (m_display) wl_display_disconnect(m_display);
        m_display = nullptr;
    }

    void Run(int stopFd) {
        pollfd fds[2] = {{wl_display_get_fd(m_display), POLLIN, 0}, {stopFd, POLLIN, 0}};
        for (;;) {
            while (wl_display_prepare_read(m_display) != 0) wl_display_dispatch_pending(m_display);
            wl_display_flush(m_display);
            if (poll(fds, 2, -1) < 0 && errno != EINTR) {
                wl_display_cancel_read(m_display);
                return;
            }
            if (fds[1].revents) {
                wl_display_cancel_read(m_display);
                return;
            }
            if (fds[0].revents & (POLLERR | POLLHUP)) {
                wl_display_cancel_read(m_display);
                Vantorel::Trace("window watch: the Wayland compositor went away");
                return;
            }
            if (wl_display_read_events(m_display) != 0 || wl_display_dispatch_pending(m_display) < 0) {
                Vantorel::Trace("window watch: the Wayland connection failed");
                return;
            }
        }
    }

    static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
        auto* self = static_cast<WlrootsWindowWatch*>(data);
        if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) != 0 || self->m_manager) return;
        self->m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min(version, 3u)));
    }
    static void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

    static void OnToplevel(void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle) {
        auto* self = static_cast<WlrootsWindowWatch*>(data);
        auto* t = new Toplevel;
        t->owner = self;
        t->handle = handle;
        self->m_toplevels.push_back(t);
        static const zwlr_foreign_toplevel_handle_v1_listener listener = {
            &OnTitle, &OnAppId, &OnOutputEnter, &OnOutputLeave, &OnState, &OnDone, &OnClosed, &OnParent};
        zwlr_foreign_toplevel_handle_v1_add_listener(handle, &listener, t);
    }
    static void OnFinished(void* data, zwlr_foreign_toplevel_manager_v1*) {
        Vantorel::Trace("window watch: the compositor ended the toplevel list");
        (void)data;
    }

    static void OnTitle(void* data, zwlr_foreign_toplevel_handle_v1*, const char* title) {
        static_cast<Toplevel*>(data)->title = title ? title : "";
    }
    static void OnAppId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
        static_cast<Toplevel*>(data)->appId = appId ? appId : "";
    }
    static void OnOutputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void OnOutputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void OnState(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* state) {
        auto* t = static_cast<Toplevel*>(data);
        t->pendingActivated = false;
        const auto* values = static_cast<const uint32_t*>(state->data);
        for (size_t i = 0; i < state->size / sizeof(uint32_t); ++i)
            if (values[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) t->pendingActivated = true;
    }
    static void OnDone(void* data, zwlr_foreign_toplevel_handle_v1*) {
        auto* t = static_cast<Toplevel*>(data);
        const bool became = t->pendingActivated && (!t->activated || t->reportedAppId != t->appId);
        t->activated = t->pendingActivated;
        if (!became) return;
        t->reportedAppId = t->appId;
        FocusedWindow seen;
        seen.appId = Orvix::Utf8ToWide(t->appId);
        seen.title = Orvix::Utf8ToWide(t->title);
        if (!seen.IsEmpty() && t->owner->m_sink) t->owner->m_sink(seen);
    }
    static void OnClosed(void* data, zwlr_foreign_toplevel_handle_v1* handle) {
        auto* t = static_cast<Toplevel*>(data);
        auto& list = t->owner->m_toplevels;
        list.erase(std::remove(list.begin(), list.end(), t), list.end());
        zwlr_foreign_toplevel_handle_v1_destroy(handle);
        delete t;
    }
    static void OnParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

    std::string m_displayName;
    wl_display* m_display = nullptr;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    std::vector<Toplevel*> m_toplevels;
    Sink m_sink;
    PollThread m_thread;
};

}  // namespace

std::unique_ptr<WindowWatchProvider> MakeWlrootsWindowWatch(const std::string& waylandDisplay) {
    return std::make_unique<WlrootsWindowWatch>(waylandDisplay);
}

#else

// Built without the protocol's description (Debian package librust-wayland-protocols-dev).
std::unique_ptr<WindowWatchProvider> MakeWlrootsWindowWatch(const std::string&) {
    return nullptr;
}

#endif
