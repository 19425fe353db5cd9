#include "shell/DriveMonitor.h"

#include "foundation/SimpleErr.h"
#include "ids/drives.h"
#include "shell/DeviceInfoSet.h"
#include "shell/DriveInfo.h"
#include "shell/RemovableDisks.h"

#include <algorithm>
#include <cstddef>
#include <list>

// The media GUIDs of ioevent.h are in no import library.
#include <initguid.h>

#include <ioevent.h>
#include <ntddstor.h>

CDriveMonitor::~CDriveMonitor()
{
    // Destroyed with its owner: nobody to report to. A record whose detaching fails is dropped
    // (its own destructor releases it) and the others are still detached.
    while (!m_records.empty()) {
        try {
            DetachAll();
        } catch (...) {
            if (!m_records.empty()) m_records.erase(m_records.begin());
        }
    }
}

void CDriveMonitor::OnAttached(CDriveMonitorInfo* record) { FireEvent(m_attachedListeners, this, record); }
void CDriveMonitor::OnDetached(CDriveMonitorInfo* record) { FireEvent(m_detachedListeners, this, record); }
void CDriveMonitor::OnArrived(CDriveMonitorInfo* record) { FireEvent(m_arrivedListeners, this, record); }
void CDriveMonitor::OnRemoved(CDriveMonitorInfo* record) { FireEvent(m_removedListeners, this, record); }
void CDriveMonitor::OnMediaArrived(CDriveMonitorInfo* record) { FireEvent(m_mediaArrivedListeners, this, record); }
void CDriveMonitor::OnMediaRemoved(CDriveMonitorInfo* record) { FireEvent(m_mediaRemovedListeners, this, record); }
void CDriveMonitor::OnRemovalNotice(CDriveMonitorInfo* letters) { FireEvent(m_removalNoticeListeners, this, letters); }

void CDriveMonitor::Reset()
{
    DetachAll();
    Rescan(0xFFFFFFFF, false);
}

namespace {

// The monitor works inside its owner's message handlers: a failure is dropped there. False then.
template <class Work> bool DropFailure(Work work)
{
    try {
        work();
        return true;
    } catch (...) {
        try {
            CSimpleErr err;
            SetFromCurrentException(err);
        } catch (...) {}
        return false;
    }
}

} // namespace

LRESULT CDriveMonitor::OnDeviceChange(UINT_PTR event, const DEV_BROADCAST_HDR* data)
{
    return DropFailure([&] { Dispatch(event, data); }) ? TRUE : FALSE;
}

// The broadcast comes from the system or from any other process: read no field that its
// declared size does not cover.
void CDriveMonitor::Dispatch(UINT_PTR event, const DEV_BROADCAST_HDR* data)
{
    if (!data || data->dbch_size < sizeof(DEV_BROADCAST_HDR)) return;
    const bool isVolume = data->dbch_devicetype == DBT_DEVTYP_VOLUME && data->dbch_size >= sizeof(DEV_BROADCAST_VOLUME);
    const bool isHandle = data->dbch_devicetype == DBT_DEVTYP_HANDLE &&
                          data->dbch_size >= offsetof(DEV_BROADCAST_HANDLE, dbch_eventguid);
    const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(data);
    const auto* handle = reinterpret_cast<const DEV_BROADCAST_HANDLE*>(data);
    switch (event) {
    case DBT_DEVICEARRIVAL:
        if (isVolume) Rescan(volume->dbcv_unitmask, true);
        break;
    case DBT_DEVICEQUERYREMOVE:
        if (isHandle) OnQueryRemove(handle->dbch_handle);
        break;
    case DBT_DEVICEQUERYREMOVEFAILED:
        if (isHandle) OnQueryRemoveFailed(handle->dbch_hdevnotify);
        break;
    case DBT_DEVICEREMOVECOMPLETE:
        if (isHandle)
            OnRemoveComplete(handle->dbch_hdevnotify);
        else if (isVolume) {
            OnVolumeRemoveComplete(volume->dbcv_unitmask);
            // Told whatever the monitor made of it: a card pulled and put back while the thread
            // was busy (Wine's shell copies on it) has its removal handled when the letter stands
            // again, and that notice removed no record.
            CDriveMonitorInfo letters;
            letters.m_driveMask = volume->dbcv_unitmask;
            OnRemovalNotice(&letters);
        }
        break;
    case DBT_CUSTOMEVENT:
        if (isHandle && data->dbch_size >= offsetof(DEV_BROADCAST_HANDLE, dbch_nameoffset)) {
            const RecordPtr record = FindByHandle(handle->dbch_handle);
            if (!record) break;
            if (IsEqualGUID(handle->dbch_eventguid, GUID_IO_MEDIA_ARRIVAL))
                OnMediaArrived(record.get());
            else if (IsEqualGUID(handle->dbch_eventguid, GUID_IO_MEDIA_REMOVAL))
                OnMediaRemoved(record.get());
        }
        break;
    default: break;
    }
}

