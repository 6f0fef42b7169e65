// Buffered multimedia file I/O over files and memory, and RIFF chunk navigation.
//
// A file handle keeps one buffer window [bufBase, bufBase + bufLen) of the file; every read, write
// and seek goes through it, so that direct access (mmioGetInfo / mmioAdvance / mmioSetInfo) and
// the plain calls see the same bytes. A memory file is a single window that is the whole file.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "zqplatform/audio.h"
#include "zqplatform/base.h"

struct HMMIO__ {
  bool memory = false;
  bool ownsMemory = false;  // memory allocated here (may grow)
  bool unbuffered = false;  // opened without a buffer: no direct access
  bool writable = false;
  int fd = -1;
  DWORD growStep = 0;
  char* buf = nullptr;        // the window (or the whole memory file)
  std::vector<char> storage;  // backs buf unless the caller supplied the memory
  LONG cap = 0;               // window capacity
  LONG bufBase = 0;           // file offset of buf[0]
  LONG bufLen = 0;            // valid bytes in the window (the file size for memory files)
  LONG next = 0;              // offset of the next byte within the window
  bool dirty = false;
};

namespace {

constexpr LONG kMaxFile = 0x7FFFFFFF;

LONG Pos(const HMMIO__* h) { return h->bufBase + h->next; }

bool Flush(HMMIO__* h) {
  if (!h->dirty) return true;
  if (!h->memory) {
    LONG done = 0;
    while (done < h->bufLen) {
      ssize_t n = pwrite(h->fd, h->buf + done, static_cast<size_t>(h->bufLen - done), h->bufBase + done);
      if (n <= 0) return false;
      done += static_cast<LONG>(n);
    }
  }
  h->dirty = false;
  return true;
}

// Moves the window of a disk file to start at offset and fills it from the file.
bool Refill(HMMIO__* h, LONG offset) {
  if (!Flush(h)) return false;
  h->bufBase = offset;
  h->next = 0;
  h->bufLen = 0;
  while (h->bufLen < h->cap) {
    ssize_t n = pread(h->fd, h->buf + h->bufLen, static_cast<size_t>(h->cap - h->bufLen), offset + h->bufLen);
    if (n < 0) return false;
    if (n == 0) break;
    h->bufLen += static_cast<LONG>(n);
  }
  return true;
}

LONG FileSize(const HMMIO__* h) {
  if (h->memory) return h->bufLen;
  struct stat st {};
  LONG disk = fstat(h->fd, &st) == 0 ? static_cast<LONG>(std::min<off_t>(st.st_size, kMaxFile)) : 0;
  return std::max(disk, h->bufBase + h->bufLen);
}

bool GrowMemory(HMMIO__* h, LONG needed) {
  if (!h->ownsMemory || h->growStep == 0) return false;
  LONG cap = h->cap;
  while (cap < needed) {
    if (cap > kMaxFile - static_cast<LONG>(h->growStep)) return false;
    cap += static_cast<LONG>(h->growStep);
  }
  try {
    h->storage.resize(static_cast<size_t>(cap), 0);
  } catch (...) {
    return false;
  }
  h->buf = h->storage.data();
  h->cap = cap;
  h->bufLen = cap;
  return true;
}

void FillInfo(const HMMIO__* h, LPMMIOINFO info) {
  std::memset(info, 0, sizeof *info);
  info->fccIOProc = h->memory ? FOURCC_MEM : FOURCC_DOS;
  info->dwFlags = (h->dirty ? MMIO_DIRTY : 0) | (h->writable ? MMIO_READWRITE : 0);
  if (!h->unbuffered) {
    info->cchBuffer = h->cap;
    info->pchBuffer = h->buf;
    info->pchNext = h->buf + h->next;
    info->pchEndRead = h->buf + h->bufLen;
    info->pchEndWrite = h->buf + h->cap;
  }
  info->lBufOffset = h->bufBase;
  info->lDiskOffset = h->bufBase + h->bufLen;
  if (h->memory) info->adwInfo[0] = h->growStep;
  info->hmmio = const_cast<HMMIO__*>(h);
}

// Takes back the caller's direct-access position; false when it lies outside the buffer.
bool TakeInfo(HMMIO__* h, LPCMMIOINFO info) {
  if (h->unbuffered || info->pchNext < h->buf || info->pchNext > h->buf + h->cap) return false;
  h->next = static_cast<LONG>(info->pchNext - h->buf);
  if (info->dwFlags & MMIO_DIRTY) {
    h->dirty = true;
    h->bufLen = std::max(h->bufLen, h->next);
  }
  return true;
}

}  // namespace

