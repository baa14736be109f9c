#include <gtest/gtest.h>

#include <cstdio>

#include "SongEditWorld.h"
#include "SongRollFixture.h"
#include "audio/Instrument.h"
#include "editors/PartPropertiesUI.h"
#include "editors/SongRoll.h"
#include "editors/SongSettingsUI.h"
#include "editors/SongToolsUI.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/UIMetrics.h"
#include "RollZoomButtons.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetTabView.h"

namespace
{
constexpr int32_t kBar = 1024;

// The song roll drawn through the real renderer with the generated content,
// as a user meets it: an arrangement of several instruments whose parts take
// the shared patterns' colours and the private one, a muted track, a
// selection with its handles, the header panel, a menu and a drawn part.
class SongRollPicturesTest : public OffscreenScreenFixture
{
protected:
    void SetUp() override
    {
        StartScreen(1024, 768);
        SetupUIMetrics();
        world = std::make_unique<cSongEditWorld>();
        world->sequencer.SetBeatsPerBar(4);
        world->slots.GetInstrument(0)->SetName("Kest 1");
        world->slots.GetInstrument(1)->SetName("Drums");
        world->slots.SetSlot(2, world->package.CreateInstrument(0), false);
        world->slots.GetInstrument(2)->SetName("Bass");
        cTrack* lead = world->AddTrack(0);
        cTrack* harmony = world->AddTrack(0);
        cTrack* drums = world->AddTrack(1);
        cTrack* bass = world->AddTrack(2);
        for (int32_t bar = 0; bar < 16; bar += 4)
            Notes(world->AddPrivatePart(lead, bar * kBar, 4 * kBar), 4 * kBar, 128);
        Notes(world->AddSharedPart(harmony, 1, 2 * kBar, 6 * kBar, 2 * kBar), 2 * kBar, 256);
        Notes(world->AddSharedPart(harmony, 2, 9 * kBar, 4 * kBar, kBar), kBar, 128);
        for (int32_t bar = 0; bar < 16; bar += 2)
            Notes(world->AddSharedPart(drums, 3, bar * kBar, 2 * kBar, kBar), kBar, 64);
        selected = world->AddSharedPart(bass, 4, 4 * kBar, 4 * kBar, 2 * kBar);
        Notes(selected, 2 * kBar, 256);
        world->AddSharedPart(bass, 5, 10 * kBar, 3 * kBar, kBar);
        world->sequencer.SetTrackMuteSolo(1, cTrack::kMute);
        world->sequencer.SetLoopRange(4 * kBar, 8 * kBar);
        world->sequencer.SetPosition(6 * kBar);

        roll = new cSongRoll(&owner);
        roll->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, 1024.0f, 768.0f);
        manager->GetRoot()->AddChild(roll);
        roll->Release();
        DrawFrame();
        roll->SetTrackList(world->sequencer.GetTrackList(), true);
        roll->ZoomToRange(0.0f, 16.0f * kBar, 0.0f, false);
        DrawFrame();
    }
    void TearDown() override
    {
        manager->GetRoot()->RemoveChild(roll);
        OffscreenScreenFixture::TearDown();
        world.reset();
        SetupUIMetrics();
    }

    void Notes(cPatternInstance* part, int32_t span, int32_t step)
    {
        for (int32_t time = 0; time < span; time += step)
            world->AddNote(*part->pattern, time, 48 + (time / step * 5) % 24, step / 2);
    }
    void Tap(float x, float y)
    {
        input->TouchBegan(1, x, y);
        input->TouchEnded(1, x, y);
        Frames(2);
    }
    cVector2 At(float tick, float row) const { return {roll->TickToX(tick), roll->RowToY(row)}; }
    static cVector2 Centre(const cRect& r) { return {0.5f * (r.xMin + r.xMax), 0.5f * (r.yMin + r.yMax)}; }
    uint32_t Pixel(const cVector2& p) const { return gl->PixelAt(gl->ReadPixels(), int(p.X), int(p.Y)); }

    cRecordingRollOwner owner;
    std::unique_ptr<cSongEditWorld> world;
    cSongRoll* roll = nullptr;
    cPatternInstance* selected = nullptr;
};

