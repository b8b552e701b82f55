// lanpo: turns a language file into a gettext PO file and back, so that
// translators can work in their usual PO editors.
//
//   lanpo to-po ENGLISH.lan [TRANSLATION.lan] [-o OUT.po]
//   lanpo from-po IN.po [-o OUT.lan]
//
// Each text becomes one entry: its id as msgctxt, the English text as msgid and
// the translation (empty when there is none) as msgstr. Texts with printf
// placeholders carry the c-format flag and texts with {name} placeholders the
// python-brace-format flag, so that `msgfmt -c` checks both kinds. Ids that the
// English file lacks are kept as obsolete ("#~") entries. from-po writes the
// non-empty translations, sorted by id, in the form the shipped files have, so
// that a round trip gives the same texts (and the same bytes for a file in that
// form).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/TextConv.h"
#include "base/AppContext.h"
#include "base/IniFile.h"

namespace {

constexpr wchar_t kSection[] = L"LAN";

struct Failure {
    std::string message;
};

// A text id as the files key it: decimal digits without a leading zero.
int ParseId(const std::string& key) {
    if (key.empty() || key.size() > 9 || (key[0] == '0' && key.size() > 1)) return -1;
    int id = 0;
    for (char c : key) {
        if (c < '0' || c > '9') return -1;
        id = id * 10 + (c - '0');
    }
    return id;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure{"cannot read " + path};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& text) {
    if (path.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!(out << text) || !out.flush()) throw Failure{"cannot write " + path};
}

// The texts of section [LAN] by id, in id order.
std::map<int, std::string> ReadLanguageFile(const std::string& path) {
    IniFile ini;
    ini.Parse(IniFile::Decode(ReadAll(path)));
    std::map<int, std::string> texts;
    for (const std::wstring& key : ini.GetKeys(kSection)) {
        const std::string utf8Key = Orvix::WideToUtf8(key);
        const int id = ParseId(utf8Key);
        if (id < 0) {
            std::fprintf(stderr, "lanpo: %s: key '%s' is no text id; skipped\n", path.c_str(), utf8Key.c_str());
            continue;
        }
        std::wstring value;
        ini.Get(kSection, key, value);
        if (!texts.emplace(id, Orvix::WideToUtf8(value)).second)
            std::fprintf(stderr, "lanpo: %s: id %d twice; the first is kept\n", path.c_str(), id);
    }
    return texts;
}

// ---- PO output

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

bool HasPrintfPlaceholder(const std::string& text) {
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 2)) {
        size_t i = at + 1;
        if (i < text.size() && text[i] == 'l') ++i;
        if (i < text.size() && std::strchr("sdiuxXc", text[i])) return true;
    }
    return false;
}

bool HasBracePlaceholder(const std::string& text) {
    const size_t open = text.find('{');
    return open != std::string::npos && text.find('}', open) != std::string::npos;
}

// "pt-br" -> "pt_BR", the form the Language header takes.
std::string PoLanguage(int lcid) {
    const LanguageInfo* language = FindLanguage(lcid);
    if (!language) return {};
    std::string tag = language->textLanguage;
    const size_t dash = tag.find('-');
    if (dash == std::string::npos) return tag;
    tag[dash] = '_';
    std::transform(tag.begin() + dash + 1, tag.end(), tag.begin() + dash + 1, [](char c) { return char(std::toupper(c)); });
    return tag;
}

// The language id of a file named after it ("<dir>/1031.lan"); 0 otherwise.
int LcidOfPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const size_t dot = name.find('.');
    return std::max(0, ParseId(name.substr(0, dot)));
}

