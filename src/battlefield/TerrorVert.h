// SPDX-License-Identifier: GPL-3.0-or-later
// The helicopter (kind 8): patrols the upper screen, turns at the edges and
// to fire; it never leaves on its own.
#pragma once

#include "Terror.h"

class TTerror_Vert : public TTerror {
public:
    using TTerror::TTerror;
    const char* ClassName() const override { return "TTerror_Vert"; }
    void DoMove(int moveCount) override;
};
