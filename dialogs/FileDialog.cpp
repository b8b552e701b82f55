#include "dialogs/FileDialog.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "base/TextConv.h"
#include "orvix/platform/NativeWindow.h"
#include "orvix/platform/Platform.h"
#include "dialogs/FilePathDlg.h"
#include "base/Trace.h"

extern char** environ;

using Orvix::Utf8ToWide;
using Orvix::WideToUtf8;

namespace {

FileDialogAnswer g_answer;
std::vector<FileChooserKind> g_order = {FileChooserKind::Portal, FileChooserKind::Zenity,
                                        FileChooserKind::Toolkit};
bool g_busy = false;
// How long a portal may take to hand out a request (it may be started first).
constexpr int kPortalCallTimeoutMs = 25000;

enum class Outcome { Chosen, Cancelled, Unavailable };

// Keeps the window painting and answering while an outside chooser is open.
void PumpWindow() {
    Orvix::Platform::RunPending();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// ---------------------------------------------------------------- portal

struct PortalWait {
    bool answered = false;
    guint32 response = 2;
    std::string path;
};

void OnPortalResponse(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                      GVariant* parameters, gpointer data) {
    auto* wait = static_cast<PortalWait*>(data);
    GVariant* results = nullptr;
    g_variant_get(parameters, "(u@a{sv})", &wait->response, &results);
    if (wait->response == 0 && results) {
        const gchar** uris = nullptr;
        if (g_variant_lookup(results, "uris", "^a&s", &uris) && uris && uris[0]) {
            if (gchar* file = g_filename_from_uri(uris[0], nullptr, nullptr)) {
                wait->path = file;
                g_free(file);
            }
        }
        g_free(uris);
    }
    if (results) g_variant_unref(results);
    wait->answered = true;
}

GVariant* PortalFilters(const FileDialogRequest& request) {
    GVariantBuilder filters;
    g_variant_builder_init(&filters, G_VARIANT_TYPE("a(sa(us))"));
    for (const FileDialogFilter& filter : request.filters) {
        GVariantBuilder patterns;
        g_variant_builder_init(&patterns, G_VARIANT_TYPE("a(us)"));
        for (const std::wstring& pattern : filter.patterns)
            g_variant_builder_add(&patterns, "(us)", 0u, WideToUtf8(pattern).c_str());
        g_variant_builder_add(&filters, "(sa(us))", WideToUtf8(filter.name).c_str(), &patterns);
    }
    return g_variant_builder_end(&filters);
}

struct PortalCall {
    bool done = false;
    GVariant* reply = nullptr;
    GError* error = nullptr;
};

void OnPortalCallDone(GObject* source, GAsyncResult* result, gpointer data) {
    auto* call = static_cast<PortalCall*>(data);
    call->reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &call->error);
    call->done = true;
}

// "x11:<XID>" names the window the chooser belongs to, so the desktop places it
// over that window and keeps it in front; empty where the window has no X id.
std::string PortalParent(Orvix::HWND owner) {
    const uint64_t xid = Orvix::GetX11WindowId(owner);
    if (xid == 0) return "";
    char text[32];
    std::snprintf(text, sizeof text, "x11:%llx", static_cast<unsigned long long>(xid));
    return text;
}

Outcome ChooseWithPortal(const FileDialogRequest& request, std::wstring& path) {
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus) {
        g_clear_error(&error);
        return Outcome::Unavailable;
    }
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);

    // The request object's path is known before the call, so the answer cannot
    // slip past the subscription.
    static unsigned serial = 0;
    const std::string token = "vantorel" + std::to_string(getpid()) + "_" + std::to_string(++serial);
    std::string sender = g_dbus_connection_get_unique_name(bus) + 1;  // without ':'
    for (char& c : sender)
        if (c == '.') c = '_';
    const std::string handle = "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
    PortalWait wait;
    const guint subscription = g_dbus_connection_signal_subscribe(
        bus, "org.freedesktop.portal.Desktop", "org.freedesktop.portal.Request", "Response", handle.c_str(),
        nullptr, G_DBUS_SIGNAL_FLAGS_NO_MATCH_RULE, OnPortalResponse, &wait, nullptr);

    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
    g_variant_builder_add(&options, "{sv}", "modal", g_variant_new_boolean(TRUE));
    if (!request.filters.empty()) g_variant_builder_add(&options, "{sv}", "filters", PortalFilters(request));
    if (request.save && !request.suggestedName.empty())
        g_variant_builder_add(&options, "{sv}", "current_name",
                              g_variant_new_string(WideToUtf8(request.suggestedName).c_str()));
    // The call itself only hands out the request (a portal being started can take
    // seconds): the window keeps painting and answering while it comes.
    PortalCall call;
    g_dbus_connection_call(bus, "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                           "org.freedesktop.portal.FileChooser", request.save ? "SaveFile" : "OpenFile",
                           g_variant_new("(ssa{sv})", PortalParent(request.owner).c_str(),
                                         WideToUtf8(request.title).c_str(), &options),
                           G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, kPortalCallTimeoutMs, nullptr,
                           OnPortalCallDone, &call);
    while (!call.done) {
        while (g_main_context_iteration(context, FALSE)) {
        }
        if (!call.done) PumpWindow();
    }
    Outcome outcome = Outcome::Unavailable;
    if (!call.reply) {
        Vantorel::Trace("file dialog: no portal (%s)", call.error ? call.error->message : "?");
        g_clear_error(&call.error);
    } else {
        g_variant_unref(call.reply);
        while (!wait.answered && !g_dbus_connection_is_closed(bus)) {
            while (g_main_context_iteration(context, FALSE)) {
            }
            if (!wait.answered) PumpWindow();
        }
        if (wait.answered && wait.response == 0 && !wait.path.empty()) {
            path = Utf8ToWide(wait.path);
            outcome = Outcome::Chosen;
        } else {
            outcome = wait.answered ? Outcome::Cancelled : Outcome::Unavailable;
        }
    }
    g_dbus_connection_signal_unsubscribe(bus, subscription);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    g_object_unref(bus);
    return outcome;
}

