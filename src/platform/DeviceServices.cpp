#include "platform/DeviceServices.h"

void cEmailService::Send(const char*, const char*, const char*, const cDelegate& completion)
{
    mCompletion = completion;
    RepeatCompletion();
}

void cEmailService::RepeatCompletion() { mCompletion.Invoke(false, kNotImplemented); }
