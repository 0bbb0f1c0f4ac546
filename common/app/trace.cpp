// The debug trace file.
#include "common/app/trace.h"

namespace rvx::app {

platform::Outcome Trace::Open(platform::FileSystem& files, std::string_view path, TraceStart start) {
    const platform::Disposition disposition =
        start == TraceStart::emptied ? platform::Disposition::create_always : platform::Disposition::open_always;
    auto opened = files.Open(platform::OpenRequest{std::string(path), platform::Access::write, platform::share::read, disposition});
    if (!opened) return opened.error();
    if (start == TraceStart::appended) {
        if (auto end = opened.value()->Seek(0, platform::SeekFrom::end); !end) return end.error();
    }
    file_ = std::move(opened.value());
    path_ = std::string(path);
    return {};
}

void Trace::Write(std::string_view text) {
    if (!file_) return;
    // A trace that cannot be written must not stop the program.
    (void)file_->Write(text.data(), text.size());
}

}  // namespace rvx::app
