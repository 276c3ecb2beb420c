#include "policy/policy_writer.h"

#include "policy/render_text.h"

namespace devctl {

PolicyWriter make_policy_writer(std::string scene) {
    PolicyWriter writer;
    writer.name = std::move(scene);
    return writer;
}

void write_policy(const Policy& policy, PolicyWriter& writer) {
    write_string_variable(writer, "name", policy.scene);
    append_line(writer.declarations, {"int priority = ", std::to_string(policy.priority)});
    append_line(writer.declarations, {"bool audit = ", bool_text(policy.audit)});
    append_line(writer.declarations,
                {"int interactive = ", interactive_number(policy.interactive)});
    write_string_variable(writer, "module_name", "");
    write_modules(policy.modules, writer);
}

void write_string_variable(PolicyWriter& writer, std::string_view key, std::string_view value) {
    if (key == "module_name") {
        append_line(writer.declarations, {"string module_name = ", writer.name});
        append_line(writer.declarations, {"#@VARIABLES"});
        return;
    }
    append_line(writer.declarations, {"#@NAMESPACE"});
    append_line(writer.declarations, {"string ", key, " = ", value});
}

std::string scoped_name(const PolicyWriter& writer) { return writer.name + "_" + std::string(writer.path.back()); }

std::string render_policy_text(const PolicyWriter& writer) {
    std::string text;
    text.reserve(text_size(writer.declarations) + text_size(writer.rules));
    stream_policy_text(writer, [&](std::string_view piece) { text.append(piece); });
    return text;
}

void stream_policy_text(const PolicyWriter& writer, json::FunctionRef<void(std::string_view)> out) {
    for (const std::string& piece : writer.declarations.pieces) out(piece);
    // The piece that brings the rest down to nothing holds the final line feed.
    size_t rest = text_size(writer.rules);
    for (const std::string& piece : writer.rules.pieces) {
        rest -= piece.size();
        out(rest == 0 && !piece.empty() ? std::string_view(piece).substr(0, piece.size() - 1) : piece);
    }
}

std::string policy_rule_text(const Policy& policy) {
    PolicyWriter writer = make_policy_writer(policy.scene);
    write_policy(policy, writer);
    return render_policy_text(writer);
}

}  // namespace devctl
