#include "editors/SongEditAction.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/Transport.h"
#include "editors/SongEditLock.h"
#include "project/ProjectSlots.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace
{
constexpr const char* kNames[cSongEditAction::kKindCount] = {
    "",       "Length",    "Move",      "Delete",    "Copy",      "Split",     "Join",      "Draw",
    "To pattern", "To part", "Edit part", "Add track", "Del track", "Add instr", "Swap instr", "Del instr",
};

// A copy of a part on a new private pattern: the part's loop unrolled over
// its length.
cPatternInstance* PrivateCopyOf(const cPatternInstance& part)
{
    cPatternInstance* copy = cPatternInstance::CreateWithPrivatePattern();
    if (!copy)
        return nullptr;
    copy->start = part.start;
    copy->length = part.length;
    copy->owner = part.owner;
    copy->programWord = part.programWord;
    if (part.pattern)
        copy->pattern->CopyRepeated(*part.pattern, part.length);
    copy->pattern->loopLength = part.length;
    return copy;
}
} // namespace

cSongEditAction::cSongEditAction(cSongEditModel* model) : mModel(model) {}

cSongEditAction::~cSongEditAction() { Reset(); }

const char* cSongEditAction::GetKindName(uint32_t kind) { return kind < kKindCount ? kNames[kind] : ""; }

const char* cSongEditAction::GetName() const { return GetKindName(kind); }

void cSongEditAction::SetParameters(const cSongEditParameters& parameters)
{
    mParameters = parameters;
    mName.AssignCStr(parameters.name ? parameters.name : "");
    if (mName.Length() > kNameCapacity)
        mName.Truncate(kNameCapacity);
    mParameters.name = mName.CStr();
}

void cSongEditAction::SetPatternEdit(cPattern* target, const cPattern& backup)
{
    cSongEditLock lock(cSongEditLock::kRead);
    mTarget = target;
    mTargetView = nullptr;
    for (cPartView* view = mModel->GetViews().GetFirst(); view && !mTargetView; view = view->GetNext())
        if (view->part->pattern == target)
            mTargetView = view;
    mPatternCopy.Clear();
    mPatternCopy.CopyRange(backup, 0, INT32_MAX);
}

bool cSongEditAction::IsInstrumentKind() const
{
    return kind == kAddInstrument || kind == kSwapInstrument || kind == kDeleteInstrument;
}

void cSongEditAction::Reset()
{
    // What is out of the song is the action's own: parts and tracks a done
    // action took out, the instrument it took out of the slot.
    if (!mRemoved.empty() || !mKeptTracks.empty() || mPatternCopy.head)
    {
        cSongEditLock lock(cSongEditLock::kRead);
        Release();
    }
    DestroyInstrument(mKeptInstrument);
    mSubjects.clear();
    mCreated.clear();
    mFreedViews.clear();
    mLoopLengths.clear();
    mSharedNumbers.clear();
    mTarget = nullptr;
    mTargetView = nullptr;
    mTracks = nullptr;
    mInsertedTrack = -1;
    mPlaceInGroup = 0;
    mPartCount = 0;
    mParameters = cSongEditParameters();
    mName.AssignCStr("");
    kind = kNone;
    mState = kNew;
}

void cSongEditAction::Release()
{
    for (const cRemoved& removed : mRemoved)
        removed.part->Release();
    mRemoved.clear();
    for (cTrack* track : mKeptTracks)
        delete track;
    mKeptTracks.clear();
    mPatternCopy.Clear();
}

void cSongEditAction::DestroyInstrument(cInstrument*& instrument)
{
    if (instrument && instrument->GetPackage())
        instrument->GetPackage()->DestroyInstrument(instrument);
    instrument = nullptr;
}

void cSongEditAction::Execute()
{
    const bool redo = !IsFirstRun();
    if (redo)
        mModel->ClearSelection();
    else
    {
        mTracks = mModel->GetTracks();
        mPartCount = mModel->CountParts();
        mSubjects.clear();
        for (const auto* node = mModel->GetSelection().GetFirst(); node; node = node->GetNext())
            mSubjects.push_back(node->view);
        mRemoved.clear();
        mCreated.clear();
    }
    // Slot changes take the audio manager's lock, which comes before the
    // sequencer's: they are made while the sequencer lock is not held.
    if (IsInstrumentKind())
        ApplySlot();
    if (mTracks)
    {
        cSongEditLock lock(cSongEditLock::kChange);
        Apply();
    }
    if (redo)
        mModel->UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    mPartCount = mModel->CountParts();
    mState = kDone;
}

