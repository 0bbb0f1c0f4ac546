// The registry of the real machine, through the system's ANSI registry functions.
#pragma once

#include "platform/registry.h"

namespace rvx::win32 {

class Win32Registry : public platform::Registry {
public:
    platform::Result<platform::RegValue> ReadValue(platform::RootKey root, std::string_view subkey,
                                                   std::string_view name) override;
    platform::Outcome WriteValue(platform::RootKey root, std::string_view subkey, std::string_view name,
                                 const platform::RegValue& value) override;
    platform::Outcome DeleteValue(platform::RootKey root, std::string_view subkey, std::string_view name) override;
    platform::Outcome CreateKey(platform::RootKey root, std::string_view subkey) override;
    bool KeyExists(platform::RootKey root, std::string_view subkey) override;
    platform::Outcome CheckWritable(platform::RootKey root, std::string_view subkey) override;
    platform::Outcome DeleteKey(platform::RootKey root, std::string_view subkey) override;
    platform::Result<std::vector<std::string>> SubkeyNames(platform::RootKey root, std::string_view subkey) override;
    platform::Result<std::vector<std::string>> ValueNames(platform::RootKey root, std::string_view subkey) override;
};

}  // namespace rvx::win32
