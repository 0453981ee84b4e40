#pragma once
// A small skin written at test time into a temporary folder, and the shipped skin.
#include "ui/Skin.h"

#include <QColor>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

class SkinFixture {
public:
    // Writes `windows` (the <window> elements) as a skin file; returns its path.
    std::string Write(const std::string& windows, const std::string& style = "")
    {
        const std::string path = dir_.path().toStdString() + "/the.ui";
        std::ofstream(path) << "<skin><style><![CDATA[" << style << "]]></style>" << windows << "</skin>";
        return path;
    }
    // A picture of the given size filled with `fill`, its top-left pixel `corner`.
    void Picture(const std::string& name, int w, int h, QColor fill, QColor corner)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(fill);
        image.setPixelColor(0, 0, corner);
        image.save(QString::fromStdString(Folder() + "/" + name));
    }
    std::string Folder() const { return dir_.path().toStdString(); }

private:
    QTemporaryDir dir_;
};

// The skin the program ships, as the process-wide skin, for tests of the program's own windows.
class ShippedSkinTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetUiSkinFile(KORVEL_SOURCE_DIR "/assets/Skins/Korvel/the.ui")); }
    void TearDown() override { ReleaseUiSkin(); }
};
