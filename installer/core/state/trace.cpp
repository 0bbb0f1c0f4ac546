// The debug trace file.
#include "installer/core/state/trace.h"

namespace rvx::installer {

platform::Outcome Trace::Open(platform::FileSystem& files, std::string_view path) {
    auto opened = files.Open(platform::OpenRequest{std::string(path), platform::Access::write, platform::share::read,
                                                   platform::Disposition::create_always});
    if (!opened) return opened.error();
    file_ = std::move(opened.value());
    path_ = std::string(path);
    return {};
}

void Trace::Write(std::string_view text) {
    if (!file_) return;
    // A trace that cannot be written must not stop the installation.
    (void)file_->Write(text.data(), text.size());
}

}  // namespace rvx::installer
