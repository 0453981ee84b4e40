#pragma once
// Brightness, contrast and colour correction of the output: six sliders, the switch that turns the
// adjustment off, a reset to the factory values and four colour-light presets. The frame path reads
// the values from the next frame on.
#include "ui/UIWnd.h"

#include <array>
#include <cstdint>

class CWndColorAdjust : public CUIWnd {
    Q_OBJECT
public:
    static const char* const kSwitchOnFirstText;

    struct Preset {
        const char* Label;
        int32_t Bright, Contrast, Red, Green, Blue;
    };
    static const std::array<Preset, 4> kPresets;

    explicit CWndColorAdjust(QWidget* parent);

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;
    void OnNotify(const ControlNotify& notify) override;

private:
    // The sliders show the settings' values, enabled while the adjustment is on.
    void ShowValues();
    // False (after telling the user) while the adjustment is off.
    bool AdjustmentOn();
    // Stores the six values for the frame path and shows them.
    void StoreValues(int32_t bright, int32_t contrast, int32_t composite, int32_t red, int32_t green, int32_t blue);
};
