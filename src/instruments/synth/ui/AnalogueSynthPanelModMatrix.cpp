#include "instruments/synth/ui/AnalogueSynthPanelModMatrix.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/AudioEvent.h"
#include "base/Serialise.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/ModMatrix.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "render/DrawList.h"
#include "render/Font.h"
#include "render/TextBatch.h"
#include "ui/WidgetScrollBar.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr float kListLeft = 27.0f;
constexpr float kListTop = 32.0f;
constexpr float kListRight = 23.0f;
constexpr float kListBottom = 50.0f;
constexpr float kFrameGrowth = 8.0f;
constexpr float kColumnShares[4] = {0.0f, 0.28f, 0.56f, 0.84f};
const char* const kColumnNames[4] = {"Source", "Destination", "Parameter", "Amount"};
constexpr float kSpinWidth = 70.0f;
constexpr float kSpinHeight = 26.0f;
constexpr float kSpinGap = 10.0f;
constexpr float kScrollBarWidth = 10.0f;
constexpr float kCaptionGap = 10.0f;
constexpr float kSourceIndent = 2.0f;
constexpr uint32_t kTrackColour = 0xff14121au;
constexpr uint32_t kCaptionColour = SynthColour::kDarkRed;
constexpr uint32_t kRowColour = SynthColour::kCyan;
constexpr uint32_t kSelectedTextColour = 0xff000000u;
// Only the performance controls (rows 6 to 10) reach the effects and sends.
constexpr int32_t kLastVoiceRow = 5;
constexpr int32_t kHighestVoiceDest = 11;
constexpr int32_t kHighestAmount = 100;

float LineHeight(const cFontHandle& font) { return font.sizeEntry ? font.sizeEntry->size : 9.0f; }

int32_t HighestDestFor(int32_t row)
{
    return row <= kLastVoiceRow ? kHighestVoiceDest : cModMatrix::kDestCount - 1;
}
} // namespace

cAnalogueSynthPanelModMatrix::cAnalogueSynthPanelModMatrix(cAnalogueSynthUI* owner) : cAnalogueSynthPanel(owner, 0)
{
    mScroller.owner = this;
    mScroller.listener = this;
    mScroller.SetRowCount(kRowCount);
    mScrollBar = new cWidgetScrollBar(true);
    mScrollBar->SetRange(0.0f, float(kRowCount));
    AddChild(mScrollBar);
    const int32_t ranges[3][2] = {{0, cModMatrix::kDestCount - 1}, {0, 0}, {-kHighestAmount, kHighestAmount}};
    for (int32_t i = 0; i < 3; ++i)
    {
        mSpins[i] = CreateSynthModMatrixSpin();
        mSpins[i]->minimum = ranges[i][0];
        mSpins[i]->maximum = ranges[i][1];
        AddChild(mSpins[i]);
    }
    mSpins[0]->valueDelegate.Bind(this, &cAnalogueSynthPanelModMatrix::OnDestinationChanged);
    mSpins[1]->valueDelegate.Bind(this, &cAnalogueSynthPanelModMatrix::OnParameterChanged);
    mSpins[2]->valueDelegate.Bind(this, &cAnalogueSynthPanelModMatrix::OnAmountChanged);
}

cAnalogueSynthPanelModMatrix::~cAnalogueSynthPanelModMatrix()
{
    for (cWidgetSpinButton* spin : mSpins)
        spin->Release();
    mScrollBar->Release();
}

void cAnalogueSynthPanelModMatrix::OnLayout()
{
    const cRect& rect = GetRect();
    cRect& list = mScroller.area;
    list = {rect.xMin + kListLeft, rect.yMin + kListTop, rect.xMax - kListRight, rect.yMax - kListBottom};
    mScroller.visibleRows = std::max(kMinimumVisibleRows, (list.yMax - list.yMin) / kPreferredRowHeight);
    mScroller.SetPosition(mScroller.GetPosition(), false);
    const float width = list.xMax - list.xMin;
    for (int32_t i = 0; i < 4; ++i)
        mColumns[i] = list.xMin + kColumnShares[i] * width;
    for (int32_t i = 0; i < 3; ++i)
        mSpins[i]->SetAnchors(kAnchorsAbsoluteRect, mColumns[i + 1], list.yMax + kSpinGap, kSpinWidth, kSpinHeight);
    mScrollBar->SetAnchors(kAnchorsAbsoluteRect, list.xMax - kScrollBarWidth, list.yMin, kScrollBarWidth,
                           list.yMax - list.yMin);
    mScrollBar->trackColour = kTrackColour;
    const float position = mScroller.GetPosition();
    mScrollBar->SetWindow(position, position + mScroller.visibleRows);
    mScrollBar->UpdateThumb();
}

void cAnalogueSynthPanelModMatrix::PostField(int32_t field, int32_t value)
{
    const uint32_t id = MakeSynthParamId(kSynthParamSingle, kSingleGroupMod, mRow, field);
    PostToModule(kAudioEventSetIntParam, int32_t(id), value);
}

void cAnalogueSynthPanelModMatrix::OnDestinationChanged(int32_t value, cWidget*)
{
    PostField(cModMatrix::kFieldDest, value);
    RefreshSpins();
}

void cAnalogueSynthPanelModMatrix::OnParameterChanged(int32_t value, cWidget*)
{
    PostField(cModMatrix::kFieldPar, value);
    RefreshSpins();
}

