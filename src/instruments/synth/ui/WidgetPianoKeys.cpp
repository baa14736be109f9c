#include "instruments/synth/ui/WidgetPianoKeys.h"

#include <algorithm>
#include <cmath>

#include "audio/AudioEvent.h"
#include "audio/MIDINoteName.h"
#include "audio/ScaleTable.h"
#include "audio/Transport.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "render/DrawList.h"
#include "render/Font.h"
#include "render/Material.h"
#include "render/TextBatch.h"
#include "render/Texture.h"
#include "ui/DrawHelpers.h"
#include "ui/InputManager.h"
#include "ui/WidgetPanelScroller.h"

namespace
{
constexpr int32_t kVelocity = 100;
constexpr int32_t kLowestScaleVelocity = 40;
constexpr float kScaleVelocityRange = 110.0f;
constexpr float kBlackKeyHeight = 0.7f;
constexpr float kBlackKeyArea = 0.55f;
constexpr float kKeyDepth = 0.05f;
constexpr float kDragMillimetres = 2.0f;
constexpr float kGlideSpeed = 2.0f;
constexpr float kLabelRaise = 0.08f;
constexpr float kTransposedLabelLines = 1.3f;
constexpr float kBlackKeyRowHeight = 0.32421875f;
constexpr float kBlackKeyRowInset = 1.0f / 512.0f;
constexpr float kPressedOverlayTop = 1.0f / 256.0f;
constexpr uint32_t kWhite = 0xffffffffu;
constexpr uint32_t kLabelColour = 0xff505050u;
constexpr uint32_t kTransposedColour = 0xff4040c8u;
constexpr float kMarkerX = 16.0f;
constexpr float kMarkerY = 18.0f;
// Semitones of the black keys after each white key of an octave; -1 where
// the piano has none (after E and B).
constexpr int32_t kBlackSemitones[7] = {1, 3, -1, 6, 8, 10, -1};

// What the set-1 scan codes 0..53 play: rows of in-scale keys (Q and Z),
// rows of out-of-scale keys (the digits from 2 and A from S); -1 none.
enum eKeyRow : int32_t
{
    kRowNone = 0,
    kRowInScaleUpper,
    kRowInScaleLower,
    kRowOutOfScaleUpper,
    kRowOutOfScaleLower,
};
struct cKeyMapping
{
    int32_t row;
    int32_t index;
};
constexpr cKeyMapping MapScanCode(int32_t code)
{
    if (code >= 16 && code <= 27)
        return {kRowInScaleUpper, code - 16};
    if (code >= 44 && code <= 53)
        return {kRowInScaleLower, code - 44};
    if (code >= 3 && code <= 13)
        return {kRowOutOfScaleUpper, code - 3};
    if (code >= 31 && code <= 40)
        return {kRowOutOfScaleLower, code - 31};
    return {kRowNone, -1};
}

std::unique_ptr<cMaterial> KeyMaterial(const char* name, eSampling sampling)
{
    auto material = std::make_unique<cMaterial>(kBlendAlpha);
    material->sampling = sampling;
    if (cTexture* texture = cTexture::Load(name, 0))
    {
        material->SetTexture(texture);
        ReleaseTextureReference(texture);
    }
    return material;
}

float Fraction(float x) { return x - std::floor(x); }

float LineHeight(const cFontHandle& font, float size) { return font.sizeEntry ? font.sizeEntry->size : size; }
} // namespace

cWidgetPianoKeys::cWidgetPianoKeys(cAnalogueSynthUI* owner, bool clip) : cAnalogueSynthPanel(owner, 0), mClip(clip)
{
    SetName("PianoKeys");
    const bool tablet = GetDisplayMetrics().deviceClass == kDeviceClassTablet;
    mWhiteKeys = KeyMaterial(tablet ? "Textures/KeysWhite_x2.pvr" : "Textures/KeysWhite.pvr", kSamplingLinearRepeat);
    mBlackKeys = KeyMaterial(tablet ? "Textures/KeysBlack_x2.pvr" : "Textures/KeysBlack.pvr", kSamplingLinear);
    if (cScaleTable* table = cScaleTable::GetInstance())
        mScale = table->GetScale(0);
    for (int32_t quad = 0; quad <= kMaxInScaleQuads; ++quad)
    {
        const uint16_t base = uint16_t(4 * quad);
        const uint16_t order[6] = {base, uint16_t(base + 1), uint16_t(base + 2), uint16_t(base + 3),
                                   uint16_t(base + 1), uint16_t(base + 2)};
        std::copy(order, order + 6, mIndices + 6 * quad);
    }
    UpdateRange();
}

