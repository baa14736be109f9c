#pragma once
#include <cstdint>

namespace File
{
class cFile;
} // namespace File

// Reads a whole song file before any of it is used: the version, the size
// field against the stream's length, and every count and number the song
// would use as an index or must not compute with. Only a sound file is read
// into the song, so a damaged one never leaves it half replaced. The stream
// is left at an unspecified position.
class cSongFileCheck
{
public:
    enum class eResult
    {
        kSound,
        kNewerVersion,
        kWrongSize,
        kDamaged,
    };

    explicit cSongFileCheck(File::cFile& stream) : mStream(stream) {}

    eResult Check();
    // The program's message for a result; null for a sound file.
    static const char* GetMessage(eResult result);

private:
    bool CheckHeader();
    bool CheckPatterns(uint32_t count);
    bool CheckTracks();
    bool CheckTrack();
    bool CheckPart();
    bool Skip(int64_t bytes);
    // Each reads one field; false (and the check fails) past the stream's end.
    bool Read(int32_t& value);
    bool Read(uint32_t& value);
    bool Read(float& value);
    bool Read(uint8_t& value);
    bool ReadFinite(float& value);
    bool ReadInRange(int32_t minimum, int32_t maximum);

    File::cFile& mStream;
    int32_t mVersion = 0;
};
