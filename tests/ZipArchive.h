#pragma once

#include <minizip/zip.h>

#include <string>
#include <utility>
#include <vector>

// An archive written straight with minizip, entry names exactly as given, so
// that tests can hand the program archives no tool of ours would make.
inline void WriteZipArchive(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries)
{
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    for (const auto& [entry, content] : entries)
    {
        zip_fileinfo info = {};
        zipOpenNewFileInZip(zip, entry.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6);
        zipWriteInFileInZip(zip, content.data(), unsigned(content.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}
