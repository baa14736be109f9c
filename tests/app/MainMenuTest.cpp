#include <gtest/gtest.h>

#include <vector>

#include "MainScreenFixture.h"
#include "app/AppProjectHost.h"
#include "project/ProjectHost.h"

namespace
{
using MainScreenTest::cKeptEventsInstrument;

class MainMenuTest : public MainScreenFixture
{
protected:
    MainMenuTest()
    {
        ui->AddPage(engine->mixer->GetUserInterface());
        ui->AddPage(engine->pads->GetUserInterface());
        ui->AddPage(engine->synth->GetUserInterface());
    }
    ~MainMenuTest() override
    {
        for (cInstrumentPackage* package : {static_cast<cInstrumentPackage*>(engine->mixer),
                                            static_cast<cInstrumentPackage*>(engine->pads),
                                            static_cast<cInstrumentPackage*>(engine->synth)})
            ui->RemovePage(package->GetUserInterface());
    }

    // The release-live-notes events the instrument's module received.
    static int Releases(cKeptEventsInstrument* instrument)
    {
        int releases = 0;
        for (const cAudioEvent& event : instrument->Module().Take())
            releases += event.type == kAudioEventReleaseLiveNotes ? 1 : 0;
        return releases;
    }
    cWidget* ShownPage() const
    {
        for (cWidget* page = ui->GetMainWindow()->GetFirstChild(); page; page = page->GetNext())
            if (page->IsVisible())
                return page;
        return nullptr;
    }
};

TEST_F(MainMenuTest, SelectPageShowsTheSlotsPageOrTheManagePage)
{
    engine->Put(0, engine->mixer);
    cKeptEventsInstrument* pads = engine->Put(3, engine->pads);
    const struct
    {
        const char* name;
        int32_t type, slot;
        int32_t pageType, selected, lastInstrument, pageCode;
        cWidget* page;
    } cases[] = {
        {"slot 3", 2, 3, 2, 3, 3, 3, engine->pads->GetUserInterface()},
        {"slot 16 is slot 0", 2, 16, 2, 0, 3, 1, engine->mixer->GetUserInterface()},
        {"a negative slot is slot 0", 2, -4, 2, 0, 3, 1, engine->mixer->GetUserInterface()},
        {"an empty slot", 2, 5, 1, -1, 3, 4, ui->GetSetupPage()},
        {"type 5", 5, 3, 1, -1, 3, 4, ui->GetSetupPage()},
        {"a negative type", -1, 3, 1, -1, 3, 4, ui->GetSetupPage()},
        {"the song", 0, 3, 0, -1, 3, 5, nullptr},
    };
    for (const auto& c : cases)
    {
        menu->SelectPage(c.type, c.slot);
        EXPECT_EQ(menu->GetPageType(), c.pageType) << c.name;
        EXPECT_EQ(menu->GetSelectedSlot(), c.selected) << c.name;
        EXPECT_EQ(gSelectedInstrumentSlot.load(), c.selected) << c.name;
        EXPECT_EQ(menu->GetLastInstrumentSlot(), c.lastInstrument) << c.name;
        EXPECT_EQ(engine->midi->GetPageCode(), c.pageCode) << c.name;
        EXPECT_EQ(ShownPage(), c.page) << c.name;
        EXPECT_EQ(menu->GetSongButton()->value, c.pageType == 0 ? 1 : 0) << c.name;
        EXPECT_EQ(menu->GetManageButton()->value, c.pageType == 1 ? 1 : 0) << c.name;
    }
    EXPECT_EQ(pads->selects, 1);
    // The manage page keeps the last other page.
    EXPECT_EQ(menu->GetLastPageType(), 0);
}

TEST_F(MainMenuTest, NeighboursPlaceASlotAmongTheOccupiedOnes)
{
    const struct
    {
        std::vector<int32_t> occupied;
        int32_t slot, neighbours;
    } cases[] = {
        {{0}, 0, 1}, {{0, 2}, 2, 3}, {{0, 2}, 1, 2}, {{0, 2}, 0, 1}, {{0, 2, 9}, 2, 2}, {{0}, -1, 2}, {{}, 4, 1},
    };
    for (const auto& c : cases)
    {
        for (int32_t slot = 0; slot < 16; ++slot)
            engine->Empty(slot);
        for (int32_t slot : c.occupied)
            engine->Put(slot, engine->synth);
        EXPECT_EQ(GetInstrumentSlotNeighbours(c.slot), c.neighbours) << c.slot;
    }
}

TEST_F(MainMenuTest, LiveNotesAreReleasedOnlyWhenTheSlotChanges)
{
    cKeptEventsInstrument* first = engine->Put(1, engine->synth);
    cKeptEventsInstrument* second = engine->Put(2, engine->synth);
    menu->SelectPage(2, 1);
    first->Module().Take();
    menu->SelectPage(2, 1);
    EXPECT_EQ(Releases(first), 0);
    menu->SelectPage(2, 2);
    EXPECT_EQ(Releases(first), 1);
    EXPECT_EQ(Releases(second), 0);

    // The instrument of the slot shown went (an address sanitizer would see
    // a release posted into it); selecting another releases nothing.
    engine->Empty(2);
    cKeptEventsInstrument* third = engine->Put(4, engine->synth);
    menu->SelectPage(2, 4);
    EXPECT_EQ(menu->GetCurrentSlot(), 4);
    EXPECT_EQ(Releases(third), 0);
}

TEST_F(MainMenuTest, AfterThePropertiesCloseTheNearestOccupiedSlotIsShown)
{
    engine->Put(0, engine->mixer);
    engine->Put(3, engine->synth);
    engine->Put(5, engine->synth);
    engine->Put(7, engine->synth);
    menu->SelectPage(2, 5);

    engine->Empty(5);
    menu->OnPropertiesClosed(5);
    EXPECT_EQ(menu->GetSelectedSlot(), 3) << "a tie goes to the lower slot";

    // A slot that now holds an instrument is shown.
    engine->Put(6, engine->pads);
    menu->OnPropertiesClosed(6);
    EXPECT_EQ(menu->GetSelectedSlot(), 6);
    // With the selected slot still occupied, nothing changes.
    engine->Empty(7);
    menu->OnPropertiesClosed(7);
    EXPECT_EQ(menu->GetSelectedSlot(), 6);

    for (int32_t slot = 0; slot < 16; ++slot)
        engine->Empty(slot);
    menu->OnPropertiesClosed(6);
    EXPECT_EQ(menu->GetPageType(), cWidgetMainMenu::kPageManage);
    EXPECT_EQ(engine->midi->GetPageCode(), 4);
    menu->OnPropertiesClosed(-1);
}

TEST_F(MainMenuTest, CellTapsSelectOccupiedSlotsAndCloseTheMenu)
{
    engine->Put(0, engine->mixer);
    engine->Put(2, engine->synth);
    OpenMenu();
    TapAt(CellCentre(4));
    EXPECT_TRUE(menu->IsOpen()) << "an empty cell does nothing";
    EXPECT_NE(menu->GetSelectedSlot(), 4);
    TapAt(CellCentre(2));
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_EQ(menu->GetSelectedSlot(), 2);
    EXPECT_EQ(ShownPage(), engine->synth->GetUserInterface());
    Frame(12);
    EXPECT_FALSE(menu->IsVisible());

    OpenMenu();
    TapAt(CellCentre(0));
    EXPECT_EQ(menu->GetSelectedSlot(), 0);
    Frame();
    EXPECT_EQ(bar->GetButton(cWidgetStatusBar::kMixer)->value, 1);
    EXPECT_EQ(menu->GetLastInstrumentSlot(), 2) << "slot 0 never becomes the last instrument slot";
}

TEST_F(MainMenuTest, WithItsCoverTheMenuSwallowsTouchesBelowItAndDimsThePage)
{
    cWidget* page = engine->mixer->GetUserInterface();
    engine->Put(0, engine->mixer)->SetMenuBackdrop(true);
    menu->SelectPage(2, 0);
    OpenMenu();
    EXPECT_TRUE(menu->HasCover());
    const float below = menu->GetRect().yMax + 100.0f;
    TapAt({500.0f, below});
    EXPECT_TRUE(menu->IsOpen());
    // Black at alpha 128 from the menu's bottom to the window's.
    bool veiled = false;
    for (const cDrawnQuad& quad : Quads())
        veiled |= quad.colour == 0x80000000u && quad.rect.yMin == menu->GetRect().yMax &&
                  quad.rect.yMax == ui->GetMainWindow()->GetRect().yMax;
    EXPECT_TRUE(veiled);
    EXPECT_TRUE(page->IsVisible());

    // An instrument without the backdrop leaves its page uncovered.
    TapButton(cWidgetStatusBar::kMenu);
    Frame(12);
    engine->At(0)->SetMenuBackdrop(false);
    OpenMenu();
    EXPECT_FALSE(menu->HasCover());
    EXPECT_FALSE(menu->HandleTouch(kTouchDown, input->GetTouchTracker().BeginTouchAt(2, 500.0f, below, 0.0), nullptr));
    input->GetTouchTracker().Reset();
}

TEST_F(MainMenuTest, TheProjectsSelectPagesAndReadWhereToReturnThroughTheHost)
{
    engine->Put(2, engine->synth);
    cAppProjectHost host;
    host.SelectPage(2, 2);
    EXPECT_EQ(menu->GetSelectedSlot(), 2);
    host.SelectPage(1, 0);
    int32_t page = -1, instrument = -1;
    host.GetRestorePage(page, instrument);
    EXPECT_EQ(page, 2) << "the setup page is never returned to";
    EXPECT_EQ(instrument, 2);

    host.SelectPage(2, 2);
    host.ResetInstrumentSelector();
    EXPECT_EQ(menu->GetSelectedSlot(), -1);
    EXPECT_EQ(menu->GetLastInstrumentSlot(), 0);

    host.SetCurrentProjectPath("User/Projects/Untitled-01.prj");
    EXPECT_STREQ(ui->GetCurrentProjectPath(), "User/Projects/Untitled-01.prj");
}
} // namespace
