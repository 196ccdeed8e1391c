#include "app/ConfigProgram.h"
#include "app/Settings.h"

#include <iostream>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return tarnwood::RunConfigProgram(arguments, tarnwood::SettingsFilePath(), std::cout, std::cerr);
}
