#include "policy/render_text.h"

namespace devctl {

std::string interactive_number(Interactive value) {
    return std::to_string(static_cast<int>(value));
}

std::string concat_text(std::initializer_list<std::string_view> parts) {
    size_t size = 0;
    for (std::string_view part : parts) size += part.size();
    std::string out;
    out.reserve(size);
    for (std::string_view part : parts) out.append(part);
    return out;
}

std::string join_texts(const std::vector<std::string>& texts, std::string_view separator) {
    if (texts.empty()) return {};
    size_t size = separator.size() * (texts.size() - 1);
    for (const std::string& text : texts) size += text.size();
    std::string out;
    out.reserve(size);
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i != 0) out.append(separator);
        out.append(texts[i]);
    }
    return out;
}

void append_nonempty_lines(std::string& out, const std::vector<std::string>& texts) {
    bool first = true;
    for (const std::string& text : texts) {
        if (text.empty()) continue;
        if (!first) out.push_back('\n');
        out.append(text);
        first = false;
    }
}

std::string fill_template(std::string_view line_template, std::string_view marker,
                          std::string_view value) {
    size_t at = line_template.find(marker);
    if (at == std::string_view::npos) return std::string(line_template);
    return concat_text({line_template.substr(0, at), value,
                        line_template.substr(at + marker.size())});
}

void replace_all(std::string& text, std::string_view pattern, std::string_view replacement) {
    size_t at = pattern.empty() ? std::string::npos : text.find(pattern);
    if (at == std::string::npos) return;
    std::string out;
    out.reserve(text.size() + replacement.size());
    size_t from = 0;
    while (at != std::string::npos) {
        out.append(text, from, at - from);
        out.append(replacement);
        from = at + pattern.size();
        at = text.find(pattern, from);
    }
    out.append(text, from);
    text = std::move(out);
}

}  // namespace devctl
