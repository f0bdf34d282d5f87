#pragma once

class QWidget;

namespace zelmora::ui {

// Gives a shown window a title that the window system shows as empty. Qt replaces an empty title
// by the application's name; on X11 the title properties (_NET_WM_NAME, WM_NAME) are therefore
// emptied after Qt has written them, and on Wayland, where the title goes through Qt alone, a
// single blank is used. Call it after the window has been created (showEvent).
void showEmptyTitle(QWidget* window);

} // namespace zelmora::ui