void CDriveMonitor::PollMedia()
{
    const std::vector<RecordPtr> records = m_records;
    for (const auto& record : records) {
        if (!record->m_handle) continue;
        // Touching the disk makes the system notice a changed medium; the answer itself is not needed.
        DISK_GEOMETRY geometry = {};
        DWORD returned = 0;
        record->GetDriveGeometry(geometry, returned);
    }
}

void CDriveMonitor::Rescan(DWORD driveMask, bool fireArrivals)
{
    DriveInfoTable table;
    BuildDosDeviceMap(table);
    AssignVolumeDeviceIds(table);

    CDeviceInfoSet disks;
    disks.Create(GUID_DEVINTERFACE_DISK, m_hWnd);
    SP_DEVINFO_DATA device;
    DWORD index = 0;
    for (; disks.EnumDeviceInfo(index, device); ++index) {
        const std::wstring deviceId = GetDeviceId(device.DevInst);
        std::list<std::wstring> relations;
        GetDeviceIdList(deviceId, relations);
        const DWORD diskMask = FindMatchingDevices(table, relations);
        if (!(diskMask & driveMask)) continue;
        SP_DEVICE_INTERFACE_DATA iface;
        for (DWORD i = 0; disks.EnumDeviceInterface(device, GUID_DEVINTERFACE_DISK, i, iface); ++i) {
            if (!(iface.Flags & SPINT_ACTIVE)) continue;
            std::vector<BYTE> buffer;
            const auto* detail = disks.GetInterfaceDetail(iface, buffer);
            Attach(diskMask, detail->DevicePath, fireArrivals);
        }
    }
    disks.Destroy();
    // Wine's device installer lists no disk at all; there the removable volumes are grouped by
    // their storage device number instead.
    if (index == 0) RescanRemovableVolumes(driveMask, fireArrivals);
}

bool CDriveMonitor::AttachMissedArrivals(const LetterVolumes& takenUp)
{
    // A sender gives up on a window that does not answer in time, and the owner's thread may be
    // busy for long (Wine's shell runs a whole file operation on it, without a progress loop):
    // such an arrival is never delivered. A card swapped in a reader meanwhile keeps its letter
    // and its disk's device path; only the volume tells.
    return DropFailure([&] {
        LetterVolumes known;
        known.swap(m_volumes); // the rescan remembers the volumes of every disk there now
        try {
            Rescan(0xFFFFFFFF, false);
        } catch (...) {
            m_volumes = std::move(known);
            throw;
        }
        // The rescan read each disk's volumes anew: a failed query there does not forget a card.
        m_volumes = KeepKnownWhereUnread(std::move(m_volumes), known);
        const DWORD missed = NewVolumeLetters(m_volumes, known, takenUp);
        const std::vector<RecordPtr> records = m_records;
        for (const RecordPtr& record : records) {
            if (record->m_driveMask & missed) OnArrived(record.get());
        }
    });
}

void CDriveMonitor::RememberVolumes(DWORD driveMask)
{
    LetterVolumes read;
    for (int i = 0; i < 26; ++i) {
        if (driveMask & (1u << i)) read.push_back(m_volumeAt(static_cast<wchar_t>(L'A' + i)));
    }
    read = KeepKnownWhereUnread(std::move(read), m_volumes);
    ForgetVolumes(driveMask);
    m_volumes.insert(m_volumes.end(), read.begin(), read.end());
}

void CDriveMonitor::ForgetVolumes(DWORD driveMask)
{
    std::erase_if(m_volumes, [driveMask](const CLetterVolume& volume) {
        return volume.letter >= L'A' && volume.letter <= L'Z' && (driveMask & (1u << (volume.letter - L'A')));
    });
}

