// What the hyperlink label says when the shell cannot open its target.
#pragma once

#include <string>

// "Unable to open hyperlink:\n\n" followed by the reason for the shell's result code.
std::string HyperlinkErrorText(int result);
