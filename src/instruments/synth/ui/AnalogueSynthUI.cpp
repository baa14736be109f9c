#include "instruments/synth/ui/AnalogueSynthUI.h"

#include <cmath>

#include "audio/AudioEvent.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/AnalogueSynthVoiceEngine.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthPage.h"
#include "instruments/synth/ui/AnalogueSynthPanel.h"
#include "instruments/synth/ui/AnalogueSynthPanelCheek.h"
#include "instruments/synth/ui/AnalogueSynthPanelEffects.h"
#include "instruments/synth/ui/AnalogueSynthPanelKeyboard.h"
#include "instruments/synth/ui/AnalogueSynthPanelPerform.h"
#include "instruments/synth/ui/AnalogueSynthPanelPreset.h"
#include "instruments/synth/ui/AnalogueSynthSequencerPresetPanel.h"
#include "instruments/synth/ui/AnalogueSynthPanelModMatrix.h"
#include "instruments/synth/ui/AnalogueSynthPanelOsc.h"
#include "instruments/synth/ui/AnalogueSynthPanelStrips.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/WidgetPianoKeys.h"
#include "platform/DisplayMetrics.h"
#include "platform/GlobalSettingValues.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "render/DrawList.h"
#include "render/Font.h"
#include "render/Material.h"
#include "render/TextBatch.h"
#include "ui/InputManager.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetPanelScroller.h"

namespace
{
constexpr int32_t kKeyUp = 283;
constexpr int32_t kKeyDown = 284;
constexpr int32_t kKeyLeft = 285;
constexpr int32_t kKeyRight = 286;
constexpr int32_t kKeyboardOptions = 5;
constexpr float kKeyboardShare = 0.41f;
constexpr float kKeyboardInset = 6.0f;
constexpr float kContainerTop = 2.0f;
constexpr float kWideWidth = 750.0f;
constexpr float kWideHeight = 400.0f;
constexpr float kTwoColumnsWidth = 820.0f;
constexpr float kTwoRowsHeight = 340.0f;
constexpr float kHighestPosition = 12.0f;
constexpr int32_t kOctaveBase = 3;
constexpr uint32_t kLabelBoxColour = 0xff000073u;
constexpr uint32_t kLabelTextColour = 0xffc8c8c8u;
// Left, top and right from the parent's start or end, bottom a height.
constexpr uint32_t kAnchorsTopBand = 0x1533;
// Left and top from the parent's start, right a width, bottom from its end.
constexpr uint32_t kAnchorsLeftStrip = 0x5133;
constexpr uint32_t kAnchorsRightStrip = 0x5535;
constexpr uint32_t kAnchorsBottomStrip = 0x5553;
constexpr uint32_t kAnchorsFractions = 0x2222;

// Millimetres of a white key and the fewest white keys shown, by "KeyWidth".
struct cKeyWidth
{
    float millimetres;
    float minimumKeys;
};
constexpr cKeyWidth kKeyWidths[] = {{11.454f, 12.0f}, {12.982f, 10.0f}, {14.979f, 8.0f}, {19.473f, 7.0f}};

const cKeyWidth& KeyWidthSetting()
{
    const int32_t index = gSettings.keyWidth;
    return kKeyWidths[index >= 0 && index < 4 ? index : cGlobalSettingValues::kKeyWidthNormal];
}

cProject* CurrentProject()
{
    cProjectList* projects = cProjectList::GetInstance();
    return projects ? projects->GetCurrentProject() : nullptr;
}

cAnalogueSynthPage* AsPage(cWidget* widget) { return static_cast<cAnalogueSynthPage*>(widget); }
} // namespace

