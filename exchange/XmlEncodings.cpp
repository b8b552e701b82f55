#include "exchange/XmlEncodings.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <unordered_map>
#include <utility>

#include "exchange/XmlText.h"
#include "base/TextConv.h"
#include "base/FileUtil.h"

namespace {

struct EncodingName {
    const char* name;
    int codePage;
};

// The usual IANA and Windows names and aliases of the encodings a document may
// declare, with the Windows code page number each stands for.
// clang-format off
constexpr EncodingName kEncodingNames[] = {
    {"ibm037", 37}, {"cp037", 37}, {"csibm037", 37}, {"ebcdic-cp-ca", 37}, {"ebcdic-cp-nl", 37},
    {"ebcdic-cp-us", 37}, {"ebcdic-cp-wt", 37}, {"ibm437", 437}, {"437", 437}, {"cp437", 437},
    {"cspc8codepage437", 437}, {"ibm500", 500}, {"cp500", 500}, {"csibm500", 500}, {"ebcdic-cp-be", 500},
    {"ebcdic-cp-ch", 500}, {"asmo-708", 708}, {"dos-720", 720}, {"ibm737", 737}, {"ibm775", 775},
    {"ibm850", 850}, {"cp850", 850}, {"ibm852", 852}, {"cp852", 852}, {"ibm855", 855}, {"cp855", 855},
    {"ibm857", 857}, {"cp857", 857}, {"ibm00858", 858}, {"ccsid00858", 858}, {"cp00858", 858}, {"cp858", 858},
    {"pc-multilingual-850+euro", 858}, {"ibm860", 860}, {"cp860", 860}, {"ibm861", 861}, {"cp861", 861},
    {"dos-862", 862}, {"cp862", 862}, {"ibm862", 862}, {"ibm863", 863}, {"cp863", 863}, {"ibm864", 864},
    {"cp864", 864}, {"ibm865", 865}, {"cp865", 865}, {"cp866", 866}, {"ibm866", 866}, {"ibm869", 869},
    {"cp869", 869}, {"ibm870", 870}, {"cp870", 870}, {"csibm870", 870}, {"ebcdic-cp-roece", 870},
    {"ebcdic-cp-yu", 870}, {"windows-874", 874}, {"dos-874", 874}, {"iso-8859-11", 874}, {"tis-620", 874},
    {"cp875", 875}, {"x-ebcdic-greekmodern", 875}, {"shift_jis", 932}, {"shift-jis", 932},
    {"csshiftjis", 932}, {"cswindows31j", 932}, {"ms_kanji", 932}, {"sjis", 932}, {"x-sjis", 932},
    {"x-ms-cp932", 932}, {"windows-31j", 932}, {"cp932", 932}, {"gb2312", 936}, {"chinese", 936},
    {"cn-gb", 936}, {"csgb2312", 936}, {"csgb231280", 936}, {"csiso58gb231280", 936}, {"gb_2312-80", 936},
    {"gb231280", 936}, {"gb2312-80", 936}, {"gbk", 936}, {"iso-ir-58", 936}, {"x-gbk", 936}, {"cp936", 936},
    {"ms936", 936}, {"windows-936", 936}, {"ks_c_5601-1987", 949}, {"csksc56011987", 949},
    {"iso-ir-149", 949}, {"korean", 949}, {"ks_c_5601", 949}, {"ks_c_5601_1987", 949},
    {"ks_c_5601-1989", 949}, {"ksc_5601", 949}, {"ksc5601", 949}, {"cp949", 949}, {"windows-949", 949},
    {"big5", 950}, {"big5-hkscs", 950}, {"cn-big5", 950}, {"csbig5", 950}, {"x-x-big5", 950}, {"cp950", 950},
    {"ibm1026", 1026}, {"cp1026", 1026}, {"csibm1026", 1026}, {"ibm01047", 1047}, {"ibm1047", 1047},
    {"ibm01140", 1140}, {"ccsid01140", 1140}, {"cp01140", 1140}, {"ebcdic-us-37+euro", 1140},
    {"ibm01141", 1141}, {"ccsid01141", 1141}, {"cp01141", 1141}, {"ebcdic-de-273+euro", 1141},
    {"ibm01142", 1142}, {"ccsid01142", 1142}, {"cp01142", 1142}, {"ebcdic-dk-277+euro", 1142},
    {"ebcdic-no-277+euro", 1142}, {"ibm01143", 1143}, {"ccsid01143", 1143}, {"cp01143", 1143},
    {"ebcdic-fi-278+euro", 1143}, {"ebcdic-se-278+euro", 1143}, {"ibm01144", 1144}, {"ccsid01144", 1144},
    {"cp01144", 1144}, {"ebcdic-it-280+euro", 1144}, {"ibm01145", 1145}, {"ccsid01145", 1145},
    {"cp01145", 1145}, {"ebcdic-es-284+euro", 1145}, {"ibm01146", 1146}, {"ccsid01146", 1146},
    {"cp01146", 1146}, {"ebcdic-gb-285+euro", 1146}, {"ibm01147", 1147}, {"ccsid01147", 1147},
    {"cp01147", 1147}, {"ebcdic-fr-297+euro", 1147}, {"ibm01148", 1148}, {"ccsid01148", 1148},
    {"cp01148", 1148}, {"ebcdic-international-500+euro", 1148}, {"ibm01149", 1149}, {"ccsid01149", 1149},
    {"cp01149", 1149}, {"ebcdic-is-871+euro", 1149}, {"utf-16", 1200}, {"utf-16le", 1200}, {"unicode", 1200},
    {"ucs-2", 1200}, {"iso-10646-ucs-2", 1200}, {"unicodefffe", 1201}, {"utf-16be", 1201},
    {"windows-1250", 1250}, {"x-cp1250", 1250}, {"cp1250", 1250}, {"windows-1251", 1251}, {"x-cp1251", 1251},
    {"cp1251", 1251}, {"windows-1252", 1252}, {"x-ansi", 1252}, {"cp1252", 1252}, {"windows-1253", 1253},
    {"cp1253", 1253}, {"windows-1254", 1254}, {"cp1254", 1254}, {"windows-1255", 1255}, {"cp1255", 1255},
    {"windows-1256", 1256}, {"cp1256", 1256}, {"windows-1257", 1257}, {"cp1257", 1257},
    {"windows-1258", 1258}, {"cp1258", 1258}, {"johab", 1361},
    {"macintosh", 10000}, {"csmacintosh", 10000}, {"mac", 10000}, {"x-mac-japanese", 10001},
    {"x-mac-chinesetrad", 10002}, {"x-mac-korean", 10003}, {"x-mac-arabic", 10004}, {"x-mac-hebrew", 10005},
    {"x-mac-greek", 10006}, {"x-mac-cyrillic", 10007}, {"x-mac-chinesesimp", 10008},
    {"x-mac-romanian", 10010}, {"x-mac-ukrainian", 10017}, {"x-mac-thai", 10021}, {"x-mac-ce", 10029},
    {"x-mac-icelandic", 10079}, {"x-mac-turkish", 10081}, {"x-mac-croatian", 10082},
    {"utf-32le", 12000},
    {"utf-32", 65005}, {"utf-32be", 65006},
    {"x-chinese-cns", 20000}, {"x-chinese_cns", 20000}, {"x-cp20001", 20001}, {"x-chinese-eten", 20002},
    {"x_chinese-eten", 20002}, {"x-cp20003", 20003}, {"x-cp20004", 20004}, {"x-cp20005", 20005},
    {"x-ia5", 20105}, {"irv", 20105}, {"x-ia5-german", 20106}, {"din_66003", 20106}, {"german", 20106},
    {"x-ia5-swedish", 20107}, {"sen_850200_b", 20107}, {"swedish", 20107}, {"x-ia5-norwegian", 20108},
    {"norwegian", 20108}, {"ns_4551-1", 20108}, {"us-ascii", 20127}, {"ansi_x3.4-1968", 20127},
    {"ansi_x3.4-1986", 20127}, {"ascii", 20127}, {"cp367", 20127}, {"csascii", 20127}, {"ibm367", 20127},
    {"iso-ir-6", 20127}, {"iso646-us", 20127}, {"iso_646.irv:1991", 20127}, {"us", 20127},
    {"x-cp20261", 20261}, {"x-cp20269", 20269}, {"ibm273", 20273}, {"cp273", 20273}, {"csibm273", 20273},
    {"ibm277", 20277}, {"csibm277", 20277}, {"ebcdic-cp-dk", 20277}, {"ebcdic-cp-no", 20277},
    {"ibm278", 20278}, {"cp278", 20278}, {"csibm278", 20278}, {"ebcdic-cp-fi", 20278},
    {"ebcdic-cp-se", 20278}, {"ibm280", 20280}, {"cp280", 20280}, {"csibm280", 20280},
    {"ebcdic-cp-it", 20280}, {"ibm284", 20284}, {"cp284", 20284}, {"csibm284", 20284},
    {"ebcdic-cp-es", 20284}, {"ibm285", 20285}, {"cp285", 20285}, {"csibm285", 20285},
    {"ebcdic-cp-gb", 20285}, {"ibm290", 20290}, {"cp290", 20290}, {"csibm290", 20290},
    {"ebcdic-jp-kana", 20290}, {"ibm297", 20297}, {"cp297", 20297}, {"csibm297", 20297},
    {"ebcdic-cp-fr", 20297}, {"ibm420", 20420}, {"cp420", 20420}, {"csibm420", 20420},
    {"ebcdic-cp-ar1", 20420}, {"ibm423", 20423}, {"cp423", 20423}, {"csibm423", 20423},
    {"ebcdic-cp-gr", 20423}, {"ibm424", 20424}, {"cp424", 20424}, {"csibm424", 20424},
    {"ebcdic-cp-he", 20424}, {"x-ebcdic-koreanextended", 20833}, {"ibm-thai", 20838}, {"csibmthai", 20838},
    {"koi8-r", 20866}, {"cskoi8r", 20866}, {"koi", 20866}, {"koi8", 20866}, {"koi8r", 20866},
    {"ibm871", 20871}, {"cp871", 20871}, {"csibm871", 20871}, {"ebcdic-cp-is", 20871}, {"ibm880", 20880},
    {"cp880", 20880}, {"csibm880", 20880}, {"ebcdic-cyrillic", 20880}, {"ibm905", 20905}, {"cp905", 20905},
    {"csibm905", 20905}, {"ebcdic-cp-tr", 20905}, {"ibm00924", 20924}, {"ccsid00924", 20924},
    {"cp00924", 20924}, {"ebcdic-latin9--euro", 20924}, {"x-cp20936", 20936}, {"x-cp20949", 20949},
    {"cp1025", 21025}, {"koi8-u", 21866}, {"koi8-ru", 21866},
    {"iso-8859-1", 28591}, {"cp819", 28591}, {"csisolatin1", 28591}, {"ibm819", 28591}, {"iso_8859-1", 28591},
    {"iso_8859-1:1987", 28591}, {"iso-ir-100", 28591}, {"l1", 28591}, {"latin1", 28591},
    {"iso-8859-2", 28592}, {"csisolatin2", 28592}, {"iso_8859-2", 28592}, {"iso_8859-2:1987", 28592},
    {"iso-ir-101", 28592}, {"l2", 28592}, {"latin2", 28592},
    {"iso-8859-3", 28593}, {"csisolatin3", 28593}, {"iso_8859-3", 28593}, {"iso_8859-3:1988", 28593},
    {"iso-ir-109", 28593}, {"l3", 28593}, {"latin3", 28593},
    {"iso-8859-4", 28594}, {"csisolatin4", 28594}, {"iso_8859-4", 28594}, {"iso_8859-4:1988", 28594},
    {"iso-ir-110", 28594}, {"l4", 28594}, {"latin4", 28594},
    {"iso-8859-5", 28595}, {"csisolatincyrillic", 28595}, {"cyrillic", 28595}, {"iso_8859-5", 28595},
    {"iso_8859-5:1988", 28595}, {"iso-ir-144", 28595},
    {"iso-8859-6", 28596}, {"arabic", 28596}, {"csisolatinarabic", 28596}, {"ecma-114", 28596},
    {"iso_8859-6", 28596}, {"iso_8859-6:1987", 28596}, {"iso-ir-127", 28596},
    {"iso-8859-7", 28597}, {"csisolatingreek", 28597}, {"ecma-118", 28597}, {"elot_928", 28597},
    {"greek", 28597}, {"greek8", 28597}, {"iso_8859-7", 28597}, {"iso_8859-7:1987", 28597},
    {"iso-ir-126", 28597},
    {"iso-8859-8", 28598}, {"csisolatinhebrew", 28598}, {"hebrew", 28598}, {"iso_8859-8", 28598},
    {"iso_8859-8:1988", 28598}, {"iso-8859-8 visual", 28598}, {"iso-ir-138", 28598}, {"logical", 28598},
    {"visual", 28598},
    {"iso-8859-9", 28599}, {"csisolatin5", 28599}, {"iso_8859-9", 28599}, {"iso_8859-9:1989", 28599},
    {"iso-ir-148", 28599}, {"l5", 28599}, {"latin5", 28599},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605}, {"csisolatin9", 28605}, {"iso_8859-15", 28605}, {"l9", 28605}, {"latin9", 28605},
    {"x-europa", 29001},
    {"iso-8859-8-i", 38598},
    {"iso-2022-jp", 50220}, {"csiso2022jp", 50221}, {"iso-2022-kr", 50225}, {"csiso2022kr", 50225},
    {"iso-2022-kr-7", 50225}, {"iso-2022-kr-7bit", 50225}, {"x-cp50227", 50227},
    {"euc-jp", 51932}, {"cseucpkdfmtjapanese", 51932},
    {"extended_unix_code_packed_format_for_japanese", 51932}, {"x-euc", 51932}, {"x-euc-jp", 51932},
    {"euc-cn", 51936}, {"x-euc-cn", 51936}, {"euc-kr", 51949}, {"cseuckr", 51949}, {"iso-2022-kr-8", 51949},
    {"iso-2022-kr-8bit", 51949},
    {"hz-gb-2312", 52936},
    {"gb18030", 54936},
    {"x-iscii-de", 57002}, {"x-iscii-be", 57003}, {"x-iscii-ta", 57004}, {"x-iscii-te", 57005},
    {"x-iscii-as", 57006}, {"x-iscii-or", 57007}, {"x-iscii-ka", 57008}, {"x-iscii-ma", 57009},
    {"x-iscii-gu", 57010}, {"x-iscii-pa", 57011},
    {"utf-7", 65000}, {"csunicode11utf7", 65000}, {"unicode-1-1-utf-7", 65000}, {"unicode-2-0-utf-7", 65000},
    {"x-unicode-1-1-utf-7", 65000}, {"x-unicode-2-0-utf-7", 65000}, {"utf-8", 65001}, {"utf8", 65001},
    {"unicode-1-1-utf-8", 65001}, {"unicode-2-0-utf-8", 65001}, {"x-unicode-1-1-utf-8", 65001},
    {"x-unicode-2-0-utf-8", 65001},
};
// clang-format on

