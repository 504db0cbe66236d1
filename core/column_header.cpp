#include "core/column_header.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "core/c_space.h"

namespace {

enum class Kind { other, tau, gamma };

constexpr std::string_view kGNames[] = {"g(tau)", "g(freq)"};
constexpr std::string_view kHilbertNames[] = {"gamma_re", "gamma_im"};
constexpr std::string_view kTauNames[] = {"tau", "τ"};
constexpr std::string_view kGammaNames[] = {"gamma", "gamma(tau)", "map gamma", "map", "γ", "γ(τ)"};
constexpr std::string_view kLogarithms[] = {"log10", "log", "ln", "lg"};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsCSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsCSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// `field` trimmed, without the double quotes it is wholly in ("\"tau\"" gives "tau").
std::string_view Unquoted(std::string_view field) {
    field = Trim(field);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
        field = Trim(field.substr(1, field.size() - 2));
    }
    return field;
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

// A test of a name for being one of `names`.
template <typename Names>
auto In(const Names& names) {
    return [&names](std::string_view name) {
        return std::find(std::begin(names), std::end(names), name) != std::end(names);
    };
}

// `name` without one trailing unit: in brackets ("tau(s)", "tau [s]"), after the first slash
// ("tau / s") and after the last underscore ("tau_s"); empty where it has no such unit.
std::array<std::string_view, 3> WithoutUnit(std::string_view name) {
    std::array<std::string_view, 3> forms{};
    if (!name.empty() && (name.back() == ')' || name.back() == ']')) {
        const std::size_t open = name.rfind(name.back() == ')' ? '(' : '[');
        if (open != std::string_view::npos) {
            forms[0] = Trim(name.substr(0, open));
        }
    }
    const std::size_t slash = name.find('/');
    const std::size_t underscore = name.rfind('_');
    for (const std::size_t at : {slash, underscore}) {
        if (at != std::string_view::npos && !Trim(name.substr(at + 1)).empty()) {
            forms[at == slash ? 1 : 2] = Trim(name.substr(0, at));
        }
    }
    return forms;
}

// True when `test` holds for `name` as it stands or without one trailing unit.
template <typename Test>
bool AnyForm(std::string_view name, Test test) {
    const std::array<std::string_view, 3> forms = WithoutUnit(name);
    return test(name) || std::any_of(forms.begin(), forms.end(), test);
}

// What the lower-case name `name` names: "tau (s)" is τ, "gamma(tau) [Ohm]" is γ.
Kind KindOf(std::string_view name) {
    if (AnyForm(name, In(kTauNames))) {
        return Kind::tau;
    }
    return AnyForm(name, In(kGammaNames)) ? Kind::gamma : Kind::other;
}

// What the lower-case name `name` is the logarithm of: "log10(tau)" and "ln (tau / s)" are of τ.
Kind LogarithmOf(std::string_view name) {
    for (const std::string_view logarithm : kLogarithms) {
        if (name.substr(0, logarithm.size()) != logarithm) {
            continue;
        }
        const std::string_view argument = Trim(name.substr(logarithm.size()));
        if (argument.size() >= 2 && argument.front() == '(' && argument.back() == ')') {
            return KindOf(Trim(argument.substr(1, argument.size() - 2)));
        }
    }
    return Kind::other;
}

bool IsFrequency(std::string_view name) {
    return AnyForm(
        name, [](std::string_view form) { return form == "f" || form.substr(0, 4) == "freq"; });
}

// `before`, then `name` in double quotes, then `after`.
std::string Quoted(std::string_view before, std::string_view name, std::string_view after) {
    std::string text(before);
    text.append(1, '"').append(name).append(1, '"').append(after);
    return text;
}

// Why a column named `field`, `name` in lower case, must not be converted, or empty.
std::string Refusal(std::string_view field, std::string_view name) {
    if (AnyForm(name, In(kGNames))) {
        return Quoted("its column ", field, " holds g = γ·f, not γ(τ): export γ against τ instead");
    }
    if (AnyForm(name, In(kHilbertNames))) {
        return Quoted("its column ", field,
                      " holds a part of a Hilbert-transform run, not γ(τ): export γ against τ "
                      "instead");
    }
    switch (LogarithmOf(name)) {
        case Kind::tau:
            return Quoted("its column ", field,
                          " holds the logarithm of τ, not τ: export γ against τ itself");
        case Kind::gamma:
            return Quoted("its column ", field,
                          " holds the logarithm of γ, not γ: export γ against τ itself");
        case Kind::other:
            break;
    }
    return {};
}

// The fields of `line`, trimmed and unquoted, split at the first of ',', '\t' and ';' it holds,
// else at runs of blanks outside quotes and brackets, where a unit in brackets or after a slash
// stays with its name ("tau [s]  gamma / Ohm"); `separator` says which, or 0 for no fields.
std::vector<std::string_view> SplitNames(std::string_view line, char& separator) {
    std::vector<std::string_view> fields;
    separator = 0;
    for (const char candidate : {',', '\t', ';'}) {
        if (separator == 0 && line.find(candidate) != std::string_view::npos) {
            separator = candidate;
        }
    }
    if (separator != 0) {
        for (std::size_t start = 0;;) {
            const std::size_t end = line.find(separator, start);
            fields.push_back(line.substr(start, end - start));
            if (end == std::string_view::npos) {
                break;
            }
            start = end + 1;
        }
    }
    for (std::size_t end = 0; separator == 0 && end < line.size();) {
        const std::size_t start = end;
        bool quoted = false;
        int depth = 0;
        for (; end < line.size() && (quoted || depth > 0 || !IsCSpace(line[end])); ++end) {
            const char c = line[end];
            if (c == '"') {
                quoted = !quoted;
            } else if (!quoted && (c == '(' || c == '[')) {
                ++depth;
            } else if (!quoted && depth > 0 && (c == ')' || c == ']')) {
                --depth;
            }
        }
        const char first = line[start];
        if (!fields.empty() &&
            (first == '(' || first == '[' || first == '/' || fields.back().back() == '/')) {
            const std::size_t name = static_cast<std::size_t>(fields.back().data() - line.data());
            fields.back() = line.substr(name, end - name);
        } else {
            fields.push_back(line.substr(start, end - start));
        }
        while (end < line.size() && IsCSpace(line[end])) {
            ++end;
        }
    }
    if (separator == 0 && !fields.empty()) {
        separator = ' ';
    }
    std::transform(fields.begin(), fields.end(), fields.begin(), Unquoted);
    return fields;
}

}  // namespace

