#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <vector>

#include "ScopedWaveBank.h"
#include "audio/AudioBuffer.h"
#include "audio/Oscillator.h"
#include "audio/WaveList.h"
#include "base/File.h"
#include "base/SerialiseXML.h"

namespace
{
constexpr float kRate = 44100.0f;

cAudioProcessInfo ProcessInfo(int32_t quality = 2)
{
    cAudioProcessInfo info;
    info.sampleRate = kRate;
    info.secondsPerSample = 1.0f / kRate;
    info.quality = quality;
    return info;
}

// An oscillator on its own settings, reset as an owner would.
struct cTestOscillator
{
    explicit cTestOscillator(int32_t wave)
    {
        params.Wave = wave;
        osc.Reset();
        osc.SetParams(&params);
    }

    std::vector<float> Render(float note, uint32_t frames, int32_t quality = 2, float offset = 0.0f)
    {
        std::vector<float> data(frames, -9.0f);
        cAudioBuffer buffer;
        buffer.Describe(kAudioFormatFloat, frames, 1, data.data());
        osc.Render(ProcessInfo(quality), buffer, note, offset);
        return data;
    }

    cOscillatorParams params;
    cOscillator osc;
};

void FFT(std::vector<std::complex<double>>& x)
{
    const size_t n = x.size();
    for (size_t i = 1, j = 0; i < n; ++i)
    {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1)
    {
        const std::complex<double> step = std::polar(1.0, -2.0 * M_PI / double(length));
        for (size_t i = 0; i < n; i += length)
        {
            std::complex<double> w = 1.0;
            for (size_t k = 0; k < length / 2; ++k, w *= step)
            {
                const std::complex<double> a = x[i + k], b = x[i + k + length / 2] * w;
                x[i + k] = a + b;
                x[i + k + length / 2] = a - b;
            }
        }
    }
}

// Magnitude spectrum under a 4-term Blackman-Harris window (side lobes below
// -92 dB, main lobe four bins either side).
std::vector<double> Spectrum(const std::vector<float>& signal)
{
    const size_t n = signal.size();
    std::vector<std::complex<double>> x(n);
    for (size_t i = 0; i < n; ++i)
    {
        const double t = 2.0 * M_PI * double(i) / double(n);
        const double w = 0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
        x[i] = signal[i] * w;
    }
    FFT(x);
    std::vector<double> magnitude(n / 2);
    for (size_t i = 0; i < n / 2; ++i)
        magnitude[i] = std::abs(x[i]);
    return magnitude;
}

double Db(double ratio) { return 20.0 * std::log10(ratio); }
} // namespace

TEST(OscillatorTest, NoteToFrequency)
{
    const struct
    {
        float note;
        float hertz;
    } cases[] = {{69.0f, 440.0f}, {81.0f, 880.0f}, {57.0f, 220.0f}, {60.0f, 261.6256f}, {72.0f, 523.2511f}};
    for (const auto& c : cases)
        EXPECT_NEAR(NoteToFrequency(c.note), c.hertz, c.hertz * 1e-6f) << c.note;
}

TEST(OscillatorTest, OffWritesSilenceAndReportsTheBlockDone)
{
    cTestOscillator off(kWaveOff);
    std::vector<float> data(6, 7.0f);
    cAudioBuffer buffer;
    buffer.Describe(kAudioFormatFloat, 3, 2, data.data());
    EXPECT_EQ(off.osc.Prepare(buffer), uint32_t(cOscillator::kPreparedDone));
    EXPECT_EQ(data, (std::vector<float>{0.0f, 7.0f, 0.0f, 7.0f, 0.0f, 7.0f}));
}

// Noise runs the shared 30-bit generator, which starts from the same seed in
// every run of the program.
TEST(OscillatorTest, NoiseFollowsTheSharedGeneratorFromItsStartingSeed)
{
    EXPECT_EQ(cRandom().state, 123456789);
    EXPECT_EQ(cRandom().multiplier, 31415821);
    cRandom expected = gNoiseRandom;
    cTestOscillator noise(kWaveNoise);
    const std::vector<float> block = noise.Render(60.0f, 256);
    for (float x : block)
    {
        EXPECT_EQ(x, float(expected.Step()) * (1.0f / 536870912.0f) - 1.0f);
        EXPECT_GE(x, -1.0f);
        EXPECT_LE(x, 1.0f);
    }
}

// A wave index outside the list plays as "OFF" instead of reading past the bank.
TEST(OscillatorTest, AWaveOutsideTheListIsSilent)
{
    cScopedWaveBank bank;
    for (int32_t wave : {-1, 38, 1000, std::numeric_limits<int32_t>::min()})
    {
        cTestOscillator osc(wave);
        EXPECT_EQ(osc.Render(60.0f, 64), std::vector<float>(64, 0.0f)) << wave;
    }
}

