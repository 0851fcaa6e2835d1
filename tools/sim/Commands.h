// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's commands: one row each, with its usage, what it needs of
// the program, how many words it takes, and the function that runs it.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

class TSimulator;
struct TCommand;

// How a line ends: the script goes on, or stops with status 1 or 2.
enum class TResult { Ok, ExpectFailed, BadCommand };

// What a command needs of the program before it runs.
enum class TNeeds {
    Nothing,
    NotStarted,
    // Started, and perhaps ended since: what was left can still be read.
    Started,
    // Started and not ended.
    Running,
};

// One line of the script, as its command sees it.
struct TCall {
    TSimulator& Sim;
    const TCommand& Command;
    // The words after the command's name.
    const std::vector<std::string>& Args;
    std::ostream& Out;
    // Why the line failed, when it did.
    std::string& Problem;

    TResult Bad(std::string why) const;
    TResult Usage() const;
};

// No upper limit on a command's arguments.
inline constexpr size_t kAnyCount = static_cast<size_t>(-1);

struct TCommand {
    const char* Name;
    // Shown after "usage: " when the arguments don't fit.
    const char* Usage;
    TNeeds Needs;
    // How many words may follow the name.
    size_t MinArgs, MaxArgs;
    TResult (*Run)(TCall& call);
};

// nullptr for a name that is no command.
const TCommand* FindCommand(const std::string& name);
// Checks what the command needs and how many words it has, then runs it.
TResult RunCommand(TCall& call);
