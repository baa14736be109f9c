#include "audio/AudioEvent.h"

std::atomic<uint32_t> NoteIdCounter{0};

uint32_t MakeVoiceId(uint32_t source)
{
    const uint32_t next = NoteIdCounter.fetch_add(1) + 1;
    return (next & 0xffffff) | (source << 24);
}
