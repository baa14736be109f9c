#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "PadTestSupport.h"
#include "audio/KeyStripView.h"
#include "audio/MIDIControllerMap.h"
#include "base/File.h"
#include "base/SerialiseXML.h"
#include "instruments/pads/TriggerPadPackage.h"
#include "instruments/pads/TriggerPadEditor.h"
#include "instruments/pads/ui/TriggerPadKeyStrip.h"
#include "mixer/MixerChannel.h"
#include "platform/DisplayMetrics.h"
#include "render/DrawListFixture.h"

using namespace PadTest;

namespace
{
// An editor without a page: it remembers what it shows and draws the key
// strip, as the package's editor does.
class cStripEditor : public cTriggerPadEditor
{
public:
    cWidget* GetPage() override { return nullptr; }
    void ReleaseEditor() override { delete this; }
    void ShowInstrument(cTriggerPadInstrument* instrument) override { mShown = instrument; }
    cTriggerPadInstrument* GetShownInstrument() const override { return mShown; }
    void CancelHeldPads() override {}
    void DrawKeyStrip(cDrawList& drawList, const cKeyStripView& view, const cTriggerPadInstrument& instrument) override
    {
        mStrip.Draw(drawList, view, instrument);
    }

private:
    cTriggerPadInstrument* mShown = nullptr;
    cTriggerPadKeyStrip mStrip;
};

std::string Save(const std::function<void(Base::cSerialise&)>& body)
{
    File::cFileMemoryWrite stream;
    Base::cSerialiseXML serialiser(1.0f, &stream, 0);
    EXPECT_TRUE(serialiser.Begin());
    body(serialiser);
    EXPECT_TRUE(serialiser.End());
    return std::string(reinterpret_cast<const char*>(stream.GetData()), size_t(stream.GetLength()));
}

bool Load(const std::string& xml, const std::function<bool(Base::cSerialise&)>& body)
{
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(xml.data()), int(xml.size()));
    Base::cSerialiseXML serialiser(1.0f, &stream, 0);
    if (!serialiser.Begin())
        return false;
    const bool ok = body(serialiser);
    serialiser.End();
    return ok;
}

class cScopedDeviceClass
{
public:
    explicit cScopedDeviceClass(int32_t deviceClass) : mSaved(GetDisplayMetrics().deviceClass)
    {
        SetDisplayMetricsForClass(deviceClass);
    }
    ~cScopedDeviceClass() { SetDisplayMetricsForClass(mSaved); }

private:
    int32_t mSaved;
};
} // namespace

// The piano roll names pad notes by their pads.
TEST(TriggerPadInstrument, NotesAreNamedByTheirPads)
{
    cTriggerPadInstrument instrument(nullptr, false);
    cGenStringFixed<32> name;
    instrument.GetNoteName(name, 63);
    EXPECT_STREQ(name.CStr(), "Pad 16");
    instrument.GetNoteName(name, 48);
    EXPECT_STREQ(name.CStr(), "Pad 1");
    instrument.GetNoteRangeName(name, 48, 51);
    EXPECT_STREQ(name.CStr(), "Pads 1-4");
}

// The package: "VRX", sixteen pad rows in the piano roll, fifteen bus
// controllers with their names, volume 7 and pan 10 on the first bus and
// 70..82 on the other thirteen in table order.
TEST(TriggerPadInstrument, ThePackageOffersTheBusesToControllersAndThePianoRoll)
{
    cTriggerPadPackage package;
    EXPECT_STREQ(package.GetName(), "VRX");
    EXPECT_EQ(package.GetDrumLayout(), 1);
    EXPECT_EQ(package.GetKeyRangeLow(), 48.0f);
    EXPECT_EQ(package.GetKeyRangeHigh(), 64.0f);
    EXPECT_EQ(package.GetKeyStep(), 4.0f);
    EXPECT_EQ(package.GetControllerParamCount(), 15);
    EXPECT_STREQ(package.GetControllerName(1), "Bus1 Vol");
    EXPECT_STREQ(package.GetControllerName(3), "");
    EXPECT_STREQ(package.GetControllerName(16), "Bus3 Pan");
    EXPECT_EQ(package.GetControllerName(17), nullptr);
    const int32_t order[15] = {1, 2, 4, 5, 6, 13, 14, 7, 8, 9, 15, 16, 10, 11, 12};
    for (int32_t i = 0; i < 15; ++i)
    {
        const cInstrumentPackage::cControllerParam* param = package.GetControllerParam(i);
        ASSERT_NE(param, nullptr);
        EXPECT_EQ(param->paramIndex, order[i]) << i;
        EXPECT_EQ(param->laneGroup, i / 5) << i;
        EXPECT_EQ(param->maximum, 32767.0f);
        EXPECT_EQ(param->centred, order[i] == 2 || order[i] == 14 || order[i] == 16 ? 1 : 0) << i;
    }
    const cMIDIControllerMap& map = *package.GetControllerMap();
    const std::map<int32_t, int32_t> controllers = {{7, 1},   {10, 2},  {70, 4},  {71, 5},  {72, 6},
                                                    {73, 13}, {74, 14}, {75, 7},  {76, 8},  {77, 9},
                                                    {78, 15}, {79, 16}, {80, 10}, {81, 11}, {82, 12}};
    for (const auto& [controller, parameter] : controllers)
    {
        const cMIDIControllerMap::cSlotList& list = map.GetReverseList(controller);
        ASSERT_EQ(list.count, 1) << controller;
        EXPECT_EQ(list.slots[0], parameter) << controller;
    }
}

