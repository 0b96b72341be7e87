// Where the parser gets a script's text: the program-wide archive first, then a
// regular file on disk, opened without blocking and read no further than a
// bound. The parser takes the source as a function so that tests and the fuzzer
// can serve scripts from memory. Entry thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct ScriptFile {
  enum class Status {
    kRead,        // `data` holds the whole text
    kMissing,     // neither in the archive nor on disk
    kUnreadable,  // there, but not a regular file, unreadable, or a damaged entry
    kTooLarge,    // more than the bound passed to the source
  };
  Status status = Status::kMissing;
  std::unique_ptr<std::uint8_t[]> data;  // owned; `size` bytes
  std::size_t size = 0;
  std::string reason;  // why it could not be read (kUnreadable)

  std::string_view Text() const {
    return {reinterpret_cast<const char*>(data.get()), data ? size : 0};
  }
};

// Reads the script `name`, refusing more than `maxBytes` bytes.
using ScriptSource = std::function<ScriptFile(const std::string& name, std::size_t maxBytes)>;

// The player's source: archive entry, else disk file.
ScriptFile ReadScriptFile(const std::string& name, std::size_t maxBytes);
// A script held in memory, under the same bound (the sources of tests and the fuzzer).
ScriptFile ScriptFileFromText(std::string_view text, std::size_t maxBytes);
// Only the disk (for tests of the disk rules without an archive in the way).
ScriptFile ReadScriptFromDisk(const std::string& name, std::size_t maxBytes);
