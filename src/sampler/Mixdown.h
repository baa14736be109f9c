#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "sampler/OfflineRender.h"
#include "ui/WidgetProgress.h"

class cMixerChannel;
class cWavFile;

// Renders the open project's song into 16-bit stereo 44100 Hz WAV files,
// faster than real time, by driving the project's mixer from the job thread:
// the final mix into one file, or one file per mixer channel or per song
// part into a folder. Each file plays the chosen region from its start and,
// when asked, lets reverb and release tails ring out for up to ten seconds
// until the master falls silent. Files go through safe writing: a cancelled
// or failed file leaves an earlier file of its name as it was and nothing
// partial.
class cMixdown : public cOfflineRender
{
public:
    enum : int32_t
    {
        kRegionEntireSong = 0,
        kRegionSongLoop = 1,
    };
    enum : int32_t
    {
        kOutputFinalMix = 0,
        kOutputMixerChannels = 1,
        kOutputSongParts = 2,
    };
    // Results of a file and of a run, which takes the highest of its files.
    enum : int32_t
    {
        kResultWritten = 0,
        kResultClipping = 1,
        kResultCancelled = 2,
        kResultFailed = 3,
        kResultNoProject = 4,
    };

    // Ten seconds of tail at most after the region.
    static constexpr int32_t kTailFrames = 441000;
    // 0x7D00000, about 49.5 minutes: the longest region a file holds.
    static constexpr int32_t kMaxFrames = 131072000;
    // Master peaks below this end the tail.
    static constexpr float kSilentPeak = 0.0001f;

    // The render behind the progress overlay, made by the mixdown dialogue.
    class cJob : public cWidgetProgress::cJob
    {
    public:
        // The output path is relative to the "Doc" mount.
        cJob(const char* path, int32_t region, int32_t output, bool renderTail);

        void Run(JobQueue::cJobQueue* queue) override;
        // The overlay whose bar and Cancel button the run reports to; none
        // without a screen.
        void SetOverlay(cWidgetProgress* overlay) { mOverlay = overlay; }
        // After the run: the render's result and the files written whole.
        int32_t GetResult() const { return mResult; }
        int32_t GetFileCount() const { return mFileCount; }

    private:
        void OnProgress(bool* cancel, float fraction);

        cGenStringFixed<260> mPath;
        int32_t mRegion;
        int32_t mOutput;
        int32_t mResult = kResultNoProject;
        int32_t mFileCount = 0;
        bool mRenderTail;
        int32_t mProgressThrottle = 0;
        cWidgetProgress* mOverlay = nullptr;
    };

    // One mixer channel of a "Mixer Channels" run and the track states that
    // make only its instrument (and the desk's own tracks) heard.
    class cChannelStem
    {
    public:
        // False when the channel has no owner, is a return, or no audible
        // track plays on its owner's slot: no file for it.
        bool Init(cMixerChannel* channel);

        cMixerChannel* channel = nullptr;
        int32_t audibleCount = 0;
        uint8_t states[kTrackStateCount] = {};
    };

    // progress is invoked after every block with (bool* cancel, float
    // fraction of the whole run); a value above 1 means the tail is playing.
    cMixdown(float progressBase, float progressStep, const cDelegate& progress);

    // The whole run into path (relative to "Doc"); fileCount gets the files
    // whose render returned 0 or 1.
    int32_t Render(const cGenString& path, int32_t region, int32_t output, bool renderTail, int32_t* fileCount);
    // One file from start to end (ticks) with the track states; mask: the
    // mixer channels heard, or none for all.
    int32_t RenderToFile(const cGenString& path, int32_t start, int32_t end, const uint32_t* mask,
                         const uint8_t* trackStates, bool renderTail);

    // The frames a tick span lasts at the current tempo and time signature,
    // at most kMaxFrames; negative when end precedes start.
    static int32_t FramesForSpan(int32_t start, int32_t end);
    // The samples at full scale, 32767 or -32767 and below.
    static int64_t CountFullScaleSamples(const int16_t* samples, uint32_t count);

private:
    struct cBlockRun
    {
        int64_t written = 0;
        int64_t clips = 0;
        bool cancelled = false;
        bool failed = false;
    };

    int32_t RenderFinalMix(const cGenString& path, int32_t start, int32_t end, bool renderTail, int32_t* fileCount);
    int32_t RenderMixerChannels(const cGenString& folder, int32_t start, int32_t end, bool renderTail,
                                int32_t* fileCount);
    int32_t RenderSongParts(const cGenString& folder, int32_t start, int32_t end, bool renderTail,
                            int32_t* fileCount);
    bool RenderStem(const cGenString& folder, const cGenString& fileName, int32_t start, int32_t end,
                    const uint32_t* mask, const uint8_t* trackStates, bool renderTail, int32_t* fileCount,
                    int32_t& result);
    void RenderBlocks(cWavFile& writer, int32_t frames, const uint32_t* mask, bool renderTail, cBlockRun& run);
    bool ReportProgress(float fraction);

    float mProgressBase;
    float mProgressStep;
    cDelegate mProgress;
};