cAnalogueSynthUI::cAnalogueSynthUI(cAnalogueSynthPackage*)
{
    SetName("AnalogueSynthUI");
    ModifyFlags(kWidgetAcceptsKeys, 0, false);
    if (gMaterialRegistry)
        mTextMaterial = gMaterialRegistry->Find("TexturedMono");
    mLabelFont.Select(10.0f);
    mLabelFont.SetSize(9.0f);

    mContainer = new cWidget();
    mScroller = new cWidgetPanelScroller();
    mScroller->SetName("TopPanelCtr");
    mKeyboardPanel = new cAnalogueSynthPanelKeyboard(this, kKeyboardOptions);
    mKeyboardPanel->SetName("KeyboardB");
    mKeyboardCheek = new cAnalogueSynthPanelCheek(this, cAnalogueSynthPanelCheek::kSideLeft);
    mPageCheek = new cAnalogueSynthPanelCheek(this, cAnalogueSynthPanelCheek::kSideRight);
    AddChild(mContainer);
    AddChild(mKeyboardPanel);
    AddChild(mKeyboardCheek);
    AddChild(mPageCheek);
    mContainer->AddChild(mScroller);
    mTopBand = new cAnalogueSynthPage(this);
    mContainer->AddChild(mTopBand);
    mTopBand->Release();
    for (cAnalogueSynthPage*& page : mPages)
    {
        page = new cAnalogueSynthPage(this);
        mScroller->AddChild(page);
        page->Release();
    }

    mKeyboardCheek->stepDelegate.Bind(this, &cAnalogueSynthUI::OnKeyboardCheekStep);
    mKeyboardCheek->jumpDelegate.Bind(this, &cAnalogueSynthUI::OnKeyboardCheekEnd);
    mPageCheek->stepDelegate.Bind(this, &cAnalogueSynthUI::StepPage);
    mPageCheek->jumpDelegate.Bind(this, &cAnalogueSynthUI::JumpPage);
    GetPianoKeys()->scrolledDelegate.Bind(this, &cAnalogueSynthUI::OnKeyboardScrolled);

    auto* perform = new cAnalogueSynthPanelPerform(this);
    RegisterPerformPage(perform, perform->GetKeyboardPanel());
    perform->Release();
    auto* preset = new cAnalogueSynthPanelPreset(this);
    RegisterPanel(kPanelPreset, "Preset", preset);
    preset->Release();
    mPresetWidget = new cAnalogueSynthSequencerPresetPanel();

    SetKeyboardScroll(false);
    RegisterSoundPanels();
    SetVisible(false);
}

void cAnalogueSynthUI::RegisterSoundPanels()
{
    mEffectsPanel = new cAnalogueSynthPanelEffects(this);
    cAnalogueSynthPanel* const panels[] = {new cAnalogueSynthPanelOsc(this),    new cAnalogueSynthPanelFilter(this),
                                           new cAnalogueSynthPanelAmp(this),    new cAnalogueSynthPanelAux1(this),
                                           new cAnalogueSynthPanelModMatrix(this), mEffectsPanel};
    const char* const names[] = {"Osc", "Filter", "Amp", "LFO/Env", "Patchbay", "Effects"};
    for (int32_t i = 0; i < int32_t(std::size(panels)); ++i)
    {
        RegisterPanel(kPanelOsc + i, names[i], panels[i]);
        panels[i]->Release();
    }
    // Hidden until the effect registry gives its editors.
    mEffectsPanel->SetVisible(false);
}

cAnalogueSynthEditor* cAnalogueSynthUI::Create(cAnalogueSynthPackage* package)
{
    return new cAnalogueSynthUI(package);
}

cAnalogueSynthUI::~cAnalogueSynthUI()
{
    for (cAnalogueSynthPanel* panel : mPanels)
        if (panel)
            panel->Release();
    if (mPerformKeyboard)
        mPerformKeyboard->Release();
    mContainer->Release();
    mScroller->Release();
    mKeyboardPanel->Release();
    mKeyboardCheek->Release();
    mPageCheek->Release();
    mPresetWidget->Release();
}

void cAnalogueSynthUI::Destroy()
{
    if (cWidget* parent = GetParent())
        parent->RemoveChild(this);
    Release();
}

cWidget* cAnalogueSynthUI::GetPresetWidget()
{
    mPresetWidget->AddRef();
    return mPresetWidget;
}

void cAnalogueSynthUI::RegisterPanel(int32_t index, const char* name, cAnalogueSynthPanel* panel)
{
    if (index < 0 || index >= kPanelCount || !panel)
        return;
    panel->SetName(name);
    panel->SetTag(index);
    panel->AddRef();
    if (mPanels[index])
        mPanels[index]->Release();
    mPanels[index] = panel;
    mLayoutPending = true;
}

void cAnalogueSynthUI::RegisterPerformPage(cAnalogueSynthPage* page, cAnalogueSynthPanelKeyboard* keyboard)
{
    mScroller->RemoveChild(mPages[1]);
    mPages[1] = page;
    // Raised in turn, the pages after it keep their order behind it.
    mScroller->AddChild(page);
    for (int32_t index = 2; index < kPageCount; ++index)
        mScroller->AddChild(mPages[index]);
    keyboard->AddRef();
    if (mPerformKeyboard)
        mPerformKeyboard->Release();
    mPerformKeyboard = keyboard;
    GetPerformPianoKeys()->scrolledDelegate.Bind(this, &cAnalogueSynthUI::OnKeyboardScrolled);
    GetPerformPianoKeys()->SetPlayOnly(!mKeyboardScroll);
}

