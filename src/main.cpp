// zarvenok: the game on the SDL platform.
#include "SdlPlatform.h"
#include "Unit1.h"

#include <exception>
#include <iostream>
#include <memory>

int main()
{
    std::unique_ptr<TSdlPlatform> platform;
    try {
        platform = std::make_unique<TSdlPlatform>();
    } catch (const std::exception& e) {
        std::cerr << "zarvenok: " << e.what() << '\n';
        return 1;
    }
    int status = 0;
    try {
        TMainForm form(*platform);
        form.Start();
        status = form.Run();
        form.AfterLoop();
    } catch (const std::exception& e) {
        // A missing or damaged library: say what the library said, and stop.
        std::cerr << "zarvenok: " << e.what() << '\n';
        platform->MessageBox().Show("Zarvenok", e.what());
        status = 1;
    }
    return status;
}
