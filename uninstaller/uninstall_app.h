// UninstallApp: the uninstaller's one application object.
#pragma once

#include "common/app/application.h"
#include "platform/platform.h"

namespace rvx::uninstaller {

class UninstallApp : public app::Application {
public:
    explicit UninstallApp(platform::Platform& platform) : platform_(platform) {}

    bool InitInstance() override { return true; }
    int Run() override;

    platform::Platform& platform() { return platform_; }

private:
    platform::Platform& platform_;
};

}  // namespace rvx::uninstaller
