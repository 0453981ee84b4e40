// Every test of this program runs inside one GUI application, as the program's frame thread does: fonts
// and text need it, and Qt's per-thread data then belongs to it rather than to threads it adopts.
#include "GuiApp.h"

#include <gtest/gtest.h>

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override { EnsureGuiApplication(); }
};

const ::testing::Environment* const guiEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
