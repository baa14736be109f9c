#include "app/WidgetInstrumentProps.h"

#include <strings.h>

#include "app/MainScreenSprites.h"
#include "app/MainUI.h"
#include "app/SlotInstrument.h"
#include "app/WidgetKeyboard.h"
#include "app/WidgetMainMenu.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/InstrumentPackageRegistry.h"
#include "editors/InstrumentTrackCommands.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/DrawHelpers.h"
#include "ui/HouseColours.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr int32_t kDialogueStyle = kDialogueCloseButton | kDialogueDim;
constexpr const char* kMixerName = "Mixer";
constexpr int32_t kChannelMaximum = 15;
constexpr int32_t kTransposeRange = 36;
constexpr float kListStretch = 5.0f;
constexpr float kColumnGapStretch = 0.6f;
constexpr float kMargin = 6.0f;
constexpr float kTopGap = 10.0f; // below the title's text size
constexpr uint32_t kRowTextColour = 0xffdcdcdcu;
constexpr uint32_t kLeftCentredShortened = kTextShortenMiddle | kTextAlignCentreY;

cProject* CurrentProject()
{
    const cProjectList* list = cProjectList::GetInstance();
    return list ? list->GetCurrentProject() : nullptr;
}

cInstrumentTypeRow* AsRow(cWidgetList::cItem* item) { return static_cast<cInstrumentTypeRow*>(item); }

void ShowNumber(cWidgetSpinButton* spin, int32_t shown)
{
    cGenStringFixed<16> text;
    text.Printf("%d", shown);
    spin->SetText(text.CStr());
}
} // namespace

// ------------------------------------------------------------ data source

cWidgetList::cItem* cWidgetInstrumentProps::cInstrumentListDataSource::GetFirstChild(cWidgetList::cItem* parent)
{
    return parent ? nullptr : rows.GetHead();
}

cWidgetList::cItem* cWidgetInstrumentProps::cInstrumentListDataSource::GetLastChild(cWidgetList::cItem* parent)
{
    return parent ? nullptr : rows.GetTail();
}

cWidgetList::cItem* cWidgetInstrumentProps::cInstrumentListDataSource::GetNext(cWidgetList::cItem* item)
{
    return item ? AsRow(item)->next : nullptr;
}

void cWidgetInstrumentProps::cInstrumentListDataSource::DrawItem(cWidgetList::cItem* item, cDrawList& list,
                                                                 const cRect& row)
{
    const cInstrumentTypeRow* entry = AsRow(item);
    if (item->flags & cWidgetList::kItemSelected)
        DrawSprite(list, &gTex8888AtlasTable[MainScreenSprite::kPropertiesCheck], row, 0xffffffffu);
    const float side = row.yMax - row.yMin;
    if (entry->icon)
    {
        const cRect rect = SpriteRectAt(entry->icon, row.xMin + side * 0.5f, (row.yMin + row.yMax) * 0.5f);
        DrawSprite(list, entry->icon, rect, 0xffffffffu);
    }
    const char* name = entry->package ? entry->package->GetName() : "None";
    list.GetTextBatch().DrawTextInRect({row.xMin + kNameIndent, row.yMin, row.xMax, row.yMax}, font, list.depth,
                                       kRowTextColour, kLeftCentredShortened, name);
}

// ----------------------------------------------------------------- dialogue

cWidgetInstrumentProps::cWidgetInstrumentProps(cWidgetMainMenu* menu)
    : cWidgetDialogue(kDialogueStyle), mMenu(menu), mOKButton(CreateButton("OK", kButtonPush, 0)),
      mRenameButton(CreateButton("Rename", kButtonPush, 0)), mChannelSpin(CreateSpinButton("MIDI Input Channel")),
      mTransposeSpin(CreateSpinButton("MIDI Input Transpose")), mTypeList(CreateList("Instrument Type"))
{
    SetName("Instrument");
    ModifyFlags(kWidgetAbsoluteDepth | kWidgetNoAutoLayout, 0, false);
    SetDepth(kDepth);
    mDataSource.font.Select(GetTextSize(0));
    mOKButton->SetTag(kButtonOK);
    SetButtonIconBeside(mOKButton, &gTex8888AtlasTable[MainScreenSprite::kPropertiesDone]);
    mRenameButton->SetTag(kButtonRename);
    for (cWidgetButton* button : {mOKButton, mRenameButton})
        button->clickDelegate = cDelegate(this, &cWidgetInstrumentProps::OnButton);
    mChannelSpin->minimum = 0;
    mChannelSpin->maximum = kChannelMaximum;
    mChannelSpin->valueDelegate = cDelegate(this, &cWidgetInstrumentProps::OnChannelChanged);
    mTransposeSpin->minimum = -kTransposeRange;
    mTransposeSpin->maximum = kTransposeRange;
    mTransposeSpin->valueDelegate = cDelegate(this, &cWidgetInstrumentProps::OnTransposeChanged);
    mTypeList->SetRowHeight(kRowHeight, cWidgetList::kDefaultMinimumRows);
    mTypeList->SetDataSource(&mDataSource);
    mTypeList->SetListener(this);
    for (cWidget* child : {static_cast<cWidget*>(mTypeList), static_cast<cWidget*>(mChannelSpin),
                           static_cast<cWidget*>(mTransposeSpin), static_cast<cWidget*>(mRenameButton),
                           static_cast<cWidget*>(mOKButton)})
        AddChild(child);
    BuildLayout();
    SetVisible(false);
}

