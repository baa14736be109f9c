#pragma once
#include <cstdint>

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"

// Colour-atlas entries of the synthesizer editor's skin.
enum eSynthSprite : int32_t
{
    kSynthSpinDownPressedDrawn = 88,
    kSynthSpinDownPressed = 89,
    kSynthSpinDownDrawn = 90,
    kSynthSpinDown = 91,
    kSynthSpinUpPressedDrawn = 92,
    kSynthSpinUpPressed = 93,
    kSynthSpinUpDrawn = 94,
    kSynthSpinUp = 95,
    kSynthPushDrawn = 96,
    kSynthPush = 97,
    kSynthPushLitDrawn = 98,
    kSynthPushLit = 99,
    kSynthLampLitBDrawn = 100,
    kSynthLampLitADrawn = 101,
    kSynthLampLitA = 102,
    kSynthLampLitB = 103,
    kSynthLampDrawn = 104,
    kSynthLamp = 105,
    kSynthLeftCheekLowerEdge = 107,
    kSynthSampleIcon = 110,
    kSynthLeftCheekUpperEdge = 108,
    kSynthCheekWidth = 109,
    kSynthRightCheekLowerEdge = 111,
    kSynthRightCheekUpperEdge = 112,
    kSynthStripBox = 113,
    kSynthEnvelopeFrame = 114,
    kSynthEnvelopeGraphArea = 115,
    kSynthEnvelopeFrameInner = 116,
    kSynthScaleToggleOff = 117,
    kSynthScaleToggleOn = 118,
    kSynthScrollToggleOff = 119,
    kSynthScrollToggleOn = 120,
    kSynthLeftCheekCentre = 121,
    kSynthKnobDrawn = 122,
    kSynthKnobPointer = 123,
    kSynthKnobTick = 124,
    kSynthKnob = 125,
    kSynthLEDUnlit = 126,
    kSynthLEDLit = 127,
    kSynthListFrame = 128,
    kSynthUpperShading = 129,
    kSynthLowerShading = 130,
    kSynthListFrameInner = 131,
    kSynthOsc1Badge = 132,
    kSynthOsc2Badge = 133,
    kSynthRightCheekCentre = 135,
    kSynthCheekDownArrow = 136,
    kSynthCheekUpArrow = 137,
    kSynthPanelBackground = 138,
    kSynthOscStripBackground = 139,
    kSynthPageBackground = 140,
    kSynthValueBoxDrawn = 146,
    kSynthValueBox = 147,
    kSynthValueTextArea = 148,
    kSynthKnobGlow = 223,
    kSynthKnobGlowReference = 224,
    kSynthListHighlight = 225,
    kSynthLoopFrame = 389,
    kSynthLoopMark0 = 390,
    kSynthLoopMark2 = 391,
    kSynthLoopMark1 = 392,
    kSynthLoopMark3 = 393,
    kSynthLoopIcon0Drawn = 394,
    kSynthLoopIcon2Drawn = 395,
    kSynthLoopIcon2 = 396,
    kSynthLoopIcon0 = 397,
    kSynthLoopIcon1Drawn = 398,
    kSynthLoopIcon3Drawn = 399,
    kSynthLoopIcon3 = 400,
    kSynthLoopIcon1 = 401,
    kSynthLine = 454,
};

inline const cAtlasSprite* SynthSprite(int32_t index) { return &gTex8888AtlasTable[index]; }

// The skin's named colours, red in the lowest byte.
namespace SynthColour
{
constexpr uint32_t kDarkRed = 0xff000073u;
constexpr uint32_t kGrey = 0xffc8c8c8u;
constexpr uint32_t kCyan = 0xffceb800u;
constexpr uint32_t kTeal = 0xff8e7f00u;
constexpr uint32_t kValueRed = 0xc83232ffu;
constexpr uint32_t kWhite = 0xffffffffu;
} // namespace SynthColour
