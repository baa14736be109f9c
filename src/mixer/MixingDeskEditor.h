#pragma once

class cMixingDeskInstrument;
class cWidget;

// What the mixing-desk package needs of its page, which lives in a library
// above the engine and is installed by the application at start-up. Without
// one (engine tests, tools) the package has no page and shows nothing.
class cMixingDeskEditor
{
public:
    // The page the main window shows for slot 0.
    virtual cWidget* GetPage() = 0;
    // The package lets go of its editor with this, once.
    virtual void ReleaseEditor() = 0;

    // The desk instrument the page shows, or null to show none.
    virtual void ShowInstrument(cMixingDeskInstrument* instrument) = 0;
    virtual cMixingDeskInstrument* GetShownInstrument() const = 0;
    // The insert view goes back to the master. May run off the main thread
    // (a project load's job), so the page guards it itself.
    virtual void ResetSelection() = 0;

protected:
    virtual ~cMixingDeskEditor() = default;
};

// Makes the package's page as the package is built; null (the start) leaves
// the package without one.
using tMixingDeskEditorFactory = cMixingDeskEditor* (*)();
void SetMixingDeskEditorFactory(tMixingDeskEditorFactory factory);
