#include "app/OrientationHandler.h"

#include "platform/DeviceServices.h"
#include "platform/GlobalSettingValues.h"

cOrientationHandler::cOrientationHandler(const cDelegate& callback) : cSingleton(this), mCallback(callback) {}

void cOrientationHandler::Update()
{
    int32_t kind = gSettings.currentOrientation;
    if (gSettings.lockOrientation == 0)
    {
        const cDeviceMotion* motion = cDeviceMotion::GetInstance();
        if (motion && motion->deviceOrientation != 0)
            kind = motion->deviceOrientation;
        gSettings.currentOrientation = kind;
    }
    if (kind == mKind)
        return;
    mKind = kind;
    if (cDeviceMotion* motion = cDeviceMotion::GetInstance())
        motion->currentOrientation = kind;
    if (kind >= kKindPortrait && kind < kKindCount)
        mCallback.Invoke(kind - 1);
}