cWidgetPianoKeys* cAnalogueSynthUI::GetPianoKeys() const { return mKeyboardPanel->GetPianoKeys(); }

cWidgetPianoKeys* cAnalogueSynthUI::GetPerformPianoKeys() const
{
    return mPerformKeyboard ? mPerformKeyboard->GetPianoKeys() : nullptr;
}

int32_t cAnalogueSynthUI::GetLastTouchedNote() const { return GetPianoKeys()->GetLastTouchedNote(); }

void cAnalogueSynthUI::SetInstrument(cAnalogueSynthInstrument* instrument)
{
    if (instrument == mInstrument)
        return;
    if (mInstrument)
        CancelInputRecursive(true);
    mInstrument = instrument;
    SetVisible(instrument != nullptr);
    ModifyFlags(kWidgetStateDirty, 0, true);
}

void cAnalogueSynthUI::CancelKeyboardInput()
{
    if (mPerformKeyboard)
        mPerformKeyboard->CancelInputRecursive(true);
    mKeyboardPanel->CancelInputRecursive(true);
}

void cAnalogueSynthUI::OnLayout()
{
    const cRect& rect = GetRect();
    const float height = rect.yMax - rect.yMin;
    const float cheekWidth = SynthSprite(kSynthCheekWidth)->width;
    mKeyboardCheek->SetAnchors(kAnchorsLeftStrip, 0.0f, 0.0f, cheekWidth, 0.0f);
    mPageCheek->SetAnchors(kAnchorsRightStrip, -cheekWidth, 0.0f, 0.0f, 0.0f);
    mTopBand->SetAnchors(kAnchorsTopBand, 0.0f, 0.0f, 0.0f, kTopBandHeight);
    mContainer->SetAnchors(kAnchorsFillParent, cheekWidth, kContainerTop, -cheekWidth, -kKeyboardShare * height);
    mKeyboardPanel->SetAnchors(kAnchorsBottomStrip, kKeyboardInset, -kKeyboardShare * height, -kKeyboardInset, 0.0f);
    ApplyKeyWidth();
    mLayoutPending = true;
}

void cAnalogueSynthUI::ApplyKeyWidth()
{
    const cKeyWidth& setting = KeyWidthSetting();
    const float width =
        mKeyboardPanel->SetKeyWidth(setting.millimetres * GetDisplayMetrics().pixelsPerMillimetre, setting.minimumKeys);
    if (mPerformKeyboard)
        mPerformKeyboard->SetKeyWidth(width, 1.0f);
}

void cAnalogueSynthUI::OnStateChange()
{
    cAnalogueSynth* module = mInstrument ? mInstrument->GetSynth() : nullptr;
    if (!module)
        return;
    module->WaitForEvents();
    mCachedMode = module->GetParamInt(MakeSynthParamId(kSynthParamMode));
    mCachedPreset = module->GetParamInt(MakeSynthParamId(kSynthParamPreset));
    for (int32_t index = kPanelOsc; index <= kPanelPatchbay; ++index)
        if (mPanels[index])
            mPanels[index]->SetVisible(mCachedMode == cAnalogueSynth::kModeSingle);
    // Only the editor's own effects panel waits for the registry's editors.
    if (mEffectsPanel && mPanels[kPanelEffects] == mEffectsPanel)
        if (mEffectsPanel->IsVisible() != mEffectsPanel->FindEditors())
            mEffectsPanel->SetVisible(!mEffectsPanel->IsVisible());
    ApplyKeyWidth();
    mCachedOctave = module->GetParamInt(MakeSynthParamId(kSynthParamOctave));
    const float position = GetPianoKeys()->GetPosition();
    SetKeyboardPosition(position - std::floor(position) + float(mCachedOctave + kOctaveBase), 0.0f);
    cGenStringFixed<64> preset;
    module->GetPresetText(preset);
    mTitle.Printf("%s : %s", mInstrument->GetName(), preset.CStr());
    mLayoutPending = true;
}

