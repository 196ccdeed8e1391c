#include "app/Entry.h"

int main(int argc, char** argv)
{
    return tarnwood::TarnwoodMain(argc, argv);
}
