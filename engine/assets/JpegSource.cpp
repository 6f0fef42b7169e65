// The engine's stdio data source for libjpeg.
#include "assets/JpegInternal.h"

namespace {

constexpr size_t kBufferSize = 4096;

struct SourceMgr {
  jpeg_source_mgr pub;
  FILE* file;
  JOCTET* buffer;
  boolean startOfFile;
};

void InitSource(j_decompress_ptr cinfo) { reinterpret_cast<SourceMgr*>(cinfo->src)->startOfFile = TRUE; }

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  SourceMgr* src = reinterpret_cast<SourceMgr*>(cinfo->src);
  size_t n = fread(src->buffer, 1, kBufferSize, src->file);
  if (n == 0) {
    // Every error exit of the engine jumps away from here: a file cut short fails
    // instead of being completed with a fake end marker.
    cinfo->err->msg_code = JERR_INPUT_EMPTY;
    (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
  }
  src->pub.next_input_byte = src->buffer;
  src->pub.bytes_in_buffer = n;
  src->startOfFile = FALSE;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  while (count > (long)src->bytes_in_buffer) {
    count -= (long)src->bytes_in_buffer;
    FillInputBuffer(cinfo);
  }
  src->next_input_byte += count;
  src->bytes_in_buffer -= (size_t)count;
}

void TermSource(j_decompress_ptr) {}

}  // namespace

ZQ_API void zq_jpeg_stdio_src(jpeg_decompress_struct* cinfo, FILE* file) {
  if (!cinfo->src) {
    SourceMgr* src = static_cast<SourceMgr*>((*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo),
                                                                        JPOOL_PERMANENT, sizeof(SourceMgr)));
    src->buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kBufferSize));
    cinfo->src = &src->pub;
  }
  SourceMgr* src = reinterpret_cast<SourceMgr*>(cinfo->src);
  src->pub.init_source = InitSource;
  src->pub.fill_input_buffer = FillInputBuffer;
  src->pub.skip_input_data = SkipInputData;
  src->pub.resync_to_restart = jpeg_resync_to_restart;
  src->pub.term_source = TermSource;
  src->file = file;
  src->pub.bytes_in_buffer = 0;
  src->pub.next_input_byte = nullptr;
}
