#include "app/Entry.h"
#include "app/RunMode.h"

int main(int argc, char** argv)
{
    return tarnwood::TarnwoodMain(tarnwood::JoinArguments(argc, argv));
}
