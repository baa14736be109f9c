// The MIDI layer on the ALSA sequencer: the program is one client,
// "Quilwright", with one input port. Opening a device subscribes its port to
// ours; a reader thread waits for events on our port and hands each one, as
// raw bytes, to the receiver of the port it came from.
#include <alsa/asoundlib.h>
#include <poll.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "base/Clock.h"
#include "base/Thread.h"
#include "platform/os/AlsaMIDIDecoder.h"
#include "platform/os/OsMIDI.h"

namespace
{
constexpr const char* kClientName = "Quilwright";
constexpr const char* kInputPortName = "Input";
// The reader wakes this often to see whether it must stop.
constexpr int kPollTimeoutMs = 100;
constexpr int kMaxPollDescriptors = 8;
constexpr int32_t kReaderStackBytes = 256 * 1024;

// A machine without a sequencer device is normal here; the library would
// print its failures to standard error.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

double NowSeconds() { return double(GetTicks()) * GetMillisecondsPerTick() * 0.001; }

// "client port", or the port name alone when it already begins with the
// client's name.
std::string PortDisplayName(const char* client, const char* port)
{
    if (std::strncmp(port, client, std::strlen(client)) == 0)
        return port;
    return std::string(client) + " " + port;
}

bool SameAddress(const snd_seq_addr_t& a, const snd_seq_addr_t& b) { return a.client == b.client && a.port == b.port; }

class cAlsaMIDI;

class cAlsaMIDIInputPort final : public cOsMIDIInputPort
{
public:
    cAlsaMIDIInputPort(cAlsaMIDI* owner, const snd_seq_addr_t& address, cOsMIDIReceiver* receiver)
        : mOwner(owner), mAddress(address), mReceiver(receiver)
    {
    }
    ~cAlsaMIDIInputPort() override;

    bool Start() override;
    void Stop() override;

    const snd_seq_addr_t& GetAddress() const { return mAddress; }
    // Reader thread, inside a delivery.
    void Deliver(const snd_seq_event_t& event);

private:
    cAlsaMIDI* mOwner;
    snd_seq_addr_t mAddress;
    cOsMIDIReceiver* mReceiver;
    cAlsaMIDIDecoder mDecoder;
    bool mSubscribed = false;
};

class cAlsaMIDI final : public cOsMIDI
{
public:
    cAlsaMIDI() { snd_lib_error_set_handler(&IgnoreAlsaError); }
    ~cAlsaMIDI() override;

    void ListInputs(std::vector<std::string>& names) override;
    void ListOutputs(std::vector<std::string>& names) override;
    std::unique_ptr<cOsMIDIInputPort> OpenInput(int32_t index, cOsMIDIReceiver* receiver) override;

    // Main thread, from the ports.
    bool Subscribe(const snd_seq_addr_t& address);
    void Unsubscribe(const snd_seq_addr_t& address);
    void Remove(cAlsaMIDIInputPort* port);

private:
    bool EnsureOpen();
    void List(unsigned int capabilities, std::vector<std::string>* names, std::vector<snd_seq_addr_t>* addresses);
    void ReadIteration(cThread* thread);
    bool ReadEvent(snd_seq_event_t*& event);
    void Dispatch(const snd_seq_event_t& event);

    // Guards every call on the handle; never held while delivering.
    std::mutex mSequencerMutex;
    snd_seq_t* mSequencer = nullptr;
    int mClient = -1;
    int mPort = -1;
    std::vector<snd_seq_addr_t> mListedInputs;

    std::mutex mPortsMutex;
    std::vector<cAlsaMIDIInputPort*> mPorts;

