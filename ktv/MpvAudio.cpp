#include "ktv/MpvAudio.h"

#include "diag/ThreadSignalStack.h"

#include <mpv/client.h>

#include <cstring>

CMpvAudio::CMpvAudio(EndHandler onEnd) : onEnd_(std::move(onEnd))
{
    mpv_ = mpv_create();
    if (!mpv_)
        return;
    const char* const options[][2] = {
        {"config", "no"},        {"terminal", "no"},      {"input-default-bindings", "no"},
        {"load-scripts", "no"},  {"ytdl", "no"},          {"vid", "no"},
        {"audio-display", "no"}, {"idle", "yes"},         {"ao", "pulse,alsa,null"},
        {"keep-open", "no"},
    };
    for (const auto& option : options)
        mpv_set_option_string(mpv_, option[0], option[1]);
    if (mpv_initialize(mpv_) < 0) {
        mpv_terminate_destroy(mpv_);
        mpv_ = nullptr;
        return;
    }
    events_ = std::thread([this] {
        UseOwnSignalStack();
        EventLoop();
    });
}

CMpvAudio::~CMpvAudio()
{
    if (!mpv_)
        return;
    quit_ = true;
    mpv_wakeup(mpv_);
    events_.join();
    mpv_terminate_destroy(mpv_);
}

void CMpvAudio::EventLoop()
{
    while (!quit_) {
        const mpv_event* event = mpv_wait_event(mpv_, -1);
        if (event->event_id == MPV_EVENT_SHUTDOWN)
            break;
        if (event->event_id == MPV_EVENT_START_FILE) {
            startingEntry_ = static_cast<const mpv_event_start_file*>(event->data)->playlist_entry_id;
            continue;
        }
        if (event->event_id == MPV_EVENT_FILE_LOADED) {
            loadedEntry_ = startingEntry_;
            continue;
        }
        if (event->event_id != MPV_EVENT_END_FILE)
            continue;
        const auto* end = static_cast<const mpv_event_end_file*>(event->data);
        if (end->playlist_entry_id == loadedEntry_)
            loadedEntry_ = 0;
        const bool byItself = end->reason == MPV_END_FILE_REASON_EOF || end->reason == MPV_END_FILE_REASON_ERROR;
        // An older file ending after a newer one was loaded is no news.
        if (byItself && end->playlist_entry_id >= currentEntry_ && onEnd_)
            onEnd_(end->reason == MPV_END_FILE_REASON_ERROR);
    }
}

bool CMpvAudio::Load(const std::string& path)
{
    if (!mpv_ || path.empty())
        return false;
    mpv_node args{};
    mpv_node items[3];
    const char* words[] = {"loadfile", path.c_str(), "replace"};
    for (int i = 0; i < 3; ++i) {
        items[i].format = MPV_FORMAT_STRING;
        items[i].u.string = const_cast<char*>(words[i]);
    }
    mpv_node_list list{3, items, nullptr};
    args.format = MPV_FORMAT_NODE_ARRAY;
    args.u.list = &list;
    SetPause(false);
    // Each file starts on its own first audio track.
    SetString("aid", "auto");
    // Entries are numbered from 1 in the order they are loaded; the number is known before the file
    // can end, so its end is never mistaken for an older file's.
    currentEntry_ = ++loads_;
    mpv_node result{};
    if (mpv_command_node(mpv_, &args, &result) < 0)
        return false;
    int64_t entry = currentEntry_;
    if (result.format == MPV_FORMAT_NODE_MAP) {
        for (int i = 0; i < result.u.list->num; ++i) {
            if (std::strcmp(result.u.list->keys[i], "playlist_entry_id") == 0
                && result.u.list->values[i].format == MPV_FORMAT_INT64)
                entry = result.u.list->values[i].u.int64;
        }
    }
    currentEntry_ = entry;
    mpv_free_node_contents(&result);
    return true;
}

void CMpvAudio::Stop()
{
    if (!mpv_)
        return;
    // Whatever ends from now on was stopped, not ended.
    currentEntry_ = INT64_MAX;
    const char* args[] = {"stop", nullptr};
    mpv_command(mpv_, args);
}

void CMpvAudio::SetPause(bool pause)
{
    int flag = pause ? 1 : 0;
    if (mpv_)
        mpv_set_property(mpv_, "pause", MPV_FORMAT_FLAG, &flag);
}

bool CMpvAudio::HasFile() const
{
    const int64_t loaded = loadedEntry_;
    return loaded != 0 && loaded == currentEntry_;
}

bool CMpvAudio::GetDouble(const char* name, double& value) const
{
    return mpv_ && mpv_get_property(mpv_, name, MPV_FORMAT_DOUBLE, &value) >= 0;
}

bool CMpvAudio::GetInt(const char* name, int64_t& value) const
{
    return mpv_ && mpv_get_property(mpv_, name, MPV_FORMAT_INT64, &value) >= 0;
}

std::string CMpvAudio::GetString(const char* name) const
{
    if (!mpv_)
        return {};
    char* text = mpv_get_property_string(mpv_, name);
    if (!text)
        return {};
    std::string value(text);
    mpv_free(text);
    return value;
}

bool CMpvAudio::SetDouble(const char* name, double value)
{
    return mpv_ && mpv_set_property(mpv_, name, MPV_FORMAT_DOUBLE, &value) >= 0;
}

bool CMpvAudio::SetInt(const char* name, int64_t value)
{
    return mpv_ && mpv_set_property(mpv_, name, MPV_FORMAT_INT64, &value) >= 0;
}

bool CMpvAudio::SetString(const char* name, const std::string& value)
{
    return mpv_ && mpv_set_property_string(mpv_, name, value.c_str()) >= 0;
}

int CMpvAudio::AudioTrackCount() const
{
    int64_t tracks = 0;
    if (!GetInt("track-list/count", tracks))
        return 0;
    int audio = 0;
    for (int64_t i = 0; i < tracks; ++i) {
        const std::string key = "track-list/" + std::to_string(i) + "/type";
        if (GetString(key.c_str()) == "audio")
            ++audio;
    }
    return audio;
}
