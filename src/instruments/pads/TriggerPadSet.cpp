#include "instruments/pads/TriggerPadSet.h"

#include <memory>

#include "base/File.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/SerialiseXML.h"
#include "instruments/pads/TriggerPadKeys.h"

namespace
{
constexpr float kFileVersion = 1.0f;
constexpr const char* kPackageFile = "Package.vrx";

uint32_t KindOf(uint32_t address) { return address & 0xff; }
int32_t IndexOf(uint32_t address) { return int32_t((address >> 8) & 0xff); }
int32_t ParameterOf(uint32_t address) { return int32_t((address >> 16) & 0xff); }

bool IsPadFloat(int32_t parameter)
{
    return parameter == cTriggerPadData::kParamVolume || parameter == cTriggerPadData::kParamPan ||
           parameter == cTriggerPadData::kParamAttack || parameter == cTriggerPadData::kParamRelease;
}

bool IsPadInt(int32_t parameter)
{
    return parameter >= cTriggerPadData::kParamTranspose && parameter <= cTriggerPadData::kParamTriggerMode;
}

bool IsOutputFloat(int32_t parameter)
{
    return parameter == cTriggerPadOutput::kParamRev || parameter == cTriggerPadOutput::kParamDel ||
           parameter == cTriggerPadOutput::kParamCutoff || parameter == cTriggerPadOutput::kParamQ;
}

bool IsOutputInt(int32_t parameter)
{
    return parameter == cTriggerPadOutput::kParamEnable || parameter == cTriggerPadOutput::kParamType;
}

File::cFileSystem* Documents() { return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr; }

bool PackageFile(const cGenString& folder, cGenString& path)
{
    path.Assign(folder);
    return PathAppend(path, cGenString(kPackageFile));
}

// One element of the set: absent is no error, but an element given twice
// makes the document ambiguous.
template <class tBody>
bool SerialiseElement(Base::cSerialise& s, const char* name, tBody body)
{
    if (!s.IsSaving() && s.CountNodes(name) > 1)
        return false;
    if (!s.BeginNode(name, true))
        return true;
    const bool ok = body();
    s.EndNode(name);
    return ok;
}
} // namespace

void cTriggerPadSet::Reset()
{
    mute = 0;
    for (cTriggerPadOutput& output : outputs)
        output.Reset();
    for (cTriggerPadData& pad : pads)
        pad.Reset();
}

cTriggerPadData* cTriggerPadSet::FindPad(uint32_t address)
{
    const int32_t index = IndexOf(address);
    return KindOf(address) == kKindPad && index < kPadCount ? &pads[index] : nullptr;
}

const cTriggerPadData* cTriggerPadSet::FindPad(uint32_t address) const
{
    return const_cast<cTriggerPadSet*>(this)->FindPad(address);
}

cTriggerPadOutput* cTriggerPadSet::FindOutput(uint32_t address)
{
    const int32_t index = IndexOf(address);
    return KindOf(address) == kKindOutput && index < kOutputCount ? &outputs[index] : nullptr;
}

const cTriggerPadOutput* cTriggerPadSet::FindOutput(uint32_t address) const
{
    return const_cast<cTriggerPadSet*>(this)->FindOutput(address);
}

float cTriggerPadSet::GetFloat(uint32_t address) const
{
    const int32_t parameter = ParameterOf(address);
    if (const cTriggerPadData* pad = FindPad(address); pad && IsPadFloat(parameter))
        return pad->GetFloat(parameter);
    if (const cTriggerPadOutput* output = FindOutput(address); output && IsOutputFloat(parameter))
        return output->GetFloat(parameter);
    return 0.0f;
}

int32_t cTriggerPadSet::GetInt(uint32_t address) const
{
    const int32_t parameter = ParameterOf(address);
    if (const cTriggerPadData* pad = FindPad(address); pad && IsPadInt(parameter))
        return pad->GetInt(parameter);
    if (const cTriggerPadOutput* output = FindOutput(address); output && IsOutputInt(parameter))
        return output->GetInt(parameter);
    return KindOf(address) == kKindMuteWord ? int32_t(mute) : 0;
}

void cTriggerPadSet::SetFloat(uint32_t address, float value)
{
    const int32_t parameter = ParameterOf(address);
    if (cTriggerPadData* pad = FindPad(address); pad && IsPadFloat(parameter))
        pad->SetFloat(parameter, value);
    else if (cTriggerPadOutput* output = FindOutput(address); output && IsOutputFloat(parameter))
        output->SetFloat(parameter, value);
}

void cTriggerPadSet::SetInt(uint32_t address, int32_t value)
{
    const int32_t parameter = ParameterOf(address);
    const int32_t index = IndexOf(address);
    if (cTriggerPadData* pad = FindPad(address); pad && IsPadInt(parameter))
        pad->SetInt(parameter, value);
    else if (cTriggerPadOutput* output = FindOutput(address); output && IsOutputInt(parameter))
        output->SetInt(parameter, value);
    else if (KindOf(address) == kKindMuteWord)
        mute = uint32_t(value);
    else if (KindOf(address) == kKindMuteBit && index < kPadCount)
        mute = value != 0 ? mute | (1u << index) : mute & ~(1u << index);
}

bool cTriggerPadSet::Serialise(Base::cSerialise& s, cSampleRelocator* relocator)
{
    bool ok = TriggerPadKeys::SerialiseUInt(s, "Mute", mute);
    for (int32_t i = 0; i < kPadCount; ++i)
    {
        cGenStringFixed<16> name;
        name.Printf("Pad%d", int(i));
        ok &= SerialiseElement(s, name.CStr(), [&] {
            return (s.IsSaving() || s.CountNodes("AmpEnv") <= 1) && pads[i].Serialise(s, relocator);
        });
    }
    for (int32_t i = 0; i < kOutputCount; ++i)
    {
        cGenStringFixed<16> name;
        name.Printf("Out%d", int(i));
        ok &= SerialiseElement(s, name.CStr(), [&] { return outputs[i].Serialise(s); });
    }
    return ok;
}

bool cTriggerPadSet::Load(const cGenString& folder, cSampleRelocator* relocator)
{
    Reset();
    File::cFileSystem* documents = Documents();
    cGenStringFixed<260> path;
    if (!documents || !PackageFile(folder, path))
        return false;
    std::unique_ptr<File::cFile> stream(documents->Open(path, File::kModeRead, 0));
    if (!stream)
        return false;
    Base::cSerialiseXML serialiser(kFileVersion, stream.get(), Base::cSerialise::kFlagKeepErrors);
    if (!serialiser.Begin())
        return false;
    const bool ok = Serialise(serialiser, relocator);
    serialiser.End();
    return ok;
}

// A save that fails anywhere is not committed, so an earlier file stays.
bool cTriggerPadSet::Save(const cGenString& folder, cSampleRelocator* relocator)
{
    File::cFileSystem* documents = Documents();
    cGenStringFixed<260> path;
    if (!documents || !PackageFile(folder, path))
        return false;
    std::unique_ptr<File::cFile> stream(documents->Open(path, File::kModeWrite, File::kFlagSafeWrite));
    if (!stream)
        return false;
    const bool ok = Write(*stream, relocator);
    return stream->Close(!ok) && ok;
}

bool cTriggerPadSet::Write(File::cFile& stream, cSampleRelocator* relocator)
{
    Base::cSerialiseXML serialiser(kFileVersion, &stream, 0);
    bool ok = serialiser.Begin() && Serialise(serialiser, relocator);
    return serialiser.End() && ok;
}
