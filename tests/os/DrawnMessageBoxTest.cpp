#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/os/BitmapFont.h"
#include "platform/os/DrawnMessageBox.h"
#include "platform/os/oshost.h"
#include "platform/os/windows.h"

using os_internal::BoxKey;
using os_internal::DrawnMessageBox;

namespace {

DrawnMessageBox Question() {
  return DrawnMessageBox("Would you like to run in fullscreen mode?",
                         {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}}, 0, 2);
}

std::vector<std::uint32_t> Painted(const DrawnMessageBox& box) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(box.Width()) * box.Height(),
                                    0x12345678);
  box.Paint(pixels.data(), box.Width());
  return pixels;
}

int CountColour(const std::vector<std::uint32_t>& pixels, int pitch,
                const os_internal::DrawnRect& r, std::uint32_t colour) {
  int n = 0;
  for (int y = r.y; y < r.y + r.height; ++y)
    for (int x = r.x; x < r.x + r.width; ++x) n += pixels[y * pitch + x] == colour;
  return n;
}

TEST(DrawnMessageBox, ButtonsSitInOrderInsideTheBoxBelowTheText) {
  DrawnMessageBox box = Question();
  ASSERT_EQ(box.Lines().size(), 1u);
  for (int i = 0; i < 3; ++i) {
    const auto& r = box.ButtonRect(i);
    EXPECT_GE(r.x, 0);
    EXPECT_LE(r.x + r.width, box.Width());
    EXPECT_LE(r.y + r.height, box.Height());
    EXPECT_GT(r.y, 16 + 16);  // below the line of text
    if (i > 0) {
      EXPECT_GE(r.x, box.ButtonRect(i - 1).x + box.ButtonRect(i - 1).width);
    }
  }
  // The text line fits in the box.
  EXPECT_GE(box.Width(), static_cast<int>(box.Lines()[0].size()) * os_internal::kGlyphWidth);
}

TEST(DrawnMessageBox, KeysAnswerAsADesktopBoxDoes) {
  {
    DrawnMessageBox box = Question();
    EXPECT_EQ(box.OnKey(BoxKey::Return), IDYES);
    EXPECT_EQ(box.OnKey(BoxKey::Escape), IDCANCEL);
  }
  {
    DrawnMessageBox box = Question();
    EXPECT_EQ(box.OnKey(BoxKey::Tab), std::nullopt);
    EXPECT_EQ(box.OnKey(BoxKey::Space), IDNO);
    EXPECT_EQ(box.OnKey(BoxKey::Right), std::nullopt);
    EXPECT_EQ(box.OnKey(BoxKey::Right), std::nullopt);  // wraps round to Yes
    EXPECT_EQ(box.OnKey(BoxKey::Return), IDYES);
    EXPECT_EQ(box.OnKey(BoxKey::ShiftTab), std::nullopt);
    EXPECT_EQ(box.OnKey(BoxKey::Return), IDCANCEL);
    // Escape is Cancel wherever the focus is.
    EXPECT_EQ(box.OnKey(BoxKey::Left), std::nullopt);
    EXPECT_EQ(box.OnKey(BoxKey::Escape), IDCANCEL);
  }
  {
    DrawnMessageBox box = Question();
    EXPECT_EQ(box.OnLetter(U'n'), IDNO);
    EXPECT_EQ(box.OnLetter(U'Y'), IDYES);
    EXPECT_EQ(box.OnLetter(U'c'), IDCANCEL);
    EXPECT_EQ(box.OnLetter(U'q'), std::nullopt);
    EXPECT_EQ(box.Close(), IDCANCEL);
  }
  DrawnMessageBox ok("Error opening window", {{IDOK, "OK"}}, 0, 0);
  EXPECT_EQ(ok.OnKey(BoxKey::Escape), IDOK);
  EXPECT_EQ(ok.OnKey(BoxKey::Tab), std::nullopt);
  EXPECT_EQ(ok.OnKey(BoxKey::Return), IDOK);
  EXPECT_EQ(ok.Close(), IDOK);
  // Two labels with the same first letter: the letter chooses neither.
  DrawnMessageBox same("?", {{1, "Save"}, {2, "Skip"}}, 0, 1);
  EXPECT_EQ(same.OnLetter(U's'), std::nullopt);
}

