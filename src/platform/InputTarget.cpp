#include "platform/InputTarget.h"

namespace
{
cInputTarget* sInputTarget = nullptr;
}

void SetInputTarget(cInputTarget* target) { sInputTarget = target; }

cInputTarget* GetInputTarget() { return sInputTarget; }
