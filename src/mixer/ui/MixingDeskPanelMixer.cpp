#include "mixer/ui/MixingDeskPanelMixer.h"

#include <algorithm>
#include <cmath>

#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"
#include "mixer/ui/EffectRackUI.h"
#include "mixer/ui/MixingDeskFaders.h"
#include "mixer/ui/MixingDeskSprites.h"
#include "mixer/ui/MixingDeskTitles.h"
#include "mixer/ui/MixingDeskUI.h"
#include "mixer/ui/MixingDeskUIHost.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"

namespace
{
// Fader, title and least insert-area heights: tablets and desktops, phones.
constexpr float kFaderHeight = 220.0f, kTitleHeight = 76.0f, kMinimumInsertHeight = 120.0f;
constexpr float kPhoneFaderHeight = 350.0f, kPhoneTitleHeight = 136.0f, kPhoneMinimumInsertHeight = 140.0f;
// The glide to a page: a share of the way left plus a constant, per second.
constexpr float kGlideShare = 4.0f, kGlideConstant = 2.0f;
// The view animation's rate, tuned at 30 frames per second.
constexpr float kPhaseRate = 30.0f, kPhaseShare = 0.2f, kPhaseConstant = 0.01f;

bool IsPhone() { return gDisplayMetrics.deviceClass == kDeviceClassPhone; }

void Place(cWidget* widget, float left, float top, float width, float height)
{
    widget->SetAnchors(kAnchorsAbsoluteRect, left, top, std::max(0.0f, width), std::max(0.0f, height));
    widget->ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
}
} // namespace

cMixingDeskPanelMixer::cMixingDeskPanelMixer(cMixingDeskUI* root)
    : mRoot(root)
    , mFaderHeight(IsPhone() ? kPhoneFaderHeight : kFaderHeight)
    , mTitleHeight(IsPhone() ? kPhoneTitleHeight : kTitleHeight)
    , mMinimumInsertHeight(IsPhone() ? kPhoneMinimumInsertHeight : kMinimumInsertHeight)
{
    mFaders = new cMixingDeskInputFaders(this);
    mInsertArea = new cMixingDeskInputInsertFX(this);
    mTitles = new cMixingDeskInputTitles(this);
    mOutputFader = new cMixingDeskOutputFader(this);
    mOutputTitle = new cMixingDeskOutputTitle(this);
    for (cWidget* child : {static_cast<cWidget*>(mFaders), static_cast<cWidget*>(mInsertArea),
                           static_cast<cWidget*>(mTitles), static_cast<cWidget*>(mOutputFader),
                           static_cast<cWidget*>(mOutputTitle)})
        AddChild(child);
}

cMixingDeskPanelMixer::~cMixingDeskPanelMixer()
{
    mFaders->Release();
    mInsertArea->Release();
    mTitles->Release();
    mOutputFader->Release();
    mOutputTitle->Release();
}

cMixingDeskInstrument* cMixingDeskPanelMixer::GetInstrument() const { return mRoot->GetShownInstrument(); }

cMixer* cMixingDeskPanelMixer::GetMixer() const
{
    cMixingDeskInstrument* desk = GetInstrument();
    return desk ? desk->GetMixer() : nullptr;
}

cEffectRackUI* cMixingDeskPanelMixer::GetChainEditor() const { return mInsertArea->GetChainEditor(); }

int32_t cMixingDeskPanelMixer::GetListSize() const
{
    cMixer* mixer = GetMixer();
    return mixer ? mixer->GetChannelCount() : 0;
}

int32_t cMixingDeskPanelMixer::GetLastPageStart() const { return std::max(0, GetListSize() - mStripCount); }

int32_t cMixingDeskPanelMixer::GetFirstShown() const
{
    cMixingDeskInstrument* desk = GetInstrument();
    const int32_t first = desk ? desk->GetFirstShownChannel() : 0;
    return first < 0 || first > GetLastPageStart() ? 0 : first;
}

void cMixingDeskPanelMixer::SetFirstShown(int32_t position)
{
    if (cMixingDeskInstrument* desk = GetInstrument())
        desk->SetFirstShownChannel(std::clamp(position, 0, GetLastPageStart()));
}

int32_t cMixingDeskPanelMixer::GetSelectedChannel() const
{
    cMixingDeskInstrument* desk = GetInstrument();
    return desk ? desk->GetInsertChannel() : -1;
}

int32_t cMixingDeskPanelMixer::ClampedInsertChannel() const
{
    return std::clamp(GetSelectedChannel(), -1, GetListSize() - 1);
}

// ---------------------------------------------------------------- paging

void cMixingDeskPanelMixer::PageForward()
{
    if (!mTitles->IsDragging())
        SetFirstShown(std::min(GetLastPageStart(), GetFirstShown() + mStripCount));
}

void cMixingDeskPanelMixer::PageBack()
{
    if (!mTitles->IsDragging())
        SetFirstShown(std::max(0, GetFirstShown() - mStripCount));
}

void cMixingDeskPanelMixer::PageToEnd()
{
    if (!mTitles->IsDragging())
        SetFirstShown(GetLastPageStart());
}

