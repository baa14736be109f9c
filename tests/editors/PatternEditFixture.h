#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "PatternEditWorld.h"
#include "PatternRecords.h"
#include <atomic>

#include "base/ProjectModified.h"
#include "editors/PatternEditAction.h"
#include "sequencer/QuantizeSettings.h"

// A bound model over the world's part, and what tests read back from it.
class cPatternEditTest : public ::testing::Test
{
protected:
    using cEventView = cPatternEditModel::cEventView;

    cPatternEditTest() { SetProjectModifiedFlag(&modified); }
    ~cPatternEditTest() override { SetProjectModifiedFlag(nullptr); }

    static cQuantizeGrid Grid(float interval, float swing = 0.0f)
    {
        cQuantizeGrid grid;
        grid.on = 1;
        grid.interval = interval;
        grid.swingOffset = swing;
        return grid;
    }

    cEventView* ViewOf(const cPatternEvent* event) const { return model.FindViewOfEvent(event); }

    void Select(std::initializer_list<const cPatternEvent*> events)
    {
        model.ClearSelection();
        for (const cPatternEvent* event : events)
            model.Select(ViewOf(event), true);
    }

    std::vector<cEventRecord> SelectedRecords() const
    {
        std::vector<cEventRecord> records;
        for (const auto* node = model.GetSelection().GetFirst(); node; node = node->GetNext())
            records.push_back(cEventRecord::Of(*node->view->event));
        return records;
    }

    std::vector<const cPatternEvent*> SelectedEvents() const
    {
        std::vector<const cPatternEvent*> events;
        for (const auto* node = model.GetSelection().GetFirst(); node; node = node->GetNext())
            events.push_back(node->view->event);
        return events;
    }

    std::vector<cEventRecord> Pattern() const { return Records(world.Pattern()); }

    cPatternEditWorld world;
    cPatternEditModel& model = world.model;
    std::atomic<bool> modified{false};
};
