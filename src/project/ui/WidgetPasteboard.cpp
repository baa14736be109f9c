#include "project/ui/WidgetPasteboard.h"

#include <cmath>

#include "base/PathUtils.h"
#include "mixer/AuditionPlayer.h"
#include "project/ui/BrowserSprites.h"
#include "project/ui/FileBrowserHost.h"
#include "project/ui/PasteboardSprites.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/LayoutBuilders.h"
#include "ui/StatusBarHost.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
using tLine = cGenStringFixed<cWidgetAlert::kLineCapacity>;

constexpr int32_t kDialogueStyle = kDialogueCloseButton | kDialogueDim;
// Left, top from the screen's near edges; right, bottom from its far ones.
constexpr uint32_t kInsetFromScreen = 0x5533;
constexpr float kScreenLeft = 15.0f, kScreenTop = 40.0f, kScreenRight = -15.0f, kScreenBottom = -15.0f;
constexpr uint32_t kButtonStyle = 0x11;
constexpr float kRowHeight = 50.0f;
constexpr int32_t kRowsAsked = 6;
constexpr float kMargin = 10.0f;
constexpr float kListTop = 40.0f;
constexpr float kTabGap = 1.4f; // in button heights
constexpr int32_t kInfoAlert = 0x600;
constexpr int32_t kQuestionAlert = 0x700;
constexpr int32_t kReadOnly = 4;
constexpr int32_t kSampleLimitMB = cPasteboard::kSampleSizeLimit / (1024 * 1024);
constexpr uint32_t kNameColour = 0xffdcdcdcu;
constexpr uint32_t kInfoColour = 0xff9a9a9au;
constexpr uint32_t kLeftShortened = kTextAlignLeft | kTextAlignCentreY | kTextShortenEnd;
constexpr float kTextIndent = 10.0f;
constexpr float kIconSize = 40.0f;
constexpr float kPastedSeconds = 2.5f;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

void StopAudition()
{
    if (gAuditionPlayer)
        gAuditionPlayer->Stop(false);
}

void DrawSprite(cDrawList& list, const cRect& rect, const cAtlasSprite* sprite, uint32_t colour)
{
    list.DrawQuad(rect, {sprite->u0, sprite->v0}, {sprite->u1, sprite->v1}, colour, 0);
}



// "User/Samples" reads "Samples": the folder as the user knows it.
const char* WithoutFirstComponent(const char* path)
{
    const char* slash = std::strchr(path, '/');
    return slash ? slash + 1 : path;
}
} // namespace

// ------------------------------------------------------------- data sources

cWidgetList::cItem* cWidgetPasteboard::cRowSource::GetFirstChild(cWidgetList::cItem* parent)
{
    return parent ? nullptr : rows.GetHead();
}

cWidgetList::cItem* cWidgetPasteboard::cRowSource::GetLastChild(cWidgetList::cItem* parent)
{
    return parent ? nullptr : rows.GetTail();
}

cWidgetList::cItem* cWidgetPasteboard::cRowSource::GetNext(cWidgetList::cItem* item)
{
    return item ? static_cast<cRow*>(item)->next : nullptr;
}

void cWidgetPasteboard::cFileListDataSource::DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row)
{
    const cRow* fileRow = static_cast<cRow*>(item);
    if (item->flags & cWidgetList::kItemSelected)
        DrawSprite(list, row, Sprite(BrowserSprite::kSelection), 0xffffffffu);
    list.DrawNinePatch(row, Sprite(PasteboardSprite::kRowFrame), nullptr, 0xffffffffu, false);
    if (!fileRow->entry)
        return;
    const float middle = (row.yMin + row.yMax) * 0.5f;
    cTextBatch& text = list.GetTextBatch();
    text.DrawTextInRect({row.xMin + kTextIndent, row.yMin, row.xMax - kTextIndent, middle}, nameFont, list.depth,
                        kNameColour, kLeftShortened, fileRow->entry->displayName.CStr());
    text.DrawTextInRect({row.xMin + kTextIndent, middle, row.xMax - kTextIndent, row.yMax}, infoFont, list.depth,
                        kInfoColour, kLeftShortened, fileRow->entry->description.CStr());
}

