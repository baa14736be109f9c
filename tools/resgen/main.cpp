// Generates the content beside the program: texture atlases with their sprite
// tables, the bitmap font and the separate textures.
#include "ColourAtlas.h"
#include "FontBuilder.h"
#include "PngWriter.h"
#include "PvrWriter.h"
#include "SmallAtlases.h"
#include "TableWriter.h"
#include "Textures.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
struct cOptions
{
    std::string resources;
    std::string tables;
    std::string font;
    std::string picture;
};

bool ParseOptions(int argc, char** argv, cOptions& options)
{
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string key = argv[i];
        if (key == "--resources")
            options.resources = argv[i + 1];
        else if (key == "--tables")
            options.tables = argv[i + 1];
        else if (key == "--font")
            options.font = argv[i + 1];
        else if (key == "--picture")
            options.picture = argv[i + 1];
        else
            return false;
    }
    return argc % 2 == 1 && !options.resources.empty() && !options.tables.empty() && !options.font.empty();
}

bool WriteTexture(const std::string& path, const cCanvas& canvas, ePvrType type)
{
    const std::vector<uint8_t> pixels = type == ePvrType::RGBA8888 ? canvas.ToRGBA8() : canvas.ToAlpha8();
    return WriteBinaryFile(path, BuildPvrFile(type, uint32_t(canvas.Width()), uint32_t(canvas.Height()), pixels));
}

// The atlas laid over a dark checkerboard, as a person would judge it.
bool WritePicture(const std::string& path, const cCanvas& atlas)
{
    cCanvas picture(atlas.Width(), atlas.Height());
    for (int y = 0; y < atlas.Height(); ++y)
        for (int x = 0; x < atlas.Width(); ++x)
        {
            const bool light = ((x / 8) + (y / 8)) % 2 == 0;
            picture.SetPixel(x, y, cColour::FromARGB(light ? 0xff3c3c3c : 0xff303030));
        }
    for (int y = 0; y < atlas.Height(); ++y)
        for (int x = 0; x < atlas.Width(); ++x)
        {
            const cColour c = atlas.GetPixel(x, y);
            if (c.a > 0.0f)
                picture.FillRect(float(x), float(y), float(x + 1), float(y + 1), c);
        }
    return WriteBinaryFile(path, EncodePng(uint32_t(picture.Width()), uint32_t(picture.Height()), picture.ToRGBA8()));
}

bool Generate(const cOptions& options)
{
    namespace fs = std::filesystem;
    const std::string textures = options.resources + "/Textures/";
    const std::string fonts = options.resources + "/Fonts/";
    fs::create_directories(textures);
    fs::create_directories(fonts);
    fs::create_directories(fs::path(options.tables).parent_path());

    bool ok = true;
    cTableWriter tables;

    struct cColourProfile
    {
        eProfile profile;
        const char* file;
        const char* array;
    };
    const cColourProfile colourProfiles[] = {{eProfile::Phone, "Tex8888.pvr", "kTex8888Default"},
                                             {eProfile::Tablet, "Tex8888_tablet.pvr", "kTex8888Tablet"},
                                             {eProfile::Desktop, "Tex8888_desktop.pvr", "kTex8888Desktop"}};
    std::vector<cAtlasLayout> colourLayouts;
    for (const cColourProfile& profile : colourProfiles)
    {
        cAtlasLayout& layout = colourLayouts.emplace_back(466);
        BuildColourAtlas(profile.profile, layout);
        layout.Pack();
        const cCanvas image = layout.Paint();
        ok &= WriteTexture(textures + profile.file, image, ePvrType::RGBA8888);
        tables.Add(profile.array, "kTex8888Count", layout, profile.file);
        if (profile.profile == eProfile::Desktop && !options.picture.empty())
            ok &= WritePicture(options.picture, image);
    }

    for (bool tablet : {false, true})
    {
        cAtlasLayout layout(6);
        BuildMonoAtlas(tablet, layout);
        layout.Pack();
        const char* file = tablet ? "Tex8_tablet.pvr" : "Tex8.pvr";
        ok &= WriteTexture(textures + file, layout.Paint(), ePvrType::Intensity8);
        tables.Add(tablet ? "kTex8Tablet" : "kTex8Default", "kTex8Count", layout, file);
    }

    {
        cAtlasLayout layout(30);
        BuildFillAtlas(layout);
        layout.Pack();
        ok &= WriteTexture(textures + "Fill.pvr", layout.Paint(), ePvrType::Intensity8);
        tables.Add("kFillDefault", "kFillCount", layout, "Fill.pvr");
    }

    {
        cAtlasLayout layout(5);
        BuildInstallerAtlas(layout);
        layout.Pack();
        ok &= WriteTexture(textures + "Installer.pvr", layout.Paint(1), ePvrType::RGBA8888);
        ok &= WriteTexture(textures + "Installer_x2.pvr", layout.Paint(2), ePvrType::RGBA8888);
        tables.Add("kInstallerDefault", "kInstallerCount", layout, "Installer.pvr and Installer_x2.pvr");
    }

    const fs::path generated = fs::path(options.tables).parent_path();
    ok &= WriteTextFileIfChanged((generated / "SpriteManifest.md").string(),
                                 DescribeColourManifest(colourLayouts[0], colourLayouts[1], colourLayouts[2]));

    ok &= WriteTextures(textures);
    ok &= BuildDefaultFont(options.font, fonts);
    ok &= WriteTextFileIfChanged(options.tables, tables.Source());
    return ok;
}
}

int main(int argc, char** argv)
{
    cOptions options;
    if (!ParseOptions(argc, argv, options))
    {
        std::fprintf(stderr,
                     "usage: resgen --resources <folder> --tables <AtlasTables.cpp> --font <DejaVuSans.ttf> "
                     "[--picture <atlas.png>]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    try
    {
        if (!Generate(options))
            return 1;
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "resgen: %s\n", error.what());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("resgen: content written to %s in %.2f s\n", options.resources.c_str(), seconds);
    return 0;
}
