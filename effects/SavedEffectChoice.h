#pragma once
// The user's effect choice across runs, applied at start the way the effect panels apply it when they
// are built, and handed back to the settings record before it is saved.
#include "effects/EffectChain.h"
#include "effects/SelectedEffects.h"

// From the settings record: the saved layer pictures (taken out of SubEffImgInfo into `selected`), the
// picture-in-picture (switch, settings; a saved picture-in-picture entry is dropped from the list) and,
// when its Close flag is 0, the text line.
void ApplySavedEffectChoice(CEffectChain& chain, CSelectedEffects& selected);

// Appends the current choice to the settings record's SubEffImgInfo, ready for saving.
void StoreEffectChoice(const CSelectedEffects& selected);