int32_t cWidgetPianoKeys::InScaleCount() const { return mScale ? std::max(1, mScale->GetInScaleCount()) : 7; }

int32_t cWidgetPianoKeys::StepCount() const { return mScale ? std::max(1, mScale->GetStepCount()) : 12; }

int32_t cWidgetPianoKeys::NoteOfKey(int32_t key) const
{
    const int32_t steps = StepCount();
    const int32_t semitone = mScale ? mScale->GetSteps()[key % steps].semitone : key % steps;
    return key / steps * 12 + semitone;
}

float cWidgetPianoKeys::KeyLeft(int32_t key, float display, bool* inScale)
{
    const int32_t steps = StepCount();
    const int32_t n = InScaleCount();
    const int32_t firstOctave = int32_t(float(steps) * display) / steps;
    const cScaleStep* step = mScale ? &mScale->GetSteps()[key % steps] : nullptr;
    *inScale = !step || step->inScale;
    const float place = float(n * (key / steps - firstOctave)) + (step ? step->keyPosition : 0.0f);
    const float left = (*inScale ? place : place - 0.5f) - Fraction(display) * float(n);
    return GetRect().xMin + left * mKeyWidth;
}

int32_t cWidgetPianoKeys::Transpose() const
{
    const cProjectList* projects = cProjectList::GetInstance();
    const cProject* project = projects ? projects->GetCurrentProject() : nullptr;
    return project ? project->GetTranspose() : 0;
}

int32_t cWidgetPianoKeys::Fold(int32_t note)
{
    while (note < kLowestNote)
        note += 12;
    while (note > kHighestFoldedNote)
        note -= 12;
    return note;
}

void cWidgetPianoKeys::OnLayout() { UpdateRange(); }

void cWidgetPianoKeys::OnStateChange() { UpdateRange(); }

void cWidgetPianoKeys::SetPosition(float position, float glide)
{
    mPosition = position;
    mGlide = glide;
    UpdateRange();
}

void cWidgetPianoKeys::SetKeyWidth(float pixels)
{
    mKeyWidth = pixels;
    UpdateRange();
}

void cWidgetPianoKeys::SetScale(int32_t index)
{
    const cScaleTable* table = cScaleTable::GetInstance();
    const cScale* scale = table ? table->GetScale(index) : nullptr;
    if (index == mScaleIndex || !scale)
        return;
    mScaleIndex = index;
    mScale = scale;
    UpdateRange();
}

void cWidgetPianoKeys::CommitDrag()
{
    mPosition += mDragOffset;
    mDragOffset = 0.0f;
    mGlide = 0.0f;
    UpdateRange();
    scrolledDelegate.Invoke(mPosition, static_cast<cWidget*>(this));
}

void cWidgetPianoKeys::SetPlayOnly(bool playOnly)
{
    if (playOnly == mPlayOnly)
        return;
    mPlayOnly = playOnly;
    if (playOnly)
    {
        if (mScrollTouch >= 0 && mDragStart >= 0.0f)
            CommitDrag();
        mScrollTouch = -1;
    }
    else if (cTouchNote* newest = mTouchNotes.First())
    {
        mScrollTouch = newest->touchId;
        mTouchDownX = newest->touchX;
    }
    mDragOffset = 0.0f;
    mDragStart = -1.0f;
}

void cWidgetPianoKeys::UpdateRange()
{
    const cRect& rect = GetRect();
    const float width = std::max(0.0f, rect.xMax - rect.xMin);
    // A key narrower than a pixel (a squeezed panel) shows no keys at all.
    mVisibleKeys = mKeyWidth >= 1.0f ? width / mKeyWidth : 0.0f;
    const float n = float(InScaleCount());
    const float low = float(kLowestNote) / 12.0f;
    const float high = float(kHighestNote) / 12.0f - mVisibleKeys / n;
    if (mPosition > high)
        mPosition = high;
    if (mPosition < low)
        mPosition = low;
    float display = mPosition + mDragOffset;
    if (display == mDisplay)
        mGlide = 0.0f;
    mClampedLow = mClampedHigh = false;
    if (display <= low)
    {
        mClampedLow = true;
        display = low;
    }
    else if (display >= high)
    {
        mClampedHigh = true;
        display = high;
    }
    mDisplay = display;
    mAtBottom = low > display - 1.0f;
    mAtTop = high < display + 1.0f;
    const float steps = float(StepCount());
    mFirstKey = int32_t(steps * display);
    mLastKey = int32_t(mVisibleKeys / n * steps + float(mFirstKey)) + 1;
    mLabelsDirty = true;
}

