#pragma once

#include "AtlasLayout.h"

#include <string>

// Writes the sprite tables as C++ definitions of the arrays the program
// declares, one table at a time, each entry commented with its role.
class cTableWriter
{
public:
    void Add(const char* arrayName, const char* countName, const cAtlasLayout& layout, const char* imageName);
    std::string Source() const;

private:
    std::string mBody;
};

// The colour atlas manifest as a table a person can read: each index with its
// role, its size in the phone, tablet and desktop atlases, and how it is drawn.
std::string DescribeColourManifest(const cAtlasLayout& phone, const cAtlasLayout& tablet, const cAtlasLayout& desktop);

// Replaces a file only when its text changes, so the program is not rebuilt
// for identical tables.
bool WriteTextFileIfChanged(const std::string& path, const std::string& text);
