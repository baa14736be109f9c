#include "midi/MIDIManager.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "audio/AudioEvent.h"
#include "audio/AudioModule.h"
#include "base/Serialise.h"
#include "midi/MIDIMessage.h"
#include "midi/MIDIPortSettings.h"
#include "platform/os/OsMIDI.h"

namespace
{
// How long the input thread naps between tries for a busy lock.
constexpr auto kLockRetryPause = std::chrono::microseconds(100);

// System messages that run the transport of a MIDI clock master; the
// studio keeps its own.
bool IsTransportMessage(uint8_t status)
{
    return status == 0xF2 || status == 0xF8 || status == 0xFA || status == 0xFB || status == 0xFC;
}

bool SameDelegate(const cDelegate& a, const cDelegate& b) { return std::memcmp(&a, &b, sizeof(cDelegate)) == 0; }
} // namespace

cMIDIManager::cMIDIManager() : cMIDIManager(CreateSystemMIDI()) {}

cMIDIManager::cMIDIManager(std::unique_ptr<cOsMIDI> system)
    : Base::cSingleton<cMIDIManager>(this), mSystem(std::move(system))
{
    mCollector.Reset(kSampleRate);
    mDeliveryBuffer.Reserve(kDeliveryBufferBytes);
}

// The devices go first, under the lock, so that a delivery in progress gives
// up before the lock and the collector go away.
cMIDIManager::~cMIDIManager()
{
    cScopedLock lock(&mLock);
    mInputs.clear();
    mPorts.clear();
}

bool cMIDIManager::SerialiseSettings(Base::cSerialise& serialiser)
{
    cScopedLock lock(&mLock);
    if (!serialiser.BeginNode("Inputs", true))
        return false;
    if (serialiser.IsSaving())
    {
        for (const auto& port : mPorts)
        {
            serialiser.BeginNode("Port", true);
            serialiser.SerialiseGenString("Name", &port->mName);
            serialiser.SerialiseUInt32("EnableFlags", &port->mEnableFlags, 0, UINT32_MAX);
            serialiser.SerialiseUInt32("Channels", &port->mChannels, 0, UINT32_MAX);
            serialiser.SerialiseBool("Omni", &port->mOmni);
            serialiser.EndNode(nullptr);
        }
    }
    else
    {
        mPorts.clear();
        if (serialiser.BeginNode("Port", false))
        {
            do
            {
                auto port = std::make_unique<cMIDIPortSettings>(this, "", false);
                serialiser.SerialiseGenString("Name", &port->mName);
                serialiser.SerialiseUInt32("EnableFlags", &port->mEnableFlags, 0, UINT32_MAX);
                serialiser.SerialiseUInt32("Channels", &port->mChannels, 0, UINT32_MAX);
                serialiser.SerialiseBool("Omni", &port->mOmni);
                mPorts.push_back(std::move(port));
            } while (serialiser.NextNode("Port"));
            serialiser.EndNode(nullptr);
        }
        ReattachSlots();
    }
    serialiser.EndNode(nullptr);
    return true;
}

// Open devices keep pointing at a record of their name, not at a freed one.
void cMIDIManager::ReattachSlots()
{
    for (cDeviceSlot& slot : mSlots)
        if (slot.device)
            slot.port = &FindOrCreatePort(slot.device->GetName().c_str(), false);
}

cMIDIPortSettings& cMIDIManager::FindOrCreatePort(const char* name, bool isOutput)
{
    if (cMIDIPortSettings* port = FindPortByName(name))
        return *port;
    mPorts.push_back(std::make_unique<cMIDIPortSettings>(this, name, isOutput));
    return *mPorts.back();
}

void cMIDIManager::ScanDevices()
{
    cScopedLock lock(&mLock);
    const std::vector<std::string> listed = cMIDIInput::GetDevices(*mSystem);
    const auto isListed = [&listed](const char* name) {
        return std::find(listed.begin(), listed.end(), name) != listed.end();
    };
    bool changed = false;
    for (const std::string& name : listed)
    {
        cMIDIPortSettings& port = FindOrCreatePort(name.c_str(), false);
        port.mIsOutput = 0;
        if (!port.mPresent)
        {
            port.mPresent = 1;
            changed = true;
        }
        if (port.mEnableFlags != 0 && !FindOpenInput(name.c_str()))
            OpenInput(name);
    }
    for (const auto& port : mPorts)
        if (port->mPresent && !isListed(port->mName.CStr()))
        {
            port->mPresent = 0;
            changed = true;
        }
    for (size_t i = 0; i < mInputs.size();)
    {
        if (isListed(mInputs[i]->GetName().c_str()))
            ++i;
        else
            RemoveInputAt(i); // the next device moves to this index
    }
    if (changed)
        NotifyChangeListeners();
}

void cMIDIManager::RequestRescan()
{
    mStarted = true;
    ScanDevices();
}

