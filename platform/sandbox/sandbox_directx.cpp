// The simulated DirectX set-up library.
#include "platform/sandbox/sandbox_directx.h"

#include <cstdio>

namespace rvx::sandbox {

namespace {

std::string Hex(uint32_t value) {
    char buffer[11];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(value));
    return buffer;
}

class SandboxDirectXLibrary : public platform::DirectXLibrary {
public:
    SandboxDirectXLibrary(const DirectXConfig& answers, Journal& journal, std::string path)
        : answers_(answers), journal_(journal), path_(std::move(path)) {}
    ~SandboxDirectXLibrary() override {
        (void)journal_.Write("DIRECTX", {Word("action", "unload"), Field("path", path_)});
    }

    platform::Result<platform::DirectXVersion> InstalledVersion() override {
        (void)journal_.Write("DIRECTX", {Word("action", "version"), Word("version", Hex(answers_.version)),
                                         Word("revision", Hex(answers_.revision))});
        return platform::DirectXVersion{answers_.version, answers_.revision};
    }

    platform::Result<int32_t> Run(std::string_view source_folder, uint32_t flags) override {
        (void)journal_.Write("DIRECTX", {Word("action", "setup"), Field("folder", source_folder), Word("flags", Hex(flags)),
                                         Word("result", std::to_string(answers_.setup_result))});
        return answers_.setup_result;
    }

private:
    DirectXConfig answers_;
    Journal& journal_;
    std::string path_;
};

}  // namespace

platform::Result<std::unique_ptr<platform::DirectXLibrary>> SandboxDirectX::Load(std::string_view library_path) {
    const bool present = platform::Exists(files_, library_path) && !platform::IsFolder(files_, library_path);
    const char* result = !present ? "missing" : config_.directx.loads ? "ok" : "refused";
    (void)journal_.Write("DIRECTX", {Word("action", "load"), Field("path", library_path), Word("result", result)});
    if (!present) return platform::Fail(platform::Status::not_found, std::string(library_path));
    if (!config_.directx.loads)
        return platform::Fail(platform::Status::io_error, std::string(library_path) + " cannot be loaded (machine.ini's [directx])");
    return std::unique_ptr<platform::DirectXLibrary>(
        std::make_unique<SandboxDirectXLibrary>(config_.directx, journal_, std::string(library_path)));
}

}  // namespace rvx::sandbox
