#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "base/GenString.h"
#include "base/IntrusiveList.h"

class cAudioModule;
class cChannelStrip;
class cDrawList;
class cInstrumentPackage;
class cSampleRelocator;
class cWidget;
struct cKeyStripView;
namespace Base
{
class cSerialise;
}

// One instance of an instrument package placed in an instrument slot: it owns
// its audio module and its mixer channel strips, saves itself into the
// project and answers the editors' questions about notes and presets. The
// base answers "not supported" wherever a package has nothing to offer.
class cInstrument : public Base::cIntrusiveListItem<cInstrument, 1>
{
public:
    // Preset kinds of the preset questions.
    enum : int32_t
    {
        kPresetSingle = 0,
        kPresetMulti = 1,
    };

    cInstrument();
    cInstrument(const cInstrument&) = delete;
    cInstrument& operator=(const cInstrument&) = delete;
    // Deletes the strips, then the module.
    virtual ~cInstrument();

    // Shows the instrument in its package's editor.
    virtual void Select() = 0;
    // "MixerChannels" with one "Channel%02d" per strip, "AM" (the module),
    // then "UI" with "Name". False when "UI" could not be opened. The
    // relocator (or null) turns sample paths into their stored form and back.
    virtual bool Serialise(Base::cSerialise& serialise, cSampleRelocator* relocator);
    virtual void AllNotesOff(uint32_t flags);
    // The piano roll's key strip for this instrument: the package's drawer,
    // when it has one.
    virtual void DrawKeyStrip(cDrawList& drawList, const cKeyStripView& view);
    virtual void GetNoteName(cGenString& name, int32_t note);
    // "C3-G4": the low note's name, "-", the high note's name.
    virtual void GetNoteRangeName(cGenString& name, int32_t low, int32_t high);
    // Null: the instrument has no presets.
    virtual cWidget* GetPresetWidget();
    virtual const char* GetPresetName(int32_t kind, int32_t presetId);
    virtual const char* GetCurrentPresetName();
    // Marks a preset in the package's export map.
    virtual void AddUsedPreset(int32_t presetId, int32_t kind);
    // The preset's id in the project once it has been exported.
    virtual int32_t MapPreset(int32_t presetId, int32_t kind);

    const char* GetName() const { return mName.CStr(); }
    void SetName(const char* name) { mName.AssignCStr(name); }
    cInstrumentPackage* GetPackage() const { return mPackage; }
    cAudioModule* GetModule() const { return mModule.get(); }
    int32_t GetSlot() const { return mSlot; }
    void SetSlot(int32_t slot) { mSlot = slot; }
    int32_t GetChannelCount() const { return static_cast<int32_t>(mChannels.size()); }
    cChannelStrip* GetChannel(int32_t index) const { return mChannels[index]; }
    bool IsTransposable() const { return mTransposable != 0; }
    bool HasMenuBackdrop() const { return mMenuBackdrop != 0; }

protected:
    // Both take ownership.
    void AddChannel(cChannelStrip* channel) { mChannels.push_back(channel); }
    void SetModule(cAudioModule* module);

    cGenStringFixed<32> mName;
    cInstrumentPackage* mPackage = nullptr;
    uint8_t mTransposable = 0; // live notes get the project's note offset
    uint8_t mMenuBackdrop = 1; // the main menu's backdrop may extend over the page

private:
    std::unique_ptr<cAudioModule> mModule;
    std::vector<cChannelStrip*> mChannels;
    int32_t mSlot = 0;
};
