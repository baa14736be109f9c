#include <gtest/gtest.h>

#include <string>

#include "AppTestSupport.h"
#include "SdlEvents.h"
#include "app/MainUI.h"
#include "app/WidgetMainMenu.h"
#include "app/WidgetStatusBar.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskPackage.h"
#include "mixer/ui/MixingDeskPanelMixer.h"
#include "mixer/ui/MixingDeskTitles.h"
#include "mixer/ui/MixingDeskUI.h"
#include "platform/DisplayMetrics.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

// The whole program in this process, headless: the mixing desk's page among
// the main window's pages.
namespace
{
cMixingDeskUI* DeskPage()
{
    auto* package = static_cast<cMixingDeskPackage*>(cInstrumentPackageRegistry::GetInstance()->FindPackage("Mixer"));
    return package ? static_cast<cMixingDeskUI*>(package->GetEditor()->GetPage()) : nullptr;
}

// The centre of the name of Kest 1's strip, or of the last strip an
// instrument owns where the page does not show it; the instrument's name.
bool FindInstrumentName(cVector2* point, std::string* name)
{
    cMixingDeskInputTitles* titles = DeskPage()->GetPanel()->GetTitles();
    const cRect& rect = titles->GetRect();
    bool found = false;
    for (int32_t strip = 0; strip < titles->GetStripCount(); ++strip)
    {
        const cMixingDeskInputTitles::cRecord& record = titles->GetRecord(strip);
        if (!record.valid || !record.channel->owner || (found && *name == "Kest 1"))
            continue;
        *point = {rect.xMin + (float(strip) + 0.5f) * titles->GetStripWidth(),
                  rect.yMin + cMixingDeskInputTitles::kNameBand * 0.5f};
        *name = record.channel->owner->GetName();
        found = true;
    }
    return found;
}

// A double tap on a strip's name shows its instrument's page with nothing
// over it, and the desk is left holding no touch: on the desktop over the
// faders and over the insert chain, and on the phone.
struct cDoubleTapCase
{
    const char* what;
    const char* device;
    bool insertView;
};

class MixingDeskProgramTest : public ::testing::TestWithParam<cDoubleTapCase>
{
};

TEST_P(MixingDeskProgramTest, ADoubleTapOnAStripsNameShowsItsInstrument)
{
    EmptyInProcessDocumentsOfAReturningUser();
    const char* arguments[] = {GetParam().device};
    cVector2 name = {0.0f, 0.0f};
    std::string instrument, title;
    bool found = false, deskHidden = false;
    int layers = -1, captures = -1;
    auto* application = new cScriptedApplication(
        kStartupCoverFrames + 80,
        [&](cScriptedApplication&, int frame)
        {
            const int step = frame - kStartupCoverFrames;
            if (step == 5)
                cMainUI::GetInstance()->GetMainMenu()->SelectPage(cWidgetMainMenu::kPageInstrument, 0);
            if (step == 10 && GetParam().insertView)
                DeskPage()->OnViewButton(false, nullptr);
            if (step == 20)
            {
                found = FindInstrumentName(&name, &instrument);
                if (found)
                {
                    PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, int(name.X), int(name.Y));
                    PushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, int(name.X), int(name.Y));
                }
            }
            if (step == 23 && found)
            {
                PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 2, int(name.X), int(name.Y));
                PushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 2, int(name.X), int(name.Y));
            }
            if (step == 60)
            {
                deskHidden = !DeskPage()->IsVisible();
                cWidgetManager* manager = cWidgetManager::GetInstance();
                layers = manager->GetRoot()->GetLayerCount() + cMainUI::GetInstance()->GetMainWindow()->GetLayerCount();
                captures = manager->GetCaptureCount();
                title = cMainUI::GetInstance()->GetStatusBar()->GetTitleText().CStr();
            }
        },
        1, arguments);
    EXPECT_EQ(RunInProcess(application), 0);
    ResetDisplayMetrics();
    ASSERT_TRUE(found) << "no strip names an instrument";
    EXPECT_TRUE(deskHidden);
    EXPECT_EQ(layers, 0) << "nothing left over the page";
    EXPECT_EQ(captures, 0) << "no touch left held";
    EXPECT_NE(title.find(instrument), std::string::npos) << title;
}

INSTANTIATE_TEST_SUITE_P(Layouts, MixingDeskProgramTest,
                         ::testing::Values(cDoubleTapCase{"Faders", "-desktop", false},
                                           cDoubleTapCase{"InsertView", "-desktop", true},
                                           cDoubleTapCase{"Phone", "-phone", false}),
                         [](const auto& info) { return std::string(info.param.what); });
} // namespace
