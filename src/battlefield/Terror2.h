// SPDX-License-Identifier: GPL-3.0-or-later
// Ground vehicles (kinds 5 .. 7): drive across the screen two pixels a
// frame, turn to stop and fire, and leave by the far edge.
#pragma once

#include "Terror.h"

class TTerror2 : public TTerror {
public:
    using TTerror::TTerror;
    const char* ClassName() const override { return "TTerror2"; }
    void DoMove(int moveCount) override;

private:
    // The tank and the gun truck turn first; the light truck stops at once.
    void ChangePhase();
};
