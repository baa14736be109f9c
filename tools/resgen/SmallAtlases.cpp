#include "SmallAtlases.h"

#include "HouseStyle.h"

#include <cmath>
#include <string>

using namespace HouseStyle;

namespace
{
void AddSolidFill(cAtlasLayout& layout, int index)
{
    cArtGroup group;
    group.width = group.height = 1;
    group.pinnedAtOrigin = true;
    group.entries.push_back({index, "Solid fill: the white texel at the atlas origin", "tinted with any colour", {0, 0, 1, 1}});
    group.paint = [](cCanvas& canvas, const cPlace& place)
    {
        for (int y = 0; y < place.scale; ++y)
            for (int x = 0; x < place.scale; ++x)
                canvas.SetPixel(place.x + x, place.y + y, kWhite);
    };
    layout.Add(std::move(group));
}

void AddSingle(cAtlasLayout& layout, int index, int width, int height, const std::string& role, const char* drawing,
               std::function<void(cCanvas&, const cRectF&)> art)
{
    cArtGroup group;
    group.width = width;
    group.height = height;
    const cRectI rect{0, 0, width, height};
    group.entries.push_back({index, role, drawing, rect});
    group.paint = [rect, art](cCanvas& canvas, const cPlace& place) { art(canvas, Map(place, rect)); };
    layout.Add(std::move(group));
}

void AddPlaceholders(cAtlasLayout& layout, const std::vector<int>& indices)
{
    cArtGroup group;
    group.width = group.height = 4;
    for (int index : indices)
        group.entries.push_back({index, "Unused index", "neutral placeholder", {0, 0, 4, 4}});
    group.paint = [](cCanvas& canvas, const cPlace& place) { DrawPlaceholder(canvas, Map(place, {0, 0, 4, 4})); };
    layout.Add(std::move(group));
}

// A line cross-section: n opaque rows between two transparent ones, uniform along x.
void AddLineSprite(cAtlasLayout& layout, int index, int lineWidth, const char* picker)
{
    const int side = lineWidth + 2;
    AddSingle(layout, index, side, side, std::string("Line cross-section, width ") + std::to_string(lineWidth) + picker, "thick-line cross-section: middle column sampled along v",
              [](cCanvas& canvas, const cRectF& r) { canvas.FillRect(r.x0, r.y0 + 1, r.x1, r.y1 - 1, kWhite); });
}
}

void BuildMonoAtlas(bool tablet, cAtlasLayout& layout)
{
    AddSolidFill(layout, 5);
    const float k = tablet ? 1.375f : 1.0f;
    const int logoW = int(std::lround(96 * k)), logoH = int(std::lround(32 * k));
    AddSingle(layout, 1, logoW, logoH, "Synthesizer logo", "natural size; tinted alpha mask",
              [](cCanvas& canvas, const cRectF& r)
              {
                  // A framed waveform: a sine that turns into a saw.
                  canvas.StrokeRoundRect(r.x0, r.y0, r.x1, r.y1, r.Height() * 0.25f, 2.0f, kWhite);
                  const int steps = 48;
                  float px = 0, py = 0;
                  for (int i = 0; i <= steps; ++i)
                  {
                      const float t = float(i) / steps;
                      const float x = r.x0 + r.Width() * (0.12f + 0.76f * t);
                      const float phase = t * 2.0f;
                      const float wave = t < 0.5f ? std::sin(phase * 2.0f * 3.14159265f)
                                                  : 1.0f - 2.0f * (phase - std::floor(phase));
                      const float y = r.CentreY() - wave * r.Height() * 0.28f;
                      if (i > 0)
                          canvas.FillLine(px, py, x, y, 2.0f, kWhite);
                      px = x, py = y;
                  }
              });
    const int bank = int(std::lround(24 * k));
    AddSingle(layout, 2, bank, bank, "Pad bank icon", "natural size; tinted alpha mask",
              [](cCanvas& canvas, const cRectF& r)
              {
                  const float cell = r.Width() / 4.0f;
                  for (int y = 0; y < 4; ++y)
                      for (int x = 0; x < 4; ++x)
                          canvas.FillRoundRect(r.x0 + x * cell + 1, r.y0 + y * cell + 1, r.x0 + (x + 1) * cell - 1,
                                               r.y0 + (y + 1) * cell - 1, 1.0f, kWhite);
              });
    AddPlaceholders(layout, {0, 3, 4});
}

