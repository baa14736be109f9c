#pragma once
// Byte-level fixtures for the preset tests, built from the documented layouts
// rather than through the readers under test.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/File.h"
#include "instruments/synth/AnalogueSynthMulti.h"
#include "instruments/synth/AnalogueSynthSingle.h"

// Little-endian fields appended to a byte string.
class cBytes
{
public:
    cBytes& U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(char((v >> (8 * i)) & 0xFF));
        return *this;
    }
    cBytes& I32(int32_t v) { return U32(uint32_t(v)); }
    cBytes& F32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return U32(bits);
    }
    cBytes& Raw(const void* data, size_t size)
    {
        bytes.append(static_cast<const char*>(data), size);
        return *this;
    }
    cBytes& Append(const std::string& more)
    {
        bytes += more;
        return *this;
    }
    // A stream string: length, then the text and its NUL when not empty.
    cBytes& String(const std::string& text)
    {
        U32(uint32_t(text.size()));
        if (!text.empty())
            bytes.append(text.c_str(), text.size() + 1);
        return *this;
    }

    std::string bytes;
};

// A single in its binary layout: version 3 with every section's version
// word, or a legacy record (the 0xDDDDDDDD marker, no section versions and no
// NoteSlice).
inline std::string EncodeSingle(const cAnalogueSynthSingle& s, bool legacy)
{
    cBytes b;
    auto version = [&](uint32_t v) {
        if (!legacy)
            b.U32(v);
    };
    auto envelope = [&](const cEnvelopeParams& e) {
        version(1);
        b.U32(e.Flags).F32(e.A).F32(e.D).F32(e.S).F32(e.R).F32(e.Amount).I32(e.Invert);
    };
    auto lfo = [&](const cLFOParams& l) {
        version(2);
        b.I32(l.Shape).F32(l.Rate).I32(l.BeatRate).F32(l.Amount).F32(l.Delay).I32(l.Sync);
    };
    b.U32(legacy ? 0xDDDDDDDDu : 3u).Raw(s.Name, 24);
    b.I32(s.Polyphony).I32(s.Octave).F32(s.GlideTime).I32(s.BendRange).F32(s.Send1).F32(s.Send2).I32(s.Accel);
    version(1);
    for (const cOscillatorParams* osc : {&s.Osc.Osc1, &s.Osc.Osc2})
    {
        version(1);
        b.I32(osc->Wave).F32(osc->Trans).F32(osc->Tune);
    }
    b.I32(s.Osc.Mod).F32(s.Osc.Detune).F32(s.Osc.Mix);
    version(2);
    b.I32(s.Sample.Transpose).I32(s.Sample.Pitch).F32(s.Sample.Level).I32(s.Sample.Loop).I32(s.Sample.Dir);
    if (!legacy)
        b.I32(s.Sample.NoteSlice);
    version(1);
    b.I32(s.Filter.Type).I32(s.Filter.Slope).F32(s.Filter.Cutoff).F32(s.Filter.Q).I32(s.Filter.Track);
    envelope(s.FilterEnv);
    envelope(s.AmpEnv);
    for (int i = 0; i < 4; ++i)
        lfo(s.GetLFO(i));
    envelope(s.AuxEnv);
    version(1);
    for (const cModMatrixRow& row : s.Mod.rows)
    {
        version(1);
        b.I32(row.Dest).I32(row.Par).I32(row.Amt);
    }
    version(1);
    b.I32(s.WS.Enable).I32(s.WS.Shape).F32(s.WS.Drive).F32(s.WS.Bright).F32(s.WS.Out);
    version(2);
    const cChorusDelayParams& c = s.CD;
    b.I32(c.Type).I32(c.Enable).I32(c.Sync).F32(c.CRate).F32(c.CDelay).F32(c.CDepth).F32(c.CFeedback).F32(c.DTime);
    b.I32(c.DBeatTime).F32(c.DFeedback).F32(c.DAmount);
    version(1);
    for (int i = cControllerValues::kPad1X; i < cControllerValues::kCount; ++i)
        b.F32(s.Ctrl.values[i]);
    return b.bytes;
}

