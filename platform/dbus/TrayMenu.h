#pragma once
// The tray icon's menu, exported on the bus as a com.canonical.dbusmenu object: a
// root (id 0) with a flat list of items. The notification area draws the menu
// itself and sends an item's "clicked" event back. A new list that differs from the
// shown one raises the layout revision and announces it (LayoutUpdated, and
// ItemsPropertiesUpdated for hosts that only apply changed properties). Lives on
// the GLib loop thread of the tray icon, like the connection it is exported on.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

typedef struct _GDBusConnection GDBusConnection;
typedef struct _GVariant GVariant;

class TrayMenu {
  public:
    struct Item {
        int id = 0;  // above 0
        bool separator = false;
        std::string label;  // UTF-8, shown as it is
        bool enabled = true;
        int radio = -1;  // -1 a plain item; 0 or 1 a radio item, unchecked or checked
        bool operator==(const Item&) const = default;
    };

    explicit TrayMenu(std::function<void(int id)> clicked) : m_clicked(std::move(clicked)) {}
    ~TrayMenu() { Unexport(); }
    TrayMenu(const TrayMenu&) = delete;
    TrayMenu& operator=(const TrayMenu&) = delete;

    bool Export(GDBusConnection* connection, const char* objectPath);
    void Unexport();

    // The items, in menu order.
    void SetItems(std::vector<Item> items);
    uint32_t Revision() const { return m_revision; }

  private:
    static void OnMethodCall(GDBusConnection*, const char*, const char*, const char*, const char* method,
                             GVariant* parameters, struct _GDBusMethodInvocation* invocation, void* self);
    static GVariant* OnGetProperty(GDBusConnection*, const char*, const char*, const char*,
                                   const char* property, struct _GError**, void* self);

    const Item* Find(int id) const;
    bool IsItem(int id) const { return id == 0 || Find(id) != nullptr; }
    // The item's properties as a{sv}; only the named ones when `names` is not empty.
    GVariant* Properties(int id, GVariant* names) const;
    GVariant* Layout(int id, int depth, GVariant* names) const;
    // False for an unknown item.
    bool HandleEvent(int id, const char* eventId);

    std::function<void(int id)> m_clicked;
    std::vector<Item> m_items;
    uint32_t m_revision = 1;
    GDBusConnection* m_connection = nullptr;
    unsigned m_registration = 0;
    std::string m_path;
};
