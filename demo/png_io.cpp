#include "png_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "options.h"
#include "stb_image.h"
#include "stb_image_write.h"

namespace glimfx_demo {

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void AppendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

bool ReadPng(const std::string& path, Image* image, std::string* error) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    *error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  if (std::ferror(file.get())) {
    *error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  return DecodePng(bytes, path, image, error);
}

bool DecodePng(const std::vector<uint8_t>& bytes, const std::string& name, Image* image,
               std::string* error) {
  if (bytes.size() < sizeof kPngSignature ||
      std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) != 0) {
    *error = name + " is not a PNG file";
    return false;
  }
  int width = 0;
  int height = 0;
  int channels = 0;
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
      stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height,
                            &channels, 4),
      &stbi_image_free);
  if (!pixels) {
    *error = name + " is a damaged PNG file (" + stbi_failure_reason() + ")";
    return false;
  }
  if (width > kMaxSide || height > kMaxSide) {
    *error = name + " is " + std::to_string(width) + "x" + std::to_string(height) +
             " pixels; the demo takes at most " + std::to_string(kMaxSide) + " a side";
    return false;
  }
  image->width = width;
  image->height = height;
  image->rgb.resize(static_cast<size_t>(width) * height * 3);
  const stbi_uc* in = pixels.get();
  uint8_t* out = image->rgb.data();
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i, in += 4, out += 3) {
    const bool clear = in[3] == 0;
    out[0] = clear ? 0 : in[0];
    out[1] = clear ? 0 : in[1];
    out[2] = clear ? 0 : in[2];
  }
  return true;
}

std::vector<uint8_t> EncodePng(const Image& image) {
  std::vector<uint8_t> bytes;
  stbi_write_png_to_func(&AppendBytes, &bytes, image.width, image.height, 3, image.rgb.data(),
                         image.width * 3);
  return bytes;
}

}  // namespace glimfx_demo
