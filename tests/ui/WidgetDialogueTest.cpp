#include <gtest/gtest.h>

#include "ui/DialogueFixture.h"
#include "ui/WidgetButton.h"

namespace
{
constexpr int32_t kKeyEscape = 257;
constexpr int32_t kEscapeScanCode = 0x01;

intptr_t FirstHandler() { return 1; }
intptr_t SecondHandler() { return 2; }

class WidgetDialogueTest : public DialogueFixture
{
protected:
    // A dialogue of 200 x 100 content attached to an anchor button.
    cTestDialogue* ShowAnchored(const cRect& anchorRect, int32_t side)
    {
        anchor = AddProbe(root, "anchor", anchorRect);
        dialogue = new cTestDialogue(0, 200, 100);
        dialogue->SetAnchor(anchor, side);
        dialogue->Show();
        dialogue->Release();
        Frame();
        return dialogue;
    }

    cProbeWidget* anchor = nullptr;
    cTestDialogue* dialogue = nullptr;
};

TEST_F(WidgetDialogueTest, FrameInsetsAndTitleBarComeFromTheGeneratedSprites)
{
    auto* plain = new cTestDialogue(0, 10, 10);
    const cRect content = plain->GetContentInsets(), frame = plain->GetFrameInsets();
    EXPECT_EQ(content.xMin, 3);
    EXPECT_EQ(content.yMin, 34);
    EXPECT_EQ(content.xMax, 3);
    EXPECT_EQ(content.yMax, 3);
    EXPECT_EQ(frame.xMin, 6);
    EXPECT_EQ(frame.yMin, 36);
    EXPECT_EQ(frame.xMax, 6);
    EXPECT_EQ(frame.yMax, 5);
    EXPECT_EQ(plain->GetTitleHeight(), 30);

    // Size preferences add the frame's insets to the content's.
    cVector2 minimum, preferred;
    plain->GetSizePreferences(&minimum, &preferred);
    EXPECT_EQ(preferred.X, 10 + 12);
    EXPECT_EQ(preferred.Y, 10 + 41);
    plain->Release();
}

TEST_F(WidgetDialogueTest, AnAnchoredDialogueSitsBelowOrAboveItsAnchorCentredOnTheScreen)
{
    const float arrowBelow = Sprite(281).height, arrowAbove = Sprite(280).height;
    const float width = 200 + 12, height = 100 + 41;
    struct cCase
    {
        const char* name;
        cRect anchor;
        int32_t side;
        cRect expected;
    } cases[] = {
        {"below", {300, 100, 340, 130}, kAttachBelow,
         {(640 - width) / 2, 130 + arrowBelow, (640 + width) / 2, 130 + arrowBelow + height}},
        {"above", {300, 400, 340, 430}, kAttachAbove,
         {(640 - width) / 2, 400 - arrowAbove + 2 - height, (640 + width) / 2, 400 - arrowAbove + 2}},
        // The anchor's centre at x 10 keeps 20 pixels inside the left edge.
        {"near the left edge", {0, 100, 20, 130}, kAttachBelow,
         {-10, 130 + arrowBelow, -10 + width, 130 + arrowBelow + height}},
        {"near the right edge", {620, 100, 640, 130}, kAttachBelow,
         {650 - width, 130 + arrowBelow, 650, 130 + arrowBelow + height}},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto* probe = AddProbe(root, "anchor", c.anchor);
        auto* shown = new cTestDialogue(0, 200, 100);
        shown->SetAnchor(probe, c.side);
        shown->Show();
        Frame();
        const cRect& rect = shown->GetRect();
        EXPECT_FLOAT_EQ(rect.xMin, std::floor(c.expected.xMin + 0.5f));
        EXPECT_FLOAT_EQ(rect.yMin, std::floor(c.expected.yMin + 0.5f));
        EXPECT_FLOAT_EQ(rect.xMax, std::floor(c.expected.xMax + 0.5f));
        EXPECT_FLOAT_EQ(rect.yMax, std::floor(c.expected.yMax + 0.5f));
        // The arrow points at the anchor's centre from the facing edge.
        const cRect& arrow = shown->GetArrowImage().layoutRect;
        EXPECT_FLOAT_EQ((arrow.xMin + arrow.xMax) / 2, (c.anchor.xMin + c.anchor.xMax) / 2);
        if (c.side == kAttachBelow)
            EXPECT_FLOAT_EQ(arrow.yMax, rect.yMin);
        else
            EXPECT_FLOAT_EQ(arrow.yMin, rect.yMax - 2);
        root->Pop(shown);
        root->RemoveChild(probe);
        shown->Release();
    }
}

TEST_F(WidgetDialogueTest, ADownOutsideAnAnchoredDialogueDismissesItAndIsSwallowed)
{
    cProbeWidget* behind = AddProbe(root, "behind", {0, 0, 640, 480});
    ShowAnchored({300, 100, 340, 130}, kAttachBelow);
    const cRect rect = dialogue->GetRect();

    Down(1, 20, 460);
    EXPECT_EQ(dialogue->dismissals, std::vector<int32_t>{0});
    Move(1, 30, 460);
    Up(1, 30, 460);
    EXPECT_EQ(dialogue->dismissals.size(), 1u) << "moves and releases outside are not handled";

    // A down inside on the bare frame is swallowed too, without a dismissal.
    Tap(2, rect.xMin + 4, rect.yMax - 2);
    EXPECT_EQ(dialogue->dismissals.size(), 1u);
    EXPECT_TRUE(behind->touches.empty()) << "nothing reaches the page behind";
}

TEST_F(WidgetDialogueTest, EscapeReachesTheCloseButtonAndDismissesOnTheRelease)
{
    auto* closable = new cTestDialogue(kDialogueCloseButton, 200, 100);
    closable->SetAnchors(kAnchorsAbsoluteRect, 100, 100, 212, 141);
    closable->Show();
    closable->Release();
    Frame();

    input->OnKey(1, kEscapeScanCode, kKeyEscape);
    EXPECT_TRUE(closable->dismissals.empty()) << "nothing on the press";
    input->OnKey(0, kEscapeScanCode, kKeyEscape);
    EXPECT_EQ(closable->dismissals, std::vector<int32_t>{1});

    // The close button is a square at the left end of the title bar, and the
    // title text starts after it.
    const cRect button = closable->GetCloseButton()->GetRect();
    EXPECT_EQ(button.xMin, 100);
    EXPECT_EQ(button.yMin, 100);
    EXPECT_EQ(button.xMax - button.xMin, 30);
    EXPECT_EQ(button.yMax - button.yMin, 30);
    EXPECT_EQ(closable->GetTitleTextRect().xMin, button.xMax);
    // A tap on it dismisses as well.
    Tap(3, 115, 115);
    EXPECT_EQ(closable->dismissals, (std::vector<int32_t>{1, 1}));
}

TEST_F(WidgetDialogueTest, TheDimFadesInOverASecondUnlessTheDialogueStartsFadedIn)
{
    auto* dimmed = new cTestDialogue(kDialogueDim, 200, 100);
    dimmed->SetAnchors(kAnchorsAbsoluteRect, 100, 100, 212, 141);
    dimmed->Show();
    dimmed->Release();
    Frame();
    EXPECT_EQ(DimAlpha(), 3);
    Frame(29);
    EXPECT_NEAR(DimAlpha(), 90, 1);
    Frame(31);
    EXPECT_EQ(DimAlpha(), 180);
    root->Pop(dimmed);

    auto* atOnce = new cTestDialogue(kDialogueDim | kDialogueFadedIn, 200, 100);
    atOnce->Show();
    atOnce->Release();
    Frame();
    EXPECT_EQ(DimAlpha(), 180);
}

TEST_F(WidgetDialogueTest, WithoutATitleScreenHookStyle0x10MakesNoScreenAndDrawsNoTitleText)
{
    auto* titled = new cTestDialogue(kDialogueTitleScreen | kDialogueSongPositionTitle, 100, 50);
    EXPECT_EQ(titled->GetTitleScreen(), nullptr);
    titled->SetTitleScreenText("1:1:000");
    titled->Release();
}

// The song-position screen as the main UI will make it: a probe that keeps
// its option and the last text it was given.
class cTitleScreenHook : public cDialogueTitleScreenHook
{
public:
    cWidget* CreateTitleScreen(bool songPositionOption) override
    {
        options.push_back(songPositionOption);
        return cProbeWidget::Make("title screen");
    }
    void SetTitleScreenText(cWidget*, const char* text, uint32_t colour) override
    {
        lastText = text;
        lastColour = colour;
    }
    std::vector<bool> options;
    std::string lastText;
    uint32_t lastColour = 0;
};

TEST_F(WidgetDialogueTest, AHookedTitleScreenSitsInTheTitleBarBesideARowWideCloseButton)
{
    cTitleScreenHook hook;
    cWidgetDialogue::SetTitleScreenHook(&hook);
    auto* titled = new cTestDialogue(kDialogueTitleScreen | kDialogueSongPositionTitle | kDialogueCloseButton, 300, 60);
    auto* plain = new cTestDialogue(kDialogueTitleScreen, 300, 60);
    EXPECT_EQ(hook.options, (std::vector<bool>{true, false}));
    titled->SetName("Rename");
    titled->SetAnchors(kAnchorsAbsoluteRect, 100, 100, 312, 101);
    titled->Show();
    Frame();
    const cRect screen = titled->GetTitleScreen()->GetRect();
    EXPECT_EQ(screen.xMin, 100 + 53 - 1);
    EXPECT_EQ(screen.xMax, 412 - 2);
    EXPECT_EQ(screen.yMin, 100);
    EXPECT_EQ(screen.yMax, 130);
    EXPECT_EQ(titled->GetCloseButton()->GetRect().xMax, 100 + 53) << "as wide as a row";
    EXPECT_FALSE(FindText("Rename")) << "no title text over the screen";
    titled->SetTitleScreenText("12:3:000");
    EXPECT_EQ(hook.lastText, "12:3:000");
    EXPECT_EQ(hook.lastColour, 0xffe5b000u);
    cWidgetDialogue::SetTitleScreenHook(nullptr);
    root->Pop(titled);
    titled->Release();
    plain->Release();
}

class WidgetDropDownTest : public DialogueFixture
{
protected:
    WidgetDropDownTest() { cWidgetDialogueDropDown::SetHost(&host); }

