// SPDX-License-Identifier: GPL-3.0-or-later
// The pointer under a gamepad's stick.
#include "StickPointer.h"

#include <algorithm>
#include <cmath>

double TStickPointer::Deflection(int x, int y)
{
    const double length = std::hypot(x / 32767.0, y / 32767.0);
    if (length <= DeadZone) return 0.0;
    const double reach = std::min(1.0, (length - DeadZone) / (FullTilt - DeadZone));
    return reach * reach;
}

void TStickPointer::Advance(int x, int y, bool precision, uint32_t milliseconds, double& dx, double& dy)
{
    dx = 0;
    dy = 0;
    const double deflection = Deflection(x, y);
    if (deflection >= 1.0)
        FullTiltMs_ += milliseconds;
    else
        FullTiltMs_ = 0;
    if (deflection <= 0.0) return;
    double speed = Speed * deflection;
    if (FullTiltMs_ > HoldMs) speed *= 1.0 + (Boost - 1.0) * std::min(1.0, (FullTiltMs_ - HoldMs) / RampMs);
    if (precision) speed *= PrecisionFactor;
    const double length = std::hypot(static_cast<double>(x), static_cast<double>(y));
    const double distance = speed * milliseconds / 1000.0;
    dx = distance * x / length;
    dy = distance * y / length;
}
