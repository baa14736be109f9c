#include "project/ui/WidgetInstaller.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>

#include "base/RootPaths.h"
#include "base/Zip.h"
#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/Material.h"
#include "render/RenderStates.h"
#include "render/TextBatch.h"
#include "render/Texture.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetManager.h"

namespace
{
enum : int
{
    kCornerImage = 0,
    kOutlineFrame = 1,
    kMainPicture = 2,
    kBackground = 3,
    kProgressBar = 4,
};

constexpr uint32_t kTextColour = 0xffb4b4b4u;
constexpr uint32_t kLoadForTablets = 2;

const cAtlasSprite& Sprite(int index) { return gInstallerTable[index]; }
} // namespace

void cWidgetInstaller::cJobInstaller::Run(JobQueue::cJobQueue*)
{
    const std::string& archive = archivePath;
    void* handle = Zip::OpenArchiveForReading(archive.c_str());
    if (!handle)
    {
        std::fprintf(stderr, "Installer: cannot open %s\n", archive.c_str());
        return;
    }
    Zip::cZipExtractor extractor{};
    extractor.progress = cDelegate(this, &cJobInstaller::OnProgress);
    // Files the user already has, edited or not, are kept.
    const int32_t result = extractor.ExtractAll(handle, GetDocumentsFolderPath(), false);
    Zip::CloseArchiveForReading(handle);
    success = result == Zip::kResultOk;
    if (!success)
        std::fprintf(stderr, "Installer: unpacking %s into %s failed (%d)\n", archive.c_str(),
                     GetDocumentsFolderPath(), int(result));
}

void cWidgetInstaller::cJobInstaller::OnProgress(Zip::sProgress* progress)
{
    if (!mProgress.IsEmpty())
        mProgress.Invoke(progress->text, progress->progress);
}

cWidgetInstaller::cWidgetInstaller(const char* archive) : mMaterial(std::make_unique<cMaterial>(kBlendAlpha))
{
    mJob.archivePath = archive ? archive : "";
    SetName("Installer");
    const bool phone = GetDisplayMetrics().deviceClass == kDeviceClassPhone;
    mScale = phone ? 1.0f : 2.0f;
    if (cTexture* texture = cTexture::Load(phone ? "Textures/Installer.pvr" : "Textures/Installer_x2.pvr",
                                           phone ? 0 : kLoadForTablets))
    {
        mMaterial->SetTexture(texture);
        ReleaseTextureReference(texture);
    }
    mEntryFont.Select(GetTextSize(kTextSizeToggle));
    mJob.SetProgressDelegate(cDelegate(this, &cWidgetInstaller::OnProgress));
    // Without a worker the unpacking runs here; the page then counts its frames at once.
    if (!JobQueue::gJobQueue || !JobQueue::gJobQueue->AddJob(&mJob))
        JobQueue::RunJob(&mJob, nullptr);
}

