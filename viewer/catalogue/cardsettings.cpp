#include "viewer/catalogue/cardsettings.h"

#include "viewer/catalogue/sharedhelpers.h"

std::wstring GetConfigFilePath() {
    return ModelIndexBelow3() ? L"/Parameter/config.txt" : L"/config.txt";
}

std::wstring GetModelName(int modelIndex) {
    static const wchar_t* const names[] = {L"T550", L"T310", L"T330", L"R310/R330"};
    return modelIndex >= 0 && modelIndex < 4 ? names[modelIndex] : L"???";
}
