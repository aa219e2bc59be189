#pragma once
// What FFmpeg's own programs make of a file: ffprobe's streams with every frame decoded, and
// whether ffmpeg decodes the whole file without an error. Both run as child processes.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct ProbedStream {
    std::string type;  // video, audio, subtitle, data
    std::string codec; // empty when FFmpeg has no name for it
    int frames = -1;   // decoded frames; -1 when not counted
};

// Empty when ffprobe refuses the file.
std::optional<std::vector<ProbedStream>> ProbeStreams(const std::filesystem::path& file);

// ffmpeg reads and decodes every stream to the end, stopping at the first error.
bool DecodesToTheEnd(const std::filesystem::path& file);

// The same for the given streams only: FFmpeg guesses the codec of a recorder's text stream from
// its records and may take it for MPEG audio, which then fails to decode.
bool DecodesToTheEnd(const std::filesystem::path& file, const std::vector<int>& streams);

// Whether ffprobe and ffmpeg can be run here.
bool HaveFfmpegTools();