std::string ToPo(const std::string& englishPath, const std::string& translationPath) {
    const std::map<int, std::string> english = ReadLanguageFile(englishPath);
    if (english.empty()) throw Failure{englishPath + " holds no texts"};
    std::map<int, std::string> translation;
    if (!translationPath.empty()) translation = ReadLanguageFile(translationPath);

    std::ostringstream po;
    const int lcid = translationPath.empty() ? 0 : LcidOfPath(translationPath);
    po << "# Texts of Vantorel Mouse";
    if (const LanguageInfo* language = FindLanguage(lcid)) po << ", " << Orvix::WideToUtf8(language->nativeName);
    po << ". msgctxt is the text id, msgid the English text.\n"
       << "msgid \"\"\nmsgstr \"\"\n"
       << "\"Project-Id-Version: Vantorel Mouse\\n\"\n";
    if (const std::string language = PoLanguage(lcid); !language.empty())
        po << "\"Language: " << language << "\\n\"\n";
    if (lcid) po << "\"X-Vantorel-LCID: " << lcid << "\\n\"\n";
    po << "\"MIME-Version: 1.0\\n\"\n"
       << "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
       << "\"Content-Transfer-Encoding: 8bit\\n\"\n";
    for (const auto& [id, source] : english) {
        po << "\n";
        if (HasPrintfPlaceholder(source)) po << "#, c-format\n";
        else if (HasBracePlaceholder(source)) po << "#, python-brace-format\n";
        const auto found = translation.find(id);
        po << "msgctxt \"" << id << "\"\nmsgid " << Quote(source) << "\nmsgstr "
           << Quote(found == translation.end() ? std::string() : found->second) << "\n";
    }
    for (const auto& [id, text] : translation) {
        if (english.count(id)) continue;
        std::fprintf(stderr, "lanpo: id %d is not in the English file; kept as an obsolete entry\n", id);
        po << "\n#~ msgctxt \"" << id << "\"\n#~ msgid " << Quote(text) << "\n#~ msgstr " << Quote(text) << "\n";
    }
    return po.str();
}

// ---- PO input

struct PoEntry {
    std::string context, id, str;
    bool hasContext = false, fuzzy = false;
    int line = 0;
};

class PoReader {
  public:
    explicit PoReader(const std::string& text) : m_text(text) {}

    std::vector<PoEntry> Read() {
        std::vector<PoEntry> entries;
        PoEntry entry;
        std::string* target = nullptr;
        bool started = false;
        auto finish = [&] {
            if (started) entries.push_back(entry);
            entry = PoEntry{};
            target = nullptr;
            started = false;
        };
        std::istringstream lines(m_text);
        std::string line;
        while (std::getline(lines, line)) {
            ++m_line;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            // Obsolete entries are read like the others: they hold ids the
            // English file lacks.
            if (line.starts_with("#~")) line = line.substr(line.size() > 2 && line[2] == ' ' ? 3 : 2);
            const std::string trimmed = Trim(line);
            if (trimmed.empty()) continue;
            if (trimmed[0] == '#') {
                if (started && target != &entry.context) finish();
                if (trimmed.starts_with("#,") && trimmed.find("fuzzy") != std::string::npos) entry.fuzzy = true;
                continue;
            }
            if (trimmed[0] == '"') {
                if (!target) Fail("a string outside any keyword");
                *target += Unquote(trimmed);
                continue;
            }
            const size_t blank = trimmed.find_first_of(" \t");
            const std::string keyword = trimmed.substr(0, blank);
            const std::string rest = blank == std::string::npos ? std::string() : Trim(trimmed.substr(blank));
            if (keyword == "msgctxt") {
                if (started) finish();
                started = true;
                entry.line = m_line;
                entry.hasContext = true;
                target = &entry.context;
            } else if (keyword == "msgid") {
                if (started && target != &entry.context) finish();
                if (!started) entry.line = m_line;
                started = true;
                target = &entry.id;
            } else if (keyword == "msgstr") {
                if (!started || target != &entry.id) Fail("msgstr without msgid");
                target = &entry.str;
            } else if (keyword == "msgid_plural" || keyword.starts_with("msgstr[")) {
                Fail("plural forms are not used by language files");
            } else {
                Fail("unknown keyword '" + keyword + "'");
            }
            *target += Unquote(rest);
        }
        finish();
        return entries;
    }

  private:
    static std::string Trim(const std::string& s) {
        const size_t first = s.find_first_not_of(" \t");
        if (first == std::string::npos) return {};
        return s.substr(first, s.find_last_not_of(" \t") - first + 1);
    }

    [[noreturn]] void Fail(const std::string& what) const {
        throw Failure{"line " + std::to_string(m_line) + ": " + what};
    }

