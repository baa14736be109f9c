#pragma once

#include <atomic>
#include <cstdint>

#include "audio/AudioEvent.h"
#include "base/GenString.h"
#include "base/IntrusiveList.h"
#include "project/TrackMap.h"

class cInstrument;
class cMIDIMessage;
class cSampleRelocator;
class cSequencer;
namespace Base
{
class cSerialise;
}
namespace File
{
class cFileSystem;
}

// The song, the instruments of the 16 slots, each slot's MIDI input channel
// and transposes, and where the user was: the unit the user creates, saves and
// loads. On disk a folder "<name>.prj" in the "Doc" mount holding
// "Package.prj", "Package.sng", the instruments' banks and samples.
//
// Load, Save and Export run on the job thread; everything else on the main
// thread, except the MIDI sink, which runs on the audio thread while the
// project is active.
class cProject : public Base::cIntrusiveListItem<cProject, 1>
{
public:
    static constexpr float kFileVersion = 6.0f;
    static constexpr int32_t kSlotCount = 16;
    static constexpr int32_t kMaxTranspose = 11;
    static constexpr int32_t kMaxMIDIInTranspose = 36;

    // Serialise directions.
    enum : int32_t
    {
        kRead = 1,
        kWrite = 2,
    };

    // Main-menu pages a project returns to.
    enum : int32_t
    {
        kPageSong = 0,
        kPageSetup = 1,
        kPageInstrument = 2,
    };

    cProject();
    // Unloads.
    ~cProject();
    cProject(const cProject&) = delete;
    cProject& operator=(const cProject&) = delete;

    // A new project at the path with the default instruments: the mixer,
    // the pads and four synthesizers. fresh goes to each package (1 when the
    // user asked for a new project).
    void NewDefault(const cGenString& path, int32_t fresh);
    // Loads a project folder: the packages' banks, "Package.prj" and the
    // song, each falling back to its backup and auto-save generations. A path
    // ending in ".bak" tries the backups first, one ending in ".as" the
    // auto-saves. A save of the folder that was cut short is finished first.
    // On failure the error text says why. A bank that does not load fails
    // nothing: the project loads without it and the load warning says why.
    bool Load(const cGenString& path);
    // Writes the project into its own folder or a new one (then copying its
    // samples along); an auto-save writes "Package.prj.as" and the song's
    // ".as". The folder's files are replaced together or not at all. True
    // only when every file was written; otherwise the error text says what
    // was not, the folder's files stay as they were and the project stays
    // modified.
    bool Save(const cGenString& folder, bool autoSave);
    // A self-contained copy in a new folder: every sample gathered into it,
    // paths stored relative to it. The project's own path, name and modified
    // flag stay.
    bool Export(const cGenString& folder);
    // Reads "Package.prj" (direction kRead) or writes it safely (kWrite)
    // with the instruments' sample paths passed through the relocator; the
    // version read, or 6.0 written, goes to version when given.
    bool Serialise(File::cFileSystem* fileSystem, const cGenString& path, int32_t direction,
                   cSampleRelocator* relocator, float* version);
    // Connects the project to the output, MIDI input and the screens.
    void Activate();
    // Disconnects it; an untouched new project's empty folder goes.
    void Deactivate();
    // Destroys every instrument and clears the song.
    void Unload();

    // The MIDI sink (audio thread): turns one message from a device slot into
    // an event and routes it to the instruments and the sequencer.
    void HandleMIDIMessage(const cMIDIMessage& message, int32_t source);
    void SendEventToAllSlots(const cAudioEvent& event);
    // Omni: to the main menu's selected slot; else to the event channel's slots.
    void RouteEvent(const cAudioEvent& event, bool omni);
    void PostEventToInstrument(const cAudioEvent& event, cInstrument* instrument);
    // The instrument properties page: releases the slot's live notes first.
    void SetMIDIInChannel(int32_t slot, int32_t channel);

    bool IsActive() const { return mActive != 0; }
    bool FolderHasSamples() const;

    const cGenString& GetPath() const { return mPath; }
    const cGenString& GetName() const { return mName; }
    const cGenString& GetErrorText() const { return mErrorText; }
    // What the last successful load left out (a bank that did not load);
    // empty when nothing.
    const cGenString& GetLoadWarning() const { return mLoadWarning; }
    cTrackMap& GetTrackMap() { return mTrackMap; }
    int32_t GetRestoreUIPage() const { return mRestoreUIPage; }
    int32_t GetRestoreInstrumentIndex() const { return mRestoreInstrumentIndex; }
    // Clamped to -11..11.
    void SetTranspose(int32_t semitones);
    int32_t GetTranspose() const { return mTranspose.load(std::memory_order_relaxed); }
    // Clamped to -36..36; a slot outside 0..15 changes nothing.
    void SetMIDIInTranspose(int32_t slot, int32_t semitones);
    int32_t GetMIDIInTranspose(int32_t slot) const;
    int32_t GetSaveVersion() const { return mSaveVersion; }
    bool IsModified() const { return mModified.load(); }
    void SetModified(bool modified) { mModified.store(modified); }
    std::atomic<bool>& GetModifiedFlag() { return mModified; }
    // The last event made from MIDI input and how many there have been: read
    // the counter, then the event.
    uint32_t GetMIDIEventCounter() const { return mMIDIEventCounter.load(std::memory_order_acquire); }
    cAudioEvent GetLastMIDIEvent() const { return mLastMIDIEvent; }

private:
    bool ReadFile(File::cFileSystem* fileSystem, const cGenString& path, cSampleRelocator* relocator,
                  float* version);
    bool WriteFile(File::cFileSystem* fileSystem, const cGenString& path, cSampleRelocator* relocator);
    bool Fail(const char* text, bool& ok);
    bool ImportSongFromMIDIFile(cSequencer& sequencer, cGenString& error);
    bool LoadSong(cSequencer& sequencer, File::cFileSystem& documents, int32_t mode);
    void LoadProjectData(int32_t mode, cSampleRelocator& relocator);
    void FinishInterruptedSave();
    File::cFileSystem* BeginWriting(const cGenString& folder);
    bool WriteSong(const cGenString& folder, bool autoSave, const char* failure, bool& ok);
    bool CopySample(File::cFileSystem& documents, const cGenString& from, const cGenString& to, bool& ok);
    // A save under a new name: the old folder's top-level WAV files (unless
    // the new folder lies inside it) and every sample the relocator moved.
    void CopyRelocatedSamples(const cGenString& folder, const cSampleRelocator& relocator, bool& ok);
    void ReadInstrument(Base::cSerialise& serialise, cSampleRelocator* relocator, int32_t& index);
    void WriteInstruments(Base::cSerialise& serialise, cSampleRelocator* relocator);
    void CreateDefaultInstruments(int32_t fresh);
    void AttachMixerToOutput(bool attach);
    void DeleteFolderWhenEmpty();
    void SetPath(const cGenString& path);

    cGenStringFixed<260> mPath;
    cTrackMap mTrackMap;
    int32_t mRestoreUIPage = 0;
    int32_t mRestoreInstrumentIndex = 0;
    cGenStringFixed<128> mName;
    cGenStringFixed<256> mErrorText;
    cGenStringFixed<256> mLoadWarning;
    std::atomic<int32_t> mTranspose{0};
    std::atomic<int32_t> mMIDIInTransposes[kSlotCount] = {};
    int32_t mSaveVersion = 0;
    uint8_t mActive = 0;
    std::atomic<bool> mModified{false};
    cAudioEvent mLastMIDIEvent;
    std::atomic<uint32_t> mMIDIEventCounter{0};
};
