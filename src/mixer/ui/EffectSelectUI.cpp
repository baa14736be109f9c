#include "mixer/ui/EffectSelectUI.h"

#include <algorithm>

#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/ProjectModified.h"
#include "mixer/Effect.h"
#include "mixer/EffectChainFile.h"
#include "mixer/EffectRack.h"
#include "mixer/EffectRegistry.h"
#include "mixer/ui/EffectRackUI.h"
#include "mixer/ui/MixingDeskSprites.h"
#include "mixer/ui/MixingDeskUIHost.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
constexpr int32_t kStyle = kDialogueCloseButton | kDialogueDim;
constexpr uint32_t kExtraFlags = kWidgetAbsoluteDepth | kWidgetNoAutoLayout;
constexpr float kDepth = 0.2f;
constexpr float kItemSpacing = 12.0f;
constexpr float kRowSpacing = 6.0f;
constexpr float kMargin = 6.0f;
constexpr float kTitleRoom = 10.0f;
constexpr float kListStretch = 5.0f;
constexpr float kGapStretch = 0.6f;
constexpr float kTextLeft = 10.0f;
constexpr float kNameSize = 11.0f;
constexpr float kDescriptionSize = 8.0f;
constexpr float kDescriptionGap = 4.0f;
constexpr uint32_t kNameColour = 0xffffffffu;
constexpr uint32_t kDescriptionColour = 0xffc8c8c8u;
constexpr int32_t kAlertStyle = 0x700;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

File::cFileSystem* Documents() { return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr; }

// The name the user knows the file by: the path without its folders.
const char* FileName(const char* path)
{
    const char* name = path;
    for (const char* c = path; *c; ++c)
        if (*c == '/')
            name = c + 1;
    return name;
}
} // namespace

// ---------------------------------------------------------------- item pool

cEffectListItemPool::~cEffectListItemPool()
{
    for (cBlock* block : mBlocks)
        delete block;
}

cEffectListItem* cEffectListItemPool::Take()
{
    if (mBlocks.empty() || mBlocks.front()->usedCount == kBlockSize)
        mBlocks.insert(mBlocks.begin(), new cBlock());
    cBlock* block = mBlocks.front();
    const int32_t index = int32_t(std::find(block->used, block->used + kBlockSize, false) - block->used);
    block->used[index] = true;
    if (++block->usedCount == kBlockSize)
    {
        mBlocks.erase(mBlocks.begin());
        mBlocks.push_back(block);
    }
    block->items[index] = cEffectListItem();
    return &block->items[index];
}

void cEffectListItemPool::Return(cEffectListItem* item)
{
    const auto holds = [item](const cBlock* block)
    { return item >= block->items && item < block->items + kBlockSize; };
    const auto found = std::find_if(mBlocks.begin(), mBlocks.end(), holds);
    if (found == mBlocks.end())
        return;
    cBlock* block = *found;
    block->used[item - block->items] = false;
    mBlocks.erase(found);
    if (--block->usedCount == 0)
        delete block;
    else
        mBlocks.insert(mBlocks.begin(), block);
}

// ---------------------------------------------------------------- data source

cEffectSelectUI::cEffectListDataSource::cEffectListDataSource() : cDataSource(0) { mFont.Select(kNameSize); }

cEffectSelectUI::cEffectListDataSource::~cEffectListDataSource() { Clear(); }

void cEffectSelectUI::cEffectListDataSource::Clear()
{
    while (cEffectListItem* item = mFirst)
    {
        mFirst = item->next;
        mPool.Return(item);
    }
    mLast = nullptr;
    mCount = 0;
}

void cEffectSelectUI::cEffectListDataSource::Append(cEffectPackage* package, const cAtlasSprite* icon, bool selected)
{
    cEffectListItem* item = mPool.Take();
    item->package = package;
    item->icon = icon;
    item->flags = selected ? uint32_t(cWidgetList::kItemSelected) : 0u;
    item->previous = mLast;
    if (mLast)
        mLast->next = item;
    else
        mFirst = item;
    mLast = item;
    ++mCount;
}

cWidgetList::cItem* cEffectSelectUI::cEffectListDataSource::GetFirstChild(cWidgetList::cItem* parent)
{
    return parent ? nullptr : mFirst;
}

cWidgetList::cItem* cEffectSelectUI::cEffectListDataSource::GetNext(cWidgetList::cItem* item)
{
    return item ? static_cast<cEffectListItem*>(item)->next : nullptr;
}

