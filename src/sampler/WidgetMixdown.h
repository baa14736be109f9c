#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "ui/WidgetDialogueDropDown.h"
#include "ui/WidgetProgress.h"

struct cAtlasSprite;
class cFileList;
class cWidgetAlert;
class cWidgetButton;
class cWidgetSpinButton;
namespace Zip
{
struct sProgress;
}

// The mixdown dialogue: a panel dropping from the top with the region,
// output and format of a render and the "Render tail" switch. "Mixdown" asks
// for the output's name in the file browser under "User/Mixdowns", renders
// behind the progress overlay, warns about clipping, converts the WAVs to
// Ogg Vorbis or zips them, and reports what was saved with a button that
// opens its folder. The main UI builds the one dialogue; the project page
// shows it. Main thread only; the render and the conversion run as jobs.
class cWidgetMixdown : public cWidgetDialogueDropDown
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

    // Where a run is.
    enum : int32_t
    {
        kStateIdle = 0,
        kStateRendering = 1, // the name asked, then the render running
        kStateClipping = 2,  // the clipping question shown
        kStatePasteboard = 3,
        kStateConverting = 4,
        kStateReport = 5,
    };

    // The file browser's question: the flags are the browser's (0x16 a
    // file, 0xD6 a folder); an empty extension asks for any name ("???").
    struct cOutputRequest
    {
        cGenStringFixed<64> title;
        cGenStringFixed<260> root;
        cGenStringFixed<260> startPath;
        cGenStringFixed<16> extension;
        const cAtlasSprite* icon = nullptr;
        int32_t flags = 0;
    };

    // What the dialogue needs of the screens above it: the shared alert and
    // progress overlay, the file browser and the file manager.
    class cHost
    {
    public:
        virtual ~cHost() = default;
        virtual cWidgetAlert* GetAlert() = 0;
        virtual cWidgetProgress* GetProgress() = 0;
        // Asks for the output; the completion is called once as (result, path
        // relative to "Doc"): 1 accepted, anything else left without a name.
        virtual void AskForOutput(const cOutputRequest& request, const cDelegate& completion) = 0;
        // Shows a native folder in the file manager.
        virtual void OpenFolder(const char* nativePath) = 0;
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

    explicit cWidgetMixdown(cHost& host);

    // Opens the panel, titled with the open project's name.
    void Show();

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    // The overlay's completion of the render and of the conversion.
    intptr_t OnMixdownDone(cWidgetProgress::cJob* job, cWidgetProgress* overlay);

    int32_t GetState() const { return mState; }
    const char* GetRenderPath() const { return mRenderPath.CStr(); }
    const char* GetChosenPath() const { return mChosenPath.CStr(); }
    int32_t GetFileCount() const { return mFileCount; }
    cWidgetSpinButton* GetRegion() const { return mRegion; }
    cWidgetSpinButton* GetOutput() const { return mOutput; }
    cWidgetSpinButton* GetFormat() const { return mFormat; }
    cWidgetButton* GetRenderTail() const { return mRenderTail; }
    cWidgetButton* GetAddToPasteboard() const { return mAddToPasteboard; }
    cWidgetButton* GetMixdownButton() const { return mMixdownButton; }

protected:
    ~cWidgetMixdown() override;

private:
    cWidgetSpinButton* AddSpinButton(const char* label, int32_t maximum, intptr_t (cWidgetMixdown::*changed)(intptr_t, cWidgetSpinButton*));
    intptr_t OnBack();
    intptr_t OnRegionChanged(intptr_t value, cWidgetSpinButton* spin);
    intptr_t OnOutputChanged(intptr_t value, cWidgetSpinButton* spin);
    intptr_t OnFormatChanged(intptr_t value, cWidgetSpinButton* spin);
    intptr_t OnMixdownButton(intptr_t value, cWidgetButton* button);
    void ChooseOutput(int32_t output, int32_t format);
    intptr_t StartMixdown(intptr_t result, const char* path);
    bool MakeRenderPath();
    void OnRenderDone(int32_t result);
    void OnConversionDone(int32_t result);
    void CopyToPasteboard();
    intptr_t OnPasteboardDone(const void* copyResult);
    bool GatherRenderedWavs(cFileList& files) const;
    void StartConversion();
    void ReportResult();
    intptr_t OnAlertButton(intptr_t index, cWidgetAlert* alert);
    void ShowAlert(const char* title, const char* firstLine, const char* secondLine);
    const cGenString& GetOutputPath() const;
    void ShowFolder();
    void DeleteRenderOutput();

    cHost& mHost;
    cWidgetSpinButton* mRegion = nullptr;
    cWidgetSpinButton* mOutput = nullptr;
    cWidgetSpinButton* mFormat = nullptr;
    cWidgetButton* mRenderTail = nullptr;
    cWidgetButton* mAddToPasteboard = nullptr;
    cWidgetButton* mMixdownButton = nullptr;
    int32_t mState = kStateIdle;
    cGenStringFixed<260> mRenderPath;
    cGenStringFixed<260> mChosenPath;
    int32_t mFileCount = 0;
    cGenStringFixed<260> mTitle;
};
