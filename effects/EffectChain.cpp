#include "effects/EffectChain.h"

#include "effects/FrameBuffer.h"
#include "effects/LayerBlend.h"

#include <algorithm>

std::mutex LayerLock;

namespace {

using BlendRule = void (*)(uint8_t* frame, const uint8_t* layer, size_t count);

BlendRule RuleFor(int32_t type, int32_t mode)
{
    if (type == EFFECT_FRAME || type == EFFECT_DOSSAL)
        return mode == 1 ? &BlendReplace : &BlendReplaceDimmed;
    if (type == EFFECT_CARTOON && mode == 0)
        return &BlendHalfLift;
    return &BlendAdd;
}

}  // namespace

CEffectChain::CEffectChain() = default;

// Members go in reverse order, the remaining layers last (each joins its loader).
CEffectChain::~CEffectChain() = default;

void CEffectChain::RunChain(uint8_t* frame)
{
    // The copy in the picture-in-picture shows the layers; text lies over it; the logo over everything.
    if (hasLayers_)
        ComposeLayers(frame);
    if (pip_.Enabled())
        pip_.DrawPip(frame);
    if (text_.Enabled())
        text_.DrawTextLine(frame);
    if (logo_.Enabled)
        logo_.Stamp(frame);
}

void CEffectChain::ComposeLayers(uint8_t* frame)
{
    std::lock_guard lock(LayerLock);
    for (const std::unique_ptr<EffectLayer>& layer : layers_) {
        if (!layer->Animation.Valid())
            continue;
        int slot = 0;
        CDib* image = layer->Animation.CurrentImage(&slot);
        if (!image)
            continue;
        const BlendRule rule = RuleFor(layer->Type, displayMode_);
        // The half-lift rule is the one that reads the stored bytes as they are.
        const bool halfLift = rule == &BlendHalfLift;
        const uint8_t* surface = layer->Surface(slot, *image, !halfLift);
        if (!surface)
            continue;
        if (halfLift) {
            rule(frame, surface, kFrameBytes);
        } else {
            // Every other rule leaves the frame alone where the picture holds 0.
            for (const EffectLayer::Span& span : layer->Spans(slot))
                rule(frame + span.First, surface + span.First, span.Last - span.First);
        }
    }
}

void CEffectChain::AddLayer(int32_t type, int32_t id, const std::string& path)
{
    auto layer = std::make_unique<EffectLayer>(type, id, path);
    layer->Animation.Load(path);
    // A layer that drops out is destroyed after the lock is released: joining its loader need not hold
    // up composition, which no longer sees it.
    std::unique_ptr<EffectLayer> dropped;
    {
        std::lock_guard lock(LayerLock);
        auto sameType = std::find_if(layers_.begin(), layers_.end(),
                                     [type](const auto& l) { return l->Type == type; });
        auto sameId = std::find_if(layers_.begin(), layers_.end(),
                                   [type, id](const auto& l) { return l->Type == type && l->Id == id; });
        if (sameId != layers_.end()) {
            dropped = std::move(layer);
        } else {
            if (sameType != layers_.end()) {
                dropped = std::move(*sameType);
                layers_.erase(sameType);
            }
            layers_.push_back(std::move(layer));
        }
        hasLayers_ = !layers_.empty();
    }
}

void CEffectChain::RemoveLayer(int32_t type, int32_t id)
{
    std::unique_ptr<EffectLayer> dropped;  // destroyed after the lock is released
    std::lock_guard lock(LayerLock);
    auto it = std::find_if(layers_.begin(), layers_.end(),
                           [type, id](const auto& l) { return l->Type == type && l->Id == id; });
    if (it == layers_.end())
        return;
    dropped = std::move(*it);
    layers_.erase(it);
    hasLayers_ = !layers_.empty();
}

void CEffectChain::ClearLayers()
{
    std::vector<std::unique_ptr<EffectLayer>> dropped;  // destroyed after the lock is released
    std::lock_guard lock(LayerLock);
    dropped.swap(layers_);
    hasLayers_ = false;
}

bool CEffectChain::SetEffType(int32_t, int32_t mode)
{
    if (mode != 0 && mode != 1)
        return false;
    displayMode_ = mode;
    return true;
}

std::vector<LayerInfo> CEffectChain::Layers() const
{
    std::lock_guard lock(LayerLock);
    std::vector<LayerInfo> infos;
    for (const auto& layer : layers_)
        infos.push_back({layer->Type, layer->Id, layer->Path});
    return infos;
}

bool CEffectChain::LayersLoaded() const
{
    std::lock_guard lock(LayerLock);
    return std::all_of(layers_.begin(), layers_.end(), [](const auto& l) { return l->Animation.LoaderDone(); });
}
