#pragma once

#include <cstdint>
#include <vector>

// Checks the bytes of a standard MIDI file before the file library sees them,
// which reads past its buffer or aborts on some malformed files, and makes
// the copy it parses. The file must hold its header, a track and every chunk
// it uses; events must lie inside their chunk, with variable-length numbers
// of at most 4 bytes, running status only after a channel message, complete
// channel messages, tempo data of 3 bytes and time-signature data of 4, and a
// non-zero division in ticks.
//
// The copy says the same in the plainest form: the header's track count is
// the tracks copied, other chunks are left out, every channel message carries
// its status, each system-exclusive or escape event becomes an empty text
// event (same time, still counted), a track ends at its end-of-track (added
// when missing) and keeps at most its first kMaxTrackEvents events.
class cMIDIFileValidator
{
public:
    // The reader takes no more events than this from the whole file, so no
    // track can contribute more.
    static constexpr int kMaxTrackEvents = 32768;

    // False when the file is refused; copy then holds nothing useful.
    static bool MakeParseableCopy(const uint8_t* data, int length, std::vector<uint8_t>& copy);
};
