#pragma once

// Atlas entries of the pad editor's skin, drawn by the content generator.
namespace TriggerPadSprite
{
// Colour atlas.
enum : int
{
    kEditorBackground = 248, // nine-patch behind the whole editor
    kPanelFrame = 249,       // nine-patch around the control panel
    kPadOutline = 250,       // nine-patch around each pad while the EDIT tab is on
    kPanelBackground = 251,  // nine-patch behind a panel's controls
    kBusPanelBackground = 252, // nine-patch behind an output panel; white art, tinted by bus
    kPad = 253,                // a pad; light art, tinted by bus
    kPadLitBus1 = 254,         // a hit pad's glow, one per bus
    kPadLitBus2 = 255,
    kPadLitBus3 = 256,
    kMuteIcon = 257,
    kPadButton = 258,
    kPadButtonLit = 259,
    kLamp = 260,
    kLampBackLeft = 261,  // a three-way selector's body with its lamps on the left
    kLampBackRight = 262, // the same with the lamps on the right
    kDirectionPanel = 263,
    kArrowForward = 264,
    kArrowReverse = 265,
    kArrowForwardReverse = 266,
    kArrowReverseForward = 267,
    kRecordImage = 268,
    kSeparator = 269,
    kConnectorBar = 270, // three-patch across
    kKnobBody = 271,
    kSpinUp = 272,
    kSpinDown = 273,
    kSpinBox = 274,
    kTabHome = 275,
    kTabEdit = 276,
    kTabAutoBeat = 277,
    kTabOutputs = 278,
    kMuteMode = 279,
};

// How the three-way selector's bodies are drawn: a lamp column of this
// width on one side of a pad button.
constexpr float kLampColumnWidth = 14.0f;
// The direction panel's arrows: forward ones this far above its centre,
// reverse ones below.
constexpr float kArrowOffset = 6.0f;

// Mono atlas: drawn with "TexturedMono", tinted.
constexpr int kMonoBankIcon = 2;
} // namespace TriggerPadSprite
