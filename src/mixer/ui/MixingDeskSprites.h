#pragma once

// Colour-atlas entries of the mixing desk, the chain editor and the effect
// chooser, drawn by the content generator.
namespace MixingDeskSprite
{
enum : int
{
    kOkIcon = 193, // the chooser's buttons
    kLoadIcon = 194,
    kSaveIcon = 195,
    kCheek = 198,       // nine-patch of the desk's side cheeks
    kStrip = 199,       // an input strip's background; its width sets the columns
    kFxNone = 200,      // a rack's state: no effect
    kFxOff = 201,       //   every effect switched off
    kFxOn = 202,        //   some effect on
    kMute = 203,        // mute and solo buttons, tinted by state
    kSolo = 204,
    kMasterStrip = 205, // the master's skin
    kFaderTrack = 206,
    kFaderThumb = 207,
    kFaderGlow = 208,
    kSlotButton = 209, // chain editor: a node's button, nine-patch
    kSlotButtonLit = 210,
    kConnector = 211,    // the arrow between two nodes
    kInsertMarker = 212, // where a dragged node lands
    kEmptySlot = 213,    // the icon of a slot without an effect
    kNodeStrip = 214,    // the node strip's background
    kHighlight = 215,    // chooser: the selected row
    kChainIcon = 216,    // chain files in the browser
    kNoneIcon = 217,     // the "None" row
};
} // namespace MixingDeskSprite
