#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "SynthEditorFixture.h"
#include "instruments/synth/ui/AnalogueSynthPanelCheek.h"
#include "instruments/synth/ui/AnalogueSynthPanelKeyboard.h"
#include "instruments/synth/ui/WidgetMusicalScale.h"
#include "instruments/synth/ui/WidgetPianoKeys.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "render/Material.h"
#include "render/Texture.h"
#include "ui/WidgetButton.h"

namespace
{
constexpr int32_t kScanQ = 16;
constexpr int32_t kScanW = 17;
constexpr int32_t kScanZ = 44;
constexpr int32_t kScan2 = 3;
constexpr int32_t kScan4 = 5;
constexpr int32_t kScanS = 31;
constexpr int32_t kChromatic = 1;

// Counts a cheek's calls by direction, and the frame each came in.
struct cCheekLog
{
    void OnStep(int32_t direction)
    {
        steps.push_back(direction);
        stepFrames.push_back(frame);
    }
    void OnJump(int32_t direction) { jumps.push_back(direction); }

    int frame = 0;
    std::vector<int32_t> steps;
    std::vector<int> stepFrames;
    std::vector<int32_t> jumps;
};
} // namespace

class SynthKeyboard : public SynthEditor
{
protected:
    void SetUp() override
    {
        SynthEditor::SetUp();
        SetInt(Synth(), MakeSynthParamId(kSynthParamOctave), 1);
        Synth().Take();
        Open(kScreenWidth, kScreenHeight);
        keys = editor->GetPianoKeys();
        rect = keys->GetRect();
        width = keys->GetKeyWidth();
    }
    // The centre of white key i from the left edge, in the keys' lower part.
    float WhiteX(float i) const { return rect.xMin + (i + 0.5f) * width; }
    float LowerY() const { return rect.yMin + 0.8f * (rect.yMax - rect.yMin); }
    float UpperY() const { return rect.yMin + 0.3f * (rect.yMax - rect.yMin); }
    int32_t TouchNote(float x, float y)
    {
        Down(1, x, y);
        Up(1, x, y);
        const std::vector<cAudioEvent> events = Synth().Take();
        return events.empty() ? -1 : events[0].GetNote();
    }
    int32_t KeyNote(int32_t scanCode)
    {
        Key(1, scanCode);
        Key(0, scanCode);
        const std::vector<cAudioEvent> events = Synth().Take();
        return events.empty() ? -1 : events[0].GetNote();
    }

    cWidgetPianoKeys* keys = nullptr;
    cRect rect = {};
    float width = 0.0f;
};

TEST_F(SynthKeyboard, TouchesPlayTheNoteUnderTheFinger)
{
    ASSERT_FLOAT_EQ(keys->GetPosition(), 4.0f);
    struct cCase
    {
        const char* what;
        float x;
        bool upper;
        int32_t note;
    };
    const cCase cases[] = {
        {"the very left edge counts 1 px inside", rect.xMin, false, 48},
        {"C4", WhiteX(7.0f), false, 60},
        {"D4", WhiteX(8.0f), false, 62},
        {"upper part, between E and F nearer E", rect.xMin + 2.8f * width, true, 51},
        {"upper part, between E and F nearer F", rect.xMin + 3.2f * width, true, 54},
        {"upper part over C sharp", rect.xMin + 1.0f * width, true, 49},
    };
    for (const cCase& c : cases)
        EXPECT_EQ(TouchNote(c.x, c.upper ? UpperY() : LowerY()), c.note) << c.what;

    Down(1, WhiteX(7.0f), LowerY());
    const std::vector<cAudioEvent> on = Synth().Take();
    ASSERT_EQ(on.size(), 1u);
    EXPECT_EQ(on[0].GetVelocity(), 100);
    EXPECT_EQ(on[0].slot, 3);
    EXPECT_EQ(on[0].wordB >> 24, kVoiceSourceUser);
    EXPECT_EQ(keys->GetLastTouchedNote(), 60);
    // Sliding to D starts D before C ends.
    Move(1, WhiteX(8.0f), LowerY());
    EXPECT_EQ(Synth().TakeNotes(), (std::vector<int32_t>{62, -60}));
    Up(1, WhiteX(8.0f), LowerY());
    EXPECT_EQ(Synth().TakeNotes(), (std::vector<int32_t>{-62}));
    EXPECT_EQ(keys->GetLastTouchedNote(), -1);
}