void cAnalogueSynthPanelModMatrix::OnAmountChanged(int32_t value, cWidget*) { PostField(cModMatrix::kFieldAmt, value); }

void cAnalogueSynthPanelModMatrix::OnRowSelected(cScrollHelper*, int32_t row)
{
    mRow = std::clamp(row, 0, kRowCount - 1);
    RefreshSpins();
    if (cAnalogueSynthInstrument* instrument = GetInstrument())
    {
        instrument->patchbayRow = mRow;
        instrument->patchbayPosition = mScroller.GetPosition();
    }
}

void cAnalogueSynthPanelModMatrix::RefreshSpins()
{
    WaitForModule();
    cAnalogueSynth* module = GetModule();
    const cModMatrix* matrix = module ? module->GetCurrentModMatrix() : nullptr;
    if (!matrix)
        return;
    const cModMatrixRow& row = matrix->rows[mRow];
    cWidgetSpinButton* dest = mSpins[0];
    dest->maximum = HighestDestFor(mRow);
    dest->SetValue(row.Dest);
    // A destination the tables do not hold (a damaged bank) has no parameter.
    const int32_t parameters = cModMatrix::GetParNames(row.Dest).count;
    mSpins[1]->maximum = std::max(parameters - 1, 0);
    mSpins[1]->SetValue(row.Par);
    mSpins[2]->SetValue(row.Amt);
}

void cAnalogueSynthPanelModMatrix::OnStateChange()
{
    cAnalogueSynthInstrument* instrument = GetInstrument();
    const int32_t row = instrument ? instrument->patchbayRow : 0;
    const float stored = instrument ? instrument->patchbayPosition : 0.0f;
    mRow = std::clamp(row, 0, kRowCount - 1);
    const float position = std::isfinite(stored) ? stored : 0.0f;
    mScroller.SetPosition(std::clamp(position, 0.0f, mScroller.GetMaximumPosition()), true);
    RefreshSpins();
}

void cAnalogueSynthPanelModMatrix::CancelInput() { mScroller.Cancel(); }

bool cAnalogueSynthPanelModMatrix::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (mScroller.HandleTouch(type, touch, captor))
        return false;
    return OfferTouchToChildren(type, touch, captor);
}

void cAnalogueSynthPanelModMatrix::DrawRows(cDrawList& list, const cModMatrix& matrix)
{
    const cRect& area = mScroller.area;
    const float rowHeight = (area.yMax - area.yMin) / mScroller.visibleRows;
    const float position = mScroller.GetPosition();
    const int32_t first = int32_t(position);
    const int32_t last = std::min(first + int32_t(std::ceil(mScroller.visibleRows)), kRowCount - 1);
    const cFontHandle& font = mOwner->GetLabelFont();
    const float halfLine = LineHeight(font) * 0.5f;
    cTextBatch& text = list.GetTextBatch();
    for (int32_t i = first; i <= last; ++i)
    {
        const float centre = area.yMin + (float(i) - position) * std::floor(rowHeight) + rowHeight * 0.5f;
        uint32_t colour = kRowColour;
        if (i == mRow)
        {
            list.FillRect({area.xMin, centre - rowHeight * 0.5f, area.xMax, centre + rowHeight * 0.5f}, kRowColour);
            colour = kSelectedTextColour;
        }
        const cModMatrixRow& row = matrix.rows[i];
        char amount[16];
        std::snprintf(amount, sizeof(amount), "%d", row.Amt);
        const char* texts[4] = {cModMatrix::GetSourceName(i), cModMatrix::GetDestName(row.Dest),
                                cModMatrix::GetParName(row.Dest, row.Par), amount};
        for (int32_t column = 0; column < 4; ++column)
            if (*texts[column])
                text.DrawText(mColumns[column] + (column == 0 ? kSourceIndent : 0.0f), centre - halfLine, list.depth,
                              font, colour, texts[column]);
    }
}

bool cAnalogueSynthPanelModMatrix::Draw(cDrawList& list)
{
    cAnalogueSynthPanel::Draw(list);
    const float position = mScroller.GetPosition();
    mScrollBar->SetWindow(position, position + mScroller.visibleRows);
    mScrollBar->UpdateThumb();
    mScroller.Update();
    cAnalogueSynth* module = GetModule();
    const cModMatrix* matrix = module ? module->GetCurrentModMatrix() : nullptr;
    if (!matrix || !mOwner)
        return false;
    const cRect& area = mScroller.area;
    const cFontHandle& font = mOwner->GetLabelFont();
    const float captionTop = area.yMin - kCaptionGap - LineHeight(font);
    for (int32_t column = 0; column < 4; ++column)
        list.GetTextBatch().DrawText(mColumns[column], captionTop, list.depth, font, kCaptionColour,
                                     kColumnNames[column]);
    const cRect frame = {area.xMin - kFrameGrowth, area.yMin - kFrameGrowth, area.xMax + kFrameGrowth,
                         area.yMax + kFrameGrowth};
    list.DrawNinePatch(frame, SynthSprite(kSynthListFrame), SynthSprite(kSynthListFrameInner), SynthColour::kWhite,
                       true);
    cScopedClipRect clip(list, area);
    DrawRows(list, *matrix);
    return false;
}
