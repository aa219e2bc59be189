// TREVO_VIEWER: start-up as far as the program is built.
#include "platform/base/resourcemodule.h"

#include <cstdio>

int main() {
    HMODULE strings = LoadLibraryExW(L"TREVO_Res.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (strings == nullptr) {
        std::fputs("Load TREVO_Res.dll fail!!\n", stderr);
        return 1;
    }
    std::fputs("TREVO_VIEWER: the string library is loaded; the viewer's windows are not built yet.\n",
               stdout);
    FreeLibrary(strings);
    return 0;
}
