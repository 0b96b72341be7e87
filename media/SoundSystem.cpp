#include "media/SoundSystem.h"

#include <cstdio>

#include "media/SoundFiles.h"
#include "platform/fsound/fmod.h"
#include "platform/os/oshost.h"
#include "platform/os/windows.h"

namespace {
constexpr float kRequiredVersion = FMOD_VERSION;
// Script players alive: the first starts the library, the last closes it.
int users = 0;
}  // namespace

void StartSoundSystem() {
  if (users++ > 0) return;
  if (FSOUND_GetVersion() < kRequiredVersion) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "Error : You are using the wrong DLL version!  You should be using FMOD %.02f\n",
                  static_cast<double>(kRequiredVersion));
    MessageBoxA(nullptr, text, "Error in MP3Player!", MB_OK);
    ExitProcess(0);
  }
  FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
  FSOUND_SetDriver(0);
  FSOUND_SetBufferSize(150);
  if (!FSOUND_Init(44100, 32, 0)) SoundSystemFatal(SoundErrorText(FSOUND_GetError()));
  FSOUND_Stream_SetBufferSize(2000);
  FSOUND_File_SetCallbacks(SoundFileOpen, SoundFileClose, SoundFileRead, SoundFileSeek,
                           SoundFileTell);
}

void CloseSoundSystem() {
  if (users > 0 && --users == 0) FSOUND_Close();
}

void SoundSystemFatal(const char* text) {
  MessageBoxA(nullptr, text, "MP3Player Error", MB_OK);
  // A caught end (a failed reload) leaves the show that goes on its sound.
  if (!OsExitHandlerSet()) FSOUND_Close();
  ExitProcess(0);
}

const char* SoundErrorText(int code) {
  switch (code) {
    case FMOD_ERR_NONE: return "No errors";
    case FMOD_ERR_BUSY: return "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.";
    case FMOD_ERR_UNINITIALIZED: return "This command failed because FSOUND_Init was not called";
    case FMOD_ERR_INIT: return "Error initializing output device.";
    case FMOD_ERR_ALLOCATED: return "The output device is already in use and cannot be reused.";
    case FMOD_ERR_PLAY: return "Playing the sound failed.";
    case FMOD_ERR_OUTPUT_FORMAT:
      return "Soundcard does not support the features needed for this soundsystem (16bit stereo "
             "output)";
    case FMOD_ERR_COOPERATIVELEVEL: return "Error setting cooperative level for hardware.";
    case FMOD_ERR_CREATEBUFFER: return "Error creating hardware sound buffer.";
    case FMOD_ERR_FILE_NOTFOUND: return "File not found";
    case FMOD_ERR_FILE_FORMAT: return "Unknown file format";
    case FMOD_ERR_FILE_BAD: return "Error loading file";
    case FMOD_ERR_MEMORY: return "Not enough memory ";
    case FMOD_ERR_VERSION: return "The version number of this file format is not supported";
    case FMOD_ERR_INVALID_PARAM: return "An invalid parameter was passed to this function";
    case FMOD_ERR_NO_EAX:
      return "Tried to use an EAX command on a non EAX enabled channel or output.";
    case FMOD_ERR_CHANNEL_ALLOC: return "Failed to allocate a new channel";
    case FMOD_ERR_RECORD: return "Recording not supported on this device";
    case FMOD_ERR_MEDIAPLAYER: return "Required Mediaplayer codec is not installed";
    default: return "Unknown error";
  }
}
