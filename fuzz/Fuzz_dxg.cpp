// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the image library reader, then cuts and draws whatever loaded.
#include "CustomDXDraw.h"
#include "EngineErrors.h"
#include "PictureCollection.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TPictureCollection library;
    try {
        library.LoadFromStream(std::span<const uint8_t>(data, size));
    } catch (const EEngineError&) {
        // Expected for damaged input; what loaded before the damage is still used below.
    }
    library.BuildColorTable();
    TOffscreenDXDraw display(TPixelFormat::RGB565(), 64, 48);
    display.Initialize();
    library.Initialize(display);
    library.Restore();
    for (int i = 0; i < library.Count(); ++i) {
        const auto& item = library.Items(i);
        const int count = item.PatternCount();
        for (int p = -1; p <= count && p < 8; ++p) {
            item.Draw(*display.Surface(), -3, 5, p);
            item.StretchDraw(*display.Surface(), Bounds(-7, -2, 90, 13), p);
        }
    }
    library.Finalize();
    return 0;
}
