#pragma once

#include "base/GenString.h"
#include "base/RefCount.h"

#include <cstdint>

class cDeviceTexture;
struct cAtlasSprite;

// Load flags of textures.
enum eTextureLoadFlags : uint32_t
{
    kTextureIntensityAsAlpha = 1u << 0, // an 8-bit intensity image becomes an alpha texture
    kTextureNoDoubleResolution = 1u << 1, // do not look for the "_x2" variant of the file
};

// A named, reference-counted resource. Every live one is in a map by name (byte-
// wise, case-sensitive); the map holds no references.
template <class T>
class cResource : public Base::cRefCount
{
public:
    explicit cResource(const char* name);
    ~cResource() override;

    const char* GetName() const { return mName.CStr(); }

    // The live resource of that name, without adding a reference; null when none.
    static cResource* Lookup(const char* name);
    // Walks every live resource; it reports nothing in this program.
    static void DumpAll();

private:
    cGenStringFixed<260> mName;
};

// A texture loaded from "Res", shared by everyone who asks for the same name.
class cTexture : public cResource<cTexture>
{
public:
    cTexture(const char* name, cDeviceTexture* deviceTexture);
    ~cTexture() override;

    // The loaded texture with one more reference, or a new one read from the file
    // with one reference for the caller; null when the file is missing or rejected.
    static cTexture* Load(const char* name, uint32_t flags);
    // The loaded texture with one more reference; never loads.
    static cTexture* Find(const char* name);

    cDeviceTexture* GetDeviceTexture() const { return mDeviceTexture; }
    const cAtlasSprite* GetSolidFillSprite() const { return mSolidFill; }
    void SetSolidFillSprite(const cAtlasSprite* sprite) { mSolidFill = sprite; }

private:
    cDeviceTexture* mDeviceTexture;
    const cAtlasSprite* mSolidFill = nullptr;
};

void AddTextureReference(cTexture* texture);
// Deletes the texture when this was the last reference.
void ReleaseTextureReference(cTexture* texture);