void cMIDIManager::Update(float elapsedSeconds)
{
    if (!mStarted)
        return;
    DecayActivity(elapsedSeconds);
    mRescanTimer -= elapsedSeconds;
    if (mRescanTimer < 0.0f)
    {
        ScanDevices();
        mRescanTimer = kRescanSeconds;
    }
}

void cMIDIManager::DecayActivity(float elapsedSeconds)
{
    const float step = kActivityDecayPerSecond * elapsedSeconds;
    for (const auto& port : mPorts)
        for (std::atomic<float>& level : port->mActivity)
            level.store(std::max(0.0f, level.load(std::memory_order_relaxed) - step), std::memory_order_relaxed);
}

bool cMIDIManager::EnterForDelivery(const cMIDIInput* source)
{
    while (!mLock.TryEnter())
    {
        if (source && !source->IsStarted())
            return false;
        std::this_thread::sleep_for(kLockRetryPause);
    }
    return true;
}

void cMIDIManager::HandleIncomingMessage(cMIDIInput* source, const cMIDIMessage& message)
{
    if (mSuspendCount.load() > 0)
        return;
    if (!EnterForDelivery(source))
        return;
    cMIDIPortSettings* port = source && mSlots[source->GetSlot()].device == source ? mSlots[source->GetSlot()].port : nullptr;
    if (port && PassesFilter(*port, message))
        mCollector.addMessageToQueue(message, source->GetSlot());
    mLock.Leave();
}

// Lights the channel's activity even when the channel is then dropped, but
// not for notes of a port whose note input is off.
bool cMIDIManager::PassesFilter(cMIDIPortSettings& port, const cMIDIMessage& message)
{
    const uint8_t status = message.GetStatus();
    if (status < 0x80)
        return false;
    if (!(port.mEnableFlags & cMIDIPortSettings::kEnableBit) && message.IsNoteOnOrOff())
        return false;
    if (status >= 0xF0)
        return !IsTransportMessage(status);
    const int32_t channelIndex = status & 0x0F;
    port.mActivity[channelIndex].store(1.0f, std::memory_order_relaxed);
    return (port.mChannels & (1u << channelIndex)) != 0;
}

void cMIDIManager::DeliverBlock(const cDelegate& sink, uint32_t frames)
{
    mDeliveryBuffer.Clear();
    mCollector.RemoveNextBlock(mDeliveryBuffer, int32_t(frames));
    cMIDIBuffer::cIterator events(mDeliveryBuffer);
    cMIDIMessage message;
    const uint8_t* bytes = nullptr;
    int32_t size = 0;
    int32_t position = 0;
    uint8_t source = 0;
    while (events.Next(bytes, size, position, source))
    {
        message.AssignView(bytes, size, double(position));
        sink.Invoke(&message, int32_t(source));
    }
}

void cMIDIManager::Suspend()
{
    if (mSuspendCount.fetch_add(1) == 0)
        Reset(false);
}

void cMIDIManager::Resume()
{
    if (mSuspendCount.fetch_sub(1) - 1 > 0)
        return;
    // A message that passed the suspend check before has finished.
    mLock.Enter();
    mLock.Leave();
    mSuspendCount.store(0);
}

// The hand-over buffer is left to DeliverBlock, which empties it first
// thing: the audio thread may be using it right now.
void cMIDIManager::Reset(bool keep)
{
    cScopedLock lock(&mLock);
    if (keep)
        return;
    mCollector.ResetKeepingRate();
    for (const auto& input : mInputs)
        SendAllNotesOff(kAllChannels, input->GetSlot());
}

void cMIDIManager::SendAllNotesOff(int32_t channel, uint8_t slot)
{
    if (channel >= 1 && channel <= cMIDIPortSettings::kChannelCount)
    {
        mCollector.AddMessageNow(cMIDIMessage::AllNotesOff(channel), slot);
        return;
    }
    for (int32_t c = 1; c <= cMIDIPortSettings::kChannelCount; ++c)
        mCollector.AddMessageNow(cMIDIMessage::AllNotesOff(c), slot);
}

void cMIDIManager::PostReleaseLiveNotes(cAudioModuleBase* module, bool omniOnly)
{
    if (!module)
        return;
    cScopedLock lock(&mLock);
    for (const auto& input : mInputs)
    {
        const cMIDIPortSettings* port = PortForSlot(input->GetSlot());
        if (omniOnly && (!port || !port->mOmni))
            continue;
        cAudioEvent event;
        event.type = kAudioEventReleaseLiveNotes;
        event.wordA = input->GetSlot();
        module->PostEvent(event); // a full ring drops it
    }
}

