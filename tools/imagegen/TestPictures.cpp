// The pictures of the end-to-end test shows: tiny, with exactly known pixels.
#include "tools/imagegen/Pictures.h"

namespace {

RgbaImage Solid(int w, int h, Rgba colour) { return RgbaImage(w, h, colour); }

// Every pixel different, so a shift or a flip by one shows.
RgbaImage Grid() {
  RgbaImage image(7, 5);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      image.at(x, y) = {static_cast<std::uint8_t>(20 + 33 * x), static_cast<std::uint8_t>(40 + 50 * y),
                        static_cast<std::uint8_t>((x * 5 + y * 17) * 7 % 256), 255};
  return image;
}

// Row 0: white at alphas 0, 64, 128, 255; row 1: red at 255, 128, 64, 0.
RgbaImage AlphaSteps() {
  RgbaImage image(4, 2);
  const std::uint8_t alphas[4] = {0, 64, 128, 255};
  for (int x = 0; x < 4; ++x) {
    image.at(x, 0) = {255, 255, 255, alphas[x]};
    image.at(x, 1) = {255, 0, 0, alphas[3 - x]};
  }
  return image;
}

}  // namespace

bool WriteTestPictures(const std::string& root) {
  const std::string picture = root + "/images_picture/";
  const std::string blend = root + "/images_blend/";
  const std::string sequence = root + "/images_sequence/";
  const std::string sizes = root + "/images_sizes/";
  const std::string formats = root + "/images_formats/";
  return WritePng(picture + "grid.png", Grid(), PngKind::Rgb) &&
         WritePng(blend + "alpha.png", AlphaSteps(), PngKind::Rgba) &&
         WritePng(sequence + "red.png", Solid(2, 2, {255, 0, 0, 255}), PngKind::Rgb) &&
         WritePng(sequence + "green.png", Solid(2, 2, {0, 255, 0, 255}), PngKind::Rgb) &&
         WritePng(sequence + "blue.png", Solid(2, 2, {0, 0, 255, 255}), PngKind::Rgb) &&
         WritePng(sizes + "big.png", Solid(6, 6, {255, 255, 0, 255}), PngKind::Rgb) &&
         WritePng(sizes + "grey.png", Solid(2, 3, {100, 100, 100, 255}), PngKind::Grey) &&
         WritePng(sizes + "small.png", Solid(4, 4, {0, 255, 255, 255}), PngKind::Rgb) &&
         WritePng(formats + "palette.png", Grid(), PngKind::Palette) &&
         WritePng(formats + "greyalpha.png", Solid(3, 3, {90, 90, 90, 128}), PngKind::GreyAlpha) &&
         WritePng(formats + "grey.png", Solid(3, 3, {90, 90, 90, 255}), PngKind::Grey) &&
         WriteJpeg(formats + "photo.jpg", Grid(), 90);
}