TEST(DrawnMessageBox, AClickCountsOnlyWhenPressedAndReleasedOnOneButton) {
  DrawnMessageBox box = Question();
  const auto& no = box.ButtonRect(1);
  const auto& cancel = box.ButtonRect(2);
  EXPECT_EQ(box.OnMouseDown(no.x + 3, no.y + 3), std::nullopt);
  EXPECT_EQ(box.OnMouseUp(no.x + no.width - 1, no.y + no.height - 1), IDNO);
  // Dragged off the button: nothing; pressed beside the buttons: nothing.
  box.OnMouseDown(no.x + 3, no.y + 3);
  EXPECT_EQ(box.OnMouseUp(cancel.x + 3, cancel.y + 3), std::nullopt);
  box.OnMouseDown(2, 2);
  EXPECT_EQ(box.OnMouseUp(cancel.x + 3, cancel.y + 3), std::nullopt);
  EXPECT_EQ(box.OnMouseUp(cancel.x + 3, cancel.y + 3), std::nullopt);
  box.OnMouseDown(no.x + no.width, no.y);  // one pixel right of No is the gap
  EXPECT_EQ(box.OnMouseUp(no.x + no.width, no.y), std::nullopt);
}

TEST(DrawnMessageBox, PaintsTheWholeBoxWithTextAndTheFocusedButton) {
  DrawnMessageBox box = Question();
  const std::vector<std::uint32_t> pixels = Painted(box);
  const int w = box.Width();
  EXPECT_EQ(CountColour(pixels, w, {0, 0, w, box.Height()}, 0x12345678), 0);
  // Black text in the line of text and in each button.
  EXPECT_GT(CountColour(pixels, w, {0, 0, w, 40}, 0xFF000000), 100);
  for (int i = 0; i < 3; ++i)
    EXPECT_GT(CountColour(pixels, w, box.ButtonRect(i), 0xFF000000), 10) << i;
  // The focus frame marks Yes first, then the button Tab moves to.
  const std::uint32_t focus = 0xFF0078D7;
  EXPECT_GT(CountColour(pixels, w, box.ButtonRect(0), focus), 0);
  EXPECT_EQ(CountColour(pixels, w, box.ButtonRect(1), focus), 0);
  box.OnKey(BoxKey::Tab);
  const std::vector<std::uint32_t> moved = Painted(box);
  EXPECT_EQ(CountColour(moved, w, box.ButtonRect(0), focus), 0);
  EXPECT_GT(CountColour(moved, w, box.ButtonRect(1), focus), 0);
}

TEST(DrawnMessageBox, LongTextWrapsAtSpacesAndStaysBounded) {
  std::u32string words;
  for (int i = 0; i < 400; ++i) words += U"word ";
  const auto lines = os_internal::WrapText(words, 64, 30);
  ASSERT_EQ(lines.size(), 30u);
  for (const auto& line : lines) EXPECT_LE(line.size(), 64u);
  EXPECT_EQ(lines[0],
            std::u32string(U"word word word word word word word word word word word word word"));
  EXPECT_EQ(lines.back().substr(lines.back().size() - 3), U"...");
  // A word longer than a line is cut; line breaks and a final newline are kept as written.
  const auto cut = os_internal::WrapText(std::u32string(70, U'x') + U"\n\nend\n", 64, 30);
  ASSERT_EQ(cut.size(), 4u);
  EXPECT_EQ(cut[1], std::u32string(6, U'x'));
  EXPECT_TRUE(cut[2].empty());
  EXPECT_EQ(cut[3], U"end");
  // A message of a megabyte still makes a box of bounded size.
  DrawnMessageBox huge(std::string(1 << 20, 'a'), {{IDOK, "OK"}}, 0, 0);
  EXPECT_LE(huge.Width(), 64 * 8 + 40);
  EXPECT_LE(huge.Height(), 30 * 18 + 100);
}

