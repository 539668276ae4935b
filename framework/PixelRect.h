// A rectangle in pixels (left, top, right, bottom), free of any Windows header so that pure
// code and its native tests can use it.
#pragma once

namespace zr {

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

}  // namespace zr
