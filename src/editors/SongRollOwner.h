#pragma once

class cEditGeometryBatch;
class cPatternInstance;

// What the song roll needs of the page that shows it: the vertex store it
// shares with the piano roll, and opening a part in the piano roll.
class cSongRollOwner
{
public:
    virtual ~cSongRollOwner() = default;

    virtual cEditGeometryBatch* GetEditGeometryBatch() = 0;
    virtual void EditPart(cPatternInstance* part) = 0;
};
