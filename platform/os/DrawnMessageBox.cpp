#include "platform/os/DrawnMessageBox.h"

#include <algorithm>
#include <cctype>

#include "platform/os/BitmapFont.h"

namespace os_internal {

namespace {

constexpr int kMargin = 20;
constexpr int kLineHeight = kGlyphHeight + 2;
constexpr std::size_t kColumns = 64;
constexpr std::size_t kMaxLines = 30;
constexpr int kMinWidth = 280;
constexpr int kButtonHeight = 26;
constexpr int kButtonMinWidth = 88;
constexpr int kButtonGap = 10;
constexpr int kBandPadding = 12;

constexpr std::uint32_t kBackground = 0xFFFFFFFF;
constexpr std::uint32_t kBand = 0xFFF0F0F0;
constexpr std::uint32_t kText = 0xFF000000;
constexpr std::uint32_t kFace = 0xFFE1E1E1;
constexpr std::uint32_t kPressedFace = 0xFFCCE4F7;
constexpr std::uint32_t kBorder = 0xFFADADAD;
constexpr std::uint32_t kFocus = 0xFF0078D7;

struct Canvas {
  std::uint32_t* pixels;
  int pitch, width, height;

  void Fill(const DrawnRect& r, std::uint32_t colour) const {
    const int x0 = std::max(r.x, 0), x1 = std::min(r.x + r.width, width);
    const int y0 = std::max(r.y, 0), y1 = std::min(r.y + r.height, height);
    for (int y = y0; y < y1; ++y)
      std::fill(pixels + y * pitch + x0, pixels + y * pitch + x1, colour);
  }
  void Frame(const DrawnRect& r, int thickness, std::uint32_t colour) const {
    Fill({r.x, r.y, r.width, thickness}, colour);
    Fill({r.x, r.y + r.height - thickness, r.width, thickness}, colour);
    Fill({r.x, r.y, thickness, r.height}, colour);
    Fill({r.x + r.width - thickness, r.y, thickness, r.height}, colour);
  }
  void Text(int x, int y, const std::u32string& text, std::uint32_t colour) const {
    for (char32_t c : text) {
      const unsigned char* rows = GlyphRows(c);
      for (int row = 0; row < kGlyphHeight; ++row)
        for (int col = 0; col < kGlyphWidth; ++col) {
          const int px = x + col, py = y + row;
          if ((rows[row] & (0x80 >> col)) && px >= 0 && py >= 0 && px < width && py < height)
            pixels[py * pitch + px] = colour;
        }
      x += kGlyphWidth;
    }
  }
};

int TextWidth(const std::u32string& text) { return static_cast<int>(text.size()) * kGlyphWidth; }

char32_t Lower(char32_t c) {
  return c < 0x80 ? static_cast<char32_t>(std::tolower(static_cast<int>(c))) : c;
}

}  // namespace

std::vector<std::u32string> WrapText(const std::u32string& text, std::size_t columns,
                                     std::size_t maxLines) {
  // One pass over the text, which may be long: it stops one line past the
  // limit, enough to know the text was cut.
  std::vector<std::u32string> lines;
  std::u32string line;
  const auto full = [&] { return lines.size() > maxLines; };
  const auto breakLine = [&] {
    if (line.size() <= columns) return;
    const std::size_t space = line.rfind(U' ', columns);
    const bool atSpace = space != std::u32string::npos && space > 0;
    const std::size_t cut = atSpace ? space : columns;
    lines.push_back(line.substr(0, cut));
    line.erase(0, atSpace ? cut + 1 : cut);
  };
  for (std::size_t i = 0; i < text.size() && !full(); ++i) {
    const char32_t c = text[i];
    if (c == U'\n') {
      lines.push_back(std::move(line));
      line.clear();
    } else if (c != U'\r') {
      line += c == U'\t' ? U' ' : c;
      breakLine();
    }
  }
  if (!full()) lines.push_back(std::move(line));
  while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  if (lines.size() > maxLines) {
    lines.resize(maxLines);
    std::u32string& last = lines.back();
    last = last.substr(0, columns >= 3 ? columns - 3 : 0) + U"...";
  }
  return lines;
}

DrawnMessageBox::DrawnMessageBox(const std::string& text, std::vector<DrawnButton> buttons,
                                 int returnButton, int escapeButton)
    : buttons_(std::move(buttons)),
      lines_(WrapText(DecodeUtf8(text), kColumns, kMaxLines)),
      escape_(escapeButton),
      focused_(returnButton) {
  if (buttons_.empty()) buttons_.push_back({0, "OK"});
  const int last = static_cast<int>(buttons_.size()) - 1;
  escape_ = std::clamp(escape_, 0, last);
  focused_ = std::clamp(focused_, 0, last);

  int textWidth = 0;
  for (const auto& line : lines_) textWidth = std::max(textWidth, TextWidth(line));
  std::vector<int> widths;
  int rowWidth = 0;
  for (const auto& b : buttons_) {
    widths.push_back(std::max(kButtonMinWidth, TextWidth(DecodeUtf8(b.label)) + 24));
    rowWidth += widths.back() + (widths.size() > 1 ? kButtonGap : 0);
  }
  width_ = std::max({kMinWidth, textWidth + 2 * kMargin, rowWidth + 2 * kMargin});
  textTop_ = kMargin;
  const int band = kButtonHeight + 2 * kBandPadding;
  height_ = textTop_ + static_cast<int>(lines_.size()) * kLineHeight + kMargin + band;
  int x = width_ - kMargin - rowWidth;
  const int y = height_ - band + kBandPadding;
  for (int w : widths) {
    buttonRects_.push_back({x, y, w, kButtonHeight});
    x += w + kButtonGap;
  }
}

int DrawnMessageBox::ButtonAt(int x, int y) const {
  for (std::size_t i = 0; i < buttonRects_.size(); ++i)
    if (buttonRects_[i].Contains(x, y)) return static_cast<int>(i);
  return -1;
}

std::optional<int> DrawnMessageBox::OnKey(BoxKey key) {
  const int count = static_cast<int>(buttons_.size());
  switch (key) {
    case BoxKey::Return:
    case BoxKey::Space:
      return buttons_[focused_].id;
    case BoxKey::Escape:
      return buttons_[escape_].id;
    case BoxKey::Tab:
    case BoxKey::Right:
      focused_ = (focused_ + 1) % count;
      return std::nullopt;
    case BoxKey::ShiftTab:
    case BoxKey::Left:
      focused_ = (focused_ + count - 1) % count;
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<int> DrawnMessageBox::OnLetter(char32_t letter) {
  // The first letter of a label chooses its button, as long as no other label
  // starts with it.
  int match = -1;
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const std::u32string label = DecodeUtf8(buttons_[i].label);
    if (label.empty() || Lower(label[0]) != Lower(letter)) continue;
    if (match >= 0) return std::nullopt;
    match = static_cast<int>(i);
  }
  if (match < 0) return std::nullopt;
  return buttons_[match].id;
}

std::optional<int> DrawnMessageBox::OnMouseDown(int x, int y) {
  pressed_ = ButtonAt(x, y);
  if (pressed_ >= 0) focused_ = pressed_;
  return std::nullopt;
}

std::optional<int> DrawnMessageBox::OnMouseUp(int x, int y) {
  // A click counts only when pressed and released on the same button.
  const int pressed = pressed_;
  pressed_ = -1;
  if (pressed < 0 || ButtonAt(x, y) != pressed) return std::nullopt;
  return buttons_[pressed].id;
}

void DrawnMessageBox::Paint(std::uint32_t* pixels, int pitch) const {
  const Canvas canvas{pixels, pitch, width_, height_};
  canvas.Fill({0, 0, width_, height_}, kBackground);
  const int band = kButtonHeight + 2 * kBandPadding;
  canvas.Fill({0, height_ - band, width_, band}, kBand);
  for (std::size_t i = 0; i < lines_.size(); ++i)
    canvas.Text(kMargin, textTop_ + static_cast<int>(i) * kLineHeight, lines_[i], kText);
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const DrawnRect& r = buttonRects_[i];
    const bool focused = static_cast<int>(i) == focused_;
    canvas.Fill(r, static_cast<int>(i) == pressed_ ? kPressedFace : kFace);
    canvas.Frame(r, focused ? 2 : 1, focused ? kFocus : kBorder);
    const std::u32string label = DecodeUtf8(buttons_[i].label);
    canvas.Text(r.x + (r.width - TextWidth(label)) / 2, r.y + (r.height - kGlyphHeight) / 2, label,
                kText);
  }
}

}  // namespace os_internal
