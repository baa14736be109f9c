#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/TestInstrument.h"
#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/FileTestFolder.h"
#include "base/GenString.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileProjectHost.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

// What an import or export sees: the song, the slot table, the packages
// "Kest" (volume on parameter slot 1 from controller 7, pan on 2 from 10,
// knobs on 4..8 from 70..74), "Mixer" and "Other", an open project that
// changes slots through the table, and "Doc" and "Tmp" mounts on a fresh
// folder.
class cMIDIFileSongFixture : public ::testing::Test, protected cMIDIFileProjectHost
{
protected:
    static constexpr const cInstrumentPackage::cControllerAssignment kKestMap[] = {
        {1, 7, 0}, {2, 10, 0}, {4, 70, 0}, {5, 71, 0}, {6, 72, 0}, {7, 73, 0}, {8, 74, 0},
    };

    cMIDIFileSongFixture()
    {
        kest = AddPackage("Kest");
        kest->SetControllerTables(nullptr, 0, nullptr, 0, kKestMap, int32_t(std::size(kKestMap)));
        kest->CreateControllerMap();
        mixer = AddPackage("Mixer");
        mixer->CreateControllerMap();
        other = AddPackage("Other");
        other->CreateControllerMap();
        std::filesystem::create_directories(mFolder / "Doc");
        std::filesystem::create_directories(mFolder / "Tmp");
        AddDeletableRoot((mFolder / "Doc").c_str());
        AddDeletableRoot((mFolder / "Tmp").c_str());
        mMounts.Mount(new File::cFileSystemDisk("Doc", (mFolder / "Doc").c_str()));
        mMounts.Mount(new File::cFileSystemDisk("Tmp", (mFolder / "Tmp").c_str()));
        sequencer.SetBeatsPerBar(4);
        sequencer.SetTempo(120.0f);
        SetMIDIFileProjectHost(this);
    }
    ~cMIDIFileSongFixture() override
    {
        SetMIDIFileProjectHost(nullptr);
        ClearDeletableRoots();
    }

    bool HasCurrentProject() override { return projectOpen; }
    void SetInstrumentSlot(cInstrument* instrument, int32_t slot, bool deleteOld) override
    {
        slots.SetSlot(slot, instrument, deleteOld);
    }

    cTestPackage* AddPackage(const char* name)
    {
        auto* package = new cTestPackage(name);
        packages.AddPackage(package);
        return package;
    }
    cInstrument* Place(cTestPackage* package, int32_t slot, const char* name)
    {
        cInstrument* instrument = package->CreateInstrument(0);
        instrument->SetName(name);
        slots.SetSlot(slot, instrument, true);
        return instrument;
    }
    cTrack* AddTrack(int32_t slot)
    {
        auto* track = new cTrack();
        if (sequencer.InsertTrack(track, slot, -1) >= 0)
            return track;
        delete track;
        return nullptr;
    }
    // A part on a new private pattern, its loop as given (its length by default).
    cPatternInstance* AddPart(cTrack* track, int32_t start, int32_t length, int32_t loop = 0)
    {
        cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
        part->start = start;
        part->length = length;
        part->pattern->loopLength = loop > 0 ? loop : length;
        part->owner = track;
        track->InsertPart(part);
        return part;
    }
    static cPatternEvent* AddNote(cPatternInstance* part, int32_t time, int note, int velocity, int32_t length)
    {
        cPatternEvent* event = cPatternEvent::Allocate();
        event->SetNote(note);
        event->SetVelocity(velocity);
        event->time = time;
        event->length = length;
        part->pattern->InsertEventSorted(event);
        return event;
    }
    static cPatternEvent* AddController(cPatternInstance* part, int32_t time, int id, int32_t value)
    {
        cPatternEvent* event = cPatternEvent::Allocate();
        event->flags = cPatternEvent::kFlagController;
        event->data3 = uint8_t(id);
        event->SetControllerValue(value);
        event->time = time;
        event->length = 16;
        part->pattern->InsertEventSorted(event);
        return event;
    }

    cTrackList& Tracks() { return *sequencer.GetTrackList(); }
    // The slot's first track, or null.
    cTrack* FirstTrack(int32_t slot)
    {
        const cTrackList::cGroup& group = Tracks().GetGroup(slot);
        return group.first < group.end ? Tracks().GetTrack(group.first) : nullptr;
    }
    std::string DocPath(const char* name) const { return (mFolder / "Doc" / name).string(); }

    cInstrumentPackageRegistry packages; // before the slot table, which its packages outlive
    cInstrumentSlotTable slots;
    cSequencer sequencer;
    cTestPackage* kest = nullptr;
    cTestPackage* mixer = nullptr;
    cTestPackage* other = nullptr;
    bool projectOpen = true;

private:
    cFileTestFolder mFolderOwner;
    std::filesystem::path mFolder = mFolderOwner.Path();
    cFileSystemRegistry mMounts;
};
