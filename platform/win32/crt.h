// The C runtime's file calls the show uses, taking Windows-style names (see paths.h):
// unbuffered binary reading (_open, _read, _close) and buffered text reading (_fsopen).
#pragma once

#include <cstdio>

#define _O_RDONLY 0x0000
#define _O_BINARY 0x8000
#define _SH_DENYNO 0x40

int _open(const char* name, int flags);
int _read(int fd, void* buffer, unsigned int count);
int _close(int fd);
FILE* _fsopen(const char* name, const char* mode, int shareFlag);
