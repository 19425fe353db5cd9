#include "app/MruStrings.h"

void CMruStrings::Add(const std::wstring& text)
{
    m_items.remove_if([&text](const boost::shared_ptr<CSameNamedString>& item) { return item->m_text == text; });
    m_items.push_front(boost::shared_ptr<CSameNamedString>(new CSameNamedString(text)));
    while (m_items.size() > m_max) m_items.pop_back();
}
