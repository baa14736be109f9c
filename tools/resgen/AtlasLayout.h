#pragma once

#include "Canvas.h"

#include <functional>
#include <string>
#include <vector>

struct cRectI
{
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;

    int Width() const { return x1 - x0; }
    int Height() const { return y1 - y0; }
    cRectI Grown(int left, int top, int right, int bottom) const { return {x0 - left, y0 - top, x1 + right, y1 + bottom}; }
    cRectI Inset(int left, int top, int right, int bottom) const { return Grown(-left, -top, -right, -bottom); }
    cRectI Moved(int dx, int dy) const { return {x0 + dx, y0 + dy, x1 + dx, y1 + dy}; }
};

// One table entry of an atlas: which index, what it is for and how it is drawn.
struct cAtlasEntry
{
    int index = -1;
    std::string role;
    std::string drawing;
    cRectI rect; // inside its group, moved to the atlas position when packed
    bool solidFill = false; // sampled at its texel's centre
};

// Where a group is painted: its top-left corner on the canvas and the
// resolution factor (2 for double-resolution copies of a layout).
struct cPlace
{
    int x = 0, y = 0, scale = 1;

    float S(float value) const { return value * float(scale); }
    float X(float value) const { return float(x) + value * float(scale); }
    float Y(float value) const { return float(y) + value * float(scale); }
};

// Art painted at one place of the atlas. Its entries are sub-rectangles of the
// group: a drawn sprite with its size sprite inside it, inner sprites and
// markers that other code measures against each other.
struct cArtGroup
{
    int width = 0;
    int height = 0;
    // Paints the group; rectangles of its entries are relative to its corner.
    std::function<void(cCanvas&, const cPlace&)> paint;
    std::vector<cAtlasEntry> entries;
    bool pinnedAtOrigin = false; // the solid-fill texel
};

// The sprite record as the program reads it.
struct cSpriteRecord
{
    float u0, v0, u1, v1, x0, y0, x1, y1, width, height, centreX, centreY;
};

// Collects the groups of one atlas, packs them into a power-of-two image with
// gutters between them and produces the image and its sprite table.
class cAtlasLayout
{
public:
    explicit cAtlasLayout(int entryCount);

    void Add(cArtGroup group);
    // Places every group; fails when an index is missing or defined twice.
    void Pack();

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    int EntryCount() const { return mEntryCount; }
    const cAtlasEntry& Entry(int index) const { return mEntries[size_t(index)]; }

    // The atlas image; scale 2 paints the same layout at double resolution.
    cCanvas Paint(int scale = 1) const;
    std::vector<cSpriteRecord> Table() const;

private:
    bool TryPack(int width, int& heightOut);

    int mEntryCount;
    int mWidth = 0;
    int mHeight = 0;
    std::vector<cArtGroup> mGroups;
    std::vector<cRectI> mPlaces;
    std::vector<cAtlasEntry> mEntries;
};