cWidgetInstrumentProps::~cWidgetInstrumentProps()
{
    mTypeList->SetDataSource(nullptr);
    for (cWidget* child : {static_cast<cWidget*>(mTypeList), static_cast<cWidget*>(mChannelSpin),
                           static_cast<cWidget*>(mTransposeSpin), static_cast<cWidget*>(mRenameButton),
                           static_cast<cWidget*>(mOKButton)})
        child->Release();
}

void cWidgetInstrumentProps::BuildLayout()
{
    auto* column = new cLayoutLinear(kAxisY, 7);
    AddWidgetItem(column, mChannelSpin, kPolicyPref, kPolicyFixed);
    AddGapItem(column, 1.0f);
    AddWidgetItem(column, mTransposeSpin, kPolicyPref, kPolicyFixed);
    AddGapItem(column, 1.0f);
    AddWidgetItem(column, mRenameButton, kPolicyPref, kPolicyPref);
    AddGapItem(column, 1.0f);
    AddWidgetItem(column, mOKButton, kPolicyPref, kPolicyPref);
    auto* row = new cLayoutLinear(kAxisX, 3);
    AddWidgetItem(row, mTypeList, kPolicyPref, kPolicyPref)->stretch = {kListStretch, 1.0f};
    AddGapItem(row, kColumnGapStretch);
    AddLayoutItem(row, column, kPolicyPref, kPolicyPref);
    row->margins[0] = {kMargin, kUnitPixels};
    row->margins[1] = {GetTextSize(0) + kTopGap, kUnitPixels};
    row->margins[2] = {kMargin, kUnitPixels};
    row->margins[3] = {kMargin, kUnitPixels};
    SetLayout(row);
}

void cWidgetInstrumentProps::OnLayout()
{
    cWidgetDialogue::OnLayout();
    GetLayout()->SetRect(GetContentRect());
}

bool cWidgetInstrumentProps::Draw(cDrawList& list)
{
    DrawBackdrop(list);
    DrawFrame(list);
    return false;
}

void cWidgetInstrumentProps::Show(int32_t slot, const cDelegate& afterClose)
{
    mAfterClose = afterClose;
    ResetAnimation();
    SetSlot(slot);
    SetVisible(true);
    ModifyFlags(kWidgetAllDirty, 0, true);
    cWidgetManager::GetInstance()->GetRoot()->Push(this, 0, kTransitionNone);
}

void cWidgetInstrumentProps::SetSlot(int32_t slot)
{
    mSlot = slot;
    mInstrument = GetSlotInstrument(slot);
    mLoadedName.AssignCStr(mInstrument ? mInstrument->GetName() : "");
    mName.Assign(mLoadedName);
    mRenameButton->SetEnabled(slot > 0);
    UpdateTitle();
    mCurrentPackage = mSelectedPackage = mInstrument ? mInstrument->GetPackage() : nullptr;
    RebuildEntries();
    cProject* project = CurrentProject();
    const int32_t channel = project ? project->GetTrackMap().GetChannel(slot) : 0;
    mChannelSpin->SetValue(channel);
    ShowNumber(mChannelSpin, channel + 1);
    const int32_t transpose = project ? project->GetMIDIInTranspose(slot) : 0;
    mTransposeSpin->SetValue(transpose);
    ShowNumber(mTransposeSpin, transpose);
}

void cWidgetInstrumentProps::UpdateTitle()
{
    cGenStringFixed<64> title;
    if (mName.IsEmpty())
        title.Printf("Instrument %02d", mSlot + 1);
    else
        title.Printf("Instrument %02d. %s", mSlot + 1, mName.CStr());
    SetName(title.CStr());
}

