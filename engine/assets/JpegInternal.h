// Layout of the engine's JPEG error manager (needs jpeglib.h).
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "ZqJpeg.h"

struct ZqJpegError {
  jpeg_error_mgr mgr;  // first, so the library's pointer converts back
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];  // last error text, formatted but not shown by the readers
};

// The readers' error exit: formats the message without showing it, then jumps back.
void ZqJpegQuietExit(j_common_ptr cinfo);