void cWidgetPianoKeys::PostNote(uint8_t type, int32_t note, int32_t velocity, uint32_t id) const
{
    cAnalogueSynth* module = GetModule();
    if (!module)
        return;
    cAudioEvent event;
    event.type = type;
    event.SetNote(uint8_t(note), uint8_t(velocity));
    event.wordB = id;
    event.slot = uint8_t(GetInstrument()->GetSlot());
    module->PostEvent(event);
}

int32_t cWidgetPianoKeys::NoteAt(float x, float y)
{
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin;
    const float r = (std::clamp(x, rect.xMin + 1.0f, rect.xMax - 1.0f) - rect.xMin) / width;
    const int32_t n = InScaleCount();
    if (mScaleIndex != 0 || y > rect.yMin + kBlackKeyArea * (rect.yMax - rect.yMin))
    {
        const int32_t key = int32_t(r * mVisibleKeys + float(n) * mDisplay);
        const int32_t inOctave = key % n;
        const int32_t semitone = mScale ? mScale->GetInScaleSemitones()[inOctave] : inOctave;
        return (key - inOctave) * 12 / n + semitone;
    }
    // The upper part of a piano: the nearest black key.
    const float c = r * mVisibleKeys + 7.0f * mDisplay - 0.5f;
    const int32_t i = int32_t(c);
    const int32_t o = i % 7;
    const int32_t base = (i - o) * 12 / 7;
    if (kBlackSemitones[o] >= 0)
        return base + kBlackSemitones[o];
    if (Fraction(c) < 0.5f)
        return base + kBlackSemitones[o - 1];
    return o == 6 ? base + 12 + kBlackSemitones[0] : base + kBlackSemitones[o + 1];
}

int32_t cWidgetPianoKeys::Velocity(float y)
{
    if (mScaleIndex == 0)
        return kVelocity;
    const cRect& rect = GetRect();
    const int32_t velocity =
        int32_t((y - rect.yMin) / (rect.yMax - rect.yMin) * kScaleVelocityRange + float(kLowestScaleVelocity));
    return std::clamp(velocity, kLowestScaleVelocity, 127);
}

cWidgetPianoKeys::cTouchNote* cWidgetPianoKeys::FindTouchNote(int32_t touchId)
{
    for (cTouchNote* record = mTouchNotes.First(); record; record = mTouchNotes.Next(record))
        if (record->touchId == touchId)
            return record;
    return nullptr;
}

bool cWidgetPianoKeys::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!GetModule())
        return true;
    if (!HasFlags(kWidgetShown))
        return false;
    const cRect& rect = GetRect();
    // Keys of no width show nothing and take nothing.
    if (mVisibleKeys <= 0.0f || rect.xMax - rect.xMin < 2.0f)
        return false;
    if (captor != this && (type != kTouchDown || !rect.Contains(touch->position)))
        return false;
    const float x = touch->position.X;
    const float y = touch->position.Y;
    const int32_t unfolded = NoteAt(x, y) + Transpose();
    const int32_t note = Fold(unfolded);
    const int32_t velocity = Velocity(y);
    if (type == kTouchDown)
    {
        CaptureTouch(touch->id);
        mLastTouchedNote = note;
        if (!mPlayOnly && mScrollTouch < 0)
        {
            mScrollTouch = touch->id;
            mTouchDownX = x;
            mDragOffset = 0.0f;
            mDragStart = -1.0f;
        }
        if (cTouchNote* record = mTouchNotes.Take())
        {
            *record = {unfolded, note, MakeVoiceId(kVoiceSourceUser), touch->id, x};
            PostNote(kAudioEventNoteOn, note, velocity, record->id);
        }
        return true;
    }
    if (type == kTouchMove)
    {
        if (touch->id == mScrollTouch && !mPlayOnly)
        {
            if (mDragStart < 0.0f &&
                std::fabs(x - mTouchDownX) > kDragMillimetres * GetDisplayMetrics().pixelsPerMillimetre)
                mDragStart = x;
            if (mDragStart >= 0.0f)
            {
                mGlide = 0.0f;
                mDragOffset =
                    (mDragStart - x) * mVisibleKeys / (float(InScaleCount()) * (rect.xMax - rect.xMin));
                UpdateRange();
            }
            return true;
        }
        mLastTouchedNote = note;
        if (cTouchNote* record = FindTouchNote(touch->id))
        {
            record->touchX = x;
            if (note != record->note)
            {
                // Sliding across keys: the new note starts before the old one ends.
                const uint32_t id = MakeVoiceId(kVoiceSourceUser);
                PostNote(kAudioEventNoteOn, note, velocity, id);
                PostNote(kAudioEventNoteOff, record->note, velocity, record->id);
                record->unfoldedNote = unfolded;
                record->note = note;
                record->id = id;
            }
        }
        return true;
    }
    mLastTouchedNote = -1;
    if (touch->id == mScrollTouch)
    {
        mScrollTouch = -1;
        if (mDragStart >= 0.0f)
            CommitDrag();
        mDragStart = -1.0f;
    }
    if (cTouchNote* record = FindTouchNote(touch->id))
    {
        PostNote(kAudioEventNoteOff, record->note, velocity, record->id);
        mTouchNotes.Release(record);
    }
    return true;
}

