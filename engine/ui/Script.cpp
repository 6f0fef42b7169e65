// CZqScript: construction, copying and destruction only.
#include "ZqScript.h"

CZqScript::CZqScript() = default;

CZqScript::CZqScript(const CZqScript& other)
    : m_strName(other.m_strName), m_listEntries(other.m_listEntries) {}

CZqScript& CZqScript::operator=(const CZqScript& other) {
  if (this != &other) {
    m_strName = other.m_strName;
    m_listEntries = other.m_listEntries;
  }
  return *this;
}

CZqScript::~CZqScript() = default;