    std::unique_ptr<cThread> mReader;
};

cAlsaMIDIInputPort::~cAlsaMIDIInputPort()
{
    Stop();
    mOwner->Remove(this);
}

bool cAlsaMIDIInputPort::Start()
{
    if (!mDecoder.IsValid())
        return false;
    if (!mSubscribed)
    {
        mDecoder.Reset();
        mSubscribed = mOwner->Subscribe(mAddress);
    }
    if (mSubscribed)
        Activate();
    return mSubscribed;
}

void cAlsaMIDIInputPort::Stop()
{
    Deactivate();
    if (mSubscribed)
        mOwner->Unsubscribe(mAddress);
    mSubscribed = false;
}

void cAlsaMIDIInputPort::Deliver(const snd_seq_event_t& event)
{
    const uint8_t* bytes = nullptr;
    const int32_t count = mDecoder.Decode(event, bytes);
    if (count > 0)
        mReceiver->ReceiveMIDIBytes(bytes, count, NowSeconds());
}

cAlsaMIDI::~cAlsaMIDI()
{
    // Waits at most one poll time-out for the reader to finish.
    mReader.reset();
    if (mSequencer)
        snd_seq_close(mSequencer);
}

// Opens the client on first use and keeps it; a machine without a sequencer
// is asked again at the next scan.
bool cAlsaMIDI::EnsureOpen()
{
    if (mSequencer)
        return true;
    snd_seq_t* sequencer = nullptr;
    if (snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0)
        return false;
    snd_seq_set_client_name(sequencer, kClientName);
    const int port = snd_seq_create_simple_port(sequencer, kInputPortName, SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                                SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (port < 0)
    {
        snd_seq_close(sequencer);
        return false;
    }
    mSequencer = sequencer;
    mClient = snd_seq_client_id(sequencer);
    mPort = port;
    // MIDI timing matters as much as the audio's: ask for the same priority.
    mReader = std::make_unique<cThread>("MIDIInput", cDelegate(this, &cAlsaMIDI::ReadIteration),
                                        cThread::kPriorityTimeCritical, cThread::kStateRun, kReaderStackBytes);
    return true;
}

void cAlsaMIDI::List(unsigned int capabilities, std::vector<std::string>* names, std::vector<snd_seq_addr_t>* addresses)
{
    std::lock_guard<std::mutex> lock(mSequencerMutex);
    if (!EnsureOpen())
        return;
    snd_seq_client_info_t* client = nullptr;
    snd_seq_port_info_t* port = nullptr;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(mSequencer, client) >= 0)
    {
        const int id = snd_seq_client_info_get_client(client);
        if (id == SND_SEQ_CLIENT_SYSTEM || id == mClient)
            continue;
        snd_seq_port_info_set_client(port, id);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(mSequencer, port) >= 0)
        {
            const unsigned int caps = snd_seq_port_info_get_capability(port);
            if ((caps & capabilities) != capabilities || (caps & SND_SEQ_PORT_CAP_NO_EXPORT))
                continue;
            names->push_back(PortDisplayName(snd_seq_client_info_get_name(client), snd_seq_port_info_get_name(port)));
            if (addresses)
                addresses->push_back(*snd_seq_port_info_get_addr(port));
        }
    }
}

void cAlsaMIDI::ListInputs(std::vector<std::string>& names)
{
    names.clear();
    std::vector<snd_seq_addr_t> addresses;
    List(SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ, &names, &addresses);
    mListedInputs = std::move(addresses);
}

void cAlsaMIDI::ListOutputs(std::vector<std::string>& names)
{
    names.clear();
    List(SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE, &names, nullptr);
}

std::unique_ptr<cOsMIDIInputPort> cAlsaMIDI::OpenInput(int32_t index, cOsMIDIReceiver* receiver)
{
    if (!receiver || index < 0 || size_t(index) >= mListedInputs.size())
        return nullptr;
    auto port = std::make_unique<cAlsaMIDIInputPort>(this, mListedInputs[size_t(index)], receiver);
    std::lock_guard<std::mutex> lock(mPortsMutex);
    mPorts.push_back(port.get());
    return port;
}

bool cAlsaMIDI::Subscribe(const snd_seq_addr_t& address)
{
    std::lock_guard<std::mutex> lock(mSequencerMutex);
    return mSequencer && snd_seq_connect_from(mSequencer, mPort, address.client, address.port) >= 0;
}

void cAlsaMIDI::Unsubscribe(const snd_seq_addr_t& address)
{
    std::lock_guard<std::mutex> lock(mSequencerMutex);
    if (mSequencer)
        snd_seq_disconnect_from(mSequencer, mPort, address.client, address.port);
}

void cAlsaMIDI::Remove(cAlsaMIDIInputPort* port)
{
    std::lock_guard<std::mutex> lock(mPortsMutex);
    mPorts.erase(std::remove(mPorts.begin(), mPorts.end(), port), mPorts.end());
}

// One wait of the reader thread: up to kPollTimeoutMs for input, then every
// event that has arrived.
void cAlsaMIDI::ReadIteration(cThread*)
{
    pollfd descriptors[kMaxPollDescriptors];
    int count = 0;
    {
        std::lock_guard<std::mutex> lock(mSequencerMutex);
        count = snd_seq_poll_descriptors(mSequencer, descriptors, kMaxPollDescriptors, POLLIN);
    }
    if (count <= 0 || poll(descriptors, nfds_t(count), kPollTimeoutMs) <= 0)
        return;
    snd_seq_event_t* event = nullptr;
    while (ReadEvent(event))
        Dispatch(*event);
}

// The event stays valid until the next read, which only this thread makes.
bool cAlsaMIDI::ReadEvent(snd_seq_event_t*& event)
{
    for (;;)
    {
        int result = 0;
        {
            std::lock_guard<std::mutex> lock(mSequencerMutex);
            result = snd_seq_event_input(mSequencer, &event);
        }
        if (result >= 0 && event)
            return true;
        // An overrun lost events; what follows is still good.
        if (result != -ENOSPC)
            return false;
    }
}

// Events from sources that are not open ports are ignored.
void cAlsaMIDI::Dispatch(const snd_seq_event_t& event)
{
    cAlsaMIDIInputPort* target = nullptr;
    {
        std::lock_guard<std::mutex> lock(mPortsMutex);
        for (cAlsaMIDIInputPort* port : mPorts)
            if (SameAddress(port->GetAddress(), event.source) && port->BeginDelivery())
            {
                target = port;
                break;
            }
    }
    if (!target)
        return;
    target->Deliver(event);
    target->EndDelivery();
}
} // namespace

std::unique_ptr<cOsMIDI> CreateSystemMIDI() { return std::make_unique<cAlsaMIDI>(); }
