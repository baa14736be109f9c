#pragma once

#include "base/GenString.h"
#include "render/RenderStates.h"

#include <cstdint>
#include <memory>
#include <vector>

class cTexture;

// Colour new materials start with.
extern uint32_t gDefaultMaterialColour;

// The render state one batch is drawn with. Applying it touches only the
// renderer states that differ from the renderer's cached ones.
class cMaterial
{
public:
    explicit cMaterial(eBlendMode blendMode);
    ~cMaterial();
    cMaterial(const cMaterial&) = delete;
    cMaterial& operator=(const cMaterial&) = delete;

    void Apply() const;

    // Holds one reference to the texture (none for null).
    void SetTexture(cTexture* texture);
    cTexture* GetTexture() const { return mTexture; }

    uint32_t renderFlags = 0; // bits 0..3: cull mode
    uint32_t colour;
    eBlendMode blendMode;
    eSampling sampling = kSamplingLinear;

private:
    cTexture* mTexture = nullptr;
};

// The named materials of the program; owns them.
class cMaterialRegistry
{
public:
    cMaterialRegistry();
    ~cMaterialRegistry();
    cMaterialRegistry(const cMaterialRegistry&) = delete;
    cMaterialRegistry& operator=(const cMaterialRegistry&) = delete;

    // Takes ownership; a name that is already registered keeps its first material
    // (the new one is still owned and freed with the registry).
    void Add(const char* name, cMaterial* material);
    // The first material of that name, ignoring letter case; null when none.
    cMaterial* Find(const char* name) const;
    int GetCount() const { return int(mEntries.size()); }

private:
    struct cEntry
    {
        cGenStringFixed<32> name;
        std::unique_ptr<cMaterial> material;
    };

    std::vector<cEntry> mEntries; // oldest first
};

extern cMaterialRegistry* gMaterialRegistry;

// The unnamed opaque material start-up makes for drawing that names none.
extern cMaterial* gDefaultMaterial;
