#include "AtlasLayout.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace
{
// Transparent gutter between groups: one column for each neighbour's extruded
// edge, so linear filtering never mixes two sprites.
constexpr int kGutter = 2;
constexpr int kMaxSize = 4096;
}

cAtlasLayout::cAtlasLayout(int entryCount) : mEntryCount(entryCount) {}

void cAtlasLayout::Add(cArtGroup group)
{
    for (const cAtlasEntry& entry : group.entries)
        if (entry.index < 0 || entry.index >= mEntryCount)
            throw std::logic_error("atlas index out of range: " + std::to_string(entry.index));
    mGroups.push_back(std::move(group));
}

bool cAtlasLayout::TryPack(int width, int& heightOut)
{
    std::vector<size_t> order(mGroups.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b)
                     {
                         if (mGroups[a].pinnedAtOrigin != mGroups[b].pinnedAtOrigin)
                             return mGroups[a].pinnedAtOrigin;
                         return mGroups[a].height > mGroups[b].height;
                     });
    mPlaces.assign(mGroups.size(), {});
    int x = 0, y = 0, shelfHeight = 0;
    for (size_t i : order)
    {
        const cArtGroup& group = mGroups[i];
        if (group.width > width)
            return false;
        if (x + group.width > width)
        {
            x = 0;
            y += shelfHeight + kGutter;
            shelfHeight = 0;
        }
        mPlaces[i] = {x, y, x + group.width, y + group.height};
        x += group.width + kGutter;
        shelfHeight = std::max(shelfHeight, group.height);
    }
    heightOut = y + shelfHeight;
    return true;
}

void cAtlasLayout::Pack()
{
    mEntries.assign(size_t(mEntryCount), {});
    for (const cArtGroup& group : mGroups)
        for (const cAtlasEntry& entry : group.entries)
        {
            if (mEntries[size_t(entry.index)].index >= 0)
                throw std::logic_error("atlas index defined twice: " + std::to_string(entry.index));
            mEntries[size_t(entry.index)].index = entry.index;
        }
    for (int i = 0; i < mEntryCount; ++i)
        if (mEntries[size_t(i)].index < 0)
            throw std::logic_error("atlas index missing: " + std::to_string(i));

    // The smallest power-of-two image that holds everything, preferring square.
    long bestArea = -1;
    int bestWidth = 0, bestHeight = 0;
    for (int width = 32; width <= kMaxSize; width *= 2)
    {
        int used = 0;
        if (!TryPack(width, used))
            continue;
        int height = 1;
        while (height < used)
            height *= 2;
        if (height > kMaxSize)
            continue;
        const long area = long(width) * height;
        if (bestArea < 0 || area < bestArea || (area == bestArea && std::abs(width - height) < std::abs(bestWidth - bestHeight)))
            bestArea = area, bestWidth = width, bestHeight = height;
    }
    if (bestArea < 0)
        throw std::logic_error("atlas art does not fit the largest texture");
    mWidth = bestWidth;
    mHeight = bestHeight;
    int unused = 0;
    TryPack(mWidth, unused);

    for (size_t g = 0; g < mGroups.size(); ++g)
        for (const cAtlasEntry& entry : mGroups[g].entries)
        {
            cAtlasEntry& placed = mEntries[size_t(entry.index)];
            placed = entry;
            placed.rect = entry.rect.Moved(mPlaces[g].x0, mPlaces[g].y0);
            placed.solidFill = mGroups[g].pinnedAtOrigin;
        }
}

cCanvas cAtlasLayout::Paint(int scale) const
{
    cCanvas canvas(mWidth * scale, mHeight * scale);
    for (size_t g = 0; g < mGroups.size(); ++g)
    {
        const cRectI& place = mPlaces[g];
        if (mGroups[g].paint)
            mGroups[g].paint(canvas, {place.x0 * scale, place.y0 * scale, scale});
        canvas.ExtrudeEdges(place.x0 * scale, place.y0 * scale, place.x1 * scale, place.y1 * scale);
    }
    return canvas;
}

std::vector<cSpriteRecord> cAtlasLayout::Table() const
{
    std::vector<cSpriteRecord> table;
    const float w = float(mWidth), h = float(mHeight);
    for (const cAtlasEntry& entry : mEntries)
    {
        const cRectI& r = entry.rect;
        cSpriteRecord record{};
        record.x0 = float(r.x0), record.y0 = float(r.y0), record.x1 = float(r.x1), record.y1 = float(r.y1);
        record.width = float(r.Width()), record.height = float(r.Height());
        record.centreX = (record.x0 + record.x1) * 0.5f;
        record.centreY = (record.y0 + record.y1) * 0.5f;
        if (entry.solidFill)
        {
            // The solid texel is sampled at its centre so filtering cannot reach a neighbour.
            record.u0 = record.u1 = record.centreX / w;
            record.v0 = record.v1 = record.centreY / h;
        }
        else
        {
            record.u0 = record.x0 / w, record.v0 = record.y0 / h;
            record.u1 = record.x1 / w, record.v1 = record.y1 / h;
        }
        table.push_back(record);
    }
    return table;
}
