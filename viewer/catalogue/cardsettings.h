#pragma once
// Where a recorder keeps its settings file on the card, and the model names its messages use.

#include <string>

// Below the card root: "/Parameter/config.txt" for models 0-2, "/config.txt" for model 3.
std::wstring GetConfigFilePath();
// "T550", "T310", "T330", "R310/R330"; "???" for any other index.
std::wstring GetModelName(int modelIndex);
