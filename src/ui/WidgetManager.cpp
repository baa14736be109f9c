#include "ui/WidgetManager.h"

#include <algorithm>
#include <cmath>

#include "base/CriticalSection.h"
#include "base/StatusText.h"
#include "platform/FrameTiming.h"
#include "render/DrawList.h"
#include "render/Image.h"
#include "render/Renderer.h"
#include "ui/WidgetModalContainer.h"

namespace
{
// Rects closer than this are the same rect: repeated identical resizes must
// not invalidate the tree.
constexpr float kSameRect = 0.000001f;
// The blink alpha moves by the frame period times this per frame: 25 at 60
// frames per second, so a fade takes 11 frames.
constexpr float kBlinkFadeRate = 1500.0f;
constexpr float kSensitivityScales[3] = {0.7f, 1.0f, 1.3f};

bool SameRect(const cRect& a, const cRect& b)
{
    return std::fabs(a.xMin - b.xMin) < kSameRect && std::fabs(a.yMin - b.yMin) < kSameRect &&
           std::fabs(a.xMax - b.xMax) < kSameRect && std::fabs(a.yMax - b.yMax) < kSameRect;
}
} // namespace

cWidgetManager::cWidgetManager() : Base::cSingleton<cWidgetManager>(this) {}

cWidgetManager::~cWidgetManager() { Shutdown(); }

bool cWidgetManager::Init(cRenderer* renderer)
{
    if (mInitialised || !renderer)
        return false;
    mFrameLock = new cCriticalSection();
    mStatusTextLock = new cCriticalSection();
    SetStatusTextLock(mStatusTextLock);
    mRenderer = renderer;
    mScreenRect = {0.0f, 0.0f, renderer->screen.orientedWidth, renderer->screen.orientedHeight};
    mRoot = new cWidgetModalContainer();
    mRoot->SetName("ROOT");
    mRoot->SetAnchors(kAnchorsFillParent, 0.0f, 0.0f, 0.0f, 0.0f);
    mRoot->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
    mDrawList = new cDrawList(renderer);
    mInitialised = true;
    return true;
}

bool cWidgetManager::Shutdown()
{
    if (!mInitialised)
        return false;
    mRoot->Release();
    mRoot = nullptr;
    delete mDrawList;
    mDrawList = nullptr;
    SetStatusTextLock(nullptr);
    delete mStatusTextLock;
    mStatusTextLock = nullptr;
    delete mFrameLock;
    mFrameLock = nullptr;
    mInitialised = false;
    return true;
}

void cWidgetManager::SetScreenRect(const cRect& rect)
{
    if (SameRect(rect, mScreenRect))
        return;
    mScreenRect = rect;
    if (mRoot)
        mRoot->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
}

void cWidgetManager::CaptureTouch(cWidget* widget, int32_t touchId)
{
    if (mCaptureCount == kMaxCaptures)
        return;
    mCapturedTouchIds[mCaptureCount] = touchId;
    mCaptors[mCaptureCount] = widget;
    ++mCaptureCount;
}

bool cWidgetManager::ReleaseCapture(cWidget* widget)
{
    bool released = false;
    for (uint32_t i = mCaptureCount; i-- > 0;)
        if (mCaptors[i] == widget)
        {
            RemoveCaptureAt(i);
            released = true;
        }
    return released;
}

void cWidgetManager::RemoveCaptureAt(uint32_t index)
{
    for (uint32_t i = index + 1; i < mCaptureCount; ++i)
    {
        mCapturedTouchIds[i - 1] = mCapturedTouchIds[i];
        mCaptors[i - 1] = mCaptors[i];
    }
    --mCaptureCount;
}

// A captured touch goes straight to its captor (the oldest capture of that
// touch wins); any other travels down the tree from the root.
bool cWidgetManager::HandleTouchEvent(int32_t type, cTouch* touch)
{
    if (type != kTouchDown && type != kTouchMove && type != kTouchUp)
        return false;
    for (uint32_t i = 0; i < mCaptureCount; ++i)
    {
        if (mCapturedTouchIds[i] != touch->id)
            continue;
        cWidget* captor = mCaptors[i];
        if (type == kTouchUp)
            RemoveCaptureAt(i);
        return captor->HandleTouch(type, touch, captor);
    }
    return mRoot && mRoot->HandleTouch(type, touch, nullptr);
}

bool cWidgetManager::HandleKeyEvent(const cKeyEvent* event) { return mRoot && mRoot->HandleKey(event); }

void cWidgetManager::Draw()
{
    if (!mInitialised)
        return;
    cScopedLock frame(mFrameLock);
    AdvanceBlink();
    mDrawList->Begin();
    mRoot->DrawTree(*mDrawList);
    mDrawList->End();
    DeliverPostedTouches();
}

void cWidgetManager::PostTouchEvent(int32_t type, const cTouch& touch)
{
    if (mPostedCount == kPostedCapacity)
        return;
    mPosted[mPostedCount++] = {type, touch};
}

// A handler may post again; those events follow in the same pass.
void cWidgetManager::DeliverPostedTouches()
{
    for (int i = 0; i < mPostedCount; ++i)
    {
        cTouch touch = mPosted[i].touch;
        HandleTouchEvent(mPosted[i].type, &touch);
    }
    mPostedCount = 0;
}

// Steps by the nominal frame period once per drawn frame, not by measured
// time, like every animation of the interface.
void cWidgetManager::AdvanceBlink()
{
    mBlinkTimer += gFramePeriod;
    if (mBlinkTimer > kBlinkPeriod)
    {
        mBlinkTimer = 0.0f;
        mBlinkPhase = !mBlinkPhase;
    }
    const int32_t step = int32_t(gFramePeriod * kBlinkFadeRate);
    gBlinkAlpha = mBlinkPhase ? std::min(gBlinkAlpha + step, 255) : std::max(gBlinkAlpha - step, 0);
}

int32_t cWidgetManager::GetBlinkAlpha() const { return gBlinkAlpha; }

void cWidgetManager::DimScreen(cDrawList& list, int32_t alpha)
{
    if (alpha < 2)
        return;
    // Text still waiting in its batch would otherwise be drawn over the dim.
    list.FlushAll();
    const uint32_t black = uint32_t(std::min(alpha, 255)) << 24;
    list.FillRect(mScreenRect, black);
}

float cWidgetManager::GetSensitivityScale() const
{
    return kSensitivityScales[std::clamp(sensitivity, 0, 2)];
}