// The job holds this page: a page released early waits for the unpacking.
cWidgetInstaller::~cWidgetInstaller()
{
    while (mJob.mState.load() != JobQueue::cJob::kStateFinished && JobQueue::gJobQueue &&
           JobQueue::gJobQueue->GetPendingCount() > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void cWidgetInstaller::OnProgress(const char* entry, float fraction)
{
    cScopedLock lock(&mLock);
    mEntryName.AssignCStr(entry ? entry : "");
    mProgress = std::isnan(fraction) ? 0.0f : std::clamp(fraction, 0.0f, 1.0f);
}

float cWidgetInstaller::GetProgress()
{
    cScopedLock lock(&mLock);
    return mProgress;
}

void cWidgetInstaller::GetEntryName(cGenString& out)
{
    cScopedLock lock(&mLock);
    out.Assign(mEntryName);
}

// A box centred in the parent, the main picture's width across and as tall
// as the screen's shape asks.
void cWidgetInstaller::OnLayout()
{
    cWidget* parent = GetParent();
    const cRect area = parent ? parent->GetRect() : GetRect();
    const cRect& screen = cWidgetManager::GetInstance()->GetScreenRect();
    const float parentWidth = area.xMax - area.xMin, parentHeight = area.yMax - area.yMin;
    const float pictureWidth = Sprite(kMainPicture).width * mScale;
    const float least = std::round(2.0f * Sprite(kMainPicture).height);
    const float width = std::min(pictureWidth, parentWidth);
    const float screenWidth = std::max(screen.xMax - screen.xMin, 1.0f);
    float height = std::round((screen.yMax - screen.yMin) * pictureWidth / screenWidth);
    height = std::max(height, least);
    if (least <= parentHeight)
        height = std::min(height, parentHeight);
    SetAnchors(kAnchorsAbsoluteRect, std::round(area.xMin + (parentWidth - width) * 0.5f),
               std::round(area.yMin + (parentHeight - height) * 0.5f), width, height);
    UpdateRect();
}

void cWidgetInstaller::DrawSprite(cDrawList& list, int index, float x0, float y0, float x1, float y1)
{
    const cAtlasSprite& sprite = Sprite(index);
    list.DrawQuad({std::round(x0), std::round(y0), std::round(x1), std::round(y1)}, {sprite.u0, sprite.v0},
                  {sprite.u1, sprite.v1}, 0xffffffffu, 0);
}

// The outline keeps its corners at their own size; only its sides stretch.
void cWidgetInstaller::DrawFrame(cDrawList& list, float x0, float y0, float x1, float y1)
{
    const cAtlasSprite& sprite = Sprite(kOutlineFrame);
    const float corner = std::min({sprite.width * 0.5f * mScale, (x1 - x0) * 0.5f, (y1 - y0) * 0.5f});
    const float um = (sprite.u0 + sprite.u1) * 0.5f, vm = (sprite.v0 + sprite.v1) * 0.5f;
    const float xs[4] = {x0, x0 + corner, x1 - corner, x1}, ys[4] = {y0, y0 + corner, y1 - corner, y1};
    const float us[4] = {sprite.u0, um, um, sprite.u1}, vs[4] = {sprite.v0, vm, vm, sprite.v1};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            if (row != 1 || column != 1)
                list.DrawQuad({std::round(xs[column]), std::round(ys[row]), std::round(xs[column + 1]),
                               std::round(ys[row + 1])},
                              {us[column], vs[row]}, {us[column + 1], vs[row + 1]}, 0xffffffffu, 0);
}

bool cWidgetInstaller::Draw(cDrawList& list)
{
    const cRect& rect = GetRect();
    const float x0 = rect.xMin, y0 = rect.yMin, x1 = rect.xMax, y1 = rect.yMax;
    const float s = mScale;
    cGenStringFixed<260> entry;
    GetEntryName(entry);
    const float progress = GetProgress();
    const cAtlasSprite& corner = Sprite(kCornerImage);
    const cAtlasSprite& picture = Sprite(kMainPicture);
    const cAtlasSprite& bar = Sprite(kProgressBar);
    const float barTop = y1 - 11.0f * s;
    {
        cScopedMaterial material(list, mMaterial.get());
        DrawSprite(list, kBackground, x0, y0, x1, y1);
        const float pictureTop = y0 + 0.175f * (y1 - y0);
        DrawSprite(list, kMainPicture, x0, pictureTop, x0 + picture.width * s, pictureTop + picture.height * s);
        DrawSprite(list, kCornerImage, x1 - corner.width * s, y1 - corner.height * s, x1, y1);
        const float barWidth = (x1 - x0 - 20.0f - corner.width * s) * progress;
        DrawSprite(list, kProgressBar, x0 + 10.0f, barTop, x0 + 10.0f + barWidth, barTop + bar.height * s);
        DrawFrame(list, x0 - 2.0f, y0 - 2.0f, x1 + 2.0f, y1 + 2.0f);
    }
    cTextBatch& text = list.GetTextBatch();
    text.DrawTextAligned(x0 + 10.0f, barTop - 6.0f * s, list.depth, mEntryFont, kTextColour, kTextAlignBottom,
                         entry.CStr());
    if (mJob.mState.load() == JobQueue::cJob::kStateFinished && ++mFramesFinished > kFramesAfterJob)
        mDone = true;
    return false;
}
