#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainScreenFixture.h"
#include "app/WidgetKeyboard.h"
#include "ui/WidgetEditLabel.h"
#include "ui/WidgetModalContainer.h"
#include "ui/WidgetMultiButton.h"

namespace
{
class KeyboardTest : public MainScreenFixture
{
public:
    intptr_t OnResult(int32_t result, cWidgetKeyboard* from)
    {
        results.push_back(result);
        texts.push_back(from->GetRequest().text.CStr());
        return 0;
    }

protected:
    KeyboardTest() : keyboard(ui->GetKeyboard()) {}

    void Prompt(const char* text, bool fileNameMode = true, int32_t maxLength = 32, bool selectAll = false)
    {
        cWidgetKeyboard::cRequest request;
        request.maxLength = maxLength;
        request.fileNameMode = fileNameMode;
        request.selectAll = selectAll;
        request.title.AssignCStr("Rename ");
        request.text.AssignCStr(text);
        Open(request);
    }
    void Open(const cWidgetKeyboard::cRequest& request)
    {
        keyboard->Prompt(request, cDelegate(this, &KeyboardTest::OnResult));
        Frame(30);
    }
    std::string Text() const { return keyboard->GetEditField()->GetText(); }
    // The key of that label in the rows shown, tapped.
    void TapKey(const char* label)
    {
        for (int32_t row = 0; row < cWidgetKeyboard::kRowCount; ++row)
        {
            cWidgetMultiButton* keys = keyboard->GetKeyRow(row);
            for (size_t i = 0; i < keys->items.size(); ++i)
                if (std::string(keys->items[i].text.CStr()) == label)
                {
                    TapKeyAt(row, int32_t(i));
                    return;
                }
        }
        ADD_FAILURE() << "no key " << label;
    }
    void TapKeyAt(int32_t row, int32_t index)
    {
        cWidgetMultiButton* keys = keyboard->GetKeyRow(row);
        const cRect& grid = keys->GetGridRect();
        const float pitch = (grid.xMax - grid.xMin) / float(keys->items.size());
        TapAt({grid.xMin + pitch * (float(index) + 0.5f), (grid.yMin + grid.yMax) * 0.5f});
    }
    void TapFunction(int32_t tag) { TapAt(Centre(keyboard->GetFunctionKey(tag)->GetRect())); }

