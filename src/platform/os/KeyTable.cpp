#include "platform/os/KeyTable.h"

#include <SDL_scancode.h>

namespace
{
struct cKeyEntry
{
    int physicalKey;
    int32_t scanCode;
    int32_t keyCode; // kKeyNone: the layout's character decides
};

constexpr int32_t kExtended = 0x100;

constexpr cKeyEntry kKeys[] = {
    {SDL_SCANCODE_A, 0x1E, kKeyNone}, {SDL_SCANCODE_B, 0x30, kKeyNone},
    {SDL_SCANCODE_C, 0x2E, kKeyNone}, {SDL_SCANCODE_D, 0x20, kKeyNone},
    {SDL_SCANCODE_E, 0x12, kKeyNone}, {SDL_SCANCODE_F, 0x21, kKeyNone},
    {SDL_SCANCODE_G, 0x22, kKeyNone}, {SDL_SCANCODE_H, 0x23, kKeyNone},
    {SDL_SCANCODE_I, 0x17, kKeyNone}, {SDL_SCANCODE_J, 0x24, kKeyNone},
    {SDL_SCANCODE_K, 0x25, kKeyNone}, {SDL_SCANCODE_L, 0x26, kKeyNone},
    {SDL_SCANCODE_M, 0x32, kKeyNone}, {SDL_SCANCODE_N, 0x31, kKeyNone},
    {SDL_SCANCODE_O, 0x18, kKeyNone}, {SDL_SCANCODE_P, 0x19, kKeyNone},
    {SDL_SCANCODE_Q, 0x10, kKeyNone}, {SDL_SCANCODE_R, 0x13, kKeyNone},
    {SDL_SCANCODE_S, 0x1F, kKeyNone}, {SDL_SCANCODE_T, 0x14, kKeyNone},
    {SDL_SCANCODE_U, 0x16, kKeyNone}, {SDL_SCANCODE_V, 0x2F, kKeyNone},
    {SDL_SCANCODE_W, 0x11, kKeyNone}, {SDL_SCANCODE_X, 0x2D, kKeyNone},
    {SDL_SCANCODE_Y, 0x15, kKeyNone}, {SDL_SCANCODE_Z, 0x2C, kKeyNone},
    {SDL_SCANCODE_1, 0x02, kKeyNone}, {SDL_SCANCODE_2, 0x03, kKeyNone},
    {SDL_SCANCODE_3, 0x04, kKeyNone}, {SDL_SCANCODE_4, 0x05, kKeyNone},
    {SDL_SCANCODE_5, 0x06, kKeyNone}, {SDL_SCANCODE_6, 0x07, kKeyNone},
    {SDL_SCANCODE_7, 0x08, kKeyNone}, {SDL_SCANCODE_8, 0x09, kKeyNone},
    {SDL_SCANCODE_9, 0x0A, kKeyNone}, {SDL_SCANCODE_0, 0x0B, kKeyNone},
    {SDL_SCANCODE_RETURN, 0x1C, kKeyEnter},
    {SDL_SCANCODE_ESCAPE, 0x01, kKeyEscape},
    {SDL_SCANCODE_BACKSPACE, 0x0E, kKeyBackspace},
    {SDL_SCANCODE_TAB, 0x0F, kKeyTab},
    {SDL_SCANCODE_SPACE, 0x39, kKeySpace},
    {SDL_SCANCODE_MINUS, 0x0C, kKeyNone}, {SDL_SCANCODE_EQUALS, 0x0D, kKeyNone},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A, kKeyNone}, {SDL_SCANCODE_RIGHTBRACKET, 0x1B, kKeyNone},
    {SDL_SCANCODE_BACKSLASH, 0x2B, kKeyNone}, {SDL_SCANCODE_NONUSHASH, 0x2B, kKeyNone},
    {SDL_SCANCODE_SEMICOLON, 0x27, kKeyNone}, {SDL_SCANCODE_APOSTROPHE, 0x28, kKeyNone},
    {SDL_SCANCODE_GRAVE, 0x29, kKeyNone}, {SDL_SCANCODE_COMMA, 0x33, kKeyNone},
    {SDL_SCANCODE_PERIOD, 0x34, kKeyNone}, {SDL_SCANCODE_SLASH, 0x35, kKeyNone},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56, kKeyNone},
    {SDL_SCANCODE_CAPSLOCK, 0x3A, kKeyCapsLock},
    {SDL_SCANCODE_F1, 0x3B, kKeyF1 + 0}, {SDL_SCANCODE_F2, 0x3C, kKeyF1 + 1},
    {SDL_SCANCODE_F3, 0x3D, kKeyF1 + 2}, {SDL_SCANCODE_F4, 0x3E, kKeyF1 + 3},
    {SDL_SCANCODE_F5, 0x3F, kKeyF1 + 4}, {SDL_SCANCODE_F6, 0x40, kKeyF1 + 5},
    {SDL_SCANCODE_F7, 0x41, kKeyF1 + 6}, {SDL_SCANCODE_F8, 0x42, kKeyF1 + 7},
    {SDL_SCANCODE_F9, 0x43, kKeyF1 + 8}, {SDL_SCANCODE_F10, 0x44, kKeyF1 + 9},
    {SDL_SCANCODE_F11, 0x57, kKeyF1 + 10}, {SDL_SCANCODE_F12, 0x58, kKeyF1 + 11},
    {SDL_SCANCODE_F13, 0x64, kKeyF1 + 12}, {SDL_SCANCODE_F14, 0x65, kKeyF1 + 13},
    {SDL_SCANCODE_F15, 0x66, kKeyF1 + 14}, {SDL_SCANCODE_F16, 0x67, kKeyF1 + 15},
    {SDL_SCANCODE_F17, 0x68, kKeyF1 + 16}, {SDL_SCANCODE_F18, 0x69, kKeyF1 + 17},
    {SDL_SCANCODE_F19, 0x6A, kKeyF1 + 18}, {SDL_SCANCODE_F20, 0x6B, kKeyF1 + 19},
    {SDL_SCANCODE_F21, 0x6C, kKeyF1 + 20}, {SDL_SCANCODE_F22, 0x6D, kKeyF1 + 21},
    {SDL_SCANCODE_F23, 0x6E, kKeyF1 + 22}, {SDL_SCANCODE_F24, 0x76, kKeyF1 + 23},
    {SDL_SCANCODE_PRINTSCREEN, kExtended | 0x37, kKeyNone},
    {SDL_SCANCODE_SCROLLLOCK, 0x46, kKeyScrollLock},
    {SDL_SCANCODE_PAUSE, 0x45, kKeyPause},
    {SDL_SCANCODE_INSERT, kExtended | 0x52, kKeyInsert},
    {SDL_SCANCODE_HOME, kExtended | 0x47, kKeyHome},
    {SDL_SCANCODE_PAGEUP, kExtended | 0x49, kKeyPageUp},
    {SDL_SCANCODE_DELETE, kExtended | 0x53, kKeyDelete},
    {SDL_SCANCODE_END, kExtended | 0x4F, kKeyEnd},
    {SDL_SCANCODE_PAGEDOWN, kExtended | 0x51, kKeyPageDown},
    {SDL_SCANCODE_RIGHT, kExtended | 0x4D, kKeyRight},
    {SDL_SCANCODE_LEFT, kExtended | 0x4B, kKeyLeft},
    {SDL_SCANCODE_DOWN, kExtended | 0x50, kKeyDown},
    {SDL_SCANCODE_UP, kExtended | 0x48, kKeyUp},
    {SDL_SCANCODE_NUMLOCKCLEAR, kExtended | 0x45, kKeyNumLock},
    {SDL_SCANCODE_KP_DIVIDE, kExtended | 0x35, kKeyPadDivide},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37, kKeyPadMultiply},
    {SDL_SCANCODE_KP_MINUS, 0x4A, kKeyPadSubtract},
    {SDL_SCANCODE_KP_PLUS, 0x4E, kKeyPadAdd},
    {SDL_SCANCODE_KP_ENTER, kExtended | 0x1C, kKeyPadEnter},
    {SDL_SCANCODE_KP_1, 0x4F, kKeyPad0 + 1}, {SDL_SCANCODE_KP_2, 0x50, kKeyPad0 + 2},
    {SDL_SCANCODE_KP_3, 0x51, kKeyPad0 + 3}, {SDL_SCANCODE_KP_4, 0x4B, kKeyPad0 + 4},
    {SDL_SCANCODE_KP_5, 0x4C, kKeyPad0 + 5}, {SDL_SCANCODE_KP_6, 0x4D, kKeyPad0 + 6},
    {SDL_SCANCODE_KP_7, 0x47, kKeyPad0 + 7}, {SDL_SCANCODE_KP_8, 0x48, kKeyPad0 + 8},
    {SDL_SCANCODE_KP_9, 0x49, kKeyPad0 + 9}, {SDL_SCANCODE_KP_0, 0x52, kKeyPad0},
    {SDL_SCANCODE_KP_PERIOD, 0x53, kKeyPadDecimal},
    {SDL_SCANCODE_KP_EQUALS, 0x59, kKeyNone},
    {SDL_SCANCODE_APPLICATION, kExtended | 0x5D, kKeyMenu},
    {SDL_SCANCODE_LCTRL, 0x1D, kKeyLeftControl},
    {SDL_SCANCODE_LSHIFT, 0x2A, kKeyLeftShift},
    {SDL_SCANCODE_LALT, 0x38, kKeyLeftAlt},
    {SDL_SCANCODE_LGUI, kExtended | 0x5B, kKeyLeftSuper},
    {SDL_SCANCODE_RCTRL, kExtended | 0x1D, kKeyRightControl},
    {SDL_SCANCODE_RSHIFT, 0x36, kKeyRightShift},
    {SDL_SCANCODE_RALT, kExtended | 0x38, kKeyRightAlt},
    {SDL_SCANCODE_RGUI, kExtended | 0x5C, kKeyRightSuper},
    // AltGr on layouts that report it as its own key.
    {SDL_SCANCODE_MODE, kExtended | 0x38, kKeyRightAlt},
};

const cKeyEntry* FindKey(int physicalKey)
{
    for (const cKeyEntry& entry : kKeys)
        if (entry.physicalKey == physicalKey)
            return &entry;
    return nullptr;
}

// The upper-case form of a character as one code point, within Latin-1.
int32_t UpperCaseLatin1(int32_t c)
{
    if (c >= 'a' && c <= 'z')
        return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 32;
    // Their upper-case forms lie outside Latin-1.
    if (c == 0xB5 || c == 0xFF)
        return kKeyNone;
    return c;
}

bool IsCharacterKeyCode(int32_t c) { return (c >= 32 && c <= 126) || (c >= 160 && c <= 255); }
} // namespace

int32_t ScanCodeFromKey(int physicalKey)
{
    const cKeyEntry* entry = FindKey(physicalKey);
    return entry ? entry->scanCode : 0;
}

int32_t KeyCodeFromKey(int physicalKey, int32_t layoutKey)
{
    const cKeyEntry* entry = FindKey(physicalKey);
    if (entry && entry->keyCode != kKeyNone)
        return entry->keyCode;
    const int32_t upper = UpperCaseLatin1(layoutKey);
    return IsCharacterKeyCode(upper) ? upper : kKeyNone;
}
