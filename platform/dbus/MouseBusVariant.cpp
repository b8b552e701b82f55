#include "platform/dbus/MouseBusVariant.h"

#include <functional>

#include "platform/dbus/MouseBusIntrospection.h"

namespace {

using P = MouseDeviceProperties;

struct Binding {
    const char* name;
    const char* type;
    std::function<GVariant*(const P&)> get;
    std::function<void(P&, GVariant*)> set;
};

GVariant* Str(const std::string& s) {
    return g_variant_new_string(s.c_str());
}
std::string GetStr(GVariant* v) {
    return g_variant_get_string(v, nullptr);
}

const std::vector<Binding>& Bindings() {
    static const std::vector<Binding> bindings = {
        {"Model", "s", [](const P& p) { return Str(p.model); }, [](P& p, GVariant* v) { p.model = GetStr(v); }},
        {"DeviceType", "i", [](const P& p) { return g_variant_new_int32(p.deviceType); },
         [](P& p, GVariant* v) { p.deviceType = g_variant_get_int32(v); }},
        {"Selected", "b", [](const P& p) { return g_variant_new_boolean(p.selected); },
         [](P& p, GVariant* v) { p.selected = g_variant_get_boolean(v); }},
        {"Connection", "s", [](const P& p) { return Str(p.connection); },
         [](P& p, GVariant* v) { p.connection = GetStr(v); }},
        {"Online", "b", [](const P& p) { return g_variant_new_boolean(p.online); },
         [](P& p, GVariant* v) { p.online = g_variant_get_boolean(v); }},
        {"BatteryLevel", "i", [](const P& p) { return g_variant_new_int32(p.batteryLevel); },
         [](P& p, GVariant* v) { p.batteryLevel = g_variant_get_int32(v); }},
        {"Charging", "b", [](const P& p) { return g_variant_new_boolean(p.charging); },
         [](P& p, GVariant* v) { p.charging = g_variant_get_boolean(v); }},
        {"FirmwareVersion", "s", [](const P& p) { return Str(p.firmwareVersion); },
         [](P& p, GVariant* v) { p.firmwareVersion = GetStr(v); }},
        {"ReceiverFirmwareVersion", "s", [](const P& p) { return Str(p.receiverFirmwareVersion); },
         [](P& p, GVariant* v) { p.receiverFirmwareVersion = GetStr(v); }},
        {"ActiveProfile", "i", [](const P& p) { return g_variant_new_int32(p.activeProfile); },
         [](P& p, GVariant* v) { p.activeProfile = g_variant_get_int32(v); }},
        {"Profiles", "a(is)",
         [](const P& p) {
             GVariantBuilder b;
             g_variant_builder_init(&b, G_VARIANT_TYPE("a(is)"));
             for (const auto& [id, name] : p.profiles) g_variant_builder_add(&b, "(is)", id, name.c_str());
             return g_variant_builder_end(&b);
         },
         [](P& p, GVariant* v) {
             p.profiles.clear();
             GVariantIter it;
             g_variant_iter_init(&it, v);
             gint32 id = 0;
             const char* name = nullptr;
             while (g_variant_iter_next(&it, "(i&s)", &id, &name)) p.profiles.emplace_back(id, name);
         }},
        {"DpiLevels", "ai",
         [](const P& p) {
             return g_variant_new_fixed_array(G_VARIANT_TYPE_INT32, p.dpiLevels.data(), p.dpiLevels.size(),
                                              sizeof(int32_t));
         },
         [](P& p, GVariant* v) {
             gsize n = 0;
             const auto* data = static_cast<const int32_t*>(g_variant_get_fixed_array(v, &n, sizeof(int32_t)));
             p.dpiLevels.assign(data, data + n);
         }},
        {"ActiveDpiLevel", "i", [](const P& p) { return g_variant_new_int32(p.activeDpiLevel); },
         [](P& p, GVariant* v) { p.activeDpiLevel = g_variant_get_int32(v); }},
        {"ReportRate", "i", [](const P& p) { return g_variant_new_int32(p.reportRate); },
         [](P& p, GVariant* v) { p.reportRate = g_variant_get_int32(v); }},
        {"Settings", "a{si}",
         [](const P& p) {
             GVariantBuilder b;
             g_variant_builder_init(&b, G_VARIANT_TYPE("a{si}"));
             for (const auto& [key, value] : p.settings) g_variant_builder_add(&b, "{si}", key.c_str(), value);
             return g_variant_builder_end(&b);
         },
         [](P& p, GVariant* v) {
             p.settings.clear();
             GVariantIter it;
             g_variant_iter_init(&it, v);
             const char* key = nullptr;
             gint32 value = 0;
             while (g_variant_iter_next(&it, "{&si}", &key, &value)) p.settings[key] = value;
         }},
        {"SettingsVersion", "s", [](const P& p) { return Str(p.settingsVersion); },
         [](P& p, GVariant* v) { p.settingsVersion = GetStr(v); }},
        {"Interfaces", "a(qqsii)",
         [](const P& p) {
             GVariantBuilder b;
             g_variant_builder_init(&b, G_VARIANT_TYPE("a(qqsii)"));
             for (const MouseInterface& i : p.interfaces)
                 g_variant_builder_add(&b, "(qqsii)", i.vid, i.pid, i.product.c_str(), i.mode, i.online);
             return g_variant_builder_end(&b);
         },
         [](P& p, GVariant* v) {
             p.interfaces.clear();
             GVariantIter it;
             g_variant_iter_init(&it, v);
             MouseInterface i;
             const char* product = nullptr;
             while (g_variant_iter_next(&it, "(qq&sii)", &i.vid, &i.pid, &product, &i.mode, &i.online)) {
                 i.product = product;
                 p.interfaces.push_back(i);
             }
         }},
    };
    return bindings;
}

const Binding* FindBinding(const std::string& name) {
    for (const Binding& b : Bindings())
        if (name == b.name) return &b;
    return nullptr;
}

}  // namespace

GDBusInterfaceInfo* MouseDeviceInterfaceInfo() {
    static GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kMouseBusIntrospection, nullptr);
    return node ? g_dbus_node_info_lookup_interface(node, kMouseDeviceInterface) : nullptr;
}

const std::vector<std::string>& MousePropertyNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const Binding& b : Bindings()) list.push_back(b.name);
        return list;
    }();
    return names;
}

GVariant* MousePropertyValue(const MouseDeviceProperties& device, const std::string& name) {
    const Binding* binding = FindBinding(name);
    return binding ? binding->get(device) : nullptr;
}

GVariant* MousePropertiesDict(const MouseDeviceProperties& device) {
    GVariantBuilder b;
    g_variant_builder_init(&b, G_VARIANT_TYPE_VARDICT);
    for (const Binding& binding : Bindings()) g_variant_builder_add(&b, "{sv}", binding.name, binding.get(device));
    return g_variant_builder_end(&b);
}

void ApplyMouseProperties(MouseDeviceProperties& device, GVariant* dict) {
    GVariantIter it;
    g_variant_iter_init(&it, dict);
    const char* name = nullptr;
    GVariant* value = nullptr;
    while (g_variant_iter_next(&it, "{&sv}", &name, &value)) {
        const Binding* binding = FindBinding(name);
        if (binding && g_variant_is_of_type(value, G_VARIANT_TYPE(binding->type))) binding->set(device, value);
        g_variant_unref(value);
    }
}
