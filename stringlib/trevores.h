/* The data TREVO_Res exports. The program's module loader reads exactly this layout
 * (platform/base/resourcemodule.cpp) includes this header. */
#ifndef TREVO_RES_H
#define TREVO_RES_H

struct TrevoResString {
    unsigned short language;
    unsigned short id;
    const char* text; /* UTF-8 */
};

struct TrevoResVersionValue {
    const char* key;
    const char* value;
};

struct TrevoResVersion {
    unsigned short fileVersion[4];
    unsigned short productVersion[4];
    unsigned short language;
    unsigned short codePage;
    unsigned int valueCount;
    const struct TrevoResVersionValue* values;
};

/* Sorted by language, then id; one entry per (language, id). */
extern const struct TrevoResString TrevoResStrings[];
extern const unsigned int TrevoResStringCount;
extern const struct TrevoResVersion TrevoResVersionInfo;

#endif