    cWidgetDialogueDropDown* MakePanel(float width, float height)
    {
        auto* panel = new cWidgetDialogueDropDown();
        const cVector2 size = {width, height};
        panel->FitToContent(&size, &lastContent);
        return panel;
    }

    cRecordingDropDownHost host;
    cRect lastContent = {0, 0, 0, 0};
};

TEST_F(WidgetDropDownTest, ThePanelHangsCentredFromTheTopAroundItsContent)
{
    cWidgetDialogueDropDown* panel = MakePanel(300, 200);
    const cRect& rect = panel->GetRect();
    EXPECT_EQ(rect.xMin, 320 - 156);
    EXPECT_EQ(rect.yMin, 0);
    EXPECT_EQ(rect.xMax - rect.xMin, 312);
    EXPECT_EQ(rect.yMax - rect.yMin, 218);
    EXPECT_EQ(lastContent.xMin, rect.xMin + 6);
    EXPECT_EQ(lastContent.yMin, 12);
    EXPECT_EQ(lastContent.xMax - lastContent.xMin, 300);
    EXPECT_EQ(lastContent.yMax - lastContent.yMin, 200);
    panel->Release();
}

TEST_F(WidgetDropDownTest, PanelsClosedInReverseOrderLeaveTheStatusBarAsItWas)
{
    cWidgetDialogueDropDown* first = MakePanel(300, 200);
    cWidgetDialogueDropDown* second = MakePanel(200, 100);
    first->Open(cDelegate(&FirstHandler));
    EXPECT_EQ(host.current.mode, 2);
    EXPECT_EQ(host.current.HandlerId(), 1);
    second->Open(cDelegate(&SecondHandler));
    EXPECT_EQ(host.current.HandlerId(), 2);
    EXPECT_EQ(root->GetLayerCount(), 2);
    EXPECT_EQ(root->GetLayer(0).transition, kTransitionDown);
    EXPECT_EQ(root->GetLayer(0).dimMode, kDimBeneath);

    second->Close();
    EXPECT_EQ(host.current.HandlerId(), 1);
    EXPECT_EQ(host.current.mode, 2);
    first->Close();
    EXPECT_EQ(host.current.HandlerId(), 0);
    EXPECT_EQ(host.current.mode, 0);
    EXPECT_TRUE(host.stack.empty());
    EXPECT_EQ(root->GetLayerCount(), 0);
    EXPECT_EQ(host.log, (std::vector<std::string>{"push panel", "push state", "push panel", "push state",
                                                  "restore state", "pop panel", "clear message", "restore state",
                                                  "pop panel", "clear message"}));
    first->Release();
    second->Release();
}

TEST_F(WidgetDropDownTest, ASecondCloseOrOpenChangesNothing)
{
    cWidgetDialogueDropDown* outer = MakePanel(300, 200);
    cWidgetDialogueDropDown* panel = MakePanel(300, 200);
    outer->Open(cDelegate(&FirstHandler));
    panel->Open(cDelegate(&SecondHandler));
    panel->Open(cDelegate(&SecondHandler));
    EXPECT_EQ(host.stack.size(), 2u);
    EXPECT_EQ(root->GetLayerCount(), 2);

    panel->Close();
    const std::vector<std::string> logged = host.log;
    panel->Close();
    EXPECT_EQ(host.log, logged);
    EXPECT_EQ(host.current.HandlerId(), 1) << "the outer panel's state stays";
    EXPECT_EQ(host.restoresBelowBottom, 0);
    EXPECT_FALSE(panel->IsOpen());
    EXPECT_TRUE(outer->IsOpen());

    // Without a host a panel cannot open.
    cWidgetDialogueDropDown::SetHost(nullptr);
    panel->Open(cDelegate(&SecondHandler));
    EXPECT_FALSE(panel->IsOpen());
    cWidgetDialogueDropDown::SetHost(&host);
    outer->Close();
    outer->Release();
    panel->Release();
}
} // namespace
