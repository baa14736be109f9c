#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "SynthSoundFixture.h"
#include "instruments/synth/AnalogueSynthPackage.h"

namespace
{
std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
} // namespace

using FactoryPresetSound = cSynthSound;

// Every factory preset, as the installer puts the banks into the documents,
// plays middle C for a second at full velocity: a finite sound that is
// heard (above -40 dBFS, as a mix is heard) and stays below full scale. The
// quietest, noise-driven ones vary by a decibel or two with the noise
// generator's state, which other tests leave as they ran before.
TEST_F(FactoryPresetSound, EveryPresetPlaysMiddleCBelowFullScale)
{
    for (char letter = 'A'; letter <= 'G'; ++letter)
    {
        const std::string name = std::string("Instruments/Kest/Global") + letter + ".bnk";
        folder->Write(name, ReadFile(BuildFile("bin/Resource/" + name)));
    }
    cAnalogueSynthPackage package;
    cAnalogueSynthPresetStore& banks = package.GetStore();
    int played = 0;
    for (int32_t bank = 0; bank < cAnalogueSynthPresetStore::kGlobalBankCount; ++bank)
        for (int32_t slot = 0; slot < cAnalogueSynthPresetStore::kSlotCount; ++slot)
        {
            const int32_t id = cAnalogueSynthPresetStore::MakeId(bank, slot);
            const std::string preset = banks.GetSingle(id).Name;
            if (preset == "<EMPTY>")
                continue;
            SCOPED_TRACE(preset);
            cAnalogueSynth synth(nullptr);
            synth.SetStore(&banks);
            SetInt(synth, MakeSynthParamId(kSynthParamSinglePreset), id);
            NoteOn(synth, 60, UserVoice(1), 127);
            const std::vector<float> out = Render(synth, 44100, kBlock, true);
            float peak = 0.0f;
            bool finite = true;
            for (float x : out)
            {
                finite = finite && std::isfinite(x);
                peak = std::fmax(peak, std::fabs(x));
            }
            EXPECT_TRUE(finite);
            EXPECT_GT(peak, 0.01f);
            EXPECT_LT(peak, 1.0f);
            ++played;
        }
    EXPECT_EQ(played, 115);
}