void CDriveMonitor::RescanRemovableVolumes(DWORD driveMask, bool fireArrivals)
{
    for (const auto& disk : GroupVolumesByDisk(QueryRemovableVolumeDiskNumbers())) {
        // No handle notification ever arrives for these disks: their volumes' remove-complete
        // broadcast removes them.
        if (disk.driveMask & driveMask) Attach(disk.driveMask, disk.devicePath, fireArrivals, true);
    }
}

void CDriveMonitor::Attach(DWORD diskMask, const std::wstring& devicePath, bool fireArrivals,
                           bool removedByVolumeBroadcast)
{
    for (const RecordPtr& known : m_records) {
        if (_wcsicmp(known->m_devicePath.c_str(), devicePath.c_str()) != 0) continue;
        // Any program can broadcast an arrival: a disk already monitored keeps its one record,
        // handle and notification, and the arrival is reported again on it.
        known->m_driveMask = diskMask;
        RememberVolumes(diskMask);
        if (fireArrivals) OnArrived(known.get());
        return;
    }
    RecordPtr record(new CDriveMonitorInfo);
    record->m_driveMask = diskMask;
    record->m_removedByVolumeBroadcast = removedByVolumeBroadcast;
    record->Open(devicePath);
    record->RegisterNotification(m_hWnd);
    m_records.push_back(record);
    RememberVolumes(diskMask);
    if (fireArrivals) OnArrived(record.get());
    OnAttached(record.get());
}

void CDriveMonitor::DetachAll()
{
    while (!m_records.empty()) {
        const RecordPtr record = m_records.front();
        OnDetached(record.get());
        record->Close();
        // Only a closed record leaves the list, so a failure keeps it for the next DetachAll.
        if (!m_records.empty() && m_records.front() == record) m_records.erase(m_records.begin());
    }
    m_volumes.clear();
}

void CDriveMonitor::OnQueryRemove(HANDLE handle)
{
    if (!handle) return;
    const std::vector<RecordPtr> records = m_records;
    for (const auto& record : records) {
        // The notification stays registered so that the failed or completed removal still arrives.
        if (record->m_handle == handle) record->CloseHandle();
    }
}

void CDriveMonitor::OnQueryRemoveFailed(HDEVNOTIFY notify)
{
    if (!notify) return;
    const std::vector<RecordPtr> records = m_records;
    for (const auto& record : records) {
        if (record->m_notify == notify && !record->m_handle) record->Reopen();
    }
}

template <class Pred> void CDriveMonitor::RemoveRecords(Pred pred)
{
    for (size_t i = 0; i < m_records.size();) {
        const RecordPtr record = m_records[i];
        if (!pred(*record)) {
            ++i;
            continue;
        }
        OnRemoved(record.get());
        OnDetached(record.get());
        // A listener may have changed the list: erase this record wherever it is now. It leaves
        // the list before it is closed, so a device that is gone never stays monitored.
        for (size_t j = 0; j < m_records.size(); ++j) {
            if (m_records[j] == record) {
                m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(j));
                if (j < i) --i;
                break;
            }
        }
        ForgetVolumes(record->m_driveMask);
        record->Close();
    }
}

void CDriveMonitor::OnRemoveComplete(HDEVNOTIFY notify)
{
    if (!notify) return;
    RemoveRecords([notify](const CDriveMonitorInfo& record) { return record.m_notify == notify; });
}

void CDriveMonitor::OnVolumeRemoveComplete(DWORD unitMask)
{
    // A stale broadcast for a letter that is still there removes nothing.
    DWORD goneMask = 0;
    wchar_t root[] = L"A:\\";
    for (int i = 0; i < 26; ++i) {
        if (!(unitMask & (1u << i))) continue;
        root[0] = static_cast<wchar_t>(L'A' + i);
        const UINT type = ::GetDriveTypeW(root);
        if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN) goneMask |= 1u << i;
    }
    if (!goneMask) return;
    RemoveRecords([goneMask](const CDriveMonitorInfo& record) {
        return record.m_removedByVolumeBroadcast && (record.m_driveMask & goneMask);
    });
}

CDriveMonitor::RecordPtr CDriveMonitor::FindByHandle(HANDLE handle) const
{
    if (!handle) return RecordPtr();
    for (const auto& record : m_records) {
        if (record->m_handle == handle) return record;
    }
    return RecordPtr();
}