// Slot 0 is the mixing desk's alone; the others take any other package.
void cWidgetInstrumentProps::RebuildEntries()
{
    mDataSource.rows.Clear();
    if (mSlot > 0)
        AddEntry(nullptr);
    const cInstrumentPackageRegistry* packages = cInstrumentPackageRegistry::GetInstance();
    for (cInstrumentPackage* package = packages ? packages->GetFirst() : nullptr; package; package = package->GetNext())
        if ((strcasecmp(package->GetName(), kMixerName) == 0) == (mSlot == 0))
            AddEntry(package);
    mTypeList->MarkForReload();
}

void cWidgetInstrumentProps::AddEntry(cInstrumentPackage* package)
{
    cInstrumentTypeRow* row = mDataSource.rows.Append();
    row->package = package;
    const int32_t sprite = package ? package->GetListIconSprite() : -1;
    row->icon = sprite >= 0 ? &gTex8888AtlasTable[sprite] : nullptr;
    row->flags = package == mCurrentPackage ? uint32_t(cWidgetList::kItemSelected) : 0u;
}

void cWidgetInstrumentProps::OnItemSelected(cWidgetList*, cWidgetList::cItem* item)
{
    if (item)
        OnTypeSelected(AsRow(item));
}

void cWidgetInstrumentProps::OnTypeSelected(cInstrumentTypeRow* row)
{
    mSelectedPackage = row->package;
    if (mSelectedPackage == mCurrentPackage)
        mName.Assign(mLoadedName);
    else if (mSelectedPackage)
        mName.Printf("%s %d", mSelectedPackage->GetName(), mSlot);
    else
        mName.AssignCStr("");
    UpdateTitle();
}

void cWidgetInstrumentProps::OnChannelChanged(int32_t value, cWidgetSpinButton* spin)
{
    ShowNumber(spin, value + 1);
    if (cProject* project = CurrentProject())
        project->SetMIDIInChannel(mSlot, value);
}

void cWidgetInstrumentProps::OnTransposeChanged(int32_t value, cWidgetSpinButton* spin)
{
    ShowNumber(spin, value);
    if (cProject* project = CurrentProject())
    {
        project->SetMIDIInTranspose(mSlot, value);
        project->SetModified(true);
    }
}

void cWidgetInstrumentProps::OnButton(int32_t, cWidgetButton* button)
{
    if (button->GetTag() == kButtonRename)
    {
        StartRename();
        return;
    }
    ApplyType();
    if (cInstrument* instrument = GetSlotInstrument(mSlot))
    {
        instrument->SetName(mName.CStr());
        if (cWidget* page = instrument->GetPackage()->GetUserInterface())
            page->ModifyFlags(kWidgetStateDirty, 0, true);
    }
    Close();
}

// Refused when the song has no room: the name then goes to nothing.
void cWidgetInstrumentProps::ApplyType()
{
    if (mSelectedPackage == mCurrentPackage || !mCommands)
        return;
    if (!mSelectedPackage)
        mCommands->RemoveInstrumentTrack(mSlot);
    else if (mInstrument)
        mCommands->ReplaceTrackInstrument(mSelectedPackage, mName.CStr(), mSlot);
    else
        mCommands->AddInstrumentTrack(mSelectedPackage, mName.CStr(), mSlot);
}

void cWidgetInstrumentProps::StartRename()
{
    cKeyboardRequest request;
    request.maxLength = kNameCapacity;
    request.selectAll = 1;
    request.fileNameMode = 1;
    request.title.Printf("Rename %s", GetName());
    request.text.Assign(mName);
    HideForKeyboard(mMenu);
    HideForKeyboard(this);
    cMainUI::GetInstance()->GetKeyboard()->Prompt(request, cDelegate(this, &cWidgetInstrumentProps::OnRenamed));
}

void cWidgetInstrumentProps::HideForKeyboard(cWidget* widget)
{
    widget->CancelInputRecursive(true);
    widget->SetVisible(false);
}

void cWidgetInstrumentProps::OnRenamed(int32_t result, cWidgetKeyboard* keyboard)
{
    if (result == cWidgetKeyboard::kAccepted)
    {
        mName.Assign(keyboard->GetRequest().text);
        if (mSelectedPackage == mCurrentPackage)
            mLoadedName.Assign(mName);
        UpdateTitle();
    }
    mMenu->ShowInstantly();
    SetVisible(true);
}

void cWidgetInstrumentProps::OnDismiss(int32_t) { Close(); }

void cWidgetInstrumentProps::Close()
{
    const cDelegate afterClose = mAfterClose;
    afterClose.Invoke(mSlot);
    CancelInputRecursive(true);
    cWidgetManager::GetInstance()->GetRoot()->Pop(this);
}
