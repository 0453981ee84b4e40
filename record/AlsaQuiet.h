#pragma once

// alsa-lib reports every failed open on standard error, some thirty lines without a sound card; the
// callers report failures themselves. Safe to call any number of times.
void QuietAlsaLibErrors();
