#include "render/AtlasProfiles.h"

#include "render/AtlasTables.h"

#include <gtest/gtest.h>

namespace
{
void SelectAll(const char* profile)
{
    SelectTex8AtlasTable(profile);
    SelectTex8888AtlasTable(profile);
    SelectInstallerTable(profile);
    SelectFillAtlasTable(profile);
}
} // namespace

TEST(AtlasProfiles, EachProfileSelectsItsTablesAndKeepsTheRest)
{
    struct cCase
    {
        const char* profile;
        const cAtlasSprite* colour;
        const cAtlasSprite* mono;
    };
    const cCase cases[] = {
        {"default", AtlasTables::kTex8888Default, AtlasTables::kTex8Default},
        {"tablet", AtlasTables::kTex8888Tablet, AtlasTables::kTex8Tablet},
        {"desktop", AtlasTables::kTex8888Desktop, AtlasTables::kTex8Default},
        {"Tablet", AtlasTables::kTex8888Default, AtlasTables::kTex8Default}, // names are case-sensitive
        {nullptr, AtlasTables::kTex8888Default, AtlasTables::kTex8Default},
    };
    for (const cCase& c : cases)
    {
        SelectAll("default");
        SelectAll(c.profile);
        EXPECT_EQ(gTex8888AtlasTable, c.colour) << (c.profile ? c.profile : "null");
        EXPECT_EQ(gTex8AtlasTable, c.mono) << (c.profile ? c.profile : "null");
        EXPECT_EQ(gInstallerTable, AtlasTables::kInstallerDefault);
        EXPECT_EQ(gFillAtlasTable, AtlasTables::kFillDefault);
    }
    SelectAll("default");

    EXPECT_STREQ(GetTextureProfileName(0), "default");
    EXPECT_STREQ(GetTextureProfileName(1), "tablet");
    EXPECT_STREQ(GetTextureProfileName(2), "desktop");
}
