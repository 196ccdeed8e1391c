#include "app/Snapshot.h"

int main(int argc, char** argv)
{
    return tarnwood::RunSnapshot(std::vector<std::string>(argv + 1, argv + argc));
}
