#include "platform/winmm/mci_device_table.h"

#include <algorithm>

#include "platform/wiring.h"
#include "platform/kernel32/cp932_text.h"

namespace hp::winmm {

MciDeviceTable &MciDeviceTable::storage()
{
    static MciDeviceTable *table = new MciDeviceTable;
    return *table;
}

MciDeviceTable &MciDeviceTable::instance()
{
    MciDeviceTable &table = storage();
    if (!table.driversInstalled_)
        table.installDrivers(wiring::makeMciDrivers());
    return table;
}

std::recursive_mutex &MciDeviceTable::lock()
{
    static std::recursive_mutex *mutex = new std::recursive_mutex;
    return *mutex;
}

void MciDeviceTable::installDrivers(std::vector<std::unique_ptr<MciDriver>> drivers)
{
    while (!entries_.empty()) {
        const MCIDEVICEID id = entries_.back().id;
        entries_.back().device->dispatch(MCI_CLOSE, 0, 0);
        std::unique_ptr<MciDevice> closed = remove(id);
    }
    drivers_ = std::move(drivers);
    driversInstalled_ = true;
}

MciDriver *MciDeviceTable::driverFor(std::string_view deviceType) const
{
    for (const std::unique_ptr<MciDriver> &driver : drivers_) {
        if (driver && kernel32::equalIgnoringAsciiCase(driver->deviceType(), deviceType))
            return driver.get();
    }
    return nullptr;
}

MCIDEVICEID MciDeviceTable::lowestFreeId() const
{
    MCIDEVICEID id = 1;
    while (std::any_of(entries_.begin(), entries_.end(),
                       [id](const Entry &entry) { return entry.id == id; }))
        ++id;
    return id;
}

bool MciDeviceTable::aliasInUse(std::string_view alias) const
{
    return std::any_of(entries_.begin(), entries_.end(), [alias](const Entry &entry) {
        return kernel32::equalIgnoringAsciiCase(entry.alias, alias);
    });
}

void MciDeviceTable::add(Entry entry) { entries_.push_back(std::move(entry)); }

MciDeviceTable::Entry *MciDeviceTable::find(MCIDEVICEID id)
{
    for (Entry &entry : entries_) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

std::unique_ptr<MciDevice> MciDeviceTable::remove(MCIDEVICEID id)
{
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [id](const Entry &entry) { return entry.id == id; });
    if (found == entries_.end())
        return nullptr;
    std::unique_ptr<MciDevice> device = std::move(found->device);
    entries_.erase(found);
    return device;
}

}  // namespace hp::winmm
