#pragma once
// An integer with a display name: one entry of an enumeration or flag name table.
#include <windows.h>

#include <boost/shared_ptr.hpp>

#include <string>
#include <vector>

class CNamedInt {
public:
    explicit CNamedInt(int value);
    CNamedInt(int value, const std::wstring& name) : m_name(name), m_value(value) {}

    void SetNameFromId(UINT id);

    std::wstring m_name;
    int m_value = 0;
};

using CNamedIntPtr = boost::shared_ptr<CNamedInt>;
using CNamedIntTable = std::vector<CNamedIntPtr>;
