// libFuzzer target for XmlDocument: decoding of file bytes, parsing, cursor walks,
// edits and re-encoding. Built and run by run.sh beside it with clang; the file is
// named .cc so that the CMake build, which turns every tests/ folder with .cpp
// files into a GoogleTest program, leaves it alone.
//
// Besides crashes, hangs, leaks and sanitizer reports it checks, in a document
// that parsed well formed, that an attribute reads back exactly as it was set and
// that the index kept up to date by the edits matches a fresh parse of the text;
// and, in any document, that text saved in UTF-8 or UTF-16 decodes unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "exchange/XmlDocument.h"
#include "exchange/XmlEncodings.h"
#include "tests/support/XmlOutline.h"

namespace {

const wchar_t* const kNames[] = {L"", L"a", L"b", L"r", L"mouse", L"key", L"item"};
const wchar_t* const kAttributes[] = {L"x", L"v", L"name", L"encoding"};
const wchar_t kAlphabet[] = {L'a',  L'<',  L'>', L'&', L'"',      L'\'',     L' ',
                             L'\r', L'\n', L';', L'#', L'\u00e9', L'\u914d', L'\U0001F5B1'};

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

const wchar_t kNameAlphabet[] = {L'a', L'!', L'?', L'-', L':',      L'.', L'1',
                                 L'[', L']', L';', L'#', L'\u00e9', L'>'};

template <size_t N>
std::wstring Text(FuzzedDataProvider& in, const wchar_t (&alphabet)[N]) {
    std::wstring text;
    for (size_t n = in.ConsumeIntegralInRange<size_t>(0, 12); n > 0; --n)
        text.push_back(in.PickValueInArray(alphabet));
    return text;
}

void CheckEncodingRoundTrip(const std::wstring& text) {
    std::wstring result;
    std::string bytes;
    EncodeXmlText(text, bytes, result);
    bool direct =
        result.find(L"converted_to=") == std::wstring::npos || result.find(L"converted_to=UTF-16") == 0;
    // The declaration is looked for in the first 1024 bytes when reading and the
    // first 1024 characters when writing; a leading U+FEFF reads as a byte-order mark.
    if (!direct || bytes.size() >= 1024 || (!text.empty() && text[0] == 0xFEFF)) return;
    std::wstring decodeResult;
    Check(DecodeXmlBytes(bytes, decodeResult) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string script = in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(0, 48));
    const std::string bytes = in.ConsumeRemainingBytesAsString();

    std::wstring result;
    XmlDocument xml;
    const bool wellFormed = xml.SetText(DecodeXmlBytes(bytes, result));
    Outline(xml);  // walks every element once
    xml.SetText(xml.GetText());

    FuzzedDataProvider ops(reinterpret_cast<const uint8_t*>(script.data()), script.size());
    int depth = 0;
    while (ops.remaining_bytes() > 0) {
        switch (ops.ConsumeIntegralInRange(0, 5)) {
            case 0:
                xml.FindNext(ops.PickValueInArray(kNames));
                break;
            case 1:
                depth += xml.StepIn() ? 1 : 0;
                break;
            case 2:
                depth -= xml.StepOut() ? 1 : 0;
                break;
            case 3:
                // A second top-level element would make the document malformed on purpose.
                // Generated names probe which names AddElement must refuse.
                if (depth > 0)
                    xml.AddElement(ops.ConsumeBool() ? ops.PickValueInArray(kNames)
                                                     : Text(ops, kNameAlphabet));
                break;
            case 4: {
                const wchar_t* name = ops.PickValueInArray(kAttributes);
                const std::wstring value = Text(ops, kAlphabet);
                // In a damaged start tag the new attribute may pair with junk.
                if (xml.SetAttribute(name, value) && wellFormed) Check(xml.GetAttribute(name) == value);
                break;
            }
            default:
                xml.GetAttribute(ops.PickValueInArray(kAttributes));
                break;
        }
    }
    if (wellFormed) {
        XmlDocument fresh;
        Check(fresh.SetText(xml.GetText()));
        Check(OutlineOfRoot(xml) == Outline(fresh));
    }
    CheckEncodingRoundTrip(xml.GetText());
    return 0;
}
