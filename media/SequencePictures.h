// The decoded pictures of one picture sequence while it loads: each distinct file is
// read and decoded once, and every frame naming it shares that surface, so a long
// sequence that repeats a few pictures costs no more than those pictures. The
// surfaces kept stay within a budget of decoded bytes; a sequence that needs more
// ends the process with "Image load failed: <sequence>", the reason on standard
// error. Entry thread only.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "media/PictureFile.h"
#include "platform/d3d9/d3d9.h"

// Decoded bytes one sequence may keep: 1 GiB, some 340 pictures of 1024 x 768.
constexpr std::uint64_t kSequencePictureBudget = std::uint64_t{1} << 30;

class SequencePictures {
 public:
  // `device` is lent; `sequenceName` names the sequence in messages.
  SequencePictures(IDirect3DDevice9* device, std::string sequenceName,
                   std::uint64_t budgetBytes = kSequencePictureBudget);

  // The picture `name` with a new reference to its surface (null where the device
  // refused the format), decoded on first use. Ends the process when the picture
  // cannot be read or would pass the budget.
  PictureSurface take(const std::string& name);

  std::size_t distinct() const { return pictures.size(); }
  std::uint64_t keptBytes() const { return kept; }

 private:
  IDirect3DDevice9* device;  // not owned
  std::string sequenceName;
  std::uint64_t budget;
  std::uint64_t kept = 0;
  std::unordered_map<std::string, PictureSurface> pictures;  // one reference each
};
