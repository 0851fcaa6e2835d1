// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the bitmap decoders directly, both picture forms.
#include "Dib.h"
#include "EngineErrors.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> input(data, size);
    try {
        const TDIB dib = TDIB::LoadFromDIB(input);
        if (dib.Pixels.size() != static_cast<size_t>(dib.Width) * static_cast<size_t>(dib.Height)) __builtin_trap();
    } catch (const EEngineError&) {
    }
    try {
        (void)TDIB::LoadFromBitmapFile(input);
    } catch (const EEngineError&) {
    }
    return 0;
}
