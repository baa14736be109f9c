#include "sampler/SampleEditAudition.h"

namespace
{
cSampleEditAudition* sAudition = nullptr;
} // namespace

void SetSampleEditAudition(cSampleEditAudition* audition) { sAudition = audition; }

cSampleEditAudition* GetSampleEditAudition() { return sAudition; }