// Encodings whose declaration can only have been read from UTF-8-compatible
// bytes: a real UTF-16 or UTF-32 file is recognised by its byte-order mark, so a
// declaration found in 8-bit text means the text is UTF-8.
bool IsWideUnicode(int cp) {
    return cp == kCodePageUtf16 || cp == kCodePageUtf16Be || cp == 12000 || cp == 12001 || cp == 65005 ||
           cp == 65006;
}

// iconv (glibc gconv) names of the code pages whose name is not "CP<number>".
constexpr std::pair<int, const char*> kIconvNames[] = {
    {kCodePageAnsi, "CP1252"}, {37, "IBM037"},         {500, "IBM500"},         {870, "IBM870"},
    {1026, "IBM1026"},         {1047, "IBM1047"},      {708, "ASMO-708"},       {1361, "JOHAB"},
    {10000, "MACINTOSH"},      {10007, "MACCYRILLIC"}, {10017, "MACUKRAINIAN"}, {10029, "MAC-CENTRALEUROPE"},
    {10079, "MAC-IS"},         {20106, "ISO646-DE"},   {20107, "ISO646-SE"},    {20108, "ISO646-NO"},
    {20127, "ANSI_X3.4-1968"}, {20261, "T.61"},        {20866, "KOI8-R"},       {20924, "IBM924"},
    {21025, "IBM1025"},        {21866, "KOI8-U"},      {28603, "ISO-8859-13"},  {28605, "ISO-8859-15"},
    {38598, "ISO-8859-8"},     {50220, "ISO-2022-JP"}, {50221, "ISO-2022-JP"},  {50225, "ISO-2022-KR"},
    {51932, "EUC-JP"},         {51936, "EUC-CN"},      {51949, "EUC-KR"},       {54936, "GB18030"},
    {65000, "UTF-7"}};

