#pragma once

#include "render/DeviceTexture.h"

class cRenderer;

// A texture object of OpenGL 1.1 holding every level of a decoded image.
class cDeviceTextureGL : public cDeviceTexture
{
public:
    cDeviceTextureGL(cRenderer& renderer, const cPVRImage& image);
    ~cDeviceTextureGL() override;

    bool Upload(const cPVRImage& image) override;

    uint32_t GetName() const { return mName; }

private:
    bool UploadLevels(const cPVRImage& image, bool skipMissing);

    cRenderer& mRenderer;
    uint32_t mName = 0;
};

struct cGLTextureFormat
{
    int32_t internalFormat;
    uint32_t format;
};

cGLTextureFormat TextureFormatToGL(uint32_t pixelFormat);
