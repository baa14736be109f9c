#include "app/WidgetMainMenu.h"

#include <cmath>
#include <cstdlib>

#include "app/MainUI.h"
#include "app/MainScreenSprites.h"
#include "app/SlotInstrument.h"
#include "app/WidgetInstrumentGrid.h"
#include "app/WidgetInstrumentProps.h"
#include "app/WidgetStatusBar.h"
#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "midi/MIDIManager.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/HouseColours.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/InputManager.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
// Page codes an outside controller is told.
constexpr int32_t kPageCodeSong = 5;
constexpr int32_t kPageCodeManage = 4;
// The small button's size sprite gives the skin's standard button height.
constexpr int kStandardButtonSprite = 12;
constexpr float kButtonHeightShare = 0.9f;
constexpr float kButtonReach = 10.0f;
constexpr float kEvenRowsExtra = 20.0f;
constexpr float kHintGap = 8.0f;
constexpr const char* kHint = "HOLD INSTRUMENT BUTTON TO EDIT";
constexpr float kVeilAlpha = 128.0f;
constexpr int32_t kNinePatch = 0x33;
constexpr float kPropertiesLift = 16.0f;
// Left and top from the parent's start, width and height as sizes.
constexpr uint32_t kPlacedInParent = 0x1133;

struct cMenuMargins
{
    float side, top, bottom;
};

cMenuMargins MarginsOfClass()
{
    return gDisplayMetrics.deviceClass == kDeviceClassTablet ? cMenuMargins{16.0f, 30.0f, 30.0f}
                                                             : cMenuMargins{6.0f, 20.0f, 6.0f};
}

float StandardButtonHeight() { return gTex8888AtlasTable[kStandardButtonSprite].height; }

void SetMIDIPageCode(int32_t code)
{
    if (cMIDIManager* midi = cMIDIManager::GetInstance())
        midi->SetPageCode(code);
}

cMainUI* MainUI() { return cMainUI::GetInstance(); }
} // namespace

int32_t GetInstrumentSlotNeighbours(int32_t slot)
{
    if (slot < 0)
        return 2;
    bool below = false, above = false;
    for (int32_t other = 0; other < cWidgetMainMenu::kSlotCount; ++other)
        if (other != slot && GetSlotInstrument(other))
            (other < slot ? below : above) = true;
    if (!below)
        return 1;
    return above ? 2 : 3;
}

cWidgetMainMenu::cWidgetMainMenu(cWidgetStatusBar* statusBar) : mStatusBar(statusBar)
{
    SetName("MainMenu");
    mBackground.SetSprites(&gTex8888AtlasTable[MainScreenSprite::kMenuBackground], nullptr,
                           &gTex8888AtlasTable[MainScreenSprite::kMenuBackgroundInner]);
    mBackground.alignment = kNinePatch;
    mHintFont.Select(GetTextSize(kTextSizeToggle));
    mGrid = new cWidgetInstrumentGrid();
    mGrid->clickDelegate = cDelegate(this, &cWidgetMainMenu::OnGridReport);
    AddChild(mGrid);
    mGrid->Release();
    mSongButton = MakePageButton("SONG", kPageSong, MainScreenSprite::kSong);
    mManageButton = MakePageButton("MANAGE", kPageManage, MainScreenSprite::kManage);
    mProperties = new cWidgetInstrumentProps(this);
    SetVisible(false);
}

cWidgetMainMenu::~cWidgetMainMenu() { mProperties->Release(); }

void cWidgetMainMenu::SetTrackCommands(cInstrumentTrackCommands* commands) { mProperties->SetTrackCommands(commands); }

cWidgetButton* cWidgetMainMenu::MakePageButton(const char* label, int32_t tag, int sprite)
{
    cWidgetButton* button = CreateButton(label, kButtonPush, 0);
    button->SetTag(tag);
    SetButtonIconBeside(button, &gTex8888AtlasTable[sprite]);
    button->touchMargins[1] = button->touchMargins[3] = kButtonReach;
    button->clickDelegate = cDelegate(this, &cWidgetMainMenu::OnPageButton);
    AddChild(button);
    button->Release();
    return button;
}

int32_t cWidgetMainMenu::GetSelectedSlot() const { return mGrid->GetSelectedSlot(); }

int32_t cWidgetMainMenu::GetLastInstrumentSlot() const { return mGrid->GetLastInstrumentSlot(); }

void cWidgetMainMenu::ResetLastInstrumentSlot() { mGrid->SetLastInstrumentSlot(0); }

void cWidgetMainMenu::SetSelectedSlot(int32_t slot) { mGrid->SetSelectedSlot(slot); }

void cWidgetMainMenu::SetPageType(int32_t type, bool alsoLast)
{
    mPageType = type;
    if (alsoLast)
        mLastPageType = type;
    RefreshPageButtons();
}

