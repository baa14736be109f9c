#pragma once

class cEffectRack;
namespace File
{
class cFileSystem;
}

// Effect-chain files (".qfx" in "User/FX Favourites" of "Doc"): an XML
// document of version 1.0 holding one rack body. Main thread.
namespace EffectChainFile
{
constexpr float kVersion = 1.0f;
constexpr const char* kFolder = "User/FX Favourites";
constexpr const char* kExtension = "qfx";

// True when the file opened and its body was read into the rack (swapped in
// under one short hold of the audio manager's lock). False leaves the rack
// as it was: the file could not be opened, was not XML or held no body.
bool Load(File::cFileSystem* files, const char* path, cEffectRack& rack);
// Written safely: under ".tmp" first, the previous file kept as ".bak". False
// when the file could not be made, written or committed; the previous file
// then stays as it was.
bool Save(File::cFileSystem* files, const char* path, cEffectRack& rack);
} // namespace EffectChainFile
