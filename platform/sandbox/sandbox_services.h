// The simulated machine's service manager. Services live where the system keeps them, as keys
// under HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services, so a test or a person sets one up
// by writing registry.reg; docs/simulated-machine.md says what makes such a key a service.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/system_services.h"
#include "platform/sandbox/journal.h"
#include "platform/sandbox/machine_config.h"

namespace rvx::sandbox {

// The key that holds one subkey per service.
inline constexpr const char* kServicesKey = "SYSTEM\\CurrentControlSet\\Services";

// Opening the manager with full access needs administrator rights; the 95 family has no
// manager at all. Every request checks the manager first, as the system's callers open it
// before they open a service. Stopping and deleting are journaled as SERVICE lines.
class SandboxServices : public platform::ServiceControl {
public:
    SandboxServices(const MachineConfig& config, platform::Registry& registry, Journal& journal)
        : config_(config), registry_(registry), journal_(journal) {}
    platform::Outcome OpenManager() override;
    // The stop is accepted at once: the machine runs no service, so there is nothing to wait for.
    platform::Outcome Stop(std::string_view name) override;
    // Removes the service's key with everything below it at once; the system would wait for the
    // last handle to close, which on this machine has already happened.
    platform::Outcome MarkForDeletion(std::string_view name) override;

private:
    // The service's key name as registered (its own spelling); nothing when there is none.
    std::optional<std::string> FindService(std::string_view name);
    platform::Outcome DeleteKeyTree(const std::string& key);

    const MachineConfig& config_;
    platform::Registry& registry_;
    Journal& journal_;
};

}  // namespace rvx::sandbox