TEST_F(SynthKeyboard, ScalesPlayEqualKeysWithVelocityByHeight)
{
    editor->SetKeyboardScale(kChromatic);
    Frame();
    const float height = rect.yMax - rect.yMin;
    Down(1, WhiteX(1.0f), rect.yMin + 0.5f * height);
    const std::vector<cAudioEvent> events = Synth().Take();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].GetNote(), 49) << "chromatic keys are semitones";
    EXPECT_EQ(events[0].GetVelocity(), int32_t((0.5f * height) / height * 110.0f + 40.0f));
    Up(1, WhiteX(1.0f), rect.yMin + 0.5f * height);
    Synth().Take();
    // The digit and A rows have no out-of-scale keys to play.
    EXPECT_EQ(KeyNote(kScan2), -1);
    EXPECT_EQ(KeyNote(kScanS), -1);
    EXPECT_EQ(KeyNote(kScanW), 61);
}

TEST_F(SynthKeyboard, ComputerKeysPlayTwoOctavesFromThePosition)
{
    struct cCase
    {
        const char* what;
        int32_t scanCode;
        int32_t note;
    };
    for (const cCase& c : {cCase{"Q", kScanQ, 60}, cCase{"W", kScanW, 62}, cCase{"Z", kScanZ, 48},
                           cCase{"2", kScan2, 61}, cCase{"4: no black key after E", kScan4, -1}})
        EXPECT_EQ(KeyNote(c.scanCode), c.note) << c.what;

    // Twelve held keys at most: the thirteenth plays nothing.
    for (int32_t code = kScanQ; code < kScanQ + 12; ++code)
        Key(1, code);
    Key(1, kScanZ);
    std::vector<cAudioEvent> events = Synth().Take();
    EXPECT_EQ(events.size(), 12u);
    EXPECT_EQ(keys->GetHeldNoteCount(), 12);
    Key(0, kScanQ);
    Key(1, kScanZ + 1);
    EXPECT_EQ(Synth().TakeNotes(), (std::vector<int32_t>{-60, 50})) << "a released key frees its record";
    // All notes off lets go of every held key.
    instrument->AllNotesOff(0);
    events = Synth().Take();
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const cAudioEvent& e) { return e.type == kAudioEventNoteOff; }),
              12);
    EXPECT_EQ(keys->GetHeldNoteCount(), 0);
}

TEST_F(SynthKeyboard, KeysOutsideTheTableAreNotHandled)
{
    // Space, a code just past the rows, a keypad key and an extended key.
    for (int32_t code : {57, 54, 72, 0x100 | kScanQ, 0x11C})
    {
        const cKeyEvent event = {1, 40, -1, code};
        EXPECT_FALSE(keys->HandleKey(&event)) << code;
    }
    EXPECT_TRUE(Synth().Take().empty());
}

TEST_F(SynthKeyboard, NotesFoldIntoTheirRangeAndTheViewStopsAtItsEnds)
{
    editor->SetKeyboardPosition(12.0f, 0.0f);
    const float high = 108.0f / 12.0f - keys->GetVisibleKeys() / 7.0f;
    EXPECT_FLOAT_EQ(keys->GetPosition(), high) << "note 108 at the right edge";
    EXPECT_TRUE(keys->IsAtTop());
    const int32_t top = TouchNote(rect.xMax - 2.0f, LowerY());
    EXPECT_LE(top, 100);
    EXPECT_EQ((107 - top) % 12, 0) << "B7 folded down by octaves";
    editor->SetKeyboardPosition(0.0f, 0.0f);
    EXPECT_FLOAT_EQ(keys->GetPosition(), 2.0f) << "note 24 at the left edge";
    EXPECT_TRUE(keys->IsAtBottom());
    EXPECT_EQ(TouchNote(rect.xMin + 1.0f, LowerY()), 24);
}

