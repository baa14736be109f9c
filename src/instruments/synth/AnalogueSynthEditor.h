#pragma once

class cAnalogueSynthInstrument;
class cAnalogueSynthPackage;
class cWidget;

// The synthesizer's editor as its package sees it. The editor is a widget
// tree in a library above the engine; the application installs its factory
// at start-up, before the packages are made. Without one (tests of the
// engine, tools) the package has no editor and selecting binds nothing.
class cAnalogueSynthEditor
{
public:
    // The instrument the editor edits; null unbinds and hides it.
    virtual void SetInstrument(cAnalogueSynthInstrument* instrument) = 0;
    virtual cAnalogueSynthInstrument* GetInstrument() const = 0;
    // Ends the notes the on-screen keyboards hold.
    virtual void CancelKeyboardInput() = 0;
    // The page the main window shows.
    virtual cWidget* GetPage() = 0;
    // The one part preset panel all synthesizer instruments lend the part
    // properties, with a new reference for the caller.
    virtual cWidget* GetPresetWidget() = 0;
    // Lets go of the editor: its widgets are reference counted.
    virtual void Destroy() = 0;

protected:
    virtual ~cAnalogueSynthEditor() = default;
};

using tAnalogueSynthEditorFactory = cAnalogueSynthEditor* (*)(cAnalogueSynthPackage* package);

void SetAnalogueSynthEditorFactory(tAnalogueSynthEditorFactory factory);
// A new editor for the package to own; null without a factory.
cAnalogueSynthEditor* NewAnalogueSynthEditor(cAnalogueSynthPackage* package);
