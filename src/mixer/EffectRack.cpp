#include "mixer/EffectRack.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include "audio/AudioLock.h"
#include "base/Delegate.h"
#include "base/Serialise.h"
#include "mixer/Effect.h"
#include "mixer/EffectRegistry.h"

namespace
{
const char* const kInsertChain[] = {"IN", "SLOT1", "SLOT2", "SLOT3", "SLOT4", "OUT"};
const int32_t kInsertKinds[] = {
    cEffectRackNode::kFlagInput, cEffectRackNode::kKindSlot, cEffectRackNode::kKindSlot,
    cEffectRackNode::kKindSlot,  cEffectRackNode::kKindSlot, cEffectRackNode::kFlagOutput,
};
} // namespace

// ---------------------------------------------------------------- nodes

cEffectRackNode::cEffectRackNode(const char* name, int32_t kind)
    : mName(name)
    , mKind(kind)
{
}

cEffectRackNode::~cEffectRackNode() { RemoveEffect(); }

cEffect* cEffectRackNode::Exchange(cEffect* effect)
{
    cScopedAudioLock lock;
    cEffect* previous = mEffect;
    mEffect = effect;
    return previous;
}

void cEffectRackNode::InstallEffect(const char* shortName)
{
    cEffect* effect = gEffectRegistry ? gEffectRegistry->CreateEffect(shortName) : nullptr;
    if (effect)
        delete Exchange(effect);
}

void cEffectRackNode::SetEffect(cEffect* effect, bool enable)
{
    if (effect && enable)
        effect->SetEnabled(true);
    delete Exchange(effect);
}

bool cEffectRackNode::Serialise(Base::cSerialise& serialise)
{
    if (!(mKind & kFlagEffect))
        return true;
    if (!serialise.IsSaving())
    {
        Load(serialise);
        return true;
    }
    if (!mEffect || !mEffect->GetPackage())
        return true;
    const cGenString type(mEffect->GetPackage()->GetShortName());
    serialise.SerialiseTextConst("Type", &type);
    if (serialise.BeginNode("Patch", true))
    {
        mEffect->Serialise(serialise);
        serialise.EndNode("Patch");
    }
    return true;
}

// The new effect reads its patch before the audio thread can reach it; a slot
// without a known "Type" ends up empty.
void cEffectRackNode::Load(Base::cSerialise& serialise)
{
    cGenString type;
    cEffect* effect = nullptr;
    if (serialise.SerialiseText("Type", &type) && gEffectRegistry)
        effect = gEffectRegistry->CreateEffect(type.CStr());
    if (effect && serialise.BeginNode("Patch", true))
    {
        effect->Serialise(serialise);
        serialise.EndNode("Patch");
    }
    delete Exchange(effect);
}

// ---------------------------------------------------------------- rack

cEffectRack::cEffectRack()
{
    mDetector.holdTime = kHoldSeconds;
    mDetector.remaining = kHoldSeconds;
    mDetector.stereo = 1;
    // The first block that runs starts every effect from a reset.
    mDetector.woke = 1;
}

cEffectRack::~cEffectRack() { DeleteNodes(); }

cEffectRackNode* cEffectRack::AddNode(const char* name, int32_t kind)
{
    cEffectRackNode* node = new cEffectRackNode(name, kind);
    InsertNodeBefore(node, nullptr);
    return node;
}

void cEffectRack::BuildInsertChain()
{
    for (size_t i = 0; i < std::size(kInsertChain); ++i)
        AddNode(kInsertChain[i], kInsertKinds[i]);
}

void cEffectRack::DeleteNodes()
{
    while (cEffectRackNode* node = mFirst)
    {
        {
            cScopedAudioLock lock;
            Unlink(node);
        }
        delete node;
    }
}

cEffectRackNode* cEffectRack::FindNode(const char* name) const
{
    if (!name)
        return nullptr;
    for (cEffectRackNode* node = mFirst; node; node = node->mNext)
        if (std::strcmp(node->mName.CStr(), name) == 0)
            return node;
    return nullptr;
}

void cEffectRack::InsertNodeBefore(cEffectRackNode* node, cEffectRackNode* other)
{
    node->mNext = other;
    node->mPrevious = other ? other->mPrevious : mLast;
    if (node->mPrevious)
        node->mPrevious->mNext = node;
    else
        mFirst = node;
    if (other)
        other->mPrevious = node;
    else
        mLast = node;
    ++mCount;
}

void cEffectRack::InsertNodeAfter(cEffectRackNode* node, cEffectRackNode* other)
{
    if (!other || !mFirst)
        InsertNodeBefore(node, mFirst);
    else
        InsertNodeBefore(node, other->mNext);
}

void cEffectRack::MoveNodeBefore(cEffectRackNode* node, cEffectRackNode* other)
{
    if (node == other)
        return;
    cScopedAudioLock lock;
    Unlink(node);
    InsertNodeBefore(node, other);
}

void cEffectRack::Unlink(cEffectRackNode* node)
{
    if (node->mPrevious)
        node->mPrevious->mNext = node->mNext;
    else
        mFirst = node->mNext;
    if (node->mNext)
        node->mNext->mPrevious = node->mPrevious;
    else
        mLast = node->mPrevious;
    node->mPrevious = nullptr;
    node->mNext = nullptr;
    --mCount;
}

