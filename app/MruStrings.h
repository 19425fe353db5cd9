#pragma once
// A most-recently-used list of texts, newest first, bounded in length.
#include <boost/shared_ptr.hpp>

#include <list>
#include <string>

class CSameNamedString {
public:
    explicit CSameNamedString(const std::wstring& text) : m_text(text) {}
    std::wstring m_text;
};

class CMruStrings {
public:
    explicit CMruStrings(unsigned int max = 20) : m_max(max) {}

    // Moves an equal text (exact code units) to the front, or adds the text there.
    void Add(const std::wstring& text);

    std::list<boost::shared_ptr<CSameNamedString>> m_items;
    unsigned int m_max;
};
