#include "render/DeviceTexture.h"

#include "render/PVRImage.h"

cDeviceTexture::cDeviceTexture(const cPVRImage& image)
    : imageFlags(image.flags), pixelFormat(image.pixelFormat), width(image.width), height(image.height),
      bitsPerPixel(image.bitsPerPixel), surfaceCount(image.surfaceCount), levelCount(image.levelCount)
{
}
