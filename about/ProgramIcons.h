// The program's own icons, drawn in code so that they are sharp at every size and scale.
#pragma once

#include <QIcon>

namespace vantrel {

// Image indices of the tool buttons and menu items.
enum ToolImage : int {
    kImageCheck = 1,
    kImageClear = 2,
    kImagePause = 3,
    kImageStart = 4,
    kImageOpenFile = 7,
    kImageExit = 8,
    kImageAbout = 9,
};

// The window icon: the letter V in Morse (dot dot dot dash) on a blue tile.
QIcon ProgramIcon();
// The image of a tool button or menu item; a null icon for an index without an image.
QIcon ToolIcon(int imageIndex);

}  // namespace vantrel
