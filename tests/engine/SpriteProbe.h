// SPDX-License-Identifier: GPL-3.0-or-later
// A sprite for tree tests that writes what happens to it into a shared log
// and can be told what to do while it moves or collides.
#pragma once

#include "Sprite.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

using TSpriteLog = std::vector<std::string>;

class TProbe : public TSprite {
public:
    TProbe(TSprite* parent, std::string name, TSpriteLog& log, double x = 0, double y = 0, int w = 10, int h = 10)
        : TSprite(parent), Name(std::move(name)), Log(log)
    {
        X = x;
        Y = y;
        Width = w;
        Height = h;
    }
    ~TProbe() override { Log.push_back("free " + Name); }

    void DoMove(int moveCount) override
    {
        Log.push_back("move " + Name);
        LastMoveCount = moveCount;
        if (OnMove) OnMove(*this);
    }
    void DoDraw() override { Log.push_back("draw " + Name); }
    void DoCollision(TSprite* sprite, bool& done) override
    {
        const auto* probe = dynamic_cast<TProbe*>(sprite);
        Log.push_back("hit " + (probe != nullptr ? probe->Name : std::string("?")));
        if (OnCollision) OnCollision(*this, done);
    }
    bool TestCollision(TSprite* /*sprite*/) override { return Accept; }

    std::string Name;
    TSpriteLog& Log;
    int LastMoveCount = 0;
    bool Accept = true;
    std::function<void(TProbe&)> OnMove;
    std::function<void(TProbe&, bool&)> OnCollision;
};

// The names logged under one kind of event, in order ("draw ", "move ", ...).
inline std::vector<std::string> Events(const TSpriteLog& log, std::string_view kind)
{
    std::vector<std::string> names;
    for (const std::string& entry : log)
        if (entry.starts_with(kind)) names.push_back(entry.substr(kind.size()));
    return names;
}
