// A game or a panel that records every input handler call it gets.
#pragma once

#include <string>
#include <vector>

#include "ZqLib.h"

struct InputCall {
  std::string name;
  UINT a, b, c;
  SScreenPoint point;
};

// Base is CZqGame or CZqUIPanel, which share their input handlers. Every handler returns
// Answer(), so that a test can tell the recorder's result from anyone else's.
template <class Base>
class InputRecorder : public Base {
 public:
  using Base::Base;
  std::vector<InputCall> calls;

  DWORD OnMouseMove(UINT f, SScreenPoint p) override { return Note("move", f, 0, 0, p); }
  DWORD OnMouseWheel(UINT f, short d, SScreenPoint p) override { return Note("wheel", f, UINT(d), 0, p); }
  DWORD OnLButtonDown(UINT f, SScreenPoint p) override { return Note("ldown", f, 0, 0, p); }
  DWORD OnLButtonUp(UINT f, SScreenPoint p) override { return Note("lup", f, 0, 0, p); }
  DWORD OnLButtonDbClk(UINT f, SScreenPoint p) override { return Note("ldbl", f, 0, 0, p); }
  DWORD OnRButtonDown(UINT f, SScreenPoint p) override { return Note("rdown", f, 0, 0, p); }
  DWORD OnRButtonUp(UINT f, SScreenPoint p) override { return Note("rup", f, 0, 0, p); }
  DWORD OnRButtonDbClk(UINT f, SScreenPoint p) override { return Note("rdbl", f, 0, 0, p); }
  DWORD OnChar(UINT k, UINT r, UINT f) override { return Note("char", k, r, f, SScreenPoint()); }
  DWORD OnKeyDown(UINT k, UINT r, UINT f) override { return Note("keydown", k, r, f, SScreenPoint()); }
  DWORD OnKeyUp(UINT k, UINT r, UINT f) override { return Note("keyup", k, r, f, SScreenPoint()); }

 protected:
  virtual DWORD Answer() const = 0;

 private:
  DWORD Note(const char* name, UINT a, UINT b, UINT c, SScreenPoint p) {
    calls.push_back({name, a, b, c, p});
    return Answer();
  }
};