void cSongEditAction::Undo()
{
    mModel->ClearSelection();
    if (IsInstrumentKind())
        ReverseSlot();
    if (mTracks)
    {
        cSongEditLock lock(cSongEditLock::kChange);
        Reverse();
    }
    mModel->UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    mPartCount = mModel->CountParts();
    mState = kUndone;
}

void cSongEditAction::Apply()
{
    switch (kind)
    {
    case kLength: ChangeLengths(1); break;
    case kMove: MoveParts(1); break;
    case kDelete: DeleteParts(); break;
    case kCopy: CopyParts(); break;
    case kSplit: SplitParts(); break;
    case kJoin: JoinParts(); break;
    case kDraw: DrawPart(); break;
    case kToPattern:
    case kToPart: ConvertParts(); break;
    case kEditPart:
        // The piano roll made the change; only a redo swaps.
        if (!IsFirstRun())
            SwapPatternEdit();
        break;
    case kAddTrack:
    case kAddInstrument: AddTrack(); break;
    case kDeleteTrack: DeleteTrack(); break;
    case kSwapInstrument: mModel->RefreshAllViews(); break;
    case kDeleteInstrument: RemoveInstrumentTracks(); break;
    default: break;
    }
}

void cSongEditAction::Reverse()
{
    switch (kind)
    {
    case kLength: ChangeLengths(-1); break;
    case kMove: MoveParts(-1); break;
    case kDelete:
    case kSplit:
    case kJoin:
    case kDraw: PutBackRemoved(); break;
    case kCopy:
        RemoveCreated();
        for (cPartView* view : mSubjects)
            mModel->SelectView(view, false);
        break;
    case kToPattern:
    case kToPart: UnconvertParts(); break;
    case kEditPart: SwapPatternEdit(); break;
    case kAddTrack:
    case kAddInstrument: RemoveAddedTrack(); break;
    case kDeleteTrack: PutBackTrack(); break;
    case kSwapInstrument: mModel->RefreshAllViews(); break;
    case kDeleteInstrument: PutBackInstrumentTracks(); break;
    default: break;
    }
}

// --- Parts ---

void cSongEditAction::ChangeLengths(int32_t sign)
{
    const int32_t delta = sign * mParameters.deltaTicks;
    if (IsFirstRun())
    {
        // A private pattern's loop follows its part's length, but the piano
        // roll may have set another: an undo puts that one back.
        mLoopLengths.clear();
        for (const cPartView* view : mSubjects)
            mLoopLengths.push_back(view->part->pattern ? view->part->pattern->loopLength : 0);
    }
    for (size_t n = 0; n < mSubjects.size(); ++n)
    {
        const size_t i = sign > 0 ? n : mSubjects.size() - 1 - n;
        cPartView* view = mSubjects[i];
        cPatternInstance* part = view->part;
        part->owner->SetPartLength(part, part->length + delta);
        if (sign < 0 && part->pattern && part->pattern->IsPrivate())
            part->pattern->SetLoopLength(mLoopLengths[i]);
        mModel->FillView(view, part);
        mModel->SelectView(view, false);
    }
}

void cSongEditAction::MoveParts(int32_t sign)
{
    const int32_t ticks = sign * mParameters.deltaTicks;
    const int32_t rows = sign * mParameters.deltaRows;
    const auto move = [&](cPartView* view) {
        cPatternInstance* part = view->part;
        cTrack* from = part->owner;
        cTrack* to = rows ? mTracks->GetTrack(from->GetIndex() + rows) : from;
        from->RemovePart(part);
        part->start += ticks;
        (to ? to : from)->InsertPart(part);
        mModel->FillView(view, part);
        mModel->SelectView(view, false);
    };
    if (sign > 0)
        std::for_each(mSubjects.begin(), mSubjects.end(), move);
    else
        std::for_each(mSubjects.rbegin(), mSubjects.rend(), move);
}

