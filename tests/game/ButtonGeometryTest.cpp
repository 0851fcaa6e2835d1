// SPDX-License-Identifier: GPL-3.0-or-later
// The button table is where a button's place and rectangles live: the
// built pictures and the review layouts must agree with it.
#include "Buttons.h"
#include "PictureCollection.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The words of a line, double quotes grouping.
std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> std::ws && !in.eof()) {
        if (in.peek() == '"') {
            in.get();
            std::getline(in, word, '"');
        } else {
            in >> word;
        }
        words.push_back(word);
    }
    return words;
}

const TButton* ButtonWithImage(const std::string& image)
{
    for (const TButton& button : ButtonTable())
        if (image == button.Place.Image) return &button;
    return nullptr;
}

} // namespace

TEST(ButtonGeometry, PicturesSitOnTheirRectangles)
{
    TPictureCollection library;
    library.LoadFromFile(ZARVENOK_DATA_DIR "/Data/Graphic.dxg");
    int checked = 0;
    for (const TButton& button : ButtonTable()) {
        if (!button.Click || button.Place.Centred) continue;
        const TPictureCollectionItem& picture = library.Find(button.Place.Image);
        const TScreenRect drawn{button.Place.X, button.Place.X + picture.Width() - 1, button.Place.Y,
                                button.Place.Y + picture.Height() - 1};
        // What the player sees lit or pressed is the picture: it matches the
        // press or the light rectangle to within two pixels on every side.
        const auto near = [&drawn](const TScreenRect& r) {
            return std::abs(r.Left - drawn.Left) <= 2 && std::abs(r.Right - drawn.Right) <= 2 &&
                   std::abs(r.Top - drawn.Top) <= 2 && std::abs(r.Bottom - drawn.Bottom) <= 2;
        };
        EXPECT_TRUE(near(*button.Click) || (button.Hover && near(*button.Hover)))
            << button.Name << " drawn at " << drawn.Left << ".." << drawn.Right << " x " << drawn.Top << ".."
            << drawn.Bottom;
        ++checked;
    }
    EXPECT_GT(checked, 20);
}

TEST(ButtonGeometry, ReviewLayoutsUseTheTable)
{
    std::ifstream list(ZARVENOK_SCREENS_LIST);
    ASSERT_TRUE(list) << ZARVENOK_SCREENS_LIST;
    std::map<std::string, int> seen;
    std::string line;
    int number = 0;
    while (std::getline(list, line)) {
        ++number;
        const std::vector<std::string> w = Words(line);
        if (w.empty()) continue;
        if (w[0] == "hover" && w.size() == 6) {
            const TButton* button = ButtonWithImage(w[5]);
            ASSERT_NE(button, nullptr) << "line " << number << ": no button shows " << w[5];
            ASSERT_TRUE(button->Hover) << "line " << number;
            const TScreenRect& h = *button->Hover;
            EXPECT_EQ(w[1] + " " + w[2] + " " + w[3] + " " + w[4],
                      std::to_string(h.Left) + " " + std::to_string(h.Right) + " " + std::to_string(h.Top) + " " +
                          std::to_string(h.Bottom))
                << "line " << number << ": " << w[5];
            ++seen["hover"];
        } else if (w[0] == "sprite" && w.size() == 4) {
            const TButton* button = ButtonWithImage(w[1]);
            if (button == nullptr) continue;
            EXPECT_EQ(w[2] + " " + w[3], std::to_string(button->Place.X) + " " + std::to_string(button->Place.Y))
                << "line " << number << ": " << w[1];
            ++seen["sprite"];
        }
    }
    EXPECT_GT(seen["hover"], 10);
    EXPECT_GT(seen["sprite"], 10);
}
