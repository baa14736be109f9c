#pragma once
#include <string>

// A device name made plain ASCII, so that names from any driver compare and
// display alike: each UTF-16 code unit of the UTF-8 text up to 0x7E is kept,
// accented Latin-1 letters lose their accents ("e" for e-acute, "ss" for
// sharp s), a few others are spelled out ("AE", "OE") and everything else,
// including every byte that is not valid UTF-8, becomes "!".
std::string FoldToASCII(const std::string& text);
