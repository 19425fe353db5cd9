#pragma once
// Watches the disks that carry drive letters and tells listeners when one is attached, detached,
// arrives, is removed, or when its medium arrives or leaves. The owner window forwards every
// WM_DEVICECHANGE to OnDeviceChange and calls PollMedia periodically.
#include "foundation/EventListener.h"
#include "shell/DriveMonitorInfo.h"
#include "shell/LetterVolumes.h"

#include <windows.h>

#include <dbt.h>

#include <boost/shared_ptr.hpp>

#include <functional>
#include <vector>

class CDriveMonitor {
public:
    using RecordPtr = boost::shared_ptr<CDriveMonitorInfo>;

    CDriveMonitor() = default;
    virtual ~CDriveMonitor();
    CDriveMonitor(const CDriveMonitor&) = delete;
    CDriveMonitor& operator=(const CDriveMonitor&) = delete;

    virtual void OnAttached(CDriveMonitorInfo* record);
    virtual void OnDetached(CDriveMonitorInfo* record);
    virtual void OnArrived(CDriveMonitorInfo* record);
    virtual void OnRemoved(CDriveMonitorInfo* record);
    virtual void OnMediaArrived(CDriveMonitorInfo* record);
    virtual void OnMediaRemoved(CDriveMonitorInfo* record);
    // Every volume remove-complete notice, with the letters it names (a record of its own that
    // no disk backs), after the monitor has removed what went: one for a letter that stands
    // again removes no record, yet the card there was out.
    virtual void OnRemovalNotice(CDriveMonitorInfo* letters);

    void Reset();
    // The WM_DEVICECHANGE handler: TRUE when handled normally, FALSE after a dropped failure.
    LRESULT OnDeviceChange(UINT_PTR event, const DEV_BROADCAST_HDR* data);
    void PollMedia();

    void Rescan(DWORD driveMask, bool fireArrivals);
    // Attaches the disks that came unannounced and reports an arrival on each disk that holds a
    // volume not known at its letter, unless a run took up that very volume there (`takenUp`).
    // False after a dropped failure.
    bool AttachMissedArrivals(const LetterVolumes& takenUp);
    void Attach(DWORD diskMask, const std::wstring& devicePath, bool fireArrivals,
                bool removedByVolumeBroadcast = false);
    void DetachAll();

    void OnQueryRemove(HANDLE handle);
    void OnQueryRemoveFailed(HDEVNOTIFY notify);
    void OnRemoveComplete(HDEVNOTIFY notify);
    void OnVolumeRemoveComplete(DWORD unitMask);

    RecordPtr FindByHandle(HANDLE handle) const;
    const std::vector<RecordPtr>& GetRecords() const { return m_records; }

    HWND m_hWnd = nullptr; // receives the handle notifications; set by the owner before Reset
    // Reads the volume at a letter now; tests put a query that fails in its place.
    std::function<CLetterVolume(wchar_t letter)> m_volumeAt = VolumeAtLetter;

private:
    void Dispatch(UINT_PTR event, const DEV_BROADCAST_HDR* data);
    void RescanRemovableVolumes(DWORD driveMask, bool fireArrivals);
    template <class Pred> void RemoveRecords(Pred pred);
    void RememberVolumes(DWORD driveMask);
    void ForgetVolumes(DWORD driveMask);

    std::vector<RecordPtr> m_records;
    // The volume last known at each letter of the monitored disks: set when a disk is attached or
    // its arrival told, and by each catch-up.
    LetterVolumes m_volumes;

public:
    // One list per event; the owner appends its listeners directly.
    EventListenerList m_attachedListeners;
    EventListenerList m_detachedListeners;
    EventListenerList m_arrivedListeners;
    EventListenerList m_removedListeners;
    EventListenerList m_mediaArrivedListeners;
    EventListenerList m_mediaRemovedListeners;
    EventListenerList m_removalNoticeListeners;
};
