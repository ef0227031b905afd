// The contact text generator: one over of an amateur-radio contact, built from a random
// template of `QSOs` with a remark from `Chat` (\V) and three invented call signs: the calling
// station (\A), the answering station (\B) and a QSL manager (\C). Other markers stay as
// written. The result is Windows-1251; call signs carry Cyrillic capitals.
#pragma once

#include <string>
#include <string_view>

#include "trainer/ContactData.h"
#include "trainer/Random.h"

namespace vantrel {

enum class CallSignSuffix {
    None,             // QSL manager
    Portable,         // calling station: "/P" once in 20
    PortableOrMobile  // answering station: "/P" once in 20, else "/M" once in 40
};

// The call-sign prefix of a `Prefixes` line: the text before its first blank (the whole line
// when it has none).
std::string_view CallSignPrefix(std::string_view prefixLine);

// A call sign from a random `Prefixes` line: the prefix (K, N and W prefixes widened by one
// of Б..Д four times in five), a district digit when the prefix does not end in one, two or
// three letters А..Я, and the suffix.
std::string BuildCallSign(const TStringHolder& prefixes, Random& random, CallSignSuffix suffix);

// Replaces every `marker` in `text` by `replacement`, left to right. Text already inserted is
// not searched again, so a replacement that itself holds the marker cannot loop.
void ReplaceMarker(std::string& text, std::string_view marker, std::string_view replacement);

std::string BuildContactText(const ContactTexts& texts, Random& random);

}  // namespace vantrel