void cSongEditAction::TakeOut(cPatternInstance* part)
{
    cPartView* view = mModel->FindView(part);
    mRemoved.push_back({part, view != nullptr, int32_t(mCreated.size())});
    part->owner->RemovePart(part);
    if (view)
        mModel->FreeView(view);
}

void cSongEditAction::Create(cPatternInstance* part, cTrack* track)
{
    track->InsertPart(part);
    cPartView* view = mModel->GetViewCount() < cSongEditModel::kMaxViews ? mModel->AddView(part, true) : nullptr;
    mCreated.push_back({part, view});
}

void cSongEditAction::RemoveCreated(size_t from)
{
    while (mCreated.size() > from)
    {
        const cCreated created = mCreated.back();
        mCreated.pop_back();
        created.part->owner->RemovePart(created.part);
        created.part->Release();
        if (created.view)
            mModel->FreeView(created.view);
    }
}

void cSongEditAction::PutBackRemoved()
{
    // In the exact reverse of the run: each removed part comes back after
    // what was made after it has gone, so it takes its own view again.
    std::vector<cPartView*> views;
    while (!mRemoved.empty())
    {
        const cRemoved removed = mRemoved.back();
        mRemoved.pop_back();
        RemoveCreated(size_t(removed.createdBefore));
        removed.part->owner->InsertPart(removed.part);
        if (removed.hadView)
            if (cPartView* view = mModel->AddView(removed.part, true))
                views.push_back(view);
    }
    RemoveCreated(0);
    if (kind != kDraw)
        mSubjects.assign(views.rbegin(), views.rend());
}

void cSongEditAction::DeleteParts()
{
    mModel->ClearSelection();
    for (cPartView* view : mSubjects)
    {
        cPatternInstance* part = view->part;
        mRemoved.push_back({part, true, int32_t(mCreated.size())});
        part->owner->RemovePart(part);
        mModel->FreeView(view);
    }
}

void cSongEditAction::CopyParts()
{
    mModel->ClearSelection();
    for (cPartView* view : mSubjects)
    {
        if (mModel->GetFreeViewCount() == 0 || mModel->GetViewCount() >= cSongEditModel::kMaxViews)
            break;
        cPatternInstance* copy = view->part->CloneWithOffset(mParameters.deltaTicks);
        if (!copy)
            continue;
        cTrack* from = view->part->owner;
        cTrack* to = mTracks->GetTrack(from->GetIndex() + mParameters.deltaRows);
        Create(copy, to ? to : from);
    }
}

void cSongEditAction::SplitParts()
{
    const int32_t tick = mParameters.deltaTicks;
    mModel->ClearSelection();
    std::vector<cPartView*> split;
    for (cPartView* view : mSubjects)
    {
        cPatternInstance* part = view->part;
        if (part->start >= tick || part->GetEnd() <= tick)
            continue;
        if (int32_t(mCreated.size()) >= kMaxSplitPieces)
            break;
        cPatternInstance* pieces[3] = {};
        if (!part->Split(tick - part->start, &pieces[0], &pieces[1], &pieces[2]))
            continue;
        cTrack* track = part->owner;
        split.push_back(view);
        TakeOut(part);
        for (cPatternInstance* piece : pieces)
            if (piece)
                Create(piece, track);
    }
    mSubjects = split;
}

void cSongEditAction::JoinParts()
{
    if (mSubjects.size() != 2)
        return;
    cPatternInstance* first = mSubjects[0]->part;
    cPatternInstance* second = mSubjects[1]->part;
    if (second->start < first->start)
        std::swap(first, second);
    cPatternInstance* joined = first->Join(second);
    if (!joined)
        return;
    cTrack* track = first->owner;
    mModel->ClearSelection();
    TakeOut(first);
    TakeOut(second);
    Create(joined, track);
}

