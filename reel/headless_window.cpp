// A window without widgets.
#include "headless_window.h"

#include "runtime_error.h"

#include <algorithm>

namespace reel {

HeadlessWindow::HeadlessWindow()
{
    std::copy(std::begin(design::kCardLeftsTwips), std::end(design::kCardLeftsTwips), lefts_.begin());
    widths_.fill(design::kCardWidthTwips);
}

std::size_t HeadlessWindow::checked(int i)
{
    if (i < 0 || i >= design::kCardCount)
        throw catalogue::RuntimeError(catalogue::ErrorCode::SubscriptOutOfRange);
    return static_cast<std::size_t>(i);
}

} // namespace reel
