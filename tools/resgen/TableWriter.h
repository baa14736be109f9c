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

// The manifest as a table a person can read: each index of an atlas with its
// role, its size in each profile's image, and how it is drawn. One call per
// atlas; the profiles' layouts share their indices and roles.
std::string DescribeAtlas(const char* title, const std::vector<const char*>& profileNames,
                          const std::vector<const cAtlasLayout*>& profiles);

// Replaces a file only when its text changes, so the program is not rebuilt
// for identical tables.
bool WriteTextFileIfChanged(const std::string& path, const std::string& text);
