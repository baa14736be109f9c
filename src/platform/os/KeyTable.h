#pragma once

#include <cstdint>

// The program's key codes: printable keys are their upper-case character
// (32..126, 160..255); named keys use 257..325; -1 is no key code.
enum eKeyCode : int32_t
{
    kKeyNone = -1,
    kKeySpace = 32,
    kKeyEscape = 257,
    kKeyF1 = 258,
    kKeyUp = 283,
    kKeyDown = 284,
    kKeyLeft = 285,
    kKeyRight = 286,
    kKeyLeftShift = 287,
    kKeyRightShift = 288,
    kKeyLeftControl = 289,
    kKeyRightControl = 290,
    kKeyLeftAlt = 291,
    kKeyRightAlt = 292,
    kKeyTab = 293,
    kKeyEnter = 294,
    kKeyBackspace = 295,
    kKeyInsert = 296,
    kKeyDelete = 297,
    kKeyPageUp = 298,
    kKeyPageDown = 299,
    kKeyHome = 300,
    kKeyEnd = 301,
    kKeyPad0 = 302,
    kKeyPadDivide = 312,
    kKeyPadMultiply = 313,
    kKeyPadSubtract = 314,
    kKeyPadAdd = 315,
    kKeyPadDecimal = 316,
    kKeyPadEnter = 318,
    kKeyNumLock = 319,
    kKeyCapsLock = 320,
    kKeyScrollLock = 321,
    kKeyPause = 322,
    kKeyLeftSuper = 323,
    kKeyRightSuper = 324,
    kKeyMenu = 325,
    kKeyCodeCount = 326,
};

// The PC set-1 scan code of a window-system key (bits 0..7, bit 8 for the
// extended keys); 0 when the key has none. Other parts play notes and pads
// from these codes, so they are the same on every keyboard layout.
int32_t ScanCodeFromKey(int physicalKey);

// The program's key code of a window-system key; layoutKey is what the key
// types without modifiers in the current layout. Keypad keys are found by
// their position, whatever the state of Num Lock.
int32_t KeyCodeFromKey(int physicalKey, int32_t layoutKey);
