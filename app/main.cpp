#include "app/ProcessObjects.h"

int main(int argc, char** argv) {
    theApp.InitInstance(argc, argv);
    return theApp.ExitCode();
}
