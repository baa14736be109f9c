#include "sampler/SampleEditModel.h"

#include <algorithm>

#include "audio/AudioLock.h"
#include "audio/Sample.h"
#include "base/DeletableRoots.h"
#include "render/VertexLayouts.h"
#include "sampler/SampleEditAudition.h"

namespace
{
// What a sample says of a file it cannot open.
const char* const kErrorOpenFile = "Couldn't open file";

// What is left of a move once a limit took its part.
int32_t Overshoot(int64_t wanted, int32_t got) { return int32_t(wanted - got); }
} // namespace

cSampleEditModel::cSampleEditModel() : mHistory(this) {}

cSampleEditModel::~cSampleEditModel() { mHistory.Clear(); }

void cSampleEditModel::SetSample(cSample* sample)
{
    mHistory.Clear();
    mSelectionStart = 0;
    mSelectionEnd = 0;
    mSample = sample;
    mFrames = sample ? sample->GetFrames() : 0;
    mOverviewDirty = true;
}

void cSampleEditModel::SetFrames(int32_t frames)
{
    mFrames = std::clamp(frames, 0, mSample ? mSample->GetFrames() : 0);
}

int32_t cSampleEditModel::SetSelection(int32_t a, int32_t b)
{
    a = std::clamp(a, 0, mFrames);
    b = std::clamp(b, 0, mFrames);
    mSelectionStart = std::min(a, b);
    mSelectionEnd = std::max(a, b);
    return GetSelectionLength();
}

int32_t cSampleEditModel::SetSelectionStart(int32_t frame)
{
    mSelectionStart = std::clamp(frame, 0, mSelectionEnd);
    return GetSelectionLength();
}

int32_t cSampleEditModel::SetSelectionEnd(int32_t frame)
{
    mSelectionEnd = std::clamp(frame, mSelectionStart, mFrames);
    return GetSelectionLength();
}

void cSampleEditModel::ClearSelection() { SetSelection(0, 0); }

void cSampleEditModel::SelectAll() { SetSelection(0, mFrames); }

void cSampleEditModel::SelectToEnd() { mSelectionEnd = mFrames; }

void cSampleEditModel::SelectToStart() { mSelectionStart = 0; }

int32_t cSampleEditModel::MoveSelectionStart(int32_t delta)
{
    const int64_t wanted = int64_t(mSelectionStart) + delta;
    mSelectionStart = int32_t(std::clamp<int64_t>(wanted, 0, mSelectionEnd));
    return Overshoot(wanted, mSelectionStart);
}

int32_t cSampleEditModel::MoveSelectionEnd(int32_t delta)
{
    const int64_t wanted = int64_t(mSelectionEnd) + delta;
    mSelectionEnd = int32_t(std::clamp<int64_t>(wanted, mSelectionStart, mFrames));
    return Overshoot(wanted, mSelectionEnd);
}

void cSampleEditModel::SaveSelection()
{
    mSavedSelectionStart = mSelectionStart;
    mSavedSelectionEnd = mSelectionEnd;
}

void cSampleEditModel::RestoreSelection()
{
    mSelectionStart = mSavedSelectionStart;
    mSelectionEnd = mSavedSelectionEnd;
}

bool cSampleEditModel::Delete() { return Edit(cSampleEditCommand::kDelete); }
bool cSampleEditModel::Trim() { return Edit(cSampleEditCommand::kTrim); }
bool cSampleEditModel::Normalize() { return Edit(cSampleEditCommand::kNormalize); }
bool cSampleEditModel::Silence() { return Edit(cSampleEditCommand::kSilence); }
bool cSampleEditModel::FadeIn() { return Edit(cSampleEditCommand::kFadeIn); }
bool cSampleEditModel::FadeOut() { return Edit(cSampleEditCommand::kFadeOut); }

bool cSampleEditModel::Edit(cSampleEditCommand::eType type)
{
    mErrorText = "";
    cSampleEditCommand* command = new cSampleEditCommand(this);
    command->SetType(type);
    return Record(command, command->Execute());
}

bool cSampleEditModel::ReplaceFromFile(const char* nativePath)
{
    mErrorText = "";
    if (!mSample)
    {
        // Nothing to replace: the file is dropped as a refused replace drops it.
        DeleteFileSafe(nativePath);
        return false;
    }
    cSampleEditCommand* command = new cSampleEditCommand(this);
    if (!command->AdoptFile(nativePath))
    {
        // The file stayed where it was, still ours to delete.
        DeleteFileSafe(nativePath);
        mErrorText = kErrorOpenFile;
        delete command;
        return false;
    }
    return Record(command, command->Execute());
}

// The command goes into the history only once it has run, so a refused edit
// leaves the history as it was, the edits that can be redone included.
bool cSampleEditModel::Record(cSampleEditCommand* command, bool executed)
{
    if (!executed)
    {
        delete command;
        return false;
    }
    mHistory.Push(command);
    mOverviewDirty = true;
    return true;
}

void cSampleEditModel::SyncAudition(bool cursor)
{
    cSampleEditAudition* audition = GetSampleEditAudition();
    if (!audition || !audition->IsActive())
        return;
    const bool selected = GetSelectionLength() > 0;
    cScopedAudioLock lock;
    if (selected)
        audition->SetPlayRange(mSelectionStart, mSelectionEnd);
    else
        audition->SetPlayRange(0, mFrames);
    if (cursor && !selected)
        audition->SetPlayPosition(mSelectionStart);
}
