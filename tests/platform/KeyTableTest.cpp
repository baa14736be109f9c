#include <gtest/gtest.h>

#include <SDL_keycode.h>
#include <SDL_scancode.h>

#include "platform/os/KeyTable.h"

namespace
{
struct cKeyCase
{
    const char* name;
    int physicalKey;
    int32_t layoutKey;
    int32_t scanCode;
    int32_t keyCode;
};

TEST(KeyTableTest, TranslatesKeysToScanCodesAndKeyCodes)
{
    const cKeyCase cases[] = {
        // Printable keys: the layout's unshifted character, upper-cased.
        {"A", SDL_SCANCODE_A, 'a', 0x1E, 'A'},
        {"A on an AZERTY layout", SDL_SCANCODE_Q, 'a', 0x10, 'A'},
        {"1", SDL_SCANCODE_1, '1', 0x02, '1'},
        {"minus", SDL_SCANCODE_MINUS, '-', 0x0C, '-'},
        {"e acute", SDL_SCANCODE_2, 0xE9, 0x03, 0xC9},
        {"y diaeresis has no Latin-1 capital", SDL_SCANCODE_Y, 0xFF, 0x15, -1},
        {"Cyrillic letter", SDL_SCANCODE_A, 0x0444, 0x1E, -1},
        {"Print Screen has no code", SDL_SCANCODE_PRINTSCREEN, SDLK_PRINTSCREEN, 0x137, -1},
        // Named keys.
        {"Space", SDL_SCANCODE_SPACE, ' ', 0x39, 32},
        {"Escape", SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 0x01, 257},
        {"F1", SDL_SCANCODE_F1, SDLK_F1, 0x3B, 258},
        {"F12", SDL_SCANCODE_F12, SDLK_F12, 0x58, 269},
        {"F24", SDL_SCANCODE_F24, SDLK_F24, 0x76, 281},
        {"Up", SDL_SCANCODE_UP, SDLK_UP, 0x148, 283},
        {"Right", SDL_SCANCODE_RIGHT, SDLK_RIGHT, 0x14D, 286},
        {"left Shift", SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 0x2A, 287},
        {"right Shift", SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, 0x36, 288},
        {"left Control", SDL_SCANCODE_LCTRL, SDLK_LCTRL, 0x1D, 289},
        {"right Control", SDL_SCANCODE_RCTRL, SDLK_RCTRL, 0x11D, 290},
        {"left Alt", SDL_SCANCODE_LALT, SDLK_LALT, 0x38, 291},
        {"AltGr as right Alt", SDL_SCANCODE_RALT, SDLK_RALT, 0x138, 292},
        {"AltGr as its own key", SDL_SCANCODE_MODE, SDLK_MODE, 0x138, 292},
        {"Enter", SDL_SCANCODE_RETURN, SDLK_RETURN, 0x1C, 294},
        {"Backspace", SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 0x0E, 295},
        {"Delete", SDL_SCANCODE_DELETE, SDLK_DELETE, 0x153, 297},
        {"End", SDL_SCANCODE_END, SDLK_END, 0x14F, 301},
        {"Pause", SDL_SCANCODE_PAUSE, SDLK_PAUSE, 0x45, 322},
        {"Num Lock", SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, 0x145, 319},
        {"left Super key", SDL_SCANCODE_LGUI, SDLK_LGUI, 0x15B, 323},
        {"Menu", SDL_SCANCODE_APPLICATION, SDLK_APPLICATION, 0x15D, 325},
        // The keypad by position, whatever Num Lock makes it type.
        {"keypad 0", SDL_SCANCODE_KP_0, SDLK_KP_0, 0x52, 302},
        {"keypad 1 as End", SDL_SCANCODE_KP_1, SDLK_KP_1, 0x4F, 303},
        {"keypad 5 as Clear", SDL_SCANCODE_KP_5, SDLK_KP_5, 0x4C, 307},
        {"keypad 9", SDL_SCANCODE_KP_9, SDLK_KP_9, 0x49, 311},
        {"keypad divide", SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, 0x135, 312},
        {"keypad multiply", SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, 0x37, 313},
        {"keypad minus", SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, 0x4A, 314},
        {"keypad plus", SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, 0x4E, 315},
        {"keypad decimal as Delete", SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 0x53, 316},
        {"keypad Enter", SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0x11C, 318},
    };
    for (const cKeyCase& c : cases)
    {
        EXPECT_EQ(ScanCodeFromKey(c.physicalKey), c.scanCode) << c.name;
        EXPECT_EQ(KeyCodeFromKey(c.physicalKey, c.layoutKey), c.keyCode) << c.name;
    }
}

TEST(KeyTableTest, NeverProducesTheUnusedCodes)
{
    for (int key = 0; key < 512; ++key)
    {
        const int32_t layoutKeys[] = {0, 'a', '~', 0x7F, 0xA0, 0xE9, 0xFF, 0x444, SDL_SCANCODE_TO_KEYCODE(key)};
        for (int32_t layoutKey : layoutKeys)
        {
            const int32_t code = KeyCodeFromKey(key, layoutKey);
            EXPECT_TRUE(code == -1 || (code >= 32 && code <= 126) || (code >= 160 && code <= 255) ||
                        (code >= 257 && code <= 325 && code != 282 && code != 317))
                << "key " << key << " layout " << layoutKey << " gives " << code;
        }
    }
}
} // namespace
