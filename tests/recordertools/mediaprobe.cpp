#include "mediaprobe.h"

#include "platform/base/process.h"
#include "platform/base/unicode.h"

#include "support/testfolder.h"

#include <fstream>
#include <sstream>

namespace {

int Run(const std::vector<std::string>& arguments) {
    std::vector<std::wstring> wide;
    for (const auto& argument : arguments)
        wide.push_back(WideFromUtf8(argument));
    int exitCode = -1;
    if (!RunProcessAndWait(wide, ProcessOutput::Hidden, exitCode))
        return -1;
    return exitCode;
}

} // namespace

std::optional<std::vector<ProbedStream>> ProbeStreams(const std::filesystem::path& file) {
    TestFolder folder;
    const auto report = folder / "probe.csv";
    if (Run({"ffprobe", "-v", "quiet", "-count_frames", "-show_entries",
             "stream=codec_type,codec_name,nb_read_frames", "-of", "csv=p=0:nk=0", "-o", report.string(),
             file.string()}) != 0)
        return std::nullopt;
    std::vector<ProbedStream> streams;
    std::ifstream text(report);
    for (std::string line; std::getline(text, line);) {
        ProbedStream stream;
        std::stringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');) {
            const size_t equals = field.find('=');
            const std::string key = field.substr(0, equals);
            const std::string value = equals == std::string::npos ? "" : field.substr(equals + 1);
            if (key == "codec_type")
                stream.type = value;
            else if (key == "codec_name")
                stream.codec = value;
            else if (key == "nb_read_frames" && !value.empty() && value != "N/A")
                stream.frames = std::stoi(value);
        }
        streams.push_back(stream);
    }
    return streams;
}

bool DecodesToTheEnd(const std::filesystem::path& file) {
    return Run({"ffmpeg", "-v", "error", "-xerror", "-i", file.string(), "-map", "0:v", "-map", "0:a?", "-f",
                "null", "-"}) == 0;
}

bool DecodesToTheEnd(const std::filesystem::path& file, const std::vector<int>& streams) {
    std::vector<std::string> arguments = {"ffmpeg", "-v", "error", "-xerror", "-i", file.string()};
    for (int stream : streams) {
        arguments.push_back("-map");
        arguments.push_back("0:" + std::to_string(stream));
    }
    for (const char* argument : {"-f", "null", "-"})
        arguments.push_back(argument);
    return Run(arguments) == 0;
}

bool HaveFfmpegTools() {
    return Run({"ffprobe", "-version"}) == 0 && Run({"ffmpeg", "-version"}) == 0;
}
