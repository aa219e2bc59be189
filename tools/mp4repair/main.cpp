// The MP4/MOV repair program the viewer starts for a broken recording:
//   mp4repair -y -i <reference> -broken <broken> -broken_aac aac -codec copy <output>
//   mp4repair -y -i <reference> -broken <broken> -vcodec copy -acodec adpcm_ima_wav <output>
// It writes at the output a recording that holds the video and sound recovered from the broken
// file, laid out as the reference recording of the same recorder. Exit status 0 on success.
// The video is always copied. "-codec copy" (or "-acodec copy") keeps the sound in the
// reference's own coding, AAC or PCM; "-acodec adpcm_ima_wav" converts it, from PCM or AAC, to
// IMA ADPCM in the WAV block layout. Time the sound lost in a damaged stretch is kept in either
// case, so the sound after it stays in step with the video.

#include "tools/mp4repair/aacframecheck.h"
#include "tools/mp4repair/codeclibrary.h"
#include "tools/mp4repair/referencemovie.h"
#include "tools/mp4repair/repairedmovie.h"
#include "tools/mp4repair/samplescanner.h"
#include "tools/mp4repair/soundconverter.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace mp4repair;

enum Exit { kSuccess = 0, kUsage = 1, kReference = 2, kBroken = 3, kNothing = 4, kOutput = 5 };

class FileSource : public ByteSource {
  public:
    explicit FileSource(const std::string& path) : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        struct stat status {};
        if (m_fd >= 0 && fstat(m_fd, &status) == 0 && S_ISREG(status.st_mode))
            m_size = static_cast<uint64_t>(status.st_size);
        else
            Close();
    }
    ~FileSource() override { Close(); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Descriptor() const override { return m_fd; }
    uint64_t Size() const override { return m_size; }
    size_t Read(uint64_t offset, uint8_t* to, size_t count) override {
        size_t done = 0;
        while (done < count) {
            const ssize_t n = pread(m_fd, to + done, count - done, static_cast<off_t>(offset + done));
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        return done;
    }

  private:
    void Close() {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
    }
    int m_fd;
    uint64_t m_size = 0;
};

bool ReadWhole(const std::string& path, Bytes& bytes) {
    FileSource source(path);
    // A reference is one short recording; anything far larger is not one.
    if (!source.IsOpen() || source.Size() > (256u << 20))
        return false;
    bytes.resize(static_cast<size_t>(source.Size()));
    return source.Read(0, bytes.data(), bytes.size()) == bytes.size();
}

int Fail(Exit code, const char* what) {
    std::fprintf(stderr, "mp4repair: %s\n", what);
    return code;
}

} // namespace

int main(int argc, char** argv) {
    std::string referencePath;
    std::string brokenPath;
    std::string outputPath;
    bool overwrite = false;
    bool convertSound = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "-y") {
            overwrite = true;
        } else if (option == "-i" && hasValue) {
            referencePath = argv[++i];
        } else if (option == "-broken" && hasValue) {
            brokenPath = argv[++i];
        } else if (option == "-acodec" && hasValue) {
            const std::string codec = argv[++i];
            if (codec == "adpcm_ima_wav")
                convertSound = true;
            else if (codec != "copy")
                return Fail(kUsage, ("unknown sound codec " + codec).c_str());
        } else if ((option == "-broken_aac" || option == "-codec" || option == "-vcodec") && hasValue) {
            ++i;
        } else if (i == argc - 1 && option.rfind("-", 0) != 0) {
            outputPath = option;
        } else {
            return Fail(kUsage, ("unknown argument " + option).c_str());
        }
    }
    if (referencePath.empty() || brokenPath.empty() || outputPath.empty())
        return Fail(kUsage, "usage: mp4repair -y -i <reference> -broken <broken> [options] <output>");
    if (!overwrite && access(outputPath.c_str(), F_OK) == 0)
        return Fail(kOutput, "the output exists (give -y to overwrite it)");

    Bytes referenceFile;
    ReferenceMovie reference;
    if (!ReadWhole(referencePath, referenceFile) || !ReadReference(referenceFile, reference))
        return Fail(kReference, "the reference holds no H.264 or HEVC recording");
    FileSource broken(brokenPath);
    if (!broken.IsOpen())
        return Fail(kBroken, "the broken file cannot be read");

    const std::vector<BoxSpan> top = ListBoxes(broken, 0, broken.Size());
    uint64_t begin = 0;
    uint64_t end = broken.Size();
    size_t afterMedia = top.size();
    for (size_t i = 0; i < top.size(); ++i) {
        if (top[i].type == "mdat") {
            begin = top[i].offset + top[i].headerSize;
            end = top[i].offset + top[i].size;
            afterMedia = i + 1;
            break;
        }
    }
    // The recorder's boxes come after the media data; only whole ones are kept.
    std::vector<BoxSpan> recorderBoxes;
    for (size_t i = afterMedia; i < top.size(); ++i)
        if (!top[i].cut && top[i].type != "moov" && top[i].type != "mdat" && top[i].type != "ftyp")
            recorderBoxes.push_back(top[i]);

    ScanSettings settings;
    settings.codec = reference.codec;
    settings.nalLengthSize = reference.video->nalLengthSize;
    settings.sound = reference.soundKind;
    if (reference.sound)
        settings.pcmBlockAlign =
            static_cast<uint32_t>(std::max(1, reference.sound->channels * reference.sound->sampleBits / 8));
    // An AAC frame holds at most 6144 bits a channel.
    if (reference.soundKind == SoundKind::Aac)
        settings.largestSoundFrame =
            static_cast<uint32_t>(768 * std::max(1, std::min(8, reference.sound->channels)) + 16);
    // The copy line with PCM sound needs no codec at all.
    convertSound = convertSound && reference.sound;
    std::unique_ptr<CodecLibrary> codecs;
    if (reference.soundKind == SoundKind::Aac || convertSound)
        codecs = std::make_unique<CodecLibrary>();
    std::unique_ptr<AacFrameCheck> check;
    if (reference.soundKind == SoundKind::Aac)
        check = std::make_unique<AacFrameCheck>(*codecs, reference.sound->codecConfig);
    RepairedMovie output(broken, reference, begin, end, outputPath);
    const ScanResult scan = ScanMediaData(broken, begin, end, settings, check.get());
    if (check && !check->Ready())
        return Fail(kReference, "the reference's AAC configuration cannot be decoded");
    std::unique_ptr<SoundConverter> converter;
    if (convertSound) {
        converter = std::make_unique<SoundConverter>(*codecs, *reference.sound, reference.soundKind);
        if (!converter->Ready())
            return Fail(kReference, "the reference's sound cannot be converted to IMA ADPCM");
    }
    bool anyVideo = false;
    for (const Sample& sample : scan.samples)
        anyVideo = anyVideo || sample.video;
    if (!anyVideo)
        return Fail(kNothing, "no video was found in the broken file");
    if (!output.Finish(scan, recorderBoxes, converter.get()))
        return Fail(kOutput, "the output cannot be written");
    return kSuccess;
}