void cSongEditAction::DrawPart()
{
    cTrack* track = mTracks->GetTrack(mParameters.row);
    if (!track)
        return;
    const float bar = float(gTransport.ticksPerBar.load());
    const float low = std::clamp(std::min(mParameters.tickA, mParameters.tickB), 0.0f, cSongEditModel::kSongEnd - 1.0f);
    const float high = std::clamp(std::max(mParameters.tickA, mParameters.tickB), 0.0f, cSongEditModel::kSongEnd - 1.0f);
    const float start = low - std::fmod(low, bar);
    const float end = std::min(high - std::fmod(high, bar) + bar, cSongEditModel::kSongEnd);
    const int32_t length = int32_t(std::round(end - start));
    bool tapInside = false;
    std::vector<cPatternInstance*> covered;
    for (cPatternInstance* part = track->GetFirstPart(); part; part = part->next)
        if (float(part->start) < end && float(part->GetEnd()) > start)
        {
            covered.push_back(part);
            tapInside |= mParameters.tickA > float(part->start) && mParameters.tickA < float(part->GetEnd());
        }
    mModel->ClearSelection();
    for (cPatternInstance* part : covered)
        TakeOut(part);
    // A tap on a part only takes it away.
    if (tapInside && float(length) <= bar)
        return;
    cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
    if (!part)
        return;
    part->start = int32_t(start);
    part->length = length;
    part->pattern->loopLength = length;
    Create(part, track);
}

void cSongEditAction::ConvertParts()
{
    const bool toShared = kind == kToPattern;
    std::vector<cPartView*> converted;
    std::vector<int32_t> numbers;
    for (size_t i = 0; i < mSubjects.size(); ++i)
    {
        cPartView* view = mSubjects[i];
        cPatternInstance* part = view->part;
        if (part->IsShared() == toShared)
            continue;
        // A redo takes the shared numbers the first run gave, as the parts show them.
        const int32_t preferred = !IsFirstRun() && i < mSharedNumbers.size() ? mSharedNumbers[i] : -1;
        cPatternInstance* copy = toShared ? part->ConvertToSharedPattern(preferred) : PrivateCopyOf(*part);
        if (!copy)
            continue;
        numbers.push_back(copy->patternNumber);
        cTrack* track = part->owner;
        mRemoved.push_back({part, true, int32_t(mCreated.size())});
        track->RemovePart(part);
        track->InsertPart(copy);
        mModel->FillView(view, copy);
        mModel->SelectView(view, false);
        converted.push_back(view);
    }
    mSubjects = converted;
    mSharedNumbers = numbers;
}

void cSongEditAction::UnconvertParts()
{
    for (size_t i = mSubjects.size(); i-- > 0;)
    {
        cPartView* view = mSubjects[i];
        cPatternInstance* copy = view->part;
        cPatternInstance* part = mRemoved[i].part;
        cTrack* track = copy->owner;
        cPattern* pattern = copy->pattern;
        track->RemovePart(copy);
        copy->Release();
        // The shared pattern the conversion filled is free again, unless a
        // part has taken it up since.
        if (kind == kToPattern && pattern && pattern->referenceCount == 0)
            pattern->Clear();
        track->InsertPart(part);
        mModel->FillView(view, part);
    }
    mRemoved.clear();
}

void cSongEditAction::SwapPatternEdit()
{
    // Through the part: a step before this one may have made the part again
    // on a redo, on whichever pattern was free then.
    cPattern* target = mTargetView && mTargetView->part ? mTargetView->part->pattern : mTarget;
    if (target)
        target->SwapContents(mPatternCopy);
}

// --- Tracks and instruments ---

void cSongEditAction::AddTrack()
{
    mInsertedTrack = -1;
    cSequencer* sequencer = cSequencer::GetInstance();
    auto* track = new cTrack();
    mInsertedTrack = sequencer ? sequencer->InsertTrack(track, mParameters.slot, -1) : -1;
    if (mInsertedTrack < 0)
        delete track;
    mModel->RefreshAllViews();
}

void cSongEditAction::RemoveAddedTrack()
{
    cSequencer* sequencer = cSequencer::GetInstance();
    if (mInsertedTrack >= 0 && sequencer)
        delete sequencer->RemoveTrack(mInsertedTrack);
    mInsertedTrack = -1;
    mModel->RefreshAllViews();
}

void cSongEditAction::FreeTrackViews(const cTrack* track)
{
    for (cPatternInstance* part = track->GetFirstPart(); part; part = part->next)
        if (cPartView* view = mModel->FindView(part))
        {
            mModel->FreeView(view);
            mFreedViews.push_back(part);
        }
}

