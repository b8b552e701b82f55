#pragma once
// The tray icon's menu, exported on the bus as a com.canonical.dbusmenu object:
// a root with one item (id 1) whose label is the exit text. The notification
// area draws the menu itself and sends the item's "clicked" event back. Lives on
// the GLib loop thread of the tray icon, like the connection it is exported on.
#include <cstdint>
#include <functional>
#include <string>

typedef struct _GDBusConnection GDBusConnection;
typedef struct _GVariant GVariant;

class TrayMenu {
  public:
    static constexpr int kExitItemId = 1;

    explicit TrayMenu(std::function<void()> exitClicked) : m_exitClicked(std::move(exitClicked)) {}
    ~TrayMenu() { Unexport(); }
    TrayMenu(const TrayMenu&) = delete;
    TrayMenu& operator=(const TrayMenu&) = delete;

    bool Export(GDBusConnection* connection, const char* objectPath);
    void Unexport();

    // The exit item's text (UTF-8); tells the notification area when exported.
    void SetExitLabel(const std::string& label);
    uint32_t Revision() const { return m_revision; }

  private:
    static void OnMethodCall(GDBusConnection*, const char*, const char*, const char*, const char* method,
                             GVariant* parameters, struct _GDBusMethodInvocation* invocation, void* self);
    static GVariant* OnGetProperty(GDBusConnection*, const char*, const char*, const char*,
                                   const char* property, struct _GError**, void* self);

    bool IsItem(int id) const { return id == 0 || id == kExitItemId; }
    // The item's properties as a{sv}; only the named ones when `names` is not empty.
    GVariant* Properties(int id, GVariant* names) const;
    GVariant* Layout(int id, int depth, GVariant* names) const;
    // False for an unknown item.
    bool HandleEvent(int id, const char* eventId);

    std::function<void()> m_exitClicked;
    std::string m_label;
    uint32_t m_revision = 1;
    GDBusConnection* m_connection = nullptr;
    unsigned m_registration = 0;
    std::string m_path;
};