TEST_F(SongRollPicturesTest, AnArrangementWithASelectionAndTheHeaderPanel)
{
    const cVector2 onSelected = At(6.5f * kBar, 3.5f);
    Tap(onSelected.X, onSelected.Y);
    const cVector2 toggle = Centre(roll->GetPanelToggle()->GetRect());
    Tap(toggle.X, toggle.Y);
    Frames(20);
    std::printf("saved as %s\n", gl->SaveFrame("song-roll").c_str());

    const uint32_t muted = Pixel(At(3.6f * kBar, 1.5f));
    EXPECT_EQ(muted & 0xff, (muted >> 8) & 0xff) << "the muted track's parts are grey";
    EXPECT_EQ(muted & 0xff, (muted >> 16) & 0xff) << "the muted track's parts are grey";
    EXPECT_GT(muted & 0xff, 0x40u);
    const uint32_t own = Pixel(At(1.6f * kBar, 0.2f));
    EXPECT_GT((own >> 16) & 0xff, own & 0xff) << "a part on a private pattern is light blue";
    const uint32_t drums = Pixel(At(1.6f * kBar, 2.2f));
    EXPECT_NE(drums & 0xffffff, own & 0xffffff) << "shared patterns take colours of their own";
    const uint32_t highlight = Pixel(At(5.6f * kBar, 3.2f));
    EXPECT_GT(highlight & 0xff, (highlight >> 16) & 0xff) << "the selection is orange";
    EXPECT_GT(roll->GetHandle(cSongRoll::kHandleMove).alpha, 250.0f);
}

TEST_F(SongRollPicturesTest, TheZoomMenuOpen)
{
    const cVector2 menu = Centre(roll->GetMenu(cSongRoll::kToolZoom)->GetRect());
    Tap(menu.X, menu.Y);
    Frames(4);
    std::printf("saved as %s\n", gl->SaveFrame("song-roll-menu").c_str());
    EXPECT_TRUE(roll->GetMenu(cSongRoll::kToolZoom)->IsMenuOpen());
}

TEST_F(SongRollPicturesTest, APartBeingDrawn)
{
    const cVector2 draw = Centre(roll->GetTool(cSongRoll::kToolDraw)->GetRect());
    Tap(draw.X, draw.Y);
    const cVector2 from = At(13.5f * kBar, 0.5f), to = At(15.2f * kBar, 0.5f);
    input->TouchBegan(1, from.X, from.Y);
    Frames(2);
    input->TouchMoved(1, to.X, to.Y, false);
    Frames(2);
    std::printf("saved as %s\n", gl->SaveFrame("song-roll-draw-preview").c_str());
    EXPECT_EQ(roll->GetTouchMode(), cSongRoll::kDrawing);
    input->TouchEnded(1, to.X, to.Y);
    Frames(2);
    EXPECT_EQ(world->Track(0)->GetLastPart()->start, 13 * kBar);
}

// The dialogues the roll opens, each tab as a user first sees it, and the
// status bar's tempo popup.
TEST_F(SongRollPicturesTest, TheSongToolsAndPartPropertiesTabs)
{
    cSongToolsUI* tools = roll->GetSongTools();
    tools->Open(world->sequencer.GetTrackList());
    const char* const toolTabs[] = {"song-tools-tempo", "song-tools-clear", "song-tools-preferences",
                                    "song-tools-midi-file"};
    for (int32_t tab = 0; tab < 4; ++tab)
    {
        tools->GetTabView()->SelectPage(tab, false);
        Frames(20);
        EXPECT_TRUE(tools->GetTabView()->GetPage(tab)->IsVisible());
        std::printf("saved as %s\n", gl->SaveFrame(toolTabs[tab]).c_str());
    }
    tools->Close();

    const cVector2 onSelected = At(6.5f * kBar, 3.5f);
    Tap(onSelected.X, onSelected.Y);
    cPartPropertiesUI* properties = roll->GetPartProperties();
    properties->Open();
    const char* const propertyTabs[] = {"part-properties-pattern", "part-properties-preset"};
    for (int32_t tab = 0; tab < 2; ++tab)
    {
        properties->GetTabView()->SelectPage(tab, false);
        Frames(20);
        std::printf("saved as %s\n", gl->SaveFrame(propertyTabs[tab]).c_str());
    }
    EXPECT_STREQ(properties->GetName(), "Part (005 - 008) properties");
    properties->Close();

    cSongSettingsPopup* popup = new cSongSettingsPopup();
    popup->Show();
    Frames(20);
    std::printf("saved as %s\n", gl->SaveFrame("tempo-popup").c_str());
    popup->Hide();
    popup->Release();
}
} // namespace

// The zoom buttons beside the scroll bars keep their skins in their own
// corners, clear of the toolbar's Edit button below; nothing on the roll's
// screen overlaps and every text reads.
TEST_F(SongRollPicturesTest, TheZoomButtonsKeepToTheirCorner)
{
    Frames(2);
    std::printf("saved as %s\n", gl->SaveFrame("song-roll-zoom-buttons").c_str());
    EXPECT_EQ(ZoomSkinsOutsideTheirButtons(*roll), "");
    EXPECT_EQ(ScreenFaults(), "");
}
