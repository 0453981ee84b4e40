#pragma once
// Sliders of the effect panels with the number they stand at shown in a label beside them.
class CUIWnd;

// Shows `value` in the label; with a slider id, also moves the slider there (without a notification).
void ShowSliderValue(CUIWnd& window, int labelId, int value, int sliderId = 0);
