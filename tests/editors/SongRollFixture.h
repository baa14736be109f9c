#pragma once

#include <vector>

#include "SongEditFixture.h"
#include "editors/EditGeometryBatch.h"
#include "editors/SongRoll.h"
#include "editors/SongRollOwner.h"
#include "platform/MouseTouchTranslator.h"
#include "project/ProjectHost.h"
#include "ui/WidgetComboBox.h"

// The sequencer page as the song roll sees it: the shared vertex store, and
// the parts it was asked to open.
class cRecordingRollOwner : public cSongRollOwner
{
public:
    cEditGeometryBatch* GetEditGeometryBatch() override { return &batch; }
    void EditPart(cPatternInstance* part) override { edited.push_back(part); }

    cEditGeometryBatch batch;
    std::vector<cPatternInstance*> edited;
};

// The main menu's pages as the song roll reaches them.
class cRecordingProjectHost : public cProjectHost
{
public:
    cRecordingProjectHost() { SetProjectHost(this); }
    ~cRecordingProjectHost() override { SetProjectHost(nullptr); }
    void SelectPage(int32_t page, int32_t instrument) override { pages.push_back({page, instrument}); }

    std::vector<std::pair<int32_t, int32_t>> pages;
};

// A song roll over the whole 1024 x 768 screen, bound to the world's song
// and showing its first eight bars; touches go through the input manager.
class cSongRollTest : public cSongEditTest
{
protected:
    // The roll and its history go before the song they hold parts of.
    ~cSongRollTest() override
    {
        if (roll)
            root->RemoveChild(roll);
    }

    void Build()
    {
        roll = new cSongRoll(&owner);
        Place(roll, {0.0f, 0.0f, 1024.0f, 768.0f});
        Frame();
        roll->SetTrackList(world.sequencer.GetTrackList(), true);
        roll->ZoomToRange(0.0f, 8.0f * kBar, 0.0f, false);
        Frame(2);
    }

    cVector2 At(float tick, float row) const { return {roll->TickToX(tick), roll->RowToY(row)}; }
    void TapAt(const cVector2& p)
    {
        Tap(1, p.X, p.Y);
        Frame();
    }
    void DragFrom(const cVector2& from, const std::vector<cVector2>& path)
    {
        Down(1, from.X, from.Y);
        Frame();
        for (const cVector2& p : path)
        {
            Move(1, p.X, p.Y);
            Frame();
        }
        Up(1, path.back().X, path.back().Y);
        Frame();
    }
    static cVector2 Centre(const cRect& r) { return {0.5f * (r.xMin + r.xMax), 0.5f * (r.yMin + r.yMax)}; }
    void TapWidget(cWidget* widget) { TapAt(Centre(widget->GetRect())); }
    // Opens a toolbar menu (its items rebuilt on opening) and picks an entry.
    void Pick(int32_t tool, int32_t item)
    {
        cWidgetComboBox* menu = roll->GetMenu(tool);
        TapWidget(menu);
        Frame();
        const cRect& rect = menu->GetMenuRect();
        const float pitch = menu->itemHeight + menu->itemGap;
        TapAt({0.5f * (rect.xMin + rect.xMax), rect.yMax - (float(item) + 0.5f) * pitch});
    }
    cSongEditModel& Model() const { return roll->GetModel(); }

    cRecordingRollOwner owner;
    cRecordingProjectHost projectHost;
    cSongRoll* roll = nullptr;
};
