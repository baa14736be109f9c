// Each wave is a recipe of harmonic amplitudes and phases ("Triangle",
// "Saw" and "Square" are the synthesizer's own band-limited forms). A level
// of n samples keeps the harmonics up to n / 6 (at least the fundamental):
// the oscillator reads a level only while its step is below 3 level samples
// per output sample, so the highest harmonic it keeps, n / 6 cycles per
// table, stays under half the output rate. All levels share the one gain that
// brings level 0 to a peak of 1.0. The synthesizer's wavetable tools fill,
// scale and write the levels.
#include "WaveTables.h"

#include "audio/WaveList.h"
#include "audio/Wavetable.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "instruments/synth/WavetableTools.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>

namespace
{
using tComplex = std::complex<double>;

constexpr double kTwoPi = 6.283185307179586;
constexpr int kHarmonics = int(kWaveTableLength / 6);
constexpr int kPrototypeLength = 16384; // one cycle of a time-domain recipe

// Harmonic h (1..kHarmonics) as a complex amplitude: the real part weighs
// sin(h x), the imaginary part cos(h x).
using tSpectrum = std::vector<tComplex>;
using tShape = std::function<double(double)>;       // one cycle, x in 0..2 pi
using tWeight = std::function<double(int)>;        // amplitude of harmonic h

tSpectrum FromWeights(const tWeight& weight)
{
    tSpectrum spectrum(kHarmonics + 1);
    for (int h = 1; h <= kHarmonics; ++h)
        spectrum[size_t(h)] = weight(h);
    return spectrum;
}

// The spectrum of a cycle drawn in the time domain, from a finely sampled cycle.
tSpectrum FromShape(const tShape& shape)
{
    std::vector<double> cycle(kPrototypeLength), sine(kPrototypeLength), cosine(kPrototypeLength);
    for (int i = 0; i < kPrototypeLength; ++i)
    {
        const double x = kTwoPi * i / kPrototypeLength;
        cycle[size_t(i)] = shape(x);
        sine[size_t(i)] = std::sin(x);
        cosine[size_t(i)] = std::cos(x);
    }
    tSpectrum spectrum(kHarmonics + 1);
    for (int h = 1; h <= kHarmonics; ++h)
    {
        double s = 0.0, c = 0.0;
        for (int i = 0; i < kPrototypeLength; ++i)
        {
            const size_t k = size_t((int64_t(h) * i) % kPrototypeLength);
            s += cycle[size_t(i)] * sine[k];
            c += cycle[size_t(i)] * cosine[k];
        }
        spectrum[size_t(h)] = tComplex(s, c) * (2.0 / kPrototypeLength);
    }
    return spectrum;
}

// Shapes a spectrum by a filter response given per harmonic.
tSpectrum Filtered(tSpectrum spectrum, const std::function<tComplex(int)>& response)
{
    for (int h = 1; h <= kHarmonics; ++h)
        spectrum[size_t(h)] *= response(h);
    return spectrum;
}

tComplex OnePoleLowPass(int h, double corner) { return 1.0 / tComplex(1.0, h / corner); }

tComplex OnePoleHighPass(int h, double corner)
{
    const tComplex s(0.0, h / corner);
    return s / (1.0 + s);
}

tComplex ResonantLowPass(int h, double corner, double q)
{
    const double r = h / corner;
    return 1.0 / tComplex(1.0 - r * r, r / q);
}

// A formant: a resonance peak at harmonic centre, width in harmonics.
double Formant(int h, double centre, double width)
{
    const double d = (h - centre) / width;
    return 1.0 / (1.0 + d * d);
}

double Odd(int h) { return h % 2 == 1 ? 1.0 : 0.0; }

double SawWeight(int h) { return 1.0 / h; }
double SquareWeight(int h) { return Odd(h) / h; }
double TriangleWeight(int h) { return Odd(h) * ((h / 2) % 2 == 0 ? 1.0 : -1.0) / (double(h) * h); }

tSpectrum Pulse(double duty)
{
    tSpectrum spectrum(kHarmonics + 1);
    for (int h = 1; h <= kHarmonics; ++h)
    {
        const double a = kTwoPi * h * duty;
        spectrum[size_t(h)] = tComplex(1.0 - std::cos(a), std::sin(a)) / double(h);
    }
    return spectrum;
}

tSpectrum Sum(const tSpectrum& a, const tSpectrum& b)
{
    tSpectrum spectrum(a.size());
    for (size_t h = 0; h < a.size(); ++h)
        spectrum[h] = a[h] + b[h];
    return spectrum;
}

// Frequency modulation: a carrier at harmonic c moved by a modulator at m.
tSpectrum FM(int carrier, int modulator, double index)
{
    return FromShape([=](double x) { return std::sin(carrier * x + index * std::sin(modulator * x)); });
}

// A few named harmonics, the rest silent.
tSpectrum Partials(std::initializer_list<std::pair<int, double>> partials)
{
    tSpectrum spectrum(kHarmonics + 1);
    for (const auto& [h, amplitude] : partials)
        spectrum[size_t(h)] = amplitude;
    return spectrum;
}

// A voice: a glottal source falling as 1/h through three formants, with the
// formant centres in harmonics of a 110 Hz voice.
tSpectrum Vowel(double f1, double f2, double f3)
{
    return FromWeights([=](int h)
                       { return (Formant(h, f1, 1.2) + 0.6 * Formant(h, f2, 1.8) + 0.3 * Formant(h, f3, 2.5)) / h; });
}

tSpectrum Recipe(int32_t wave)
{
    switch (wave)
    {
    case 1: // Sine
        return Partials({{1, 1.0}});
    case 5: // Pulse, 25 % duty
        return Pulse(0.25);
    case 6: // SawSqr
        return Sum(FromWeights(SawWeight), FromWeights(SquareWeight));
    case 7: // SawTri
        return Sum(FromWeights(SawWeight), FromWeights([](int h) { return 4.0 * TriangleWeight(h); }));
    case 8: // VintSaw 1: a saw softened by a gentle analogue low-pass
        return Filtered(FromWeights(SawWeight), [](int h) { return OnePoleLowPass(h, 24.0); });
    case 9: // VintSaw 2: the charging curve of a capacitor, reset each cycle
        return FromShape([](double x) { return 2.0 * (1.0 - std::exp(-3.0 * x / kTwoPi)) / (1.0 - std::exp(-3.0)) - 1.0; });
    case 10: // VintSqr 1: a square whose flat tops droop through AC coupling
        return Filtered(FromWeights(SquareWeight), [](int h) { return OnePoleHighPass(h, 0.7) * OnePoleLowPass(h, 30.0); });
    case 11: // VintSqr 2: more droop, duller edges
        return Filtered(FromWeights(SquareWeight), [](int h) { return OnePoleHighPass(h, 1.5) * OnePoleLowPass(h, 16.0); });
    case 12: // VintSqr 3: a narrow drooping pulse
        return Filtered(Pulse(0.125), [](int h) { return OnePoleHighPass(h, 1.0) * OnePoleLowPass(h, 20.0); });
    case 14: // Bass 1: round, a little second and third
        return Partials({{1, 1.0}, {2, 0.35}, {3, 0.12}, {4, 0.05}});
    case 15: // Bass 2: a saw through a resonant low-pass
        return Filtered(FromWeights(SawWeight), [](int h) { return ResonantLowPass(h, 6.0, 3.0); });
    case 16: // Bass 3: fundamental and octave
        return Partials({{1, 1.0}, {2, 0.5}, {3, 0.11}, {4, 0.06}});
    case 17: // Bass 4: a square through a resonant low-pass
        return Filtered(FromWeights(SquareWeight), [](int h) { return ResonantLowPass(h, 8.0, 2.0); });
    case 18: // EP 1: a soft tine
        return Partials({{1, 1.0}, {2, 0.25}, {3, 0.08}, {7, 0.04}});
    case 19: // EP 2: a gently modulated tine
        return FM(1, 1, 1.2);
    case 20: // EP 3: a tine with its bell partial
        return FromShape([](double x) { return std::sin(x + 0.8 * std::sin(x) + 0.3 * std::sin(14.0 * x)); });
    case 21: // EP 4: a hammered string, struck an eighth along
        return FromWeights([](int h) { return std::fabs(std::sin(kTwoPi * h / 16.0)) / std::pow(h, 1.5); });
    case 22: // FM 1
        return FM(1, 1, 2.0);
    case 23: // FM 2
        return FM(1, 2, 1.5);
    case 24: // FM 3
        return FM(1, 3, 3.0);
    case 25: // FM 4
        return FM(2, 1, 2.5);
    case 26: // Organ 1: three drawbars
        return Partials({{1, 1.0}, {2, 0.7}, {3, 0.5}});
    case 27: // Organ 2
        return Partials({{1, 1.0}, {2, 1.0}, {3, 0.8}, {4, 0.6}, {6, 0.5}, {8, 0.4}});
    case 28: // Organ 3: every drawbar out
        return Partials({{1, 1.0}, {2, 0.7}, {3, 0.7}, {4, 0.7}, {5, 0.7}, {6, 0.7}, {8, 0.7}});
    case 29: // Organ 4: a reed organ, odd harmonics leading
        return FromWeights([](int h) { return h > 20 ? 0.0 : (Odd(h) + 0.2) / std::pow(h, 0.7); });
    case 30: // Clarinet: odd harmonics, the even ones faint
        return FromWeights([](int h) { return (Odd(h) + 0.05) / h; });
    case 31: // Clavi: a string plucked near its end
        return Filtered(FromWeights([](int h) { return std::sin(kTwoPi * h * 0.04) / h; }),
                        [](int h) { return OnePoleLowPass(h, 40.0); });
    case 32: // Harps: a string plucked at three tenths, falling as 1/h^2
        return FromWeights([](int h) { return std::sin(kTwoPi * h * 0.15) / (double(h) * h); });
    case 33: // Oboe: a nasal formant around the fifth harmonic
        return FromWeights([](int h) { return (0.3 + 2.0 * Formant(h, 5.0, 2.0)) / h; });
    case 34: // Sax: a broad low formant and a bright reed
        return FromWeights([](int h) { return (0.5 + Formant(h, 3.0, 2.5)) / std::pow(h, 0.8); });
    case 35: // Trumpet: brass, rising to the fourth harmonic and falling after
        return FromWeights([](int h) { return std::pow(h, 1.5) * std::exp(-h / 3.5); });
    case 36: // Vox Ah
        return Vowel(6.4, 11.1, 23.6);
    case 37: // Vox Ee
        return Vowel(2.5, 20.8, 27.4);
    default:
        return tSpectrum(kHarmonics + 1);
    }
}

std::vector<cHarmonic> ToRecipe(const tSpectrum& spectrum)
{
    std::vector<cHarmonic> recipe;
    for (size_t h = 1; h < spectrum.size(); ++h)
        recipe.push_back({spectrum[h].real(), spectrum[h].imag()});
    return recipe;
}

void FillLevel(int32_t wave, const std::vector<cHarmonic>& recipe, cWavetable& table, int32_t level)
{
    const int32_t harmonics = std::max<int32_t>(1, int32_t(table.GetLevel(level).length / 6));
    switch (wave)
    {
    case kWaveTriangle:
        FillTriangleLevel(table, level, harmonics);
        break;
    case kWaveSaw:
        FillSawtoothLevel(table, level, harmonics);
        break;
    case kWaveSquare:
        FillBandLimitedSquareLevel(table, level, harmonics);
        break;
    default:
        FillHarmonicLevel(table, level, recipe.data(), int32_t(recipe.size()), harmonics, 1.0);
        break;
    }
}
} // namespace

void BuildWaveTable(int32_t wave, cWavetable& table)
{
    table.AllocateLevels(kWaveTableLength);
    const std::vector<cHarmonic> recipe = ToRecipe(Recipe(wave));
    for (int32_t level = 0; level < table.GetLevelCount(); ++level)
        FillLevel(wave, recipe, table, level);
    const float gain = NormaliseLevel(table, 0);
    for (int32_t level = 1; level < table.GetLevelCount(); ++level)
        ScaleLevel(table, level, gain);
}

bool WriteWaveTables(const std::string& resources)
{
    // The tools write through the "Res" mount, here the generated content.
    cFileSystemRegistry* outer = gFileSystemRegistry;
    new cFileSystemRegistry();
    gFileSystemRegistry->Mount(new File::cFileSystemDisk("Res", resources.c_str()));
    bool ok = true;
    for (int32_t wave = 0; wave < kWaveCount; ++wave)
    {
        if (!WaveHasTable(wave))
            continue;
        cWavetable table(kWaveNames[wave]);
        BuildWaveTable(wave, table);
        ok &= ExportWavetable(table);
    }
    delete gFileSystemRegistry;
    gFileSystemRegistry = outer;
    return ok;
}
