// Rectangle arithmetic shared by the layer, with the platform's convention:
// left and top included, right and bottom excluded, so a rectangle with no
// width or no height holds no pixel.
#pragma once

#include <algorithm>

#include "platform/win32.h"

namespace hp::gdi32 {

inline bool isEmptyRect(const RECT &rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

inline RECT offsetRect(RECT rect, int dx, int dy)
{
    return RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

// The common part; all zeros when there is none.
inline RECT intersectRects(const RECT &a, const RECT &b)
{
    const RECT result{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                      std::min(a.bottom, b.bottom)};
    return isEmptyRect(result) ? RECT{0, 0, 0, 0} : result;
}

// The smallest rectangle holding both; an empty one adds nothing.
inline RECT uniteRects(const RECT &a, const RECT &b)
{
    if (isEmptyRect(a))
        return b;
    if (isEmptyRect(b))
        return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

}  // namespace hp::gdi32