void cMixingDeskPanelMixer::PageToStart()
{
    if (!mTitles->IsDragging())
        SetFirstShown(0);
}

bool cMixingDeskPanelMixer::CanPageForward() const { return GetInstrument() && GetFirstShown() < GetLastPageStart(); }

bool cMixingDeskPanelMixer::CanPageBack() const { return GetInstrument() && GetFirstShown() > 0; }

void cMixingDeskPanelMixer::Scroll(float position)
{
    mScrollPosition = std::clamp(position, 0.0f, float(GetLastPageStart()));
    mTitles->SetPosition(mScrollPosition, false);
    mFaders->SetPosition(mScrollPosition, false);
}

// ---------------------------------------------------------------- views

void cMixingDeskPanelMixer::SetViewMode(int32_t mode)
{
    if (mode == mViewMode)
        return;
    if (mViewMode != kModeBoth && mode != kModeBoth)
        mPhase = mode == kModeInsert ? -1.0f : 1.0f;
    else
        mPhase = 0.0f;
    mViewMode = mode;
    PlaceRows();
}

void cMixingDeskPanelMixer::ShowInsertChain()
{
    cEffectRackUI* chain = GetChainEditor();
    if (mViewMode == kModeFaders)
        SetViewMode(kModeInsert);
    else
        chain->SetTargetRow(std::min(chain->GetTargetRow() + 1, chain->GetLastRow()));
}

void cMixingDeskPanelMixer::ShowFaders()
{
    cEffectRackUI* chain = GetChainEditor();
    if (mViewMode == kModeInsert && chain->GetTargetRow() == 0)
        SetViewMode(kModeFaders);
    else if (chain->GetTargetRow() > 0)
        chain->SetTargetRow(chain->GetTargetRow() - 1);
}

void cMixingDeskPanelMixer::ShowFadersAtTop()
{
    GetChainEditor()->SetTargetRow(0);
    if (mViewMode == kModeInsert)
        SetViewMode(kModeFaders);
}

void cMixingDeskPanelMixer::ShowInsertChainAtEnd()
{
    cEffectRackUI* chain = GetChainEditor();
    chain->SetTargetRow(chain->GetLastRow());
    if (mViewMode == kModeFaders)
        SetViewMode(kModeInsert);
}

bool cMixingDeskPanelMixer::CanShowInsertChain() const
{
    const cEffectRackUI* chain = GetChainEditor();
    return mViewMode == kModeFaders || chain->GetTargetRow() < chain->GetLastRow();
}

bool cMixingDeskPanelMixer::CanShowFaders() const
{
    return mViewMode == kModeInsert || (mViewMode == kModeBoth && GetChainEditor()->GetTargetRow() > 0);
}

// ---------------------------------------------------------------- selection

void cMixingDeskPanelMixer::SelectChannel(int32_t position)
{
    cMixingDeskInstrument* desk = GetInstrument();
    if (!desk)
        return;
    const int32_t selected = std::clamp(position, -1, GetListSize() - 1);
    desk->SetInsertChannel(selected);
    mInsertArea->Bind(selected);
}

void cMixingDeskPanelMixer::ResetSelection()
{
    if (cMixingDeskInstrument* desk = GetInstrument())
        desk->SetInsertChannel(-1);
    ModifyFlags(kWidgetStateDirty, 0, false);
}

void cMixingDeskPanelMixer::RefreshButtons() { mRoot->RefreshButtons(); }

void cMixingDeskPanelMixer::UpdateTitle()
{
    cMixingDeskInstrument* desk = GetInstrument();
    if (!desk)
        mTitle = "Mixer";
    else
    {
        const bool insertView = mViewMode == kModeInsert;
        const char* prefix = insertView ? "" : "Mixer - ";
        const char* suffix = insertView ? " Insert FX" : "";
        const int32_t selected = ClampedInsertChannel();
        const cMixerChannel* channel = selected < 0 ? nullptr : GetMixer()->GetChannel(selected);
        if (!channel)
            mTitle.Printf("%sOutput%s", prefix, suffix);
        else if (channel->outputIndex == 0)
            mTitle.Printf("%s%s%s", prefix, channel->GetDisplayName(), suffix);
        else
            mTitle.Printf("%s%s(%d)%s", prefix, channel->GetDisplayName(), int(channel->outputIndex + 1), suffix);
    }
    GetMixingDeskUIHost().SetTitle(mTitle.CStr());
}

// ---------------------------------------------------------------- layout

void cMixingDeskPanelMixer::OnLayout()
{
    const cRect& rect = GetRect();
    if (rect.yMax - rect.yMin > mFaderHeight + mTitleHeight + mMinimumInsertHeight)
        SetViewMode(kModeBoth);
    else if (mViewMode == kModeBoth)
        SetViewMode(kModeFaders);
    LayoutColumns();
    PlaceRows();
}