// Instruments made with the load flag start on the default bank; the
// editor shows an instrument when it is selected and stops when it goes.
TEST(TriggerPadInstrument, NewInstrumentsLoadTheDefaultBankAndTheEditorFollowsThem)
{
    cSampleFolder folder;
    folder.Write("User/VRX Banks/Default.vrx/Package.vrx",
                 "<Root FileVersion=\"1.0\"><Pad3 Nam=\"Clap.wav\" Grp=\"2\"/></Root>");
    folder.Write("User/VRX Banks/Default.vrx/Clap.wav", LevelWav(400, 0.5f));
    cTriggerPadPackage package;
    auto* editor = new cStripEditor();
    package.SetEditor(editor);
    auto* loaded = static_cast<cTriggerPadInstrument*>(package.CreateInstrument(1));
    auto* empty = static_cast<cTriggerPadInstrument*>(package.CreateInstrument(0));
    EXPECT_EQ(loaded->GetPads()->GetActiveSet().pads[3].chokeGroup, 2);
    EXPECT_NE(loaded->GetPads()->GetSample(3), nullptr);
    EXPECT_EQ(empty->GetPads()->GetSample(3), nullptr);
    EXPECT_TRUE(package.IsSampleInUse(cGenString("User/VRX Banks/Default.vrx/Clap.wav")));
    EXPECT_EQ(loaded->GetChannelCount(), 3);

    loaded->Select();
    EXPECT_EQ(editor->GetShownInstrument(), loaded);
    package.DestroyInstrument(empty);
    EXPECT_EQ(editor->GetShownInstrument(), loaded);
    package.DestroyInstrument(loaded);
    EXPECT_EQ(editor->GetShownInstrument(), nullptr);
    EXPECT_EQ(package.GetInstruments().GetCount(), 0u);
}

// All notes off goes to the module and to the song with the caller's flags
// and the instrument's slot.
TEST(TriggerPadInstrument, AllNotesOffReachesTheModuleAndTheSequencer)
{
    cRecordingSequencer sequencer;
    cPadRig rig;
    rig.instrument.SetSlot(5);
    rig.LoadLevel(0, "Pad", 40000, 0.5f);
    rig.Post(Note(kAudioEventNoteOn, kFirstNote, 100, SongId(1)));
    rig.Render(0);
    rig.instrument.AllNotesOff(kAudioEventFlagTransportStop);
    rig.Render(0);
    EXPECT_EQ(rig.Voices().GetActiveCount(), 0);
    const std::vector<cAudioEvent> passed = sequencer.Take();
    ASSERT_EQ(passed.size(), 1u);
    EXPECT_EQ(passed[0].type, kAudioEventAllNotesOff);
    EXPECT_EQ(passed[0].flags, uint32_t(kAudioEventFlagTransportStop));
    EXPECT_EQ(passed[0].slot, 5);
}