TEST_F(SynthKeyboard, ADragScrollsOnlyWhenScrollingIsOn)
{
    const float y = LowerY();
    Down(1, 500.0f, y);
    Move(1, 500.0f - 3.0f * width, y);
    Up(1, 500.0f - 3.0f * width, y);
    EXPECT_FLOAT_EQ(keys->GetPosition(), 4.0f) << "play-only keys do not scroll";
    Synth().Take();

    editor->SetKeyboardScroll(true);
    Down(1, 500.0f, y);
    Move(1, 490.0f, y);
    Move(1, 490.0f - 7.0f * width, y);
    EXPECT_FLOAT_EQ(keys->GetPosition(), 4.0f) << "the drag shows, uncommitted";
    EXPECT_NEAR(keys->GetDisplayPosition(), 5.0f, 1e-4f);
    // Turning scrolling off commits the drag in progress.
    editor->SetKeyboardScroll(false);
    EXPECT_NEAR(keys->GetPosition(), 5.0f, 1e-4f);
    Up(1, 490.0f - 7.0f * width, y);
    EXPECT_NEAR(keys->GetPosition(), 5.0f, 1e-4f);
}

TEST_F(SynthKeyboard, AnOctaveStepGlidesAndSettles)
{
    editor->OnKeyboardCheekStep(1);
    EXPECT_FLOAT_EQ(keys->GetPosition(), 5.0f);
    EXPECT_FLOAT_EQ(keys->GetGlide(), -1.0f);
    Frame();
    EXPECT_LT(keys->GetGlide(), 0.0f);
    EXPECT_GT(keys->GetGlide(), -1.0f);
    Frame(60);
    EXPECT_EQ(keys->GetGlide(), 0.0f);
    const std::vector<cAudioEvent> events = Synth().Take();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].GetIntValue(), 2);
}

TEST_F(SynthKeyboard, LabelsTakeTheirSizeFromTheKeyWidth)
{
    struct cCase
    {
        float keyWidth;
        float size;
    };
    for (const cCase& c : {cCase{33.0f, 6.0f}, cCase{39.0f, 8.0f}, cCase{49.0f, 10.0f}, cCase{50.0f, 11.0f}})
    {
        keys->SetKeyWidth(c.keyWidth);
        Frame();
        EXPECT_EQ(keys->GetLabelSize(), c.size) << c.keyWidth;
    }
    // Scale "Off" labels the Cs only.
    ASSERT_GT(keys->GetLabelCount(), 0);
    for (int32_t index = 0; index < keys->GetLabelCount(); ++index)
        EXPECT_EQ(keys->GetLabelName(index)[0], 'C');
    EXPECT_STREQ(keys->GetLabelTransposedName(0), "");
}

TEST_F(SynthKeyboard, HeldKeysAreDrawnInAtMostTwoIndexedCalls)
{
    // The rest of the editor draws in a plain material, as the main window's
    // atlas material would have it.
    cMaterial plain(kBlendAlpha);
    editor->SetMaterial(&plain);
    for (int32_t code = kScanQ; code < kScanQ + 12; ++code)
        Key(1, code);
    Synth().DrainEvents();
    Frame();
    int32_t keyCalls = 0;
    for (const auto& draw : renderer.draws)
        if (draw.texture && std::string(draw.texture->GetName()).find("Textures/Keys") == 0)
        {
            EXPECT_TRUE(draw.indexed);
            ++keyCalls;
        }
    EXPECT_EQ(keyCalls, 2);
    editor->SetMaterial(nullptr);
}

