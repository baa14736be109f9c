#pragma once
#include <cstdint>
#include <vector>

#include "audio/SilenceDetector.h"
#include "base/GenString.h"

class cDelegate;
class cEffect;
struct cAudioBuffer;
struct cAudioProcessInfo;
namespace Base
{
class cSerialise;
}

// One named place in a rack's chain; slots hold an effect, which the node owns.
class cEffectRackNode
{
public:
    enum : int32_t
    {
        kFlagInput = 1,
        kFlagOutput = 2,
        kFlagEffect = 4,
        kFlagCallback = 8, // the rack calls its owner back here (the send returns)
        kFlagDraggable = 16,
        kFlagSlot = 32,
        kKindSlot = kFlagEffect | kFlagDraggable | kFlagSlot,
        kKindReturns = kFlagCallback | kFlagDraggable,
    };

    cEffectRackNode(const char* name, int32_t kind);
    // Deletes the effect after taking it out under the audio manager's lock.
    ~cEffectRackNode();
    cEffectRackNode(const cEffectRackNode&) = delete;
    cEffectRackNode& operator=(const cEffectRackNode&) = delete;

    // A new effect of the registered package with that short name (any case)
    // replaces the node's; nothing happens when there is none. The new effect
    // keeps the enable state it was created with.
    void InstallEffect(const char* shortName);
    // Puts an effect (or none) in, switched on when asked; the previous one is
    // deleted once the audio thread can no longer reach it.
    void SetEffect(cEffect* effect, bool enable);
    void RemoveEffect() { SetEffect(nullptr, false); }
    // The node's element body: "Type" and "Patch" for an effect.
    bool Serialise(Base::cSerialise& serialise);

    cEffectRackNode* GetPrevious() const { return mPrevious; }
    cEffectRackNode* GetNext() const { return mNext; }
    const cGenString& GetName() const { return mName; }
    int32_t GetKind() const { return mKind; }
    cEffect* GetEffect() const { return mEffect; }

private:
    friend class cEffectRack;

    void Load(Base::cSerialise& serialise);
    // Stores the effect under the audio manager's lock; returns the old one.
    cEffect* Exchange(cEffect* effect);

    cEffectRackNode* mPrevious = nullptr;
    cEffectRackNode* mNext = nullptr;
    cGenStringFixed<16> mName;
    int32_t mKind;
    cEffect* mEffect = nullptr;
};

// An insert chain: named nodes run in order on a buffer in place, asleep while
// input and output stay silent, effects reset when it wakes. Process, DrainEvents
// and ResetEffects run on the audio thread under the audio manager's lock;
// whoever changes the chain of a rack in use holds that lock.
class cEffectRack
{
public:
    enum : int32_t
    {
        kStateEmpty = 0,
        kStateAllOff = 1,
        kStateOn = 2,
    };

    static constexpr float kHoldSeconds = 1.0f;

    cEffectRack();
    ~cEffectRack();
    cEffectRack(const cEffectRack&) = delete;
    cEffectRack& operator=(const cEffectRack&) = delete;

    // Appends a node at the end of the chain.
    cEffectRackNode* AddNode(const char* name, int32_t kind);
    // "IN", "SLOT1" to "SLOT4", "OUT": the chain of inserts and previews.
    void BuildInsertChain();
    void DeleteNodes();

    // Exact name, case matters.
    cEffectRackNode* FindNode(const char* name) const;
    // In front of other; at the end when other is null.
    void InsertNodeBefore(cEffectRackNode* node, cEffectRackNode* other);
    // Behind other; at the front when other is null.
    void InsertNodeAfter(cEffectRackNode* node, cEffectRackNode* other);
    // A node of this chain moved in front of other (to the end for null),
    // under the audio manager's lock; the node count stays.
    void MoveNodeBefore(cEffectRackNode* node, cEffectRackNode* other);

    int32_t GetState() const;
    void ResetEffects();
    void RemoveEffects();
    // Delivers the events queued for every effect; once per block.
    void DrainEvents();
    // After DrainEvents, once per block: whether the owner runs the rack. It
    // runs while an effect is on and one block more after the last one went
    // off, so that effect can fade out; effects switched on again start from
    // a reset instead of an old tail.
    bool PrepareBlock();
    // Runs the chain while awake; callback gets each callback node. True when
    // the chain ran, else the input-active flag.
    bool Process(const cAudioProcessInfo& info, cAudioBuffer& buffer, bool inputActive, const cDelegate& callback);
    // The "Nodes" body, shared by channels, chain files and the audition settings.
    bool Serialise(Base::cSerialise& serialise);
    // Reads a "Nodes" body into a copy of this rack's nodes, then takes the
    // copy's effects and order in one short hold of the audio manager's lock;
    // the replaced effects are deleted after it. False, changing nothing,
    // when the body is missing. For racks the audio thread is running.
    bool LoadDetached(Base::cSerialise& serialise);

    cEffectRackNode* GetFirst() const { return mFirst; }
    cEffectRackNode* GetLast() const { return mLast; }
    int32_t GetCount() const { return mCount; }
    const cSilenceDetector& GetDetector() const { return mDetector; }

private:
    void Unlink(cEffectRackNode* node);
    void SaveNodes(Base::cSerialise& serialise);
    // Returns the nodes the body named, in its order.
    std::vector<cEffectRackNode*> LoadNodes(Base::cSerialise& serialise);
    void PlaceLoadedNode(cEffectRackNode* node, cEffectRackNode* placed);
    void TakeLoaded(cEffectRack& copy, const std::vector<cEffectRackNode*>& loaded);

    int32_t mCount = 0;
    cEffectRackNode* mFirst = nullptr;
    cEffectRackNode* mLast = nullptr;
    cSilenceDetector mDetector;
    bool mWasOn = false;
};
