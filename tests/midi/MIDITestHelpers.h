#pragma once
#include <cstdint>
#include <vector>

#include "midi/MIDIInput.h"
#include "midi/MIDIMessage.h"

using tBytes = std::vector<uint8_t>;

inline tBytes BytesOf(const cMIDIMessage& message)
{
    return tBytes(message.GetData(), message.GetData() + message.GetSize());
}

// Keeps every message and sysex piece an assembler delivers.
class cRecordingCallback : public cMIDIInputCallback
{
public:
    struct cReceived
    {
        tBytes bytes;
        double time;
        cMIDIInput* source;
    };

    void HandleIncomingMessage(cMIDIInput* source, const cMIDIMessage& message) override
    {
        messages.push_back({BytesOf(message), message.GetTimeStamp(), source});
    }
    void HandlePartialSysex(cMIDIInput* source, const uint8_t* bytes, int32_t count, double time) override
    {
        partials.push_back({tBytes(bytes, bytes + count), time, source});
    }

    std::vector<tBytes> MessageBytes() const
    {
        std::vector<tBytes> all;
        for (const cReceived& received : messages)
            all.push_back(received.bytes);
        return all;
    }

    std::vector<cReceived> messages;
    std::vector<cReceived> partials;
};
