#include "sequencer/MIDIFileSong.h"

cMIDIFileSong::cMIDIFileSong() = default;

void cMIDIFileSong::Clear()
{
    for (sChannel& channel : channels)
    {
        channel.events.clear();
        channel.events.shrink_to_fit();
    }
    texts.clear();
    texts.shrink_to_fit();
    dataBlocks.clear();
    dataBlocks.shrink_to_fit();
    name.Free();
}

cMIDIFileSong::sEvent& cMIDIFileSong::Append(int channel, eEventKind kind, int32_t time)
{
    sEvent& event = channels[channel].events.emplace_back();
    event.kind = kind;
    event.time = time;
    return event;
}

int cMIDIFileSong::AddNote(int channel, int32_t time, int note, int velocity, int32_t length)
{
    sEvent& event = Append(channel, eEventKind::Note, time);
    event.data.bytes[0] = uint8_t(note);
    event.data.bytes[1] = uint8_t(velocity);
    event.length = length;
    return int(channels[channel].events.size()) - 1;
}

int cMIDIFileSong::AddController(int channel, int32_t time, int controller, int value)
{
    sEvent& event = Append(channel, eEventKind::Controller, time);
    event.data.bytes[0] = uint8_t(controller);
    event.data.bytes[1] = uint8_t(value);
    return int(channels[channel].events.size()) - 1;
}

int cMIDIFileSong::AddPitchBend(int channel, int32_t time, int value)
{
    Append(channel, eEventKind::PitchBend, time).data.bend = uint16_t(value);
    return int(channels[channel].events.size()) - 1;
}

int cMIDIFileSong::AddProgram(int channel, int32_t time, int program)
{
    Append(channel, eEventKind::Program, time).data.bytes[0] = uint8_t(program);
    return int(channels[channel].events.size()) - 1;
}

int cMIDIFileSong::AddMarker(int channel, int32_t time, const cGenString& text)
{
    texts.emplace_back(text);
    Append(channel, eEventKind::Marker, time).data.index = int32_t(texts.size()) - 1;
    return int(channels[channel].events.size()) - 1;
}

int cMIDIFileSong::AddSequencerData(int channel, int32_t time, const uint8_t* data, int32_t length)
{
    dataBlocks.emplace_back(data, data + length);
    sEvent& event = Append(channel, eEventKind::SequencerData, time);
    event.data.index = int32_t(dataBlocks.size()) - 1;
    event.length = length;
    return int(channels[channel].events.size()) - 1;
}
