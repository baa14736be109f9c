#pragma once
#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "MIDITestHelpers.h"
#include "platform/os/OsMIDI.h"

class cFakeMIDISystem;

// An open port of the fake system; Send plays the system's reader thread.
class cFakeMIDIPort : public cOsMIDIInputPort
{
public:
    cFakeMIDIPort(cFakeMIDISystem& system, const std::string& name, cOsMIDIReceiver* receiver);
    ~cFakeMIDIPort() override;

    bool Start() override;
    void Stop() override { Deactivate(); }

    // False when the port was not delivering.
    bool Send(const tBytes& bytes, double seconds)
    {
        if (!BeginDelivery())
            return false;
        ++deliveriesBegun;
        mReceiver->ReceiveMIDIBytes(bytes.data(), int32_t(bytes.size()), seconds);
        EndDelivery();
        return true;
    }

    const std::string name;
    std::atomic<int32_t> deliveriesBegun{0};

private:
    cFakeMIDISystem& mSystem;
    cOsMIDIReceiver* mReceiver;
};

// Devices the test plugs in and out by editing inputs.
class cFakeMIDISystem : public cOsMIDI
{
public:
    void ListInputs(std::vector<std::string>& names) override
    {
        ++listings;
        names = inputs;
        mListed = inputs;
    }
    void ListOutputs(std::vector<std::string>& names) override { names = outputs; }
    std::unique_ptr<cOsMIDIInputPort> OpenInput(int32_t index, cOsMIDIReceiver* receiver) override
    {
        if (refuseOpen || index < 0 || size_t(index) >= mListed.size())
            return nullptr;
        return std::make_unique<cFakeMIDIPort>(*this, mListed[size_t(index)], receiver);
    }

    // The open port of the raw (unfolded) name, or null.
    cFakeMIDIPort* FindOpen(const std::string& name) const
    {
        for (cFakeMIDIPort* port : open)
            if (port->name == name)
                return port;
        return nullptr;
    }

    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    std::vector<cFakeMIDIPort*> open;
    bool refuseOpen = false;
    bool refuseStart = false;
    int32_t listings = 0;

private:
    std::vector<std::string> mListed;
};

inline cFakeMIDIPort::cFakeMIDIPort(cFakeMIDISystem& system, const std::string& portName, cOsMIDIReceiver* receiver)
    : name(portName), mSystem(system), mReceiver(receiver)
{
    mSystem.open.push_back(this);
}

inline cFakeMIDIPort::~cFakeMIDIPort()
{
    Stop();
    mSystem.open.erase(std::find(mSystem.open.begin(), mSystem.open.end(), this));
}

inline bool cFakeMIDIPort::Start()
{
    if (mSystem.refuseStart)
        return false;
    Activate();
    return true;
}
