// Short English texts for the result codes of the multimedia (wave output) layer.
#pragma once

#include <cstdint>

namespace vantrel {

// The text for `code`, judged by its low 16 bits. Codes without a text of their own give
// "invalid parameter passed to error translation routine!". The text lives as long as the
// program.
const char* MMErrorText(uint32_t code);

}  // namespace vantrel