// ---------------------------------------------------------------- zenity

std::string FindOnPath(const char* name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = dirs.find(':', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty()) {
            const std::string candidate = dir + "/" + name;
            if (access(candidate.c_str(), X_OK) == 0) return candidate;
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return "";
}

Outcome ChooseWithZenity(const FileDialogRequest& request, std::wstring& path) {
    const std::string zenity = FindOnPath("zenity");
    if (zenity.empty()) return Outcome::Unavailable;
    std::vector<std::string> args = {zenity, "--file-selection", "--title=" + WideToUtf8(request.title)};
    // A child of the window asking: the desktop keeps it in front of that window.
    const uint64_t parent = Orvix::GetX11WindowId(request.owner);
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "WINDOWID=", 9) != 0) environment.push_back(*e);
    if (parent != 0) {
        char id[32];
        std::snprintf(id, sizeof id, "0x%llx", static_cast<unsigned long long>(parent));
        args.push_back(std::string("--attach=") + id);
        environment.push_back("WINDOWID=" + std::to_string(parent));
    }
    if (request.save) {
        args.push_back("--save");
        args.push_back("--confirm-overwrite");
        if (!request.suggestedName.empty()) args.push_back("--filename=" + WideToUtf8(request.suggestedName));
    }
    for (const FileDialogFilter& filter : request.filters) {
        std::string spec = WideToUtf8(filter.name) + " |";
        for (const std::wstring& pattern : filter.patterns) spec.append(" ").append(WideToUtf8(pattern));
        args.push_back("--file-filter=" + spec);
    }
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return Outcome::Unavailable;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    const int rc = posix_spawn(&pid, zenity.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        return Outcome::Unavailable;
    }
    std::string text;
    pollfd fd = {out[0], POLLIN, 0};
    for (;;) {
        const int ready = poll(&fd, 1, 0);
        if (ready > 0) {
            char buffer[4096];
            const ssize_t n = read(out[0], buffer, sizeof(buffer));
            if (n > 0) {
                text.append(buffer, size_t(n));
                continue;
            }
            if (n == 0 || errno != EINTR) break;
        }
        PumpWindow();
    }
    close(out[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status)) return Outcome::Unavailable;
    if (WEXITSTATUS(status) == 1) return Outcome::Cancelled;
    if (WEXITSTATUS(status) != 0) return Outcome::Unavailable;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (text.empty()) return Outcome::Cancelled;
    path = Utf8ToWide(text);
    return Outcome::Chosen;
}

}  // namespace

bool ChooseFile(const FileDialogRequest& request, std::wstring& path) {
    if (g_answer) return g_answer(request, path);
    if (g_busy) return false;  // one chooser at a time
    g_busy = true;
    Outcome outcome = Outcome::Unavailable;
    for (FileChooserKind kind : g_order) {
        switch (kind) {
            case FileChooserKind::Portal:
                outcome = ChooseWithPortal(request, path);
                break;
            case FileChooserKind::Zenity:
                outcome = ChooseWithZenity(request, path);
                break;
            case FileChooserKind::Toolkit: {
                std::wstring start;  // the home folder, or the name offered there
                if (request.save && !request.suggestedName.empty()) {
                    const char* home = std::getenv("HOME");
                    start = Utf8ToWide(home && *home ? home : "") + L"/" + request.suggestedName;
                }
                outcome = FilePathDlg::Ask(request.owner, request.title, start, !request.save)
                              ? Outcome::Chosen
                              : Outcome::Cancelled;
                if (outcome == Outcome::Chosen) path = start;
                break;
            }
        }
        if (outcome != Outcome::Unavailable) break;
    }
    g_busy = false;
    return outcome == Outcome::Chosen;
}

void SetFileDialogAnswer(FileDialogAnswer answer) {
    g_answer = std::move(answer);
}

void SetFileChooserOrder(std::vector<FileChooserKind> order) {
    g_order = order.empty() ? std::vector<FileChooserKind>{FileChooserKind::Portal, FileChooserKind::Zenity,
                                                           FileChooserKind::Toolkit}
                            : std::move(order);
}
