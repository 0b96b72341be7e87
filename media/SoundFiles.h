// The five file callbacks handed to the sound library, in its order open, close,
// read, seek, tell. Each forwards to the memory files: a disk file of that name
// first, else the archive entry, held whole in memory while the library keeps it
// open. The library's handles are 32-bit, too small for a pointer, so the open
// memory files are kept in a handle table (platform/fsound/HandleTable.h; 0: none,
// and a closed or unknown handle reads nothing).
// Thread: the library calls them from the frame loop and from its mixing thread;
// the table has a lock of its own, and each handle serves one stream at a time.
#pragma once

unsigned int SoundFileOpen(const char* name);
void SoundFileClose(unsigned int handle);
int SoundFileRead(void* buffer, int size, unsigned int handle);
int SoundFileSeek(unsigned int handle, int pos, signed char mode);
int SoundFileTell(unsigned int handle);

// Memory files the library holds open now.
int SoundFilesOpen();
