#include "platform/dbus/BusConnection.h"

#include "base/Trace.h"

void ConnectToBus(const std::string& address, GAsyncReadyCallback done, gpointer data) {
    g_dbus_connection_new_for_address(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, done, data);
}

GDBusConnection* FinishBusConnection(GAsyncResult* result, bool ownerAlive, const char* who) {
    GError* error = nullptr;
    GDBusConnection* connection = g_dbus_connection_new_for_address_finish(result, &error);
    if (!connection) {
        Vantorel::Trace("%s: no session bus: %s", who, error->message);
        g_error_free(error);
        return nullptr;
    }
    if (!ownerAlive) {
        g_dbus_connection_close(connection, nullptr, nullptr, nullptr);
        g_object_unref(connection);
        return nullptr;
    }
    return connection;
}