TEST(OscillatorTest, AWaveWithoutItsTableIsSilent)
{
    cScopedWaveBank bank("/nonexistent-quilwright-content");
    for (int32_t wave = 1; wave < kWaveCount; ++wave)
    {
        if (wave == kWaveNoise)
            continue;
        cTestOscillator osc(wave);
        EXPECT_EQ(osc.Render(60.0f, 16), std::vector<float>(16, 0.0f)) << kWaveNames[wave];
    }
}

TEST(OscillatorTest, EveryGeneratedTableLoadsWithTwelveLevelsPeakingAtOne)
{
    cScopedWaveBank bank;
    for (int32_t wave = 0; wave < kWaveCount; ++wave)
    {
        const cWavetable* table = GetWaveTable(wave);
        if (!WaveHasTable(wave))
        {
            EXPECT_EQ(table, nullptr) << wave;
            continue;
        }
        ASSERT_NE(table, nullptr) << kWaveNames[wave];
        ASSERT_FALSE(table->IsEmpty()) << kWaveNames[wave];
        EXPECT_STREQ(table->GetName(), kWaveNames[wave]);
        EXPECT_EQ(table->GetLevelCount(), 12) << kWaveNames[wave];
        const cWavetable::cLevel& top = table->GetLevel(0);
        float peak = 0.0f;
        for (uint32_t i = 0; i < top.length; ++i)
            peak = std::max(peak, std::fabs(top.samples[i]));
        EXPECT_NEAR(peak, 1.0f, 1e-6f) << kWaveNames[wave];
    }
}

TEST(OscillatorTest, ChangingTheWaveRestartsThePhaseAndTheSameWaveDoesNot)
{
    cScopedWaveBank bank;
    cTestOscillator osc(kWaveSaw);
    osc.Render(60.0f, 100);
    const uint32_t phase = osc.osc.GetTableOsc().GetReader().phase;
    ASSERT_NE(phase, 0u);
    osc.params.Wave = kWaveSaw;
    std::vector<float> data(1);
    cAudioBuffer buffer;
    buffer.Describe(kAudioFormatFloat, 1, 1, data.data());
    osc.osc.Prepare(buffer);
    EXPECT_EQ(osc.osc.GetTableOsc().GetReader().phase, phase);
    osc.params.Wave = kWaveSquare;
    osc.osc.Prepare(buffer);
    EXPECT_EQ(osc.osc.GetTableOsc().GetReader().phase, 0u);
    EXPECT_EQ(osc.osc.GetWave(), kWaveSquare);
}

// Quality 2 interpolates every wave, quality 1 only the smooth ones, 0 none.
TEST(OscillatorTest, QualityChoosesInterpolation)
{
    cScopedWaveBank bank;
    for (int32_t wave : {kWaveSaw, kWaveSine})
    {
        const float note = 61.3f; // a step that falls between table samples
        const std::vector<float> plain = cTestOscillator(wave).Render(note, 256, 0);
        const std::vector<float> blended = cTestOscillator(wave).Render(note, 256, 2);
        ASSERT_NE(plain, blended) << kWaveNames[wave];
        const std::vector<float> middle = cTestOscillator(wave).Render(note, 256, 1);
        EXPECT_EQ(middle, wave == kWaveSine ? blended : plain) << kWaveNames[wave];
    }
}

TEST(OscillatorTest, TransposeAndTuneAddToTheNote)
{
    cScopedWaveBank bank;
    cTestOscillator shifted(kWaveSine);
    shifted.params.Trans = 12.0f;
    shifted.params.Tune = -0.5f;
    EXPECT_EQ(shifted.Render(48.5f, 512), cTestOscillator(kWaveSine).Render(60.0f, 512));
}

// With a master at 0 Hz the ratio is taken as 1: the same as a master at the
// slave's own pitch.
TEST(OscillatorTest, SyncToASilentMasterPlaysAtRatioOne)
{
    cScopedWaveBank bank;
    const float note = 57.0f;
    cOscillatorParams zero;
    cOscillatorParams same;
    cTestOscillator a(kWaveSaw), b(kWaveSaw);
    std::vector<float> da(300), db(300);
    cAudioBuffer ba, bb;
    ba.Describe(kAudioFormatFloat, 300, 1, da.data());
    bb.Describe(kAudioFormatFloat, 300, 1, db.data());
    a.osc.RenderSynced(ProcessInfo(), ba, note, -std::numeric_limits<float>::infinity(), zero);
    b.osc.RenderSynced(ProcessInfo(), bb, note, note, same);
    EXPECT_EQ(NoteToFrequency(-std::numeric_limits<float>::infinity()), 0.0f);
    EXPECT_EQ(da, db);
}

