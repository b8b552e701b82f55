#include "exchange/XmlText.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <utility>

namespace {

struct NamedEntity {
    const wchar_t* name;
    char32_t code;
};

// The XML five, then the HTML 4 character entities in the order of their DTDs
// (Latin-1, symbols, special). Order matters only for names written in another
// case than listed: the first entry with that folded name wins.
// clang-format off
constexpr NamedEntity kEntities[] = {
    {L"lt", 60}, {L"gt", 62}, {L"amp", 38}, {L"apos", 39}, {L"quot", 34}, {L"nbsp", 160}, {L"iexcl", 161},
    {L"cent", 162}, {L"pound", 163}, {L"curren", 164}, {L"yen", 165}, {L"brvbar", 166}, {L"sect", 167},
    {L"uml", 168}, {L"copy", 169}, {L"ordf", 170}, {L"laquo", 171}, {L"not", 172}, {L"shy", 173},
    {L"reg", 174}, {L"macr", 175}, {L"deg", 176}, {L"plusmn", 177}, {L"sup2", 178}, {L"sup3", 179},
    {L"acute", 180}, {L"micro", 181}, {L"para", 182}, {L"middot", 183}, {L"cedil", 184}, {L"sup1", 185},
    {L"ordm", 186}, {L"raquo", 187}, {L"frac14", 188}, {L"frac12", 189}, {L"frac34", 190}, {L"iquest", 191},
    {L"Agrave", 192}, {L"Aacute", 193}, {L"Acirc", 194}, {L"Atilde", 195}, {L"Auml", 196}, {L"Aring", 197},
    {L"AElig", 198}, {L"Ccedil", 199}, {L"Egrave", 200}, {L"Eacute", 201}, {L"Ecirc", 202}, {L"Euml", 203},
    {L"Igrave", 204}, {L"Iacute", 205}, {L"Icirc", 206}, {L"Iuml", 207}, {L"ETH", 208}, {L"Ntilde", 209},
    {L"Ograve", 210}, {L"Oacute", 211}, {L"Ocirc", 212}, {L"Otilde", 213}, {L"Ouml", 214}, {L"times", 215},
    {L"Oslash", 216}, {L"Ugrave", 217}, {L"Uacute", 218}, {L"Ucirc", 219}, {L"Uuml", 220}, {L"Yacute", 221},
    {L"THORN", 222}, {L"szlig", 223}, {L"agrave", 224}, {L"aacute", 225}, {L"acirc", 226}, {L"atilde", 227},
    {L"auml", 228}, {L"aring", 229}, {L"aelig", 230}, {L"ccedil", 231}, {L"egrave", 232}, {L"eacute", 233},
    {L"ecirc", 234}, {L"euml", 235}, {L"igrave", 236}, {L"iacute", 237}, {L"icirc", 238}, {L"iuml", 239},
    {L"eth", 240}, {L"ntilde", 241}, {L"ograve", 242}, {L"oacute", 243}, {L"ocirc", 244}, {L"otilde", 245},
    {L"ouml", 246}, {L"divide", 247}, {L"oslash", 248}, {L"ugrave", 249}, {L"uacute", 250}, {L"ucirc", 251},
    {L"uuml", 252}, {L"yacute", 253}, {L"thorn", 254}, {L"yuml", 255}, {L"fnof", 402}, {L"Alpha", 913},
    {L"Beta", 914}, {L"Gamma", 915}, {L"Delta", 916}, {L"Epsilon", 917}, {L"Zeta", 918}, {L"Eta", 919},
    {L"Theta", 920}, {L"Iota", 921}, {L"Kappa", 922}, {L"Lambda", 923}, {L"Mu", 924}, {L"Nu", 925},
    {L"Xi", 926}, {L"Omicron", 927}, {L"Pi", 928}, {L"Rho", 929}, {L"Sigma", 931}, {L"Tau", 932},
    {L"Upsilon", 933}, {L"Phi", 934}, {L"Chi", 935}, {L"Psi", 936}, {L"Omega", 937}, {L"alpha", 945},
    {L"beta", 946}, {L"gamma", 947}, {L"delta", 948}, {L"epsilon", 949}, {L"zeta", 950}, {L"eta", 951},
    {L"theta", 952}, {L"iota", 953}, {L"kappa", 954}, {L"lambda", 955}, {L"mu", 956}, {L"nu", 957},
    {L"xi", 958}, {L"omicron", 959}, {L"pi", 960}, {L"rho", 961}, {L"sigmaf", 962}, {L"sigma", 963},
    {L"tau", 964}, {L"upsilon", 965}, {L"phi", 966}, {L"chi", 967}, {L"psi", 968}, {L"omega", 969},
    {L"thetasym", 977}, {L"upsih", 978}, {L"piv", 982}, {L"bull", 8226}, {L"hellip", 8230}, {L"prime", 8242},
    {L"Prime", 8243}, {L"oline", 8254}, {L"frasl", 8260}, {L"weierp", 8472}, {L"image", 8465},
    {L"real", 8476}, {L"trade", 8482}, {L"alefsym", 8501}, {L"larr", 8592}, {L"uarr", 8593}, {L"rarr", 8594},
    {L"darr", 8595}, {L"harr", 8596}, {L"crarr", 8629}, {L"lArr", 8656}, {L"uArr", 8657}, {L"rArr", 8658},
    {L"dArr", 8659}, {L"hArr", 8660}, {L"forall", 8704}, {L"part", 8706}, {L"exist", 8707}, {L"empty", 8709},
    {L"nabla", 8711}, {L"isin", 8712}, {L"notin", 8713}, {L"ni", 8715}, {L"prod", 8719}, {L"sum", 8721},
    {L"minus", 8722}, {L"lowast", 8727}, {L"radic", 8730}, {L"prop", 8733}, {L"infin", 8734}, {L"ang", 8736},
    {L"and", 8743}, {L"or", 8744}, {L"cap", 8745}, {L"cup", 8746}, {L"int", 8747}, {L"there4", 8756},
    {L"sim", 8764}, {L"cong", 8773}, {L"asymp", 8776}, {L"ne", 8800}, {L"equiv", 8801}, {L"le", 8804},
    {L"ge", 8805}, {L"sub", 8834}, {L"sup", 8835}, {L"nsub", 8836}, {L"sube", 8838}, {L"supe", 8839},
    {L"oplus", 8853}, {L"otimes", 8855}, {L"perp", 8869}, {L"sdot", 8901}, {L"lceil", 8968}, {L"rceil", 8969},
    {L"lfloor", 8970}, {L"rfloor", 8971}, {L"lang", 9001}, {L"rang", 9002}, {L"loz", 9674}, {L"spades", 9824},
    {L"clubs", 9827}, {L"hearts", 9829}, {L"diams", 9830}, {L"OElig", 338}, {L"oelig", 339}, {L"Scaron", 352},
    {L"scaron", 353}, {L"Yuml", 376}, {L"circ", 710}, {L"tilde", 732}, {L"ensp", 8194}, {L"emsp", 8195},
    {L"thinsp", 8201}, {L"zwnj", 8204}, {L"zwj", 8205}, {L"lrm", 8206}, {L"rlm", 8207}, {L"ndash", 8211},
    {L"mdash", 8212}, {L"lsquo", 8216}, {L"rsquo", 8217}, {L"sbquo", 8218}, {L"ldquo", 8220},
    {L"rdquo", 8221}, {L"bdquo", 8222}, {L"dagger", 8224}, {L"Dagger", 8225}, {L"permil", 8240},
    {L"lsaquo", 8249}, {L"rsaquo", 8250}, {L"euro", 8364},
};
// clang-format on

constexpr size_t kMaxReferenceLength = 9;  // characters between '&' and ';'

// Exact names first, so that &Agrave; and &agrave; stay distinct characters; a
// name in any other case falls back to the first entry with the same folded name.
char32_t LookUpEntity(std::wstring_view name) {
    struct Tables {
        std::unordered_map<std::wstring_view, char32_t> exact;
        std::unordered_map<std::wstring, char32_t> folded;  // emplace keeps the first of a folded name
    };
    static const Tables tables = [] {
        Tables t;
        for (const NamedEntity& e : kEntities) {
            t.exact.emplace(e.name, e.code);
            t.folded.emplace(AsciiLower(e.name), e.code);
        }
        return t;
    }();
    if (auto it = tables.exact.find(name); it != tables.exact.end()) return it->second;
    if (auto it = tables.folded.find(AsciiLower(name)); it != tables.folded.end()) return it->second;
    return 0;
}

bool IsHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

int HexValue(wchar_t c) {
    if (c <= L'9') return c - L'0';
    return (c | 0x20) - L'a' + 10;
}

// "#65" or "#x41" (without '&' and ';'); 0 when it names no valid character.
char32_t NumericReference(std::wstring_view body) {
    bool hex = body.size() > 1 && (body[1] == L'x' || body[1] == L'X');
    std::wstring_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    char32_t value = 0;
    for (wchar_t c : digits) {
        if (hex ? !IsHexDigit(c) : (c < L'0' || c > L'9')) return 0;
        value = value * (hex ? 16 : 10) + (hex ? HexValue(c) : c - L'0');
        if (value > 0x10FFFF) return 0;  // bounded: at most 8 digits fit in the length limit
    }
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    return value;
}

}  // namespace

