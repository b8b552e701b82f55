#pragma once
// Test support: a strict reader of the JSON that scripts get from vantorelctl, so
// that a test checks the output parses as JSON (not only that it contains some
// text) and looks fields up by name. Numbers are whole numbers, as the tool prints.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    long long number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    bool Has(const std::string& name) const { return kind == Kind::Object && fields.count(name) != 0; }
    const Json& operator[](const std::string& name) const {
        static const Json missing;
        const auto it = fields.find(name);
        return it == fields.end() ? missing : it->second;
    }
    const Json& operator[](size_t index) const {
        static const Json missing;
        return index < items.size() ? items[index] : missing;
    }
};

// The document, or nothing when it is not exactly one JSON value (white space around allowed).
inline std::optional<Json> ParseJson(const std::string& source) {
    struct Reader {
        const std::string& s;
        size_t at = 0;
        void Space() {
            while (at < s.size() && (s[at] == ' ' || s[at] == '\n' || s[at] == '\t' || s[at] == '\r')) ++at;
        }
        bool Literal(const char* word) {
            const std::string w = word;
            if (s.compare(at, w.size(), w) != 0) return false;
            at += w.size();
            return true;
        }
        bool String(std::string& out) {
            if (at >= s.size() || s[at] != '"') return false;
            ++at;
            while (at < s.size() && s[at] != '"') {
                const unsigned char c = static_cast<unsigned char>(s[at]);
                if (c < 0x20) return false;
                if (c != '\\') {
                    out += s[at++];
                    continue;
                }
                if (++at >= s.size()) return false;
                const char e = s[at++];
                switch (e) {
                    case '"':
                        out += '"';
                        break;
                    case '\\':
                        out += '\\';
                        break;
                    case '/':
                        out += '/';
                        break;
                    case 'n':
                        out += '\n';
                        break;
                    case 't':
                        out += '\t';
                        break;
                    case 'r':
                        out += '\r';
                        break;
                    case 'b':
                        out += '\b';
                        break;
                    case 'f':
                        out += '\f';
                        break;
                    case 'u': {
                        if (at + 4 > s.size()) return false;
                        const unsigned code = std::stoul(s.substr(at, 4), nullptr, 16);
                        at += 4;
                        if (code >= 0x80) return false;  // the tool escapes control characters only
                        out += static_cast<char>(code);
                        break;
                    }
                    default:
                        return false;
                }
            }
            if (at >= s.size()) return false;
            ++at;
            return true;
        }
        bool Value(Json& v) {
            Space();
            if (at >= s.size()) return false;
            const char c = s[at];
            if (c == '{') {
                v.kind = Json::Kind::Object;
                ++at;
                Space();
                if (at < s.size() && s[at] == '}') return ++at, true;
                while (true) {
                    Space();
                    std::string name;
                    if (!String(name)) return false;
                    Space();
                    if (at >= s.size() || s[at++] != ':') return false;
                    Json field;
                    if (!Value(field) || v.fields.count(name)) return false;
                    v.fields.emplace(name, std::move(field));
                    Space();
                    if (at < s.size() && s[at] == ',') {
                        ++at;
                        continue;
                    }
                    return at < s.size() && s[at++] == '}';
                }
            }
            if (c == '[') {
                v.kind = Json::Kind::Array;
                ++at;
                Space();
                if (at < s.size() && s[at] == ']') return ++at, true;
                while (true) {
                    Json item;
                    if (!Value(item)) return false;
                    v.items.push_back(std::move(item));
                    Space();
                    if (at < s.size() && s[at] == ',') {
                        ++at;
                        continue;
                    }
                    return at < s.size() && s[at++] == ']';
                }
            }
            if (c == '"') {
                v.kind = Json::Kind::String;
                return String(v.text);
            }
            if (Literal("true")) return v.kind = Json::Kind::Bool, v.boolean = true, true;
            if (Literal("false")) return v.kind = Json::Kind::Bool, true;
            if (Literal("null")) return true;
            const size_t start = at;
            if (s[at] == '-') ++at;
            while (at < s.size() && s[at] >= '0' && s[at] <= '9') ++at;
            if (at == start || (at == start + 1 && s[start] == '-')) return false;
            v.kind = Json::Kind::Number;
            v.number = std::stoll(s.substr(start, at - start));
            return true;
        }
    };
    Reader reader{source};
    Json value;
    if (!reader.Value(value)) return std::nullopt;
    reader.Space();
    if (reader.at != source.size()) return std::nullopt;
    return value;
}