void cWidgetMainMenu::RefreshPageButtons()
{
    mSongButton->value = mPageType == kPageSong ? 1 : 0;
    mManageButton->value = mPageType == kPageManage ? 1 : 0;
}

void cWidgetMainMenu::ShowPageOfType(int32_t type)
{
    mGrid->SetSelectedSlot(-1);
    if (cMainUI* ui = MainUI())
        type == kPageSong ? ui->ShowSequencerPage() : ui->ShowSetupPage();
}

void cWidgetMainMenu::SelectPage(int32_t type, int32_t slot)
{
    // A negative type or slot reads as one past the end of its range.
    if (type < kPageSong || type > kPageInstrument)
    {
        type = kPageManage;
        slot = -1;
    }
    else if (slot < 0 || slot >= kSlotCount)
    {
        slot = 0;
    }
    cInstrument* instrument = type == kPageInstrument ? GetSlotInstrument(slot) : nullptr;
    if (type == kPageInstrument && !instrument)
        type = kPageManage;
    if (instrument)
    {
        if (slot != GetCurrentSlot())
        {
            ReleaseLiveNotes(GetCurrentSlot());
            mCurrentSlot = slot;
        }
        mGrid->SetSelectedSlot(slot);
        if (slot > 0)
            mGrid->SetLastInstrumentSlot(slot);
        if (cMainUI* ui = MainUI())
            ui->ShowInstrumentPage(instrument);
    }
    else
    {
        ShowPageOfType(type);
    }
    SetPageType(type, type != kPageManage);
    SetMIDIPageCode(type == kPageSong     ? kPageCodeSong
                    : type == kPageManage ? kPageCodeManage
                                          : GetInstrumentSlotNeighbours(slot));
}

void cWidgetMainMenu::ReleaseLiveNotes(int32_t slot)
{
    cInstrument* instrument = GetSlotInstrument(slot);
    cMIDIManager* midi = cMIDIManager::GetInstance();
    if (instrument && instrument->GetModule() && midi)
        midi->PostReleaseLiveNotes(instrument->GetModule(), true);
}

intptr_t cWidgetMainMenu::OnGridReport(int32_t kind, int32_t slot)
{
    OnGridCell(kind, slot);
    return 0;
}

void cWidgetMainMenu::OnGridCell(int32_t kind, int32_t slot)
{
    if (kind == cWidgetInstrumentGrid::kLongPress)
    {
        mProperties->Show(slot, cDelegate(this, &cWidgetMainMenu::OnPropertiesDone));
        return;
    }
    if (kind != cWidgetInstrumentGrid::kTap || !GetSlotInstrument(slot))
        return;
    SelectPage(kPageInstrument, slot);
    mOpen = false;
}

intptr_t cWidgetMainMenu::OnPageButton(intptr_t, cWidgetButton* button)
{
    SelectPage(button->GetTag(), 0);
    mOpen = false;
    return 0;
}

intptr_t cWidgetMainMenu::OnPropertiesDone(int32_t slot)
{
    OnPropertiesClosed(slot);
    return 0;
}

void cWidgetMainMenu::OnPropertiesClosed(int32_t slot)
{
    if (slot < 0)
        return;
    ModifyFlags(kWidgetStateDirty, 0, true);
    mOpenInstantly = true;
    if (cInstrument* desk = GetSlotInstrument(0))
        if (cWidget* page = desk->GetPackage()->GetUserInterface())
            page->ModifyFlags(kWidgetStateDirty, 0, true);
    if (GetSlotInstrument(slot))
    {
        SelectPage(kPageInstrument, slot);
        return;
    }
    if (GetSlotInstrument(mGrid->GetSelectedSlot()))
        return;
    SelectNearestOccupiedSlot(slot);
}

// The lower slot wins a tie.
void cWidgetMainMenu::SelectNearestOccupiedSlot(int32_t slot)
{
    int32_t nearest = -1;
    for (int32_t other = 0; other < kSlotCount; ++other)
        if (GetSlotInstrument(other) && (nearest < 0 || std::abs(other - slot) < std::abs(nearest - slot)))
            nearest = other;
    if (nearest >= 0)
    {
        SelectPage(kPageInstrument, nearest);
        return;
    }
    ShowPageOfType(kPageManage);
    SetPageType(kPageManage, false);
    SetMIDIPageCode(kPageCodeManage);
}

void cWidgetMainMenu::SetMetrics(int32_t barLeftCount)
{
    const cMenuMargins margins = MarginsOfClass();
    const float standard = StandardButtonHeight();
    mBarLeftCount = barLeftCount;
    mSideMargin = margins.side;
    mTopMargin = margins.top;
    mBottomMargin = margins.bottom;
    mButtonHeight = kButtonHeightShare * standard;
    mRows = barLeftCount < 4 ? 3 : 2;
    mHeight = float(mRows - 1) * mButtonHeight + mTopMargin + mBottomMargin + float(mRows) * standard;
    if (mRows % 2 == 0)
        mHeight += kEvenRowsExtra;
}

