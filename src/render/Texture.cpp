#include "render/Texture.h"

#include "base/File.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "render/DeviceTexture.h"
#include "render/PVRImage.h"
#include "render/Renderer.h"

#include <cstring>
#include <map>
#include <memory>
#include <strings.h>

namespace
{
struct cNameLess
{
    // strcmp compares as unsigned bytes, which is the order the map keeps.
    bool operator()(const char* a, const char* b) const { return std::strcmp(a ? a : "", b ? b : "") < 0; }
};

using tTextureMap = std::map<const char*, cResource<cTexture>*, cNameLess>;

tTextureMap& TextureMap()
{
    static tTextureMap map;
    return map;
}

// The "_x2" file beside a name, used on double-resolution displays.
cGenStringFixed<260> DoubleResolutionPath(const cGenString& name, const cGenString& extension)
{
    cGenStringFixed<260> path(name);
    PathRemoveExtension(path);
    path.AppendCString("_x2.");
    path.Append(extension);
    return path;
}

std::unique_ptr<cPVRImage> ReadImage(File::cFileSystem& fileSystem, const cGenString& path,
                                     const cGenString& extension, uint32_t flags)
{
    File::cFile* file = fileSystem.Open(path, File::kModeRead, 0);
    if (!file)
        return nullptr;
    std::unique_ptr<cPVRImage> image;
    if (strcasecmp(extension.CStr(), "pvr") == 0)
        image = ReadPVRImage(*file, flags);
    file->Close(false);
    delete file;
    return image;
}
} // namespace

template <class T>
cResource<T>::cResource(const char* name) : mName(name)
{
    TextureMap().emplace(mName.CStr(), this);
}

template <class T>
cResource<T>::~cResource()
{
    tTextureMap& map = TextureMap();
    const auto found = map.find(mName.CStr());
    if (found != map.end() && found->second == this)
        map.erase(found);
    else
        DumpAll();
}

template <class T>
cResource<T>* cResource<T>::Lookup(const char* name)
{
    const tTextureMap& map = TextureMap();
    const auto found = map.find(name);
    return found == map.end() ? nullptr : static_cast<cResource<T>*>(found->second);
}

template <class T>
void cResource<T>::DumpAll()
{
    // Nothing is listed: this program keeps no diagnostic output.
}

template class cResource<cTexture>;

cTexture::cTexture(const char* name, cDeviceTexture* deviceTexture)
    : cResource<cTexture>(name), mDeviceTexture(deviceTexture)
{
}

cTexture::~cTexture()
{
    delete mDeviceTexture;
}

void AddTextureReference(cTexture* texture)
{
    texture->AddRef();
}

void ReleaseTextureReference(cTexture* texture)
{
    texture->Release();
}

cTexture* cTexture::Find(const char* name)
{
    auto* texture = static_cast<cTexture*>(Lookup(name));
    if (texture)
        AddTextureReference(texture);
    return texture;
}

cTexture* cTexture::Load(const char* name, uint32_t flags)
{
    if (cTexture* loaded = Find(name))
        return loaded;
    if (!gRenderer || !gFileSystemRegistry)
        return nullptr;
    File::cFileSystem* res = gFileSystemRegistry->FindFileSystem("Res", nullptr);
    if (!res)
        return nullptr;

    const cGenString nameText(name);
    const cGenString extension = PathGetExtension(nameText);
    cGenStringFixed<260> path(name);
    if (!(flags & kTextureNoDoubleResolution) && gRenderer->displayScale == 2.0f)
    {
        const cGenStringFixed<260> variant = DoubleResolutionPath(nameText, extension);
        if (res->Exists(variant))
            path = variant;
    }

    const std::unique_ptr<cPVRImage> image = ReadImage(*res, path, extension, flags);
    if (!image)
        return nullptr;
    return new cTexture(name, gRenderer->CreateDeviceTexture(*image));
}
