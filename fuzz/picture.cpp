// Pictures as the program decodes them: the picture source under each of its four file types, an
// effect layer's GIF animation (decoded on its loader thread, then stepped and stretched onto the
// frame as the compositor does), the picture-in-picture's mask and background, and the effect
// library's thumbnail.
#include "FuzzSupport.h"

#include "effects/EffectLayer.h"
#include "effects/EffectLibrary.h"
#include "effects/FrameBuffer.h"
#include "effects/LayerBlend.h"
#include "effects/Pacing.h"
#include "effects/PictureFile.h"
#include "effects/PipOverlay.h"
#include "fileio/ProgramFolder.h"
#include "pipeline/ImageSource.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

namespace {

const char* const kTypes[] = {"bmp", "jpg", "png", "gif"};

// One copy of the input, seen under every file type.
std::string picture;
std::string NamedAs(const char* type)
{
    return ProgramFile(std::string("picture.") + type);
}

void NoPause(int) {}

void PictureSource()
{
    for (const char* type : kTypes) {
        const auto source = std::make_unique<CImageSource>();
        source->SetPath(NamedAs(type));
        if (source->Load())
            FUZZ_CHECK(source->FramePointer() == source->Frame(), "a loaded picture is not the frame");
        else
            FUZZ_CHECK(source->FramePointer() == nullptr, "a failed load set the frame");
    }
}

void LayerAnimation(EffectLayer& layer, std::vector<uint8_t>& frame)
{
    while (!layer.Animation.LoaderDone())
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    const int frames = layer.Animation.FrameCount();
    FUZZ_CHECK(frames >= 0 && frames <= CGifAnimation::kMaxFrames, "more frames than the table holds");
    // One turn through the animation as the compositor takes it: each frame for StepTicks compositions,
    // stretched onto the frame with its white cleared, blended where it holds anything.
    for (int i = 0; i < frames; ++i) {
        int slot = -1;
        CDib* image = nullptr;
        for (int tick = 0; tick < layer.Animation.StepTicks(); ++tick)
            image = layer.Animation.CurrentImage(&slot);
        FUZZ_CHECK(image && slot == i, "a decoded animation does not show its frames in order");
        FUZZ_CHECK(image->Bits.size() == size_t(image->Stride) * size_t(image->Height), "a frame's size is off");
        const uint8_t* surface = layer.Surface(slot, *image, true);
        FUZZ_CHECK((surface != nullptr) == (image->Width > 0 && image->Height > 0), "an empty frame has a surface");
        if (!surface)
            continue;
        for (const EffectLayer::Span& span : layer.Spans(slot)) {
            FUZZ_CHECK(span.First < span.Last && span.Last <= kFrameBytes, "a span outside the frame");
            BlendAdd(frame.data() + span.First, surface + span.First, span.Last - span.First);
        }
    }
    int slot = -1;
    FUZZ_CHECK(frames == 0 || (layer.Animation.CurrentImage(&slot) && slot == 0), "a decoded animation does not loop");
}

void PictureInPicture(std::vector<uint8_t>& frame)
{
    for (const char* type : {"jpg", "png", "bmp"}) {
        CPipOverlay pip;
        SettingsRecord::InnerImgGroup settings;
        settings.FloatType = 1;
        settings.FrontImg = NamedAs("jpg");
        settings.BackImg = NamedAs(type);
        pip.SetPip(settings);
        pip.SetPipClose(false);
        pip.DrawPip(frame.data());
    }
}

void Thumbnail()
{
    const QImage thumbnail = MakeThumbnail(ReadPictureFile(picture));
    FUZZ_CHECK(thumbnail.isNull() || thumbnail.size() == QSize(60, 40), "a thumbnail is not 60 by 40");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PrepareFuzzHome();
    SetPaceFunction(NoPause);
    picture = ProgramFile("picture");
    for (const char* type : kTypes)
        std::filesystem::create_symlink(picture, NamedAs(type));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFuzzFile(picture, data, size);
    // The layer's loader decodes on its own thread meanwhile, pausing between frames as it does.
    EffectLayer layer(EFFECT_FRAME, 1, NamedAs("gif"));
    layer.Animation.Load(layer.Path);
    std::vector<uint8_t> frame(kFrameBytes, 0x80);
    PictureSource();
    PictureInPicture(frame);
    Thumbnail();
    LayerAnimation(layer, frame);
    return 0;
}
