// SPDX-License-Identifier: GPL-3.0-or-later
// The context's own parts: the timers, the root and the current game.
#include "GameContext.h"

#include "DXSpriteEngine.h"

#include <cassert>

namespace {
TGameContext* Current = nullptr;
} // namespace

TGameContext::TGameContext(IClock& clock)
    : GameClock(clock),
      Timer1(GameClock, 10000, false),
      TimerLevel(GameClock, 1000, false),
      Timer2(GameClock, 500, false),
      Timer3(GameClock, 1000, false)
{
    HighScores = DefaultHighScores;
}

TGameContext::~TGameContext()
{
    if (Current == this) Current = nullptr;
}

TSpriteEngine& TGameContext::Root()
{
    return Sprites().Engine();
}

const TPictureCollectionItem* TGameContext::FindImage(const std::string& name)
{
    return dynamic_cast<const TPictureCollectionItem*>(Images().FindItem(name));
}

bool TGameContext::ScoreReachedTable() const
{
    return QualifiesForHighScores(HighScores, Score);
}

TGameContext& Game()
{
    assert(Current != nullptr);
    return *Current;
}

void SetGame(TGameContext* game)
{
    Current = game;
}