TEST(BitmapFont, CoversTheTextOfWindows1252AndMarksTheRest) {
  const auto inked = [](char32_t c) {
    const unsigned char* rows = os_internal::GlyphRows(c);
    int n = 0;
    for (int i = 0; i < os_internal::kGlyphHeight; ++i) n += rows[i] != 0;
    return n;
  };
  for (char32_t c = 0x21; c < 0x7F; ++c) EXPECT_GT(inked(c), 0) << static_cast<int>(c);
  for (char32_t c = 0xA1; c <= 0xFF; ++c)
    EXPECT_TRUE(os_internal::FontHasGlyph(c)) << static_cast<int>(c);
  for (char32_t c : {U'\u20AC', U'\u2122', U'\u201C', U'\u0152', U'\u2014'})
    EXPECT_TRUE(os_internal::FontHasGlyph(c)) << static_cast<int>(c);
  EXPECT_EQ(inked(U' '), 0);
  EXPECT_FALSE(os_internal::FontHasGlyph(U'\u4E2D'));
  EXPECT_EQ(os_internal::GlyphRows(U'\u4E2D'), os_internal::GlyphRows(U'?'));
  // Bytes that are not UTF-8 are kept as the Latin-1 letters they are.
  EXPECT_EQ(os_internal::DecodeUtf8("a\xC3\xA4\xE4\xF0\x9F\x8E\xB5\xC3"),
            U"a\u00E4\u00E4\U0001F3B5\u00C3");
}

// The box on a real video driver, answered through SDL's event queue before it
// opens (the events name no window; the box takes them as its own).
class DrawnMessageBoxWindow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_STREQ(std::getenv("SDL_VIDEODRIVER"), "offscreen");
    OsSetHeadless(false);
    // The box's software surface, without the GL driver SDL would otherwise
    // load to show it (its allocations outlive the test process's checks).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
  }
  void TearDown() override {
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    OsSetHeadless(true);
  }
  static void Key(SDL_Keycode key) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = key;
    SDL_PushEvent(&e);
  }
  static void Mouse(Uint32 type, int x, int y) {
    SDL_Event e{};
    e.type = type;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
  }
  static int Answer(DrawnMessageBox& box) {
    const int answer = os_internal::ShowDrawnMessageBox("Demo", box, true);
    SDL_Event left;
    EXPECT_EQ(SDL_PollEvent(&left), 0) << "the box left event " << left.type << " behind";
    return answer;
  }
};

TEST_F(DrawnMessageBoxWindow, KeysClicksAndTheCloseButtonAnswer) {
  DrawnMessageBox byLetter = Question();
  Key(SDLK_n);
  EXPECT_EQ(Answer(byLetter), IDNO);

  DrawnMessageBox byFocus = Question();
  Key(SDLK_TAB);
  Key(SDLK_TAB);
  Key(SDLK_RETURN);
  EXPECT_EQ(Answer(byFocus), IDCANCEL);

  DrawnMessageBox byMouse = Question();
  const auto& no = byMouse.ButtonRect(1);
  Mouse(SDL_MOUSEBUTTONDOWN, 5, 5);  // on the text: nothing
  Mouse(SDL_MOUSEBUTTONUP, 5, 5);
  Mouse(SDL_MOUSEBUTTONDOWN, no.x + no.width / 2, no.y + no.height / 2);
  Mouse(SDL_MOUSEBUTTONUP, no.x + no.width / 2, no.y + no.height / 2);
  EXPECT_EQ(Answer(byMouse), IDNO);

  DrawnMessageBox byClose = Question();
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  SDL_PushEvent(&close);
  EXPECT_EQ(Answer(byClose), IDCANCEL);
}

TEST_F(DrawnMessageBoxWindow, MessageBoxesAreNotDrawnWhereNothingCanBeSeen) {
  // With neither X11 nor Wayland reachable and only the offscreen driver
  // running, the box cannot be shown: 0 at once, not a wait for an answer
  // no one can give.
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "Would you like to run in fullscreen mode?", "Demo",
                        MB_YESNOCANCEL | MB_ICONQUESTION),
            0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("message box could not be shown"),
            std::string::npos);
}

}  // namespace
