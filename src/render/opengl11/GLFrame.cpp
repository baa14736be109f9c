#include "render/opengl11/GLFrame.h"

#include "render/VertexFormat.h"
#include "render/opengl11/RendererGL11.h"

#include <GL/gl.h>
#include <cstring>

namespace
{
float AsFloat(uint32_t word)
{
    float value;
    std::memcpy(&value, &word, sizeof(value));
    return value;
}

uint32_t WordsFor(uint32_t bytes) { return (bytes + 3) / 4; }

// Each record: the call, its word count, then the words.
constexpr uint32_t kRecordHead = 2;
// A draw's words before its data: primitive, layout (two words), colour,
// vertex bytes, vertex count, index count.
constexpr uint32_t kDrawHead = 7;
} // namespace

void cGLFrame::Make(eCall call, const uint32_t* w)
{
    switch (call)
    {
    case kClear: glClear(w[0]); break;
    case kViewport: glViewport(GLint(w[0]), GLint(w[1]), GLsizei(w[2]), GLsizei(w[3])); break;
    case kClearDepth: glClearDepth(AsFloat(w[0])); break;
    case kClearColour: glClearColor(AsFloat(w[0]), AsFloat(w[1]), AsFloat(w[2]), AsFloat(w[3])); break;
    case kEnable: glEnable(w[0]); break;
    case kDisable: glDisable(w[0]); break;
    case kCullFace: glCullFace(w[0]); break;
    case kDepthFunc: glDepthFunc(w[0]); break;
    case kColour: glColor4ub(GLubyte(w[0]), GLubyte(w[0] >> 8), GLubyte(w[0] >> 16), GLubyte(w[0] >> 24)); break;
    case kBlendFunc: glBlendFunc(w[0], w[1]); break;
    case kMatrixMode: glMatrixMode(w[0]); break;
    case kLoadMatrix:
    {
        float matrix[16];
        std::memcpy(matrix, w, sizeof(matrix));
        glLoadMatrixf(matrix);
        break;
    }
    case kScissor: glScissor(GLint(w[0]), GLint(w[1]), GLsizei(w[2]), GLsizei(w[3])); break;
    case kBindTexture: glBindTexture(GL_TEXTURE_2D, w[0]); break;
    case kTexParameter: glTexParameteri(GL_TEXTURE_2D, w[0], GLint(w[1])); break;
    case kDraw: break; // only played from a frame
    }
}

void cGLFrame::Add(eCall call, std::initializer_list<uint32_t> words)
{
    mWords.push_back(call);
    mWords.push_back(uint32_t(words.size()));
    mWords.insert(mWords.end(), words.begin(), words.end());
}

void cGLFrame::AddMatrix(const float* matrix)
{
    mWords.push_back(kLoadMatrix);
    mWords.push_back(16);
    AddBytes(matrix, 16 * sizeof(float));
}

void cGLFrame::AddBytes(const void* bytes, uint32_t count)
{
    if (count == 0)
        return;
    const size_t at = mWords.size();
    mWords.resize(at + WordsFor(count), 0);
    std::memcpy(mWords.data() + at, bytes, count);
}

void cGLFrame::AddDraw(uint32_t primitive, const cVertexFormat& format, uint32_t colour, const void* vertices,
                       uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount)
{
    const uint32_t vertexBytes = vertexCount * format.stride;
    const uint32_t indexBytes = indexCount * uint32_t(sizeof(uint16_t));
    const auto layout = reinterpret_cast<uintptr_t>(&format);
    mWords.push_back(kDraw);
    mWords.push_back(kDrawHead + WordsFor(vertexBytes) + WordsFor(indexBytes));
    mWords.insert(mWords.end(), {primitive, uint32_t(layout), uint32_t(uint64_t(layout) >> 32), colour, vertexBytes,
                                 vertexCount, indexCount});
    AddBytes(vertices, vertexBytes);
    AddBytes(indices, indexBytes);
}

void cGLFrame::Play(cRendererGL11& renderer) const
{
    for (size_t at = 0; at + kRecordHead <= mWords.size();)
    {
        const auto call = eCall(mWords[at]);
        const uint32_t* w = mWords.data() + at + kRecordHead;
        if (call == kDraw)
        {
            const auto layout = uintptr_t(uint64_t(w[1]) | (uint64_t(w[2]) << 32));
            const uint32_t* vertices = w + kDrawHead;
            const auto* indices = reinterpret_cast<const uint16_t*>(vertices + WordsFor(w[4]));
            renderer.MakeDraw(ePrimitive(w[0]), *reinterpret_cast<const cVertexFormat*>(layout), w[3], vertices,
                              w[5], w[6] ? indices : nullptr, w[6]);
        }
        else
            Make(call, w);
        at += kRecordHead + mWords[at + 1];
    }
}
