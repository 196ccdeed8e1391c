#include "app/Soak.h"

#include <iostream>

int main(int argc, char** argv)
{
    return tarnwood::RunSoak(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
