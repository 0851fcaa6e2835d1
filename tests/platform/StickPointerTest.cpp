// SPDX-License-Identifier: GPL-3.0-or-later
// The pointer under a gamepad's stick: dead zone, curve, boost, precision.
#include "StickPointer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Distance moved over `milliseconds` in steps of 10 ms.
double Travel(TStickPointer& stick, int x, int y, bool precision, int milliseconds)
{
    double total = 0;
    for (int t = 0; t < milliseconds; t += 10) {
        double dx = 0;
        double dy = 0;
        stick.Advance(x, y, precision, 10, dx, dy);
        total += std::hypot(dx, dy);
    }
    return total;
}

} // namespace

TEST(StickPointer, TheDeadZoneIsRoundAndTheCurveLeavesFineControlNearTheCentre)
{
    const struct {
        int X, Y;
        double Deflection;
    } cases[] = {
        {0, 0, 0.0},          {4000, 0, 0.0},     {0, -4900, 0.0},     {3400, 3400, 0.0},  // inside 15 %
        {32767, 0, 1.0},      {-32768, 0, 1.0},   {0, 31130, 1.0},     {23170, 23170, 1.0},
        {18021, 0, 0.25},  // halfway between the dead zone and full tilt
    };
    for (const auto& c : cases)
        EXPECT_NEAR(TStickPointer::Deflection(c.X, c.Y), c.Deflection, 0.01) << c.X << "," << c.Y;
}

TEST(StickPointer, FullTiltMovesAtSpeedThenFasterAndPrecisionSlowsIt)
{
    TStickPointer stick;
    double dx = 0;
    double dy = 0;
    // Straight down and to the left, the direction kept.
    stick.Advance(-23170, 23170, false, 100, dx, dy);
    EXPECT_NEAR(std::hypot(dx, dy), TStickPointer::Speed / 10, 0.5);
    EXPECT_NEAR(dx, -dy, 1e-9);
    EXPECT_LT(dx, 0);

    // After a moment at full tilt the boost ramps in, and holds.
    TStickPointer held;
    const double first = Travel(held, 32767, 0, false, 300);
    EXPECT_NEAR(first, TStickPointer::Speed * 0.3, 1.0);
    Travel(held, 32767, 0, false, 600);
    EXPECT_NEAR(Travel(held, 32767, 0, false, 100), TStickPointer::Speed * TStickPointer::Boost / 10, 1.0);
    // Easing off starts over without the boost.
    Travel(held, 20000, 0, false, 10);
    EXPECT_NEAR(Travel(held, 32767, 0, false, 100), TStickPointer::Speed / 10, 1.0);

    TStickPointer fine;
    EXPECT_NEAR(Travel(fine, 0, 32767, true, 100), TStickPointer::Speed * TStickPointer::PrecisionFactor / 10, 0.5);
    // Half tilt is much slower than half speed; the dead zone does not move.
    TStickPointer half;
    EXPECT_NEAR(Travel(half, 18021, 0, false, 100), TStickPointer::Speed * 0.25 / 10, 0.5);
    EXPECT_EQ(Travel(half, 3000, 3000, false, 500), 0.0);
}