bool cWidgetPianoKeys::HandleKey(const cKeyEvent* event)
{
    if (!HasFlags(kWidgetTakesKeys) || !GetModule() || (event->keyCode < 0 && event->character >= 0))
        return false;
    // Only codes of the table's rows are looked up: Space, the keypad and
    // extended keys (bit 8) lie beyond it.
    const int32_t code = event->scanCode;
    if (code < 0 || code >= kScanCodeCount || (code & 0x100))
        return false;
    const cKeyMapping mapping = MapScanCode(code);
    if (mapping.row == kRowNone)
        return false;
    if (event->action != 1)
    {
        for (cKeyNote* record = mKeyNotes.First(); record; record = mKeyNotes.Next(record))
            if (record->scanCode == code)
            {
                PostNote(kAudioEventNoteOff, record->note, kVelocity, record->id);
                mKeyNotes.Release(record);
                break;
            }
        return true;
    }
    for (cKeyNote* record = mKeyNotes.First(); record; record = mKeyNotes.Next(record))
        if (record->scanCode == code)
            return true;
    const int32_t base = int32_t(mPosition);
    int32_t note = -1;
    if (mapping.row == kRowInScaleUpper || mapping.row == kRowInScaleLower)
    {
        const int32_t n = InScaleCount();
        const int32_t octave = base + (mapping.row == kRowInScaleUpper ? 1 : 0);
        const int32_t semitone = mScale ? mScale->GetInScaleSemitones()[mapping.index % n] : mapping.index % n;
        note = (mapping.index / n + octave) * 12 + semitone;
    }
    else if (mScaleIndex == 0 && kBlackSemitones[mapping.index % 7] >= 0)
    {
        const int32_t octave = base + (mapping.row == kRowOutOfScaleUpper ? 1 : 0);
        note = (mapping.index / 7 + octave) * 12 + kBlackSemitones[mapping.index % 7];
    }
    if (note < 0)
        return true;
    const int32_t unfolded = note + Transpose();
    if (cKeyNote* record = mKeyNotes.Take())
    {
        *record = {unfolded, Fold(unfolded), MakeVoiceId(kVoiceSourceUser), code};
        PostNote(kAudioEventNoteOn, record->note, kVelocity, record->id);
    }
    return true;
}

void cWidgetPianoKeys::CancelInput()
{
    while (cTouchNote* record = mTouchNotes.First())
    {
        PostNote(kAudioEventNoteOff, record->note, 0, record->id);
        mTouchNotes.Release(record);
    }
    while (cKeyNote* record = mKeyNotes.First())
    {
        PostNote(kAudioEventNoteOff, record->note, 0, record->id);
        mKeyNotes.Release(record);
    }
    mLastTouchedNote = -1;
    mScrollTouch = -1;
    mDragOffset = 0.0f;
    mDragStart = -1.0f;
}

void cWidgetPianoKeys::AddQuad(cVertexXYZColourTex1* vertices, int32_t quad, const cRect& rect, float u0, float v0,
                               float u1, float v1) const
{
    cVertexXYZColourTex1* v = vertices + 4 * quad;
    v[0] = {rect.xMin, rect.yMin, kKeyDepth, kWhite, u0, v0};
    v[1] = {rect.xMax, rect.yMin, kKeyDepth, kWhite, u1, v0};
    v[2] = {rect.xMin, rect.yMax, kKeyDepth, kWhite, u0, v1};
    v[3] = {rect.xMax, rect.yMax, kKeyDepth, kWhite, u1, v1};
}

