#pragma once

class cEditGeometryBatch;

// What the piano roll needs of the page that shows it: the vertex store it
// shares with the song roll, and the way back to the song view.
class cPianoRollOwner
{
public:
    virtual ~cPianoRollOwner() = default;

    virtual cEditGeometryBatch* GetEditGeometryBatch() = 0;
    virtual void ShowSongView() = 0;
};
