#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "midi/MIDIByteAssembler.h"
#include "platform/os/OsMIDI.h"

class cMIDIInput;
class cMIDIMessage;

// Receives the complete messages of open MIDI inputs, on the input thread.
class cMIDIInputCallback
{
public:
    virtual ~cMIDIInputCallback() = default;
    virtual void HandleIncomingMessage(cMIDIInput* source, const cMIDIMessage& message) = 0;
    // The bytes of a system exclusive message so far, while it is unfinished.
    virtual void HandlePartialSysex(cMIDIInput* source, const uint8_t* bytes, int32_t count, double time);
};

// What both device directions carry: the MIDI manager's device slot (0 until
// registered), which travels with every message as its source.
class cMIDIIO
{
public:
    uint8_t GetSlot() const { return mSlot; }
    void SetSlot(uint8_t slot) { mSlot = slot; }
    bool IsOutput() const { return mIsOutput != 0; }

protected:
    explicit cMIDIIO(bool isOutput) : mIsOutput(isOutput ? 1 : 0) {}

private:
    uint8_t mSlot = 0;
    uint8_t mIsOutput = 0;
};

// One open MIDI input device: the system port it reads and the assembler
// that turns the port's bytes into messages for its callback. Created
// open and stopped; destroying it stops and closes it.
class cMIDIInput final : public cMIDIIO, private cOsMIDIReceiver
{
public:
    // The input devices' names: folded to ASCII, a repeated name numbered
    // " 2", " 3"... in list order, so each names one device.
    static std::vector<std::string> GetDevices(cOsMIDI& system);
    // Null without a callback or when the system cannot open the port.
    static std::unique_ptr<cMIDIInput> Open(cOsMIDI& system, int32_t index, const std::string& name,
                                            cMIDIInputCallback* callback);

    ~cMIDIInput();

    bool Start();
    void Stop();

    const std::string& GetName() const { return mName; }
    bool IsStarted() const { return mStarted.load(); }

private:
    cMIDIInput(const std::string& name, cMIDIInputCallback* callback);
    void ReceiveMIDIBytes(const uint8_t* bytes, int32_t count, double seconds) override;

    std::string mName;
    cMIDIInputCallback* mCallback;
    std::unique_ptr<cOsMIDIInputPort> mPort;
    cMIDIByteAssembler mAssembler;
    std::atomic<bool> mStarted{false};
};

// MIDI output devices are listed but never opened.
class cMIDIOutput
{
public:
    // The output devices' names as the system gives them.
    static std::vector<std::string> GetDevices(cOsMIDI& system);
};
