#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Receives what one open MIDI input port hears: the raw bytes of one event at
// a time, with its arrival time in seconds on the program clock (GetTicks).
// Called on the layer's single reader thread.
class cOsMIDIReceiver
{
public:
    virtual void ReceiveMIDIBytes(const uint8_t* bytes, int32_t count, double seconds) = 0;

protected:
    ~cOsMIDIReceiver() = default;
};

// One open MIDI input port. Destroying it stops and closes it.
//
// The reader thread may be inside the receiver while another thread stops
// the port; Stop waits for that delivery to end. The receiver can learn that
// a stop is waiting (IsActive turns false before the wait) and return early,
// so a receiver blocked on a lock the stopping thread holds never deadlocks.
class cOsMIDIInputPort
{
public:
    virtual ~cOsMIDIInputPort() = default;
    cOsMIDIInputPort(const cOsMIDIInputPort&) = delete;
    cOsMIDIInputPort& operator=(const cOsMIDIInputPort&) = delete;

    // Starts delivery; false when the system refused.
    virtual bool Start() = 0;
    // After it returns the receiver is not running and is not called again.
    virtual void Stop() = 0;

    // Reader thread: false, and nothing may be delivered, while stopped.
    bool BeginDelivery();
    void EndDelivery();
    bool IsActive() const;

protected:
    cOsMIDIInputPort() = default;
    // Opens the gate for deliveries.
    void Activate();
    // Closes it and waits until no delivery is in progress.
    void Deactivate();

private:
    mutable std::mutex mMutex;
    std::condition_variable mIdle;
    bool mActive = false;
    int32_t mDeliveries = 0;
};

// The system's MIDI ports. Names are as the system gives them, in the
// system's order; input index n refers to the n-th name of the latest
// ListInputs.
class cOsMIDI
{
public:
    virtual ~cOsMIDI() = default;

    virtual void ListInputs(std::vector<std::string>& names) = 0;
    virtual void ListOutputs(std::vector<std::string>& names) = 0;
    // Null when the port is gone or cannot be opened.
    virtual std::unique_ptr<cOsMIDIInputPort> OpenInput(int32_t index, cOsMIDIReceiver* receiver) = 0;
};

// The ALSA sequencer. Without a sequencer device it lists nothing and opens
// nothing, and says nothing about it.
std::unique_ptr<cOsMIDI> CreateSystemMIDI();
