#include "shell/Startup.h"

int main(int argc, char* argv[])
{
    return Startup::start(argc, argv);
}
