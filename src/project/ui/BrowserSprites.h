#pragma once

// Colour-atlas entries of the file browser and the importer.
namespace BrowserSprite
{
enum : int
{
    kSelection = 225,
    kFolderIcon = 226,
    kInUseBadge = 227,
    kUpArrow = 228,
    kProjectIcon = 229,
    kArchiveIcon = 230,
    kChainIcon = 231,
    kMidiFileIcon = 232,
    kAudioFileIcon = 461,
};
} // namespace BrowserSprite
