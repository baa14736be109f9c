#pragma once

#include <cstdint>

class cDelegate;

// The settings files of the "Doc" mount ("GlobalSettings.dat",
// "MIDISettings.dat", "AuditionSettings.dat"): XML documents whose values a
// body delegate reads or writes, called with the serialiser
// (Base::cSerialise&) once the "Root" element is open.

enum class eSettingsRead : int32_t
{
    kFile,     // the file was read
    kBackup,   // the file was damaged; its ".bak" generation was read
    kNoFile,   // there is no file yet: the values stay
    kDamaged,  // neither the file nor its backup could be read: the values stay
    kNoMount,  // there is no "Doc" mount
};

// A file that exists but cannot be read (empty, cut short, not XML, no
// "Root") is never taken for a missing one: its ".bak" generation is read
// instead, and standard error names the file, the reason and what was used.
// The damaged file itself is left as it is.
eSettingsRead ReadSettingsFile(const char* name, float version, const cDelegate& body);

// Writes through safe writing: the previous file becomes the ".bak"
// generation. A failure leaves the file as it was and is reported on
// standard error with the reason.
bool WriteSettingsFile(const char* name, float version, const cDelegate& body);

// "SETTINGS DAMAGED - Using backup" or "... - Using defaults" after a damaged
// settings file was read (defaults outrank backup), for the status bar to
// show once; null when there is nothing to tell. Clears the notice.
const char* TakeSettingsDamageNotice();
