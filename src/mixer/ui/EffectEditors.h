#pragma once

// Start-up, before the effect registry is made: the effect packages build
// their editors through this library. Units whose editor is not built yet
// keep none.
void InstallEffectEditorFactory();
