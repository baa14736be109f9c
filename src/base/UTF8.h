#pragma once

#include <cstdint>

// UTF-8 as the program reads names and texts: a well-formed sequence is one
// character; overlong forms, surrogates, values beyond U+10FFFF and cut
// sequences are not.

// What a lead byte asks of the bytes after it: their count and the range of
// the first (the later ones lie in 0x80..0xBF); false for a byte that leads
// no sequence of continuation bytes (ASCII included).
struct cUTF8Lead
{
    int32_t trail;
    char32_t bits;
    unsigned char low;
    unsigned char high;
};
bool ReadUTF8Lead(unsigned char lead, cUTF8Lead* out);

// The length in bytes of the character at text, its code to code: 1 for a
// byte below 0x80, 2 to 4 for a well-formed sequence, 0 for a byte that
// starts none (the terminator ends every sequence).
int32_t ReadUTF8Character(const char* text, char32_t* code);

// True when every byte of the text belongs to a well-formed character.
bool IsValidUTF8(const char* text);

// The start of the character that ends at index (index > 0), as a forward
// reading from the text's start would find it: a byte that belongs to no
// well-formed sequence is a character of its own.
int32_t PreviousUTF8Character(const char* text, int32_t index);

// The bytes of the longest start of the text that ends on a character
// boundary within maxBytes: a cut there never splits a character. A byte
// that belongs to no well-formed sequence counts as a character of its own.
int32_t UTF8PrefixWithin(const char* text, int32_t maxBytes);
