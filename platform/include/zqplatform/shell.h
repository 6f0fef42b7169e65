// Shell file operations: copy, move, rename and delete files and folders.
#pragma once

#include "zqplatform/types.h"

#define FO_MOVE 0x0001
#define FO_COPY 0x0002
#define FO_DELETE 0x0003
#define FO_RENAME 0x0004

typedef WORD FILEOP_FLAGS;
#define FOF_MULTIDESTFILES 0x0001
#define FOF_SILENT 0x0004
#define FOF_RENAMEONCOLLISION 0x0008
#define FOF_NOCONFIRMATION 0x0010
#define FOF_ALLOWUNDO 0x0040
#define FOF_FILESONLY 0x0080
#define FOF_NOCONFIRMMKDIR 0x0200
#define FOF_NOERRORUI 0x0400

// pFrom and pTo are lists of names, each NUL-terminated, the list ending with a second NUL.
typedef struct _SHFILEOPSTRUCTA {
  HWND hwnd;
  UINT wFunc;
  LPCSTR pFrom;
  LPCSTR pTo;
  FILEOP_FLAGS fFlags;
  BOOL fAnyOperationsAborted;
  LPVOID hNameMappings;
  LPCSTR lpszProgressTitle;
} SHFILEOPSTRUCTA, *LPSHFILEOPSTRUCTA;

// Returns 0 on success, otherwise an error code. Nothing is ever asked: an existing
// target is overwritten only with FOF_NOCONFIRMATION (otherwise the operation fails),
// missing destination folders are created, and a delete is permanent.
ZQPLAT_API int SHFileOperationA(LPSHFILEOPSTRUCTA op);