void cWidgetPasteboard::cCompatibleAppDataSource::DrawItem(cWidgetList::cItem* item, cDrawList& list,
                                                           const cRect& row)
{
    const cApp* app = static_cast<cRow*>(item)->app;
    if (item->flags & cWidgetList::kItemSelected)
        DrawSprite(list, row, Sprite(BrowserSprite::kSelection), 0xffffffffu);
    if (!app)
        return;
    if (app->flags & kAppInstalled)
        list.DrawNinePatch(row, Sprite(PasteboardSprite::kHighlightBox), nullptr, 0xffffffffu, false);
    const float middle = (row.yMin + row.yMax) * 0.5f;
    if (app->icon)
        DrawSprite(list, {row.xMin + kTextIndent, middle - kIconSize * 0.5f, row.xMin + kTextIndent + kIconSize,
                          middle + kIconSize * 0.5f},
                   app->icon, 0xffffffffu);
    list.GetTextBatch().DrawTextInRect({row.xMin + 2.0f * kTextIndent + kIconSize, row.yMin, row.xMax, row.yMax},
                                       nameFont, list.depth, kNameColour, kLeftShortened, app->name.CStr());
    float right = row.xMax - kTextIndent;
    for (const auto& [bit, sprite] : {std::pair{kAppMarkerB, PasteboardSprite::kAppMarkerB},
                                      std::pair{kAppMarkerA, PasteboardSprite::kAppMarkerA}})
        if (app->flags & bit)
        {
            const cAtlasSprite* marker = Sprite(sprite);
            const float width = marker->width, height = marker->height;
            DrawSprite(list, {right - width, middle - height * 0.5f, right, middle + height * 0.5f}, marker,
                       0xffffffffu);
            right -= width + kTextIndent;
        }
}

// ------------------------------------------------------------------ the page

cWidgetPasteboard::cWidgetPasteboard(cFileBrowserHost* host) : cWidgetDialogue(kDialogueStyle), mHost(host)
{
    SetName("Pasteboard");
    SetAnchors(kInsetFromScreen, kScreenLeft, kScreenTop, kScreenRight, kScreenBottom);
    ModifyFlags(kWidgetNoAutoLayout, 0, false);
    mList = CreateList("");
    mList->SetListener(this);
    mList->SetRowHeight(kRowHeight, kRowsAsked);
    mList->SetDataSource(&mFiles);
    AddChild(mList);
    mList->Release();
    for (cRowSource* source : {static_cast<cRowSource*>(&mFiles), static_cast<cRowSource*>(&mApps)})
    {
        source->nameFont.Select(GetStandardTextSize());
        source->infoFont.Select(GetTextSize(kTextSizeStandard - 1));
    }
    MakeButtons();
}

cWidgetPasteboard::~cWidgetPasteboard()
{
    mList->SetDataSource(nullptr);
    mList->SetListener(nullptr);
}

void cWidgetPasteboard::MakeButtons()
{
    struct cButtonDef
    {
        int32_t id;
        const char* label;
        int32_t mode;
    };
    static const cButtonDef kButtons[] = {
        {kButtonPaste, "Paste", kButtonPush}, {kButtonFiles, "Files", kButtonCycle},
        {kButtonApps, "Apps", kButtonCycle},  {kButtonClear, "Clear", kButtonPush},
        {kButtonAudition, "Audition", kButtonCycle},
    };
    for (const cButtonDef& def : kButtons)
    {
        cWidgetButton* button = CreateButton(def.label, def.mode, kButtonStyle);
        button->SetTag(def.id);
        button->clickDelegate = cDelegate(this, &cWidgetPasteboard::OnButtonClicked);
        AddChild(button);
        button->Release();
        mButtons[def.id] = button;
    }
    SetButtonIcon(mButtons[kButtonPaste], Sprite(PasteboardSprite::kPasteIcon));
    SetButtonIcon(mButtons[kButtonAudition], Sprite(PasteboardSprite::kAuditionIcon));
    mButtons[kButtonClear]->SetVisible(false);
    mButtons[kButtonAudition]->value = 1;
}

void cWidgetPasteboard::SetTargetFolder(const char* path) { mTargetFolder.AssignCStr(path ? path : ""); }

void cWidgetPasteboard::Show(const cDelegate& completion)
{
    mCompletion = completion;
    mSelectedFile = nullptr;
    mSelectedApp = nullptr;
    ResetAnimation();
    SelectTab(kTabFiles, true);
    ModifyFlags(kWidgetAllDirty, 0, true);
    if (!IsShown())
        cWidgetManager::GetInstance()->GetRoot()->Push(this, 0, kTransitionNone);
}