ColumnHeader ReadColumnHeader(std::string_view line) {
    ColumnHeader header;
    line = Trim(line);
    if (!line.empty() && (line.front() == '#' || line.front() == '%')) {
        line = Trim(line.substr(1));
    }
    const std::vector<std::string_view> fields = SplitNames(line, header.separator);
    header.nameCount = static_cast<int>(fields.size());
    std::vector<std::string> names;
    for (const std::string_view field : fields) {
        names.push_back(Lower(field));
        header.namesTau = header.namesTau || names.back().find("tau") != std::string::npos ||
                          field.find("τ") != std::string_view::npos;
        if (header.refusal.empty()) {
            header.refusal = Refusal(field, names.back());
        }
    }
    header.labelColumn = fields.size() >= 3 && fields[0].empty();
    const std::size_t first = header.labelColumn ? 1 : 0;
    if (fields.size() < first + 2) {
        return header;
    }
    header.names.append(fields[first]).append(", ").append(fields[first + 1]);
    const Kind kinds[] = {KindOf(names[first]), KindOf(names[first + 1])};
    if (header.refusal.empty() && IsFrequency(names[first]) && kinds[1] == Kind::gamma) {
        header.refusal = Quoted("its first column ", fields[first],
                                " is a frequency, not τ: export γ against τ instead");
    }
    if (!header.refusal.empty()) {
        return header;
    }
    header.tauFirst = kinds[0] == Kind::tau && kinds[1] == Kind::gamma;
    header.recognised = header.tauFirst || (kinds[0] == Kind::gamma && kinds[1] == Kind::tau);
    return header;
}
