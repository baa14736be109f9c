#include "midi/MIDIInput.h"

#include <map>

#include "midi/FoldToASCII.h"

void cMIDIInputCallback::HandlePartialSysex(cMIDIInput*, const uint8_t*, int32_t, double) {}

std::vector<std::string> cMIDIInput::GetDevices(cOsMIDI& system)
{
    std::vector<std::string> names;
    system.ListInputs(names);
    // The names are the keys of the stored settings: two devices of the
    // same kind must still differ.
    std::map<std::string, int32_t> seen;
    for (std::string& name : names)
    {
        name = FoldToASCII(name);
        const int32_t count = ++seen[name];
        if (count > 1)
        {
            name += ' ';
            name += std::to_string(count);
        }
    }
    return names;
}

std::unique_ptr<cMIDIInput> cMIDIInput::Open(cOsMIDI& system, int32_t index, const std::string& name,
                                             cMIDIInputCallback* callback)
{
    if (!callback)
        return nullptr;
    std::unique_ptr<cMIDIInput> input(new cMIDIInput(name, callback));
    input->mPort = system.OpenInput(index, input.get());
    if (!input->mPort)
        return nullptr;
    return input;
}

cMIDIInput::cMIDIInput(const std::string& name, cMIDIInputCallback* callback)
    : cMIDIIO(false), mName(name), mCallback(callback)
{
}

cMIDIInput::~cMIDIInput() { Stop(); }

bool cMIDIInput::Start()
{
    if (mStarted.load())
        return true;
    mAssembler.Reset();
    mStarted.store(true);
    if (mPort->Start())
        return true;
    mStarted.store(false);
    return false;
}

// The flag drops first, so a delivery waiting for the manager's lock gives
// up while the port waits for it to end.
void cMIDIInput::Stop()
{
    if (!mStarted.exchange(false))
        return;
    mPort->Stop();
    mAssembler.Reset();
}

void cMIDIInput::ReceiveMIDIBytes(const uint8_t* bytes, int32_t count, double seconds)
{
    if (mStarted.load())
        mAssembler.Push(bytes, count, seconds, *mCallback, this);
}

std::vector<std::string> cMIDIOutput::GetDevices(cOsMIDI& system)
{
    std::vector<std::string> names;
    system.ListOutputs(names);
    return names;
}
