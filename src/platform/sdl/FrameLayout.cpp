// SPDX-License-Identifier: GPL-3.0-or-later
// Where the finished frame goes in the window or on the screen.
#include "FrameLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// The largest whole factor at which the frame fits the area; 0 when even
// 1x does not.
int WholeFactorThatFits(int areaWidth, int areaHeight, int frameWidth, int frameHeight)
{
    if (frameWidth <= 0 || frameHeight <= 0) return 0;
    return std::max(0, std::min(areaWidth / frameWidth, areaHeight / frameHeight));
}

TRect Centred(int outputWidth, int outputHeight, int width, int height)
{
    return Bounds((outputWidth - width) / 2, (outputHeight - height) / 2, width, height);
}

} // namespace

TFrameLayout LayFrame(int outputWidth, int outputHeight, int frameWidth, int frameHeight,
                      const TPresentOptions& options, const TFrameScaling& scaling)
{
    if (frameWidth <= 0 || frameHeight <= 0) return {};
    if (!options.Stretch) {
        const TRect target = options.Center ? Centred(outputWidth, outputHeight, frameWidth, frameHeight)
                                            : Bounds(0, 0, frameWidth, frameHeight);
        return {target, false};
    }
    const int fits = WholeFactorThatFits(outputWidth, outputHeight, frameWidth, frameHeight);
    int factor = 0;
    if (scaling.Scale > 0 && scaling.Scale <= fits)
        factor = scaling.Scale;
    else if (!scaling.Smooth)
        factor = fits;
    if (factor > 0) {
        const TRect target = Centred(outputWidth, outputHeight, frameWidth * factor, frameHeight * factor);
        return {target, scaling.Smooth && factor > 1};
    }
    // As large as fits with the frame's proportions.
    const double scale = std::min(static_cast<double>(outputWidth) / frameWidth,
                                  static_cast<double>(outputHeight) / frameHeight);
    const int width = std::max(1, static_cast<int>(std::lround(frameWidth * scale)));
    const int height = std::max(1, static_cast<int>(std::lround(frameHeight * scale)));
    // At one to one a filter changes nothing.
    return {Centred(outputWidth, outputHeight, width, height), width != frameWidth || height != frameHeight};
}

int StartingScale(int areaWidth, int areaHeight, int frameWidth, int frameHeight, const TFrameScaling& scaling)
{
    if (scaling.Scale > 0) return scaling.Scale;
    return std::max(1, WholeFactorThatFits(areaWidth, areaHeight, frameWidth, frameHeight));
}
