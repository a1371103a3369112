// JPEG files into GL textures, by texture slot. Images are decoded straight
// into one pixel buffer each and uploaded bottom row first, as GL reads them.
#include "texture_loader.hpp"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fatal_exit.hpp"
#include "jpeg/jpeg_decoder.h"
#include "jpeg/jpeg_decoder_stream.h"
#include "platform/system.hpp"
#include "random.hpp"
#include "scene_context.hpp"

std::vector<asset_record> g_asset_list;

namespace {

[[noreturn]] void refuse_file(const std::string& name, const char* caption) {
  platform::message_box(caption, name, platform::message_buttons::ok,
                        platform::message_icon::information);
  fatal_exit(exit_code_bad_asset);
}

struct decoded_image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // bottom row first
};

// Decodes every line; grey images are spread to RGB. A file that fails part
// way through is refused rather than shown half black.
decoded_image decode_rgb(jpeg_decoder& decoder, const char* file) {
  decoded_image image;
  image.width = decoder.image_width;
  image.height = decoder.image_height;
  const int bytes_per_pixel = decoder.component_count == 1 ? 1 : 4;
  const std::size_t row = static_cast<std::size_t>(image.width) * 3;
  image.rgb.assign(row * static_cast<std::size_t>(image.height), 0);
  decoder.prepare_output();
  for (int i = 0; i < image.height; ++i) {
    const std::uint8_t* line = nullptr;
    std::uint32_t length = 0;
    if (decoder.next_scanline(&line, &length) != 0 || !line) refuse_file(file, "Jpg !");
    std::uint8_t* out = &image.rgb[row * static_cast<std::size_t>(image.height - 1 - i)];
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* pixel = line + static_cast<std::size_t>(x) * bytes_per_pixel;
      out[x * 3 + 0] = pixel[0];
      out[x * 3 + 1] = bytes_per_pixel == 1 ? pixel[0] : pixel[1];
      out[x * 3 + 2] = bytes_per_pixel == 1 ? pixel[0] : pixel[2];
    }
  }
  return image;
}

GLuint* new_texture_in_slot(scene_context* scene, int slot) {
  const long long index = static_cast<long long>(scene->texture_base) + slot;
  if (index < 0 || index >= scene_context::texture_name_count) return nullptr;
  GLuint* name = &scene->texture_names[index];
  glGenTextures(1, name);
  glBindTexture(GL_TEXTURE_2D, *name);
  return name;
}

void compressed_upload(GLuint name, GLenum internal_format, GLenum pixel_format, int w, int h,
                       const std::uint8_t* pixels) {
  glBindTexture(GL_TEXTURE_2D, name);
  glTexImage2D(GL_TEXTURE_2D, 0, internal_format, w, h, 0, pixel_format, GL_UNSIGNED_BYTE, pixels);
  GLint compressed = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_ARB, &compressed);
  if (!compressed) return;
  GLint format = 0, size = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_IMAGE_SIZE_ARB, &size);
  if (size <= 0) return;
  // The compressed-image functions are extensions, looked up by name.
  auto get_image = reinterpret_cast<PFNGLGETCOMPRESSEDTEXIMAGEARBPROC>(
      platform::gl_proc_address("glGetCompressedTexImageARB"));
  auto set_image = reinterpret_cast<PFNGLCOMPRESSEDTEXIMAGE2DARBPROC>(
      platform::gl_proc_address("glCompressedTexImage2DARB"));
  if (!get_image || !set_image) return;
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size));
  get_image(GL_TEXTURE_2D, 0, buffer.data());
  glBindTexture(GL_TEXTURE_2D, name);
  set_image(GL_TEXTURE_2D, 0, static_cast<GLenum>(format), w, h, 0, size, buffer.data());
}

void apply_mipmap_switch(const scene_context* scene) {
  if (!scene->use_mipmaps) return;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, 1);
}

}  // namespace

