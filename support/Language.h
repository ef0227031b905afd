// The languages the interface speaks, numbered as the choice is stored. The core reports what
// happened as values; the window words them in the chosen language.
#pragma once

namespace vantrel {

enum class Language : int {
    Russian = 0,  // the language of the texts in the sources, and of a first start
    English = 1,
};

}  // namespace vantrel
