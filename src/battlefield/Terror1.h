// SPDX-License-Identifier: GPL-3.0-or-later
// Infantry (kinds 1 .. 4): walk to and fro behind the scenery between
// x = 190 and 690, stop in the open to fire.
#pragma once

#include "Terror.h"

class TTerror1 : public TTerror {
public:
    using TTerror::TTerror;
    const char* ClassName() const override { return "TTerror1"; }
    void DoMove(int moveCount) override;
};
