#include "cli/usage_error.h"

#include <algorithm>

#include "cli/unicode_text.h"

namespace devctl::cli {
namespace {

double jaro(const std::vector<char32_t>& a, const std::vector<char32_t>& b) {
    if (a.empty() && b.empty()) return 1.0;
    if (a.empty() || b.empty()) return 0.0;
    size_t range = std::max(a.size(), b.size()) / 2;
    range = range > 0 ? range - 1 : 0;
    std::vector<bool> a_hit(a.size()), b_hit(b.size());
    size_t matches = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        size_t low = i > range ? i - range : 0;
        size_t high = std::min(b.size(), i + range + 1);
        for (size_t j = low; j < high; ++j) {
            if (!b_hit[j] && a[i] == b[j]) {
                a_hit[i] = b_hit[j] = true;
                ++matches;
                break;
            }
        }
    }
    if (matches == 0) return 0.0;
    size_t transpositions = 0;
    size_t j = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if (!a_hit[i]) continue;
        while (!b_hit[j]) ++j;
        if (a[i] != b[j]) ++transpositions;
        ++j;
    }
    transpositions /= 2;
    double m = static_cast<double>(matches);
    return (m / static_cast<double>(a.size()) + m / static_cast<double>(b.size()) +
            (m - static_cast<double>(transpositions)) / m) / 3.0;
}

std::string quoted_list(const std::vector<std::string>& words) {
    std::string out;
    for (size_t i = 0; i < words.size(); ++i) {
        if (i > 0) out += ", ";
        out += "'" + words[i] + "'";
    }
    return out;
}

std::string similar_tip(std::string_view kind, const std::vector<std::string>& words) {
    if (words.size() == 1) return "a similar " + std::string(kind) + " exists: " + quoted_list(words);
    return "some similar " + std::string(kind) + "s exist: " + quoted_list(words);
}

// Candidates close enough to a mistyped word to be suggested, least close
// first (Jaro similarity above 0.7).
std::vector<std::string> similar_words(std::string_view typed, const std::vector<std::string>& candidates) {
    std::vector<std::pair<double, std::string>> scored;
    auto typed_points = code_points(typed);
    for (const std::string& candidate : candidates) {
        double score = jaro(typed_points, code_points(candidate));
        if (score > 0.7) scored.emplace_back(score, candidate);
    }
    std::stable_sort(scored.begin(), scored.end(), [](const auto& l, const auto& r) { return l.first < r.first; });
    std::vector<std::string> out;
    for (auto& [score, word] : scored) out.push_back(std::move(word));
    return out;
}

}  // namespace

std::string render_error(const UsageError& error, const CommandDecl& command) {
    std::string out = "error: " + error.message;
    if (!error.tips.empty()) out += "\n";
    for (const std::string& tip : error.tips) out += "\n  tip: " + tip;
    if (!error.usage.empty()) out += "\n\nUsage: " + error.usage;
    if (command.has_help_flag()) {
        out += "\n\nFor more information, try '--help'.\n";
    } else if (!command.subcommands.empty()) {
        out += "\n\nFor more information, try 'help'.\n";
    } else {
        out += "\n";
    }
    return out;
}

UsageError unexpected_argument(std::string_view arg, const std::string& usage) {
    return {"unexpected argument '" + std::string(arg) + "' found", {}, usage};
}

const ArgDecl* closest_long(const CommandDecl& command, std::string_view typed) {
    std::vector<std::string> names;
    for (const ArgDecl& decl : command.args) {
        if (!decl.long_name.empty()) names.emplace_back(decl.long_name);
    }
    if (command.has_help_flag()) names.emplace_back(help_arg().long_name);
    auto similar = similar_words(typed, names);
    return similar.empty() ? nullptr : find_long(command, similar.back());
}

UsageError unknown_option(const CommandDecl& command, std::string_view arg, const ArgDecl* similar,
                          const std::string& usage, bool trailing) {
    UsageError error = unexpected_argument(arg, usage);
    if (similar != nullptr) {
        error.tips.push_back(similar_tip("argument", {"--" + std::string(similar->long_name)}));
    } else if (!trailing && find_positional(command, 0) != nullptr) {
        error.tips.push_back("to pass '" + std::string(arg) + "' as a value, use '-- " + std::string(arg) + "'");
    }
    return error;
}

UsageError unrecognized_subcommand(const CommandPath& path, std::string_view name, bool suggest) {
    UsageError error{"unrecognized subcommand '" + std::string(name) + "'", {}, help_usage(path)};
    if (!suggest) return error;
    std::vector<std::string> names;
    for (const CommandDecl& sub : path.back()->subcommands) names.emplace_back(sub.name);
    auto similar = similar_words(name, names);
    if (!similar.empty()) error.tips.push_back(similar_tip("subcommand", similar));
    return error;
}

UsageError invalid_value(const ArgDecl& arg, std::string_view value) {
    std::string shown = arg_display(arg);
    UsageError error;
    if (value.empty()) {
        error.message = "a value is required for '" + shown + "' but none was supplied";
    } else {
        error.message = "invalid value '" + std::string(value) + "' for '" + shown + "'";
    }
    if (std::string note = possible_values_note(arg); !note.empty()) error.message += "\n  " + note;
    std::vector<std::string> values(arg.possible_values.begin(), arg.possible_values.end());
    auto similar = similar_words(value, values);
    if (!similar.empty()) error.tips.push_back(similar_tip("value", {similar.back()}));
    return error;
}

UsageError unneeded_value(const ArgDecl& arg, std::string_view value, const std::string& usage) {
    return {"unexpected value '" + std::string(value) + "' for '" + arg_display(arg) + "' found; no more were expected",
            {}, usage};
}

UsageError used_twice(const ArgDecl& arg, const std::string& usage) {
    return {"the argument '" + arg_display(arg) + "' cannot be used multiple times", {}, usage};
}

UsageError used_together(const ArgDecl& arg, const std::vector<const ArgDecl*>& others, const std::string& usage) {
    std::string message = "the argument '" + arg_display(arg) + "' cannot be used with";
    if (others.size() == 1) {
        message += " '" + arg_display(*others.front()) + "'";
    } else {
        message += ":";
        for (const ArgDecl* other : others) message += "\n  " + arg_display(*other);
    }
    return {message, {}, usage};
}

UsageError missing_arguments(const std::vector<std::string>& missing, const std::string& usage) {
    std::string message = "the following required arguments were not provided:";
    for (const std::string& part : missing) message += "\n  " + part;
    return {message, {}, usage};
}

UsageError invalid_utf8(const std::string& usage) {
    return {"invalid UTF-8 was detected in one or more arguments", {}, usage};
}

}  // namespace devctl::cli
