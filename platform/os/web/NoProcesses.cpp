// A page starts no programs: the C library of the web build has no posix_spawnp, and
// what would run one (the capture's video encoder and muxer) fails as it fails where
// the program is missing. A page's capture writes picture frames.
#include <spawn.h>

#include <cerrno>

extern "C" int posix_spawnp(pid_t*, const char*, const posix_spawn_file_actions_t*,
                            const posix_spawnattr_t*, char* const[], char* const[]) {
  return ENOSYS;
}
