// A stand-in host window for tests, scripts and benchmarks: makes a window on
// $DISPLAY, prints its id as 0x... on the first line, then obeys one command
// per line on standard input and answers "ok" or "failed" to each:
//   resize W H | unmap | map | cover | uncover | shot FILE.ppm | destroy | quit
// Usage: tarnwood-stand-in-window [WIDTHxHEIGHT]   (default 400x300)
#include "support/StandInWindow.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    int width = 400;
    int height = 300;
    if (argc > 1 && std::sscanf(argv[1], "%dx%d", &width, &height) != 2) {
        std::cerr << "usage: tarnwood-stand-in-window [WIDTHxHEIGHT]\n";
        return 2;
    }
    const char* displayName = std::getenv("DISPLAY");
    tarnwood::test::StandInWindow window(displayName != nullptr ? displayName : "", width, height);
    if (!window.Ok()) {
        std::cerr << "tarnwood-stand-in-window: cannot open the display or make the window\n";
        return 1;
    }
    std::cout << window.HexId() << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        bool ok = false;
        if (command == "resize") {
            int w = 0;
            int h = 0;
            ok = static_cast<bool>(words >> w >> h) && w > 0 && h > 0 && window.Resize(w, h);
        } else if (command == "unmap") {
            ok = window.Unmap();
        } else if (command == "map") {
            ok = window.Map();
        } else if (command == "cover") {
            ok = window.Cover();
        } else if (command == "uncover") {
            ok = window.Uncover();
        } else if (command == "destroy") {
            ok = window.Destroy();
        } else if (command == "shot") {
            std::string path;
            words >> path;
            const tarnwood::test::Picture picture = window.Capture();
            std::ofstream out(path, std::ios::binary);
            out << tarnwood::test::WritePpm(picture);
            ok = picture.width > 0 && static_cast<bool>(out);
        } else if (command == "quit") {
            std::cout << "ok" << std::endl;
            return 0;
        }
        std::cout << (ok ? "ok" : "failed") << std::endl;
    }
    return 0;
}
