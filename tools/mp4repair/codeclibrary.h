#pragma once
// FFmpeg's codec library, loaded on a thread of its own while the program does other work: it
// pulls in about a hundred libraries, whose loading costs more than scanning a minute's recording.
// Whoever needs a codec (the AAC frame check, a sound encoder) waits for it and calls through the
// functions below; add one here when a new use needs it.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
#include <libavutil/samplefmt.h>
}

#include <thread>

namespace mp4repair {

struct CodecFunctions {
    decltype(&::avcodec_find_decoder) findDecoder = nullptr;
    decltype(&::avcodec_alloc_context3) allocContext = nullptr;
    decltype(&::avcodec_open2) open = nullptr;
    decltype(&::avcodec_free_context) freeContext = nullptr;
    decltype(&::avcodec_flush_buffers) flushBuffers = nullptr;
    decltype(&::avcodec_send_packet) sendPacket = nullptr;
    decltype(&::avcodec_receive_frame) receiveFrame = nullptr;
    decltype(&::av_packet_alloc) packetAlloc = nullptr;
    decltype(&::av_packet_free) packetFree = nullptr;
    decltype(&::av_frame_alloc) frameAlloc = nullptr;
    decltype(&::av_frame_free) frameFree = nullptr;
    decltype(&::av_frame_unref) frameUnref = nullptr;
    decltype(&::av_mallocz) mallocz = nullptr;
    // The sound conversion's encoder, and the packets and frames it fills.
    decltype(&::avcodec_find_encoder) findEncoder = nullptr;
    decltype(&::avcodec_send_frame) sendFrame = nullptr;
    decltype(&::avcodec_receive_packet) receivePacket = nullptr;
    decltype(&::av_new_packet) newPacket = nullptr;
    decltype(&::av_packet_unref) packetUnref = nullptr;
    decltype(&::av_frame_get_buffer) frameGetBuffer = nullptr;
    decltype(&::av_channel_layout_default) channelLayoutDefault = nullptr;
    decltype(&::av_channel_layout_copy) channelLayoutCopy = nullptr;
    decltype(&::av_sample_fmt_is_planar) sampleFormatIsPlanar = nullptr;
    decltype(&::av_get_packed_sample_fmt) packedSampleFormat = nullptr;
};

class CodecLibrary {
  public:
    // Starts loading at once.
    CodecLibrary();
    ~CodecLibrary();
    CodecLibrary(const CodecLibrary&) = delete;
    CodecLibrary& operator=(const CodecLibrary&) = delete;

    // Waits for the load; null when the library or one of its functions is missing.
    const CodecFunctions* Functions();

  private:
    void Load();

    CodecFunctions m_functions;
    bool m_loaded = false;
    // Last: it starts at once and fills in the members above.
    std::thread m_loader;
};

} // namespace mp4repair
