#pragma once

// Start-up: creates the effect registry when there is none and registers the
// five units in the chooser's order: compressor, three-band EQ, chorus/delay,
// waveshaper, reverb.
void RegisterEffectPackages();
// Appends the three units built whole but kept from users (one-band
// filter, analyser, test resampler) to the registry, creating it when
// there is none. Start-up never calls it: only tests and the rack fuzz
// target reach these units.
void RegisterHiddenEffectPackages();
// Shutdown: the registry and its packages go.
void DeleteEffectPackages();
