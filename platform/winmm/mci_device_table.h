// The open MCI devices of the process and the drivers that make them.
//
// Identifiers are handed out as the platform does: the lowest number from 1
// that no open device holds, so a closed device's number is given again.
// Every open device is known by an alias as well (the caller's
// MCI_OPEN_ALIAS, else its element, else its type as given), which a later
// open may not reuse.
//
// The table lives until the process ends: open devices are not torn down
// by static destruction, where the host libraries behind them may already
// be gone; the process takes their resources with it, as the platform's
// drivers do.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/winmm/mci_driver.h"

namespace hp::winmm {

class MciDeviceTable {
public:
    struct Entry {
        MCIDEVICEID id = 0;
        std::string deviceType;  // canonical, lower case
        UINT devType = 0;        // MCI_DEVTYPE_*
        std::string alias;       // CP932
        std::unique_ptr<MciDevice> device;
    };

    // The table, with the wiring's drivers installed on first use.
    static MciDeviceTable &instance();

    // Serialises the callers of the MCI functions. Recursive, so that a
    // driver may call back into them.
    static std::recursive_mutex &lock();

    // Closes every open device (MCI_CLOSE, then destruction) and puts the
    // drivers in force.
    void installDrivers(std::vector<std::unique_ptr<MciDriver>> drivers);

    // The driver of a type (any case), or nullptr.
    MciDriver *driverFor(std::string_view deviceType) const;
    const std::vector<std::unique_ptr<MciDriver>> &drivers() const { return drivers_; }

    MCIDEVICEID lowestFreeId() const;
    bool aliasInUse(std::string_view alias) const;

    void add(Entry entry);
    Entry *find(MCIDEVICEID id);
    // Takes the device out of the table; the caller destroys it.
    std::unique_ptr<MciDevice> remove(MCIDEVICEID id);

    // Open devices, oldest first.
    const std::vector<Entry> &entries() const { return entries_; }

private:
    MciDeviceTable() = default;
    static MciDeviceTable &storage();

    bool driversInstalled_ = false;
    std::vector<std::unique_ptr<MciDriver>> drivers_;
    std::vector<Entry> entries_;

    friend void installMciDrivers(std::vector<std::unique_ptr<MciDriver>> drivers);
};

}  // namespace hp::winmm