    std::string Unquote(const std::string& s) const {
        if (s.size() < 2 || s.front() != '"' || s.back() != '"') Fail("expected a quoted string");
        std::string out;
        for (size_t i = 1; i + 1 < s.size(); ++i) {
            char c = s[i];
            if (c == '"') Fail("unescaped quote");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (++i + 1 >= s.size()) Fail("a backslash at the end of a string");
            switch (s[i]) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case 'n': out += '\n'; break;
                case 't': out += '\t'; break;
                case 'r': out += '\r'; break;
                case 'a': out += '\a'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'v': out += '\v'; break;
                default: Fail(std::string("unknown escape \\") + s[i]);
            }
        }
        return out;
    }

    const std::string& m_text;
    int m_line = 0;
};

// A value as the language file must hold it to read back unchanged: quoted when
// blanks at its ends would be dropped, or when quotes at both ends would be.
std::string LanguageFileValue(const std::string& text) {
    constexpr const char* kBlanks = " \t\r\f\v";
    const bool blankEnds = !text.empty() && (std::strchr(kBlanks, text.front()) || std::strchr(kBlanks, text.back()));
    const bool quoteEnds =
        text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front();
    return blankEnds || quoteEnds ? "\"" + text + "\"" : text;
}

std::string FromPo(const std::string& poPath) {
    const std::string text = ReadAll(poPath);
    std::map<int, std::string> texts;
    std::vector<int> untranslated, fuzzy;
    for (const PoEntry& entry : PoReader(text).Read()) {
        if (!entry.hasContext && entry.id.empty()) continue;  // the header
        const int id = ParseId(entry.context);
        if (!entry.hasContext || id < 0)
            throw Failure{"line " + std::to_string(entry.line) + ": msgctxt must be a text id, not '" +
                          entry.context + "'"};
        if (entry.str.find_first_of("\n") != std::string::npos)
            throw Failure{"line " + std::to_string(entry.line) + ": text " + entry.context +
                          " has a line break, which a language file cannot hold"};
        if (texts.count(id)) throw Failure{"line " + std::to_string(entry.line) + ": id " + entry.context + " twice"};
        if (entry.str.empty()) {
            untranslated.push_back(id);
            continue;
        }
        if (entry.fuzzy) fuzzy.push_back(id);
        texts.emplace(id, entry.str);
    }
    auto list = [](const std::vector<int>& ids) {
        std::string s;
        for (int id : ids) s += " " + std::to_string(id);
        return s;
    };
    if (!untranslated.empty())
        std::fprintf(stderr, "lanpo: %zu untranslated, left out:%s\n", untranslated.size(), list(untranslated).c_str());
    if (!fuzzy.empty())
        std::fprintf(stderr, "lanpo: %zu marked fuzzy, written as they are:%s\n", fuzzy.size(), list(fuzzy).c_str());
    std::string lan = "[LAN]\n";
    for (const auto& [id, value] : texts) lan += std::to_string(id) + "=" + LanguageFileValue(value) + "\n";
    return lan;
}

int Usage() {
    std::fputs(
        "Usage: lanpo to-po ENGLISH.lan [TRANSLATION.lan] [-o OUT.po]\n"
        "       lanpo from-po IN.po [-o OUT.lan]\n"
        "Converts a language file to a gettext PO file (text ids as msgctxt, English as\n"
        "msgid) and back. Without TRANSLATION.lan every msgstr is empty (a template).\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string output;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "-o") continue;
        if (i + 1 >= args.size()) return Usage();
        output = args[i + 1];
        args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
        break;
    }
    if (args.empty()) return Usage();
    try {
        if (args[0] == "to-po" && (args.size() == 2 || args.size() == 3)) {
            WriteAll(output, ToPo(args[1], args.size() == 3 ? args[2] : std::string()));
        } else if (args[0] == "from-po" && args.size() == 2) {
            WriteAll(output, FromPo(args[1]));
        } else {
            return Usage();
        }
    } catch (const Failure& failure) {
        std::fprintf(stderr, "lanpo: %s\n", failure.message.c_str());
        return 1;
    }
    return 0;
}
