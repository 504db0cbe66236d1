#pragma once

#include <string>
#include <vector>

// The files the arguments name, and the patterns among them that matched no file.
struct ExpandedArguments {
    std::vector<std::string> files;
    std::vector<std::string> unmatched;
};

// Replaces each argument holding '*' or '?' by the files it matches, sorted by name, where the
// shell does not do it (Windows); a pattern that matches nothing is listed as unmatched.
ExpandedArguments ExpandWildcards(const std::vector<std::string>& arguments);
