#include "tools/mp4repair/codeclibrary.h"

#include <dlfcn.h>
#include <string>

namespace mp4repair {

namespace {

template <typename Function> bool Resolve(void* handle, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    return function != nullptr;
}

} // namespace

CodecLibrary::CodecLibrary() : m_loader([this] { Load(); }) {}

CodecLibrary::~CodecLibrary() {
    if (m_loader.joinable())
        m_loader.join();
    // The library stays loaded: FFmpeg registers nothing it would have to undo, and unloading a
    // hundred libraries at exit only costs time.
}

const CodecFunctions* CodecLibrary::Functions() {
    if (m_loader.joinable())
        m_loader.join();
    return m_loaded ? &m_functions : nullptr;
}

void CodecLibrary::Load() {
    // The version the headers describe, never another one.
    const std::string name = "libavcodec.so." + std::to_string(LIBAVCODEC_VERSION_MAJOR);
    void* const handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return;
    // libavutil's functions are found through it too: dlsym searches the libraries it needs.
    CodecFunctions& f = m_functions;
    decltype(&::av_log_set_level) setLogLevel = nullptr;
    m_loaded =
        Resolve(handle, "avcodec_find_decoder", f.findDecoder) &&
        Resolve(handle, "avcodec_alloc_context3", f.allocContext) &&
        Resolve(handle, "avcodec_open2", f.open) && Resolve(handle, "avcodec_free_context", f.freeContext) &&
        Resolve(handle, "avcodec_flush_buffers", f.flushBuffers) &&
        Resolve(handle, "avcodec_send_packet", f.sendPacket) &&
        Resolve(handle, "avcodec_receive_frame", f.receiveFrame) &&
        Resolve(handle, "av_packet_alloc", f.packetAlloc) &&
        Resolve(handle, "av_packet_free", f.packetFree) && Resolve(handle, "av_frame_alloc", f.frameAlloc) &&
        Resolve(handle, "av_frame_free", f.frameFree) && Resolve(handle, "av_frame_unref", f.frameUnref) &&
        Resolve(handle, "av_mallocz", f.mallocz) && Resolve(handle, "avcodec_find_encoder", f.findEncoder) &&
        Resolve(handle, "avcodec_send_frame", f.sendFrame) &&
        Resolve(handle, "avcodec_receive_packet", f.receivePacket) &&
        Resolve(handle, "av_new_packet", f.newPacket) && Resolve(handle, "av_packet_unref", f.packetUnref) &&
        Resolve(handle, "av_frame_get_buffer", f.frameGetBuffer) &&
        Resolve(handle, "av_channel_layout_default", f.channelLayoutDefault) &&
        Resolve(handle, "av_channel_layout_copy", f.channelLayoutCopy) &&
        Resolve(handle, "av_sample_fmt_is_planar", f.sampleFormatIsPlanar) &&
        Resolve(handle, "av_get_packed_sample_fmt", f.packedSampleFormat) &&
        Resolve(handle, "av_log_set_level", setLogLevel);
    // Damaged bytes are decoded on purpose; the decoder's complaints about them are noise.
    if (m_loaded)
        setLogLevel(AV_LOG_QUIET);
}

} // namespace mp4repair
