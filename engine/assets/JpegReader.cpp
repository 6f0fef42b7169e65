// The engine's two quiet JPEG readers: the size probe and the row decoder. Their error
// exit formats the message without showing it and jumps back here; only warnings reach
// the "JPEG Error" box. No object with a destructor lives in the frames a jump crosses.
#include <cstring>

#include "ZqFunc.h"
#include "assets/JpegInternal.h"

namespace {

struct Reader {
  jpeg_decompress_struct cinfo;
  ZqJpegError err;
};

void Begin(Reader* r, FILE* file) {
  r->cinfo.err = zq_jpeg_std_error(&r->err);
  r->err.mgr.error_exit = ZqJpegQuietExit;
}

}  // namespace

ZQ_API int ZqJpeg_ReadSize(FILE* file, int* width, int* height) {
  if (width) *width = 0;
  if (height) *height = 0;
  if (!file) return 0;
  Reader r;
  memset(&r, 0, sizeof r);
  Begin(&r, file);
  if (setjmp(r.err.jump)) {
    jpeg_destroy_decompress(&r.cinfo);
    return 0;
  }
  jpeg_create_decompress(&r.cinfo);
  zq_jpeg_stdio_src(&r.cinfo, file);
  jpeg_read_header(&r.cinfo, TRUE);
  if (width) *width = (int)r.cinfo.image_width;
  if (height) *height = (int)r.cinfo.image_height;
  jpeg_destroy_decompress(&r.cinfo);
  return 1;
}

ZQ_API int ZqJpeg_Decode(FILE* file, ZqJpegRowFn onRow, void* ctx, ZqJpegImage* image) {
  if (!file || !onRow) return 0;
  Reader r;
  memset(&r, 0, sizeof r);
  ZqJpegImage info = {0, 0, 0};
  Begin(&r, file);
  if (setjmp(r.err.jump)) {
    jpeg_destroy_decompress(&r.cinfo);
    return 0;
  }
  jpeg_create_decompress(&r.cinfo);
  zq_jpeg_stdio_src(&r.cinfo, file);
  jpeg_read_header(&r.cinfo, TRUE);
  if (r.cinfo.num_components == 1) {
    r.cinfo.out_color_space = JCS_GRAYSCALE;
  } else if (r.cinfo.num_components == 3) {
    r.cinfo.out_color_space = JCS_RGB;
  } else {
    jpeg_destroy_decompress(&r.cinfo);
    return 0;
  }
  jpeg_start_decompress(&r.cinfo);
  info.width = (int)r.cinfo.output_width;
  info.height = (int)r.cinfo.output_height;
  info.components = r.cinfo.output_components;
  if (image) *image = info;
  // The row buffer comes from the decompressor's pool: it goes with the decompressor.
  JSAMPARRAY row = (*r.cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&r.cinfo), JPOOL_IMAGE,
                                                r.cinfo.output_width * r.cinfo.output_components, 1);
  while (r.cinfo.output_scanline < r.cinfo.output_height) {
    int y = (int)r.cinfo.output_scanline;
    if (jpeg_read_scanlines(&r.cinfo, row, 1) != 1) break;
    if (!onRow(ctx, y, row[0], &info)) {
      jpeg_destroy_decompress(&r.cinfo);
      return 0;
    }
  }
  jpeg_finish_decompress(&r.cinfo);
  jpeg_destroy_decompress(&r.cinfo);
  return 1;
}

SIZE CZqFunc::FileGetJpegSize(SStreamBuf* stream) {
  SIZE size = {0, 0};
  if (!stream || !stream->m_pFile) return size;
  if (ZQFBUF_Set(stream, 0) != 0) return size;
  int w = 0, h = 0;
  if (ZqJpeg_ReadSize(stream->m_pFile, &w, &h)) {
    size.cx = w;
    size.cy = h;
  }
  return size;
}
