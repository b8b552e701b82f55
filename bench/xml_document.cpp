// Speed of the XML document on inputs of the size the program meets and beyond:
// parsing, walking, building an export file element by element, decoding bytes.
#include <benchmark/benchmark.h>

#include <string>

#include "exchange/XmlDocument.h"
#include "exchange/XmlEncodings.h"
#include "base/TextConv.h"

namespace {

// A macro file with `events` items, as the exchange files write it.
std::wstring BuildMacroFile(int events) {
    XmlDocument xml;
    xml.SetText(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    xml.AddElement(L"macro");
    xml.StepIn();
    xml.AddElement(L"macroinfo");
    xml.SetAttribute(L"macro_name", L"Macro 1");
    xml.AddElement(L"macroitems");
    xml.StepIn();
    for (int i = 0; i < events; ++i) {
        xml.AddElement(L"item");
        xml.SetAttribute(L"desc", L"A");
        xml.SetAttribute(L"index", std::to_wstring(i));
        xml.SetAttribute(L"type", L"1");
        xml.SetAttribute(L"value", L"4");
        xml.SetAttribute(L"timestamp", L"10");
    }
    return xml.GetText();
}

void BM_BuildMacroFile(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(BuildMacroFile(static_cast<int>(state.range(0))));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildMacroFile)->Arg(100)->Arg(1000)->Arg(4000);

void BM_ParseAndWalk(benchmark::State& state) {
    const std::wstring text = BuildMacroFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        XmlDocument xml;
        xml.SetText(text);
        xml.FindNext(L"macro");
        xml.StepIn();
        xml.FindNext(L"macroitems");
        xml.StepIn();
        size_t total = 0;
        while (xml.FindNext(L"item")) total += xml.GetAttribute(L"index").size();
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));  // characters
}
BENCHMARK(BM_ParseAndWalk)->Arg(1000)->Arg(20000);

void BM_DecodeBytes(benchmark::State& state) {
    std::string bytes = Orvix::WideToUtf8(BuildMacroFile(5000));
    if (state.range(0)) bytes.replace(bytes.find("UTF-8"), 5, "ISO-8859-1");  // through iconv
    for (auto _ : state) {
        std::wstring result;
        benchmark::DoNotOptimize(DecodeXmlBytes(bytes, result));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_DecodeBytes)->Arg(0)->Arg(1);

}  // namespace
