#include "instruments/synth/ui/AnalogueSynthPanelKeyboard.h"

#include <algorithm>

#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/ui/WidgetMusicalScale.h"
#include "instruments/synth/ui/WidgetPianoKeys.h"

namespace
{
// Left from the parent's end, top from its start, right and bottom from its end.
constexpr uint32_t kAnchorsRightColumn = 0x5535;
} // namespace

cAnalogueSynthPanelKeyboard::cAnalogueSynthPanelKeyboard(cAnalogueSynthUI* owner, int32_t options)
    : cAnalogueSynthPanel(owner, 0), mOptions(options)
{
    mPianoKeys = new cWidgetPianoKeys(owner, (options & kClipToPages) != 0);
    AddChild(mPianoKeys);
    if (options & kScaleChooser)
    {
        mScaleChooser = new cWidgetMusicalScale();
        mScaleChooser->selectedDelegate.Bind(this, &cAnalogueSynthPanelKeyboard::OnScaleChosen);
        mScaleChooser->SetVisible(false);
        AddChild(mScaleChooser);
    }
    if (options & kTakesKeys)
    {
        ModifyFlags(kWidgetAcceptsKeys, 0, false);
        mPianoKeys->ModifyFlags(kWidgetAcceptsKeys, 0, false);
    }
}

cAnalogueSynthPanelKeyboard::~cAnalogueSynthPanelKeyboard()
{
    mPianoKeys->Release();
    if (mScaleChooser)
        mScaleChooser->Release();
}

bool cAnalogueSynthPanelKeyboard::Draw(cDrawList&) { return false; }

void cAnalogueSynthPanelKeyboard::OnLayout()
{
    const float room = IsScaleChooserShown() ? -kChooserInset : 1.0f;
    mPianoKeys->SetAnchors(kAnchorsFillParent, 0.0f, 0.0f, room, 0.0f);
    if (mScaleChooser)
        mScaleChooser->SetAnchors(kAnchorsRightColumn, -kChooserInset, 1.0f, 1.0f, 0.0f);
    UpdateKeyWidth();
}

float cAnalogueSynthPanelKeyboard::SetKeyWidth(float preferredWidth, float minimumKeys)
{
    mPreferredKeyWidth = preferredWidth;
    mMinimumKeys = minimumKeys;
    UpdateKeyWidth();
    return mKeyWidth;
}

void cAnalogueSynthPanelKeyboard::UpdateKeyWidth()
{
    UpdateRect();
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin;
    float keyWidth = mPreferredKeyWidth;
    if (width / mPreferredKeyWidth < mMinimumKeys)
        keyWidth = width / mMinimumKeys;
    const float share = IsScaleChooserShown() && width > 0.0f ? 1.0f - kChooserWidth / width : 1.0f;
    // A panel without room yet (before its first layout, or squeezed behind
    // the chooser) still gives keys a pixel, never a width to divide by 0.
    mKeyWidth = std::max(1.0f, keyWidth * share);
    mPianoKeys->SetKeyWidth(mKeyWidth);
}

void cAnalogueSynthPanelKeyboard::ShowScaleChooser(bool show)
{
    if (!mScaleChooser || mScaleChooser->IsVisible() == show)
        return;
    mScaleChooser->SetVisible(show);
    ModifyFlags(kWidgetLayoutDirty, 0, false);
}

bool cAnalogueSynthPanelKeyboard::IsScaleChooserShown() const { return mScaleChooser && mScaleChooser->IsVisible(); }

void cAnalogueSynthPanelKeyboard::OnScaleChosen(int32_t index, cWidget*) { mOwner->SetKeyboardScale(index); }
