#pragma once

class cAuditionPlayer;

// Lets the sample editor keep the preview player on its selection; the
// application installs the player at start-up and removes it (null) before
// deleting it.
void SetSampleEditAuditionPlayer(cAuditionPlayer* player);
