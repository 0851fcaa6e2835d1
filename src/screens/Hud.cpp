// The HUD's sprites and layouts, and the level number of the level intro.
#include "Hud.h"

#include "PictureCollection.h"
#include "SpriteText.h"
#include "Unit1.h"

THudSprite::THudSprite(TSprite* parent, const std::string& imageName) : TImageSprite(parent)
{
    TakeImage(MainForm->Image(imageName));
    SetZ(800);
}

Cifra_Lifes::Cifra_Lifes(TSprite* parent, const std::string& suffix) : THudSprite(parent, "Lifes_" + suffix)
{
    X = 43 - Width / 2.0;
    Y = 538;
}

Cifra_Health::Cifra_Health(TSprite* parent, const std::string& suffix, double x, double y)
    : THudSprite(parent, "Health_" + suffix)
{
    X = x;
    Y = y;
}

Cifra_prefix::Cifra_prefix(TSprite* parent) : THudSprite(parent, "cifra_prefix")
{
    X = 100 - Width / 2.0;
    Y = 3;
}

Patrontag::Patrontag(TSprite* parent) : THudSprite(parent, MainForm->Fire.SingleFire ? "odinoch" : "ochered")
{
    X = 735;
    Y = 543;
}

Level::Level(TSprite* parent, double x, double y) : THudSprite(parent, "level")
{
    X = x;
    Y = y;
}

namespace {

std::string Digit(int32_t d)
{
    return std::string(1, static_cast<char>('0' + d));
}

} // namespace

std::vector<THudGlyph> CountdownLayout(int32_t countdown, const TWidthOf& widthOf)
{
    if (countdown < 0) return {};
    const int32_t m = countdown / 60, s = countdown % 60;
    const auto w = [&](int32_t d) { return widthOf("cifra" + Digit(d)); };
    // Minutes right-aligned to x = 90 with at least two digits (from 100
    // minutes on the field simply grows to the left); seconds from x = 110.
    std::vector<int32_t> minutes = SplitDigits(m);
    if (minutes.size() < 2) minutes.insert(minutes.begin(), 0);
    double right = 90;
    std::vector<THudGlyph> glyphs(minutes.size());
    for (size_t i = minutes.size(); i-- > 0;) {
        right -= w(minutes[i]);
        glyphs[i] = {"cifra" + Digit(minutes[i]), right, 8};
    }
    glyphs.push_back({"cifra" + Digit(s / 10), 110.0, 8});
    glyphs.push_back({"cifra" + Digit(s % 10), 110.0 + w(s / 10), 8});
    return glyphs;
}

std::vector<THudGlyph> HealthLayout(int32_t health, const TWidthOf& widthOf)
{
    std::vector<THudGlyph> glyphs;
    int w = 0;
    const auto add = [&](int32_t digit) {
        glyphs.push_back({"Health_" + Digit(digit), 90.0 + w, 550});
        w += widthOf("Health_" + Digit(digit));
    };
    // Health stays within 1 .. 100 in play; anything else still shows its
    // digits rather than asking for a glyph that does not exist.
    const int32_t value = health < 0 ? -(health % 100) : health;
    if (value % 100 == 0) {
        add(1);
        add(0);
        add(0);
    } else {
        const int32_t tens = value / 10, ones = value % 10;
        if (tens != 0)
            for (int32_t d : SplitDigits(tens)) add(d);
        add(ones);
    }
    glyphs.push_back({"Health_percent", 90.0 + w, 550});
    return glyphs;
}

std::vector<THudGlyph> LevelLayout(int32_t levelNo, const TWidthOf& widthOf)
{
    const std::vector<int32_t> digits = SplitDigits(levelNo);
    int total = widthOf("level") + 10;
    for (int32_t d : digits) total += widthOf("cifra" + Digit(d));
    double x = 700 - total / 2.0;
    std::vector<THudGlyph> glyphs{{"level", x, 12}};
    x += widthOf("level") + 10;
    for (int32_t d : digits) {
        glyphs.push_back({"cifra" + Digit(d), x, 6});
        x += widthOf("cifra" + Digit(d));
    }
    return glyphs;
}

std::string LevelNumberWord(int32_t levelNo)
{
    static const char* const words[] = {"one", "two", "three", "four", "five",
                                        "six", "seven", "eight", "nine", "ten"};
    return levelNo >= 1 && levelNo <= 10 ? words[levelNo - 1] : "";
}

namespace {

TWidthOf LibraryWidths(TMainForm& form)
{
    return [&form](const std::string& name) { return form.Image(name).Width(); };
}

} // namespace

void TMainForm::ShowCountdown()
{
    // Also takes the level and score digits of the last frame, which the
    // level and score layouts rely on.
    KillAll<Cifra>(Root());
    for (const THudGlyph& g : CountdownLayout(Progress.LevelCountdown, LibraryWidths(*this)))
        new Cifra(&Root(), g.Image, 1.0, g.X, g.Y);
}

void TMainForm::ShowLives()
{
    KillAll<Cifra_Lifes>(Root());
    if (Lives >= 1 && Lives <= 3) new Cifra_Lifes(&Root(), std::to_string(Lives));
}

void TMainForm::ShowHealth()
{
    KillAll<Cifra_Health>(Root());
    for (const THudGlyph& g : HealthLayout(Health, LibraryWidths(*this)))
        new Cifra_Health(&Root(), g.Image.substr(7), g.X, g.Y);
}

void TMainForm::ShowFireMode()
{
    KillAll<Patrontag>(Root());
    new Patrontag(&Root());
}

void TMainForm::ShowLevel()
{
    KillAll<Level>(Root());
    const std::vector<THudGlyph> glyphs = LevelLayout(LevelNo, LibraryWidths(*this));
    new Level(&Root(), glyphs[0].X, glyphs[0].Y);
    for (size_t i = 1; i < glyphs.size(); ++i) new Cifra(&Root(), glyphs[i].Image, 1.0, glyphs[i].X, glyphs[i].Y);
}

void TMainForm::Timer2Timer()
{
    Activation.Timer2Pending = false;
    Activation.Timer3Pending = true;
    DrawWord(std::to_string(LevelNo), 450, 200, 1.0);
    const std::string word = LevelNumberWord(LevelNo);
    if (!word.empty()) PlaySound(word, false);
    Timer2.SetEnabled(false);
    Timer3.SetEnabled(true);
}
