#include "core/column_header.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "core/c_space.h"

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsCSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsCSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// `name` without one trailing unit in brackets that follows a blank: "tau [s]" gives "tau",
// "gamma(tau)" stays whole.
std::string_view WithoutUnit(std::string_view name) {
    if (name.empty() || (name.back() != ')' && name.back() != ']')) {
        return name;
    }
    const std::size_t open = name.rfind(name.back() == ')' ? '(' : '[');
    if (open == std::string_view::npos || open == 0 || !IsCSpace(name[open - 1])) {
        return name;
    }
    return Trim(name.substr(0, open));
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

template <typename Names>
bool IsOneOf(const std::string& name, const Names& names) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// The fields of `line` at the first separator it holds of commas, tabs and ';', else at runs of
// blanks, where a unit in brackets stays with the name before it ("tau [s]  gamma [Ohm]"); each
// trimmed.
std::vector<std::string_view> SplitNames(std::string_view line) {
    std::vector<std::string_view> fields;
    char separator = 0;
    for (const char candidate : {',', '\t', ';'}) {
        if (line.find(candidate) != std::string_view::npos) {
            separator = candidate;
            break;
        }
    }
    if (separator != 0) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = line.find(separator, start);
            fields.push_back(Trim(line.substr(start, end - start)));
            if (end == std::string_view::npos) {
                break;
            }
            start = end + 1;
        }
        return fields;
    }
    std::size_t start = 0;
    while (start < line.size()) {
        while (start < line.size() && IsCSpace(line[start])) {
            ++start;
        }
        std::size_t end = start;
        const bool unit =
            end < line.size() && (line[end] == '(' || line[end] == '[') && !fields.empty();
        if (unit) {
            const std::size_t close = line.find(line[end] == '(' ? ')' : ']', end);
            end = close == std::string_view::npos ? line.size() : close + 1;
        }
        while (end < line.size() && !IsCSpace(line[end])) {
            ++end;
        }
        if (unit) {
            const std::size_t name = static_cast<std::size_t>(fields.back().data() - line.data());
            fields.back() = line.substr(name, end - name);
        } else if (end > start) {
            fields.push_back(line.substr(start, end - start));
        }
        start = end;
    }
    return fields;
}

// `before`, then `name` in double quotes, then `after`.
std::string Quoted(std::string_view before, std::string_view name, std::string_view after) {
    std::string text(before);
    text.append(1, '"').append(name).append(1, '"').append(after);
    return text;
}

constexpr std::string_view kGNames[] = {"g(tau)", "g(freq)"};
constexpr std::string_view kHilbertNames[] = {"gamma_re", "gamma_im"};
constexpr std::string_view kTauNames[] = {"tau", "τ"};
constexpr std::string_view kGammaNames[] = {"gamma", "gamma(tau)", "map gamma", "map", "γ", "γ(τ)"};

}  // namespace

ColumnHeader ReadColumnHeader(std::string_view line) {
    ColumnHeader header;
    const std::vector<std::string_view> fields = SplitNames(line);
    std::vector<std::string> names;
    for (const std::string_view field : fields) {
        names.push_back(Lower(WithoutUnit(field)));
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (IsOneOf(names[i], kGNames)) {
            header.refusal = Quoted("its column ", fields[i],
                                    " holds g = γ·f, not γ(τ): export γ against τ instead");
            return header;
        }
        if (IsOneOf(names[i], kHilbertNames)) {
            header.refusal = Quoted("its column ", fields[i],
                                    " holds a part of a Hilbert-transform run, not γ(τ): export "
                                    "γ against τ instead");
            return header;
        }
    }
    if (names.empty()) {
        return header;
    }
    if (names[0] == "f" || names[0].compare(0, 4, "freq") == 0) {
        header.refusal = Quoted("its first column ", fields[0],
                                " is a frequency, not τ: export γ against τ instead");
        return header;
    }
    if (names.size() < 2) {
        return header;
    }
    header.names.append(fields[0]).append(", ").append(fields[1]);
    header.tauFirst = IsOneOf(names[0], kTauNames) && IsOneOf(names[1], kGammaNames);
    header.recognised =
        header.tauFirst || (IsOneOf(names[0], kGammaNames) && IsOneOf(names[1], kTauNames));
    return header;
}
