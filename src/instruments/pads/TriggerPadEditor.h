#pragma once

class cDrawList;
class cTriggerPadInstrument;
class cWidget;
struct cKeyStripView;

// What the pad package needs of its screens, which live in a library above
// the engine and are installed by the application at start-up: the editor
// page that shows one instrument and holds its pads' touches, and the piano
// roll's key strip of pad rows. Without one (tests, tools) an instrument has
// no editor and draws no strip.
class cTriggerPadEditor
{
public:
    // The page the main window shows for the package.
    virtual cWidget* GetPage() = 0;
    // The package lets go of its editor with this, once.
    virtual void ReleaseEditor() = 0;

    // The instrument the editor shows, or null to show none.
    virtual void ShowInstrument(cTriggerPadInstrument* instrument) = 0;
    virtual cTriggerPadInstrument* GetShownInstrument() const = 0;
    // Ends every pad the user holds down (all notes off).
    virtual void CancelHeldPads() = 0;
    virtual void DrawKeyStrip(cDrawList& drawList, const cKeyStripView& view,
                              const cTriggerPadInstrument& instrument) = 0;

protected:
    virtual ~cTriggerPadEditor() = default;
};

// Makes each pad package's editor as the package is built; null (the
// start) leaves the packages without one.
using tTriggerPadEditorFactory = cTriggerPadEditor* (*)();
void SetTriggerPadEditorFactory(tTriggerPadEditorFactory factory);
tTriggerPadEditorFactory GetTriggerPadEditorFactory();
