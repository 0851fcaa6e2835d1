// SPDX-License-Identifier: GPL-3.0-or-later
// The headless platform: its pieces wired together.
#include "HeadlessPlatform.h"

THeadlessPlatform::THeadlessPlatform(uint32_t startTime)
    : Clock_(startTime), Events_(Clock_), Video_(Events_), Audio_(Clock_, SoundLog_), Music_(SoundLog_)
{
}
