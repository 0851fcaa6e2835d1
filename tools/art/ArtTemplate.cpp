// SPDX-License-Identifier: GPL-3.0-or-later
// Template expansion and the expression reader behind it.
#include "ArtTemplate.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.'; }

std::string Trim(const std::string& s)
{
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

bool IsName(const std::string& s)
{
    if (s.empty() || !IsNameStart(s[0])) return false;
    for (char c : s)
        if (!IsNameChar(c)) return false;
    return true;
}

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;

// Recursive descent over one expression.
class TExpression {
public:
    TExpression(const std::string& text, const TArtVariables& vars) : Text_(text), Vars_(vars) {}

    double Evaluate()
    {
        const double value = Sum();
        Skip();
        if (Pos_ != Text_.size()) Fail("unexpected \"" + Text_.substr(Pos_) + "\"");
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string& why) const
    {
        throw std::runtime_error("in ${" + Text_ + "}: " + why);
    }

    void Skip()
    {
        while (Pos_ < Text_.size() && std::isspace(static_cast<unsigned char>(Text_[Pos_]))) ++Pos_;
    }

    bool Take(char c)
    {
        Skip();
        if (Pos_ < Text_.size() && Text_[Pos_] == c) {
            ++Pos_;
            return true;
        }
        return false;
    }

    double Sum()
    {
        double value = Product();
        for (;;) {
            if (Take('+')) value += Product();
            else if (Take('-')) value -= Product();
            else return value;
        }
    }

    double Product()
    {
        double value = Unary();
        for (;;) {
            if (Take('*')) {
                value *= Unary();
            } else if (Take('/')) {
                const double d = Unary();
                if (d == 0) Fail("division by zero");
                value /= d;
            } else {
                return value;
            }
        }
    }

    double Unary()
    {
        if (Take('-')) return -Unary();
        if (Take('+')) return Unary();
        return Primary();
    }

    double Primary()
    {
        Skip();
        if (Pos_ >= Text_.size()) Fail("expression ends too early");
        if (Take('(')) {
            const double value = Sum();
            if (!Take(')')) Fail("missing \")\"");
            return value;
        }
        const char c = Text_[Pos_];
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            const size_t start = Pos_;
            while (Pos_ < Text_.size() && (std::isdigit(static_cast<unsigned char>(Text_[Pos_])) || Text_[Pos_] == '.'))
                ++Pos_;
            return ToNumber(Text_.substr(start, Pos_ - start));
        }
        if (!IsNameStart(c)) Fail(std::string("unexpected \"") + c + "\"");
        const size_t start = Pos_;
        while (Pos_ < Text_.size() && IsNameChar(Text_[Pos_])) ++Pos_;
        const std::string name = Text_.substr(start, Pos_ - start);
        if (Take('(')) return Call(name);
        const auto it = Vars_.find(name);
        if (it == Vars_.end()) Fail("unknown variable \"" + name + "\"");
        return ToNumber(it->second);
    }

    double Call(const std::string& name)
    {
        std::vector<double> args;
        if (!Take(')')) {
            do args.push_back(Sum());
            while (Take(','));
            if (!Take(')')) Fail("missing \")\" after the arguments of " + name);
        }
        auto need = [&](size_t n) {
            if (args.size() != n) Fail(name + " takes " + std::to_string(n) + " argument(s)");
        };
        if (name == "min" || name == "max") {
            if (args.empty()) Fail(name + " needs arguments");
            double v = args[0];
            for (double a : args) v = name == "min" ? std::fmin(v, a) : std::fmax(v, a);
            return v;
        }
        if (name == "round") { need(1); return std::round(args[0]); }
        if (name == "floor") { need(1); return std::floor(args[0]); }
        if (name == "ceil") { need(1); return std::ceil(args[0]); }
        if (name == "abs") { need(1); return std::fabs(args[0]); }
        if (name == "sqrt") {
            need(1);
            if (args[0] < 0) Fail("sqrt of a negative number");
            return std::sqrt(args[0]);
        }
        // Angles in degrees, as SVG's rotate() takes them.
        if (name == "sin") { need(1); return std::sin(args[0] * kRadiansPerDegree); }
        if (name == "cos") { need(1); return std::cos(args[0] * kRadiansPerDegree); }
        if (name == "atan2") { need(2); return std::atan2(args[0], args[1]) / kRadiansPerDegree; }
        if (name == "hypot") { need(2); return std::hypot(args[0], args[1]); }
        Fail("unknown function \"" + name + "\"");
    }

    double ToNumber(const std::string& text) const
    {
        const std::string t = Trim(text);
        char* end = nullptr;
        const double value = std::strtod(t.c_str(), &end);
        if (t.empty() || end != t.c_str() + t.size() || !std::isfinite(value)) Fail("\"" + text + "\" is not a number");
        return value;
    }

    const std::string& Text_;
    const TArtVariables& Vars_;
    size_t Pos_ = 0;
};

} // namespace

std::string FormatNumber(double value)
{
    if (std::fabs(value) < 0.00005) return "0";
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

double EvaluateExpression(const std::string& expr, const TArtVariables& vars)
{
    return TExpression(expr, vars).Evaluate();
}

std::string ExpandTemplate(const std::string& text, const TArtVariables& vars)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, 3, "$${") == 0) {
            out += "${";
            i += 3;
            continue;
        }
        if (text.compare(i, 2, "${") != 0) {
            out += text[i++];
            continue;
        }
        const size_t close = text.find('}', i + 2);
        if (close == std::string::npos) throw std::runtime_error("\"${\" without \"}\"");
        const std::string expr = Trim(text.substr(i + 2, close - i - 2));
        if (IsName(expr)) {
            const auto it = vars.find(expr);
            if (it == vars.end()) throw std::runtime_error("in ${" + expr + "}: unknown variable \"" + expr + "\"");
            out += it->second;
        } else {
            out += FormatNumber(EvaluateExpression(expr, vars));
        }
        i = close + 1;
    }
    return out;
}
