#include "script_image.h"

#include <utility>

namespace {
const std::string kEmpty;
}  // namespace

ParameterBlocks::ParameterBlocks(std::vector<std::string> lines) : lines_(std::move(lines)) {
    BuildIndex();
}

ParameterBlocks::ParameterBlocks(const ParameterBlocks& other) : lines_(other.lines_) {
    BuildIndex();
}

ParameterBlocks& ParameterBlocks::operator=(const ParameterBlocks& other) {
    if (this != &other) {
        lines_ = other.lines_;
        BuildIndex();
    }
    return *this;
}

void ParameterBlocks::BuildIndex() {
    first_position_.clear();
    first_position_.reserve(lines_.size());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        first_position_.try_emplace(std::string_view(lines_[i]), i);  // keeps the first
    }
}

const std::string& ParameterBlocks::Get(std::string_view id, int n) const {
    if (n < 0) return kEmpty;
    const auto found = first_position_.find(id);
    if (found == first_position_.end()) return kEmpty;
    const std::size_t position = found->second + static_cast<std::size_t>(n);
    return position < lines_.size() ? lines_[position] : kEmpty;
}

void ScriptImage::SetParameterLines(std::vector<std::string> lines) {
    parameters_ = ParameterBlocks(std::move(lines));
}

void ScriptImage::SetCommandHeaders(std::vector<CommandHeader> headers) {
    headers_ = std::move(headers);
    header_by_index_.clear();
    header_by_index_.reserve(headers_.size());
    for (std::size_t i = 0; i < headers_.size(); ++i) {
        header_by_index_.try_emplace(headers_[i].IndexText, i);  // keeps the first
    }
}

std::string ScriptImage::GetCommandHeader(std::int32_t index) const {
    const auto found = header_by_index_.find(std::to_string(index));
    return found == header_by_index_.end() ? std::string() : headers_[found->second].Header;
}
