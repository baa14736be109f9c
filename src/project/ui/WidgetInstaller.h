#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/CriticalSection.h"
#include "base/Delegate.h"
#include "base/GenString.h"
#include "base/JobQueue.h"
#include "render/FontHandle.h"
#include "ui/InstallerPage.h"

class cMaterial;
struct cAtlasSprite;
namespace Zip
{
struct sProgress;
}

// The page of a first start: unpacks our content archive "Install.zip" from
// the resource folder into the documents folder on the job thread, keeping
// every file the user already has, and shows a picture, the entry being
// unpacked and a bar. About 120 frames after the unpacking has ended it
// says it is done, whatever the archive held; a failure is written to
// standard error. Drawn on the main thread, fed from the job's.
class cWidgetInstaller : public cInstallerPage
{
public:
    static constexpr int32_t kFramesAfterJob = 120;

    class cJobInstaller : public JobQueue::cJob
    {
    public:
        void SetProgressDelegate(const cDelegate& delegate) { mProgress = delegate; }
        void Run(JobQueue::cJobQueue* queue) override;
        // The extractor's progress: the entry and the fraction passed on.
        void OnProgress(Zip::sProgress* progress);

        // The archive's native path.
        std::string archivePath;
        int32_t fileCount = 0;
        bool success = false;

    private:
        cDelegate mProgress;
    };

    // Unpacks the archive at that native path: the program's is "Install.zip"
    // in the resource folder.
    explicit cWidgetInstaller(const char* archive);

    // From the job thread: the entry and the fraction, held to 0..1.
    void OnProgress(const char* entry, float fraction);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;

    float GetScale() const { return mScale; }
    float GetProgress();
    void GetEntryName(cGenString& out);
    cMaterial* GetPageMaterial() const { return mMaterial.get(); }
    const cJobInstaller& GetJob() const { return mJob; }
    int32_t GetFramesFinished() const { return mFramesFinished; }

protected:
    ~cWidgetInstaller() override;

private:
    void DrawSprite(cDrawList& list, int index, float x0, float y0, float x1, float y1);
    void DrawFrame(cDrawList& list, float x0, float y0, float x1, float y1);

    cCriticalSection mLock;
    cGenStringFixed<260> mEntryName;
    float mProgress = 0.0f;
    float mScale = 1.0f;
    int32_t mFramesFinished = 0;
    std::unique_ptr<cMaterial> mMaterial;
    cFontHandle mEntryFont;
    cJobInstaller mJob;
};
