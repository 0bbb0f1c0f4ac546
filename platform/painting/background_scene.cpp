// Preparing the background window's scene.
#include "platform/painting/background_scene.h"

#include <algorithm>

#include "platform/painting/background_picture.h"

namespace rvx::platform::painting {
namespace {

// The script's colours are not checked where they are read; out of range they take the nearer end.
uint8_t Component(int value) { return uint8_t(std::clamp(value, 0, 255)); }

}  // namespace

BackgroundScene PrepareBackground(const BackgroundLook& look, std::string title, Size client, FileSystem& files) {
    BackgroundScene scene;
    scene.title = std::move(title);
    scene.base = Colour{Component(look.red), Component(look.green), Component(look.blue)};
    // The look's pictures already carry the source folder.
    if (auto chosen = ChooseBackgroundPicture(look.pictures, "", client, files)) {
        if (auto picture = ReadPicture(files, *chosen)) scene.picture = std::move(*picture);
    }
    if (!look.small_picture.empty()) {
        if (auto picture = ReadPicture(files, look.small_picture)) scene.small_picture = std::move(*picture);
    }
    return scene;
}

}  // namespace rvx::platform::painting
