#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/Font.h"
#include "render/VertexLayouts.h"
#include "support/TestFont.h"
#include "ui/ControlRecorder.h"
#include "ui/WidgetFixture.h"

// What the control tests read back from a captured frame: the quads drawn
// (skins, fills) and the texts, decoded from the test font's glyphs, whose
// u0 is the character code and whose width is the advance of every
// character, spaces included.
struct cDrawnQuad
{
    cRect rect;
    uint32_t colour;
    float u0, v0, u1, v1;
};

struct cDrawnText
{
    std::string text;
    float x, y; // top-left of the first glyph
    uint32_t colour;
};

// The widget fixture with the test font registered (every glyph advances
// half its size: 5 pixels at size 10, 6 at 12) and the colour atlas tables,
// so controls lay out and draw as they do in the program.
class ControlFixture : public WidgetFixture
{
protected:
    ControlFixture()
    {
        fonts = new cFontRegistry();
        fonts->Add(MakeTestFont());
    }
    ~ControlFixture() override
    {
        // The widgets go before the font their handles name.
        manager.reset();
        delete fonts;
    }

    static const cAtlasSprite& Sprite(int index) { return gTex8888AtlasTable[index]; }

    // Puts a widget on the root at a rect and leaves it to the root.
    template <class T>
    T* Place(T* widget, const cRect& rect)
    {
        widget->SetAnchors(kAnchorsAbsoluteRect, rect.xMin, rect.yMin, rect.xMax - rect.xMin, rect.yMax - rect.yMin);
        root->AddChild(widget);
        widget->Release();
        return widget;
    }

    static bool IsGlyph(const cVertexXYZColourTex1& v) { return v.u >= 32.0f; }

    std::vector<cDrawnQuad> Quads() const
    {
        std::vector<cDrawnQuad> quads;
        ForEachQuad([&](const cVertexXYZColourTex1* v)
                    {
                        if (!IsGlyph(v[0]))
                            quads.push_back(ToQuad(v));
                    });
        return quads;
    }

    // Runs of glyphs on one line in one colour, in drawing order.
    std::vector<cDrawnText> Texts() const
    {
        std::vector<cDrawnText> texts;
        float penEnd = 0.0f;
        ForEachQuad([&](const cVertexXYZColourTex1* v)
                    {
                        if (!IsGlyph(v[0]))
                            return;
                        const cDrawnQuad glyph = ToQuad(v);
                        // Spaces draw nothing but advance as far as a glyph is wide.
                        const float advance = glyph.rect.xMax - glyph.rect.xMin;
                        const float spaces = (glyph.rect.xMin - penEnd) / advance;
                        const bool continues = !texts.empty() && texts.back().colour == glyph.colour &&
                                               texts.back().y == glyph.rect.yMin && spaces > -0.01f &&
                                               spaces < 3.5f && std::fabs(spaces - std::round(spaces)) < 0.01f;
                        if (!continues)
                            texts.push_back({"", glyph.rect.xMin, glyph.rect.yMin, glyph.colour});
                        else
                            texts.back().text.append(size_t(std::round(spaces)), ' ');
                        texts.back().text += char(int(glyph.u0));
                        penEnd = glyph.rect.xMax;
                    });
        return texts;
    }

    std::optional<cDrawnText> FindText(const std::string& text) const
    {
        for (const cDrawnText& drawn : Texts())
            if (drawn.text == text)
                return drawn;
        return std::nullopt;
    }

    // The quads showing an atlas sprite, in drawing order.
    std::vector<cDrawnQuad> QuadsOf(int sprite) const
    {
        const cAtlasSprite& s = Sprite(sprite);
        std::vector<cDrawnQuad> result;
        for (const cDrawnQuad& quad : Quads())
            if (quad.u0 == s.u0 && quad.v0 == s.v0 && quad.u1 == s.u1 && quad.v1 == s.v1)
                result.push_back(quad);
        return result;
    }

    // The quads showing any part of an atlas sprite (the pieces of a patch).
    std::vector<cDrawnQuad> QuadsInside(int sprite) const
    {
        const cAtlasSprite& s = Sprite(sprite);
        std::vector<cDrawnQuad> result;
        for (const cDrawnQuad& quad : Quads())
            if (quad.u0 >= s.u0 && quad.v0 >= s.v0 && quad.u1 <= s.u1 && quad.v1 <= s.v1)
                result.push_back(quad);
        return result;
    }

    cFontRegistry* fonts = nullptr;
    // Outlives the widgets, which may still report as they are cancelled.
    cControlRecorder recorder;

private:
    template <class F>
    void ForEachQuad(F&& visit) const
    {
        for (const cCaptureRenderer::cDraw& draw : renderer.draws)
        {
            if (draw.layout != cVertexXYZColourTex1::kFormat.name)
                continue;
            for (size_t i = 0; i + 3 < draw.vertexCount; i += 4)
                visit(&draw.Vertex<cVertexXYZColourTex1>(i));
        }
    }

    static cDrawnQuad ToQuad(const cVertexXYZColourTex1* v)
    {
        cDrawnQuad quad = {{v[0].x, v[0].y, v[0].x, v[0].y}, v[0].colour, v[0].u, v[0].v, v[0].u, v[0].v};
        for (int i = 1; i < 4; ++i)
        {
            quad.rect = {std::fmin(quad.rect.xMin, v[i].x), std::fmin(quad.rect.yMin, v[i].y),
                         std::fmax(quad.rect.xMax, v[i].x), std::fmax(quad.rect.yMax, v[i].y)};
            quad.u0 = std::fmin(quad.u0, v[i].u);
            quad.v0 = std::fmin(quad.v0, v[i].v);
            quad.u1 = std::fmax(quad.u1, v[i].u);
            quad.v1 = std::fmax(quad.v1, v[i].v);
        }
        return quad;
    }
};