int32_t cEffectRack::GetState() const
{
    int32_t state = kStateEmpty;
    for (cEffectRackNode* node = mFirst; node; node = node->mNext)
    {
        if (!(node->mKind & cEffectRackNode::kFlagEffect) || !node->mEffect)
            continue;
        if (node->mEffect->IsEnabled())
            return kStateOn;
        state = kStateAllOff;
    }
    return state;
}

void cEffectRack::ResetEffects()
{
    for (cEffectRackNode* node = mFirst; node; node = node->mNext)
        if (node->mEffect)
            node->mEffect->Reset();
}

void cEffectRack::RemoveEffects()
{
    for (cEffectRackNode* node = mFirst; node; node = node->mNext)
        if (node->mKind & cEffectRackNode::kFlagEffect)
            node->RemoveEffect();
}

void cEffectRack::DrainEvents()
{
    for (cEffectRackNode* node = mFirst; node; node = node->mNext)
        if ((node->mKind & cEffectRackNode::kFlagEffect) && node->mEffect)
            node->mEffect->DrainEvents();
}

bool cEffectRack::PrepareBlock()
{
    const bool on = GetState() == kStateOn;
    const bool wasOn = mWasOn;
    mWasOn = on;
    if (on && !wasOn)
        ResetEffects();
    return on || wasOn;
}

bool cEffectRack::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer, bool inputActive,
                          const cDelegate& callback)
{
    mDetector.CheckInput(info, buffer, inputActive);
    bool result = inputActive;
    if (mDetector.remaining > 0.0f)
    {
        if (mDetector.woke)
        {
            mDetector.woke = 0;
            ResetEffects();
        }
        for (cEffectRackNode* node = mFirst; node; node = node->mNext)
        {
            // Disabled effects are called too: they bypass or fade out themselves.
            if ((node->mKind & cEffectRackNode::kFlagEffect) && node->mEffect)
                node->mEffect->Process(info, buffer);
            if (node->mKind & cEffectRackNode::kFlagCallback)
                callback.Invoke(node);
        }
        result = true;
    }
    mDetector.CheckOutput(info, buffer);
    return result;
}

// ---------------------------------------------------------------- body

bool cEffectRack::Serialise(Base::cSerialise& serialise)
{
    if (!serialise.BeginNode("Nodes", true))
        return false;
    if (serialise.IsSaving())
        SaveNodes(serialise);
    else
        LoadNodes(serialise);
    return serialise.EndNode("Nodes");
}

void cEffectRack::SaveNodes(Base::cSerialise& serialise)
{
    for (cEffectRackNode* node = mFirst; node; node = node->mNext)
        if (serialise.BeginNode(node->mName.CStr(), true))
        {
            node->Serialise(serialise);
            serialise.EndNode(nullptr);
        }
}

// The chain takes the file's order. A node the file names twice is read once:
// placing it again would link it behind itself.
std::vector<cEffectRackNode*> cEffectRack::LoadNodes(Base::cSerialise& serialise)
{
    std::vector<cEffectRackNode*> loaded;
    if (!serialise.BeginNode(nullptr, true))
        return loaded;
    cEffectRackNode* placed = nullptr;
    do
    {
        cEffectRackNode* node = FindNode(serialise.GetNodeName());
        if (!node || std::find(loaded.begin(), loaded.end(), node) != loaded.end())
            continue;
        loaded.push_back(node);
        node->Serialise(serialise);
        PlaceLoadedNode(node, placed);
        if (!(node->mKind & cEffectRackNode::kFlagOutput))
            placed = node;
    } while (serialise.NextNode(nullptr));
    serialise.EndNode(nullptr);
    return loaded;
}

// "OUT" goes to the end and stays there; every other node follows the one
// placed before it, the first at the front.
void cEffectRack::PlaceLoadedNode(cEffectRackNode* node, cEffectRackNode* placed)
{
    cScopedAudioLock lock;
    Unlink(node);
    if (node->mKind & cEffectRackNode::kFlagOutput)
        InsertNodeBefore(node, nullptr);
    else
        InsertNodeAfter(node, placed);
}

// The copy is nobody's but ours until the swap, so its reads create and
// delete effects outside the lock; the lock covers pointer stores only.
bool cEffectRack::LoadDetached(Base::cSerialise& serialise)
{
    if (!serialise.BeginNode("Nodes", true))
        return false;
    cEffectRack copy;
    for (cEffectRackNode* node = mFirst; node; node = node->mNext)
        copy.AddNode(node->mName.CStr(), node->mKind);
    const std::vector<cEffectRackNode*> loaded = copy.LoadNodes(serialise);
    serialise.EndNode("Nodes");
    TakeLoaded(copy, loaded);
    return true;
}

// Nodes the body did not name keep their effects; the chain takes the
// copy's order. The copy leaves with the replaced effects.
void cEffectRack::TakeLoaded(cEffectRack& copy, const std::vector<cEffectRackNode*>& loaded)
{
    cScopedAudioLock lock;
    for (cEffectRackNode* source : loaded)
        if (cEffectRackNode* node = FindNode(source->mName.CStr()))
            std::swap(node->mEffect, source->mEffect);
    for (cEffectRackNode* source = copy.mFirst; source; source = source->mNext)
    {
        cEffectRackNode* node = FindNode(source->mName.CStr());
        Unlink(node);
        InsertNodeBefore(node, nullptr);
    }
}