void BuildFillAtlas(cAtlasLayout& layout)
{
    AddSolidFill(layout, 29);
    // Widths 10..16 at entries 0..6, width 1 at 7, widths 2..9 at 9..16, and
    // the widest line (20) at 8.
    for (int width = 10; width <= 16; ++width)
        AddLineSprite(layout, width - 10, width, "");
    AddLineSprite(layout, 7, 1, "");
    AddLineSprite(layout, 8, 20, ", for every width above 16");
    for (int width = 2; width <= 9; ++width)
        AddLineSprite(layout, width + 7, width, "");
    AddLineSprite(layout, 17, 10, ", second picker");
    AddLineSprite(layout, 18, 12, ", second picker");
    AddLineSprite(layout, 19, 14, ", second picker");
    AddLineSprite(layout, 21, 2, ", second picker's other widths");
    AddPlaceholders(layout, {20, 22, 23, 24, 25, 26, 27, 28});
}

void BuildInstallerAtlas(cAtlasLayout& layout)
{
    AddSingle(layout, 0, 96, 48, "Installer corner image", "natural size times the scale",
              [](cCanvas& canvas, const cRectF& r)
              {
                  const float s = r.Height() / 48.0f;
                  // Slanted stripes that fade towards the page.
                  for (int i = 0; i < 4; ++i)
                  {
                      const float x = r.x0 + (6 + i * 16) * s;
                      canvas.FillPolygon({x, r.y1, x + 10 * s, r.y1, x + 30 * s, r.y0, x + 20 * s, r.y0},
                                         kLit.WithAlpha(0.34f + 0.22f * i));
                  }
              });
    AddSingle(layout, 1, 16, 16, "Installer outline frame", "stretched around the page",
              [](cCanvas& canvas, const cRectF& r)
              {
                  const float s = r.Width() / 16.0f;
                  canvas.StrokeRoundRect(r.x0, r.y0, r.x1, r.y1, 3 * s, 2 * s, kLit);
              });
    AddSingle(layout, 2, 320, 160, "Installer main picture", "natural size times the scale",
              [](cCanvas& canvas, const cRectF& r)
              {
                  const float s = r.Width() / 320.0f;
                  canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, 8 * s,
                                       cPaint::Vertical(cColour::FromARGB(0xff2e2e2e), kDarker, r.y0, r.y1));
                  // A row of level bars and a waveform across them.
                  for (int i = 0; i < 16; ++i)
                  {
                      const float x = r.x0 + (20 + i * 18) * s;
                      const float level = 0.35f + 0.55f * std::fabs(std::sin(i * 0.7f + 0.4f));
                      canvas.FillRoundRect(x, r.y1 - 20 * s - level * 100 * s, x + 12 * s, r.y1 - 20 * s, 2 * s,
                                           cPaint::Vertical(kValue, kLit, r.y1 - 120 * s, r.y1 - 20 * s));
                  }
                  float px = 0, py = 0;
                  for (int i = 0; i <= 120; ++i)
                  {
                      const float x = r.x0 + (16 + i * 2.4f) * s;
                      const float y = r.y0 + (60 + 26 * std::sin(i * 0.19f) * std::cos(i * 0.043f)) * s;
                      if (i > 0)
                          canvas.FillLine(px, py, x, y, 3 * s, kLabel);
                      px = x, py = y;
                  }
              });
    AddSingle(layout, 3, 16, 16, "Installer background", "stretched over the page",
              [](cCanvas& canvas, const cRectF& r)
              { canvas.FillRect(r.x0, r.y0, r.x1, r.y1, cPaint::Vertical(kDark, kDarker, r.y0, r.y1)); });
    AddSingle(layout, 4, 64, 6, "Installer progress bar", "stretched across, its height times the scale",
              [](cCanvas& canvas, const cRectF& r)
              { canvas.FillRect(r.x0, r.y0, r.x1, r.y1, cPaint::Vertical(kValue, kLit, r.y0, r.y1)); });
}
