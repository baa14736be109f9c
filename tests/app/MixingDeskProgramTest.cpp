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

// The centre of the name of the strip the named instrument owns.
bool FindInstrumentName(const char* name, cVector2* point)
{
    cMixingDeskInputTitles* titles = DeskPage()->GetPanel()->GetTitles();
    const cRect& rect = titles->GetRect();
    for (int32_t strip = 0; strip < titles->GetStripCount(); ++strip)
    {
        const cMixingDeskInputTitles::cRecord& record = titles->GetRecord(strip);
        if (!record.valid || !record.channel->owner || std::string(record.channel->owner->GetName()) != name)
            continue;
        *point = {rect.xMin + (float(strip) + 0.5f) * titles->GetStripWidth(),
                  rect.yMin + cMixingDeskInputTitles::kNameBand * 0.5f};
        return true;
    }
    return false;
}
} // namespace

// A double tap on a strip's name shows its instrument's page with nothing
// over it, and the desk is left holding no touch.
TEST(MixingDeskProgramTest, ADoubleTapOnAStripsNameShowsItsInstrument)
{
    EmptyInProcessDocumentsOfAReturningUser();
    cVector2 name = {0.0f, 0.0f};
    const std::string instrument = "Kest 1";
    std::string title;
    bool found = false, deskHidden = false;
    int layers = -1, captures = -1;
    auto* application = new cScriptedApplication(
        kStartupCoverFrames + 80,
        [&](cScriptedApplication&, int frame)
        {
            const int step = frame - kStartupCoverFrames;
            if (step == 5)
                cMainUI::GetInstance()->GetMainMenu()->SelectPage(cWidgetMainMenu::kPageInstrument, 0);
            if (step == 20)
            {
                found = FindInstrumentName(instrument.c_str(), &name);
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
        });
    EXPECT_EQ(RunInProcess(application), 0);
    ASSERT_TRUE(found) << "no strip names an instrument";
    EXPECT_TRUE(deskHidden);
    EXPECT_EQ(layers, 0) << "nothing left over the page";
    EXPECT_EQ(captures, 0) << "no touch left held";
    EXPECT_NE(title.find(instrument), std::string::npos) << title << " / " << instrument;
}
