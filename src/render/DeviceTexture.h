#pragma once

#include <cstdint>

struct cPVRImage;

// The graphics-device side of a texture: what was uploaded from a decoded image.
class cDeviceTexture
{
public:
    explicit cDeviceTexture(const cPVRImage& image);
    virtual ~cDeviceTexture() = default;
    // Uploads every level of the image whose pixels are present.
    virtual bool Upload(const cPVRImage& image) = 0;

    bool IsUploaded() const { return !notUploaded; }

    uint32_t imageFlags;
    uint32_t pixelFormat;
    uint32_t width;
    uint32_t height;
    uint32_t bitsPerPixel;
    uint32_t surfaceCount;
    uint32_t levelCount;
    bool notUploaded = true;
};
