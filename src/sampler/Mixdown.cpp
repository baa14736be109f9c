#include "sampler/Mixdown.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Transport.h"
#include "audio/WavFile.h"
#include "base/DeletableRoots.h"
#include "base/DiskFiles.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/RootPaths.h"
#include "base/StatusText.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "project/ProjectList.h"
#include "project/ProjectSlots.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace
{
constexpr uint32_t kBlockFrames = cOfflineRender::kBlockFrames;
constexpr int32_t kFrameBytes = 4; // 16-bit stereo
constexpr int32_t kFullScale = 32767;
// A file clips when at least one sample in this many is at full scale...
constexpr int64_t kClipRatio = 1024;
// ...and it holds more samples than this.
constexpr int64_t kClipMinimumSamples = 2048;
// Shown while the tail plays, when the region's share is done.
constexpr float kTailFraction = 1.0001f;
// The overlay is updated on the first block and then on every 21st.
constexpr int32_t kProgressInterval = 20;
constexpr int32_t kNativePathCapacity = 1024;

bool HasCurrentProject()
{
    const cProjectList* projects = cProjectList::GetInstance();
    return projects && projects->GetCurrentProject();
}

cTrackList* Tracks()
{
    cSequencer* sequencer = cSequencer::GetInstance();
    return sequencer ? sequencer->GetTrackList() : nullptr;
}

// A "Doc" path as a native one; false when it does not fit.
bool ToNative(const cGenString& docPath, cGenString& native)
{
    native.AssignCStr(GetDocumentsFolderPath());
    return PathAppend(native, docPath);
}

bool DocumentExists(const cGenString& docPath)
{
    File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
    return documents && documents->Exists(docPath);
}

// The stem folder is made new: an existing one, or one that cannot be made,
// is refused.
bool CreateStemFolder(const cGenString& folder)
{
    cGenStringFixed<kNativePathCapacity> native;
    return !DocumentExists(folder) && ToNative(folder, native) && CreateFolderTree(native.CStr());
}

void DeleteStemFolder(const cGenString& folder)
{
    cGenStringFixed<kNativePathCapacity> native;
    if (ToNative(folder, native))
        DeleteFileOrDirectory(native.CStr());
}

// A stem's file name. An instrument name is the user's text: the characters
// no file name may hold are taken out, so that a "/" never writes outside the
// stem folder.
void StemFileName(cGenString& fileName, const char* format, int32_t a, int32_t b, const char* name)
{
    cGenStringFixed<64> clean;
    clean.AssignCStr(name);
    PathRemoveFileNameChars(clean);
    if (b < 0)
        fileName.Printf(format, int(a), clean.CStr());
    else
        fileName.Printf(format, int(a), int(b), clean.CStr());
}

int32_t ResultOfFile(const bool failed, const bool cancelled, int64_t written, int64_t clips)
{
    if (failed)
        return cMixdown::kResultFailed;
    if (cancelled)
        return cMixdown::kResultCancelled;
    const int64_t samples = written * 2;
    if (samples > kClipMinimumSamples && clips >= samples / kClipRatio)
        return cMixdown::kResultClipping;
    return cMixdown::kResultWritten;
}
} // namespace

// ---------------------------------------------------------------- the job

cMixdown::cJob::cJob(const char* path, int32_t region, int32_t output, bool renderTail)
    : mRegion(region), mOutput(output), mRenderTail(renderTail)
{
    mPath.AssignCStr(path);
}

void cMixdown::cJob::Run(JobQueue::cJobQueue*)
{
    cMixdown mixdown(0.0f, 1.0f, cDelegate(this, &cJob::OnProgress));
    mFileCount = 0;
    mResult = mixdown.Render(mPath, mRegion, mOutput, mRenderTail, &mFileCount);
}

