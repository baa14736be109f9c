#include "render/opengl11/DeviceTextureGL.h"

#include "render/PVRImage.h"
#include "render/Renderer.h"
#include "render/ScopedTextureBinding.h"
#include "render/opengl11/RendererGL11.h"

#include <GL/gl.h>

cGLTextureFormat TextureFormatToGL(uint32_t pixelFormat)
{
    switch (pixelFormat)
    {
    case kPixelFormatRGB8: return {GL_RGB8, GL_RGB};
    case kPixelFormatAlpha8: return {GL_ALPHA8, GL_ALPHA};
    case kPixelFormatLuminance8: return {GL_LUMINANCE8, GL_LUMINANCE};
    case kPixelFormatLuminanceAlpha8: return {GL_LUMINANCE8_ALPHA8, GL_LUMINANCE_ALPHA};
    default: return {GL_RGBA8, GL_RGBA};
    }
}

// A recorded frame may bind this texture's name: it is made before the name
// is created, filled or deleted.
cDeviceTextureGL::cDeviceTextureGL(cRenderer& renderer, const cPVRImage& image)
    : cDeviceTexture(image), mRenderer(renderer)
{
    static_cast<cRendererGL11&>(mRenderer).StopRecording();
    const cScopedTextureBinding restore(mRenderer);
    GLuint name = 0;
    glGenTextures(1, &name);
    mName = name;
    if (DrainGLErrors())
    {
        glDeleteTextures(1, &name);
        mName = 0;
        return;
    }
    if (UploadLevels(image, false))
    {
        notUploaded = false;
        return;
    }
    glDeleteTextures(1, &name);
    mName = 0;
}

cDeviceTextureGL::~cDeviceTextureGL()
{
    // Textures can outlive a renderer that is not the program's own (tests).
    if (gRenderer == &mRenderer)
        static_cast<cRendererGL11&>(mRenderer).StopRecording();
    if (mName != 0)
    {
        const GLuint name = mName;
        glDeleteTextures(1, &name);
    }
}

bool cDeviceTextureGL::Upload(const cPVRImage& image)
{
    static_cast<cRendererGL11&>(mRenderer).StopRecording();
    const cScopedTextureBinding restore(mRenderer);
    return UploadLevels(image, true);
}

bool cDeviceTextureGL::UploadLevels(const cPVRImage& image, bool skipMissing)
{
    if (DrainGLErrors())
        return false;
    glEnable(GL_TEXTURE_2D);
    if (DrainGLErrors())
        return false;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (DrainGLErrors())
        return false;

    const cGLTextureFormat gl = TextureFormatToGL(pixelFormat);
    for (uint32_t s = 0; s < surfaceCount; ++s)
    {
        if (mName == 0)
            return false;
        glBindTexture(GL_TEXTURE_2D, mName);
        if (DrainGLErrors())
            return false;
        mRenderer.SetTextureSampling(0, kSamplingLinearRepeat);

        const cPVRSurface& surface = image.surfaces[s];
        uint32_t w = width, h = height;
        for (uint32_t level = 0; level < surface.levelCount; ++level)
        {
            const void* pixels = surface.levels[level].pixels;
            if (pixels || !skipMissing)
            {
                glTexImage2D(GL_TEXTURE_2D, GLint(level), gl.internalFormat, GLsizei(w), GLsizei(h), 0, gl.format,
                             GL_UNSIGNED_BYTE, pixels);
                if (DrainGLErrors())
                    return false;
            }
            w = w > 1 ? w / 2 : 1;
            h = h > 1 ? h / 2 : 1;
        }
    }
    return true;
}