bool IsXmlName(std::wstring_view name) {
    // "<!" and "<?" open other markup, so a name cannot start with those.
    if (name.empty() || name[0] == L'!' || name[0] == L'?') return false;
    for (wchar_t c : name)
        if (!IsXmlNameChar(c)) return false;
    return true;
}

std::wstring AsciiLower(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out)
        if (c >= L'A' && c <= L'Z') c = c - L'A' + L'a';
    return out;
}

bool ScanAttributes(std::wstring_view area, const std::function<bool(const XmlAttributeSpan&)>& visit) {
    bool strict = true;
    size_t i = 0;
    const size_t n = area.size();
    auto skipSpace = [&](size_t& p) {
        size_t from = p;
        while (p < n && IsXmlSpace(area[p])) ++p;
        return p > from;
    };
    while (true) {
        bool spaced = skipSpace(i);
        if (i >= n) break;
        wchar_t c = area[i];
        if (!IsXmlNameChar(c)) {
            strict = false;
            if (c == L'"' || c == L'\'') {
                size_t close = area.find(c, i + 1);
                i = close == std::wstring_view::npos ? n : close + 1;
            } else {
                ++i;
            }
            continue;
        }
        if (!spaced) strict = false;
        XmlAttributeSpan span;
        span.nameStart = i;
        while (i < n && IsXmlNameChar(area[i])) ++i;
        span.nameLength = i - span.nameStart;
        span.tokenEnd = i;
        size_t j = i;
        skipSpace(j);
        if (j < n && area[j] == L'=') {
            ++j;
            skipSpace(j);
            if (j < n && (area[j] == L'"' || area[j] == L'\'')) {
                size_t close = area.find(area[j], j + 1);
                if (close == std::wstring_view::npos) {
                    strict = false;
                    close = n;
                }
                span.valueStart = j + 1;
                span.valueLength = close - span.valueStart;
                span.tokenEnd = close < n ? close + 1 : n;
            } else {
                // Unquoted value: up to the next blank. It stops at a quote too, so
                // that quotes pair up here exactly as when the tag's end was found.
                strict = false;
                size_t k = j;
                while (k < n && !IsXmlSpace(area[k]) && area[k] != L'"' && area[k] != L'\'') ++k;
                span.valueStart = j;
                span.valueLength = k - j;
                span.tokenEnd = k;
            }
        } else {
            strict = false;  // a name without a value
            span.valueStart = i;
        }
        if (!visit(span)) return strict;
        i = span.tokenEnd;
    }
    return strict;
}