void scene_context::load_jpeg_texture(const char* file, int slot) {
  report_progress(0.1);
  if (placeholder_textures) {
    make_placeholder_texture(file, slot);
    return;
  }
  auto stream = std::make_unique<jpeg_decoder_file_stream>();
  if (!stream->open(file)) {
    stream.reset();
    refuse_file(file, "Jpg");
  }
  jpeg_decoder decoder(stream.get(), true);
  if (decoder.error_code != 0) refuse_file(file, "Jpg !");
  g_asset_list.push_back({file, slot, decoder.image_width, decoder.image_height, 0});
  const decoded_image image = decode_rgb(decoder, file);

  GLuint* name = new_texture_in_slot(this, slot);
  if (!name) return;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  apply_mipmap_switch(this);
  // Rows are tightly packed, whatever the width.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (compress_textures && image.width > 32)
    compressed_upload(*name, GL_COMPRESSED_RGB_ARB, GL_RGB, image.width, image.height, image.rgb.data());
  else
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image.rgb.data());
}

void scene_context::load_jpeg_texture_with_alpha(const char* colour_file, const char* alpha_file, int slot) {
  report_progress(0.1);
  if (placeholder_textures) {
    make_placeholder_texture(colour_file, slot);
    return;
  }
  auto stream = std::make_unique<jpeg_decoder_file_stream>();
  if (!stream->open(colour_file)) {
    stream.reset();
    refuse_file(colour_file, "Jpg !");
  }
  decoded_image colour;
  {
    jpeg_decoder decoder(stream.get(), true);
    if (decoder.error_code != 0) refuse_file(colour_file, "Jpg !");
    g_asset_list.push_back({colour_file, slot, decoder.image_width, decoder.image_height, 0});
    colour = decode_rgb(decoder, colour_file);
  }

  // The same stream reads the alpha file.
  if (stream->file) std::fclose(stream->file);
  stream->file = nullptr;
  stream->eof = false;
  stream->error = false;
  if (!stream->open(alpha_file)) {
    stream.reset();
    refuse_file(alpha_file, "Jpg !");
  }
  jpeg_decoder decoder(stream.get(), true);
  if (decoder.error_code != 0) refuse_file(alpha_file, "Jpg !");
  // The alpha image is read against the colour image pixel for pixel.
  if (decoder.image_width != colour.width || decoder.image_height != colour.height)
    refuse_file(alpha_file, "Jpg !");
  const decoded_image alpha = decode_rgb(decoder, alpha_file);
  const int w = alpha.width, h = alpha.height;
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * h * 4, 0);
  for (std::size_t p = 0; p < static_cast<std::size_t>(w) * h; ++p) {
    rgba[p * 4 + 0] = colour.rgb[p * 3 + 0];
    rgba[p * 4 + 1] = colour.rgb[p * 3 + 1];
    rgba[p * 4 + 2] = colour.rgb[p * 3 + 2];
    rgba[p * 4 + 3] = alpha.rgb[p * 3 + 1];   // the alpha image's green
  }

  GLuint* name = new_texture_in_slot(this, slot);
  if (!name) return;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  apply_mipmap_switch(this);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (compress_textures)
    compressed_upload(*name, GL_COMPRESSED_RGBA_ARB, GL_RGBA, w, h, rgba.data());
  else
    glTexImage2D(GL_TEXTURE_2D, 0, 4, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

void scene_context::make_placeholder_texture(const char*, int slot) {
  std::uint8_t bytes[192];
  for (int i = 0; i < 192; ++i) {
    bytes[i] = static_cast<std::uint8_t>(qm_rand() % 200 + 50);
    if (i < 8 || i > 184 || i % 8 == 0) bytes[i] = 255;
  }
  GLuint* name = new_texture_in_slot(this, slot);
  if (!name) return;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, 8, 8, 0, GL_RGB, GL_UNSIGNED_BYTE, bytes);
}
