#pragma once

namespace Misc {

// Shows the wait cursor for as long as it lives; wrap long operations in one.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();

    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace Misc
