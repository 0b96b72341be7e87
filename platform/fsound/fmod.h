// The FSOUND 3 interface subset the player calls: start-up and shutdown of the
// sound system, file callbacks, MP3 streams played on mixed channels, pause,
// volume and stop. Names, argument order, constants and results are FMOD 3.63's:
// functions report failure as FALSE (0), -1 or null and leave the reason for
// FSOUND_GetError. Only MP3 streams are decoded; every value outside the subset is
// refused with FMOD_ERR_INVALID_PARAM, never ignored.
//
// Threads: call from one thread (the frame loop). The library mixes on a thread of
// its own (the sound device's, or the silent output's) and calls the file
// callbacks from there too, one stream at a time.
#pragma once

#define FMOD_VERSION 3.63f

#define F_API
#define F_CALLBACKAPI

// ---- Types ----

typedef struct FSOUND_STREAM FSOUND_STREAM;  // owned by the library, closed by FSOUND_Stream_Close
typedef struct FSOUND_DSPUNIT FSOUND_DSPUNIT;

// File callbacks: a handle is a non-zero 32-bit value the open callback chooses;
// 0 means the file could not be opened. Seek modes are SEEK_SET, SEEK_CUR, SEEK_END
// (0, 1, 2).
typedef unsigned int(F_CALLBACKAPI* FSOUND_OPENCALLBACK)(const char* name);
typedef void(F_CALLBACKAPI* FSOUND_CLOSECALLBACK)(unsigned int handle);
typedef int(F_CALLBACKAPI* FSOUND_READCALLBACK)(void* buffer, int size, unsigned int handle);
typedef int(F_CALLBACKAPI* FSOUND_SEEKCALLBACK)(unsigned int handle, int pos, signed char mode);
typedef int(F_CALLBACKAPI* FSOUND_TELLCALLBACK)(unsigned int handle);

// ---- Constants ----

enum FMOD_ERRORS {
  FMOD_ERR_NONE,
  FMOD_ERR_BUSY,
  FMOD_ERR_UNINITIALIZED,
  FMOD_ERR_INIT,
  FMOD_ERR_ALLOCATED,
  FMOD_ERR_PLAY,
  FMOD_ERR_OUTPUT_FORMAT,
  FMOD_ERR_COOPERATIVELEVEL,
  FMOD_ERR_CREATEBUFFER,
  FMOD_ERR_FILE_NOTFOUND,
  FMOD_ERR_FILE_FORMAT,
  FMOD_ERR_FILE_BAD,
  FMOD_ERR_MEMORY,
  FMOD_ERR_VERSION,
  FMOD_ERR_INVALID_PARAM,
  FMOD_ERR_NO_EAX,
  FMOD_ERR_CHANNEL_ALLOC,
  FMOD_ERR_RECORD,
  FMOD_ERR_MEDIAPLAYER
};

// Outputs of FSOUND_SetOutput. This layer drives NOSOUND (nothing is heard, streams
// still advance in real time) and DSOUND (the system's default sound device, or the
// NOSOUND behaviour when no device can be opened).
enum FSOUND_OUTPUTTYPES {
  FSOUND_OUTPUT_NOSOUND,
  FSOUND_OUTPUT_WINMM,
  FSOUND_OUTPUT_DSOUND,
  FSOUND_OUTPUT_A3D,
  FSOUND_OUTPUT_OSS,
  FSOUND_OUTPUT_ESD,
  FSOUND_OUTPUT_ALSA
};

