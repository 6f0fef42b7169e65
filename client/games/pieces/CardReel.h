// The curved card and tile reel of the poker-card and mahjong kinds.
#pragma once

class CCardReel {
 public:
  virtual ~CCardReel() = default;
  // Asks a turning reel to come to rest on its result.
  virtual void Stop() {}
};
