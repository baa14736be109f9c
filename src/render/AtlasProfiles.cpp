#include "render/AtlasProfiles.h"

#include "render/AtlasTables.h"

#include <cstring>

const cAtlasSprite* gTex8888AtlasTable = AtlasTables::kTex8888Default;
const cAtlasSprite* gTex8AtlasTable = AtlasTables::kTex8Default;
const cAtlasSprite* gInstallerTable = AtlasTables::kInstallerDefault;
const cAtlasSprite* gFillAtlasTable = AtlasTables::kFillDefault;

namespace
{
struct cProfileTable
{
    const char* profile;
    const cAtlasSprite* table;
};

const cProfileTable kTex8888Profiles[] = {
    {"default", AtlasTables::kTex8888Default},
    {"tablet", AtlasTables::kTex8888Tablet},
    {"desktop", AtlasTables::kTex8888Desktop},
};
const cProfileTable kTex8Profiles[] = {
    {"default", AtlasTables::kTex8Default},
    {"tablet", AtlasTables::kTex8Tablet},
};
const cProfileTable kInstallerProfiles[] = {
    {"default", AtlasTables::kInstallerDefault},
};
const cProfileTable kFillProfiles[] = {
    {"default", AtlasTables::kFillDefault},
};

template <size_t N>
void Select(const cProfileTable (&profiles)[N], const char* profile, const cAtlasSprite*& current)
{
    if (!profile)
        return;
    for (const cProfileTable& entry : profiles)
    {
        if (std::strcmp(entry.profile, profile) == 0)
        {
            current = entry.table;
            return;
        }
    }
}
} // namespace

void SelectTex8888AtlasTable(const char* profile)
{
    Select(kTex8888Profiles, profile, gTex8888AtlasTable);
}

void SelectTex8AtlasTable(const char* profile)
{
    Select(kTex8Profiles, profile, gTex8AtlasTable);
}

void SelectInstallerTable(const char* profile)
{
    Select(kInstallerProfiles, profile, gInstallerTable);
}

void SelectFillAtlasTable(const char* profile)
{
    Select(kFillProfiles, profile, gFillAtlasTable);
}

const char* GetTextureProfileName(int32_t deviceClass)
{
    switch (deviceClass)
    {
    case 1: return "tablet";
    case 2: return "desktop";
    default: return "default";
    }
}
