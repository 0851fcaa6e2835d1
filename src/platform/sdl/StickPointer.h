// SPDX-License-Identifier: GPL-3.0-or-later
// The pointer under a gamepad's stick: a radial dead zone, a curve that
// leaves fine control near the centre, more speed after a moment at full
// tilt, and a precision mode that slows it. Plain arithmetic, no SDL.
#pragma once

#include <cstdint>

class TStickPointer {
public:
    // How far the stick leans once the dead zone is taken off, on the
    // curve: 0 inside the dead zone, 1 at (or near) full tilt. Axes as SDL
    // gives them, -32768 to 32767.
    static double Deflection(int x, int y);

    // The pointer's movement in frame pixels over `milliseconds` with the
    // stick where it is; keeps count of how long it has been at full tilt.
    void Advance(int x, int y, bool precision, uint32_t milliseconds, double& dx, double& dy);

    // Frame pixels a second at full tilt, before the boost.
    static constexpr double Speed = 500.0;
    // The boost at full tilt, reached after HoldMs + RampMs.
    static constexpr double Boost = 2.2;
    static constexpr double HoldMs = 350.0;
    static constexpr double RampMs = 500.0;
    static constexpr double PrecisionFactor = 0.3;
    // Of the stick's reach: the dead zone, and where full tilt begins
    // (sticks seldom reach their corners).
    static constexpr double DeadZone = 0.15;
    static constexpr double FullTilt = 0.95;

private:
    double FullTiltMs_ = 0;
};
