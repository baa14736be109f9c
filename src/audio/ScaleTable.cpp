#include "audio/ScaleTable.h"

namespace
{
// The piano layout: black keys sit between their white neighbours, nudged
// towards the wider gap, and take one of three black-key images.
constexpr float kRowB = 1.0f / 3.0f;
constexpr float kRowC = 2.0f / 3.0f;
constexpr cScaleStep kPianoSteps[12] = {
    {1, 0, 0.0f, 0.0f},  {0, 1, 0.85f, 0.0f}, {1, 2, 1.0f, 0.0f},  {0, 3, 2.15f, kRowC},
    {1, 4, 2.0f, 0.0f},  {1, 5, 3.0f, 0.0f},  {0, 6, 3.85f, 0.0f}, {1, 7, 4.0f, 0.0f},
    {0, 8, 5.0f, kRowB}, {1, 9, 5.0f, 0.0f},  {0, 10, 6.15f, kRowC}, {1, 11, 6.0f, 0.0f},
};

// Every step of the other scales is a full-width in-scale key at position k.
template <int32_t N>
struct cFullKeys
{
    cScaleStep steps[N];
    constexpr explicit cFullKeys(const int32_t (&semitones)[N]) : steps()
    {
        for (int32_t k = 0; k < N; ++k)
            steps[k] = {1, semitones[k], float(k), 0.0f};
    }
};

constexpr int32_t kChromatic[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
constexpr int32_t kMajor[] = {0, 2, 4, 5, 7, 9, 11};
constexpr int32_t kMajorPentatonic[] = {0, 2, 4, 7, 9};
constexpr int32_t kMinor[] = {0, 2, 3, 5, 7, 8, 10};
constexpr int32_t kMinorPentatonic[] = {0, 3, 5, 7, 10};
constexpr int32_t kMajorBlues[] = {0, 2, 3, 4, 7, 9};
constexpr int32_t kMinorBlues[] = {0, 3, 5, 6, 7, 10};
constexpr int32_t kDorian[] = {0, 2, 3, 5, 7, 9, 10};
constexpr int32_t kPhrygian[] = {0, 1, 3, 5, 7, 8, 10};
constexpr int32_t kLydian[] = {0, 2, 4, 6, 7, 9, 11};
constexpr int32_t kMixolydian[] = {0, 2, 4, 5, 7, 9, 10};
constexpr int32_t kLocrian[] = {0, 1, 3, 5, 6, 8, 10};
constexpr int32_t kDiminished[] = {0, 2, 3, 5, 6, 8, 9, 11};
constexpr int32_t kWholetone[] = {0, 2, 4, 6, 8, 10};
constexpr int32_t kKlezmer[] = {0, 1, 4, 5, 7, 8, 10};
constexpr int32_t kRyukyu[] = {0, 4, 5, 7, 11};
constexpr int32_t kJapanese[] = {0, 1, 5, 7, 8};
constexpr int32_t kSpanish[] = {0, 1, 3, 4, 5, 7, 8, 10};
constexpr int32_t kGypsy[] = {0, 2, 3, 6, 7, 8, 11};
constexpr int32_t kArabian[] = {0, 2, 4, 5, 6, 8, 10};
constexpr int32_t kEgyptian[] = {0, 2, 5, 7, 10};
constexpr int32_t kHawaiian[] = {0, 2, 3, 7, 9};
constexpr int32_t kBalinese[] = {0, 1, 3, 7, 8};
constexpr int32_t kMinorThird[] = {0, 3, 6, 9};
constexpr int32_t kThird[] = {0, 4, 8};
constexpr int32_t kFourth[] = {0, 5, 10};
constexpr int32_t kFifth[] = {0, 7};

// "Major" and "Ionian" (likewise "Minor" and "Aeolian") are separate entries
// over the same steps.
constexpr cFullKeys kChromaticSteps(kChromatic);
constexpr cFullKeys kMajorSteps(kMajor);
constexpr cFullKeys kMajorPentatonicSteps(kMajorPentatonic);
constexpr cFullKeys kMinorSteps(kMinor);
constexpr cFullKeys kMinorPentatonicSteps(kMinorPentatonic);
constexpr cFullKeys kMajorBluesSteps(kMajorBlues);
constexpr cFullKeys kMinorBluesSteps(kMinorBlues);
constexpr cFullKeys kDorianSteps(kDorian);
constexpr cFullKeys kPhrygianSteps(kPhrygian);
constexpr cFullKeys kLydianSteps(kLydian);
constexpr cFullKeys kMixolydianSteps(kMixolydian);
constexpr cFullKeys kLocrianSteps(kLocrian);
constexpr cFullKeys kDiminishedSteps(kDiminished);
constexpr cFullKeys kWholetoneSteps(kWholetone);
constexpr cFullKeys kKlezmerSteps(kKlezmer);
constexpr cFullKeys kRyukyuSteps(kRyukyu);
constexpr cFullKeys kJapaneseSteps(kJapanese);
constexpr cFullKeys kSpanishSteps(kSpanish);
constexpr cFullKeys kGypsySteps(kGypsy);
constexpr cFullKeys kArabianSteps(kArabian);
constexpr cFullKeys kEgyptianSteps(kEgyptian);
constexpr cFullKeys kHawaiianSteps(kHawaiian);
constexpr cFullKeys kBalineseSteps(kBalinese);
constexpr cFullKeys kMinorThirdSteps(kMinorThird);
constexpr cFullKeys kThirdSteps(kThird);
constexpr cFullKeys kFourthSteps(kFourth);
constexpr cFullKeys kFifthSteps(kFifth);

struct cScaleEntry
{
    const char* name;
    const cScaleStep* steps;
    int32_t stepCount;
};

template <int32_t N>
constexpr cScaleEntry Entry(const char* name, const cFullKeys<N>& keys)
{
    return {name, keys.steps, N};
}

const cScaleEntry kScaleEntries[cScaleTable::kScaleCount] = {
    {"Off", kPianoSteps, 12},
    Entry("Chromatic", kChromaticSteps),
    Entry("Major", kMajorSteps),
    Entry("Major Pentatonic", kMajorPentatonicSteps),
    Entry("Minor", kMinorSteps),
    Entry("Minor Pentatonic", kMinorPentatonicSteps),
    Entry("Major Blues", kMajorBluesSteps),
    Entry("Minor Blues", kMinorBluesSteps),
    Entry("Dorian", kDorianSteps),
    Entry("Ionian", kMajorSteps),
    Entry("Phrygian", kPhrygianSteps),
    Entry("Lydian", kLydianSteps),
    Entry("Mixolydian", kMixolydianSteps),
    Entry("Aeolian", kMinorSteps),
    Entry("Locrian", kLocrianSteps),
    Entry("Diminished", kDiminishedSteps),
    Entry("Wholetone", kWholetoneSteps),
    Entry("Klezmer", kKlezmerSteps),
    Entry("Ryukyu", kRyukyuSteps),
    Entry("Japanese", kJapaneseSteps),
    Entry("Spanish", kSpanishSteps),
    Entry("Gypsy", kGypsySteps),
    Entry("Arabian", kArabianSteps),
    Entry("Egyptian", kEgyptianSteps),
    Entry("Hawaiian", kHawaiianSteps),
    Entry("Balinese", kBalineseSteps),
    Entry("Minor 3rd", kMinorThirdSteps),
    Entry("3rd", kThirdSteps),
    Entry("4th", kFourthSteps),
    Entry("5th", kFifthSteps),
};
} // namespace

void cScale::Init(const char* name, const cScaleStep* steps, int32_t stepCount)
{
    mName = name;
    mSteps = steps;
    mStepCount = stepCount;
    mInScaleCount = 0;
    for (int32_t i = 0; i < stepCount; ++i)
        mInScaleCount += steps[i].inScale ? 1 : 0;
    mOutOfScaleCount = stepCount - mInScaleCount;
    mInScaleSemitones.reset();
    if (mInScaleCount == 0)
        return;
    mInScaleSemitones = std::make_unique<int32_t[]>(size_t(mInScaleCount));
    int32_t n = 0;
    for (int32_t i = 0; i < stepCount; ++i)
        if (steps[i].inScale)
            mInScaleSemitones[n++] = steps[i].semitone;
}

cScaleTable::cScaleTable() : Base::cSingleton<cScaleTable>(this)
{
    for (int32_t i = 0; i < kScaleCount; ++i)
        mScales[i].Init(kScaleEntries[i].name, kScaleEntries[i].steps, kScaleEntries[i].stepCount);
}

cScaleTable::~cScaleTable() = default;

const cScale* cScaleTable::GetScale(int32_t index) const
{
    return index >= 0 && index < kScaleCount ? &mScales[index] : nullptr;
}
