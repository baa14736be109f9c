#pragma once

#include <cstdint>

// The song roll's images in the colour atlas (tools/resgen draws them).
enum eSongRollSprite : int32_t
{
    kSongRollToolbarBackground = 152,
    kSongRollRuler = 153,
    kSongRollMuteIcon = 154,
    kSongRollSoloIcon = 155,
    kSongRollInputIcon = 156,
    kSongRollGroupMarker = 157,
    kSongRollLoopRegion = 158,
    kSongRollMoveHandle = 159,
    kSongRollResizeHandle = 160,
    kSongRollTrackMoveHandle = 161,
    kSongRollFollowIcon = 162,
    kSongRollScrollModeIcon = 163,
    kSongRollPanelIcon = 164,
    kRollToolsIcon = 165,
    kRollHistoryIcon = 166,
    kRollZoomIcon = 167,
    kRollSelectIcon = 168,
    kRollDrawIcon = 169,
    kRollDeleteIcon = 170,
    kRollCopyIcon = 171,
    kRollMoreIcon = 172,
    kRollEditIcon = 173,
};
