// Points, sizes and rectangles in pixels, shared by everything that lays out or paints.
#pragma once

namespace rvx::platform {

struct Point {
    int x = 0;
    int y = 0;
};

struct Size {
    int width = 0;
    int height = 0;
    auto operator<=>(const Size&) const = default;
};

// Right and bottom are outside the rectangle, as on Windows.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    Rect Moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Rect Shrunk(int by) const { return {left + by, top + by, right - by, bottom - by}; }
    bool operator==(const Rect&) const = default;
};

}  // namespace rvx::platform
