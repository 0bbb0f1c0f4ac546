// Registry value constructors and accessors shared by every implementation.
#include "platform/registry.h"

#include <cstring>

#include "common/text/text.h"

namespace rvx::platform {

RegValue RegValue::Text(std::string_view text, uint32_t type) {
    RegValue value;
    value.type = type;
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    return value;
}

RegValue RegValue::Dword(uint32_t number) {
    RegValue value;
    value.type = value_type::dword;
    for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<uint8_t>(number >> (8 * i)));
    return value;
}

RegValue RegValue::Binary(std::vector<uint8_t> bytes) {
    RegValue value;
    value.type = value_type::binary;
    value.data = std::move(bytes);
    return value;
}

RegValue RegValue::MultiText(const std::vector<std::string>& lines) {
    RegValue value;
    value.type = value_type::multi_string;
    for (const auto& line : lines) {
        value.data.insert(value.data.end(), line.begin(), line.end());
        value.data.push_back(0);
    }
    value.data.push_back(0);
    return value;
}

std::optional<std::string> RegValue::AsText() const {
    if (type != value_type::string && type != value_type::expand_string && type != value_type::multi_string)
        return std::nullopt;
    std::string text(data.begin(), data.end());
    if (auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
    return text;
}

std::optional<uint32_t> RegValue::AsDword() const {
    if (type != value_type::dword || data.size() < 4) return std::nullopt;
    return static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
           static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
}

const char* RootKeyName(RootKey root) {
    for (const auto& entry : kRootKeyNames)
        if (entry.root == root) return entry.full_name.data();
    return "HKEY_UNKNOWN";
}

std::optional<RootKey> RootKeyFromFullName(std::string_view name) {
    for (const auto& entry : kRootKeyNames)
        if (text::EqualsIgnoreCase(name, entry.full_name)) return entry.root;
    return std::nullopt;
}

std::optional<RootKey> RootKeyFromShortNameIgnoringCase(std::string_view name) {
    for (const auto& entry : kRootKeyNames)
        if (text::EqualsIgnoreCase(name, entry.short_name)) return entry.root;
    return std::nullopt;
}

}  // namespace rvx::platform