// A multi in its binary layout; legacy: without the section version words.
inline std::string EncodeMulti(const cAnalogueSynthMulti& m, bool legacy = false)
{
    cBytes b;
    b.U32(0xEEEEEEEEu).Raw(m.Name, 24);
    for (const cAnalogueSynthMulti::cLayer& l : m.layers)
        b.I32(l.Index).F32(l.Vol).I32(l.TrackKeys).I32(l.Trans).I32(l.KeyMin).I32(l.KeyMax);
    if (!legacy)
        b.U32(1);
    b.I32(m.WS.Enable).I32(m.WS.Shape).F32(m.WS.Drive).F32(m.WS.Bright).F32(m.WS.Out);
    if (!legacy)
        b.U32(2);
    const cChorusDelayParams& c = m.CD;
    b.I32(c.Type).I32(c.Enable).I32(c.Sync).F32(c.CRate).F32(c.CDelay).F32(c.CDepth).F32(c.CFeedback).F32(c.DTime);
    b.I32(c.DBeatTime).F32(c.DFeedback).F32(c.DAmount);
    if (!legacy)
        b.U32(1);
    for (int i = cControllerValues::kPad1X; i < cControllerValues::kCount; ++i)
        b.F32(m.Ctrl.values[i]);
    b.F32(m.Send1).F32(m.Send2).I32(m.Octave).I32(m.Accel);
    return b.bytes;
}

// A bank file: version, size (the real length unless given), 64 copies of
// the single and the multi, and 64 paths.
inline std::string EncodeBank(uint32_t version, const std::string& single, const std::string& multi,
                              const std::vector<std::string>& paths = std::vector<std::string>(64),
                              int64_t size = -1)
{
    cBytes body;
    for (int i = 0; i < 64; ++i)
        body.Append(single);
    for (int i = 0; i < 64; ++i)
        body.Append(multi);
    for (const std::string& path : paths)
        body.String(path);
    const uint32_t length = uint32_t(size >= 0 ? size : int64_t(8 + body.bytes.size()));
    return cBytes().U32(version).U32(length).Append(body.bytes).bytes;
}

// The bytes of a record's binary form on a fresh stream.
template <class T>
std::string WriteRecord(T& record)
{
    File::cFileMemoryWrite stream;
    record.SerialiseBinary(stream);
    return std::string(reinterpret_cast<const char*>(stream.GetData()), size_t(stream.GetLength()));
}

// Reads a record from the bytes on a stream of the given name and file version
// (a bank file's name holds ".bnk"); whether it read and the bytes left.
struct cReadResult
{
    bool ok;
    int remaining;
    int legacyVersion;
};

class cNamedMemoryRead : public File::cFile
{
public:
    cNamedMemoryRead(const std::string& bytes, const char* name, int fileVersion)
        : cFile(nullptr, name, int(bytes.size()), File::kModeRead, 0), mBytes(bytes)
    {
        SetFileVersion(fileVersion);
    }
    int Read(void* buffer, int count) override
    {
        const int n = std::min(count, GetRemaining());
        if (n <= 0)
            return 0;
        std::memcpy(buffer, mBytes.data() + mPosition, size_t(n));
        mPosition += n;
        return n;
    }
    int Write(const void*, int) override { return 0; }
    int Seek(int offset, int origin) override
    {
        mPosition = origin == 0 ? offset : mPosition + offset;
        return mPosition;
    }
    int Tell() override { return mPosition; }
    int GetRemaining() override { return int(mBytes.size()) - mPosition; }
    bool Close(bool) override { return true; }

private:
    std::string mBytes;
    int mPosition = 0;
};

template <class T>
cReadResult ReadRecord(const std::string& bytes, T& record, const char* name = "MemoryRead", int fileVersion = 0)
{
    cNamedMemoryRead stream(bytes, name, fileVersion);
    const bool ok = record.SerialiseBinary(stream);
    return {ok, stream.GetRemaining(), stream.GetLegacyPatchVersion()};
}