// In a project the instrument keeps its strips, its set, its samples with
// the ranges that fit them, and its editor page; the tablet and desktop show
// no auto-beat page, so page 2 opens as page 0 there.
TEST(TriggerPadInstrument, AProjectReadKeepsFittingRangesAndTheEditorPage)
{
    struct cCase
    {
        int32_t frames;
        int32_t deviceClass;
        int32_t start, end, page;
    };
    const cCase cases[] = {
        {5001, kDeviceClassDesktop, 100, 5000, 0},
        {8000, kDeviceClassTablet, 100, 5000, 0},
        {5000, kDeviceClassPhone, 0, 4999, 2},
    };
    for (const cCase& c : cases)
    {
        cScopedDeviceClass device(c.deviceClass);
        cPadRig rig;
        rig.LoadLevel(0, "Ride", c.frames, 0.5f);
        rig.SetPadInt(0, cTriggerPadData::kParamStart, 100);
        rig.SetPadInt(0, cTriggerPadData::kParamEnd, 5000);
        rig.Post(ModuleParam(cTriggerPad::kParamBus3Volume, 0.3f));
        rig.Render(0);
        rig.instrument.SetMainPage(2);
        const std::string xml = Save([&](Base::cSerialise& s) { EXPECT_TRUE(rig.instrument.Serialise(s, nullptr)); });
        EXPECT_NE(xml.find("MainPage=\"2\""), std::string::npos);

        cMorePads read;
        EXPECT_TRUE(Load(xml, [&](Base::cSerialise& s) { return read.instrument.Serialise(s, nullptr); }));
        const cTriggerPadData& pad = read.pads.GetActiveSet().pads[0];
        EXPECT_EQ(pad.start, c.start) << c.frames;
        EXPECT_EQ(pad.end, c.end) << c.frames;
        EXPECT_EQ(read.instrument.GetMainPage(), c.page) << c.deviceClass;
        EXPECT_NE(read.pads.GetSample(0), nullptr);
        EXPECT_EQ(static_cast<cMixerChannel*>(read.instrument.GetChannel(2))->volume, 0.3f);
        EXPECT_EQ(read.pads.GetParamValue(cTriggerPad::kParamBus3Volume), 0.3f);
    }
}

// A project whose pad sample is gone still opens, and says so.
TEST(TriggerPadInstrument, AProjectReadWithAMissingSampleReportsIt)
{
    cPadRig rig;
    rig.LoadLevel(0, "Gone", 1000, 0.5f);
    const std::string xml = Save([&](Base::cSerialise& s) { rig.instrument.Serialise(s, nullptr); });
    rig.pads.ClearPad(0); // nothing holds the sample loaded any more
    std::filesystem::remove(rig.folder.Doc("User/Samples/Gone.wav"));
    cMorePads read;
    EXPECT_FALSE(Load(xml, [&](Base::cSerialise& s) { return read.instrument.Serialise(s, nullptr); }));
    EXPECT_STREQ(read.pads.GetActiveSet().pads[0].name.CStr(), "Gone");
}

namespace
{
// The key strip drawn into a capturing renderer.
class TriggerPadKeyStripTest : public DrawListFixture
{
protected:
    struct cLabel
    {
        std::string text;
        float x, y;
        uint32_t colour;
    };

    TriggerPadKeyStripTest() : rows(new cTexture("Textures/PianoRollBGPads.pvr", nullptr)) {}
    ~TriggerPadKeyStripTest() override { ReleaseTextureReference(rows); }

    // Glyph quads of the test font carry their character in u and advance
    // by their width, spaces included (which draw nothing); a label is a run
    // of them on one line.
    std::vector<cLabel> Labels() const
    {
        std::vector<cLabel> labels;
        float penEnd = 0.0f;
        for (const auto& draw : renderer.draws)
        {
            if (draw.layout != "cVertexXYZColourTex1")
                continue;
            for (uint32_t q = 0; q + 3 < draw.vertexCount; q += 4)
            {
                const auto& v = draw.Vertex<cVertexXYZColourTex1>(q);
                if (v.u < 32.0f)
                    continue;
                float left = v.x, right = v.x;
                for (uint32_t i = 1; i < 4; ++i)
                {
                    left = std::min(left, draw.Vertex<cVertexXYZColourTex1>(q + i).x);
                    right = std::max(right, draw.Vertex<cVertexXYZColourTex1>(q + i).x);
                }
                if (labels.empty() || labels.back().y != v.y || labels.back().colour != v.colour)
                    labels.push_back({"", left, v.y, v.colour});
                else
                    labels.back().text.append(size_t(std::lround((left - penEnd) / (right - left))), ' ');
                labels.back().text += char(int(v.u));
                penEnd = right;
            }
        }
        return labels;
    }

    std::vector<cVertexXYZColour> Lines() const
    {
        for (const auto& draw : renderer.draws)
            if (draw.primitive == kPrimitiveLines && draw.layout == "cVertexXYZColour")
            {
                std::vector<cVertexXYZColour> lines(draw.vertexCount);
                for (uint32_t i = 0; i < draw.vertexCount; ++i)
                    lines[i] = draw.Vertex<cVertexXYZColour>(i);
                return lines;
            }
        return {};
    }

