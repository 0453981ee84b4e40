#pragma once
// The platform's plain message box for the few technical failures ("Memory erro!",
// "Audio can not be open!"). Headless it is a line on standard error; a windowed front end installs a
// real box (with the exclamation beep) through SetPlainMessageHandler.
#include <functional>
#include <string>

using PlainMessageHandler = std::function<void(const std::string& text)>;

void ShowPlainMessage(const std::string& text);

// Replaces the handler and returns the previous one; an empty handler restores the standard-error line.
PlainMessageHandler SetPlainMessageHandler(PlainMessageHandler handler);
