#include "platform/os/AlsaMIDIDecoder.h"

#include <alsa/asoundlib.h>

namespace
{
// Every short message fits; sysex pieces grow the buffer to their length.
constexpr size_t kShortBytes = 16;
} // namespace

cAlsaMIDIDecoder::cAlsaMIDIDecoder() : mBytes(kShortBytes)
{
    if (snd_midi_event_new(0, &mParser) < 0)
    {
        mParser = nullptr;
        return;
    }
    snd_midi_event_no_status(mParser, 1);
}

cAlsaMIDIDecoder::~cAlsaMIDIDecoder()
{
    if (mParser)
        snd_midi_event_free(mParser);
}

void cAlsaMIDIDecoder::Reset()
{
    if (mParser)
        snd_midi_event_reset_decode(mParser);
}

int32_t cAlsaMIDIDecoder::Decode(const snd_seq_event& event, const uint8_t*& bytes)
{
    if (!mParser)
        return 0;
    if (snd_seq_ev_is_variable(&event))
    {
        if (event.data.ext.len > kMaxEventBytes)
            return 0;
        if (event.data.ext.len > mBytes.size())
            mBytes.resize(event.data.ext.len);
    }
    const long count = snd_midi_event_decode(mParser, mBytes.data(), long(mBytes.size()), &event);
    if (count <= 0)
        return 0;
    bytes = mBytes.data();
    return int32_t(count);
}