    cTexture* rows;
};
} // namespace

// Sixteen rows of 20 pixels: the row texture with note 48 at v 0, a label
// "n. name" in translucent white 4 pixels in, a black line at every row's
// top (brown after every fourth pad) across strip and view, and a grey line
// down the strip's right edge, all lines in one batch.
TEST_F(TriggerPadKeyStripTest, PadRowsAreLabelledAndRuled)
{
    cSampleFolder folder;
    folder.Write("User/Samples/Kick.wav", LevelWav(100, 0.5f));
    cTriggerPadPackage package;
    package.SetEditor(new cStripEditor());
    auto* instrument = static_cast<cTriggerPadInstrument*>(package.CreateInstrument(0));
    ASSERT_TRUE(instrument->GetPads()->LoadPadSample(0, "User/Samples/Kick.wav", false));
    cKeyStripView view;
    view.strip = {0.0f, 0.0f, 60.0f, 320.0f};
    view.noteArea = {60.0f, 0.0f, 800.0f, 320.0f};
    view.lowestNote = 48.0f;
    view.noteSpan = 16.0f;
    instrument->DrawKeyStrip(*list, view);
    list->FlushAll();

    ASSERT_FALSE(renderer.draws.empty());
    const auto& background = renderer.draws[0];
    EXPECT_EQ(background.texture, rows);
    const auto& topLeft = background.Vertex<cVertexXYZColourTex1>(0);
    const auto& bottomLeft = background.Vertex<cVertexXYZColourTex1>(2);
    EXPECT_EQ(topLeft.y, 0.0f);
    EXPECT_EQ(topLeft.v, 1.0f) << "note 64 at the top";
    EXPECT_EQ(bottomLeft.y, 320.0f);
    EXPECT_EQ(bottomLeft.v, 0.0f) << "note 48 at the bottom";

    const std::vector<cLabel> labels = Labels();
    ASSERT_EQ(labels.size(), 16u);
    EXPECT_EQ(labels[0].text, "1. Kick");
    EXPECT_EQ(labels[15].text, "16.");
    for (const cLabel& label : labels)
    {
        EXPECT_EQ(label.x, 4.0f);
        EXPECT_EQ(label.colour, 0x64FFFFFFu);
    }
    EXPECT_GT(labels[0].y, labels[1].y) << "pad 1 at the bottom";

    const std::vector<cVertexXYZColour> lines = Lines();
    ASSERT_EQ(lines.size(), 34u);
    for (int32_t pad = 0; pad < 16; ++pad)
    {
        const cVertexXYZColour& from = lines[size_t(pad * 2)];
        const cVertexXYZColour& to = lines[size_t(pad * 2 + 1)];
        EXPECT_EQ(from.y, 320.0f - 20.0f * float(pad + 1)) << pad;
        EXPECT_EQ(from.x, 0.0f);
        EXPECT_EQ(to.x, 800.0f);
        EXPECT_EQ(from.z, 0.01f);
        EXPECT_EQ(from.colour, (pad + 1) % 4 == 0 ? 0xFF64503Cu : 0xFF000000u) << pad;
    }
    EXPECT_EQ(lines[32].x, 60.0f);
    EXPECT_EQ(lines[33].y, 320.0f);
    EXPECT_EQ(lines[32].colour, 0xFF6E6E6Eu);
}

// A zoomed view starts at the lowest visible pad and stops at the strip's
// top, its texture rows lined up with the visible notes.
TEST_F(TriggerPadKeyStripTest, AZoomedViewLabelsOnlyTheVisiblePads)
{
    cTriggerPadPackage package;
    package.SetEditor(new cStripEditor());
    cInstrument* instrument = package.CreateInstrument(0);
    cKeyStripView view;
    view.strip = {0.0f, 0.0f, 60.0f, 120.0f};
    view.noteArea = {60.0f, 0.0f, 400.0f, 120.0f};
    view.lowestNote = 52.5f;
    view.noteSpan = 4.0f;
    instrument->DrawKeyStrip(*list, view);
    list->FlushAll();
    const std::vector<cLabel> labels = Labels();
    ASSERT_EQ(labels.size(), 5u);
    EXPECT_EQ(labels.front().text, "5.");
    EXPECT_EQ(labels.back().text, "9.");
    const auto& background = renderer.draws[0].Vertex<cVertexXYZColourTex1>(0);
    EXPECT_FLOAT_EQ(background.v, (56.5f - 48.0f) * 0.0625f);
}