std::string IconvName(int cp) {
    for (const auto& [codePage, name] : kIconvNames)
        if (codePage == cp) return name;
    if (cp >= 28591 && cp <= 28599) return "ISO-8859-" + std::to_string(cp - 28590);
    if (cp >= 1140 && cp <= 1149) return "IBM" + std::to_string(cp);
    if (cp >= 20273 && cp <= 20905) return "IBM" + std::to_string(cp - 20000);  // EBCDIC country pages
    return "CP" + std::to_string(cp);
}

std::wstring Widen(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Runs iconv over the whole input. Input that cannot be converted is replaced by
// `substitute` (already in the output encoding) and skipped by `skipBytes`.
// Returns false when the converter cannot be opened.
bool RunIconv(const std::string& to, const std::string& from, std::string_view in,
              std::string_view substitute, size_t skipBytes, std::string& out, bool& loss, bool& truncated) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char chunk[4096];
    for (;;) {
        char* dst = chunk;
        size_t dstLeft = sizeof chunk;
        if (srcLeft == 0) {  // end any shift state of stateful encodings
            iconv(cd, nullptr, nullptr, &dst, &dstLeft);
            out.append(chunk, dst - chunk);
            break;
        }
        size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        int err = errno;
        out.append(chunk, dst - chunk);
        if (rc != static_cast<size_t>(-1) || err == E2BIG) continue;
        out += substitute;
        if (err == EILSEQ) {
            loss = true;
            size_t skip = std::min(skipBytes, srcLeft);
            src += skip;
            srcLeft -= skip;
        } else {  // EINVAL: the input ends inside a character
            truncated = true;
            srcLeft = 0;
        }
    }
    iconv_close(cd);
    return true;
}

