// The effect picture library: picture names, listing with its pauses, thumbnails, copying in, deleting,
// and the index file.
#include "effects/EffectLibrary.h"
#include "effects/PictureListing.h"

#include "support/EventLoop.h"
#include "support/Files.h"
#include "support/TempHome.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

namespace {

std::string MakeFolder(const QTemporaryDir& dir, const std::string& name)
{
    QDir(dir.path()).mkpath(QString::fromStdString(name));
    return dir.filePath(QString::fromStdString(name)).toStdString();
}

}  // namespace

TEST(EffectLibrary, PictureNamesByTheirEnding)
{
    const struct {
        const char* name;
        bool picture;
    } cases[] = {
        {"A.GIF", true},  {"b.txt", false},  {"c.jpeg", true},  {"d.Png", true},     {"e.bmp", true},
        {"f.jpg", true},  {"Gif", true},     {"readme", false}, {"x.gif.bak", false}, {"photo.", false},
        {".png", true},   {"png", true},     {"", false},       {"a.tiff", false},   {"a.jp", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPictureFile(c.name), c.picture) << c.name;
}

TEST(EffectLibrary, CategoryFoldersAndPictureItems)
{
    EXPECT_EQ(EffectFolder(2), "Effect/cartoon");
    EXPECT_EQ(EffectFolder(4), "Effect/frame");
    EXPECT_EQ(EffectFolder(8), "Effect/other");
    EXPECT_EQ(EffectFolder(16), "Effect/light");
    EXPECT_EQ(EffectFolder(32), "Effect/SpecialEffectIcon");
    EXPECT_EQ(EffectFolder(128), "Effect/DoubleImage");
    EXPECT_EQ(EffectFolder(64), "");
    // Two pictures and the three trailing items.
    EXPECT_TRUE(IsPictureItem(0, 5));
    EXPECT_TRUE(IsPictureItem(1, 5));
    EXPECT_FALSE(IsPictureItem(2, 5));
    EXPECT_FALSE(IsPictureItem(4, 5));
    EXPECT_FALSE(IsPictureItem(-1, 5));
}

TEST(EffectLibrary, ListingKeepsPicturesAndPausesByEntries)
{
    QTemporaryDir dir;
    const std::string folder = MakeFolder(dir, "Effect/frame");
    WriteFileBytes(folder + "/A.GIF", "x");
    WriteFileBytes(folder + "/b.txt", "x");
    WriteFileBytes(folder + "/c.jpeg", "x");
    std::vector<int> pauses;
    auto names = ListPictureNames(folder, [&](int ms) { pauses.push_back(ms); });
    ASSERT_TRUE(names);
    std::sort(names->begin(), names->end());
    EXPECT_EQ(*names, (std::vector<std::string>{"A.GIF", "c.jpeg"}));
    EXPECT_TRUE(pauses.empty());

    // 45 entries with "." and "..": pauses after the 21st and the 41st.
    for (int i = 0; i < 40; ++i)
        WriteFileBytes(folder + "/f" + std::to_string(i) + ".dat", "");
    ASSERT_TRUE(ListPictureNames(folder, [&](int ms) { pauses.push_back(ms); }));
    EXPECT_EQ(pauses, (std::vector<int>{200, 200}));

    // 261 entries: the eight-bit counter starts again after 255, so the 261st entry makes no pause.
    for (int i = 40; i < 256; ++i)
        WriteFileBytes(folder + "/f" + std::to_string(i) + ".dat", "");
    pauses.clear();
    ASSERT_TRUE(ListPictureNames(folder, [&](int ms) { pauses.push_back(ms); }));
    EXPECT_EQ(pauses.size(), 12u);

    EXPECT_FALSE(ListPictureNames(dir.filePath("missing").toStdString(), [](int) {}));
}

TEST(EffectLibrary, ThumbnailsSampleWithoutSmoothing)
{
    const struct {
        int w, h;
    } sizes[] = {{120, 80}, {7, 5}, {600, 1}};
    for (const auto& size : sizes) {
        QImage source(size.w, size.h, QImage::Format_RGB32);
        for (int y = 0; y < size.h; ++y)
            for (int x = 0; x < size.w; ++x)
                source.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 50));
        const QImage thumbnail = MakeThumbnail(source);
        ASSERT_EQ(thumbnail.size(), QSize(60, 40));
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                ASSERT_EQ(thumbnail.pixel(x, y), source.pixel(x * size.w / 60, y * size.h / 40))
                    << size.w << "x" << size.h << " at " << x << "," << y;
    }
    EXPECT_TRUE(MakeThumbnail(QImage()).isNull());
}

