#pragma once

// The project a first start opens, "User/Projects/Demos/Rock On.prj" (the
// settings' default recent project): the default instruments playing the
// demo song, with factory presets and the "Default" pad kit, saved by the
// program's own project writer. Needs the "Doc" and "Tmp" mounts, with the
// factory banks and pad kits already written below "Doc". False when it
// could not be written whole.
bool WriteDemoProject();