std::string WideToUtf32Le(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 4);
    for (wchar_t ch : text) {
        uint32_t c = static_cast<uint32_t>(ch);
        for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<char>((c >> (8 * k)) & 0xFF));
    }
    return bytes;
}

std::wstring Utf32LeToWide(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size() / 4);
    for (size_t i = 0; i + 3 < bytes.size(); i += 4) {
        uint32_t c = 0;
        for (int k = 0; k < 4; ++k)
            c |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + k])) << (8 * k);
        text.push_back(static_cast<wchar_t>(c));
    }
    return text;
}

std::string WideToUtf16Bytes(std::wstring_view text, bool bigEndian) {
    std::u16string units = Orvix::WideToUtf16(text);
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : units) {
        char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        bytes.push_back(bigEndian ? hi : lo);
        bytes.push_back(bigEndian ? lo : hi);
    }
    return bytes;
}

bool IsValidUtf8(std::string_view bytes) {
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    size_t i = 0;
    while (i < bytes.size()) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        size_t extra = b < 0x80             ? 0
                       : (b & 0xE0) == 0xC0 ? 1
                       : (b & 0xF0) == 0xE0 ? 2
                       : (b & 0xF8) == 0xF0 ? 3
                                            : 4;
        if (extra == 4 || (extra && i + extra >= bytes.size())) return false;
        char32_t c = extra ? b & (0x3F >> extra) : b;
        for (size_t k = 1; k <= extra; ++k) {
            unsigned char cb = static_cast<unsigned char>(bytes[i + k]);
            if ((cb & 0xC0) != 0x80) return false;
            c = (c << 6) | (cb & 0x3F);
        }
        if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

// Converts bytes in a code page through iconv; falls back to UTF-8 when this
// system has no converter for it.
std::wstring DecodeCodePage(int cp, std::string_view bytes, std::wstring& result) {
    std::string utf32;
    bool loss = false, truncated = false;
    if (!RunIconv("UTF-32LE", IconvName(cp), bytes, std::string("\xFD\xFF\0\0", 4), 1, utf32, loss,
                  truncated)) {
        AppendResult(result, L"converted_from", L"unavailable " + std::to_wstring(cp));
        return Orvix::Utf8ToWide(bytes);
    }
    AppendResult(result, L"converted_from", std::to_wstring(cp));
    if (truncated) AppendResult(result, L"truncation_error");
    if (loss) AppendResult(result, L"conversion_loss");
    return Utf32LeToWide(utf32);
}

std::wstring DecodeUtf8(std::string_view bytes, std::wstring& result) {
    if (!IsValidUtf8(bytes)) AppendResult(result, L"conversion_loss");
    return Orvix::Utf8ToWide(bytes);
}

}  // namespace