    cWidgetKeyboard* keyboard;
    std::vector<int32_t> results;
    std::vector<std::string> texts;
};

TEST_F(KeyboardTest, FileNamesAreEditedWithoutTheirExtension)
{
    Prompt("kick.wav");
    EXPECT_EQ(Text(), "kick");
    EXPECT_STREQ(keyboard->GetEditField()->suffix.CStr(), "wav");
    EXPECT_TRUE(FindText("kick.wav").has_value());
    TapFunction(cWidgetKeyboard::kDelete);
    TapKey("l");
    TapFunction(cWidgetKeyboard::kDone);
    EXPECT_EQ(results, std::vector<int32_t>{cWidgetKeyboard::kAccepted});
    EXPECT_EQ(texts, std::vector<std::string>{"kicl.wav"});
    EXPECT_FALSE(ui->GetMainWindow()->HasLayer(keyboard));
    EXPECT_EQ(bar->GetMode(), cWidgetStatusBar::kModePage);
}

TEST_F(KeyboardTest, AnExtensionLessNameTakesTheDefaultExtension)
{
    cWidgetKeyboard::cRequest request;
    request.maxLength = 32;
    request.text.AssignCStr("Song");
    request.defaultExtension.AssignCStr("prj");
    Open(request);
    Key(kKeyEnter);
    EXPECT_EQ(texts, std::vector<std::string>{"Song.prj"});
}

TEST_F(KeyboardTest, TypingIsFilteredToTheKeysOfTheSetInForce)
{
    const struct
    {
        bool fileNameMode;
        const char* typed;
        const char* kept;
    } cases[] = {
        {true, "a.b:c?d*e\"f#1 g", "abcdef#1 g"},
        {false, "a.b:c?d*e\"f#1 g", "a.b:c?d*e\"f#1 g"},
        {true, "x~y<z", "xyz"},
    };
    for (const auto& c : cases)
    {
        Prompt("", c.fileNameMode, 64);
        TypeText(c.typed);
        EXPECT_EQ(Text(), c.kept) << c.typed;
        Key(kKeyEscape);
    }
    EXPECT_EQ(results, (std::vector<int32_t>{0, 0, 0}));
}

TEST_F(KeyboardTest, DoneAndEnterNeedAText)
{
    Prompt("");
    TapFunction(cWidgetKeyboard::kDone);
    Key(kKeyEnter);
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(ui->GetMainWindow()->HasLayer(keyboard));
    Type('q');
    Key(kKeyEnter);
    EXPECT_EQ(results, std::vector<int32_t>{cWidgetKeyboard::kAccepted});
}

TEST_F(KeyboardTest, ShiftStartsOnForAnEmptyTextAndLetsGoAfterTheFirstLetter)
{
    Prompt("");
    EXPECT_TRUE(keyboard->IsShiftOn());
    EXPECT_STREQ(keyboard->GetKeyLabel(0, 0), "Q");
    TapKey("A");
    TapKey("b");
    EXPECT_EQ(Text(), "Ab");
    EXPECT_FALSE(keyboard->IsShiftOn());
    // Typed characters go in as typed, whatever the panel's shift shows.
    Type('C');
    EXPECT_EQ(Text(), "AbC");
    // A new word does not switch shift back on; a letter after a blank lets it go.
    TapFunction(cWidgetKeyboard::kShift);
    TapFunction(cWidgetKeyboard::kSpace);
    EXPECT_TRUE(keyboard->IsShiftOn());
    TapKey("D");
    EXPECT_EQ(Text(), "AbC D");
    EXPECT_FALSE(keyboard->IsShiftOn());
}

TEST_F(KeyboardTest, DeletingTheLastCharacterTurnsShiftOnAndSymbolsOff)
{
    Prompt("x");
    EXPECT_FALSE(keyboard->IsShiftOn());
    TapFunction(cWidgetKeyboard::kSymbols);
    EXPECT_TRUE(keyboard->AreSymbolsOn());
    TapFunction(cWidgetKeyboard::kShift);
    EXPECT_FALSE(keyboard->IsShiftOn()) << "shift stays off with the symbols";
    TapFunction(cWidgetKeyboard::kDelete);
    EXPECT_EQ(Text(), "");
    EXPECT_TRUE(keyboard->IsShiftOn());
    EXPECT_FALSE(keyboard->AreSymbolsOn());
}

TEST_F(KeyboardTest, SymbolSetsDependOnTheMode)
{
    const struct
    {
        bool fileNameMode;
        const char* thirdRow[7];
    } cases[] = {
        {false, {".", "/", ":", "?", "*", "#", "\""}},
        {true, {"#", "", "", "", "", "", ""}},
    };
    for (const auto& c : cases)
    {
        Prompt("a", c.fileNameMode);
        TapFunction(cWidgetKeyboard::kSymbols);
        Frame();
        EXPECT_STREQ(keyboard->GetKeyLabel(0, 0), "1");
        EXPECT_STREQ(keyboard->GetKeyLabel(1, 8), "@");
        for (int32_t i = 0; i < 7; ++i)
            EXPECT_STREQ(keyboard->GetKeyLabel(2, i), c.thirdRow[i]) << i;
        // A key without a label inserts nothing.
        TapKeyAt(2, 6);
        EXPECT_EQ(Text(), c.fileNameMode ? "a" : "a\"");
        Key(kKeyEscape);
    }
}

TEST_F(KeyboardTest, BrowseAndBackGiveTheirResultsWithTheTextSoFar)
{
    cWidgetKeyboard::cRequest request;
    request.maxLength = 32;
    request.browse = 1;
    request.text.AssignCStr("loop.wav");
    Open(request);
    ASSERT_TRUE(keyboard->GetFunctionKey(cWidgetKeyboard::kBrowseKey)->IsVisible());
    TapFunction(cWidgetKeyboard::kBrowseKey);
    Prompt("loop.wav");
    EXPECT_FALSE(keyboard->GetFunctionKey(cWidgetKeyboard::kBrowseKey)->IsVisible());
    Type('s');
    TapButton(cWidgetStatusBar::kBack);
    EXPECT_EQ(results, (std::vector<int32_t>{cWidgetKeyboard::kBrowse, cWidgetKeyboard::kCancelled}));
    EXPECT_EQ(texts, (std::vector<std::string>{"loop.wav", "loops.wav"}));
}

TEST_F(KeyboardTest, TheStatusBarShowsTheTitleOrTheWholePath)
{
    cWidgetKeyboard::cRequest request;
    request.maxLength = 32;
    request.showPath = 1;
    request.title.AssignCStr("Rename ");
    request.text.AssignCStr("snare.wav");
    Open(request);
    EXPECT_STREQ(bar->GetScreen()->GetText(), "Rename snare.wav");
    Type('2');
    EXPECT_STREQ(bar->GetScreen()->GetText(), "Rename snare2.wav");
    Key(kKeyEscape);
    Prompt("snare.wav");
    EXPECT_STREQ(bar->GetScreen()->GetText(), "Rename ");
}

TEST_F(KeyboardTest, SelectAllReplacesTheTextAtTheFirstKey)
{
    Prompt("Bass", false, 32, true);
    EXPECT_TRUE(keyboard->IsShiftOn());
    TapKey("L");
    EXPECT_EQ(Text(), "L");
}

TEST_F(KeyboardTest, ALongNameLeavesRoomForItsExtension)
{
    // The whole text may not pass 259 characters: the name stops short of
    // "." and the extension, which come back whole.
    const std::string extension(200, 'e');
    Prompt((std::string(20, 'n') + "." + extension).c_str(), true, 300);
    EXPECT_EQ(keyboard->GetEditField()->GetMaxLength(), 259 - 1 - 200);
    TypeText(std::string(100, 'x').c_str());
    EXPECT_EQ(Text(), std::string(20, 'n') + std::string(38, 'x'));
    Key(kKeyEnter);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], std::string(20, 'n') + std::string(38, 'x') + "." + extension);

    // Without an extension the edit field's own limit holds.
    Prompt(std::string(300, 'm').c_str(), false, 300);
    EXPECT_EQ(Text().size(), size_t(cWidgetEditLabel::kMaxLength - 1));
}
} // namespace
