#pragma once

class QWidget;

namespace fw {

// Qt never leaves a window's title bar empty: an empty title is shown as the
// program's name. Where the display lets us, this clears what the window
// manager shows for a top-level widget whose title is empty.
void ShowEmptyTitle(QWidget& window);

}  // namespace fw
