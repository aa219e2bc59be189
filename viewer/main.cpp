// TREVO_VIEWER: the application object runs the program.
#include "viewer/app/viewerapp.h"

int main(int argc, char** argv) {
    CViewerApp application;
    return AfxWinMain(argc, argv);
}
