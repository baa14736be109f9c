#pragma once
#include <cstdint>

// Sample formats of audio buffers; device buffers are 16-bit, modules render float.
enum : uint32_t
{
    kAudioFormatS8 = 1,
    kAudioFormatS16 = 2,
    kAudioFormatS24 = 3,
    kAudioFormatS32 = 4,
    kAudioFormatS32Converted = 5, // what the float-to-32-bit conversion writes
    kAudioFormatFloat = 6,
};

// 0 for a format this engine does not know.
uint32_t GetBytesPerSample(uint32_t format);

// Descriptor of one block of interleaved audio; the samples are not owned.
struct cAudioBuffer
{
    uint32_t format = 0;
    uint32_t reserved = 0;
    uint32_t frames = 0;
    uint32_t channels = 0; // also the stride between frames, in samples
    uint32_t bytesPerSample = 0;
    uint32_t bytes = 0;
    void* data = nullptr;

    void Describe(uint32_t format, uint32_t frames, uint32_t channels, void* data);
    float* Floats() const { return static_cast<float*>(data); }
};

// What every module's Process is told about the block it renders.
struct cAudioProcessInfo
{
    uint8_t offline = 0; // 1 in renders that do not run on the audio thread
    float duration = 0.0f;
    float sampleRate = 0.0f;
    float secondsPerSample = 0.0f;
    int32_t outputIndex = 0; // which output of a module with several is rendered
    int32_t quality = 2;
};
