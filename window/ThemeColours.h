// Colours of the copy area that follow the desktop's colour scheme.
#pragma once

class QWidget;

namespace vantrel {

// In a light scheme (dark text on a light ground) the copy area keeps its light grey ground and
// navy text; in a dark or high-contrast scheme it takes the scheme's own text and ground, as
// a pair, so it reads wherever the rest of the window does. Follows later scheme changes.
void FollowThemeInCopyArea(QWidget* copyArea);

}  // namespace vantrel