// Below two columns there is no room for an input strip, below one for none.
void cMixingDeskPanelMixer::LayoutColumns()
{
    const cRect& rect = GetRect();
    const float room = rect.xMax - rect.xMin - kEdgeRoom;
    const float stripWidth = gTex8888AtlasTable[MixingDeskSprite::kStrip].width;
    mColumns = room > 0.0f ? int32_t(std::floor(room / (stripWidth + kStripGap))) : 0;
    mColumnWidth = mColumns > 0 ? std::floor(room / float(mColumns)) : 0.0f;
    const float leftOver = rect.xMax - rect.xMin - float(mColumns) * mColumnWidth;
    mLeftMargin = std::floor(leftOver * 0.5f);
    mOutputLeft = rect.xMin + mLeftMargin + float(std::max(0, mColumns - 1)) * mColumnWidth;
    mStripCount = std::max(0, mColumns - 1);
    mTitles->SetStripCount(mStripCount);
    mFaders->SetStripCount(mStripCount);
    mScrollPosition = std::min(mScrollPosition, float(GetLastPageStart()));
    mTitles->SetPosition(mScrollPosition, true);
    mFaders->SetPosition(mScrollPosition, true);
}

// Modes 0 and 1 slide between each other: at 0 the faders fill the panel
// above the titles, at 1 the titles lead and the chain fills the rest.
void cMixingDeskPanelMixer::PlaceRows()
{
    const cRect& rect = GetRect();
    const float height = rect.yMax - rect.yMin, width = rect.xMax - rect.xMin;
    const float rowLeft = rect.xMin + mLeftMargin, rowWidth = float(mStripCount) * mColumnWidth;
    const float outputWidth = mColumns > 0 ? mColumnWidth : 0.0f;
    float faderTop, faderHeight, titleTop, insertTop, insertHeight;
    if (mViewMode == kModeBoth)
    {
        faderTop = rect.yMin;
        faderHeight = mFaderHeight;
        titleTop = faderTop + faderHeight;
        insertTop = titleTop + mTitleHeight;
        insertHeight = rect.yMax - insertTop;
    }
    else
    {
        const float shown = mViewMode == kModeInsert ? 1.0f + mPhase : mPhase;
        faderHeight = height - mTitleHeight;
        titleTop = rect.yMin + (1.0f - shown) * faderHeight;
        faderTop = titleTop - faderHeight;
        insertTop = titleTop + mTitleHeight;
        insertHeight = faderHeight;
    }
    Place(mFaders, rowLeft, faderTop, rowWidth, faderHeight);
    Place(mOutputFader, mOutputLeft, faderTop, outputWidth, faderHeight);
    Place(mTitles, rowLeft, titleTop, rowWidth, mTitleHeight);
    Place(mOutputTitle, mOutputLeft, titleTop, outputWidth, mTitleHeight);
    Place(mInsertArea, rect.xMin, insertTop, width, insertHeight);
    mOutputFader->GetFader()->SetAnchors(kAnchorsAbsoluteRect, mOutputLeft, faderTop, outputWidth, faderHeight);
    mOutputFader->GetFader()->ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
    ShowRows();
}

void cMixingDeskPanelMixer::ShowRows()
{
    const bool animating = mPhase != 0.0f;
    const bool faders = mViewMode != kModeInsert || animating;
    const bool insert = mViewMode != kModeFaders || animating;
    mFaders->SetVisible(faders);
    mOutputFader->SetVisible(faders);
    mInsertArea->SetVisible(insert);
}

// "InChan" past the last page reads as the first page.
void cMixingDeskPanelMixer::OnStateChange()
{
    const int32_t first = GetFirstShown();
    if (cMixingDeskInstrument* desk = GetInstrument())
        desk->SetFirstShownChannel(first);
    mScrollPosition = float(first);
    mInsertArea->Bind(ClampedInsertChannel());
    mTitles->SetPosition(mScrollPosition, true);
    mFaders->SetPosition(mScrollPosition, true);
    mOutputFader->ModifyFlags(kWidgetStateDirty, 0, false);
    mTitles->ModifyFlags(kWidgetStateDirty, 0, false);
    RefreshButtons();
}

void cMixingDeskPanelMixer::StepScroll()
{
    if (mTitles->IsDragging())
        return;
    const float target = float(GetFirstShown());
    if (mScrollPosition == target)
        return;
    const float step = std::fabs(target - mScrollPosition) * kGlideShare * gFramePeriod + kGlideConstant * gFramePeriod;
    mScrollPosition = mScrollPosition < target ? std::min(target, mScrollPosition + step)
                                               : std::max(target, mScrollPosition - step);
    mTitles->SetPosition(mScrollPosition, false);
    mFaders->SetPosition(mScrollPosition, false);
}

void cMixingDeskPanelMixer::StepPhase()
{
    if (mPhase == 0.0f)
        return;
    const float step = mPhase < 0.0f ? (kPhaseConstant - kPhaseShare * mPhase) * kPhaseRate * gFramePeriod
                                     : (-kPhaseShare * mPhase - kPhaseConstant) * kPhaseRate * gFramePeriod;
    const float next = mPhase + step;
    mPhase = (mPhase < 0.0f) != (next < 0.0f) || next == 0.0f ? 0.0f : next;
    PlaceRows();
}

bool cMixingDeskPanelMixer::Draw(cDrawList&)
{
    StepScroll();
    StepPhase();
    UpdateTitle();
    return false;
}
