#include "policy/render_text.h"

namespace devctl {

std::string interactive_number(Interactive value) {
    return std::to_string(static_cast<int>(value));
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

namespace {

constexpr size_t kPieceSize = 1 << 20;
constexpr size_t kLineRoom = 64 << 10;

}  // namespace

std::string& room(TextBlock& block) {
    std::vector<std::string>& pieces = block.pieces;
    if (pieces.empty() || pieces.back().capacity() - pieces.back().size() < kLineRoom) {
        pieces.emplace_back().reserve(kPieceSize);
    }
    return pieces.back();
}

size_t text_size(const TextBlock& block) {
    size_t size = 0;
    for (const std::string& piece : block.pieces) size += piece.size();
    return size;
}

void append_block(std::string& out, const TextBlock& block) {
    for (const std::string& piece : block.pieces) out.append(piece);
}

void append_line(std::string& out, std::initializer_list<std::string_view> parts) {
    for (std::string_view part : parts) out.append(part);
    out.push_back('\n');
}

void append_line(TextBlock& block, std::initializer_list<std::string_view> parts) {
    append_line(room(block), parts);
}

void append_filled_line(std::string& out, std::string_view line_template, std::string_view marker,
                        std::initializer_list<std::string_view> parts) {
    const size_t at = line_template.find(marker);
    if (at == std::string_view::npos) return append_line(out, {line_template});
    out.append(line_template.substr(0, at));
    for (std::string_view part : parts) out.append(part);
    append_line(out, {line_template.substr(at + marker.size())});
}

}  // namespace devctl
