#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/GenString.h"
#include "base/IntrusiveList.h"

class cInstrument;
class cKeyStripDrawer;
class cMIDIControllerMap;
class cSampleRelocator;
class cWidget;

// One kind of instrument (the synthesizer, the mixing desk, the pad
// instrument): it creates and destroys its instruments, owns its editor, keeps
// its global data, takes part in project load and save, and describes its
// automatable controllers to the piano roll and to its MIDI controller map.
class cInstrumentPackage : public Base::cIntrusiveListItem<cInstrumentPackage, 1>
{
public:
    // An automatable controller offered as a piano-roll lane.
    struct cControllerParam
    {
        int32_t paramIndex;
        int32_t laneGroup;
        float minimum;
        float maximum;
        float scale;
        int32_t centred; // 1 when the neutral value is the middle (pitch bend, pan)
    };

    // A controller the package listens to until the user assigns another.
    struct cControllerAssignment
    {
        int32_t paramIndex;
        int32_t controller;
        int32_t flag;
    };

    cInstrumentPackage();
    cInstrumentPackage(const cInstrumentPackage&) = delete;
    cInstrumentPackage& operator=(const cInstrumentPackage&) = delete;
    virtual ~cInstrumentPackage();

    // Creates an instrument with its module and strips, linked into the package.
    virtual cInstrument* CreateInstrument(int32_t argument) = 0;
    // Unlinks and deletes an instrument of this package.
    virtual void DestroyInstrument(cInstrument* instrument) = 0;
    virtual bool IsSampleInUse(const cGenString& path) = 0;
    // The four steps of the preset export map a project save runs.
    virtual void ExportMapBegin();
    virtual void ExportMapCollect();
    virtual void ExportMapFinalize();
    virtual void ExportMapApply();
    // Reloads the package's global data into its instruments.
    virtual bool Reload() = 0;
    virtual bool LoadProjectData(const cGenString& folder, cSampleRelocator* relocator, int32_t mode,
                                 cGenString& errorText) = 0;
    virtual bool SaveProjectData(const cGenString& folder, cSampleRelocator* relocator, bool autoSave) = 0;

    // The name of a module parameter; null outside the names table.
    const char* GetControllerName(int32_t index) const;
    // Null outside the descriptor table.
    const cControllerParam* GetControllerParam(int32_t index) const;

    const char* GetName() const { return mName.CStr(); }
    // Colour-atlas entries of the package's icon in the instrument grid and
    // in lists of instrument types; -1 for none.
    int32_t GetGridIconSprite() const { return mGridIconSprite; }
    int32_t GetListIconSprite() const { return mListIconSprite; }
    cWidget* GetUserInterface() const { return mUserInterface; }
    cMIDIControllerMap* GetControllerMap() const { return mControllerMap.get(); }
    // The piano roll's key strip of the package's instruments; null when the
    // package shows no keyboard.
    cKeyStripDrawer* GetKeyStripDrawer() const { return mKeyStripDrawer.get(); }
    const Base::cIntrusiveList<cInstrument, 1>& GetInstruments() const { return mInstruments; }
    int32_t GetDrumLayout() const { return mDrumLayout; }
    float GetKeyRangeLow() const { return mKeyRangeLow; }
    float GetKeyRangeHigh() const { return mKeyRangeHigh; }
    float GetKeyStep() const { return mKeyStep; }
    int32_t GetControllerParamCount() const { return mControllerParamCount; }
    const cControllerAssignment* GetDefaultAssignments() const { return mDefaultAssignments; }
    int32_t GetDefaultAssignmentCount() const { return mDefaultAssignmentCount; }

protected:
    // The package's map, holding the default assignments where they differ
    // from what the map holds.
    void CreateControllerMap();
    // For packages that show a keyboard: the installed drawer, if any.
    void CreateKeyStripDrawer();
    // The package's constant tables, then its map from their defaults.
    template <size_t tNames, size_t tParams, size_t tDefaults>
    void SetControllerTables(const char* const (&names)[tNames], const cControllerParam (&params)[tParams],
                             const cControllerAssignment (&defaults)[tDefaults])
    {
        mControllerNames = names;
        mControllerNameCount = int32_t(tNames);
        mControllerParams = params;
        mControllerParamCount = int32_t(tParams);
        mDefaultAssignments = defaults;
        mDefaultAssignmentCount = int32_t(tDefaults);
        CreateControllerMap();
    }
    void AddInstrument(cInstrument* instrument);
    void RemoveInstrument(cInstrument* instrument);

    cGenStringFixed<32> mName;
    Base::cIntrusiveList<cInstrument, 1> mInstruments;
    cWidget* mUserInterface = nullptr;
    int32_t mGridIconSprite = -1;
    int32_t mListIconSprite = -1;
    // What the piano roll and its controller lanes read.
    int32_t mDrumLayout = 0;
    float mKeyRangeLow = 24.0f;
    float mKeyRangeHigh = 108.0f;
    float mKeyStep = 8.0f;
    const char* const* mControllerNames = nullptr;
    int32_t mControllerNameCount = 0;
    const cControllerParam* mControllerParams = nullptr;
    int32_t mControllerParamCount = 0;
    const cControllerAssignment* mDefaultAssignments = nullptr;
    int32_t mDefaultAssignmentCount = 0;

private:
    std::unique_ptr<cMIDIControllerMap> mControllerMap;
    std::unique_ptr<cKeyStripDrawer> mKeyStripDrawer;
};
