#pragma once

#include <cstdint>

#include "base/GenString.h"
#include "ui/WidgetProgress.h"

namespace Zip
{
struct sProgress;
}

// The mixdown dialogue: the region, output and format of a render, the file
// name asked in the file browser, the render and the conversion behind the
// progress overlay, and the report.
class cWidgetMixdown
{
public:
    // The Format choices.
    enum : int32_t
    {
        kFormatWav = 0,
        kFormatOgg64 = 1,
        kFormatOgg128 = 2,
        kFormatOgg256 = 3,
        kFormatZippedWav = 4,
    };

    // Turns the rendered WAV file, or the WAVs of a stem folder, into the
    // chosen format behind the overlay: Ogg Vorbis files beside them, or one
    // zip archive. A WAV goes once its Ogg or the archive is written whole
    // (and on a cancel, which leaves nothing of the run); a failure keeps
    // the WAVs, and stems already converted keep their Ogg files.
    class cJobConvertFormat : public cWidgetProgress::cJob
    {
    public:
        enum : int32_t
        {
            kResultDone = 0,
            kResultFailed = 1,
            kResultCancelled = 2,
        };

        // source: the render's output, target: the chosen output, both
        // relative to "Doc"; totalFiles: the WAVs the render wrote.
        cJobConvertFormat(const char* source, const char* target, int32_t format, int32_t totalFiles);

        void Run(JobQueue::cJobQueue* queue) override;
        void SetOverlay(cWidgetProgress* overlay) { mOverlay = overlay; }
        int32_t GetResult() const { return mResult; }

        // Native paths; without a target the Ogg goes beside the source.
        int32_t ConvertWavToOgg(const char* source, const char* target, int32_t nominalBitRate);
        // "Doc" paths: the file or folder into the archive.
        int32_t ZipMixdownFolder(const char* source, const char* target);

    private:
        int32_t ConvertFolder(int32_t nominalBitRate);
        bool IsCancelRequested() const;
        void OnEncodeProgress(float fraction, bool* cancel);
        void OnZipProgress(Zip::sProgress* report);

        cGenStringFixed<260> mSource;
        cGenStringFixed<260> mTarget;
        cGenStringFixed<1024> mAbsoluteSource;
        cGenStringFixed<1024> mAbsoluteTarget;
        int32_t mFormat;
        int32_t mTotalFiles;
        int32_t mEntriesDone = 0;
        int32_t mResult = kResultFailed;
        cWidgetProgress* mOverlay = nullptr;
    };
};
