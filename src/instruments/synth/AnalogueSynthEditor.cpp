#include "instruments/synth/AnalogueSynthEditor.h"

namespace
{
tAnalogueSynthEditorFactory gFactory = nullptr;
} // namespace

void SetAnalogueSynthEditorFactory(tAnalogueSynthEditorFactory factory) { gFactory = factory; }

cAnalogueSynthEditor* NewAnalogueSynthEditor(cAnalogueSynthPackage* package)
{
    return gFactory ? gFactory(package) : nullptr;
}
