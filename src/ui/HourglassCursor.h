#pragma once

namespace zelmora::ui {

// Shows the busy cursor for the lifetime of the guard. Guards nest: each one takes back exactly
// the cursor it set, also when it is left through an exception.
class HourglassCursor {
public:
    HourglassCursor();
    ~HourglassCursor();
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;

    // Restores the normal cursor before the end of the scope; later calls do nothing.
    void restore();

private:
    bool m_active = false;
};

} // namespace zelmora::ui
