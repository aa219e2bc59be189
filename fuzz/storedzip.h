#pragma once
// A zip archive of stored entries, for targets that wrap the fuzzer's bytes in an otherwise sound
// archive so that they reach the parser behind the zip reader.

#include <string>
#include <utility>
#include <vector>

// Entries as (name, data); names are written as given.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& entries);
