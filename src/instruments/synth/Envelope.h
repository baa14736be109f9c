#pragma once
#include <cstdint>

namespace Base
{
class cSerialise;
}
namespace File
{
class cFile;
}

// Stored settings of one attack-decay-sustain-release envelope ("FilterEnv",
// "AmpEnv" and "AuxEnv" of a patch, a pad's "AmpEnv").
struct cEnvelopeParams
{
    enum : uint32_t
    {
        kFlagCurvedDecay = 1u << 0,
        kFlagCurvedRelease = 1u << 1,
    };
    enum : int32_t
    {
        kFieldA = 0,
        kFieldD = 1,
        kFieldS = 2,
        kFieldR = 3,
        kFieldAmount = 4,
        kFieldInvert = 5,
        kVersion = 1,
    };

    uint32_t Flags = 0;
    float A = 0.0f; // attack knob: 9.999 a^3 + 0.001 s
    float D = 0.0f; // decay knob: 9.99 d^3 + 0.01 s
    float S = 1.0f; // sustain level
    float R = 0.0f; // release knob, as the decay
    float Amount = 1.0f; // depth the owner applies
    int32_t Invert = 0; // 1 reports 1 - level

    bool Serialise(Base::cSerialise& s);
    bool SerialiseBinary(File::cFile& stream);

    // Flags has no field: it changes only through stored data.
    float GetParamFloat(int32_t field) const;
    void SetParamFloat(int32_t field, float value);
    int32_t GetParamInt(int32_t field) const;
    void SetParamInt(int32_t field, int32_t value);
};

// The running envelope, advanced once per audio block by the block's
// duration. Idle -> (Trigger) attack -> decay -> sustain -> (Release)
// release -> idle.
class cEnvelope
{
public:
    enum eStage : int32_t
    {
        kStageIdle = 0,
        kStageAttack = 1,
        kStageDecay = 2,
        kStageSustain = 3,
        kStageRelease = 4,
    };
    // Offsets of A, D, S, R and Amount from the modulation matrix.
    static constexpr int32_t kModulationCount = 5;

    cEnvelopeParams* params = nullptr;

    void Trigger();
    // From the current level, whatever the stage.
    void Release();
    // modulation: kModulationCount offsets, or null. Returns the level, or
    // 1 - level when inverted; GetAmount is valid afterwards.
    float Process(const float* modulation, float elapsed);

    int32_t GetStage() const { return mStage; }
    float GetLevel() const { return mLevel; }
    float GetAmount() const { return mAmount; }

private:
    void Attack(const float* offsets, float dt, float sustain);
    void Decay(const float* offsets, float dt, float sustain);
    void Sustain(float sustain);
    void ReleaseStep(const float* offsets, float dt);

    float mProgress = 0.0f;
    float mStart = 0.0f;
    float mTarget = 0.0f;
    float mLevel = 0.0f;
    float mRate = 0.0f;
    float mAmount = 0.0f;
    int32_t mStage = kStageIdle;
};
