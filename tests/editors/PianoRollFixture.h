#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "EditorHostRecorder.h"
#include "PatternEditWorld.h"
#include "editors/EditGeometryBatch.h"
#include "editors/PianoRoll.h"
#include "editors/PianoRollOwner.h"
#include "platform/GlobalSettingValues.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/QuantizeSettings.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"
#include "ui/DialogueFixture.h"

// The page's part for the piano roll: the lent vertex store, and how often
// the user went back to the song.
class cTestRollOwner : public cPianoRollOwner
{
public:
    cEditGeometryBatch* GetEditGeometryBatch() override { return &batch; }
    void ShowSongView() override { ++songViews; }

    cEditGeometryBatch batch;
    int songViews = 0;
};

// A piano roll over the whole 640 x 480 root, bound to the world's private
// four-bar part on a test instrument, the main UI's part recorded. The view
// starts at one bar by two octaves from C3; the edit grid is 1/16 and
// auditioning on at 80%, as for a new user.
class PianoRollFixture : public DialogueFixture
{
protected:
    PianoRollFixture()
    {
        SetGridQuantizeSettings(cQuantizeSettings());
        gSettings.auditionNote = 1;
        gSettings.auditionNoteVol = 80;
        roll = Place(new cPianoRoll(&owner), {0.0f, 0.0f, 640.0f, 480.0f});
        Frame();
    }
    ~PianoRollFixture() override
    {
        // The roll lets go of the song before the world takes it down.
        roll->BindPart(nullptr);
        root->RemoveChild(roll);
        SetGridQuantizeSettings(cQuantizeSettings());
        gSettings.auditionNote = 1;
        gSettings.auditionNoteVol = 80;
    }

    void Open()
    {
        roll->BindPart(world.part);
        roll->RebuildForPart(true);
        roll->ResetViewForPart();
        ShowBar();
        world.Take(0);
    }

    void ShowBar()
    {
        roll->ZoomToTicks(0.0f, 1024.0f, 0.0f, false);
        roll->ZoomToValues(48.0f, 24.0f, 0.0f, false);
        Frame();
    }

    // Screen points of a tick and a lane value (the middle of a note's row).
    float X(float tick) const { return roll->TickToX(tick) + 0.5f; }
    float Y(float value) const { return roll->ValueToY(value + 0.5f); }

    void TouchAt(float tick, float value) { TouchPoint(X(tick), Y(value)); }
    void TouchPoint(float x, float y)
    {
        last = {x, y};
        Down(1, x, y);
        Frame();
    }
    void DragTo(float tick, float value, int steps = 4) { DragPoint(X(tick), Y(value), steps); }
    void DragPoint(float x, float y, int steps = 4)
    {
        const cVector2 from = last;
        for (int i = 1; i <= steps; ++i)
        {
            const float f = float(i) / float(steps);
            last = {from.X + (x - from.X) * f, from.Y + (y - from.Y) * f};
            Move(1, last.X, last.Y);
            Frame();
        }
    }
    void Release(float tick, float value)
    {
        Up(1, X(tick), Y(value));
        Frame();
    }
    void TapAt(float tick, float value)
    {
        TouchAt(tick, value);
        Release(tick, value);
    }
    void DrawTool(bool on)
    {
        if (roll->IsDrawToolOn() != on)
            ClickWidget(roll->GetTool(cPianoRoll::kToolDraw));
    }
    void ClickWidget(cWidget* widget)
    {
        const cRect r = widget->GetRect();
        Tap(7, (r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f);
        Frame();
    }
    void Char(int c)
    {
        input->OnChar(1, 0, c);
        input->OnChar(0, 0, c);
        Frame();
    }
    void PickMenu(int32_t tool, int32_t item)
    {
        cWidgetComboBox* menu = roll->GetMenu(tool);
        if (!menu->IsMenuOpen())
            ClickWidget(menu);
        const cRect m = menu->GetMenuRect();
        // The menus open upwards: the first item lies next to the button.
        const float itemHeight = (m.yMax - m.yMin) / float(menu->GetItemCount());
        Tap(7, (m.xMin + m.xMax) * 0.5f, m.yMax - itemHeight * (float(item) + 0.5f));
        Frame();
    }

    std::vector<std::pair<int32_t, int32_t>> Notes() const
    {
        std::vector<std::pair<int32_t, int32_t>> notes;
        for (const cPatternEvent* e = world.Pattern().head; e; e = e->next)
            if (!e->IsController())
                notes.emplace_back(e->time, e->data1);
        return notes;
    }

    bool DrewText(const std::string& text, uint32_t* colour = nullptr) const
    {
        for (const cDrawnText& drawn : Texts())
            if (drawn.text == text)
            {
                if (colour)
                    *colour = drawn.colour;
                return true;
            }
        return false;
    }

    cVector2 last = {0.0f, 0.0f};
    cPatternEditWorld world;
    cTestRollOwner owner;
    cEditorHostRecorder host;
    cPianoRoll* roll = nullptr;
};