HMMIO mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD openFlags) {
  auto fail = [&](UINT err) -> HMMIO {
    if (info) info->wErrorRet = err;
    return nullptr;
  };
  if (info && info->pIOProc) return fail(MMSYSERR_INVALPARAM);  // no custom procedures
  auto* h = new HMMIO__();
  const DWORD access = openFlags & 0x3;
  h->writable = access == MMIO_WRITE || access == MMIO_READWRITE;
  const bool allocBuf = (openFlags & MMIO_ALLOCBUF) != 0;
  if (info && info->fccIOProc == FOURCC_MEM) {
    h->memory = true;
    if (info->cchBuffer < 0) {
      delete h;
      return fail(MMSYSERR_INVALPARAM);
    }
    h->growStep = info->adwInfo[0];
    if (info->pchBuffer) {
      h->buf = info->pchBuffer;
      h->cap = info->cchBuffer;
    } else {
      h->ownsMemory = true;
      try {
        h->storage.assign(static_cast<size_t>(info->cchBuffer), 0);
      } catch (...) {
        delete h;
        return fail(MMIOERR_OUTOFMEMORY);
      }
      h->buf = h->storage.data();
      h->cap = info->cchBuffer;
    }
    h->bufLen = h->cap;
  } else {
    if (!fileName) {
      delete h;
      return fail(MMIOERR_FILENOTFOUND);
    }
    std::string path = zqMapPath(fileName);
    // Buffered writing reads the window back first, so a write-only file is opened read-write.
    int oflags = h->writable ? O_RDWR : O_RDONLY;
    if (openFlags & MMIO_CREATE) oflags |= O_CREAT | O_TRUNC;
    h->fd = open(path.c_str(), oflags | O_CLOEXEC, 0644);
    if (h->fd < 0) {
      delete h;
      return fail(errno == ENOENT ? MMIOERR_FILENOTFOUND : MMIOERR_CANNOTOPEN);
    }
    struct stat st {};
    if (fstat(h->fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      close(h->fd);
      delete h;
      return fail(MMIOERR_CANNOTOPEN);
    }
    LONG size = info && info->cchBuffer > 0 ? info->cchBuffer : MMIO_DEFAULTBUFFER;
    h->unbuffered = !allocBuf && !(info && info->pchBuffer);
    h->cap = size;
    h->storage.assign(static_cast<size_t>(size), 0);
    h->buf = h->storage.data();
    if (!Refill(h, 0)) {
      close(h->fd);
      delete h;
      return fail(MMIOERR_CANNOTREAD);
    }
  }
  if (info) {
    info->wErrorRet = MMSYSERR_NOERROR;
    info->hmmio = h;
  }
  return h;
}

MMRESULT mmioClose(HMMIO h, UINT) {
  if (!h) return MMSYSERR_INVALHANDLE;
  bool ok = Flush(h);
  if (h->fd >= 0 && close(h->fd) != 0) ok = false;
  delete h;
  return ok ? MMSYSERR_NOERROR : MMIOERR_CANNOTWRITE;
}

LONG mmioRead(HMMIO h, HPSTR buffer, LONG count) {
  if (!h || count < 0 || (!buffer && count > 0)) return -1;
  LONG done = 0;
  while (done < count) {
    if (h->next >= h->bufLen) {
      if (h->memory || !Refill(h, Pos(h)) || h->bufLen == 0) break;
    }
    LONG n = std::min(count - done, h->bufLen - h->next);
    std::memcpy(buffer + done, h->buf + h->next, static_cast<size_t>(n));
    h->next += n;
    done += n;
  }
  return done;
}

LONG mmioWrite(HMMIO h, const char* buffer, LONG count) {
  if (!h || count < 0 || (!buffer && count > 0) || !h->writable) return -1;
  LONG done = 0;
  while (done < count) {
    if (h->next >= h->cap) {
      if (h->memory) {
        if (!GrowMemory(h, h->next + (count - done))) break;
      } else if (!Refill(h, Pos(h))) {
        break;
      }
    }
    LONG n = std::min(count - done, h->cap - h->next);
    std::memcpy(h->buf + h->next, buffer + done, static_cast<size_t>(n));
    h->next += n;
    h->bufLen = std::max(h->bufLen, h->next);
    h->dirty = true;
    done += n;
  }
  return done == 0 && count > 0 ? -1 : done;
}

LONG mmioSeek(HMMIO h, LONG offset, int origin) {
  if (!h) return -1;
  int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? Pos(h) : origin == SEEK_END ? FileSize(h) : -1;
  if (base < 0) return -1;
  int64_t target = base + offset;
  if (target < 0 || target > kMaxFile) return -1;
  if (h->memory) {
    if (target > h->bufLen) return -1;
    h->next = static_cast<LONG>(target);
    return h->next;
  }
  if (target >= h->bufBase && target <= h->bufBase + h->bufLen) {
    h->next = static_cast<LONG>(target - h->bufBase);
  } else if (!Refill(h, static_cast<LONG>(target))) {
    return -1;
  }
  return static_cast<LONG>(target);
}

MMRESULT mmioGetInfo(HMMIO h, LPMMIOINFO info, UINT) {
  if (!h) return MMSYSERR_INVALHANDLE;
  if (!info) return MMSYSERR_INVALPARAM;
  FillInfo(h, info);
  return MMSYSERR_NOERROR;
}

MMRESULT mmioSetInfo(HMMIO h, LPCMMIOINFO info, UINT) {
  if (!h) return MMSYSERR_INVALHANDLE;
  if (!info) return MMSYSERR_INVALPARAM;
  if (h->unbuffered) return MMSYSERR_NOERROR;
  return TakeInfo(h, info) ? MMSYSERR_NOERROR : MMSYSERR_INVALPARAM;
}

MMRESULT mmioAdvance(HMMIO h, LPMMIOINFO info, UINT flags) {
  if (!h) return MMSYSERR_INVALHANDLE;
  if (h->unbuffered) return MMIOERR_UNBUFFERED;
  if (info && !TakeInfo(h, info)) return MMSYSERR_INVALPARAM;
  if (h->memory) {
    // The whole file is the buffer: reading has nothing more; writing grows it when allowed.
    if ((flags & MMIO_WRITE) && h->next >= h->cap && !GrowMemory(h, h->cap + 1)) return MMIOERR_CANNOTEXPAND;
  } else if (!Refill(h, Pos(h))) {
    return (flags & MMIO_WRITE) ? MMIOERR_CANNOTWRITE : MMIOERR_CANNOTREAD;
  }
  if (info) FillInfo(h, info);
  return MMSYSERR_NOERROR;
}

MMRESULT mmioFlush(HMMIO h, UINT) {
  if (!h) return MMSYSERR_INVALHANDLE;
  return Flush(h) ? MMSYSERR_NOERROR : MMIOERR_CANNOTWRITE;
}

MMRESULT mmioDescend(HMMIO h, LPMMCKINFO ck, LPCMMCKINFO parent, UINT flags) {
  if (!h || !ck) return MMSYSERR_INVALPARAM;
  const FOURCC wantId = (flags & MMIO_FINDRIFF)   ? FOURCC_RIFF
                        : (flags & MMIO_FINDLIST) ? FOURCC_LIST
                                                  : ck->ckid;
  const FOURCC wantType = ck->fccType;
  const bool search = (flags & (MMIO_FINDCHUNK | MMIO_FINDRIFF | MMIO_FINDLIST)) != 0;
  int64_t limit = INT64_MAX;
  if (parent) limit = static_cast<int64_t>(parent->dwDataOffset) + parent->cksize;
  for (;;) {
    int64_t start = Pos(h);
    if (start + 8 > limit) return MMIOERR_CHUNKNOTFOUND;
    DWORD header[2];
    if (mmioRead(h, reinterpret_cast<char*>(header), 8) != 8) return MMIOERR_CHUNKNOTFOUND;
    MMCKINFO found{};
    found.ckid = header[0];
    found.cksize = header[1];
    found.dwDataOffset = static_cast<DWORD>(start + 8);
    const bool group = found.ckid == FOURCC_RIFF || found.ckid == FOURCC_LIST;
    if (group) {
      if (start + 12 > limit || mmioRead(h, reinterpret_cast<char*>(&found.fccType), 4) != 4)
        return MMIOERR_CHUNKNOTFOUND;
    }
    bool match = !search || (found.ckid == wantId &&
                             (!(flags & (MMIO_FINDRIFF | MMIO_FINDLIST)) || found.fccType == wantType));
    if (match) {
      *ck = found;
      return MMSYSERR_NOERROR;
    }
    // Skip the chunk, padded to a word.
    int64_t end = static_cast<int64_t>(found.dwDataOffset) + found.cksize + (found.cksize & 1);
    if (end > kMaxFile || end > FileSize(h) || mmioSeek(h, static_cast<LONG>(end), SEEK_SET) < 0)
      return MMIOERR_CHUNKNOTFOUND;
  }
}

MMRESULT mmioAscend(HMMIO h, LPMMCKINFO ck, UINT) {
  if (!h || !ck) return MMSYSERR_INVALPARAM;
  if (ck->dwFlags & MMIO_DIRTY) {
    // Created here: the size is what was written.
    LONG end = Pos(h);
    if (end < static_cast<LONG>(ck->dwDataOffset)) return MMIOERR_CANNOTSEEK;
    DWORD size = static_cast<DWORD>(end - static_cast<LONG>(ck->dwDataOffset));
    if (size != ck->cksize) {
      ck->cksize = size;
      if (mmioSeek(h, static_cast<LONG>(ck->dwDataOffset) - 4, SEEK_SET) < 0) return MMIOERR_CANNOTSEEK;
      if (mmioWrite(h, reinterpret_cast<const char*>(&size), 4) != 4) return MMIOERR_CANNOTWRITE;
    }
    if (mmioSeek(h, end, SEEK_SET) < 0) return MMIOERR_CANNOTSEEK;
    if (size & 1) {
      char pad = 0;
      if (mmioWrite(h, &pad, 1) != 1) return MMIOERR_CANNOTWRITE;
    }
    ck->dwFlags &= ~MMIO_DIRTY;
    return MMSYSERR_NOERROR;
  }
  int64_t end = static_cast<int64_t>(ck->dwDataOffset) + ck->cksize + (ck->cksize & 1);
  if (end > kMaxFile) return MMIOERR_CANNOTSEEK;
  // A chunk that claims more than the file holds ends at the end of the file.
  end = std::min<int64_t>(end, FileSize(h));
  if (mmioSeek(h, static_cast<LONG>(end), SEEK_SET) < 0) return MMIOERR_CANNOTSEEK;
  return MMSYSERR_NOERROR;
}

MMRESULT mmioCreateChunk(HMMIO h, LPMMCKINFO ck, UINT flags) {
  if (!h || !ck) return MMSYSERR_INVALPARAM;
  if (flags & MMIO_CREATERIFF) ck->ckid = FOURCC_RIFF;
  if (flags & MMIO_CREATELIST) ck->ckid = FOURCC_LIST;
  const bool group = (flags & (MMIO_CREATERIFF | MMIO_CREATELIST)) != 0;
  LONG start = Pos(h);
  DWORD header[3] = {ck->ckid, ck->cksize, ck->fccType};
  LONG n = group ? 12 : 8;
  if (mmioWrite(h, reinterpret_cast<const char*>(header), n) != n) return MMIOERR_CANNOTWRITE;
  ck->dwDataOffset = static_cast<DWORD>(start + 8);
  ck->dwFlags = MMIO_DIRTY;
  return MMSYSERR_NOERROR;
}

FOURCC mmioStringToFOURCCA(LPCSTR text, UINT) {
  char c[4] = {' ', ' ', ' ', ' '};
  for (int i = 0; i < 4 && text && text[i]; ++i) c[i] = text[i];
  return mmioFOURCC(c[0], c[1], c[2], c[3]);
}
