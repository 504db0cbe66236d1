#pragma once

#include <string>
#include <vector>

// Replaces each argument holding '*' or '?' by the files it matches, sorted by name, where the
// shell does not do it (Windows); an argument that matches nothing stays as it is.
std::vector<std::string> ExpandWildcards(const std::vector<std::string>& arguments);
