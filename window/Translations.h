// The interface's language for the whole application: one translator, installed once, speaks
// the chosen language (English from translations/vantrel_en.ts; Russian, the language of the
// texts in the sources, with its plural forms from vantrel_ru.ts). A change re-labels every
// window: each gets a LanguageChange event and words its texts again.
#pragma once

#include "support/Language.h"

namespace vantrel::translations {

// Speaks `language` from now on. Needs the application object; the first call installs the
// translator (and so gives the Russian texts their plural forms).
void Use(Language language);
Language Current();

}  // namespace vantrel::translations
