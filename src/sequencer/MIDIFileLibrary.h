#pragma once

// The file library reports its warnings through its own log; they go to the
// program's debug trace instead of bare to standard error. Safe to call from
// any thread, any number of times.
void RouteMIDIFileLibraryWarnings();
