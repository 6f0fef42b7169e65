// The engine's libjpeg error manager: messages go to a "JPEG Error" box.
#include <cstring>

#include "assets/JpegInternal.h"

namespace {

ZqJpegError* Owner(j_common_ptr cinfo) { return reinterpret_cast<ZqJpegError*>(cinfo->err); }

// The library's standard formatting, taken from its own manager once.
void FormatMessage(j_common_ptr cinfo, char* buffer) {
  static void (*standard)(j_common_ptr, char*) = [] {
    jpeg_error_mgr lib;
    jpeg_std_error(&lib);
    return lib.format_message;
  }();
  standard(cinfo, buffer);
}

void OutputMessage(j_common_ptr cinfo) {
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  MessageBoxA(GetActiveWindow(), text, "JPEG Error", MB_OK);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  jpeg_error_mgr* err = cinfo->err;
  if (level < 0) {
    if (err->num_warnings == 0 || err->trace_level >= 3) (*err->output_message)(cinfo);
    err->num_warnings++;
  } else if (err->trace_level >= level) {
    (*err->output_message)(cinfo);
  }
}

void ResetErrorMgr(j_common_ptr cinfo) {
  cinfo->err->num_warnings = 0;
  cinfo->err->msg_code = 0;
}

// Shows the error, destroys the decompressor and jumps back to the recovery point.
[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  ZqJpegError* owner = Owner(cinfo);
  (*cinfo->err->output_message)(cinfo);
  jpeg_destroy(cinfo);
  longjmp(owner->jump, 1);
}

}  // namespace

void ZqJpegQuietExit(j_common_ptr cinfo) {
  ZqJpegError* owner = Owner(cinfo);
  (*cinfo->err->format_message)(cinfo, owner->message);
  longjmp(owner->jump, 1);
}

ZQ_API jpeg_error_mgr* zq_jpeg_std_error(ZqJpegError* owner) {
  jpeg_error_mgr* err = &owner->mgr;
  // The library fills the standard message table and its last code.
  jpeg_std_error(err);
  err->error_exit = ErrorExit;
  err->emit_message = EmitMessage;
  err->output_message = OutputMessage;
  err->format_message = FormatMessage;
  err->reset_error_mgr = ResetErrorMgr;
  err->trace_level = 0;
  err->num_warnings = 0;
  err->msg_code = 0;
  err->addon_message_table = nullptr;
  err->first_addon_message = 0;
  err->last_addon_message = 0;
  owner->message[0] = 0;
  return err;
}

ZQ_API jmp_buf* zq_jpeg_jump(ZqJpegError* owner) { return &owner->jump; }
