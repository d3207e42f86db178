// PNG files in and out, as 8-bit RGB pictures.
#ifndef GLIMFX_TOOLS_DEMO_PNG_IO_H_
#define GLIMFX_TOOLS_DEMO_PNG_IO_H_

#include <cstdint>
#include <string>
#include <vector>

#include "image.h"

namespace glimfx_demo {

// Reads a PNG file. Fully transparent pixels become black, so a sprite drawn
// with transparency gets the key colour there. False with a one-line reason
// in `error` for a missing or unreadable file or one that is not a PNG.
bool ReadPng(const std::string& path, Image* image, std::string* error);

// Decodes PNG bytes already in memory; `name` only labels the error.
bool DecodePng(const std::vector<uint8_t>& bytes, const std::string& name, Image* image,
               std::string* error);

std::vector<uint8_t> EncodePng(const Image& image);

}  // namespace glimfx_demo

#endif  // GLIMFX_TOOLS_DEMO_PNG_IO_H_
