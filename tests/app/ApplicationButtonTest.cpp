#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

#include "AppTestSupport.h"
#include "SdlEvents.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
// The standard wide button's unlit and lit skins, drawn and size sprites.
constexpr int kDrawn = 17, kSize = 18, kLitDrawn = 25, kLitSize = 26;
constexpr Sint32 kLeft = 400, kTop = 300;

std::vector<int32_t> sClicks;

void OnClick(int32_t value, cWidgetButton*) { sClicks.push_back(value); }

void AddPlayButton()
{
    auto* button = new cWidgetButton(kButtonPush, &gTex8888AtlasTable[kSize], &gTex8888AtlasTable[kDrawn]);
    button->litBackground.SetSprites(&gTex8888AtlasTable[kLitSize], &gTex8888AtlasTable[kLitDrawn], nullptr);
    button->SetName("Play");
    button->SetAnchors(kAnchorsAbsoluteRect, float(kLeft), float(kTop), 96, 32);
    button->clickDelegate = cDelegate(&OnClick);
    cWidgetManager::GetInstance()->GetRoot()->AddChild(button);
    button->Release();
}

// A first-time user: the pointer wanders over the button, a click lands
// beside it, a press on it is dragged away and let go elsewhere, then a
// click on it wobbles a little before the button is let go.
void TryTheButton(int frame)
{
    switch (frame - kStartupCoverFrames)
    {
    case 2:
        PushMouseMove(kLeft - 30, kTop - 20);
        PushMouseMove(kLeft + 20, kTop + 10);
        PushMouseMove(kLeft + 60, kTop + 20);
        PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, kLeft + 200, kTop + 16);
        PushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, kLeft + 200, kTop + 16);
        break;
    case 4:
        PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, kLeft + 40, kTop + 16);
        PushMouseMove(kLeft + 120, kTop + 60);
        PushMouseMove(kLeft + 300, kTop + 200);
        PushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, kLeft + 300, kTop + 200);
        break;
    case 6:
        PushMouseMove(kLeft + 48, kTop + 16);
        PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, kLeft + 48, kTop + 16);
        PushMouseMove(kLeft + 51, kTop + 18);
        PushMouseMove(kLeft + 50, kTop + 17);
        PushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, kLeft + 50, kTop + 17);
        PushMouseMove(kLeft + 120, kTop + 90);
        break;
    default:
        break;
    }
}

TEST(ApplicationButton, AButtonOnTheRootReportsOneClickOfAFirstTimeUser)
{
    sClicks.clear();
    EmptyInProcessDocumentsOfAReturningUser();
    auto* application = new cScriptedApplication(kStartupCoverFrames + 9,
                                                 [](cScriptedApplication&, int frame)
                                                 {
                                                     if (frame == 1)
                                                         AddPlayButton();
                                                     TryTheButton(frame);
                                                 });
    ASSERT_EQ(RunInProcess(application), kExitNormal);
    ASSERT_EQ(sClicks.size(), 1u);
    EXPECT_EQ(sClicks[0], 0) << "a push button reports its value";
}
} // namespace
