#pragma once
// The per-frame effects chain: image layers, then the members' overlays, then the logo, drawn into one
// 320×240 bottom-up BGR frame in place.
#include "effects/EffectLayer.h"
#include "effects/LogoStamp.h"
#include "effects/PipOverlay.h"
#include "effects/TextOverlay.h"
#include "ktv/KaraokeEngine.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Guards every layer list: changes and composition. One for the process.
extern std::mutex LayerLock;

struct LayerInfo {
    int32_t Type;
    int32_t Id;
    std::string Path;
};

class CEffectChain {
public:
    CEffectChain();
    ~CEffectChain();
    CEffectChain(const CEffectChain&) = delete;
    CEffectChain& operator=(const CEffectChain&) = delete;

    // Works on one frame in place, on the thread that delivers it.
    void RunChain(uint8_t* frame);

    // Decodes `path` as a new layer. The same type and id already present: nothing changes. The same
    // type with another id: that layer goes and the new one is drawn last. Else the new one is appended.
    void AddLayer(int32_t type, int32_t id, const std::string& path);
    // The first layer with this type and id goes; none matching, nothing happens.
    void RemoveLayer(int32_t type, int32_t id);
    void ClearLayers();
    // Mode 0 or 1 becomes the blend variant of every layer; the category is not looked at.
    bool SetEffType(int32_t category, int32_t mode);

    int32_t DisplayMode() const { return displayMode_; }
    // The layers in drawing order.
    std::vector<LayerInfo> Layers() const;
    // Every layer's picture is decoded as far as it will be.
    bool LayersLoaded() const;

    // The members, reached for their setters.
    CPipOverlay& Pip() { return pip_; }
    CTextOverlay& Text() { return text_; }
    CKaraokeEngine& Karaoke() { return karaoke_; }
    const CKaraokeEngine& Karaoke() const { return karaoke_; }
    CLogoStamp& Logo() { return logo_; }

private:
    void ComposeLayers(uint8_t* frame);

    std::atomic<int32_t> displayMode_{1};
    std::vector<std::unique_ptr<EffectLayer>> layers_;
    std::atomic<bool> hasLayers_{false};
    CPipOverlay pip_;
    CTextOverlay text_;
    CKaraokeEngine karaoke_;
    CLogoStamp logo_;
};
