#pragma once
#include <cstdint>

struct cAudioBuffer;
struct cAudioProcessInfo;

// Lets a rack or instrument sleep once its input has been silent and its
// output has stayed below the threshold for the hold time. The owner calls
// CheckInput before processing and CheckOutput after it, once per float block,
// and sets holdTime and remaining when it is made.
class cSilenceDetector
{
public:
    float holdTime = 0.0f; // seconds
    float remaining = 0.0f; // seconds
    uint8_t active = 0;    // the input had sound this block
    uint8_t stereo = 0;    // test two channels per frame
    uint8_t woke = 0;      // set on leaving sleep; the owner clears it

    void CheckInput(const cAudioProcessInfo& info, const cAudioBuffer& buffer, bool force);
    void CheckOutput(const cAudioProcessInfo& info, const cAudioBuffer& buffer);

    // The owner skips its processing while this holds.
    bool IsAsleep() const { return !active && remaining <= 0.0f; }

private:
    bool HasSound(const cAudioBuffer& buffer) const;
    void Wake();
};
