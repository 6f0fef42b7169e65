// Video frames drawn over a window's client area through SDL (the engine presents nothing
// while a video plays).
#include <SDL.h>

#include "media/filter_graph.h"

namespace zqmedia {
namespace {

class SdlVideoPresenter final : public VideoPresenter {
 public:
  ~SdlVideoPresenter() override {
    if (texture_) SDL_DestroyTexture(texture_);
    if (surface_) SDL_FreeSurface(surface_);
  }

  void Show(void* nativeWindow, const DWORD* pixels, int width, int height, LONG left, LONG top,
            LONG destWidth, LONG destHeight) override {
    auto* window = static_cast<SDL_Window*>(nativeWindow);
    SDL_Rect dst{left, top, destWidth, destHeight};
    if (SDL_Renderer* r = SDL_GetRenderer(window)) {
      if (!texture_ || renderer_ != r || texW_ != width || texH_ != height) {
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
        renderer_ = r;
        texW_ = width;
        texH_ = height;
      }
      if (!texture_) return;
      SDL_UpdateTexture(texture_, nullptr, pixels, width * 4);
      SDL_RenderCopy(r, texture_, nullptr, &dst);
      SDL_RenderPresent(r);
      return;
    }
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (!target) return;
    if (!surface_ || surface_->w != width || surface_->h != height || surface_->pixels != pixels) {
      if (surface_) SDL_FreeSurface(surface_);
      surface_ = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<DWORD*>(pixels), width, height, 32, width * 4,
                                                    SDL_PIXELFORMAT_ARGB8888);
    }
    if (!surface_) return;
    SDL_BlitScaled(surface_, nullptr, target, &dst);
    SDL_UpdateWindowSurface(window);
  }

 private:
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  SDL_Surface* surface_ = nullptr;
  int texW_ = 0, texH_ = 0;
};

}  // namespace

VideoPresenter* MakeVideoPresenter() { return new SdlVideoPresenter(); }

}  // namespace zqmedia