void cSongEditAction::GiveBackTrackViews()
{
    for (auto part = mFreedViews.rbegin(); part != mFreedViews.rend(); ++part)
        mModel->AddView(*part, false);
    mFreedViews.clear();
}

void cSongEditAction::DeleteTrack()
{
    cTrack* track = mTracks->GetTrack(mParameters.track);
    cSequencer* sequencer = cSequencer::GetInstance();
    if (!track || !sequencer)
        return;
    const cTrackList::cGroup& group = mTracks->GetGroup(track->GetChannel());
    // An instrument keeps its last track.
    if (group.end - group.first <= 1)
        return;
    mSubjects.clear();
    mParameters.slot = track->GetChannel();
    mPlaceInGroup = track->GetIndexInGroup();
    FreeTrackViews(track);
    sequencer->RemoveTrack(track->GetIndex());
    mKeptTracks.push_back(track);
    mModel->RefreshAllViews();
}

void cSongEditAction::PutBackTrack()
{
    cSequencer* sequencer = cSequencer::GetInstance();
    if (mKeptTracks.empty() || !sequencer)
        return;
    sequencer->InsertTrack(mKeptTracks.front(), mParameters.slot, mPlaceInGroup);
    mKeptTracks.clear();
    GiveBackTrackViews();
    mModel->RefreshAllViews();
}

void cSongEditAction::RemoveInstrumentTracks()
{
    cSequencer* sequencer = cSequencer::GetInstance();
    if (!sequencer || mParameters.slot < 0 || mParameters.slot >= cTrackList::kGroupCount)
        return;
    mSubjects.clear();
    for (;;)
    {
        const cTrackList::cGroup& group = mTracks->GetGroup(mParameters.slot);
        if (group.first == group.end)
            break;
        cTrack* track = mTracks->GetTrack(group.first);
        FreeTrackViews(track);
        sequencer->RemoveTrack(group.first);
        mKeptTracks.push_back(track);
    }
    mModel->RefreshAllViews();
}

void cSongEditAction::PutBackInstrumentTracks()
{
    cSequencer* sequencer = cSequencer::GetInstance();
    if (!sequencer)
        return;
    for (cTrack* track : mKeptTracks)
        if (sequencer->InsertTrack(track, mParameters.slot, -1) < 0)
            delete track; // cannot happen: these tracks left room for themselves
    mKeptTracks.clear();
    GiveBackTrackViews();
    mModel->RefreshAllViews();
}

void cSongEditAction::ApplySlot()
{
    const int32_t slot = mParameters.slot;
    switch (kind)
    {
    case kAddInstrument:
    {
        // A redo puts back the very instrument its undo took out.
        cInstrument* instrument = mKeptInstrument;
        mKeptInstrument = nullptr;
        if (IsFirstRun() && mParameters.package)
        {
            instrument = mParameters.package->CreateInstrument(0);
            if (instrument)
                instrument->SetName(mName.CStr());
        }
        if (instrument)
            SetInstrumentSlot(instrument, slot, true);
        break;
    }
    case kSwapInstrument:
    {
        cInstrument* instrument = nullptr;
        if (IsFirstRun() && mParameters.package)
        {
            instrument = mParameters.package->CreateInstrument(0);
            if (instrument)
                instrument->SetName(mName.CStr());
        }
        else
            std::swap(instrument, mKeptInstrument);
        if (instrument)
            mKeptInstrument = SetInstrumentSlot(instrument, slot, false);
        break;
    }
    case kDeleteInstrument: mKeptInstrument = SetInstrumentSlot(nullptr, slot, false); break;
    default: break;
    }
}

void cSongEditAction::ReverseSlot()
{
    const int32_t slot = mParameters.slot;
    switch (kind)
    {
    case kAddInstrument: mKeptInstrument = SetInstrumentSlot(nullptr, slot, false); break;
    case kSwapInstrument:
        // Keeps the newer instrument out of the slot for a redo.
        if (mKeptInstrument)
            mKeptInstrument = SetInstrumentSlot(mKeptInstrument, slot, false);
        break;
    case kDeleteInstrument:
        if (mKeptInstrument)
            SetInstrumentSlot(mKeptInstrument, slot, true);
        mKeptInstrument = nullptr;
        break;
    default: break;
    }
}
