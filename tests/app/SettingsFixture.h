#pragma once

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/FileTestFolder.h"
#include "base/SettingsFile.h"

// A "Doc" mount over a fresh folder, as start-up makes it, with no damage
// notice pending.
class cSettingsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(gFileSystemRegistry, nullptr);
        new cFileSystemRegistry();
        gFileSystemRegistry->Mount(new File::cFileSystemDisk("Doc", mFolder.Path().c_str()));
        TakeSettingsDamageNotice();
    }
    void TearDown() override { delete gFileSystemRegistry; }

    // The attribute names of the file's "Root", in their order.
    std::vector<std::string> RootAttributes(const std::string& file) const
    {
        const std::string text = mFolder.Read(file);
        const std::string root = text.substr(0, text.find('>'));
        std::vector<std::string> names;
        const std::regex attribute("([A-Za-z]+)=\"");
        for (auto it = std::sregex_iterator(root.begin(), root.end(), attribute); it != std::sregex_iterator(); ++it)
            names.push_back((*it)[1]);
        return names;
    }

    cFileTestFolder mFolder;
};
