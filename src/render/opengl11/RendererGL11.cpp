#include "render/opengl11/RendererGL11.h"

#include "render/Texture.h"
#include "render/opengl11/DeviceTextureGL.h"

#include <GL/gl.h>
#include <cstring>
#include <utility>

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

uint32_t FloatBits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
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

void cRendererGL11::Gl(cGLFrame::eCall call, std::initializer_list<uint32_t> words)
{
    if (mRecording)
        mFrame.Add(call, words);
    else
        cGLFrame::Make(call, words.begin());
}

void cRendererGL11::GlSetEnabled(uint32_t capability, bool enabled)
{
    Gl(enabled ? cGLFrame::kEnable : cGLFrame::kDisable, {capability});
}

void cRendererGL11::BeginFrame()
{
    mFrame.Clear();
    mRecording = true;
}

bool cRendererGL11::EndFrame(bool mustPresent)
{
    if (!mRecording)
    {
        // Stopped on the way (the frame was made as it went): it is shown, and
        // the next frame has nothing to be compared with.
        mShownFrame.Clear();
        return true;
    }
    mRecording = false;
    if (!mustPresent && !mShownFrame.IsEmpty() && mFrame == mShownFrame)
        return false;
    mFrame.Play(*this);
    mShownFrame.Swap(mFrame);
    return true;
}

void cRendererGL11::StopRecording()
{
    if (!mRecording)
        return;
    mRecording = false;
    mFrame.Play(*this);
    mFrame.Clear();
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
    Gl(cGLFrame::kClear, {mask});
}

void cRendererGL11::Present() {}

void cRendererGL11::SetViewport(uint32_t x, uint32_t y, uint32_t width, uint32_t height)
{
    viewport[0] = float(x);
    viewport[1] = float(y);
    viewport[2] = float(width);
    viewport[3] = float(height);
    Gl(cGLFrame::kViewport,
       {uint32_t(GLint(viewport[0] * displayScale)), uint32_t(GLint(viewport[1] * displayScale)),
        uint32_t(GLsizei(viewport[2] * displayScale)), uint32_t(GLsizei(viewport[3] * displayScale))});
}

void cRendererGL11::DrawArrays(ePrimitive primitive, const cVertexFormat& format, const void* vertices,
                               uint32_t vertexCount)
{
    if (vertexCount == 0)
        return;
    if (mRecording)
        mFrame.AddDraw(primitive, format, colour, vertices, vertexCount, nullptr, 0);
    else
        MakeDraw(primitive, format, colour, vertices, vertexCount, nullptr, 0);
}

void cRendererGL11::DrawIndexed(ePrimitive primitive, const cVertexFormat& format, const void* vertices,
                                uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount)
{
    if (indexCount == 0)
        return;
    if (mRecording)
        mFrame.AddDraw(primitive, format, colour, vertices, vertexCount, indices, indexCount);
    else
        MakeDraw(primitive, format, colour, vertices, vertexCount, indices, indexCount);
}

void cRendererGL11::MakeDraw(ePrimitive primitive, const cVertexFormat& format, uint32_t constantColour,
                             const void* vertices, uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount)
{
    ApplyVertexFormat(format, vertices, constantColour);
    if (indices)
        glDrawElements(PrimitiveToGL(primitive), GLsizei(indexCount), GL_UNSIGNED_SHORT, indices);
    else
        glDrawArrays(PrimitiveToGL(primitive), 0, GLsizei(vertexCount));
}

void cRendererGL11::SetClearDepth(float depth)
{
    clearDepth = depth;
    Gl(cGLFrame::kClearDepth, {FloatBits(depth)});
}

void cRendererGL11::SetClearColour(uint32_t value)
{
    clearColour = value;
    const float k = 1.0f / 255.0f;
    Gl(cGLFrame::kClearColour, {FloatBits(float(value & 0xff) * k), FloatBits(float((value >> 8) & 0xff) * k),
                                FloatBits(float((value >> 16) & 0xff) * k), FloatBits(float(value >> 24) * k)});
}

void cRendererGL11::SetCullMode(eCullMode mode)
{
    cullMode = mode;
    GlSetEnabled(GL_CULL_FACE, mode != kCullNone);
    if (mode != kCullNone)
        Gl(cGLFrame::kCullFace, {uint32_t(mode == kCullFront ? GL_FRONT : GL_BACK)});
}

void cRendererGL11::SetDepthFunc(eDepthFunc func)
{
    depthFunc = func;
    const bool test = func > kDepthOff && func <= kDepthAlways;
    GlSetEnabled(GL_DEPTH_TEST, test);
    if (test)
        Gl(cGLFrame::kDepthFunc, {kDepthFuncs[func]});
}

void cRendererGL11::SetColour(uint32_t value)
{
    colour = value;
    Gl(cGLFrame::kColour, {value});
}

