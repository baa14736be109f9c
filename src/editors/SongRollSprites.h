#pragma once

#include <cstdint>

// The song roll's images in the colour atlas (tools/resgen draws them).
enum eSongRollSprite : int32_t
{
    kSongRollToolbarBackground = 288,
    kSongRollRuler = 289,
    kSongRollMuteIcon = 290,
    kSongRollSoloIcon = 291,
    kSongRollInputIcon = 292,
    kSongRollGroupMarker = 293,
    kSongRollLoopRegion = 294,
    kSongRollMoveHandle = 295,
    kSongRollResizeHandle = 296,
    kSongRollTrackMoveHandle = 297,
    kSongRollFollowIcon = 298,
    kSongRollScrollModeIcon = 299,
    kSongRollPanelIcon = 300,
    kRollToolsIcon = 301,
    kRollHistoryIcon = 302,
    kRollZoomIcon = 303,
    kRollSelectIcon = 304,
    kRollDrawIcon = 305,
    kRollDeleteIcon = 306,
    kRollCopyIcon = 307,
    kRollMoreIcon = 313,
    kRollEditIcon = 314,
};
