// Parse and print speed of the XML layer on a 2 MB document shaped like the
// program's own files: nested groups, numeric attributes, names, and long
// base64 preset data. The same document goes through a general XML library
// (pugixml) in the same run, as the yardstick: our pooled and owned parses
// aim to stay within twice its time. Two hostile files check that the parse
// stays linear: a 2 MB value of "&" and 40,000 attributes on one element
// (goal: under 50 ms each).

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <string>

#include "base/File.h"
#include "base/XMLDocument.h"

namespace
{
std::string MakeDocument(size_t targetBytes)
{
    std::string text = "<Root FileVersion=\"6.000000\" Tempo=\"120.000000\" Name=\"Bench &amp; Test\">\n";
    std::string base64;
    for (int i = 0; i < 40; ++i)
        base64 += "QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVphYmNkZWZnaGlqa2xtbm9wcXJzdHV2d3h5ejAx\r\n";
    int track = 0;
    while (text.size() < targetBytes)
    {
        const std::string id = std::to_string(track++);
        text += "   <Track Index=\"" + id + "\" Name=\"Track " + id + "\" Mute=\"false\" Volume=\"0.750000\">\n";
        for (int slot = 0; slot < 4; ++slot)
            text += "      <Slot" + std::to_string(slot) + " Effect=\"Delay\" Mix=\"0.250000\" Time=\"375\" On=\"true\"/>\n";
        text += "      <Preset Data=\"" + base64 + "\"/>\n";
        text += "   </Track>\n";
    }
    text += "</Root>\n";
    return text;
}

const std::string& Document()
{
    static const std::string document = MakeDocument(2 * 1024 * 1024);
    return document;
}

void Parse(benchmark::State& state, bool pooled)
{
    const std::string& text = Document();
    for (auto _ : state)
    {
        File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
        Base::cXMLDocument document(pooled);
        if (!document.LoadFile(&stream))
            state.SkipWithError(document.GetErrorText());
        benchmark::DoNotOptimize(document.FirstChild());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_ParseOwned(benchmark::State& state)
{
    Parse(state, false);
}

void BM_ParsePooled(benchmark::State& state)
{
    Parse(state, true);
}

// A hostile file, built once per shape.
const std::string& HostileDocument(int shape)
{
    static const std::string ampersands = "<Root V=\"" + std::string(2 * 1024 * 1024, '&') + "\"/>";
    static const std::string attributes = [] {
        std::string text = "<Root";
        for (int i = 0; i < 40000; ++i)
            text += " a" + std::to_string(i) + "='1'";
        return text + "/>";
    }();
    return shape == 0 ? ampersands : attributes;
}

void BM_ParseHostile(benchmark::State& state)
{
    const std::string& text = HostileDocument(int(state.range(0)));
    for (auto _ : state)
    {
        File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
        Base::cXMLDocument document;
        if (!document.LoadFile(&stream))
            state.SkipWithError(document.GetErrorText());
        benchmark::DoNotOptimize(document.FirstChild());
    }
    state.SetLabel(state.range(0) == 0 ? "2 MB of &" : "40000 attributes");
}

void BM_PeerParse(benchmark::State& state)
{
    const std::string& text = Document();
    for (auto _ : state)
    {
        pugi::xml_document document;
        if (!document.load_buffer(text.data(), text.size()))
            state.SkipWithError("the peer could not parse the document");
        benchmark::DoNotOptimize(document.first_child());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

// Collects the peer's output as our memory stream collects ours.
class cStringWriter : public pugi::xml_writer
{
public:
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

void BM_PeerPrint(benchmark::State& state)
{
    const std::string& text = Document();
    pugi::xml_document document;
    if (!document.load_buffer(text.data(), text.size()))
        state.SkipWithError("the peer could not parse the document");
    for (auto _ : state)
    {
        cStringWriter writer;
        document.save(writer, "   ", pugi::format_indent | pugi::format_no_declaration);
        benchmark::DoNotOptimize(writer.text.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_Print(benchmark::State& state)
{
    const std::string& text = Document();
    File::cFileMemoryRead input(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
    Base::cXMLDocument document;
    if (!document.LoadFile(&input))
        state.SkipWithError(document.GetErrorText());
    for (auto _ : state)
    {
        File::cFileMemoryWrite stream;
        document.SaveFile(&stream);
        benchmark::DoNotOptimize(stream.GetData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
} // namespace

BENCHMARK(BM_ParseOwned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParsePooled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Print)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerPrint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseHostile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