void cRendererGL11::SetBlendMode(eBlendMode mode)
{
    blendMode = mode;
    GlSetEnabled(GL_BLEND, mode != kBlendOff);
    switch (mode)
    {
    case kBlendAlpha: Gl(cGLFrame::kBlendFunc, {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}); break;
    case kBlendMultiply: Gl(cGLFrame::kBlendFunc, {GL_DST_COLOR, GL_ZERO}); break;
    case kBlendAdditiveAlpha: Gl(cGLFrame::kBlendFunc, {GL_SRC_ALPHA, GL_ONE}); break;
    case kBlendSquare: Gl(cGLFrame::kBlendFunc, {GL_SRC_COLOR, GL_DST_COLOR}); break;
    case kBlendCrossMultiply: Gl(cGLFrame::kBlendFunc, {GL_DST_COLOR, GL_SRC_COLOR}); break;
    default: break;
    }
}

void cRendererGL11::SelectMatrixMode(uint32_t mode)
{
    if (mMatrixMode == mode)
        return;
    mMatrixMode = mode;
    Gl(cGLFrame::kMatrixMode, {mode});
}

void cRendererGL11::SetProjectionMatrix(const cMatrix44& matrix)
{
    cMatrix44::MultiplyRotation(projection, matrix, screen.rotation);
    SelectMatrixMode(GL_PROJECTION);
    LoadMatrix(projection);
}

void cRendererGL11::SetModelMatrix(const cMatrix44& matrix)
{
    mModelView = Multiply(viewStack.Top(), matrix);
    SelectMatrixMode(GL_MODELVIEW);
    LoadMatrix(mModelView);
}

void cRendererGL11::SetViewMatrix(const cMatrix44& matrix)
{
    mModelView = Multiply(matrix, modelStack.Top());
    SelectMatrixMode(GL_MODELVIEW);
    LoadMatrix(mModelView);
}

void cRendererGL11::LoadMatrix(const cMatrix44& matrix)
{
    if (mRecording)
        mFrame.AddMatrix(&matrix.Row0.X);
    else
        glLoadMatrixf(&matrix.Row0.X);
}

void cRendererGL11::SetScissor(const cClipRect& rect)
{
    Gl(cGLFrame::kScissor,
       {uint32_t(GLint(rect.x * displayScale + 0.5f)), uint32_t(GLint(rect.y * displayScale + 0.5f)),
        uint32_t(GLsizei(rect.width * displayScale + 0.5f)), uint32_t(GLsizei(rect.height * displayScale + 0.5f))});
    if (!scissorEnabled)
    {
        GlSetEnabled(GL_SCISSOR_TEST, true);
        scissorEnabled = true;
    }
}

void cRendererGL11::DisableScissor()
{
    if (!scissorEnabled)
        return;
    GlSetEnabled(GL_SCISSOR_TEST, false);
    scissorEnabled = false;
}

void cRendererGL11::BindTexture(int unit, cTexture* texture, eSampling sampling)
{
    StoreTexture(texture);
    const cDeviceTexture* device = texture ? texture->GetDeviceTexture() : nullptr;
    const bool bound = device && device->IsUploaded();
    GlSetEnabled(GL_TEXTURE_2D, bound);
    if (bound)
        Gl(cGLFrame::kBindTexture, {static_cast<const cDeviceTextureGL*>(device)->GetName()});
    SetTextureSampling(unit, sampling);
}

void cRendererGL11::SetTextureSampling(int, eSampling sampling)
{
    sampling0 = sampling;
    switch (sampling & 0xf)
    {
    case 0:
        Gl(cGLFrame::kTexParameter, {GL_TEXTURE_MAG_FILTER, GL_NEAREST});
        Gl(cGLFrame::kTexParameter, {GL_TEXTURE_MIN_FILTER, GL_NEAREST});
        break;
    case 1:
        Gl(cGLFrame::kTexParameter, {GL_TEXTURE_MAG_FILTER, GL_LINEAR});
        Gl(cGLFrame::kTexParameter, {GL_TEXTURE_MIN_FILTER, GL_LINEAR});
        break;
    case 2:
        Gl(cGLFrame::kTexParameter, {GL_TEXTURE_MAG_FILTER, GL_LINEAR});
        Gl(cGLFrame::kTexParameter, {GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR});
        break;
    default: break;
    }
    // Clamping stops at the edge texels: plain clamping would filter the
    // border colour into every sprite that touches the atlas edge.
    const int32_t wrapS = (sampling >> 4) & 0xf, wrapT = (sampling >> 8) & 0xf;
    if (wrapS <= 1)
        Gl(cGLFrame::kTexParameter, {GL_TEXTURE_WRAP_S, uint32_t(wrapS ? GL_REPEAT : GL_CLAMP_TO_EDGE)});
    if (wrapT <= 1)
        Gl(cGLFrame::kTexParameter, {GL_TEXTURE_WRAP_T, uint32_t(wrapT ? GL_REPEAT : GL_CLAMP_TO_EDGE)});
}

void cRendererGL11::ApplyVertexFormat(const cVertexFormat& format, const void* data, uint32_t constantColour)
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
            glColor4ub(GLubyte(constantColour), GLubyte(constantColour >> 8), GLubyte(constantColour >> 16),
                       GLubyte(constantColour >> 24));
        EnableClientState(GL_TEXTURE_COORD_ARRAY, HasUsage(format, kVertexUsageTexCoord));
    }
}

bool cRendererGL11::HasExtension(const char* name) const
{
    return ListContainsWord(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}
