// SPDX-License-Identifier: GPL-3.0-or-later
// An enemy's death, the same whoever kills it: the shot, the bomb or the
// rocket's strike.
#pragma once

class TGameContext;
class TTerror;

// A soldier killed: its points, and its body at its place and size. The
// caller plays what it plays and counts the soldier out.
void KillSoldier(TGameContext& game, TTerror& soldier);
// A vehicle or the helicopter destroyed: its points, its explosion and the
// explosion's sound. With stopEngine the kind's engine loop stops when this
// is the last vehicle that shares it (the strike stops every loop after
// its last kill instead). The caller counts it out.
void KillVehicle(TGameContext& game, TTerror& vehicle, bool stopEngine);
