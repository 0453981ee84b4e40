// The frame area is the user's own: where it lives, what may stand under its name, and a reader that
// survives an area cut short under it.
#include "zendracam/CameraTypes.h"
#include "zendracam/FrameArea.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zendracam;

namespace {

std::vector<uint8_t> Pattern(int seed)
{
    std::vector<uint8_t> frame(kFrameBytes);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i * 7 + seed);
    return frame;
}

std::string FileBytes(const std::string& path)
{
    std::string bytes;
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return "<none>";
    char block[4096];
    for (ssize_t n; (n = read(fd, block, sizeof block)) > 0;)
        bytes.append(block, size_t(n));
    close(fd);
    return bytes;
}

// The bytes of a frame area as a writer leaves it, made at `scratch` and removed again.
std::string AreaBytes(const std::string& scratch)
{
    CFrameAreaWriter writer;
    EXPECT_TRUE(writer.Create(scratch));
    writer.Publish(Pattern(3).data());
    const std::string bytes = FileBytes(scratch);
    writer.Close();
    return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes, mode_t mode)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    ASSERT_EQ(fchmod(fd, mode), 0);
    close(fd);
}

class FrameArea : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(FrameArea, IsAPrivateFileOfTheUser)
{
    CFrameAreaWriter writer;
    ASSERT_TRUE(writer.Create(Path("area")));
    struct stat info {};
    ASSERT_EQ(lstat(Path("area").c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(info.st_uid, geteuid());
    EXPECT_EQ(size_t(info.st_size), sizeof(FrameAreaHeader) + kFrameBytes);
    writer.Close();
    EXPECT_NE(lstat(Path("area").c_str(), &info), 0);
}

TEST_F(FrameArea, LivesInTheUsersRuntimeFolderOrUnderTheUsersOwnName)
{
    const QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
    const std::string perUser = "/dev/shm/ZENDRA Capture-" + std::to_string(geteuid());
    QTemporaryDir shared;
    ASSERT_EQ(chmod(shared.path().toUtf8().constData(), 0755), 0);
    const struct {
        std::string runtime;  // empty: unset
        std::string expected;
    } cases[] = {
        {dir.path().toStdString(), Path("ZENDRA Capture")},
        {"", perUser},
        {"relative/run", perUser},
        {"/no/such/folder", perUser},
        {shared.path().toStdString(), perUser},  // others may look in there
    };
    for (const auto& c : cases) {
        if (!c.runtime.empty())
            qputenv("XDG_RUNTIME_DIR", c.runtime.c_str());
        else
            qunsetenv("XDG_RUNTIME_DIR");
        EXPECT_EQ(DefaultFrameAreaPath(), c.expected) << c.runtime;
    }
    if (previous.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", previous);
}

TEST_F(FrameArea, WhatIsNotOurOwnAreaIsNeitherUsedNorRemoved)
{
    const std::string area = AreaBytes(Path("scratch"));
    const struct {
        const char* what;
        std::function<void(const std::string&)> make;
        bool readerTakes;
        bool writerTakesOver;  // a stale area of our own is replaced
    } cases[] = {
        {"a stale area of ours", [&](const std::string& p) { WriteFile(p, area, 0600); }, true, true},
        {"a stale area of ours others could read", [&](const std::string& p) { WriteFile(p, area, 0644); }, false, true},
        {"another file of ours", [](const std::string& p) { WriteFile(p, "notes, not a frame area", 0600); }, false, false},
        {"a file of ours as long as an area",
         [&](const std::string& p) { WriteFile(p, std::string(area.size(), 'x'), 0600); }, false, false},
        {"a link to an area of ours",
         [&](const std::string& p) {
             WriteFile(p + ".target", area, 0600);
             ASSERT_EQ(symlink((p + ".target").c_str(), p.c_str()), 0);
         },
         false, false},
        {"a folder", [](const std::string& p) { ASSERT_EQ(mkdir(p.c_str(), 0700), 0); }, false, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string path = Path("case") + std::to_string(n++);
        c.make(path);
        CFrameAreaReader reader;
        EXPECT_EQ(reader.Open(path), c.readerTakes) << c.what;
        const std::string before = FileBytes(path);
        CFrameAreaWriter writer;
        EXPECT_EQ(writer.Create(path), c.writerTakesOver) << c.what;
        if (!c.writerTakesOver) {
            EXPECT_EQ(FileBytes(path), before) << c.what;
            continue;
        }
        struct stat info {};
        ASSERT_EQ(lstat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0600u) << c.what;
        writer.Publish(Pattern(8).data());
        ASSERT_TRUE(reader.Open(path)) << c.what;
        std::vector<uint8_t> frame(kFrameBytes);
        uint32_t sequence = 0;
        ASSERT_TRUE(reader.ReadNewer(frame.data(), sequence)) << c.what;
        EXPECT_EQ(frame, Pattern(8)) << c.what;
    }
}

TEST_F(FrameArea, AnAreaOfAnotherUserIsRefused)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can make a file that belongs to another user";
    const std::string path = Path("theirs");
    WriteFile(path, AreaBytes(Path("scratch")), 0600);
    ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    CFrameAreaReader reader;
    EXPECT_FALSE(reader.Open(path));
    CFrameAreaWriter writer;
    EXPECT_FALSE(writer.Create(path));
    struct stat info {};
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
}

TEST_F(FrameArea, ANewWriterOnTheSameNameKeepsItsAreaWhenTheOldOneCloses)
{
    CFrameAreaWriter old, current;
    ASSERT_TRUE(old.Create(Path("area")));
    ASSERT_TRUE(current.Create(Path("area")));  // the old one's area is stale by now
    old.Close();
    current.Publish(Pattern(1).data());
    CFrameAreaReader reader;
    ASSERT_TRUE(reader.Open(Path("area")));
    std::vector<uint8_t> frame(kFrameBytes);
    uint32_t sequence = 0;
    ASSERT_TRUE(reader.ReadNewer(frame.data(), sequence));
    EXPECT_EQ(frame, Pattern(1));
}

TEST_F(FrameArea, AnAreaCutShortUnderTheReaderDoesNotKillIt)
{
    CFrameAreaWriter writer;
    ASSERT_TRUE(writer.Create(Path("area")));
    writer.Publish(Pattern(2).data());
    CFrameAreaReader reader;
    ASSERT_TRUE(reader.Open(Path("area")));
    std::vector<uint8_t> frame(kFrameBytes);
    for (const off_t size : {off_t(kFrameBytes / 2), off_t(40), off_t(0)}) {
        ASSERT_EQ(truncate(Path("area").c_str(), size), 0);
        uint32_t sequence = 0;
        EXPECT_FALSE(reader.ReadNewer(frame.data(), sequence)) << size;
    }
    // A reader opening it now refuses it.
    CFrameAreaReader late;
    EXPECT_FALSE(late.Open(Path("area")));
}
