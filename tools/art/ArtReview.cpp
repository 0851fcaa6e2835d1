// SPDX-License-Identifier: GPL-3.0-or-later
// Review pictures: clears the old ones, then draws the contact sheets and
// the screen layouts of a built library.
#include "ArtReview.h"

#include "ContactSheet.h"
#include "CustomDXDraw.h"
#include "PictureCollection.h"
#include "ScreenLayout.h"

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

void WriteArtReview(const std::string& libraryPath, const std::string& screensPath, const std::string& outDir,
                    std::ostream& out)
{
    fs::create_directories(outDir);
    // Pictures of screens that were renamed or removed would mislead.
    for (const auto& entry : fs::directory_iterator(outDir)) {
        const std::string file = entry.path().filename().string();
        if (entry.path().extension() == ".png" && (file.rfind("layout-", 0) == 0 || file.rfind("contact-", 0) == 0))
            fs::remove(entry.path());
    }
    TOffscreenDXDraw display(TPixelFormat::XRGB8888(), 800, 600);
    TDXImageList images;
    images.Items.LoadFromFile(libraryPath);
    images.SetDXDraw(&display);
    display.Initialize();
    WriteContactSheets(images.Items, outDir, out);
    WriteLayouts(images.Items, display, screensPath, outDir, out);
}