void cAnalogueSynthUI::ArrangePages()
{
    const cRect& rect = GetRect();
    const bool wide = rect.xMax - rect.xMin > kWideWidth && rect.yMax - rect.yMin > kWideHeight;
    cAnalogueSynthPanel* preset = mPanels[kPanelPreset];
    if (preset)
        preset->SetWide(wide);
    if (wide)
    {
        if (preset && preset->GetParent() != mTopBand)
            mTopBand->AddChild(preset);
        mScroller->SetAnchors(kAnchorsFillParent, 0.0f, kTopBandHeight, 0.0f, 0.0f);
        if (mPages[0]->IsVisible())
            mPages[0]->CancelInputRecursive(true);
        mPages[0]->SetVisible(false);
    }
    else
    {
        if (preset && preset->GetParent() != mPages[0])
            mPages[0]->AddChild(preset);
        mScroller->SetAnchors(kAnchorsFillParent, 0.0f, 0.0f, 0.0f, 0.0f);
        mPages[0]->SetVisible(true);
    }
    mContainer->UpdateRect();
    mScroller->UpdateRect();
    const cRect& area = mScroller->GetRect();
    const bool twoColumns = area.xMax - area.xMin > kTwoColumnsWidth;
    const bool twoRows = area.yMax - area.yMin > kTwoRowsHeight;
    const int32_t columns = twoColumns ? 2 : 1;
    int32_t rows = twoRows ? 2 : 1;
    const int32_t next = FillPages(2, kPanelOsc, kPanelAux, columns, rows);
    if (twoColumns && twoRows)
        rows = 1;
    const int32_t after = FillPages(next, kPanelPatchbay, kPanelEffects, columns, rows);
    for (int32_t page = after; page < kPageCount; ++page)
        mPages[page]->SetVisible(false);
    ShowPanel(mInstrument ? mInstrument->topPanel.CStr() : "");
}

int32_t cAnalogueSynthUI::FillPages(int32_t page, int32_t first, int32_t last, int32_t columns, int32_t rows)
{
    int32_t panel = first;
    const auto skipHidden = [&] {
        while (panel <= last && (!mPanels[panel] || !mPanels[panel]->IsVisible()))
            ++panel;
    };
    for (; page < kPageCount; ++page)
    {
        bool placed = false;
        for (int32_t row = 0; row < rows; ++row)
            for (int32_t column = 0; column < columns; ++column)
            {
                skipHidden();
                if (panel > last)
                    continue;
                cAnalogueSynthPanel* widget = mPanels[panel++];
                if (widget->GetParent() != mPages[page])
                    mPages[page]->AddChild(widget);
                widget->SetAnchors(kAnchorsFractions, float(column) / float(columns), float(row) / float(rows),
                                   1.0f / float(columns), 1.0f / float(rows));
                placed = true;
            }
        // A page whose panels were all hidden (multi mode) shows nothing.
        mPages[page]->SetVisible(placed);
        skipHidden();
        if (panel > last)
            return page + 1;
    }
    return page;
}

cAnalogueSynthPage* cAnalogueSynthUI::TargetPage() const { return AsPage(mScroller->GetTargetPanel()); }

void cAnalogueSynthUI::RememberPanelName()
{
    cAnalogueSynthPage* page = TargetPage();
    if (mInstrument && page)
        mInstrument->topPanel.Assign(page->GetCurrentPanelName());
}

void cAnalogueSynthUI::ShowPanel(const char* name)
{
    cWidget* chosen = nullptr;
    cWidget* firstVisible = nullptr;
    for (cWidget* page = mScroller->GetFirstChild(); page && !chosen; page = page->GetNext())
    {
        if (!page->IsVisible())
            continue;
        if (!firstVisible)
            firstVisible = page;
        if (AsPage(page)->ShowPanel(name))
            chosen = page;
    }
    if (!chosen)
        chosen = firstVisible;
    if (chosen)
        mScroller->JumpToPanel(chosen);
    RememberPanelName();
    UpdatePageArrows();
}

void cAnalogueSynthUI::StepPage(int32_t direction)
{
    cAnalogueSynthPage* page = TargetPage();
    if (!page)
        return;
    if (direction == 1)
    {
        if (!page->IsAtFirstPanel())
            page->StepBack();
        else
        {
            mScroller->ScrollToPrevious();
            if (TargetPage() != page)
                TargetPage()->ShowLastPanel(false);
        }
    }
    else if (!page->IsAtLastPanel())
        page->StepForward();
    else
    {
        mScroller->ScrollToNext();
        if (TargetPage() != page)
            TargetPage()->ShowFirstPanel(false);
    }
    RememberPanelName();
    UpdatePageArrows();
}

