#pragma once
// ffprobe and ffmpeg run on files the tests made.
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

inline std::string RunCommand(const std::string& command, int* status = nullptr)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        const int rc = pclose(pipe);
        if (status)
            *status = rc;
    }
    return out;
}

// One map of key=value lines per stream, in stream order, plus the format's entries under "format".
struct ProbeResult {
    int status = -1;
    std::string formatName;
    double duration = 0;
    std::vector<std::map<std::string, std::string>> streams;
};

inline ProbeResult Probe(const std::string& path)
{
    ProbeResult result;
    const std::string out = RunCommand("ffprobe -v error -show_entries "
                                       "stream=codec_name,width,height,sample_rate,channels:format=format_name,"
                                       "duration -of default=nw=0 '" + path + "' 2>/dev/null",
                                       &result.status);
    std::istringstream lines(out);
    std::string line;
    std::map<std::string, std::string>* current = nullptr;
    std::map<std::string, std::string> format;
    while (std::getline(lines, line)) {
        if (line == "[STREAM]") {
            result.streams.emplace_back();
            current = &result.streams.back();
        } else if (line == "[FORMAT]") {
            current = &format;
        } else if (const auto eq = line.find('='); eq != std::string::npos && current) {
            (*current)[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    result.formatName = format["format_name"];
    if (!format["duration"].empty() && format["duration"] != "N/A")
        result.duration = std::stod(format["duration"]);
    return result;
}

// Presentation times in seconds of the packets of one stream ("v:0", "a:0").
inline std::vector<double> PacketTimes(const std::string& path, const std::string& stream)
{
    std::vector<double> times;
    std::istringstream lines(RunCommand("ffprobe -v error -select_streams " + stream +
                                        " -show_entries packet=pts_time -of csv=p=0 '" + path + "' 2>/dev/null"));
    std::string line;
    while (std::getline(lines, line))
        if (!line.empty() && line != "N/A")
            times.push_back(std::stod(line));
    return times;
}