void cMixdown::cJob::OnProgress(bool* cancel, float fraction)
{
    if (--mProgressThrottle < 0)
    {
        mProgressThrottle = kProgressInterval;
        if (fraction > 1.0f)
            SetStatusText("Rendering tail ...");
        if (mOverlay)
            mOverlay->SetProgress(std::min(fraction, 1.0f));
    }
    *cancel = mCancel.load() || (mOverlay && mOverlay->IsStopRequested());
}

// ---------------------------------------------------------------- stems

bool cMixdown::cChannelStem::Init(cMixerChannel* mixerChannel)
{
    channel = mixerChannel;
    audibleCount = 0;
    std::memset(states, cTrack::kMute, sizeof(states));
    const cTrackList* tracks = Tracks();
    if (!channel || !channel->owner || !tracks)
        return false;
    // A return holds only what its inputs send, and a stem's mask silences
    // every input but its own: its file could only be silence. The inputs'
    // stems carry their sends through the returns instead.
    if (channel->kind != cMixerChannel::kKindInstrument)
        return false;
    const int32_t slot = channel->owner->GetSlot();
    const int32_t count = std::min(tracks->GetCount(), kTrackStateCount);
    for (int32_t i = 0; i < count; ++i)
    {
        const cTrack* track = tracks->GetTrack(i);
        if (!track->IsAudible())
            continue;
        // The desk's own tracks (its parameters) stay with every stem.
        if (track->GetChannel() == 0 || track->GetChannel() == slot)
            states[i] = cTrack::kNormal;
        if (track->GetChannel() == slot)
            ++audibleCount;
    }
    return audibleCount > 0;
}

// ---------------------------------------------------------------- the run

cMixdown::cMixdown(float progressBase, float progressStep, const cDelegate& progress)
    : mProgressBase(progressBase), mProgressStep(progressStep), mProgress(progress)
{
}

int32_t cMixdown::FramesForSpan(int32_t start, int32_t end)
{
    const float frames = float(end - start) / gTransport.ticksPerBarFloat * 60.0f / gTransport.tempo *
                             float(gTransport.beatsPerBar) * kSampleRate +
                         0.5f;
    if (!std::isfinite(frames))
        return 0;
    return int32_t(std::min(frames, float(kMaxFrames)));
}

int32_t cMixdown::Render(const cGenString& path, int32_t region, int32_t output, bool renderTail,
                         int32_t* fileCount)
{
    *fileCount = 0;
    if (!HasCurrentProject())
        return kResultNoProject;
    // A project without its desk in slot 0 has nothing to render through.
    cSequencer* sequencer = cSequencer::GetInstance();
    if (!GetMixer() || !sequencer)
        return kResultFailed;
    int32_t start = 0;
    int32_t end = sequencer->GetTrackList()->GetSongLength();
    if (region == kRegionSongLoop)
    {
        const int32_t loopStart = sequencer->GetParamInt(cSequencer::kParamLoopStart);
        const int32_t loopEnd = sequencer->GetParamInt(cSequencer::kParamLoopEnd);
        start = std::max(loopStart, 0);
        if (loopEnd > start)
            end = loopEnd;
    }
    if (output == kOutputFinalMix)
        return RenderFinalMix(path, start, end, renderTail, fileCount);
    if (output != kOutputMixerChannels && output != kOutputSongParts)
        return kResultWritten;
    cGenStringFixed<260> folder(path);
    PathRemoveExtension(folder);
    if (!CreateStemFolder(folder))
        return kResultFailed;
    if (output == kOutputMixerChannels)
        return RenderMixerChannels(folder, start, end, renderTail, fileCount);
    return RenderSongParts(folder, start, end, renderTail, fileCount);
}

int32_t cMixdown::RenderFinalMix(const cGenString& path, int32_t start, int32_t end, bool renderTail,
                                 int32_t* fileCount)
{
    SetStatusText("Rendering final mix");
    mProgressBase = 0.0f;
    mProgressStep = 1.0f;
    uint8_t states[kTrackStateCount] = {};
    GetTrackStates(states);
    const int32_t result = RenderToFile(path, start, end, nullptr, states, renderTail);
    if (result <= kResultClipping)
        ++*fileCount;
    return result;
}

