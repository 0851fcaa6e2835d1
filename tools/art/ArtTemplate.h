// SPDX-License-Identifier: GPL-3.0-or-later
// Template text of the art sources: "${...}" stands for a variable's text or
// for the value of a small arithmetic expression over variables.
#pragma once

#include <map>
#include <string>

using TArtVariables = std::map<std::string, std::string>;

// Replaces every "${...}". A lone variable name gives the variable's text as
// it is; anything else is evaluated as an expression. "$${" writes "${".
// Raises std::runtime_error naming the expression when it cannot be read.
std::string ExpandTemplate(const std::string& text, const TArtVariables& vars);

// Numbers, variables holding numbers, + - * /, parentheses and the functions
// min, max, round, floor, ceil, abs, sin and cos (of degrees), atan2(y, x)
// (in degrees) and hypot(x, y).
double EvaluateExpression(const std::string& expr, const TArtVariables& vars);

// Shortest plain decimal with at most four places ("12", "0.5", "-3.25").
std::string FormatNumber(double value);
