#include "resources/PakTool.h"

#include <iostream>

int main(int argc, char** argv)
{
    return tarnwood::PakTool::Run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