void cAnalogueSynthUI::JumpPage(int32_t direction)
{
    cWidget* before = mScroller->GetTargetPanel();
    if (direction == 1)
        mScroller->GoToFirst(true);
    else
        mScroller->GoToLast(true);
    if (cAnalogueSynthPage* page = TargetPage())
    {
        const bool wasCurrent = page == before;
        if (direction == 1)
            page->ShowFirstPanel(wasCurrent);
        else
            page->ShowLastPanel(wasCurrent);
    }
    RememberPanelName();
    UpdatePageArrows();
}

void cAnalogueSynthUI::UpdatePageArrows()
{
    cAnalogueSynthPage* page = TargetPage();
    const bool atFirst = !page || (mScroller->IsAtFirst() && page->IsAtFirstPanel());
    const bool atLast = !page || (mScroller->IsAtLast() && page->IsAtLastPanel());
    mPageCheek->SetArrowEnabled(cAnalogueSynthPanelCheek::kUp, !atFirst);
    mPageCheek->SetArrowEnabled(cAnalogueSynthPanelCheek::kDown, !atLast);
}

void cAnalogueSynthUI::UpdateKeyboardArrows()
{
    const cWidgetPianoKeys* keys = GetPianoKeys();
    mKeyboardCheek->SetArrowEnabled(cAnalogueSynthPanelCheek::kUp, !keys->IsAtTop());
    mKeyboardCheek->SetArrowEnabled(cAnalogueSynthPanelCheek::kDown, !keys->IsAtBottom());
}

void cAnalogueSynthUI::SetKeyboardPosition(float position, float glide)
{
    cWidgetPianoKeys* keys = GetPianoKeys();
    keys->SetPosition(position, glide);
    if (cWidgetPianoKeys* perform = GetPerformPianoKeys())
    {
        // The Perform keyboard glides only while its keyboard view is on show.
        const bool shown = mScroller->GetCurrentPanel() == mPages[1] && mPages[1]->IsAtLastPanel();
        perform->SetPosition(keys->GetPosition() + mKeyboardOffset, shown ? glide : 0.0f);
    }
    UpdateKeyboardArrows();
}

bool cAnalogueSynthUI::PostOctave(int32_t octave)
{
    cAnalogueSynth* module = mInstrument ? mInstrument->GetSynth() : nullptr;
    return module && module->PostEvent(MakeSetIntEvent(MakeSynthParamId(kSynthParamOctave), octave));
}

void cAnalogueSynthUI::PostKeyboardOctave()
{
    const int32_t octave = int32_t(GetPianoKeys()->GetPosition()) - kOctaveBase;
    if (octave == mCachedOctave)
        return;
    mCachedOctave = octave;
    PostOctave(octave);
}

void cAnalogueSynthUI::OnKeyboardCheekStep(int32_t direction)
{
    const cWidgetPianoKeys* keys = GetPianoKeys();
    if (direction == 1 && !keys->IsAtTop())
        SetKeyboardPosition(keys->GetPosition() + 1.0f, -1.0f);
    else if (direction != 1 && !keys->IsAtBottom())
        SetKeyboardPosition(keys->GetPosition() - 1.0f, 1.0f);
    PostKeyboardOctave();
}

void cAnalogueSynthUI::OnKeyboardCheekEnd(int32_t direction)
{
    const cWidgetPianoKeys* keys = GetPianoKeys();
    if (direction == 1 && !keys->IsAtTop())
        SetKeyboardPosition(kHighestPosition, -1.0f);
    else if (direction != 1 && !keys->IsAtBottom())
        SetKeyboardPosition(0.0f, 1.0f);
    PostKeyboardOctave();
}

void cAnalogueSynthUI::OnKeyboardScrolled(float, cWidget*)
{
    if (cWidgetPianoKeys* perform = GetPerformPianoKeys())
        mKeyboardOffset = perform->GetPosition() - GetPianoKeys()->GetPosition();
    UpdateKeyboardArrows();
    PostKeyboardOctave();
}

void cAnalogueSynthUI::SetKeyboardScroll(bool enabled)
{
    mKeyboardScroll = enabled;
    GetPianoKeys()->SetPlayOnly(!enabled);
    if (cWidgetPianoKeys* perform = GetPerformPianoKeys())
        perform->SetPlayOnly(!enabled);
}

