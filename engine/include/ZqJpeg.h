// JPEG input over libjpeg: the engine's stdio data source (4096-byte buffer), its error
// manager (messages in a "JPEG Error" box), and the two quiet readers built on them.
#pragma once

#include <csetjmp>
#include <cstdio>

#include "ZqDefs.h"

struct jpeg_decompress_struct;
struct jpeg_error_mgr;

// The engine's error manager: the library's manager followed by the point that every
// error exit jumps back to, so no exit ever returns into the library. Its layout is the
// glue's own; other code reads pictures through the quiet readers below.
struct ZqJpegError;

// Attaches the engine's data source to an open file (not owned). A second call on the same
// decompressor reuses the source and its buffer.
ZQ_API void zq_jpeg_stdio_src(jpeg_decompress_struct* cinfo, FILE* file);

// Fills err with the engine's operations: warnings shown in a box (the first of each
// decompression, or all from trace level 3), errors shown, the decompressor destroyed,
// then a jump to err's recovery point.
ZQ_API jpeg_error_mgr* zq_jpeg_std_error(ZqJpegError* err);

// Recovery point of an error manager: use as `if (setjmp(*zq_jpeg_jump(err))) { ... }`.
ZQ_API jmp_buf* zq_jpeg_jump(ZqJpegError* err);

// Picture facts handed to the row sink.
struct ZqJpegImage {
  int width;
  int height;
  int components;  // 3 (red, green, blue) or 1 (grey)
};

// Receives each decoded row, top to bottom; return 0 to stop.
typedef int (*ZqJpegRowFn)(void* ctx, int row, const unsigned char* pixels, const ZqJpegImage* image);

// Quiet readers: a broken picture makes them fail (0) without a box; only warnings reach
// the "JPEG Error" box. Both read from the file's current position.
ZQ_API int ZqJpeg_ReadSize(FILE* file, int* width, int* height);
// 1 when every row was decoded; the image facts are filled in before the first row.
ZQ_API int ZqJpeg_Decode(FILE* file, ZqJpegRowFn onRow, void* ctx, ZqJpegImage* image = nullptr);
