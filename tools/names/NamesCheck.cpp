// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok-names GRAPHIC.dxg MUSIC.dxw: checks that the libraries hold every
// picture and sound the game can ask for, and names each one missing. Run
// by the build on the libraries it makes, so a misspelt name fails there.
#include "NamesUsed.h"
#include "PictureCollection.h"
#include "WaveCollection.h"

#include <exception>
#include <iostream>

namespace {

template <class Library>
int CountMissing(const char* file, const std::vector<std::string>& names, const char* what)
{
    Library library;
    library.LoadFromFile(file);
    int missing = 0;
    for (const std::string& name : names) {
        if (library.FindItem(name) != nullptr) continue;
        std::cerr << "zarvenok-names: " << file << " has no " << what << " \"" << name << "\"\n";
        ++missing;
    }
    return missing;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: zarvenok-names GRAPHIC.dxg MUSIC.dxw\n";
        return 2;
    }
    try {
        const int missing = CountMissing<TPictureCollection>(argv[1], PictureNamesUsed(), "picture") +
                            CountMissing<TWaveCollection>(argv[2], SoundNamesUsed(), "sound");
        return missing == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "zarvenok-names: " << e.what() << '\n';
        return 2;
    }
}
