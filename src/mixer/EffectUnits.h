#pragma once

// Start-up: creates the effect registry when there is none and registers the
// five units in the chooser's order: compressor, three-band EQ, chorus/delay,
// waveshaper, reverb.
void RegisterEffectPackages();
// Shutdown: the registry and its packages go.
void DeleteEffectPackages();
