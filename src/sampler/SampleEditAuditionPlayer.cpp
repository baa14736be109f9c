#include "sampler/SampleEditAuditionPlayer.h"

#include "mixer/AuditionPlayer.h"
#include "sampler/SampleEditAudition.h"

namespace
{
class cAuditionPlayerLink : public cSampleEditAudition
{
public:
    bool IsActive() const override { return player && player->IsActive(); }
    int32_t GetPlayPosition() const override { return player ? player->GetPosition() : 0; }
    void SetPlayRange(int32_t start, int32_t end) override
    {
        if (player)
            player->SetPlayRange(start, end);
    }
    void SetPlayPosition(int32_t frame) override
    {
        if (player)
            player->SetPlayPosition(frame);
    }

    cAuditionPlayer* player = nullptr;
};

cAuditionPlayerLink sLink;
} // namespace

void SetSampleEditAuditionPlayer(cAuditionPlayer* player)
{
    sLink.player = player;
    SetSampleEditAudition(player ? &sLink : nullptr);
}
