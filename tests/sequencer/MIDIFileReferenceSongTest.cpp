#include "MIDIFileSongFixture.h"
#include "MIDIFileTestSupport.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

// The shared reference song through load, import and export, with "Kest"
// listening as the synthesizer does by default.
namespace
{
// tick, key, velocity, length; or tick, value bytes and id of a controller
using tStored = std::tuple<bool, int32_t, int, int, int, int32_t>;

class MIDIFileReferenceSongTest : public cMIDIFileSongFixture
{
protected:
    void SetUp() override
    {
        const std::vector<uint8_t> bytes = ReadBinaryFile(ReferenceSongPath());
        if (bytes.empty())
            GTEST_FAIL() << "no reference song at " << ReferenceSongPath();
        std::ofstream(DocPath("Reference.mid"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::unique_ptr<cMIDIFileSong> Load(const char* name)
    {
        cGenString error;
        std::unique_ptr<cMIDIFileSong> song(LoadMIDIFile(name, error));
        EXPECT_NE(song, nullptr) << error.CStr();
        return song;
    }
    // Every event of the slot's tracks at its song tick.
    std::vector<tStored> Stored(int32_t slot)
    {
        std::vector<tStored> events;
        const cTrackList::cGroup& group = Tracks().GetGroup(slot);
        for (int32_t index = group.first; index < group.end; ++index)
            for (const cPatternInstance* part = Tracks().GetTrack(index)->GetFirstPart(); part; part = part->next)
                for (const cPatternEvent* e = part->pattern->head; e; e = e->next)
                    events.emplace_back(e->IsController(), part->start + e->time, e->data1, e->data2, e->data3,
                                        e->length);
        return events;
    }
    void Reset()
    {
        Tracks().Clear();
        slots.DestroyAll();
    }
};

TEST_F(MIDIFileReferenceSongTest, ImportedIntoAnEmptySong)
{
    std::unique_ptr<cMIDIFileSong> song = Load("Reference.mid");
    ASSERT_NE(song, nullptr);
    EXPECT_FLOAT_EQ(song->tempo, 120.0f);
    EXPECT_EQ(song->numerator, 4);
    EXPECT_STREQ(song->name.CStr(), "Reference song");
    ASSERT_TRUE(ImportMIDIFileSong(song.release(), false));

    const std::map<int32_t, int> notesPerSlot = {{0, 600}, {1, 256}, {2, 768}, {3, 488}, {4, 960}, {5, 256}, {9, 1542}};
    std::map<int, int> controllers; // by id
    int32_t lastPartEnd = 0;
    for (int32_t slot = 0; slot < cInstrumentSlotTable::kSlotCount; ++slot)
    {
        const auto expected = notesPerSlot.find(slot);
        cInstrument* instrument = slots.GetInstrument(slot);
        if (expected == notesPerSlot.end())
        {
            EXPECT_EQ(instrument, nullptr) << slot;
            EXPECT_EQ(FirstTrack(slot), nullptr) << slot;
            continue;
        }
        ASSERT_NE(instrument, nullptr) << slot;
        EXPECT_EQ(instrument->GetPackage(), kest);
        EXPECT_EQ(std::string(instrument->GetName()), "MIDI " + std::to_string(slot + 1));
        int notes = 0;
        for (const tStored& e : Stored(slot))
        {
            if (std::get<0>(e))
                ++controllers[std::get<4>(e)];
            else
            {
                ++notes;
                EXPECT_LT(std::get<1>(e), 64 * 1024) << "slot " << slot;
            }
        }
        EXPECT_EQ(notes, expected->second) << "slot " << slot;
        lastPartEnd = std::max(lastPartEnd, FirstTrack(slot)->GetEndTime());
    }
    EXPECT_EQ(controllers, (std::map<int, int>{{0, 431}, {1, 370}, {2, 967}}));
    EXPECT_EQ(lastPartEnd, 66560) << "a controller counts 16 ticks past its time";
}

TEST_F(MIDIFileReferenceSongTest, ApplyingPresetsNamesTheInstrumentsAndChoosesTheirPresets)
{
    ASSERT_TRUE(ImportMIDIFileSong(Load("Reference.mid").release(), true));
    const std::vector<std::tuple<int32_t, const char*, int32_t>> expected = {
        {0, "Bass", 38},    {1, "Pad A", 89},    {2, "Pad B", 90},     {3, "Lead", 81},
        {4, "Arpeggio", 80}, {5, "Strings", 48}, {9, "Drums perc", 0},
    };
    for (const auto& [slot, name, preset] : expected)
    {
        auto* instrument = static_cast<cTestInstrument*>(slots.GetInstrument(slot));
        ASSERT_NE(instrument, nullptr) << slot;
        EXPECT_STREQ(instrument->GetName(), name);
        instrument->Module().DrainEvents();
        cAudioEvent sent[2];
        ASSERT_EQ(instrument->Module().Collect(kAudioEventSetIntParam, sent, 2), 1) << slot;
        EXPECT_EQ(sent[0].GetIntValue(), preset) << name;
    }
}

// Exported and imported into a new song: the same notes and controllers on
// every slot, at any tempo; and another player plays every note.
TEST_F(MIDIFileReferenceSongTest, ExportedAndImportedAgainItIsTheSameSong)
{
    for (float tempo : {100.0f, 120.0f, 140.0f})
    {
        Reset();
        ASSERT_TRUE(ImportMIDIFileSong(Load("Reference.mid").release(), false));
        sequencer.SetTempo(tempo);
        std::map<int32_t, std::vector<tStored>> before;
        for (int32_t slot = 0; slot < cInstrumentSlotTable::kSlotCount; ++slot)
            before[slot] = Stored(slot);
        cGenString error;
        ASSERT_TRUE(ExportSongToMIDIFile("Exported.mid", "Reference song", error)) << error.CStr();

        Reset();
        ASSERT_TRUE(ImportMIDIFileSong(Load("Exported.mid").release(), false));
        for (int32_t slot = 0; slot < cInstrumentSlotTable::kSlotCount; ++slot)
            EXPECT_EQ(Stored(slot), before[slot]) << "slot " << slot << " at " << tempo;
    }
    const sRendering rendering = RenderElsewhere(ReadBinaryFile(DocPath("Exported.mid")), DocPath(""));
    if (!rendering.available)
        GTEST_SKIP() << "fluidsynth or its General MIDI sound font is not installed";
    EXPECT_EQ(rendering.noteIds, 4870u);
    EXPECT_GT(rendering.loudest, 1000) << "the rendering is silent";
}
} // namespace