int CodePageFromName(std::wstring_view name) {
    static const std::unordered_map<std::wstring, int> table = [] {
        std::unordered_map<std::wstring, int> t;
        for (const EncodingName& e : kEncodingNames) t.emplace(Widen(e.name), e.codePage);
        return t;
    }();
    auto it = table.find(AsciiLower(name));
    return it == table.end() ? -1 : it->second;
}

std::wstring DecodeXmlBytes(std::string_view bytes, std::wstring& result) {
    std::wstring text;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        text = DecodeUtf8(bytes.substr(3), result);
    } else if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        bool bigEndian = bytes[0] == '\xFE';
        if (bigEndian) AppendResult(result, L"endian_swap");
        std::string_view body = bytes.substr(2);
        if (body.size() % 2) AppendResult(result, L"truncation_error");
        text = Utf16BytesToWide(body, bigEndian);
    } else {
        std::wstring declared = FindDeclaredEncoding(Orvix::Utf8ToWide(bytes.substr(0, 1024)));
        int cp = declared.empty() ? -1 : CodePageFromName(declared);
        if (cp == kCodePageUtf8 || IsWideUnicode(cp) || (declared.empty() && bytes.substr(0, 1) == "<")) {
            text = DecodeUtf8(bytes, result);
        } else if (cp >= 0) {
            text = DecodeCodePage(cp, bytes, result);
        } else if (IsValidUtf8(bytes)) {  // nothing usable declared: judge by the bytes
            AppendResult(result, L"utf8_detection", L"UTF-8");
            text = Orvix::Utf8ToWide(bytes);
        } else {
            AppendResult(result, L"utf8_detection", L"ANSI");
            text = DecodeCodePage(kCodePageAnsi, bytes, result);
        }
    }
    size_t before = text.size();
    std::erase(text, L'\0');
    if (text.size() != before) AppendResult(result, L"nulls_removed", std::to_wstring(before - text.size()));
    return text;
}

