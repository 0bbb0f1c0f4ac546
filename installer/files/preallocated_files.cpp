// The zero-filled files of [CREATEFILES], made after the copy so that the product finds its
// data files at their full size.
#include <memory>
#include <new>

#include "common/text/field_splitter.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "installer/core/state/install_state.h"
#include "installer/files/copy_engine.h"
#include "installer/script/folder_operations.h"
#include "installer_strings.h"

namespace rvx::installer {

bool CreatePreallocatedFiles(InstallState& app) {
    platform::FileSystem& files = app.platform().files;
    constexpr size_t kBlock = 65536;
    for (const std::string& line : app.script().create_files) {
        const std::vector<std::string> fields = text::SplitFields(line, ",");
        if (fields.size() != 3) return false;
        std::string path = app.folders().installation + "\\";
        if (!fields[1].empty()) path += fields[1] + "\\";
        path += fields[0];
        const long long kilobytes = text::ParseDecimalPrefix(fields[2]);
        const uint64_t size = kilobytes > 0 ? static_cast<uint64_t>(kilobytes) * 1000 : 0;
        if (platform::Exists(files, path)) continue;

        app.progress().SetLine1(app.Text(kCreatingFile) + "\n  " + fields[0]);
        // A sub-folder that no file line made yet is made here, so that the file is not lost.
        (void)CreateFolderPath(files, path::RemoveTrailingBackslash(path::FolderOf(path)));
        auto file = files.Open({path, platform::Access::read_write, platform::share::none, platform::Disposition::create_new});
        if (!file) return false;
        std::unique_ptr<char[]> zeros(new (std::nothrow) char[kBlock]());
        if (!zeros) return false;
        const uint64_t blocks = size / kBlock;
        // A write that fails (a full disk) ends the step rather than trying every remaining block.
        for (uint64_t k = 0; k < blocks; ++k) {
            if (!file.value()->Write(zeros.get(), kBlock)) return false;
            app.progress().SetOverallBar(static_cast<long long>(k * 100 / blocks));
        }
        if (!file.value()->Write(zeros.get(), size % kBlock)) return false;
        app.progress().SetOverallBar(100);
    }
    return true;
}

}  // namespace rvx::installer
