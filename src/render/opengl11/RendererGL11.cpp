#include "render/opengl11/RendererGL11.h"

#include "render/Texture.h"
#include "render/opengl11/DeviceTextureGL.h"

#include <GL/gl.h>
#include <cstring>

namespace
{
const GLenum kPrimitives[] = {GL_POINTS, GL_LINES, GL_LINE_STRIP, GL_TRIANGLES, GL_TRIANGLE_STRIP};
const GLenum kDepthFuncs[] = {0, GL_NEVER, GL_LESS, GL_EQUAL, GL_LEQUAL, GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
const GLenum kComponentTypes[] = {GL_UNSIGNED_BYTE, GL_SHORT, GL_FLOAT};

GLenum PrimitiveToGL(ePrimitive primitive)
{
    return primitive >= 0 && primitive <= kPrimitiveTriangleStrip ? kPrimitives[primitive] : GL_TRIANGLES;
}

cMatrix44 Multiply(const cMatrix44& a, const cMatrix44& b)
{
    cMatrix44 out;
    cMatrix44::Multiply(out, a, b);
    return out;
}

bool HasUsage(const cVertexFormat& format, uint32_t usage)
{
    for (uint32_t i = 0; i < format.elementCount; ++i)
        if (format.elements[i].usage == usage)
            return true;
    return false;
}

void EnableClientState(GLenum array, bool enable)
{
    if (enable)
        glEnableClientState(array);
    else
        glDisableClientState(array);
}

bool ListContainsWord(const char* list, const char* word)
{
    const size_t length = std::strlen(word);
    if (!list || length == 0)
        return false;
    for (const char* at = std::strstr(list, word); at; at = std::strstr(at + 1, word))
    {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == '\0' || at[length] == ' ';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}
} // namespace

bool DrainGLErrors()
{
    bool pending = false;
    // Bounded: a lost context can report errors forever.
    for (int i = 0; i < 64 && glGetError() != GL_NO_ERROR; ++i)
        pending = true;
    return pending;
}

cRenderer* CreateRendererGL11()
{
    return new cRendererGL11();
}

cRendererGL11::cRendererGL11() : mMatrixMode(GL_MODELVIEW)
{
    pixelConvention = 0;
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    ResetState();
    mModelView = modelStack.Top(); // the identity the reset pushed
    glLineWidth(displayScale);
    ready = true;
}

cRendererGL11::~cRendererGL11() = default;

cDeviceTexture* cRendererGL11::CreateDeviceTexture(const cPVRImage& image)
{
    return new cDeviceTextureGL(*this, image);
}

void cRendererGL11::Clear(uint32_t flags)
{
    GLbitfield mask = 0;
    if (flags & kClearColour)
        mask |= GL_COLOR_BUFFER_BIT;
    if (flags & kClearDepth)
        mask |= GL_DEPTH_BUFFER_BIT;
    if (flags & kClearStencil)
        mask |= GL_STENCIL_BUFFER_BIT;
    glClear(mask);
}

void cRendererGL11::Present() {}

void cRendererGL11::SetViewport(uint32_t x, uint32_t y, uint32_t width, uint32_t height)
{
    viewport[0] = float(x);
    viewport[1] = float(y);
    viewport[2] = float(width);
    viewport[3] = float(height);
    glViewport(GLint(viewport[0] * displayScale), GLint(viewport[1] * displayScale),
               GLsizei(viewport[2] * displayScale), GLsizei(viewport[3] * displayScale));
}

void cRendererGL11::DrawArrays(ePrimitive primitive, const cVertexFormat& format, const void* vertices,
                               uint32_t vertexCount)
{
    if (vertexCount == 0)
        return;
    ApplyVertexFormat(format, vertices);
    glDrawArrays(PrimitiveToGL(primitive), 0, GLsizei(vertexCount));
}

void cRendererGL11::DrawIndexed(ePrimitive primitive, const cVertexFormat& format, const void* vertices, uint32_t,
                                const uint16_t* indices, uint32_t indexCount)
{
    if (indexCount == 0)
        return;
    ApplyVertexFormat(format, vertices);
    glDrawElements(PrimitiveToGL(primitive), GLsizei(indexCount), GL_UNSIGNED_SHORT, indices);
}

void cRendererGL11::SetClearDepth(float depth)
{
    clearDepth = depth;
    glClearDepth(depth);
}

void cRendererGL11::SetClearColour(uint32_t value)
{
    clearColour = value;
    const float k = 1.0f / 255.0f;
    glClearColor(float(value & 0xff) * k, float((value >> 8) & 0xff) * k, float((value >> 16) & 0xff) * k,
                 float(value >> 24) * k);
}

void cRendererGL11::SetCullMode(eCullMode mode)
{
    cullMode = mode;
    if (mode == kCullNone)
    {
        glDisable(GL_CULL_FACE);
        return;
    }
    glEnable(GL_CULL_FACE);
    glCullFace(mode == kCullFront ? GL_FRONT : GL_BACK);
}

void cRendererGL11::SetDepthFunc(eDepthFunc func)
{
    depthFunc = func;
    if (func <= kDepthOff || func > kDepthAlways)
    {
        glDisable(GL_DEPTH_TEST);
        return;
    }
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(kDepthFuncs[func]);
}

void cRendererGL11::SetColour(uint32_t value)
{
    colour = value;
    glColor4ub(GLubyte(value), GLubyte(value >> 8), GLubyte(value >> 16), GLubyte(value >> 24));
}

void cRendererGL11::SetBlendMode(eBlendMode mode)
{
    blendMode = mode;
    if (mode == kBlendOff)
    {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    switch (mode)
    {
    case kBlendAlpha: glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); break;
    case kBlendMultiply: glBlendFunc(GL_DST_COLOR, GL_ZERO); break;
    case kBlendAdditiveAlpha: glBlendFunc(GL_SRC_ALPHA, GL_ONE); break;
    case kBlendSquare: glBlendFunc(GL_SRC_COLOR, GL_DST_COLOR); break;
    case kBlendCrossMultiply: glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR); break;
    default: break;
    }
}

void cRendererGL11::SelectMatrixMode(uint32_t mode)
{
    if (mMatrixMode == mode)
        return;
    mMatrixMode = mode;
    glMatrixMode(mode);
}

void cRendererGL11::SetProjectionMatrix(const cMatrix44& matrix)
{
    cMatrix44::MultiplyRotation(projection, matrix, screen.rotation);
    SelectMatrixMode(GL_PROJECTION);
    glLoadMatrixf(&projection.Row0.X);
}

void cRendererGL11::SetModelMatrix(const cMatrix44& matrix)
{
    mModelView = Multiply(viewStack.Top(), matrix);
    SelectMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&mModelView.Row0.X);
}