TEST(OscillatorTest, SyncRestartsTheSlaveEveryMasterCycle)
{
    cScopedWaveBank bank;
    cTestOscillator slave(kWaveSaw);
    cOscillatorParams master;
    std::vector<float> data(2000);
    cAudioBuffer buffer;
    buffer.Describe(kAudioFormatFloat, 2000, 1, data.data());
    // Master at 441 Hz: one cycle per 100 frames; the slave an octave and a
    // half above restarts with it.
    const float masterNote = 69.0f + 12.0f * std::log2(441.0f / 440.0f);
    slave.osc.RenderSynced(ProcessInfo(), buffer, masterNote + 18.0f, masterNote, master);
    for (int f = 1000; f < 1100; ++f)
        EXPECT_NEAR(data[size_t(f)], data[size_t(f) + 100], 0.02f) << f;
}

// The band-limited levels keep "Saw" free of aliasing: every component that
// is not a harmonic stays 40 dB below the fundamental.
TEST(OscillatorTest, SawKeepsNonHarmonicComponentsFortyDecibelsDown)
{
    cScopedWaveBank bank;
    constexpr size_t kFrames = 16384;
    for (float note : {36.0f, 60.0f, 84.0f, 96.0f})
    {
        cTestOscillator saw(kWaveSaw);
        std::vector<float> signal;
        for (size_t done = 0; done < kFrames; done += 128)
        {
            const std::vector<float> block = saw.Render(note, 128);
            signal.insert(signal.end(), block.begin(), block.end());
        }
        const std::vector<double> spectrum = Spectrum(signal);
        const double binHz = kRate / double(kFrames);
        const double f0 = NoteToFrequency(note);
        const double fundamental = *std::max_element(spectrum.begin() + long(f0 / binHz) - 4,
                                                     spectrum.begin() + long(f0 / binHz) + 5);
        double worst = 0.0;
        for (size_t bin = 1; bin < spectrum.size(); ++bin)
        {
            const double hz = double(bin) * binHz;
            const double harmonic = std::round(hz / f0);
            if (harmonic >= 1.0 && std::fabs(hz - harmonic * f0) <= 5.0 * binHz)
                continue;
            worst = std::max(worst, spectrum[bin]);
        }
        EXPECT_LT(Db(worst / fundamental), -40.0) << "note " << note;
    }
}

TEST(OscillatorTest, ParamsRoundTripThroughXMLAndBinary)
{
    cOscillatorParams params;
    params.Wave = 36;
    params.Trans = -12.0f;
    params.Tune = 0.25f;

    File::cFileMemoryWrite xml;
    {
        Base::cSerialiseXML writer(1.0f, &xml, 0);
        ASSERT_TRUE(writer.Begin());
        ASSERT_TRUE(writer.BeginNode("Osc1", true));
        EXPECT_TRUE(params.Serialise(writer));
        writer.EndNode(nullptr);
        ASSERT_TRUE(writer.End());
    }
    const std::string text(reinterpret_cast<const char*>(xml.GetData()), size_t(xml.GetLength()));
    EXPECT_NE(text.find("Version=\"1\""), std::string::npos) << text;
    EXPECT_NE(text.find("Wave=\"Vox Ah\""), std::string::npos) << text;
    cOscillatorParams back;
    File::cFileMemoryRead in(xml.GetData(), xml.GetLength());
    Base::cSerialiseXML reader(1.0f, &in, 0);
    ASSERT_TRUE(reader.Begin());
    ASSERT_TRUE(reader.BeginNode("Osc1", false));
    EXPECT_TRUE(back.Serialise(reader));
    EXPECT_EQ(back.Wave, 36);
    EXPECT_EQ(back.Trans, -12.0f);
    EXPECT_EQ(back.Tune, 0.25f);

    for (bool legacy : {false, true})
    {
        File::cFileMemoryWrite binary;
        EXPECT_TRUE(params.SerialiseBinary(binary, legacy));
        EXPECT_EQ(binary.GetLength(), legacy ? 12 : 16);
        File::cFileMemoryRead stream(binary.GetData(), binary.GetLength());
        cOscillatorParams read;
        EXPECT_TRUE(read.SerialiseBinary(stream, legacy));
        EXPECT_EQ(read.Wave, 36);
        EXPECT_EQ(read.Trans, -12.0f);
        EXPECT_EQ(read.Tune, 0.25f);
    }
}
