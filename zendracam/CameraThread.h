#pragma once
// Every thread of the camera library starts here, so that what each of them needs before its work
// begins is done in one place.
#include <functional>
#include <thread>

namespace zendracam {

// Runs `body` on a new thread named `name` (at most 15 characters, as the system shows it).
std::thread StartCameraThread(const char* name, std::function<void()> body);

}  // namespace zendracam
