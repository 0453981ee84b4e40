#include "pipeline/PictureFolderScan.h"

#include "diag/ThreadSignalStack.h"
#include "effects/EffectLibrary.h"
#include "pipeline/SourceLists.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace {

// The picture files of the folder in name order; false when the folder cannot be read.
bool PictureNames(const std::string& folder, std::vector<std::string>& names)
{
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error)
        return false;
    for (const auto& entry : entries) {
        std::error_code kindError;
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(kindError) && IsPictureFile(name))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), NaturalLess);
    return true;
}

}  // namespace

QImage WhiteThumbnail(const std::string& path, int width, int height)
{
    QImage thumbnail(width, height, QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    QImageReader reader(QFile::decodeName(path.c_str()));
    const QSize full = reader.size();
    // Large pictures are decoded straight at the small size where the format allows it.
    if (full.isValid() && !full.isEmpty())
        reader.setScaledSize(full.scaled(width, height, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage picture = reader.read();
    if (picture.isNull())
        return thumbnail;
    if (picture.width() > width || picture.height() > height)
        picture = picture.scaled(width, height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&thumbnail);
    painter.drawImage((width - picture.width()) / 2, (height - picture.height()) / 2, picture);
    return thumbnail;
}

void CPictureFolderScan::Start(const std::string& folder, bool thumbnails, QObject* receiver, BatchHandler onBatch,
                               EndHandler onEnd)
{
    Stop();
    stopping_ = false;
    thread_ = std::thread(&CPictureFolderScan::Run, this, folder, thumbnails, receiver, int(*current_),
                          std::move(onBatch), std::move(onEnd));
}

void CPictureFolderScan::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    ++*current_;
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

bool CPictureFolderScan::Pause()
{
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, std::chrono::milliseconds(pauseMs_), [this] { return stopping_; });
}

void CPictureFolderScan::Deliver(QObject* receiver, int generation, std::function<void()> work)
{
    QMetaObject::invokeMethod(
        receiver,
        [current = current_, generation, work = std::move(work)] {
            if (*current == generation)
                work();
        },
        Qt::QueuedConnection);
}

void CPictureFolderScan::Run(std::string folder, bool thumbnails, QObject* receiver, int generation,
                             BatchHandler onBatch, EndHandler onEnd)
{
    UseOwnSignalStack();
    std::vector<std::string> names;
    if (!PictureNames(folder, names)) {
        Deliver(receiver, generation, [onEnd] { onEnd(false); });
        return;
    }
    for (size_t first = 0; first < names.size(); first += kBatch) {
        std::vector<ScannedPicture> batch;
        for (size_t i = first; i < std::min(names.size(), first + kBatch); ++i) {
            {
                std::lock_guard lock(mutex_);
                if (stopping_)
                    return;
            }
            batch.push_back({names[i], thumbnails ? WhiteThumbnail(folder + "/" + names[i]) : QImage()});
        }
        Deliver(receiver, generation, [onBatch, batch = std::move(batch)]() mutable { onBatch(std::move(batch)); });
        if (first + kBatch < names.size() && !Pause())
            return;
    }
    Deliver(receiver, generation, [onEnd] { onEnd(true); });
}