int32_t cMixdown::RenderMixerChannels(const cGenString& folder, int32_t start, int32_t end, bool renderTail,
                                      int32_t* fileCount)
{
    cMixer* mixer = GetMixer();
    const int32_t channels = mixer->GetChannelCount();
    std::vector<cChannelStem> stems(static_cast<size_t>(channels));
    int32_t rendered = 0;
    for (int32_t i = 0; i < channels; ++i)
        rendered += stems[size_t(i)].Init(mixer->GetChannel(i)) ? 1 : 0;
    if (rendered == 0)
        return kResultWritten;
    mProgressBase = 0.0f;
    mProgressStep = 1.0f / float(rendered);
    std::vector<uint32_t> mask(size_t(channels + 31) / 32);
    int32_t result = kResultWritten;
    for (int32_t i = 0; i < channels; ++i)
    {
        const cChannelStem& stem = stems[size_t(i)];
        if (stem.audibleCount == 0)
            continue;
        cGenStringFixed<128> fileName;
        StemFileName(fileName, "Ch%d-%s.wav", i + 1, -1, stem.channel->owner->GetName());
        std::fill(mask.begin(), mask.end(), 0u);
        mask[size_t(i) / 32] = 1u << (i % 32);
        if (!RenderStem(folder, fileName, start, end, mask.data(), stem.states, renderTail, fileCount, result))
            return kResultCancelled;
    }
    return result;
}

int32_t cMixdown::RenderSongParts(const cGenString& folder, int32_t start, int32_t end, bool renderTail,
                                  int32_t* fileCount)
{
    const cTrackList& tracks = *Tracks();
    const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    const int32_t trackCount = std::min(tracks.GetCount(), kTrackStateCount);
    auto overlaps = [&](const cPatternInstance* part) { return part->start < end && part->GetEnd() > start; };
    int32_t partCount = 0;
    for (int32_t t = 0; t < trackCount; ++t)
        if (tracks.GetTrack(t)->GetChannel() != 0)
            for (const cPatternInstance* part = tracks.GetTrack(t)->GetFirstPart(); part; part = part->next)
                partCount += overlaps(part) ? 1 : 0;
    if (partCount == 0 || !slots)
        return kResultWritten;
    mProgressBase = 0.0f;
    mProgressStep = 1.0f / float(partCount);
    int32_t result = kResultWritten;
    for (int32_t t = 0; t < trackCount; ++t)
    {
        const cTrack* track = tracks.GetTrack(t);
        const int32_t slot = track->GetChannel();
        const cInstrument* instrument = slot >= 1 && slot < slots->GetCount() ? slots->GetInstrument(slot) : nullptr;
        if (!instrument)
            continue;
        // The track alone, with the desk's own audible tracks.
        uint8_t states[kTrackStateCount];
        for (int32_t i = 0; i < trackCount; ++i)
        {
            const cTrack* other = tracks.GetTrack(i);
            states[i] = other->GetChannel() == 0 && other->IsAudible() ? cTrack::kNormal : cTrack::kMute;
        }
        states[t] = cTrack::kNormal;
        int32_t partNumber = 0;
        for (const cPatternInstance* part = track->GetFirstPart(); part; part = part->next)
        {
            const int32_t from = std::max(part->start, start);
            const int32_t to = std::min(part->GetEnd(), end);
            if (to <= from)
                continue;
            cGenStringFixed<128> fileName;
            StemFileName(fileName, "Tr%d-%d %s.wav", t + 1, ++partNumber, instrument->GetName());
            if (!RenderStem(folder, fileName, from, to, nullptr, states, renderTail, fileCount, result))
                return kResultCancelled;
        }
    }
    return result;
}

