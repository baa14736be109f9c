#pragma once

// Colour-atlas entries of the main screen, drawn by the content generator.
namespace MainScreenSprite
{
enum : int
{
    kStatusBarBackground = 361, // its height is the bar's height
    kStatusButtonLit = 362,
    kBack = 363,
    kMenu = 364,
    kStop = 365,
    kPlay = 366,
    kRecord = 367,
    kTempo = 368,
    kQuantize = 369,
    kClickAlways = 370,
    kClickWhileRecording = 371,
    kRecordingIndicator = 372,
    kErasingIndicator = 373,
    kScreenFrame = 374,
    kScreenFrameInner = 375,
    kLoop = 376,
    kScreenSecondIcon = 377,
    kMenuBackground = 378,
    kMenuBackgroundInner = 379,
    kSong = 380,
    kManage = 381,
    kGridRow0 = 382,
    kGridRow1 = 383,
    kGridCell = 384, // its height is the cell height
    kGridCellHighlight = 385,
    kGridLevelBar = 386,
    kKeyboardDone = 387,
    kClick = 388,
    kPropertiesDone = 324,
    kPropertiesCheck = 325, // behind a checked row of the type list
};
} // namespace MainScreenSprite
