#pragma once
#include <cstdint>

#include "base/GenString.h"
#include "sampler/SampleEditUndoHeader.h"

class cSample;
class cSampleEditModel;

namespace File
{
class cFile;
}

// One edit of the sample editor and what it takes to undo it. Before an edit
// changes the sample it saves the bytes it is about to destroy in its own
// undo file, "Sampler/<identity>Undo.tmp" on "Tmp"; its undo reads them back.
// A redo runs the edit again on the restored sample, on the region recorded
// at its first execution. Edits move frames inside the sample's buffer and
// shorten only the model's edited length, so undoing never allocates (except
// for a replaced sample).
//
// An edit whose undo data cannot be saved whole changes nothing, and an undo
// whose file is missing, foreign or not whole changes nothing: both report
// through the model's error text.
class cSampleEditCommand
{
public:
    // The History menu shows the names; the numbers are stored nowhere.
    enum eType : int32_t
    {
        kNone = 0,
        kDelete = 1,
        kTrim = 2,
        kNormalize = 3,
        kSilence = 4,
        kFadeIn = 5,
        kFadeOut = 6,
        kEffects = 7, // the whole sample replaced by a rendered file
    };
    enum eState : int32_t
    {
        kNew = 0,
        kDone = 1,
        kUndone = 2,
    };
    enum eFile : int32_t
    {
        kUndoFile = 0,
        // Reserved: nothing writes it, but releasing a command deletes it.
        kRedoFile = 1,
    };

    explicit cSampleEditCommand(cSampleEditModel* model);
    // Releases the command's files.
    ~cSampleEditCommand();
    cSampleEditCommand(const cSampleEditCommand&) = delete;
    cSampleEditCommand& operator=(const cSampleEditCommand&) = delete;

    // Types kDelete..kFadeOut; the fades and Silence take their gains.
    void SetType(eType type);
    // Makes the command replace the whole sample with the WAV file at the
    // native path. The command owns the file from now on: it moves it beside
    // itself under a name of its own and deletes it when it goes. False when
    // the file could not be moved.
    bool AdoptFile(const char* nativePath);
    // The edit, first or again. False when it was refused: nothing changed.
    bool Execute();
    // False when it was refused: nothing changed.
    bool Undo();
    const char* GetName() const;

    // The undo file opened for writing, its header written; null when it
    // cannot be. Closing the stream commits the file when every byte arrived.
    File::cFile* SaveUndo();
    // The undo file opened for reading, past its header, when the header is
    // this command's and the data after it exactly as long as it says; else null.
    File::cFile* LoadUndo();
    void DeleteFiles(eFile which);
    void FormatFileName(eFile which, cGenString& out) const;
    // Deletes the command's files and forgets its region and sample.
    void ReleaseFiles();

    eType GetType() const { return mType; }
    eState GetState() const { return mState; }
    uint32_t GetIdentity() const { return mIdentity; }
    cSample* GetSample() const { return mSample; }
    int32_t GetFrames() const { return mFrames; }
    int32_t GetRegionStart() const { return mRegionStart; }
    int32_t GetRegionEnd() const { return mRegionEnd; }
    int32_t GetRegionLength() const { return mRegionLength; }
    const cSampleEditUndoHeader& GetUndoHeader() const { return mUndoHeader; }
    const char* GetPath() const { return mPath.CStr(); }
    float GetGainStart() const { return mGainStart; }
    float GetGainEnd() const { return mGainEnd; }

private:
    void TakeRegion();
    void SetRegion(int32_t start, int32_t end);
    void RecordModel();

    // The do steps; each saves its undo data before it changes anything.
    bool DoDelete();
    bool DoTrim();
    bool DoNormalize();
    bool DoGainRamp();
    bool DoReplace();
    bool UndoDelete(File::cFile& file);
    bool UndoTrim(File::cFile& file);
    bool UndoInPlace(File::cFile& file);
    bool UndoReplace(File::cFile& file);

    // Fills the undo header for frames of the sample.
    void DescribeUndo(int32_t frames);
    // Writes the undo file from one or two pieces of the buffer; false,
    // leaving no file, when it could not be written whole.
    bool WriteUndo(const uint8_t* first, int64_t firstBytes, const uint8_t* second = nullptr, int64_t secondBytes = 0);
    // The byte address of a frame of the model's sample.
    uint8_t* FrameAt(int32_t frame) const;
    int32_t FrameBytes() const;
    int32_t BufferFrames() const;
    bool RefuseSave();
    bool RefuseLoad(File::cFile* file);

    eType mType = kNone;
    eState mState = kNew;
    cSampleEditModel* mModel;
    cSample* mSample = nullptr;
    int32_t mFrames = 0;
    int32_t mRegionStart = 0;
    int32_t mRegionEnd = 0;
    int32_t mRegionLength = 0;
    cGenString mPath;
    cSampleEditUndoHeader mUndoHeader;
    float mGainStart = 0.0f;
    float mGainEnd = 0.0f;
    // Unique in the run, so live commands never share a file name.
    uint32_t mIdentity;
};
