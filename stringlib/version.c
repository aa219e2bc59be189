/* The version block of TREVO_Res: one translation, Korean with code page 949. */
#include "trevores.h"

static const struct TrevoResVersionValue values[] = {
    {"CompanyName", "TREVO_VIEWER."},
    {"FileDescription", "TREVO_VIEWER Res."},
    {"FileVersion", "1.0.1.21"},
    {"InternalName", "TREVO_VIEWER.dll"},
    {"OriginalFilename", "TREVO_VIEWER.dll"},
    {"ProductName", "TREVO_VIEWER Res."},
    {"ProductVersion", "1.0.1.21"},
};

const struct TrevoResVersion TrevoResVersionInfo = {
    {1, 0, 1, 21}, {1, 0, 1, 21}, 0x0412, 949, sizeof values / sizeof values[0], values,
};