void cWidgetPasteboard::SelectTab(int32_t tab, bool force)
{
    if (tab == mTab && !force)
        return;
    mTab = tab;
    StopAudition();
    if (tab == kTabApps)
    {
        mApps.rows.Clear();
        mSelectedApp = nullptr;
        mList->SetDataSource(&mApps);
        mList->MarkForReload();
        SetName("Compatible Apps");
        mButtons[kButtonAudition]->SetEnabled(false);
    }
    else
    {
        mFiles.rows.Clear();
        mSelectedFile = nullptr;
        if (cPasteboard* pasteboard = cPasteboard::GetInstance())
        {
            pasteboard->Refresh();
            for (int32_t i = 0; i < pasteboard->GetEntryCount(); ++i)
                mFiles.rows.Append()->entry = pasteboard->GetEntry(i);
        }
        mList->SetDataSource(&mFiles);
        mList->MarkForReload();
        const int32_t count = mFiles.rows.GetCount();
        cGenStringFixed<16> items;
        if (count == 1)
            items = "1 item";
        else if (count == 0)
            items = "empty";
        else
            items.Printf("%d items", count);
        mTitle.Printf("Pasteboard (%s)", items.CStr());
        SetName(mTitle.CStr());
        mButtons[kButtonAudition]->SetEnabled(true);
    }
    mButtons[kButtonFiles]->value = tab == kTabFiles ? 1 : 0;
    mButtons[kButtonApps]->value = tab == kTabApps ? 1 : 0;
    UpdateButtons();
}

void cWidgetPasteboard::UpdateButtons()
{
    mList->Reload();
    cWidgetButton* paste = mButtons[kButtonPaste];
    paste->SetEnabled(mList->CountRows() > 0);
    if (mTab == kTabFiles)
        paste->SetName("Paste");
    else
        paste->SetName(mSelectedApp && mSelectedApp->app && !(mSelectedApp->app->flags & kAppInstalled) ? "Store"
                                                                                                           : "Launch");
    paste->ModifyFlags(kWidgetAllDirty, 0, false);
}

intptr_t cWidgetPasteboard::OnButtonClicked(int32_t, cWidgetButton* button)
{
    OnButton(button->GetTag());
    return 0;
}

void cWidgetPasteboard::OnButton(int32_t id)
{
    switch (id)
    {
    case kButtonPaste:
        StopAudition();
        if (mTab == kTabFiles)
            AskToPaste();
        break;
    case kButtonFiles: SelectTab(kTabFiles, false); break;
    case kButtonApps: SelectTab(kTabApps, false); break;
    case kButtonAudition: StopAudition(); break;
    default: break;
    }
    // A tab button shows the tab it stands for, pressed again or not.
    mButtons[kButtonFiles]->value = mTab == kTabFiles ? 1 : 0;
    mButtons[kButtonApps]->value = mTab == kTabApps ? 1 : 0;
}

int32_t cWidgetPasteboard::CountSelectedFiles() const
{
    int32_t count = 0;
    for (const cRow* row = mFiles.rows.GetHead(); row; row = row->next)
        if (row->flags & cWidgetList::kItemSelected)
            ++count;
    return count;
}

void cWidgetPasteboard::AskToPaste()
{
    if (mHost && (mHost->GetFolderProtection(mTargetFolder.CStr()) & kReadOnly))
    {
        tLine first;
        first.Printf("Cannot paste to '%s'.", mTargetFolder.CStr());
        ShowAlert(kInfoAlert, "Paste Files", first.CStr(), "This folder is read only.", cDelegate());
        return;
    }
    const int32_t count = CountSelectedFiles();
    if (count == 0)
        return;
    tLine first, second;
    if (count == 1)
    {
        const cRow* only = mFiles.rows.GetHead();
        while (!(only->flags & cWidgetList::kItemSelected))
            only = only->next;
        first.Printf("Do you want to paste '%s' to", only->entry ? only->entry->fileName.CStr() : "");
    }
    else
        first.Printf("Do you want to paste %d files to", count);
    second.Printf("the '%s' folder?", WithoutFirstComponent(mTargetFolder.CStr()));
    ShowAlert(kQuestionAlert, "Confirm Paste", first.CStr(), second.CStr(),
              cDelegate(this, &cWidgetPasteboard::OnConfirmPaste));
}

void cWidgetPasteboard::ShowAlert(int32_t style, const char* title, const char* first, const char* second,
                                  const cDelegate& answer)
{
    cWidgetAlert* alert = mHost ? mHost->GetAlert() : nullptr;
    if (!alert)
        return;
    alert->Reset(style);
    alert->SetName(title);
    alert->firstLine.AssignCStr(first);
    alert->secondLine.AssignCStr(second);
    if (!answer.IsEmpty())
        alert->SetButton(kAlertCancel, "Cancel");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(answer);
}