bool EncodeXmlText(std::wstring_view text, std::string& bytes, std::wstring& result) {
    std::wstring declared = FindDeclaredEncoding(text.substr(0, 1024));
    int cp = declared.empty() ? kCodePageUtf8 : CodePageFromName(declared);
    if (cp == kCodePageUtf16 || cp == kCodePageUtf16Be) {
        AppendResult(result, L"converted_to", cp == kCodePageUtf16 ? L"UTF-16LE" : L"UTF-16BE");
        bytes = WideToUtf16Bytes(text, cp == kCodePageUtf16Be);
        return true;
    }
    if (cp > 0 && cp != kCodePageUtf8 && !IsWideUnicode(cp)) {
        std::string question, out;
        bool loss = false, truncated = false;
        RunIconv(IconvName(cp), "UTF-32LE", WideToUtf32Le(L"?"), "", 4, question, loss, truncated);
        if (RunIconv(IconvName(cp), "UTF-32LE", WideToUtf32Le(text), question, 4, out, loss, truncated)) {
            AppendResult(result, L"converted_to", std::to_wstring(cp));
            if (loss) AppendResult(result, L"conversion_loss");
            bytes = std::move(out);
            return !loss;
        }
    }
    // UTF-8, and every name this system cannot convert to: written so that the
    // same file reads back unchanged (an unknown name reads as UTF-8 too).
    bytes = Orvix::WideToUtf8(text);
    return true;
}