void cAnalogueSynthUI::SetKeyboardScale(int32_t index)
{
    GetPianoKeys()->SetScale(index);
    if (cWidgetPianoKeys* perform = GetPerformPianoKeys())
        perform->SetScale(index);
    UpdateKeyboardArrows();
}

bool cAnalogueSynthUI::Draw(cDrawList& list)
{
    cAnalogueSynth* module = mInstrument ? mInstrument->GetSynth() : nullptr;
    if (!module)
        return true;
    if (mLayoutPending)
    {
        ArrangePages();
        mLayoutPending = false;
    }
    if (module->GetParamInt(MakeSynthParamId(kSynthParamMode)) != mCachedMode ||
        module->GetParamInt(MakeSynthParamId(kSynthParamPreset)) != mCachedPreset)
        ModifyFlags(kWidgetStateDirty, 0, true);
    const cAtlasSprite* background = SynthSprite(kSynthPageBackground);
    mContainer->UpdateRect();
    list.DrawQuad(mContainer->GetRect(), {background->u0, background->v0}, {background->u1, background->v1},
                  SynthColour::kWhite, 0);
    DrawChildren(list);
    module->GetVoiceEngine().RequestClearKeys();
    if (cStatusBarHost* host = GetStatusBarHost())
    {
        if (module->GetParamInt(MakeSynthParamId(kSynthParamModified)) != 0)
        {
            cGenStringFixed<72> title;
            title.Printf("%s*", mTitle.CStr());
            host->SetTitleText(title.CStr());
            if (cProject* project = CurrentProject())
                project->SetModified(true);
        }
        else
            host->SetTitleText(mTitle.CStr());
    }
    return true;
}

bool cAnalogueSynthUI::HandleKey(const cKeyEvent* event)
{
    if (!HasFlags(kWidgetTakesKeys) || !mInstrument || !mInstrument->GetSynth() || event->keyCode < 0)
        return cWidget::HandleKey(event);
    const bool press = event->action == 1;
    cWidgetPianoKeys* keys = GetPianoKeys();
    switch (event->keyCode)
    {
    case kKeyUp:
        if (press)
            StepPage(1);
        return true;
    case kKeyDown:
        if (press)
            StepPage(0);
        return true;
    case kKeyLeft:
        if (press && !keys->IsAtBottom())
            SetKeyboardPosition(keys->GetPosition() - 1.0f, 1.0f);
        PostKeyboardOctave();
        return true;
    case kKeyRight:
        if (press && !keys->IsAtTop())
            SetKeyboardPosition(keys->GetPosition() + 1.0f, -1.0f);
        PostKeyboardOctave();
        return true;
    default:
        return cWidget::HandleKey(event);
    }
}

bool cAnalogueSynthUI::HandleCancel(int32_t kind, int32_t param)
{
    if (kind != 0 || !IsVisible())
        return false;
    return mScroller->HandleCancel(0, param);
}

cLabelBoxPlace cAnalogueSynthUI::PlaceLabelBox(float x0, float y0, float x1, float textWidth, float lineHeight)
{
    cLabelBoxPlace place;
    place.x = std::floor(x0 + 4.5f);
    place.y = std::floor(y0 + 0.5f);
    place.lineStart = place.x + 10.0f;
    place.lineEnd = std::floor(x1 + 0.5f - 4.0f);
    place.boxRight = place.x + textWidth + 10.0f;
    place.boxBottom = place.y + lineHeight + 3.0f;
    place.textX = place.x + 5.0f;
    place.textY = place.y + 1.0f;
    return place;
}

void cAnalogueSynthUI::DrawLabelBox(float x0, float y0, cDrawList& list, float x1, const char* text) const
{
    const char* shown = text ? text : "";
    const float lineHeight = mLabelFont.sizeEntry ? mLabelFont.sizeEntry->size : 9.0f;
    const cLabelBoxPlace place = PlaceLabelBox(x0, y0, x1, mLabelFont.GetTextWidth(shown), lineHeight);
    list.FillRect({place.lineStart, place.y, place.lineEnd, place.y + 1.0f}, kLabelBoxColour);
    list.FillRect({place.x, place.y, place.boxRight, place.boxBottom}, kLabelBoxColour);
    if (*shown)
        list.GetTextBatch().DrawText(place.textX, place.textY, list.depth, mLabelFont, kLabelTextColour, shown);
}
