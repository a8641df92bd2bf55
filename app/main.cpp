#include "app/CalvornMain.h"

int main(int argc, char *argv[])
{
    return runCalvorn(argc, argv);
}