// One file of a stem folder, its result joined into the run's. A cancel
// deletes the whole folder and ends the run, even after a stem that failed.
bool cMixdown::RenderStem(const cGenString& folder, const cGenString& fileName, int32_t start, int32_t end,
                          const uint32_t* mask, const uint8_t* trackStates, bool renderTail, int32_t* fileCount,
                          int32_t& result)
{
    cGenStringFixed<260> path(folder);
    SetStatusText("Rendering '%s'", fileName.CStr());
    const int32_t r = PathAppend(path, fileName) ? RenderToFile(path, start, end, mask, trackStates, renderTail)
                                                 : kResultFailed;
    if (r <= kResultClipping)
        ++*fileCount;
    result = std::max(result, r);
    if (r == kResultCancelled)
    {
        DeleteStemFolder(folder);
        return false;
    }
    mProgressBase += mProgressStep;
    return true;
}

// ---------------------------------------------------------------- one file

int32_t cMixdown::RenderToFile(const cGenString& path, int32_t start, int32_t end, const uint32_t* mask,
                               const uint8_t* trackStates, bool renderTail)
{
    if (!HasCurrentProject())
        return kResultNoProject;
    cMixer* mixer = GetMixer();
    if (!mixer)
        return kResultFailed;
    const int32_t frames = FramesForSpan(start, end);
    cGenStringFixed<kNativePathCapacity> native;
    cWavFile writer;
    writer.SetFormat(uint32_t(kSampleRate), 16, 2);
    // Safe writing: an earlier file of this name stays until this one is
    // complete, and a header that cannot be written leaves nothing.
    if (!ToNative(path, native) || !writer.OpenWrite(native.CStr()))
        return kResultFailed;
    Quiet(mixer);
    SaveTransport();
    StartPlaying(start, trackStates);
    cBlockRun run;
    RenderBlocks(writer, frames, mask, renderTail, run);
    if (run.failed || run.cancelled)
        writer.Discard();
    else if (!writer.Close())
        run.failed = true;
    Restore();
    return ResultOfFile(run.failed, run.cancelled, run.written, run.clips);
}

// The region in whole blocks, the last one complete, then the tail until the
// master is silent, for ten seconds at most.
void cMixdown::RenderBlocks(cWavFile& writer, int32_t frames, const uint32_t* mask, bool renderTail, cBlockRun& run)
{
    cSequencer* sequencer = cSequencer::GetInstance();
    const cMixerChannel* master = GetMixer()->GetMaster();
    int64_t remaining = int64_t(frames) + kTailFrames;
    bool inTail = false;
    while (remaining > 0)
    {
        const uint32_t n = remaining >= kBlockFrames ? kBlockFrames : uint32_t(remaining);
        const int16_t* block = RenderBlock(n, mask);
        run.clips += CountFullScaleSamples(block, n * 2);
        if (!writer.WriteData(block, n * kFrameBytes))
        {
            run.failed = true;
            return;
        }
        run.written += n;
        remaining -= n;
        float fraction = kTailFraction;
        if (remaining >= kTailFrames)
            fraction = std::clamp(1.0f - float(remaining - kTailFrames) / float(frames), 0.0f, 1.0f);
        else
        {
            if (!inTail && sequencer)
                sequencer->Stop(); // notes released, so their tails ring out
            inTail = true;
            if (!renderTail || (master->peakLeft < kSilentPeak && master->peakRight < kSilentPeak))
                return;
        }
        if (ReportProgress(mProgressBase + mProgressStep * fraction))
        {
            run.cancelled = true;
            return;
        }
    }
}

// In 32 bits, so that -32768 counts too.
int64_t cMixdown::CountFullScaleSamples(const int16_t* samples, uint32_t count)
{
    int64_t clips = 0;
    for (uint32_t i = 0; i < count; ++i)
        clips += std::abs(int32_t(samples[i])) >= kFullScale ? 1 : 0;
    return clips;
}

bool cMixdown::ReportProgress(float fraction)
{
    bool cancel = false;
    mProgress.Invoke(&cancel, fraction);
    return cancel;
}
