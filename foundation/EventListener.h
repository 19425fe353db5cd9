#pragma once
// Event callbacks: the listener interface and the adapter that calls a member function.
#include <boost/shared_ptr.hpp>

#include <list>

class CEventListener {
public:
    virtual ~CEventListener() = default;
    // `record` depends on the source of the event (the drive monitor hands a CDriveMonitorInfo*).
    virtual void OnEvent(void* sender, void* record) = 0;
};

template <class T> class CMemfunEventListener : public CEventListener {
public:
    using Member = void (T::*)(void* sender, void* record);

    CMemfunEventListener(T* object, Member member) : m_object(object), m_member(member) {}

    void OnEvent(void* sender, void* record) override
    {
        if (m_object && m_member) (m_object->*m_member)(sender, record);
    }

    T* m_object;
    Member m_member;
};

using EventListenerList = std::list<boost::shared_ptr<CEventListener>>;

// Calls every listener front to back; the next element is taken before each call, so a
// listener may remove itself.
inline void FireEvent(const EventListenerList& listeners, void* sender, void* record)
{
    for (auto it = listeners.begin(); it != listeners.end();) {
        const boost::shared_ptr<CEventListener> listener = *it++;
        if (listener) listener->OnEvent(sender, record);
    }
}
