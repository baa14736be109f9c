// Encoding a 16-bit stereo 44100 Hz WAV to Ogg Vorbis, for the mixdown. The
// destination goes through safe writing: a failure or a cancel leaves no
// partial file and an earlier file of that name as it was.
#include "audio/WavFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vorbis/vorbisenc.h>

#include "audio/RiffReader.h"
#include "base/File.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"

namespace
{
// 16395 stereo frames, about 0.37 s: the encoder stays fed and the progress
// moves often enough for the overlay.
constexpr int kPieceBytes = 65580;
constexpr int kFrameBytes = 4;
constexpr uint32_t kEncodedRate = 44100;
constexpr float kSampleScale = 1.0f / 32768.0f;

// The encoder's state, cleared in reverse order of what was set up.
struct cVorbisEncoder
{
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    bool analysing = false;

    cVorbisEncoder()
    {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~cVorbisEncoder()
    {
        if (analysing)
        {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    cVorbisEncoder(const cVorbisEncoder&) = delete;
    cVorbisEncoder& operator=(const cVorbisEncoder&) = delete;

    // The bit rate is only a target: rate management off.
    bool Setup(int32_t nominalBitRate)
    {
        if (vorbis_encode_setup_managed(&info, 2, long(kEncodedRate), -1, nominalBitRate, -1) != 0 ||
            vorbis_encode_ctl(&info, OV_ECTL_RATEMANAGE2_SET, nullptr) != 0 || vorbis_encode_setup_init(&info) != 0)
            return false;
        vorbis_comment_add_tag(&comment, "ENCODER", "ConvertOgg");
        vorbis_analysis_init(&dsp, &info);
        vorbis_block_init(&dsp, &block);
        ogg_stream_init(&stream, std::rand());
        analysing = true;
        return true;
    }
};

bool WritePage(File::cFile& file, const ogg_page& page)
{
    return file.Write(page.header, int(page.header_len)) == int(page.header_len) &&
           file.Write(page.body, int(page.body_len)) == int(page.body_len);
}

// The three header packets, on pages of their own before any audio.
bool WriteHeaders(cVorbisEncoder& encoder, File::cFile& file)
{
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&encoder.dsp, &encoder.comment, &header, &comments, &codebooks);
    ogg_stream_packetin(&encoder.stream, &header);
    ogg_stream_packetin(&encoder.stream, &comments);
    ogg_stream_packetin(&encoder.stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&encoder.stream, &page) != 0)
        if (!WritePage(file, page))
            return false;
    return true;
}

void SubmitFrames(vorbis_dsp_state& dsp, const uint8_t* bytes, int frames)
{
    float** channels = vorbis_analysis_buffer(&dsp, frames);
    for (int i = 0; i < frames; ++i)
    {
        const uint8_t* frame = bytes + i * kFrameBytes;
        channels[0][i] = float(int16_t(uint16_t(frame[0] | frame[1] << 8))) * kSampleScale;
        channels[1][i] = float(int16_t(uint16_t(frame[2] | frame[3] << 8))) * kSampleScale;
    }
    vorbis_analysis_wrote(&dsp, frames);
}

// Writes every page the encoder has ready. -1 on a failed write, 1 once the
// end-of-stream page is written, else 0.
int WriteReadyPages(cVorbisEncoder& encoder, File::cFile& file)
{
    ogg_packet packet;
    ogg_page page;
    while (vorbis_analysis_blockout(&encoder.dsp, &encoder.block) == 1)
    {
        vorbis_analysis(&encoder.block, nullptr);
        vorbis_bitrate_addblock(&encoder.block);
        while (vorbis_bitrate_flushpacket(&encoder.dsp, &packet) != 0)
        {
            ogg_stream_packetin(&encoder.stream, &packet);
            while (ogg_stream_pageout(&encoder.stream, &page) != 0)
            {
                if (!WritePage(file, page))
                    return -1;
                if (ogg_page_eos(&page))
                    return 1;
            }
        }
    }
    return 0;
}

struct cDiscardOnExit
{
    void operator()(File::cFile* file) const
    {
        file->Close(true);
        delete file;
    }
};
using tDestination = std::unique_ptr<File::cFile, cDiscardOnExit>;
} // namespace

int32_t cWavFile::FailConversion(const char* error)
{
    mConversionError = error;
    Close();
    return kConvertFailed;
}

int32_t cWavFile::OpenForConversion(const char* source)
{
    mConversionError = "";
    if (!OpenRead(source))
        return FailConversion(mError);
    if (mFormatTag != kFormatPCM || !HasConsistentLayout())
        return FailConversion("Format incorrect - check that it is uncompressed PCM");
    if (mChannels != 1 && mChannels != 2)
        return FailConversion("Only mono and stereo files are supported");
    if (mSampleRate > 48000)
        return FailConversion("Only sample rates up to 48000 are supported");
    if (mBitsPerSample != 16)
        return FailConversion("Only 16 bit samples are supported");
    if (!Rewind())
        return FailConversion(mError);
    return kConvertDone;
}

int32_t cWavFile::ConvertToOggWithProgress(const char* source, const char* destination, int32_t nominalBitRate,
                                           const cDelegate& progress)
{
    mProgress = 0.0f;
    mProgressCallback = progress;
    File::cFileSystem* native = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Native") : nullptr;
    if (!native || !native->Exists(cGenString(source)))
        return kConvertFailed;
    return ConvertToOgg(source, destination, nominalBitRate);
}

int32_t cWavFile::ConvertToOgg(const char* source, const char* destination, int32_t nominalBitRate)
{
    if (OpenForConversion(source) != kConvertDone)
        return kConvertFailed;
    if (mReader->GetFile()->GetLength() <= 0)
        return FailConversion("");
    tDestination file(gFileSystemRegistry->OpenIn("Native", destination, File::kModeWrite,
                                                  File::kFlagSafeWrite | File::kFlagDropBackup));
    if (!file)
        return FailConversion("Can't open destination file");
    if (mChannels != 2 || mSampleRate != kEncodedRate)
        return FailConversion("File format not supported");
    bool cancelled = false;
    const int32_t result = Encode(*file, nominalBitRate, cancelled);
    if (result == kConvertCancelled)
        Close();
    if (result != kConvertDone)
        return result;
    File::cFile* written = file.release();
    const bool committed = written->Close(false);
    delete written;
    if (!committed)
        return FailConversion("Can't write destination file");
    Close();
    return kConvertDone;
}

// Reads the data chunk in pieces, encodes them and writes the pages.
int32_t cWavFile::Encode(File::cFile& destination, int32_t nominalBitRate, bool& cancelled)
{
    std::unique_ptr<uint8_t[]> piece(new (std::nothrow) uint8_t[kPieceBytes]());
    if (!piece)
        return FailConversion("Out of sample memory");
    cVorbisEncoder encoder;
    if (!encoder.Setup(nominalBitRate))
        return FailConversion("");
    if (!WriteHeaders(encoder, destination))
        return FailConversion("Can't write destination file");
    File::cFile* source = mReader->GetFile();
    uint32_t remaining = mDataSize;
    for (bool ended = false; !ended;)
    {
        const int wanted = int(std::min<uint32_t>(remaining, kPieceBytes));
        const int got = wanted > 0 ? std::max(source->Read(piece.get(), wanted), 0) : 0;
        if (got > 0)
        {
            SubmitFrames(encoder.dsp, piece.get(), got / kFrameBytes);
            remaining -= uint32_t(got);
            mProgress = mDataSize ? float(mDataSize - remaining) / float(mDataSize) : 1.0f;
            mProgressCallback.Invoke(mProgress, &cancelled);
        }
        else
        {
            vorbis_analysis_wrote(&encoder.dsp, 0);
            ended = true;
        }
        if (cancelled)
            return kConvertCancelled;
        const int written = WriteReadyPages(encoder, destination);
        if (written < 0)
            return FailConversion("Can't write destination file");
        if (written > 0)
            return kConvertDone;
    }
    // The end of the stream is marked; whatever the stream still holds goes out.
    ogg_page page;
    while (ogg_stream_flush(&encoder.stream, &page) != 0)
        if (!WritePage(destination, page))
            return FailConversion("Can't write destination file");
    return kConvertDone;
}