// The white keys: one quad whose texture repeats once per key.
void cWidgetPianoKeys::AddBackground(float firstU)
{
    AddQuad(mInScaleVertices, mInScaleQuads++, GetRect(), firstU, 0.5f, firstU + mVisibleKeys, 1.0f);
}

int32_t cWidgetPianoKeys::BuildKeyQuads(int32_t key)
{
    const cRect& rect = GetRect();
    const int32_t first = NoteOfKey(key);
    const int32_t base = first + mCachedTranspose;
    uint32_t pressed = 0;
    if (cAnalogueSynth* module = GetModule())
        pressed = uint32_t(module->GetParamInt(MakeSynthParamId(kSynthParamHeldKeys, base)));
    for (cTouchNote* record = mTouchNotes.First(); record; record = mTouchNotes.Next(record))
        if (record->unfoldedNote >= base && record->unfoldedNote < base + 32)
            pressed |= 1u << (record->unfoldedNote - base);
    for (; key <= mLastKey; ++key)
    {
        const int32_t offset = NoteOfKey(key) - first;
        if (offset > 31)
            return key;
        const bool down = (pressed >> offset) & 1u;
        bool inScale = true;
        const float left = KeyLeft(key, mDisplay, &inScale);
        if (!inScale)
        {
            if (mOutOfScaleQuads >= kMaxOutOfScaleQuads)
                continue;
            const float row = mScale ? mScale->GetSteps()[key % StepCount()].textureRow : 0.0f;
            const cRect keyRect = {left, rect.yMin, left + mKeyWidth,
                                   rect.yMin + kBlackKeyHeight * (rect.yMax - rect.yMin)};
            const float u0 = down ? 0.5f : 0.0f;
            AddQuad(mOutOfScaleVertices, mOutOfScaleQuads++, keyRect, u0, row + kBlackKeyRowInset, u0 + 0.5f,
                    row + kBlackKeyRowHeight);
        }
        else if (down && mInScaleQuads <= kMaxInScaleQuads)
            AddQuad(mInScaleVertices, mInScaleQuads++, {left, rect.yMin, left + mKeyWidth, rect.yMax}, 0.0f,
                    kPressedOverlayTop, 1.0f, 0.5f);
    }
    return -1;
}

bool cWidgetPianoKeys::DrawGlide()
{
    if (mGlide == 0.0f)
        return false;
    const float step = kGlideSpeed * gFramePeriod * (1.0f + std::fabs(mGlide));
    const float next = mGlide > 0.0f ? mGlide - step : mGlide + step;
    if ((mGlide > 0.0f) != (next > 0.0f) || next == 0.0f)
    {
        mGlide = 0.0f;
        return false;
    }
    mGlide = next;
    const float n = float(InScaleCount());
    AddBackground(Fraction(n * mDisplay) + std::fmod(mGlide * n, n));
    if (mScaleIndex == 0)
    {
        const cRect& rect = GetRect();
        const float display = mDisplay + mGlide;
        const int32_t steps = StepCount();
        const int32_t last = int32_t(mVisibleKeys / n * float(steps) + float(int32_t(float(steps) * display))) + 1;
        for (int32_t key = std::max(0, int32_t(float(steps) * display)); key <= last; ++key)
        {
            bool inScale = true;
            const float left = KeyLeft(key, display, &inScale);
            if (inScale || mOutOfScaleQuads >= kMaxOutOfScaleQuads)
                continue;
            const float row = mScale ? mScale->GetSteps()[key % steps].textureRow : 0.0f;
            AddQuad(mOutOfScaleVertices, mOutOfScaleQuads++,
                    {left, rect.yMin, left + mKeyWidth, rect.yMin + kBlackKeyHeight * (rect.yMax - rect.yMin)}, 0.0f,
                    row + kBlackKeyRowInset, 0.5f, row + kBlackKeyRowHeight);
        }
    }
    return true;
}