TEST_F(SynthKeyboard, KeyboardPanelsShareTheirWidthOutAmongTheKeys)
{
    struct cCase
    {
        const char* what;
        float width;
        bool chooser;
        float keyWidth;
    };
    const cCase cases[] = {
        {"100 px fits fewer than 8 keys of 20", 100.0f, false, 12.5f},
        {"1000 px with the chooser", 1000.0f, true, 20.0f * (1.0f - 131.0f / 1000.0f)},
        {"no width yet", 0.0f, false, 1.0f},
        {"the chooser on a panel narrower than itself", 100.0f, true, 1.0f},
    };
    for (const cCase& c : cases)
    {
        auto* panel = new cAnalogueSynthPanelKeyboard(editor, cAnalogueSynthPanelKeyboard::kScaleChooser);
        panel->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, c.width, 100.0f);
        panel->ShowScaleChooser(c.chooser);
        EXPECT_NEAR(panel->SetKeyWidth(20.0f, 8.0f), c.keyWidth, 0.01f) << c.what;
        EXPECT_GE(panel->GetPianoKeys()->GetKeyWidth(), 1.0f) << c.what;
        panel->Release();
    }
}

TEST_F(SynthKeyboard, KeysOfNoWidthShowNothingAndTakeNoTouch)
{
    keys->SetAnchors(kAnchorsAbsoluteRect, rect.xMin, rect.yMin, 0.0f, rect.yMax - rect.yMin);
    keys->SetKeyWidth(0.0f);
    keys->ModifyFlags(kWidgetLayoutDirty, 0, false);
    Frame();
    EXPECT_EQ(keys->GetVisibleKeys(), 0.0f);
    Down(1, rect.xMin, LowerY());
    Up(1, rect.xMin, LowerY());
    EXPECT_TRUE(Synth().Take().empty());
}

TEST_F(SynthKeyboard, HoldingACheekArrowStepsFasterAndFaster)
{
    cAnalogueSynthPanelCheek* cheek = editor->GetPageCheek();
    cCheekLog log;
    cheek->stepDelegate.Bind(&log, &cCheekLog::OnStep);
    cheek->jumpDelegate.Bind(&log, &cCheekLog::OnJump);
    const cRect up = cheek->GetUpArrowRect();
    const float x = 0.5f * (up.xMin + up.xMax);
    const float y = 0.5f * (up.yMin + up.yMax);
    Down(1, x, y);
    for (log.frame = 1; log.frame <= 83; ++log.frame)
        Frame();
    EXPECT_EQ(log.stepFrames, (std::vector<int>{1, 23, 37, 49, 59, 69, 75, 83}));
    EXPECT_EQ(log.steps, std::vector<int32_t>(8, cAnalogueSynthPanelCheek::kUp));
    Up(1, x, y);

    // Sliding onto the other arrow starts its repeat afresh, without a step.
    const cRect down = cheek->GetDownArrowRect();
    const float middle = 0.25f * (up.yMin + up.yMax + down.yMin + down.yMax);
    log.steps.clear();
    Down(1, x, middle - 5.0f);
    Frame();
    ASSERT_EQ(log.steps.size(), 1u);
    Move(1, x, middle + 5.0f);
    Frame(3);
    EXPECT_EQ(log.steps.size(), 1u);
    Frame(40);
    ASSERT_GE(log.steps.size(), 2u);
    EXPECT_EQ(log.steps[1], cAnalogueSynthPanelCheek::kDown);
    Up(1, x, middle + 5.0f);

    // A swipe jumps once for every 25 px it travels.
    Down(1, x, y);
    for (float dy = 5.0f; dy <= 60.0f; dy += 5.0f)
        Move(1, x, y + dy);
    Up(1, x, y + 60.0f);
    EXPECT_EQ(log.jumps, (std::vector<int32_t>{cAnalogueSynthPanelCheek::kDown, cAnalogueSynthPanelCheek::kDown}));
    EXPECT_LE(down.yMin - up.yMin, 21.0f * GetDisplayMetrics().pixelsPerMillimetre);
}

