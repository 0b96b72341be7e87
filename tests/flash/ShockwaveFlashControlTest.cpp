#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/flash/atlbase.h"
#include "platform/flash/flash.h"
#include "support/SwfBytes.h"
#include "support/TempDir.h"

namespace {

using swf_test::Movie;

CComPtr<IShockwaveFlash> NewControl() {
  CComPtr<IShockwaveFlash> flash;
  EXPECT_EQ(CoCreateInstance(CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IShockwaveFlash, reinterpret_cast<void**>(&flash)),
            S_OK);
  return flash;
}

// UTF-16 from UTF-8 test text (ASCII and Latin-1 letters only).
std::u16string Utf16(const std::string& s) {
  std::u16string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0xC0 && i + 1 < s.size())
      out += static_cast<char16_t>(((c & 0x1F) << 6) | (static_cast<unsigned char>(s[++i]) & 0x3F));
    else
      out += static_cast<char16_t>(c);
  }
  return out;
}

HRESULT PutMovie(IShockwaveFlash* flash, const std::string& path) {
  const std::u16string wide = Utf16(path);
  BSTR text = SysAllocString(wide.c_str());
  const HRESULT hr = flash->put_Movie(text);
  SysFreeString(text);
  return hr;
}

std::u16string GetMovie(IShockwaveFlash* flash) {
  BSTR text = nullptr;
  EXPECT_EQ(flash->get_Movie(&text), S_OK);
  std::u16string out(text, SysStringLen(text));
  SysFreeString(text);
  return out;
}

LONG TotalFrames(IShockwaveFlash* flash) {
  LONG frames = -1;
  EXPECT_EQ(flash->get_TotalFrames(&frames), S_OK);
  return frames;
}

TEST(Com, ClassIdentifierText) {
  CLSID id{};
  EXPECT_EQ(CLSIDFromString(u"{D27CDB6E-AE6D-11CF-96B8-444553540000}", &id), S_OK);
  EXPECT_TRUE(id == CLSID_ShockwaveFlash);
  EXPECT_EQ(CLSIDFromString(u"{d27cdb6c-ae6d-11cf-96b8-444553540000}", &id), S_OK);
  EXPECT_TRUE(id == IID_IShockwaveFlash);
  for (const char16_t* bad :
       {u"", u"D27CDB6E-AE6D-11CF-96B8-444553540000", u"{D27CDB6E-AE6D-11CF-96B8-44455354000}",
        u"{D27CDB6E-AE6D-11CF-96B8-4445535400000}", u"{D27CDB6E-AE6D-11CF-96B8-44455354000G}",
        u"{D27CDB6E+AE6D-11CF-96B8-444553540000}", u"ShockwaveFlash.ShockwaveFlash"})
    EXPECT_EQ(CLSIDFromString(bad, &id), CO_E_CLASSSTRING);
  EXPECT_TRUE(id == IID_IShockwaveFlash);  // unchanged by the failures
}

