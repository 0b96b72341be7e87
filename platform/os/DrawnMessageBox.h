// Internal to platform/os: the message box the player draws itself, in a window
// of its own with the built-in bitmap font, for desktops where no native box can
// be made (an X server without core fonts, a Wayland session without a dialog
// helper). DrawnMessageBox is the box's look and behaviour without any window,
// so tests can drive it; ShowDrawnMessageBox puts it on the display.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace os_internal {

struct DrawnButton {
  int id;  // what the box returns when the button is chosen
  std::string label;
};

struct DrawnRect {
  int x, y, width, height;
  bool Contains(int px, int py) const {
    return px >= x && py >= y && px < x + width && py < y + height;
  }
};

// The keys a box answers to, apart from letters (given as themselves).
enum class BoxKey { Return, Space, Escape, Tab, ShiftTab, Left, Right };

class DrawnMessageBox {
 public:
  // `text` is UTF-8. Enter chooses `returnButton` until the focus moves; Escape
  // and closing the window choose `escapeButton` (indices into `buttons`).
  DrawnMessageBox(const std::string& text, std::vector<DrawnButton> buttons, int returnButton,
                  int escapeButton);

  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<std::u32string>& Lines() const { return lines_; }
  const DrawnRect& ButtonRect(int index) const { return buttonRects_[index]; }
  int FocusedButton() const { return focused_; }

  // Each returns the chosen button's id once the user has chosen one.
  std::optional<int> OnKey(BoxKey key);
  std::optional<int> OnLetter(char32_t letter);
  std::optional<int> OnMouseDown(int x, int y);
  std::optional<int> OnMouseUp(int x, int y);
  int Close() const { return buttons_[escape_].id; }

  // Paints the whole box into 32-bit 0xAARRGGBB pixels, Width() by Height(),
  // `pitch` pixels from one row to the next.
  void Paint(std::uint32_t* pixels, int pitch) const;

 private:
  int ButtonAt(int x, int y) const;

  std::vector<DrawnButton> buttons_;
  std::vector<DrawnRect> buttonRects_;
  std::vector<std::u32string> lines_;
  int escape_;
  int focused_;
  int pressed_ = -1;  // the button under a mouse press not yet released
  int width_ = 0;
  int height_ = 0;
  int textTop_ = 0;
};

// Wraps text into lines of at most `columns` characters, breaking at spaces
// where it can; at most `maxLines` lines, the last ending in "..." when cut.
std::vector<std::u32string> WrapText(const std::u32string& text, std::size_t columns,
                                     std::size_t maxLines);

// Shows the box in a window of its own on the running video driver and waits
// for the answer: a button's id, or 0 when no window could be shown. Drivers
// that show nothing (offscreen, dummy) get no box unless `invisibleAllowed`
// (tests, which feed the answer through SDL's event queue).
int ShowDrawnMessageBox(const std::string& caption, DrawnMessageBox& box,
                        bool invisibleAllowed = false);

}  // namespace os_internal
