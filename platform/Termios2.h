#pragma once

// The termios2 calls, kept in a unit of their own: the kernel's termios headers and the C
// library's <termios.h> can't be included together.

// Sets input and output to any bit rate (BOTHER); false with errno set.
bool setTermios2BitRate(int fd, int rate);
// The output bit rate the driver holds; -1 on failure.
int termios2BitRate(int fd);