void cRendererGL11::SetViewMatrix(const cMatrix44& matrix)
{
    mModelView = Multiply(matrix, modelStack.Top());
    SelectMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&mModelView.Row0.X);
}

void cRendererGL11::SetScissor(const cClipRect& rect)
{
    glScissor(GLint(rect.x * displayScale + 0.5f), GLint(rect.y * displayScale + 0.5f),
              GLsizei(rect.width * displayScale + 0.5f), GLsizei(rect.height * displayScale + 0.5f));
    if (!scissorEnabled)
    {
        glEnable(GL_SCISSOR_TEST);
        scissorEnabled = true;
    }
}

void cRendererGL11::DisableScissor()
{
    if (!scissorEnabled)
        return;
    glDisable(GL_SCISSOR_TEST);
    scissorEnabled = false;
}

void cRendererGL11::BindTexture(int unit, cTexture* texture, eSampling sampling)
{
    StoreTexture(texture);
    const cDeviceTexture* device = texture ? texture->GetDeviceTexture() : nullptr;
    if (device && device->IsUploaded())
    {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, static_cast<const cDeviceTextureGL*>(device)->GetName());
    }
    else
    {
        glDisable(GL_TEXTURE_2D);
    }
    SetTextureSampling(unit, sampling);
}

void cRendererGL11::SetTextureSampling(int, eSampling sampling)
{
    sampling0 = sampling;
    switch (sampling & 0xf)
    {
    case 0:
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        break;
    case 1:
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        break;
    case 2:
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        break;
    default: break;
    }
    // Clamping stops at the edge texels: plain clamping would filter the
    // border colour into every sprite that touches the atlas edge.
    const int32_t wrapS = (sampling >> 4) & 0xf, wrapT = (sampling >> 8) & 0xf;
    if (wrapS <= 1)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapS ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    if (wrapT <= 1)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT ? GL_REPEAT : GL_CLAMP_TO_EDGE);
}

void cRendererGL11::ApplyVertexFormat(const cVertexFormat& format, const void* data)
{
    if (&format == mVertexFormat && data == mVertexData)
        return;
    const bool formatChanged = &format != mVertexFormat;
    mVertexFormat = &format;
    mVertexData = data;

    const auto* base = static_cast<const uint8_t*>(data);
    for (uint32_t i = 0; i < format.elementCount; ++i)
    {
        const cVertexElement& element = format.elements[i];
        const GLint count = GLint((element.components >> 8) & 0xff);
        const uint32_t typeIndex = element.components & 0xff;
        const GLenum type = typeIndex <= kVertexComponentFloat ? kComponentTypes[typeIndex] : GL_FLOAT;
        const void* pointer = base + element.offset;
        const GLsizei stride = GLsizei(format.stride);
        if (element.usage == kVertexUsagePosition)
            glVertexPointer(count, type, stride, pointer);
        else if (element.usage == kVertexUsageColour)
            glColorPointer(count, type, stride, pointer);
        else if (element.usage == kVertexUsageTexCoord)
            glTexCoordPointer(count, type, stride, pointer);
    }

    if (formatChanged)
    {
        EnableClientState(GL_VERTEX_ARRAY, HasUsage(format, kVertexUsagePosition));
        const bool hasColours = HasUsage(format, kVertexUsageColour);
        EnableClientState(GL_COLOR_ARRAY, hasColours);
        // A colour array leaves the current colour undefined; layouts without
        // colours draw with the cached constant colour again.
        if (!hasColours)
            glColor4ub(GLubyte(colour), GLubyte(colour >> 8), GLubyte(colour >> 16), GLubyte(colour >> 24));
        EnableClientState(GL_TEXTURE_COORD_ARRAY, HasUsage(format, kVertexUsageTexCoord));
    }
}

bool cRendererGL11::HasExtension(const char* name) const
{
    return ListContainsWord(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}
