// The simulated machine's service manager.
#include "platform/sandbox/sandbox_services.h"

#include <vector>

#include "common/text/text.h"

namespace rvx::sandbox {

using platform::Fail;
using platform::RootKey;
using platform::Status;

platform::Outcome SandboxServices::OpenManager() {
    if (config_.version.family != platform::PlatformFamily::windows_nt)
        return Fail(Status::unsupported, "the 95 family has no service manager");
    if (!config_.administrator) return Fail(Status::access_denied, "the service manager");
    return {};
}

std::optional<std::string> SandboxServices::FindService(std::string_view name) {
    // A name holding "\" would reach below a service's key, which the system refuses as an
    // invalid service name; an empty name is refused alike.
    if (name.empty() || name.find('\\') != std::string_view::npos || name.find('/') != std::string_view::npos)
        return std::nullopt;
    auto names = registry_.SubkeyNames(RootKey::local_machine, kServicesKey);
    if (!names) return std::nullopt;
    for (const auto& key : names.value()) {
        if (!text::EqualsIgnoreCase(key, name)) continue;
        // Like the system's manager, only a key with a numeric Type is a service; Services also
        // holds keys of other kinds that no one can stop.
        auto type = registry_.ReadValue(RootKey::local_machine, std::string(kServicesKey) + "\\" + key, "Type");
        if (type && type->AsDword()) return key;
        return std::nullopt;
    }
    return std::nullopt;
}

platform::Outcome SandboxServices::Stop(std::string_view name) {
    if (auto manager = OpenManager(); !manager) return manager;
    auto service = FindService(name);
    if (!service) return Fail(Status::not_found, "service " + std::string(name));
    return journal_.Write("SERVICE", {Word("action", "stop"), Field("name", *service)});
}

platform::Outcome SandboxServices::DeleteKeyTree(const std::string& key) {
    // Every key of the tree, parents before children; deleted in reverse so that each key is
    // empty when its turn comes.
    std::vector<std::string> keys{key};
    for (size_t i = 0; i < keys.size(); ++i) {
        auto children = registry_.SubkeyNames(RootKey::local_machine, keys[i]);
        if (!children) return children.error();
        for (const auto& child : children.value()) keys.push_back(keys[i] + "\\" + child);
    }
    // A key this user may not change refuses the whole deletion before anything is gone.
    for (const auto& each : keys)
        if (auto writable = registry_.CheckWritable(RootKey::local_machine, each); !writable) return writable;
    for (auto each = keys.rbegin(); each != keys.rend(); ++each)
        if (auto deleted = registry_.DeleteKey(RootKey::local_machine, *each); !deleted) return deleted;
    return {};
}

platform::Outcome SandboxServices::MarkForDeletion(std::string_view name) {
    if (auto manager = OpenManager(); !manager) return manager;
    auto service = FindService(name);
    if (!service) return Fail(Status::not_found, "service " + std::string(name));
    if (auto deleted = DeleteKeyTree(std::string(kServicesKey) + "\\" + *service); !deleted) return deleted;
    return journal_.Write("SERVICE", {Word("action", "delete"), Field("name", *service)});
}

}  // namespace rvx::sandbox