void cEffectSelectUI::cEffectListDataSource::DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row)
{
    const auto* effect = static_cast<const cEffectListItem*>(item);
    list.fontHandle = mFont;
    if (effect->flags & cWidgetList::kItemSelected)
        list.DrawNinePatch(row, Sprite(MixingDeskSprite::kHighlight), nullptr, 0xffffffffu, true);
    const float x = row.xMin + kTextLeft, centre = (row.yMin + row.yMax) * 0.5f;
    if (!effect->package)
    {
        list.DrawTextSized(x, centre, kNameColour, kTextAlignLeft | kTextAlignCentreY, "None", kNameSize);
        return;
    }
    list.DrawTextSized(x, centre, kNameColour, kTextAlignLeft | kTextAlignBottom, effect->package->GetShortName(),
                       kNameSize);
    list.DrawTextSized(x, centre + kDescriptionGap, kDescriptionColour, kTextAlignLeft | kTextAlignTop,
                       effect->package->GetDescription(), kDescriptionSize);
}

// ---------------------------------------------------------------- dialogue

cEffectSelectUI::cEffectSelectUI() : cWidgetDialogue(kStyle)
{
    SetName("Select Effect");
    ModifyFlags(kExtraFlags, 0, false);
    SetDepth(kDepth);
    static const char* const kLabels[kButtonCount] = {"OK", "Load Chain", "Save Chain", "Clear Chain"};
    static const int kIcons[kButtonCount] = {MixingDeskSprite::kOkIcon, MixingDeskSprite::kLoadIcon,
                                             MixingDeskSprite::kSaveIcon, -1};
    for (int32_t i = 0; i < kButtonCount; ++i)
    {
        mButtons[i] = CreateButton(kLabels[i], 0, 0);
        mButtons[i]->SetTag(i);
        if (kIcons[i] >= 0)
            SetButtonIconBeside(mButtons[i], Sprite(kIcons[i]));
        mButtons[i]->clickDelegate = cDelegate(this, &cEffectSelectUI::OnButton);
        AddChild(mButtons[i]);
    }
    mList = CreateList("Effect Type");
    mList->SetRowHeight(kRowHeight, cWidgetList::kDefaultMinimumRows);
    mList->SetDataSource(&mItems);
    mList->SetListener(this);
    AddChild(mList);
    BuildLayout();
}

cEffectSelectUI::~cEffectSelectUI()
{
    mList->SetDataSource(nullptr);
    mList->Release();
    for (cWidgetButton* button : mButtons)
        button->Release();
}

void cEffectSelectUI::BuildLayout()
{
    auto* column = new cLayoutLinear(kAxisY, 3);
    column->itemSpacing = kItemSpacing;
    column->margins[0].value = kMargin;
    column->margins[1].value = GetTextSize(kTextSizeTitle) + kTitleRoom;
    column->margins[2].value = kMargin;
    column->margins[3].value = kMargin;
    AddWidgetItem(column, mList, kPolicyPref, kPolicyPref)->stretch = {1.0f, kListStretch};
    AddGapItem(column, kGapStretch);
    auto* row = new cLayoutLinear(kAxisX, 7);
    row->itemSpacing = kRowSpacing;
    const int32_t order[kButtonCount] = {kButtonLoad, kButtonSave, kButtonClear, kButtonOK};
    for (int32_t i = 0; i < kButtonCount; ++i)
    {
        if (i > 0)
            AddGapItem(row, 1.0f);
        AddWidgetItem(row, mButtons[order[i]], kPolicyPref, kPolicyPref);
    }
    AddLayoutItem(column, row, kPolicyPref, kPolicyPref);
    SetLayout(column);
}

void cEffectSelectUI::OnLayout()
{
    cWidgetDialogue::OnLayout();
    GetLayout()->SetRect(GetContentRect());
}

void cEffectSelectUI::Show(cEffectRackUI* chainEditor, cEffectRackNode* node, const cDelegate& result)
{
    mChainEditor = chainEditor;
    mNode = node;
    mResult = result;
    mMode = kModeIdle;
    ResetAnimation();
    mChosen = node && node->GetEffect() ? node->GetEffect()->GetPackage() : nullptr;
    mItems.Clear();
    mItems.Append(nullptr, Sprite(MixingDeskSprite::kNoneIcon), mChosen == nullptr);
    for (cEffectPackage* package = gEffectRegistry ? gEffectRegistry->GetFirst() : nullptr; package;
         package = package->GetNext())
        mItems.Append(package, Sprite(package->GetIconSprite()), package == mChosen);
    mList->MarkForReload();
    SetVisible(true);
    ModifyFlags(kWidgetAllDirty, 0, true);
    cWidgetManager::GetInstance()->GetRoot()->Push(this, 0, kTransitionNone);
}

void cEffectSelectUI::OnItemSelected(cWidgetList*, cWidgetList::cItem* item)
{
    mChosen = item ? static_cast<cEffectListItem*>(item)->package : nullptr;
}

