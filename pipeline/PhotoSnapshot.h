#pragma once
// Photos of the output: the next frame through the pipeline saved as a JPEG named after the local time.
#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

// Set by the photo button; cleared by the frame path once the photo is saved.
extern std::atomic<bool> PhotoRequested;
// Full path of the most recent photo.
extern std::string LastPhotoPath;

// The wall clock photo names come from; an empty function restores the real one.
void SetPhotoClock(std::function<std::time_t()> clock);

// "%Y%m%d%H%M%S" of the local time plus ".jpg"; just ".jpg" when the time cannot be converted.
std::string PhotoFileName(std::time_t when);

// Saves a bottom-up BGR frame as MyPhotoPath + "/" + PhotoFileName(now), at the encoder's default
// quality, and makes that the last photo path. False when the file could not be written.
bool SavePhoto(const uint8_t* bits, int width, int height);
