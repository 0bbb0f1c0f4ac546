// Fuzz target: registry files on arbitrary bytes. What parses must write out into a file that
// parses back to the same tree and writes out to the same text again; the same tree made of
// appended change records (each key, then each value) must read back the same, and the deletion
// of every value appended after the whole file must leave no value.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/sandbox/registry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace rvx::sandbox;
    auto tree = ParseRegistryFile(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.reg");
    if (!tree) return 0;
    const std::string text = FormatRegistryFile(tree.value());
    auto again = ParseRegistryFile(text, "again.reg");
    if (!again || !(again.value() == tree.value())) __builtin_trap();
    if (FormatRegistryFile(again.value()) != text) __builtin_trap();

    std::string appended = "Windows Registry Editor Version 5.00\r\n";
    std::string emptied = text;
    tree->ForEachKey([&](rvx::platform::RootKey root, const std::string& path, const RegistryKey& key) {
        appended += FormatKeyRecord(root, path);
        for (const auto& [upper, named] : key.values) {
            appended += FormatValueRecord(root, path, named.first, &named.second);
            emptied += FormatValueRecord(root, path, named.first, nullptr);
        }
    });
    auto rebuilt = ParseRegistryFile(appended, "appended.reg");
    if (!rebuilt || !(rebuilt.value() == tree.value())) __builtin_trap();
    auto without_values = ParseRegistryFile(emptied, "emptied.reg");
    if (!without_values) __builtin_trap();
    without_values->ForEachKey([](rvx::platform::RootKey, const std::string&, const RegistryKey& key) {
        if (!key.values.empty()) __builtin_trap();
    });
    return 0;
}
