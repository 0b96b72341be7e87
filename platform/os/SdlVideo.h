// Internal to platform/os: the lazily started SDL video subsystem and the
// headless switch. Not for use outside this folder.
#pragma once

namespace os_internal {

// Starts SDL's video and event subsystems once; false when no display can be
// used (headless, or SDL could not start a video driver).
bool EnsureSdlVideo();

// Whether the video subsystem is running now.
bool SdlVideoRunning();

// Stops a running video subsystem; the next EnsureSdlVideo starts it afresh.
void StopSdlVideo();

}  // namespace os_internal
