// The registry of the real machine. Every key is opened for one call and closed again, so no
// handle outlives the request that needed it.
#include "platform/win32/win32_registry.h"

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_errors.h"

namespace rvx::win32 {
namespace {

struct RootMapping {
    platform::RootKey root;
    HKEY key;
};

const RootMapping kRoots[] = {
    {platform::RootKey::classes_root, HKEY_CLASSES_ROOT},
    {platform::RootKey::current_user, HKEY_CURRENT_USER},
    {platform::RootKey::local_machine, HKEY_LOCAL_MACHINE},
    {platform::RootKey::users, HKEY_USERS},
    {platform::RootKey::current_config, HKEY_CURRENT_CONFIG},
};

HKEY RootHandle(platform::RootKey root) {
    for (const auto& mapping : kRoots)
        if (mapping.root == root) return mapping.key;
    return HKEY_LOCAL_MACHINE;
}

std::string KeyName(platform::RootKey root, std::string_view subkey) {
    std::string name = platform::RootKeyName(root);
    if (!subkey.empty()) name += "\\" + std::string(subkey);
    return name;
}

std::string ValueLabel(platform::RootKey root, std::string_view subkey, std::string_view name) {
    return KeyName(root, subkey) + " value \"" + std::string(name) + "\"";
}

// A key opened for the length of one call.
class OpenKey {
public:
    OpenKey() = default;
    ~OpenKey() {
        if (key_) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    LONG Open(platform::RootKey root, std::string_view subkey, REGSAM access) {
        const std::string path(subkey);
        return RegOpenKeyExA(RootHandle(root), path.c_str(), 0, access, &key_);
    }
    LONG Create(platform::RootKey root, std::string_view subkey) {
        const std::string path(subkey);
        return RegCreateKeyExA(RootHandle(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                               &key_, nullptr);
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// The number of subkeys and values, and the longest names, of an open key.
struct KeyInfo {
    DWORD subkeys = 0;
    DWORD longest_subkey = 0;
    DWORD values = 0;
    DWORD longest_value = 0;
};

LONG QueryInfo(HKEY key, KeyInfo& info) {
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &info.subkeys, &info.longest_subkey, nullptr, &info.values,
                            &info.longest_value, nullptr, nullptr, nullptr);
}

// The names of a key's subkeys or of its values, with a buffer sized from the longest name.
platform::Result<std::vector<std::string>> EnumerateNames(platform::RootKey root, std::string_view subkey, bool subkeys) {
    OpenKey key;
    if (LONG code = key.Open(root, subkey, KEY_READ); code != ERROR_SUCCESS)
        return ErrorFromCode(DWORD(code), KeyName(root, subkey));
    KeyInfo info;
    if (LONG code = QueryInfo(key.get(), info); code != ERROR_SUCCESS)
        return ErrorFromCode(DWORD(code), KeyName(root, subkey));
    std::vector<std::string> names;
    std::string buffer(size_t(subkeys ? info.longest_subkey : info.longest_value) + 1, '\0');
    DWORD index = 0;
    for (;;) {
        DWORD length = DWORD(buffer.size());
        const LONG code = subkeys
            ? RegEnumKeyExA(key.get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
            : RegEnumValueA(key.get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (code == ERROR_NO_MORE_ITEMS) break;
        if (code == ERROR_MORE_DATA) {  // a longer name was added since the key was measured
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (code != ERROR_SUCCESS) return ErrorFromCode(DWORD(code), KeyName(root, subkey));
        names.emplace_back(buffer.data(), length);
        ++index;
    }
    return names;
}

}  // namespace

platform::Result<platform::RegValue> Win32Registry::ReadValue(platform::RootKey root, std::string_view subkey,
                                                              std::string_view name) {
    OpenKey key;
    if (LONG code = key.Open(root, subkey, KEY_QUERY_VALUE); code != ERROR_SUCCESS)
        return ErrorFromCode(DWORD(code), KeyName(root, subkey));
    const std::string value_name(name);
    // The size first, then the value; a value that grows in between is read again.
    for (;;) {
        DWORD type = 0, size = 0;
        LONG code = RegQueryValueExA(key.get(), value_name.c_str(), nullptr, &type, nullptr, &size);
        if (code != ERROR_SUCCESS) return ErrorFromCode(DWORD(code), ValueLabel(root, subkey, name));
        platform::RegValue value;
        value.type = type;
        value.data.resize(size);
        code = RegQueryValueExA(key.get(), value_name.c_str(), nullptr, &type, value.data.empty() ? nullptr : value.data.data(),
                                &size);
        if (code == ERROR_MORE_DATA) continue;
        if (code != ERROR_SUCCESS) return ErrorFromCode(DWORD(code), ValueLabel(root, subkey, name));
        value.type = type;
        value.data.resize(size);
        return value;
    }
}

platform::Outcome Win32Registry::WriteValue(platform::RootKey root, std::string_view subkey, std::string_view name,
                                            const platform::RegValue& value) {
    OpenKey key;
    if (LONG code = key.Create(root, subkey); code != ERROR_SUCCESS)
        return ErrorFromCode(DWORD(code), KeyName(root, subkey));
    const std::string value_name(name);
    const LONG code = RegSetValueExA(key.get(), value_name.c_str(), 0, value.type, value.data.data(), DWORD(value.data.size()));
    if (code != ERROR_SUCCESS) return ErrorFromCode(DWORD(code), ValueLabel(root, subkey, name));
    return {};
}

platform::Outcome Win32Registry::DeleteValue(platform::RootKey root, std::string_view subkey, std::string_view name) {
    OpenKey key;
    if (LONG code = key.Open(root, subkey, KEY_SET_VALUE); code != ERROR_SUCCESS)
        return ErrorFromCode(DWORD(code), KeyName(root, subkey));
    const std::string value_name(name);
    if (LONG code = RegDeleteValueA(key.get(), value_name.c_str()); code != ERROR_SUCCESS)
        return ErrorFromCode(DWORD(code), ValueLabel(root, subkey, name));
    return {};
}

platform::Outcome Win32Registry::CreateKey(platform::RootKey root, std::string_view subkey) {
    OpenKey key;
    if (LONG code = key.Create(root, subkey); code != ERROR_SUCCESS)
        return ErrorFromCode(DWORD(code), KeyName(root, subkey));
    return {};
}

bool Win32Registry::KeyExists(platform::RootKey root, std::string_view subkey) {
    OpenKey key;
    return key.Open(root, subkey, KEY_READ) == ERROR_SUCCESS;
}

platform::Outcome Win32Registry::CheckWritable(platform::RootKey root, std::string_view subkey) {
    OpenKey key;
    if (LONG code = key.Open(root, subkey, KEY_WRITE); code != ERROR_SUCCESS)
        return ErrorFromCode(DWORD(code), KeyName(root, subkey));
    return {};
}

platform::Outcome Win32Registry::DeleteKey(platform::RootKey root, std::string_view subkey) {
    // The 95 family would delete a whole tree; refusing keys with subkeys keeps both families alike.
    {
        OpenKey key;
        if (LONG code = key.Open(root, subkey, KEY_READ); code != ERROR_SUCCESS)
            return ErrorFromCode(DWORD(code), KeyName(root, subkey));
        KeyInfo info;
        if (LONG code = QueryInfo(key.get(), info); code != ERROR_SUCCESS)
            return ErrorFromCode(DWORD(code), KeyName(root, subkey));
        if (info.subkeys > 0) return platform::Fail(platform::Status::not_empty, KeyName(root, subkey) + " has subkeys");
    }
    const std::string path(subkey);
    if (LONG code = RegDeleteKeyA(RootHandle(root), path.c_str()); code != ERROR_SUCCESS)
        return ErrorFromCode(DWORD(code), KeyName(root, subkey));
    return {};
}

platform::Result<std::vector<std::string>> Win32Registry::SubkeyNames(platform::RootKey root, std::string_view subkey) {
    return EnumerateNames(root, subkey, true);
}

platform::Result<std::vector<std::string>> Win32Registry::ValueNames(platform::RootKey root, std::string_view subkey) {
    return EnumerateNames(root, subkey, false);
}

}  // namespace rvx::win32