intptr_t cEffectSelectUI::OnButton(intptr_t, cWidgetButton* button)
{
    switch (button->GetTag())
    {
    case kButtonOK:
    {
        const cDelegate result = mResult;
        cEffectRackNode* node = mNode;
        cEffectPackage* chosen = mChosen;
        Close();
        result.Invoke(node, chosen);
        break;
    }
    case kButtonLoad:
    case kButtonSave:
        mMode = button->GetTag() == kButtonLoad ? kModeLoad : kModeSave;
        if (IsVisible())
        {
            CancelInputRecursive(true);
            SetVisible(false);
        }
        OpenChainBrowser(mMode == kModeSave);
        break;
    case kButtonClear:
        mMode = kModeClear;
        AskToClear();
        break;
    default:
        break;
    }
    return 0;
}

void cEffectSelectUI::OpenChainBrowser(bool save)
{
    if (File::cFileSystem* documents = Documents())
        documents->CreateFolder(cGenString::ConstructView(EffectChainFile::kFolder));
    cChainBrowserRequest request;
    request.title = save ? "Save Effects Chain" : "Load Effects Chain";
    request.rootFolder = EffectChainFile::kFolder;
    request.startFile = mLastChainPath.CStr();
    request.extension = EffectChainFile::kExtension;
    request.icon = Sprite(MixingDeskSprite::kChainIcon);
    request.save = save;
    if (!GetMixingDeskUIHost().ShowChainBrowser(request, cDelegate(this, &cEffectSelectUI::OnChainFileChosen)))
        OnChainFileChosen(0, nullptr);
}

intptr_t cEffectSelectUI::OnChainFileChosen(int32_t result, const char* path)
{
    SetVisible(true);
    if (result != 1 || !path)
    {
        mMode = kModeIdle;
        return 0;
    }
    mLastChainPath = path;
    const bool load = mMode == kModeLoad;
    const bool done = load ? LoadChain(path) : SaveChain(path);
    // The chooser leaves first, so that the alert is the top layer.
    Finish();
    if (!done && load)
        ShowFailure("Load Effects Chain", "Couldn't load effects chain '%s'", path);
    else if (!done)
        ShowFailure("Save Effects Chain", "Couldn't save effects chain '%s'", path);
    return 0;
}

// A chain read in is a change of the project like any swap in the editor.
bool cEffectSelectUI::LoadChain(const char* path)
{
    cEffectRack* rack = mChainEditor ? mChainEditor->GetRack() : nullptr;
    if (!rack || !EffectChainFile::Load(Documents(), path, *rack))
        return false;
    mChainEditor->SetRack(rack);
    MarkProjectModified();
    cGenStringFixed<kPathCapacity + 16> text;
    text.Printf("Loaded '%s'", FileName(path));
    GetMixingDeskUIHost().ShowStatusMessage(text.CStr(), kMessageSeconds);
    return true;
}

bool cEffectSelectUI::SaveChain(const char* path)
{
    cEffectRack* rack = mChainEditor ? mChainEditor->GetRack() : nullptr;
    if (!rack || !EffectChainFile::Save(Documents(), path, *rack))
        return false;
    cGenStringFixed<kPathCapacity + 16> text;
    text.Printf("Saved '%s'", FileName(path));
    GetMixingDeskUIHost().ShowStatusMessage(text.CStr(), kMessageSeconds);
    return true;
}

void cEffectSelectUI::ShowFailure(const char* title, const char* format, const char* path)
{
    cWidgetAlert* alert = GetMixingDeskUIHost().GetAlert();
    if (!alert)
        return;
    alert->Reset(0);
    alert->SetName(title);
    alert->firstLine.Printf(format, FileName(path));
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate());
}

void cEffectSelectUI::AskToClear()
{
    cWidgetAlert* alert = GetMixingDeskUIHost().GetAlert();
    if (!alert)
    {
        mMode = kModeIdle;
        return;
    }
    alert->Reset(kAlertStyle);
    alert->SetName("Clear Effects Chain");
    alert->firstLine = "Are you sure you want to remove all";
    alert->secondLine = "effects from the chain?";
    alert->SetButton(kAlertCancel, "Cancel");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(this, &cEffectSelectUI::OnClearConfirmed));
}

intptr_t cEffectSelectUI::OnClearConfirmed(int32_t result, cWidgetAlert*)
{
    mMode = kModeIdle;
    cEffectRack* rack = mChainEditor ? mChainEditor->GetRack() : nullptr;
    if (result != kAlertOK || !rack)
        return 0;
    rack->RemoveEffects();
    mChainEditor->SetRack(rack);
    MarkProjectModified();
    Finish();
    return 0;
}

void cEffectSelectUI::OnDismiss(int32_t) { Finish(); }

void cEffectSelectUI::Finish()
{
    const cDelegate result = mResult;
    Close();
    result.Invoke(static_cast<cEffectRackNode*>(nullptr), static_cast<cEffectPackage*>(nullptr));
}

void cEffectSelectUI::Close()
{
    mMode = kModeIdle;
    mResult.Clear();
    mNode = nullptr;
    CancelInputRecursive(true);
    if (cWidgetManager* manager = cWidgetManager::GetInstance())
        manager->GetRoot()->Pop(this);
}