TEST(EffectLibrary, ListedPicturesCarryThumbnails)
{
    QTemporaryDir dir;
    const std::string folder = MakeFolder(dir, "Effect/light");
    QImage red(32, 32, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QString::fromStdString(folder + "/red.png")));
    WriteFileBytes(folder + "/broken.jpg", "not a picture");
    auto items = ListPictures(folder, [](int) {});
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 2u);
    for (const PictureItem& item : *items) {
        if (item.Name == "red.png")
            EXPECT_EQ(item.Thumbnail.pixel(30, 20), qRgb(255, 0, 0));
        else
            EXPECT_TRUE(item.Thumbnail.isNull()) << item.Name;
    }
}

TEST(EffectLibrary, CopyingInOverwritesAndDeletingStaysInTheFolder)
{
    QTemporaryDir dir;
    const std::string folder = MakeFolder(dir, "Effect/other");
    const std::string source = MakeFolder(dir, "mine") + "/pendant.png";
    WriteFileBytes(source, "new");
    WriteFileBytes(folder + "/pendant.png", "old");
    EXPECT_EQ(PictureTarget(source, folder), folder + "/pendant.png");
    ASSERT_TRUE(CopyPictureIn(source, folder));
    EXPECT_EQ(ReadFileBytes(folder + "/pendant.png"), "new");
    EXPECT_FALSE(CopyPictureIn(folder + "/pendant.png", folder)) << "onto itself";
    EXPECT_EQ(ReadFileBytes(folder + "/pendant.png"), "new");
    EXPECT_FALSE(CopyPictureIn(dir.filePath("nothing.png").toStdString(), folder));

    WriteFileBytes(dir.filePath("outside.png").toStdString(), "keep");
    for (const char* name : {"../outside.png", "..", ".", "", "sub/x.png"})
        EXPECT_FALSE(DeletePicture(folder, name)) << name;
    EXPECT_TRUE(std::filesystem::exists(dir.filePath("outside.png").toStdString()));
    EXPECT_TRUE(DeletePicture(folder, "pendant.png"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/pendant.png"));
    EXPECT_FALSE(DeletePicture(folder, "pendant.png"));
}

TEST(EffectLibrary, IndexFileTables)
{
    TempHome home;
    WriteFileBytes(home.File("Img_Config.xml"),
                   "<Root><Frame><i ImgName='gold.gif' BackGround='3'/><i ImgName='wood.gif' BackGround='x9'/>"
                   "<i ImgName='gold.gif' BackGround='12abc'/></Frame>"
                   "<Cartoon><a ImgName='snow.gif' BackGround='-1'/></Cartoon><Other/>"
                   "<DoubleImage><m ImgName='heart.jpg' BackGround='0'/></DoubleImage>"
                   "<Frame><i ImgName='second.gif' BackGround='1'/></Frame></Root>");
    const EffectIndex index = LoadEffectIndex();
    const auto& frame = index.Tables[1];
    EXPECT_EQ(frame.size(), 2u) << "only the first Frame element counts";
    EXPECT_EQ(frame.at("gold.gif"), 12);
    EXPECT_EQ(frame.at("wood.gif"), 0);
    EXPECT_EQ(index.Tables[0].at("snow.gif"), -1);
    EXPECT_TRUE(index.Tables[2].empty());
    EXPECT_TRUE(index.Tables[3].empty());
    EXPECT_EQ(index.Tables[5].at("heart.jpg"), 0);

    for (const char* bad : {"", "<Root><Frame>", "plain text"}) {
        WriteFileBytes(home.File("Img_Config.xml"), bad);
        const EffectIndex empty = LoadEffectIndex();
        for (const auto& table : empty.Tables)
            EXPECT_TRUE(table.empty()) << bad;
    }
}

namespace {

// Collects what a listing hands over, with the threads everything ran on.
struct ListingRecord {
    std::vector<std::string> names;
    std::vector<bool> thumbnails;
    std::vector<int> pauses;
    std::vector<std::thread::id> pauseThreads;
    std::vector<bool> finishes;
    bool itemsOnCallerThread = true;

    CPictureListing Make()
    {
        const std::thread::id caller = std::this_thread::get_id();
        return CPictureListing(
            [this, caller](const PictureItem& item) {
                names.push_back(item.Name);
                thumbnails.push_back(!item.Thumbnail.isNull());
                itemsOnCallerThread = itemsOnCallerThread && std::this_thread::get_id() == caller;
            },
            [this](bool listed) { finishes.push_back(listed); },
            [this](int ms) {
                pauses.push_back(ms);
                pauseThreads.push_back(std::this_thread::get_id());
            });
    }
};

}  // namespace

TEST(PictureListing, HandsOverEachPictureOnTheCallersThreadAndPausesElsewhere)
{
    QTemporaryDir dir;
    const std::string folder = MakeFolder(dir, "Effect/cartoon");
    QImage blue(80, 60, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(blue.save(QString::fromStdString(folder + "/p" + std::to_string(i) + ".png")));
    WriteFileBytes(folder + "/broken.gif", "GIF89a but no more");
    WriteFileBytes(folder + "/readme", "");
    WriteFileBytes(folder + "/Gif", "");

    ListingRecord record;
    CPictureListing listing = record.Make();
    listing.Start(folder);
    EXPECT_TRUE(listing.Running());
    ASSERT_TRUE(ProcessEventsUntil([&] { return !record.finishes.empty(); }));
    EXPECT_FALSE(listing.Running());
    EXPECT_EQ(record.finishes, (std::vector<bool>{true}));

    // The same pictures in the same order as the plain listing, each with its thumbnail but the two
    // that cannot be decoded; the same pauses (65 entries), none on the caller's thread.
    std::vector<int> plainPauses;
    EXPECT_EQ(record.names, *ListPictureNames(folder, [&](int ms) { plainPauses.push_back(ms); }));
    EXPECT_EQ(record.pauses, plainPauses);
    EXPECT_EQ(record.pauses, (std::vector<int>{200, 200, 200}));
    for (std::thread::id id : record.pauseThreads)
        EXPECT_NE(id, std::this_thread::get_id());
    EXPECT_TRUE(record.itemsOnCallerThread);
    for (size_t i = 0; i < record.names.size(); ++i)
        EXPECT_EQ(record.thumbnails[i], record.names[i] != "broken.gif" && record.names[i] != "Gif")
            << record.names[i];
}

TEST(PictureListing, ARestartHandsOverOnlyTheNewFolder)
{
    QTemporaryDir dir;
    const std::string first = MakeFolder(dir, "first"), second = MakeFolder(dir, "second");
    for (int i = 0; i < 40; ++i)
        WriteFileBytes(first + "/old" + std::to_string(i) + ".bmp", "");
    WriteFileBytes(second + "/new.bmp", "");
    const std::string empty = MakeFolder(dir, "empty");

    ListingRecord record;
    CPictureListing listing = record.Make();
    listing.Start(first);
    listing.Start(second);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !record.finishes.empty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(record.names, (std::vector<std::string>{"new.bmp"}));
    EXPECT_EQ(record.finishes, (std::vector<bool>{true}));

    // A missing folder and one that holds nothing both end unlisted.
    for (const std::string& folder : {dir.filePath("missing").toStdString(), empty}) {
        record.finishes.clear();
        listing.Start(folder);
        ASSERT_TRUE(ProcessEventsUntil([&] { return !record.finishes.empty(); }));
        EXPECT_EQ(record.finishes, (std::vector<bool>{false})) << folder;
    }

    // Stopped: nothing more arrives.
    record.finishes.clear();
    listing.Start(first);
    listing.Stop();
    QCoreApplication::processEvents();
    EXPECT_TRUE(record.finishes.empty());
    EXPECT_FALSE(listing.Running());
}