void AppendResult(std::wstring& record, std::wstring_view entry, std::wstring_view detail) {
    constexpr size_t kMaxLength = 2000;
    if (record.size() >= kMaxLength) return;
    if (!record.empty()) record += L"; ";
    record += entry;
    if (!detail.empty()) {
        record += L'=';
        record += detail;
    }
}

std::wstring EscapeAttribute(std::wstring_view value) {
    static constexpr std::pair<wchar_t, std::wstring_view> kEscapes[] = {
        {L'<', L"&lt;"}, {L'&', L"&amp;"}, {L'>', L"&gt;"}, {L'\'', L"&apos;"}, {L'"', L"&quot;"}};
    std::wstring out;
    out.reserve(value.size());
    for (wchar_t c : value) {
        auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                   [c](const auto& e) { return e.first == c; });
        if (escape != std::end(kEscapes))
            out += escape->second;
        else
            out.push_back(c);
    }
    return out;
}

std::wstring DecodeReferences(std::wstring_view raw) {
    std::wstring out;
    out.reserve(raw.size());
    size_t i = 0;
    while (i < raw.size()) {
        if (raw[i] != L'&') {
            out.push_back(raw[i++]);
            continue;
        }
        // Only the next few characters can close a reference, so the search stays local.
        size_t semi = raw.substr(0, i + 2 + kMaxReferenceLength).find(L';', i + 1);
        char32_t code = 0;
        if (semi != std::wstring_view::npos && semi > i + 1) {
            std::wstring_view body = raw.substr(i + 1, semi - i - 1);
            code = body[0] == L'#' ? NumericReference(body) : LookUpEntity(body);
        }
        if (code == 0) {
            out.push_back(raw[i++]);
            continue;
        }
        // wchar_t holds a whole code point here, so no surrogate pair is needed.
        out.push_back(static_cast<wchar_t>(code));
        i = semi + 1;
    }
    return out;
}