// The page carries the pasteboard's own paste steps: its completion is this
// page's, called at once with nothing pasted.
intptr_t cWidgetPasteboard::OnConfirmPaste(int32_t button, cWidget*)
{
    if (button != kAlertOK)
        return 0;
    cPasteboard::cPasteRequest request;
    for (const cRow* row = mFiles.rows.GetHead(); row; row = row->next)
        if (row->flags & cWidgetList::kItemSelected)
            request.Add(row->entry);
    cPasteboard* pasteboard = cPasteboard::GetInstance();
    const cDelegate done(this, &cWidgetPasteboard::OnPasteDone);
    if (pasteboard)
        pasteboard->Paste(request, mTargetFolder.CStr(), done);
    else
    {
        cPasteboard::cPasteResult result;
        result.requested = request.GetCount();
        result.targetFolder = mTargetFolder.CStr();
        done.Invoke(&result);
    }
    return 0;
}

intptr_t cWidgetPasteboard::OnPasteDone(const cPasteboard::cPasteResult* result)
{
    if (result->pasted == result->requested)
        Leave();
    cGenStringFixed<kPathCapacity> fileName(result->targetFolder);
    PathStripToFileName(fileName);
    if (result->pasted > 0)
        mCompletion.Invoke(1, fileName.CStr());
    if (result->pasted != result->requested || result->truncated > 0)
    {
        tLine first, second;
        const char* title;
        if (result->pasted > 0)
        {
            title = result->cancelled ? "Paste Cancelled" : "Paste Complete";
            if (result->requested == 1 && result->pasted == 1)
                first.Printf("Pasted '%s'.", result->targetFolder);
            else
                first.Printf("Pasted %d out of %d files.", result->pasted, result->requested);
            if (result->truncated == 1)
                second.Printf("The file was truncated to the %dMB sample limit.", kSampleLimitMB);
            else if (result->truncated > 1)
                second.Printf("%d files were truncated to the %dMB sample limit.", result->truncated, kSampleLimitMB);
        }
        else
        {
            title = result->cancelled ? "Paste Cancelled" : "Paste Failed";
            first = "No files were pasted.";
        }
        ShowAlert(kInfoAlert, title, first.CStr(), second.CStr(), cDelegate());
        return 0;
    }
    if (mHost)
    {
        tLine message;
        message.Printf("Pasted %d files", result->pasted);
        mHost->ShowTimedMessage(message.CStr(), kPastedSeconds);
    }
    return 0;
}

void cWidgetPasteboard::OnItemSelected(cWidgetList*, cWidgetList::cItem* item)
{
    if (mTab == kTabFiles)
    {
        mSelectedFile = static_cast<cRow*>(item);
        StopAudition();
    }
    else
        mSelectedApp = static_cast<cRow*>(item);
    UpdateButtons();
}

void cWidgetPasteboard::Leave()
{
    StopAudition();
    if (IsShown())
        cWidgetManager::GetInstance()->GetRoot()->Pop(this);
}

void cWidgetPasteboard::OnDismiss(int32_t)
{
    Leave();
    mCompletion.Invoke(0, "");
}

// The list fills the dialogue left of a column of buttons: "Paste" in the
// bottom corner, "Files" on "Apps" like tabs higher up, "Audition" level with
// the list's top.
void cWidgetPasteboard::OnLayout()
{
    cWidgetDialogue::OnLayout();
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin, height = rect.yMax - rect.yMin;
    cVector2 button = {0.0f, 0.0f};
    for (cWidgetButton* each : mButtons)
    {
        const cVector2 size = PreferredSizeOf(each);
        button = {std::max(button.X, size.X), std::max(button.Y, size.Y)};
    }
    const float column = width - kMargin - button.X;
    const float bottom = height - kMargin;
    PlaceInParent(mList, kMargin, kListTop, {column - 2.0f * kMargin, bottom - kListTop});
    const float tabStep = std::round(kTabGap * button.Y);
    const float appsTop = bottom - tabStep - button.Y;
    PlaceInParent(mButtons[kButtonPaste], column, bottom - button.Y, button);
    PlaceInParent(mButtons[kButtonApps], column, appsTop, button);
    PlaceInParent(mButtons[kButtonFiles], column, appsTop - button.Y, button);
    PlaceInParent(mButtons[kButtonClear], column, appsTop - button.Y - tabStep - button.Y, button);
    PlaceInParent(mButtons[kButtonAudition], column, kListTop, button);
}

// One image under "Audition"; the page draws no clip of its own, so it pops
// none.
bool cWidgetPasteboard::Draw(cDrawList& list)
{
    cWidgetDialogue::Draw(list);
    cWidgetButton* audition = mButtons[kButtonAudition];
    const cRect& under = audition->GetRect();
    const cAtlasSprite* image = Sprite(PasteboardSprite::kUnderAudition);
    const float centre = (under.xMin + under.xMax) * 0.5f;
    DrawSprite(list, {centre - image->width * 0.5f, under.yMax, centre + image->width * 0.5f, under.yMax + image->height},
               image, 0xffffffffu);
    return false;
}