TEST(Com, CreationAndInterfaces) {
  CComPtr<IUnknown> unknown;
  EXPECT_EQ(CoCreateInstance(CLSID_ShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&unknown)),
            S_OK);
  CComPtr<IShockwaveFlash> flash;
  ASSERT_EQ(unknown->QueryInterface(IID_IShockwaveFlash, reinterpret_cast<void**>(&flash)), S_OK);
  CComPtr<IUnknown> again;
  ASSERT_EQ(flash->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again)), S_OK);
  EXPECT_EQ(again.p, unknown.p);  // one identity
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(flash->QueryInterface(IID_NULL, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);

  void* none = nullptr;
  EXPECT_EQ(CoCreateInstance(IID_IShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             &none),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoCreateInstance(CLSID_ShockwaveFlash, unknown, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             &none),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(none, nullptr);
}

TEST(ShockwaveFlashControl, PropertiesKeepWhatIsSetAndRefuseValuesOutOfRange) {
  auto flash = NewControl();
  VARIANT_BOOL menu = 0;
  EXPECT_EQ(flash->get_Menu(&menu), S_OK);
  EXPECT_EQ(menu, VARIANT_TRUE);  // the control's default
  EXPECT_EQ(flash->put_Menu(VARIANT_FALSE), S_OK);
  flash->get_Menu(&menu);
  EXPECT_EQ(menu, VARIANT_FALSE);
  EXPECT_EQ(flash->get_Menu(nullptr), E_POINTER);

  EXPECT_EQ(flash->put_Quality(3), S_OK);
  EXPECT_EQ(flash->put_BackgroundColor(0x123456), S_OK);
  for (int q : {-1, 4}) EXPECT_EQ(flash->put_Quality(q), E_INVALIDARG) << q;
  for (LONG c : {-2L, 0x1000000L}) EXPECT_EQ(flash->put_BackgroundColor(c), E_INVALIDARG) << c;
  int quality = -1;
  LONG color = 0;
  flash->get_Quality(&quality);
  flash->get_BackgroundColor(&color);
  EXPECT_EQ(quality, 3);
  EXPECT_EQ(color, 0x123456);
}

TEST(ShockwaveFlashControl, MovieIsReadWholeAndChecked) {
  TempDir dir;
  swf_test::Frame f;
  f.count = 42;
  swf_test::WriteFile(dir.file("a.swf"), Movie(f, 'C'));
  dir.write("notes.txt", "these are not the frames you are looking for");
  auto flash = NewControl();

  ASSERT_EQ(PutMovie(flash, dir.file("a.swf")), S_OK);
  EXPECT_EQ(GetMovie(flash), Utf16(dir.file("a.swf")));
  EXPECT_EQ(TotalFrames(flash), 42);
  // The control has taken the movie: the file may go.
  std::filesystem::remove(dir.file("a.swf"));
  EXPECT_EQ(TotalFrames(flash), 42);

  // Failures leave the loaded movie as it was.
  EXPECT_EQ(PutMovie(flash, dir.file("notes.txt")), E_FAIL);
  EXPECT_EQ(PutMovie(flash, dir.file("a.swf")), STG_E_FILENOTFOUND);
  EXPECT_EQ(PutMovie(flash, dir.path()), STG_E_FILENOTFOUND);  // a folder
  EXPECT_EQ(GetMovie(flash), Utf16(dir.file("a.swf")));
  EXPECT_EQ(TotalFrames(flash), 42);

  EXPECT_EQ(PutMovie(flash, ""), S_OK);  // unloads
  EXPECT_EQ(GetMovie(flash), u"");
  EXPECT_EQ(TotalFrames(flash), 0);
}

TEST(ShockwaveFlashControl, PipesAndEmptyFilesAreNotMovies) {
  TempDir dir;
  dir.write("empty.swf", "");
  ASSERT_EQ(mkfifo(dir.file("pipe.swf").c_str(), 0600), 0);
  auto flash = NewControl();
  EXPECT_EQ(PutMovie(flash, dir.file("empty.swf")), E_FAIL);
  EXPECT_EQ(PutMovie(flash, dir.file("pipe.swf")), STG_E_FILENOTFOUND);  // and no hang
}

TEST(ShockwaveFlashControl, NonAsciiNamesReachTheFile) {
  TempDir dir;
  const std::string utf8 = dir.file("d\xC3\xA9mo.swf");  // "démo.swf" in UTF-8
  swf_test::WriteFile(utf8, Movie());
  const std::string latin1 = dir.file("caf\xE9.swf");  // not UTF-8: read as Latin-1
  swf_test::WriteFile(latin1, Movie());
  auto flash = NewControl();
  EXPECT_EQ(PutMovie(flash, utf8), S_OK);
  std::u16string wide = Utf16(dir.file("caf")) + u"\u00E9.swf";
  BSTR text = SysAllocString(wide.c_str());
  EXPECT_EQ(flash->put_Movie(text), S_OK);
  SysFreeString(text);
}

}  // namespace