namespace {

bool StartsWithNoCase(std::wstring_view text, size_t at, std::wstring_view lowerPrefix) {
    return at + lowerPrefix.size() <= text.size() &&
           AsciiLower(text.substr(at, lowerPrefix.size())) == lowerPrefix;
}

std::wstring_view Trimmed(std::wstring_view s) {
    while (!s.empty() && IsXmlSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsXmlSpace(s.back())) s.remove_suffix(1);
    return s;
}

// Value of the named attribute (name compared without case) in an attribute area.
std::wstring AttributeNoCase(std::wstring_view area, std::wstring_view lowerName) {
    std::wstring found;
    ScanAttributes(area, [&](const XmlAttributeSpan& a) {
        if (AsciiLower(area.substr(a.nameStart, a.nameLength)) != lowerName) return true;
        found = area.substr(a.valueStart, a.valueLength);
        return false;
    });
    return found;
}

std::wstring CharsetOfMetaElements(std::wstring_view head) {
    for (size_t at = 0; at < head.size(); ++at) {
        if (head[at] != L'<' || !StartsWithNoCase(head, at + 1, L"meta")) continue;
        size_t end = head.find(L'>', at);
        if (end == std::wstring_view::npos) break;
        std::wstring_view area = head.substr(at + 5, end - at - 5);
        if (!area.empty() && area.back() == L'/') area.remove_suffix(1);
        if (AsciiLower(AttributeNoCase(area, L"http-equiv")) != L"content-type") continue;
        std::wstring content = AttributeNoCase(area, L"content");
        std::wstring lower = AsciiLower(content);
        size_t cs = lower.find(L"charset=");
        if (cs == std::wstring::npos) continue;
        size_t from = cs + 8, to = from;
        while (to < content.size() && content[to] != L';' && !IsXmlSpace(content[to])) ++to;
        return content.substr(from, to - from);
    }
    return {};
}

}  // namespace

std::wstring FindDeclaredEncoding(std::wstring_view head) {
    std::wstring_view text = Trimmed(head);
    if (text.substr(0, 5) == L"<?xml") {
        size_t end = text.find(L"?>");
        std::wstring_view area =
            text.substr(5, end == std::wstring_view::npos ? std::wstring_view::npos : end - 5);
        std::wstring declared;
        ScanAttributes(area, [&](const XmlAttributeSpan& a) {
            if (area.substr(a.nameStart, a.nameLength) != L"encoding") return true;
            declared = Trimmed(area.substr(a.valueStart, a.valueLength));
            return false;
        });
        return declared;
    }
    return std::wstring(Trimmed(CharsetOfMetaElements(text)));
}
