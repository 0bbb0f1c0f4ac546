// The registry as the installer sees it: keys addressed by a root and a "\"-separated subkey,
// values with the Windows value types. Key and value names compare ignoring case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace rvx::platform {

enum class RootKey { classes_root, current_user, local_machine, users, current_config };

// Value types, with the numbers Windows gives them.
namespace value_type {
inline constexpr uint32_t none = 0;
inline constexpr uint32_t string = 1;         // REG_SZ
inline constexpr uint32_t expand_string = 2;  // REG_EXPAND_SZ
inline constexpr uint32_t binary = 3;         // REG_BINARY
inline constexpr uint32_t dword = 4;          // REG_DWORD
inline constexpr uint32_t multi_string = 7;   // REG_MULTI_SZ
}  // namespace value_type

// A registry value as stored: its type and its raw bytes (texts include their terminating zero).
struct RegValue {
    uint32_t type = value_type::none;
    std::vector<uint8_t> data;

    static RegValue Text(std::string_view text, uint32_t type = value_type::string);
    static RegValue Dword(uint32_t number);
    static RegValue Binary(std::vector<uint8_t> bytes);
    static RegValue MultiText(const std::vector<std::string>& lines);

    // The text of a string value up to its first zero; nothing for other types.
    std::optional<std::string> AsText() const;
    std::optional<uint32_t> AsDword() const;

    bool operator==(const RegValue&) const = default;
};

class Registry {
public:
    virtual ~Registry() = default;

    // The default value of a key has the empty name.
    virtual Result<RegValue> ReadValue(RootKey root, std::string_view subkey, std::string_view name) = 0;
    // Creates the key (and its parents) when needed.
    virtual Outcome WriteValue(RootKey root, std::string_view subkey, std::string_view name, const RegValue& value) = 0;
    virtual Outcome DeleteValue(RootKey root, std::string_view subkey, std::string_view name) = 0;

    virtual Outcome CreateKey(RootKey root, std::string_view subkey) = 0;
    virtual bool KeyExists(RootKey root, std::string_view subkey) = 0;
    // Whether the key can be opened for writing by this user (access_denied when not).
    virtual Outcome CheckWritable(RootKey root, std::string_view subkey) = 0;
    // Deletes a key; on the NT family a key that still has subkeys is refused (not_empty).
    virtual Outcome DeleteKey(RootKey root, std::string_view subkey) = 0;
    virtual Result<std::vector<std::string>> SubkeyNames(RootKey root, std::string_view subkey) = 0;
    virtual Result<std::vector<std::string>> ValueNames(RootKey root, std::string_view subkey) = 0;
};

// The one table of root-key names: the full name the registry editor writes
// ("HKEY_LOCAL_MACHINE") and the short name scripts and logs write ("HKLM"). Each reader of a
// name decides how it compares them.
struct RootKeyNames {
    RootKey root;
    std::string_view full_name;
    std::string_view short_name;
};
inline constexpr RootKeyNames kRootKeyNames[] = {
    {RootKey::classes_root, "HKEY_CLASSES_ROOT", "HKCR"},
    {RootKey::current_user, "HKEY_CURRENT_USER", "HKCU"},
    {RootKey::local_machine, "HKEY_LOCAL_MACHINE", "HKLM"},
    {RootKey::users, "HKEY_USERS", "HKU"},
    {RootKey::current_config, "HKEY_CURRENT_CONFIG", "HKCC"},
};

// The full name of a root key, as the registry editor writes it ("HKEY_LOCAL_MACHINE").
const char* RootKeyName(RootKey root);
// A full or a short name, in any letter case, as the registry editor's files may write them.
std::optional<RootKey> RootKeyFromFullName(std::string_view name);
std::optional<RootKey> RootKeyFromShortNameIgnoringCase(std::string_view name);

}  // namespace rvx::platform
