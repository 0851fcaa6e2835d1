// SPDX-License-Identifier: GPL-3.0-or-later
// zarvenok-art: draws the game's pictures from their SVG sources into the
// image library, and draws review sheets of a built library.
#include "ArtBuild.h"
#include "ArtReview.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* kUsage = R"(usage: zarvenok-art COMMAND ...

Commands:
  build LIST LIBRARY WORKDIR
      Draws every item of the art LIST and writes the image library LIBRARY
      (exports go beside it); the PNGs and the zarvenok-pack manifest it is
      made from are left in WORKDIR.
  review LIBRARY SCREENS OUTDIR
      Writes contact sheets of every item of LIBRARY and one layout picture
      per screen of SCREENS into OUTDIR.
  help
      Shows this text.

The formats of LIST and SCREENS are described in assets/images/README.md.
)";

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 4 && args[0] == "build") {
            BuildArtLibrary(args[1], args[2], args[3], std::cout);
            return 0;
        }
        if (args.size() == 4 && args[0] == "review") {
            WriteArtReview(args[1], args[2], args[3], std::cout);
            return 0;
        }
        if (args.size() == 1 && (args[0] == "help" || args[0] == "--help" || args[0] == "-h")) {
            std::cout << kUsage;
            return 0;
        }
        std::cerr << kUsage;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "zarvenok-art: " << e.what() << '\n';
        return 1;
    }
}
