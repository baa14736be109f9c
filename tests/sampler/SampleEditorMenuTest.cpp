#include <filesystem>
#include <string>
#include <vector>

#include "sampler/SampleEditorFixture.h"

namespace
{
constexpr cSampleFormat kStereo16 = {16, 2, 44100};

class SampleEditorMenuTest : public SampleEditorTest
{
protected:
    void Select(int32_t from, int32_t to)
    {
        editor->ZoomTo(0.0f, 0, 1000, false);
        // The middle of each frame's pixels, whatever the view's scale.
        LeftDrag(XOf(from + 0.5), XOf(to + 0.5));
        ASSERT_EQ(editor->GetModel().GetSelectionLength(), std::abs(to - from));
        // The Delete and Trim buttons it shows are laid out as they are drawn.
        Frame();
    }
    int32_t Frames() const { return editor->GetModel().GetFrames(); }
    tBytes Bytes() const { return tBytes(mSample->GetData(), mSample->GetData() + mSample->GetDataBytes()); }
    std::string LastMessage() const { return statusBar.messages.empty() ? "" : statusBar.messages.back(); }
};

TEST_F(SampleEditorMenuTest, TheChildrenStandInTheirStripsAndColumns)
{
    Edit(kStereo16, 1000);
    EXPECT_STREQ(editor->GetName(), "SampleEditor");
    // The bottom bar's nine columns are 844 / 9 wide; neighbours share a pixel.
    const float column = kEditorWidth / 9.0f;
    struct cCase
    {
        cWidget* child;
        int column;
    };
    const cCase cases[] = {{editor->GetHistoryMenu(), 1}, {editor->GetZoomMenu(), 2}, {editor->GetSelectMenu(), 3},
                           {editor->GetVolumeMenu(), 7}};
    for (const cCase& c : cases)
    {
        const cRect& r = c.child->GetRect();
        EXPECT_EQ(r.xMin, std::floor(float(c.column) * column - 1.0f + 0.5f)) << c.child->GetName();
        EXPECT_EQ(r.yMin, kWaveformBottom);
        EXPECT_EQ(r.yMax, kEditorHeight);
    }
    EXPECT_EQ(editor->GetDoneButton()->GetRect().xMax, kEditorWidth);
    EXPECT_EQ(editor->GetWaveformRect().xMax, kWaveformWidth);
    EXPECT_EQ(editor->GetRulerRect().yMin, 32.0f);
    EXPECT_EQ(editor->GetAmplitudeUpButton()->GetRect().xMin, kWaveformWidth);
    EXPECT_EQ(editor->GetAmplitudeDownButton()->GetRect().yMin, kWaveformTop + 32.0f);
    EXPECT_EQ(editor->GetAmplitudeBoxRect().yMin, kWaveformTop + 64.0f);
    EXPECT_EQ(MenuItems(editor->GetRulerUnitMenu()), (std::vector<std::string>{"Time", "Bars", "Frames"}));
    EXPECT_EQ(editor->GetRulerUnitMenu()->GetSelectedItem(), cSampleEditor::kRulerTime);
    for (cWidgetComboBox* menu : {editor->GetHistoryMenu(), editor->GetZoomMenu(), editor->GetSelectMenu(),
                                  editor->GetVolumeMenu()})
        EXPECT_EQ(menu->GetSelectedItem(), -1) << menu->GetName() << " is a menu of commands";
}

TEST_F(SampleEditorMenuTest, DeleteAndTrimShowOnlyWhileThereIsASelection)
{
    Edit(kStereo16, 1000);
    EXPECT_FALSE(editor->GetDeleteButton()->IsVisible());
    EXPECT_FALSE(editor->GetTrimButton()->IsVisible());
    Select(200, 400);
    EXPECT_TRUE(editor->GetDeleteButton()->IsVisible());
    EXPECT_TRUE(editor->GetTrimButton()->IsVisible());
    Frame();
    const float column = kEditorWidth / 9.0f;
    EXPECT_EQ(editor->GetDeleteButton()->GetRect().xMin, std::floor(5.0f * column - 1.0f + 0.5f));
    EXPECT_EQ(editor->GetTrimButton()->GetRect().xMin, std::floor(6.0f * column - 1.0f + 0.5f));
    Click(editor->GetDeleteButton());
    EXPECT_EQ(Frames(), 800);
    EXPECT_EQ(LastMessage(), "Delete Selection");
    EXPECT_EQ(host.modified, 1);
    EXPECT_FALSE(editor->GetDeleteButton()->IsVisible()) << "the selection became a cursor";
    Select(100, 300);
    Click(editor->GetTrimButton());
    EXPECT_EQ(Frames(), 200);
    EXPECT_EQ(LastMessage(), "Trim Selection");
    EXPECT_EQ(host.modified, 2);
    EXPECT_TRUE(editor->GetTrimButton()->IsVisible()) << "a Trim selects what it kept";
}

TEST_F(SampleEditorMenuTest, TheAmplitudeZoomDoublesUpToSixteenAndHalvesDownToOne)
{
    Edit(kStereo16, 1000);
    for (int32_t expected : {2, 4, 8, 16, 16})
    {
        Click(editor->GetAmplitudeUpButton());
        EXPECT_EQ(editor->GetAmplitudeZoom(), expected);
    }
    for (int32_t expected : {8, 4, 2, 1, 1})
    {
        Click(editor->GetAmplitudeDownButton());
        EXPECT_EQ(editor->GetAmplitudeZoom(), expected);
    }
}

TEST_F(SampleEditorMenuTest, TheSelectMenuSelectsAndOnlyAllAndNoneSayWhatTheyDid)
{
    Edit(kStereo16, 1000);
    audition.active = true;
    struct cCase
    {
        const char* item;
        int32_t start, end;
        int32_t wantStart, wantEnd;
        const char* message;
    };
    const cCase cases[] = {
        {"All", 0, 0, 0, 1000, "Select All"},
        {"None", 200, 400, 0, 0, "Select None"},
        {"To End", 200, 400, 200, 1000, nullptr},
        {"To Start", 200, 400, 0, 400, nullptr},
    };
    for (const cCase& c : cases)
    {
        editor->GetModel().SetSelection(c.start, c.end);
        OpenMenu(editor->GetSelectMenu());
        statusBar.messages.clear();
        audition.calls.clear();
        Choose(editor->GetSelectMenu(), c.item);
        EXPECT_EQ(editor->GetModel().GetSelectionStart(), c.wantStart) << c.item;
        EXPECT_EQ(editor->GetModel().GetSelectionEnd(), c.wantEnd) << c.item;
        EXPECT_EQ(statusBar.messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{})
            << c.item;
        EXPECT_FALSE(audition.calls.empty()) << c.item << " moves the preview";
        EXPECT_EQ(editor->GetDeleteButton()->IsVisible(), c.wantEnd > c.wantStart) << c.item;
    }
    // Without a sample the items cannot be chosen.
    editor->SetSample(nullptr);
    Frame();
    Click(editor->GetSelectMenu());
    for (int32_t i = 0; i < editor->GetSelectMenu()->GetItemCount(); ++i)
        EXPECT_FALSE(editor->GetSelectMenu()->GetItem(i)->enabled);
}

TEST_F(SampleEditorMenuTest, TheVolumeMenuTellsThePageFirstThenEdits)
{
    Edit(kStereo16, 1000);
    struct cCase
    {
        const char* item;
        const char* message;
        const char* history;
    };
    const cCase cases[] = {{"Silence", "Silence Selection", "Silence"},
                           {"Normalize", "Normalize Selection", "Normalize"},
                           {"Fade In", "Fade-in Selection", "Fade in"},
                           {"Fade Out", "Fade-out Selection", "Fade out"}};
    int modified = 0;
    for (const cCase& c : cases)
    {
        Pick(editor->GetVolumeMenu(), c.item);
        EXPECT_EQ(host.modified, ++modified) << c.item;
        EXPECT_EQ(LastMessage(), c.message);
        const cSampleEditHistory& history = editor->GetModel().GetHistory();
        EXPECT_STREQ(history.GetSlot(history.GetCurrent())->GetName(), c.history);
    }
    // Silence of the whole sample left nothing for the others.
    for (uint8_t byte : Bytes())
        ASSERT_EQ(byte, 0);
}

// Three edits and an undo: the menu lists them newest first, each as its
// number and name, then "..." for the sample before them, the edit in
// effect lit. "..." undoes everything; the newest item redoes.
TEST_F(SampleEditorMenuTest, TheHistoryMenuStepsToAnyOfTheLastEdits)
{
    Edit(kStereo16, 1000);
    const tBytes original = Bytes();
    Select(100, 200);
    Click(editor->GetDeleteButton());
    Pick(editor->GetVolumeMenu(), "Normalize");
    Pick(editor->GetVolumeMenu(), "Fade In");
    const tBytes edited = Bytes();
    Pick(editor->GetHistoryMenu(), "2. Normalize");
    EXPECT_TRUE(editor->GetModel().GetHistory().CanRedo());

    Click(editor->GetHistoryMenu());
    EXPECT_EQ(MenuItems(editor->GetHistoryMenu()),
              (std::vector<std::string>{"3. Fade in", "2. Normalize", "1. Delete", "..."}));
    EXPECT_EQ(editor->GetHistoryMenu()->GetSelectedItem(), 1) << "the second line is lit";
    Click(editor->GetHistoryMenu());

    Pick(editor->GetHistoryMenu(), "...");
    EXPECT_EQ(Bytes(), original);
    EXPECT_EQ(Frames(), 1000);
    EXPECT_EQ(editor->GetModel().GetSelectionStart(), 100) << "the Delete's undo selects what it brought back";
    EXPECT_EQ(editor->GetModel().GetSelectionEnd(), 200);
    Click(editor->GetHistoryMenu());
    EXPECT_EQ(editor->GetHistoryMenu()->GetSelectedItem(), 3);
    Click(editor->GetHistoryMenu());

    Pick(editor->GetHistoryMenu(), "3. Fade in");
    EXPECT_EQ(Bytes(), edited);
    EXPECT_EQ(Frames(), 900);
}

// An edit whose undo data cannot be saved is refused: the status bar says
// so instead of the edit's message, and nothing changes.
TEST_F(SampleEditorMenuTest, AnEditWithoutRoomForItsUndoDataSaysSoAndChangesNothing)
{
    Edit(kStereo16, 1000);
    const tBytes original = Bytes();
    Select(100, 300);
    std::filesystem::remove_all(scratch.Sampler());
    Click(editor->GetDeleteButton());
    EXPECT_EQ(LastMessage(), cSampleEditModel::kErrorSaveUndo);
    EXPECT_EQ(host.modified, 0) << "nothing was edited";
    Pick(editor->GetVolumeMenu(), "Normalize");
    EXPECT_EQ(LastMessage(), cSampleEditModel::kErrorSaveUndo);
    EXPECT_EQ(Bytes(), original);
    EXPECT_EQ(Frames(), 1000);
    EXPECT_EQ(editor->GetModel().GetHistory().GetCount(), 0);
    EXPECT_TRUE(editor->GetDeleteButton()->IsVisible()) << "the selection stays";
}

// An undo whose file was damaged is refused and says so; the edit stays.
TEST_F(SampleEditorMenuTest, AnUndoWhoseFileWasDamagedSaysSoAndChangesNothing)
{
    Edit(kStereo16, 1000);
    Select(100, 300);
    Click(editor->GetDeleteButton());
    const tBytes deleted = Bytes();
    const std::vector<std::string> files = scratch.SamplerFiles();
    ASSERT_EQ(files.size(), 1u);
    std::filesystem::resize_file(scratch.Sampler() + "/" + files[0], 100);
    Pick(editor->GetHistoryMenu(), "...");
    EXPECT_EQ(LastMessage(), cSampleEditModel::kErrorReadUndo);
    EXPECT_EQ(Bytes(), deleted);
    EXPECT_EQ(Frames(), 800);
    EXPECT_EQ(editor->GetModel().GetHistory().GetCurrent(), 0);
}

TEST_F(SampleEditorMenuTest, ResetSelectionDoneAndTheZoomMenuReport)
{
    Edit(kStereo16, 1000);
    Select(100, 300);
    editor->ResetSelection();
    EXPECT_EQ(editor->GetModel().GetSelectionLength(), 0);
    EXPECT_EQ(LastMessage(), "Reset Selection");
    Select(100, 300);
    Pick(editor->GetZoomMenu(), "Selection");
    EXPECT_EQ(LastMessage(), "Zoom Selection");
    Frame(12);
    EXPECT_EQ(editor->GetViewStart(), 80) << "the selection with a tenth of margin";
    EXPECT_EQ(editor->GetViewLength(), 240);
    Click(editor->GetDoneButton());
    EXPECT_EQ(host.closes, 1);
}

// The page hands over a rendered file: one edit, which owns the file.
TEST_F(SampleEditorMenuTest, AReplacedSampleIsOneEditAndARefusedOneSaysWhy)
{
    Edit(kStereo16, 1000);
    const std::string render = scratch.Sampler() + "/EffectRender.wav";
    WriteFile(render, Wav16(1, 22050, std::vector<int16_t>(500, 1234)));
    EXPECT_TRUE(editor->ReplaceSampleFromFile(render.c_str()));
    EXPECT_EQ(Frames(), 500);
    EXPECT_EQ(mSample->GetChannels(), 1);
    EXPECT_EQ(editor->GetMaximumEnd(), 500 + editor->GetTargetLength() / 32);
    EXPECT_EQ(host.modified, 0) << "the page tells itself";
    Pick(editor->GetHistoryMenu(), "...");
    EXPECT_EQ(Frames(), 1000);
    EXPECT_EQ(mSample->GetChannels(), 2);

    EXPECT_FALSE(editor->ReplaceSampleFromFile((scratch.Sampler() + "/Missing.wav").c_str()));
    EXPECT_STREQ(editor->GetModel().GetErrorText(), "Couldn't open file");
    EXPECT_EQ(Frames(), 1000);
}

TEST_F(SampleEditorMenuTest, CommittingCutsTheSampleToTheEditedLengthAndEndsTheHistory)
{
    Edit(kStereo16, 1000);
    Select(100, 300);
    Click(editor->GetDeleteButton());
    ASSERT_EQ(mSample->GetFrames(), 1000);
    EXPECT_TRUE(editor->CommitEdits(mSample.Get()));
    EXPECT_EQ(mSample->GetFrames(), 800);
    EXPECT_EQ(editor->GetModel().GetHistory().GetCount(), 0);
    EXPECT_TRUE(scratch.SamplerFiles().empty()) << "the undo file went with its edit";
    // Another sample is not this editor's to cut.
    cSample* other = cSample::Create("Other.wav", 16, 1, 44100, 10);
    EXPECT_TRUE(editor->CommitEdits(other));
    EXPECT_EQ(other->GetFrames(), 10);
    other->Release();
}
} // namespace
