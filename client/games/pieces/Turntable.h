// The spinning card wheel of the turntable kind.
#pragma once

class CTurntable {
 public:
  virtual ~CTurntable() = default;
  // The round's symbols, one for each of the wheel's lines.
  virtual void SetResult(const int* /*symbols*/) {}
  virtual void QuickStop() {}
  int GetLineCount() const { return m_nLines; }

 protected:
  int m_nLines = 1;
};
