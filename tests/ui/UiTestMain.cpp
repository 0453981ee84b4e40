// Widget tests need one QApplication for the whole program.
#include "ui/SkinWebView.h"

#include <QApplication>

#include <gtest/gtest.h>

// Qt WebEngine's Chromium deletes some of its objects through pointers of another size; that mismatch
// is the library's own and would end every test that closes a web view.
extern "C" const char* __asan_default_options()
{
    return "new_delete_type_mismatch=0";
}

int main(int argc, char** argv)
{
    // Test discovery runs the program outside ctest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareWebEngine();
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