void cMIDIManager::OnEnableFlagsChanged(cMIDIPortSettings* port, uint32_t oldFlags, uint32_t newFlags)
{
    cScopedLock lock(&mLock);
    const bool noteInputSwitchedOff = (oldFlags & cMIDIPortSettings::kEnableBit) && !(newFlags & cMIDIPortSettings::kEnableBit);
    if (cMIDIInput* input = FindOpenInput(port->mName.CStr()))
    {
        if (oldFlags != 0 && newFlags == 0)
            CloseDevice(input);
        else if (noteInputSwitchedOff)
            SendAllNotesOff(kAllChannels, input->GetSlot());
    }
    else if (oldFlags == 0 && newFlags != 0)
        OpenInput(port->mName.CStr());
}

void cMIDIManager::OnChannelMaskChanged(cMIDIPortSettings* port, uint32_t oldMask, uint32_t newMask)
{
    cScopedLock lock(&mLock);
    const cMIDIInput* input = FindOpenInput(port->mName.CStr());
    if (!input)
        return;
    for (int32_t channel = 1; channel <= cMIDIPortSettings::kChannelCount; ++channel)
    {
        const uint32_t bit = 1u << (channel - 1);
        if ((oldMask & bit) && !(newMask & bit))
            SendAllNotesOff(channel, input->GetSlot());
    }
}

void cMIDIManager::ReleasePortNotes(cMIDIPortSettings* port)
{
    cScopedLock lock(&mLock);
    if (const cMIDIInput* input = FindOpenInput(port->mName.CStr()))
        SendAllNotesOff(kAllChannels, input->GetSlot());
}

// The slot is checked before the device opens: with all 128 in use a new
// device would have no slot of its own; the next scan tries again.
cMIDIInput* cMIDIManager::OpenInput(const std::string& name)
{
    cScopedLock lock(&mLock);
    const std::vector<std::string> listed = cMIDIInput::GetDevices(*mSystem);
    const auto found = std::find(listed.begin(), listed.end(), name);
    if (found == listed.end() || FindFreeSlot() < 0)
        return nullptr;
    std::unique_ptr<cMIDIInput> input = cMIDIInput::Open(*mSystem, int32_t(found - listed.begin()), name, this);
    if (!input)
        return nullptr;
    input->SetSlot(uint8_t(RegisterDeviceSlot(input.get())));
    mInputs.push_back(std::move(input));
    // A device the system will not start is closed again, so that the next
    // scan retries it rather than keeping it open and silent.
    if (!mInputs.back()->Start())
    {
        RemoveInputAt(mInputs.size() - 1);
        return nullptr;
    }
    return mInputs.back().get();
}

void cMIDIManager::CloseDevice(cMIDIInput* device)
{
    cScopedLock lock(&mLock);
    for (size_t i = 0; i < mInputs.size(); ++i)
        if (mInputs[i].get() == device)
        {
            RemoveInputAt(i);
            return;
        }
}

// Silences what the device left sounding, frees its slot and destroys it.
void cMIDIManager::RemoveInputAt(size_t index)
{
    const uint8_t slot = mInputs[index]->GetSlot();
    SendAllNotesOff(kAllChannels, slot);
    mSlots[slot] = cDeviceSlot();
    mInputs.erase(mInputs.begin() + std::ptrdiff_t(index));
}

int32_t cMIDIManager::FindFreeSlot() const
{
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
        if (!mSlots[slot].device)
            return slot;
    return -1;
}

int32_t cMIDIManager::RegisterDeviceSlot(cMIDIInput* device)
{
    const int32_t slot = FindFreeSlot();
    mSlots[slot].device = device;
    mSlots[slot].port = &FindOrCreatePort(device->GetName().c_str(), device->IsOutput());
    return slot;
}

cMIDIInput* cMIDIManager::FindOpenInput(const char* name) const
{
    for (const auto& input : mInputs)
        if (input->GetName() == name)
            return input.get();
    return nullptr;
}

cMIDIPortSettings* cMIDIManager::FindPortByName(const char* name) const
{
    for (const auto& port : mPorts)
        if (cGenString::EqualsNoCase(port->mName, cGenString(name)))
            return port.get();
    return nullptr;
}

cMIDIPortSettings* cMIDIManager::PortForSlot(int32_t slot) const
{
    return slot >= 0 && slot < kSlotCount ? mSlots[slot].port : nullptr;
}

void cMIDIManager::AddChangeListener(const cDelegate& listener) { mChangeListeners.push_back(listener); }

void cMIDIManager::RemoveChangeListener(const cDelegate& listener)
{
    const auto found = std::find_if(mChangeListeners.begin(), mChangeListeners.end(),
                                    [&listener](const cDelegate& entry) { return SameDelegate(entry, listener); });
    if (found != mChangeListeners.end())
        mChangeListeners.erase(found);
}

void cMIDIManager::NotifyChangeListeners()
{
    for (const cDelegate& listener : mChangeListeners)
        listener.Invoke(this);
}
