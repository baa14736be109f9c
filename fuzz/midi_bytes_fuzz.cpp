// Feeds arbitrary bytes, cut into arbitrary pieces at arbitrary times, to an
// open device: through the byte assembler, the MIDI manager's input filter,
// the collector and the per-buffer hand-over. Nothing may crash, every
// message handed over is a whole message inside the buffer, and the queue
// holds no more than what arrived since the last hand-over and one sysex.

#include <cstdint>
#include <cstdlib>

#include "FakeMIDISystem.h"
#include "base/Clock.h"
#include "midi/MIDIManager.h"
#include "midi/MIDIPortSettings.h"

namespace
{
constexpr const char* kDevice = "Pocket MIDI Interface";
constexpr uint32_t kFrames = 220;
// The most a pushed byte can cost the queue: a status byte cut short at the
// end of a piece still makes a whole short message, with its header. A
// sysex finished now may hold up to the cap of bytes pushed before.
constexpr int32_t kQueueBytesPerByte = 3 + cMIDIBuffer::kHeaderBytes;
constexpr int32_t kLargestSysexEvent = cMIDIByteAssembler::kMaxSysexBytes + cMIDIBuffer::kHeaderBytes;

class cCheckingSink
{
public:
    void Receive(const cMIDIMessage& message, int32_t)
    {
        const double position = message.GetTimeStamp();
        if (message.GetSize() <= 0 || message.GetData()[0] < 0x80 || position < 0.0 || position >= kFrames)
            std::abort();
    }
};

class cReader
{
public:
    cReader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    bool AtEnd() const { return mPosition >= mSize; }
    uint8_t Byte() { return AtEnd() ? 0 : mData[mPosition++]; }
    const uint8_t* Take(size_t& count)
    {
        count = std::min(count, mSize - mPosition);
        const uint8_t* piece = mData + mPosition;
        mPosition += count;
        return piece;
    }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPosition = 0;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto owned = std::make_unique<cFakeMIDISystem>();
    cFakeMIDISystem& system = *owned;
    system.inputs.push_back(kDevice);
    cMIDIManager manager(std::move(owned));
    manager.RequestRescan();
    cFakeMIDIPort* port = system.FindOpen(kDevice);
    if (!port)
        std::abort();

    cReader reader(data, size);
    cMIDIPortSettings& settings = *manager.FindPortByName(kDevice);
    settings.SetEnableFlags(1u + (reader.Byte() & 1u));
    const uint32_t highChannels = reader.Byte();
    settings.SetChannels(highChannels << 8 | reader.Byte());

    cCheckingSink sink;
    const cDelegate delegate(&sink, &cCheckingSink::Receive);
    manager.DeliverBlock(delegate, kFrames);
    int64_t pushed = 0;
    const double start = GetMilliseconds() * 0.001;
    while (!reader.AtEnd())
    {
        const uint8_t control = reader.Byte();
        size_t count = 1 + (control & 0x3F);
        // Stamps from two seconds before now to two seconds after.
        const double time = start + (int32_t(reader.Byte()) - 128) / 64.0;
        const uint8_t* piece = reader.Take(count);
        port->Send(tBytes(piece, piece + count), time);
        pushed += int64_t(count);
        {
            cScopedLock lock(manager.GetCollector().GetLock());
            if (manager.GetCollector().GetIncoming().GetUsed() > pushed * kQueueBytesPerByte + kLargestSysexEvent)
                std::abort();
        }
        if (control & 0x40)
        {
            manager.DeliverBlock(delegate, kFrames);
            pushed = 0;
        }
        if (control == 0xFF)
        {
            manager.Suspend();
            manager.Resume();
        }
    }
    manager.DeliverBlock(delegate, kFrames);
    if (!manager.GetCollector().GetIncoming().IsEmpty())
        std::abort();
    return 0;
}