// Sample and stream mode flags. The format flags describe raw PCM data; an MP3
// stream always plays in the format the file holds.
#define FSOUND_LOOP_OFF 0x00000001
#define FSOUND_LOOP_NORMAL 0x00000002
#define FSOUND_LOOP_BIDI 0x00000004
#define FSOUND_8BITS 0x00000008
#define FSOUND_16BITS 0x00000010
#define FSOUND_MONO 0x00000020
#define FSOUND_STEREO 0x00000040
#define FSOUND_UNSIGNED 0x00000080
#define FSOUND_SIGNED 0x00000100
#define FSOUND_DELTA 0x00000200
#define FSOUND_IT214 0x00000400
#define FSOUND_IT215 0x00000800
#define FSOUND_HW3D 0x00001000
#define FSOUND_2D 0x00002000
#define FSOUND_STREAMABLE 0x00004000
#define FSOUND_LOADMEMORY 0x00008000
#define FSOUND_LOADRAW 0x00010000
#define FSOUND_MPEGACCURATE 0x00020000
#define FSOUND_FORCEMONO 0x00040000
#define FSOUND_HW2D 0x00080000
#define FSOUND_ENABLEFX 0x00100000
#define FSOUND_NORMAL (FSOUND_16BITS | FSOUND_SIGNED | FSOUND_MONO)

// Channel selectors.
#define FSOUND_FREE -1
#define FSOUND_UNMANAGED -2
#define FSOUND_ALL -3

// ---- Functions ----

// The library's version; never below FMOD_VERSION.
float F_API FSOUND_GetVersion();

// Before FSOUND_Init only (FMOD_ERR_BUSY after it).
signed char F_API FSOUND_SetOutput(int outputtype);
signed char F_API FSOUND_SetDriver(int driver);  // 0: the default device; no other
signed char F_API FSOUND_SetBufferSize(int len_ms);  // device buffer, 10 to 2000 ms

// Mixing rate 44100 only; 1 to 1024 channels; no flags.
signed char F_API FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);
// Stops every channel, closes every stream still open and the output. Idempotent.
void F_API FSOUND_Close();
// The reason for the last failed call; FMOD_ERR_NONE after a call that succeeded.
int F_API FSOUND_GetError();

// Stream buffer for streams opened afterwards, 1 to 10000 ms. Streams here decode
// on the mixing thread as the mix consumes them, from files the callbacks usually
// hold in memory, so the value is checked and kept but sizes no read-ahead.
signed char F_API FSOUND_Stream_SetBufferSize(int ms);
// All five, or all null for the library's own disk access. Streams keep the
// callbacks they were opened with.
signed char F_API FSOUND_File_SetCallbacks(FSOUND_OPENCALLBACK useropen,
                                           FSOUND_CLOSECALLBACK userclose,
                                           FSOUND_READCALLBACK userread,
                                           FSOUND_SEEKCALLBACK userseek,
                                           FSOUND_TELLCALLBACK usertell);

// Opens an MP3 file through the file callbacks; mode: format flags, FSOUND_LOOP_OFF,
// FSOUND_2D, FSOUND_MPEGACCURATE (positions are always sample-accurate); lenbytes 0.
// Null with FMOD_ERR_FILE_NOTFOUND or FMOD_ERR_FILE_FORMAT when the file is missing
// or holds no MP3 audio.
FSOUND_STREAM* F_API FSOUND_Stream_OpenFile(const char* filename, unsigned int mode,
                                            int lenbytes);
// Moves the stream to `ms`, clamped to 0 .. its length, to the sample.
signed char F_API FSOUND_Stream_SetTime(FSOUND_STREAM* stream, int ms);
// Plays the stream from its position on `channel` (FSOUND_FREE: any free one); dsp
// must be null. Returns the channel handle, or -1. A stream plays on one channel at
// a time: playing it again moves it.
int F_API FSOUND_Stream_PlayEx(int channel, FSOUND_STREAM* stream, FSOUND_DSPUNIT* dsp,
                               signed char startpaused);
// Stops it if it plays and frees it; the handle is dead afterwards.
signed char F_API FSOUND_Stream_Close(FSOUND_STREAM* stream);

// Channel handles from FSOUND_Stream_PlayEx; a handle whose channel has since been
// reused is refused. FSOUND_ALL addresses every channel.
signed char F_API FSOUND_SetPaused(int channel, signed char paused);
signed char F_API FSOUND_SetVolume(int channel, int vol);  // 0 to 255, clamped
signed char F_API FSOUND_StopSound(int channel);