TEST_F(SynthKeyboard, CheekTogglesSwitchScrollingAndTheScaleChooser)
{
    cWidgetButton* scroll = editor->GetKeyboardCheek()->GetToggle();
    const cRect scrollRect = scroll->GetRect();
    const float sx = 0.5f * (scrollRect.xMin + scrollRect.xMax);
    const float sy = 0.5f * (scrollRect.yMin + scrollRect.yMax);
    Down(1, sx, sy);
    Up(1, sx, sy);
    EXPECT_TRUE(editor->IsKeyboardScrollEnabled());
    EXPECT_FALSE(keys->IsPlayOnly());
    Down(1, sx, sy);
    Up(1, sx, sy);
    EXPECT_TRUE(keys->IsPlayOnly());
    EXPECT_EQ(statusBar.messages, (std::vector<std::string>{"Keyboard scroll ON", "Keyboard scroll OFF"}));

    cWidgetButton* scale = editor->GetPageCheek()->GetToggle();
    const cRect scaleRect = scale->GetRect();
    Down(1, 0.5f * (scaleRect.xMin + scaleRect.xMax), 0.5f * (scaleRect.yMin + scaleRect.yMax));
    Up(1, 0.5f * (scaleRect.xMin + scaleRect.xMax), 0.5f * (scaleRect.yMin + scaleRect.yMax));
    EXPECT_TRUE(editor->GetKeyboardPanel()->IsScaleChooserShown());
    EXPECT_EQ(statusBar.messages.back(), "Select keyboard scale");
    Frame(2);
    EXPECT_NEAR(keys->GetKeyWidth(),
                editor->GetKeyboardPanel()->GetKeyWidth(), 0.01f);
    const cRect chooser = editor->GetKeyboardPanel()->GetScaleChooser()->GetRect();
    EXPECT_FLOAT_EQ(keys->GetRect().xMax, chooser.xMin);
}

TEST_F(SynthKeyboard, TheScaleChooserListsEveryScaleAndReportsATapOnce)
{
    cWidgetMusicalScale* chooser = editor->GetKeyboardPanel()->GetScaleChooser();
    const auto& items = chooser->GetDataSource().items;
    EXPECT_EQ(std::size(items), 30u);
    EXPECT_TRUE(items[0].flags & cWidgetList::kItemSelected) << "Off";
    editor->GetKeyboardPanel()->ShowScaleChooser(true);
    Frame(2);
    const cRect list = chooser->GetRect();
    const float x = 0.5f * (list.xMin + list.xMax);
    const float y = list.yMin + 1.5f * cWidgetMusicalScale::kRowHeight;
    Down(1, x, y);
    Up(1, x, y);
    EXPECT_EQ(keys->GetScaleIndex(), kChromatic);
    EXPECT_TRUE(items[1].flags & cWidgetList::kItemSelected);
    EXPECT_FALSE(items[0].flags & cWidgetList::kItemSelected);
}

TEST_F(SynthKeyboard, TheProjectsTransposeMovesNotesAndNamesThem)
{
    cProjectList projects;
    cProject* project = projects.NewProject();
    ASSERT_EQ(projects.GetCurrentProject(), project);
    project->SetTranspose(2);
    Frame();
    EXPECT_EQ(TouchNote(WhiteX(7.0f), LowerY()), 62) << "C4 plays D4";
    bool found = false;
    for (int32_t index = 0; index < keys->GetLabelCount(); ++index)
        if (std::string(keys->GetLabelName(index)) == "C4")
        {
            EXPECT_STREQ(keys->GetLabelTransposedName(index), "(D4)");
            found = true;
        }
    EXPECT_TRUE(found);

    // An edit shows in the title and marks the project modified.
    project->SetModified(false);
    SetFloat(Synth(), MakeSynthParamId(kSynthParamSingle, kSingleGroupFilter, 0, 0), 0.3f);
    Synth().Take();
    Frame();
    EXPECT_EQ(statusBar.title.back(), '*');
    EXPECT_TRUE(project->IsModified());
}
