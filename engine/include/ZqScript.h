// CZqScript: a plain, copyable data object of the interface, a name and an ordered list of
// string pairs. Nothing in the engine reads or fills one.
#pragma once

#include <list>
#include <string>
#include <utility>

#include "ZqDefs.h"

class ZQ_API CZqScript {
 public:
  typedef std::pair<std::string, std::string> Entry;

  CZqScript();
  CZqScript(const CZqScript& other);
  CZqScript& operator=(const CZqScript& other);
  virtual ~CZqScript();

  std::string m_strName;
  std::list<Entry> m_listEntries;
};