void cWidgetPianoKeys::FlushQuads(cDrawList& list)
{
    // What others batched goes out in their material, not the keys'.
    list.FlushAll();
    if (mInScaleQuads > 0)
    {
        cScopedMaterial material(list, mWhiteKeys.get());
        list.DrawDirect(kPrimitiveTriangles, cVertexXYZColourTex1::kFormat, mInScaleVertices,
                        uint32_t(4 * mInScaleQuads), mIndices, uint32_t(6 * mInScaleQuads));
    }
    if (mOutOfScaleQuads > 0 && mScaleIndex == 0)
    {
        cScopedMaterial material(list, mBlackKeys.get());
        list.DrawDirect(kPrimitiveTriangles, cVertexXYZColourTex1::kFormat, mOutOfScaleVertices,
                        uint32_t(4 * mOutOfScaleQuads), mIndices, uint32_t(6 * mOutOfScaleQuads));
    }
}

void cWidgetPianoKeys::RebuildLabels()
{
    const cRect& rect = GetRect();
    if (mKeyWidth < 34.0f)
        mLabelSize = 6.0f;
    else if (mKeyWidth < 40.0f)
        mLabelSize = 8.0f;
    else if (mKeyWidth < 50.0f)
        mLabelSize = 10.0f;
    else
        mLabelSize = 11.0f;
    mLabelFont = cFontHandle::CopyWithSize(mOwner->GetLabelFont(), mLabelSize);
    mCachedTranspose = Transpose();
    const float lineHeight = LineHeight(mLabelFont, mLabelSize);
    const float baseline = rect.yMax - kLabelRaise * (rect.yMax - rect.yMin);
    mLabelCount = 0;
    for (int32_t key = mFirstKey; key <= mLastKey && mLabelCount < kMaxLabels; ++key)
    {
        bool inScale = true;
        const float left = KeyLeft(key, mDisplay, &inScale);
        const int32_t note = NoteOfKey(key);
        if (!inScale || (mScaleIndex == 0 && note % 12 != 0))
            continue;
        cLabel& label = mLabels[mLabelCount++];
        GetMIDINoteName(label.name, note);
        const float centre = left + 0.5f * mKeyWidth;
        label.x = centre - 0.5f * mLabelFont.GetTextWidth(label.name.CStr());
        label.y = baseline;
        label.transposed.AssignCStr("");
        if (mCachedTranspose != 0)
        {
            cGenStringFixed<8> name;
            GetMIDINoteName(name, note + mCachedTranspose);
            label.transposed.Printf("(%s)", name.CStr());
            label.transposedX = centre - 0.5f * mLabelFont.GetTextWidth(label.transposed.CStr());
            label.transposedY = baseline;
            label.y = baseline - kTransposedLabelLines * lineHeight;
        }
    }
    mLabelsDirty = false;
}

void cWidgetPianoKeys::DrawLabels(cDrawList& list) const
{
    const float lineHeight = LineHeight(mLabelFont, mLabelSize);
    cTextBatch& text = list.GetTextBatch();
    for (int32_t index = 0; index < mLabelCount; ++index)
    {
        const cLabel& label = mLabels[index];
        text.DrawText(label.x, label.y - lineHeight, list.depth, mLabelFont, kLabelColour, label.name.CStr());
        if (!label.transposed.IsEmpty())
            text.DrawText(label.transposedX, label.transposedY - lineHeight, list.depth, mLabelFont,
                          kTransposedColour, label.transposed.CStr());
    }
}

bool cWidgetPianoKeys::Draw(cDrawList& list)
{
    if (Transpose() != mCachedTranspose || mLabelsDirty)
        RebuildLabels();
    mInScaleQuads = mOutOfScaleQuads = 0;
    if (mVisibleKeys <= 0.0f)
        return true;
    const cRect& rect = GetRect();
    bool clipped = false;
    if (mClip)
    {
        cRect area = mOwner->GetScroller()->GetRect();
        area = {std::max(area.xMin, rect.xMin), std::max(area.yMin, rect.yMin), std::min(area.xMax, rect.xMax),
                std::min(area.yMax, rect.yMax)};
        clipped = list.PushClipRect(area);
    }
    if (!DrawGlide())
    {
        AddBackground(Fraction(float(InScaleCount()) * mDisplay));
        for (int32_t key = mFirstKey; key >= 0;)
            key = BuildKeyQuads(key);
    }
    FlushQuads(list);
    if (mGlide == 0.0f)
        DrawLabels(list);
    if (clipped)
        list.PopClipRect();
    if (gTransport.eraseKeys.load())
        DrawRecordBlinkMarker(list, rect.xMin + kMarkerX, rect.yMin + kMarkerY);
    return true;
}