void cWidgetMainMenu::ShowInstantly()
{
    if (!IsVisible())
        SetVisible(true);
    mOpenInstantly = true;
}

void cWidgetMainMenu::OnLayout()
{
    const cRect& rect = GetRect();
    const float standard = StandardButtonHeight();
    const float width = rect.xMax - rect.xMin;
    mBackground.Layout(rect, {0.0f, 0.0f});
    mGrid->SetAnchors(kPlacedInParent, mSideMargin, mTopMargin, width - 2.0f * mSideMargin,
                      2.0f * standard + mButtonHeight);

    const float buttonTop = mTopMargin + 2.0f * standard + 2.0f * mButtonHeight;
    const float buttonWidth = std::round((width - 2.0f * mSideMargin) / 8.0f * 2.0f + 1.0f);
    const bool songShown = mBarLeftCount < 2;
    mSongButton->SetAnchors(kPlacedInParent, mSideMargin, buttonTop, buttonWidth, standard);
    mSongButton->SetVisible(songShown);
    const float manageLeft = songShown ? mSideMargin + buttonWidth - 1.0f : mSideMargin;
    mManageButton->SetAnchors(kPlacedInParent, manageLeft, buttonTop, buttonWidth, standard);
    mManageButton->SetVisible(mBarLeftCount < 4);

    const bool tablet = gDisplayMetrics.deviceClass == kDeviceClassTablet;
    const float dialogueWidth = tablet ? 440.0f : 380.0f, dialogueHeight = tablet ? 320.0f : 250.0f;
    const float centre = (rect.xMin + rect.xMax) * 0.5f;
    const float top = rect.yMin - kPropertiesLift;
    mPropertiesRect = {centre - dialogueWidth * 0.5f, top, centre + dialogueWidth * 0.5f, top + dialogueHeight};
    mGrid->SetDialogueRect(mPropertiesRect);
    mProperties->SetAnchors(kPlacedInParent, mPropertiesRect.xMin, mPropertiesRect.yMin, dialogueWidth, dialogueHeight);
}

void cWidgetMainMenu::OnStateChange()
{
    if (cMainUI* ui = MainUI())
        ui->GetMainWindow()->CancelInputRecursive(true);
    mCover = true;
    if (mPageType == kPageInstrument)
        if (cInstrument* instrument = GetSlotInstrument(mGrid->GetSelectedSlot()))
            mCover = instrument->HasMenuBackdrop();
    mProgress = mOpenInstantly ? 1.0f : 0.0f;
    mOpenInstantly = false;
    mOpen = true;
    RefreshPageButtons();
}

void cWidgetMainMenu::AdvanceSlide()
{
    const float step = kSlideRate * gFramePeriod;
    mProgress = mOpen ? std::fmin(mProgress + step, 1.0f) : std::fmax(mProgress - step, 0.0f);
}

bool cWidgetMainMenu::Draw(cDrawList& list)
{
    AdvanceSlide();
    if (mProgress <= 0.0f && !mOpen)
    {
        CancelInputRecursive(true);
        SetVisible(false);
        return true;
    }
    const float shift = -mHeight * (1.0f - mProgress);
    const bool sliding = shift != 0.0f;
    if (sliding)
        list.PushTransform({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, shift, 0, 1}});
    mBackground.Draw(mBackground.drawRect, list, false);
    const cRect& grid = mGrid->GetRect();
    list.GetTextBatch().DrawTextAligned(grid.xMax, grid.yMax + kHintGap, list.depth, mHintFont,
                                        HouseColour::kDarkCaption, kTextAlignRight | kTextAlignTop, kHint);
    DrawChildren(list);
    if (sliding)
        list.PopMatrix();
    DrawVeil(list);
    return true;
}

void cWidgetMainMenu::DrawVeil(cDrawList& list)
{
    const bool popup = mStatusBar->IsPopupOpen();
    if (!mCover && !popup)
        return;
    cMainUI* ui = MainUI();
    if (!ui)
        return;
    const cRect& window = ui->GetMainWindow()->GetRect();
    const float menuBottom = GetRect().yMax;
    cRect veil = window;
    if (mCover && !popup)
        veil.yMin = window.yMin + (menuBottom - window.yMin) * mProgress;
    else if (!mCover)
        veil.yMax = menuBottom;
    const uint32_t alpha = uint32_t(kVeilAlpha * mProgress);
    list.FillRect(veil, alpha << 24);
}

bool cWidgetMainMenu::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown) || type != kTouchDown)
        return false;
    cRect reach = GetRect();
    if (mCover)
        if (cWidgetManager* manager = cWidgetManager::GetInstance())
            reach.yMax = manager->GetScreenRect().yMax;
    if (!reach.Contains(touch->position))
        return false;
    OfferTouchToChildren(type, touch, captor);
    return true;
}
