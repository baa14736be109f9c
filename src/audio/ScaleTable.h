#pragma once
#include <cstdint>
#include <memory>

#include "base/Singleton.h"

// One key of a scale keyboard's octave.
struct cScaleStep
{
    uint8_t inScale;   // 0: an out-of-scale (black) key of the piano layout
    int32_t semitone;  // above the octave's root
    float keyPosition; // horizontal place, in in-scale key widths
    float textureRow;  // v of an out-of-scale key's image: 0, 1/3 or 2/3
};

// The notes of one octave of a scale, as the keys an on-screen keyboard shows.
class cScale
{
public:
    // The steps are constant data that outlive the scale.
    void Init(const char* name, const cScaleStep* steps, int32_t stepCount);

    const char* GetName() const { return mName; }
    const cScaleStep* GetSteps() const { return mSteps; }
    int32_t GetStepCount() const { return mStepCount; }
    int32_t GetOutOfScaleCount() const { return mOutOfScaleCount; }
    int32_t GetInScaleCount() const { return mInScaleCount; }
    // The semitones of the in-scale steps, in step order.
    const int32_t* GetInScaleSemitones() const { return mInScaleSemitones.get(); }

private:
    const char* mName = "";
    const cScaleStep* mSteps = nullptr;
    int32_t mStepCount = 0;
    int32_t mOutOfScaleCount = 0;
    int32_t mInScaleCount = 0;
    std::unique_ptr<int32_t[]> mInScaleSemitones;
};

// The scales the on-screen keyboards offer; scale 0, "Off", is the ordinary
// piano layout. Built at start-up, nothing saved.
class cScaleTable : public Base::cSingleton<cScaleTable>
{
public:
    static constexpr int32_t kScaleCount = 30;

    cScaleTable();
    ~cScaleTable();

    // Null outside 0..29.
    const cScale* GetScale(int32_t index) const;

private:
    cScale mScales[kScaleCount];
};
