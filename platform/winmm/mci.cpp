// mciSendCommandA: the MCI dispatcher. It opens devices through the driver
// of their type, keeps their identifiers and aliases, answers MCI_SYSINFO
// itself and hands every other command to the device it names.
#include <cstring>
#include <mutex>
#include <string>

#include "platform/win32.h"
#include "platform/kernel32/cp932_text.h"
#include "platform/winmm/mci_device_table.h"
#include "platform/winmm/mci_driver.h"
#include "platform/winmm/mci_type_names.h"

namespace hp::winmm {
namespace {

// Drivers may say in the high word what kind of value they returned (a
// resource number: only its low word is the value); the caller only ever
// sees the low word of the result.
constexpr DWORD resourceReturned = 0x00010000;

bool isAllDevices(MCIDEVICEID device) { return LOWORD(device) == LOWORD(MCI_ALL_DEVICE_ID); }

// What an MCI_OPEN asks for, once its record has been read.
struct OpenArguments {
    std::string typeAsGiven;  // "" when the type comes from the element
    std::string deviceType;   // canonical
    bool hasElement = false;
    std::string element;
    std::string alias;
    DWORD flags = 0;
};

MCIERROR readOpenArguments(DWORD flags, const MCI_OPEN_PARMSA &record, OpenArguments &arguments)
{
    arguments.flags = flags;
    if (flags & MCI_OPEN_TYPE) {
        if (flags & MCI_OPEN_TYPE_ID) {
            const char *name = mciTypeNameOfDevType(LOWORD(reinterpret_cast<DWORD_PTR>(
                record.lpstrDeviceType)));
            if (!name)
                return MCIERR_BAD_INTEGER;
            arguments.typeAsGiven = name;
        } else {
            if (!record.lpstrDeviceType)
                return MCIERR_NULL_PARAMETER_BLOCK;
            arguments.typeAsGiven = record.lpstrDeviceType;
            // "type!element" names both, as the command strings allow.
            const size_t bang = arguments.typeAsGiven.find('!');
            if (bang != std::string::npos) {
                if (flags & MCI_OPEN_ELEMENT)
                    return MCIERR_UNRECOGNIZED_KEYWORD;
                arguments.hasElement = true;
                arguments.element = arguments.typeAsGiven.substr(bang + 1);
                arguments.typeAsGiven.erase(bang);
                arguments.flags |= MCI_OPEN_ELEMENT;
            }
        }
    }
    if (flags & MCI_OPEN_ELEMENT) {
        if (flags & MCI_OPEN_ELEMENT_ID)
            return MCIERR_UNRECOGNIZED_KEYWORD;
        if (!record.lpstrElementName)
            return MCIERR_NULL_PARAMETER_BLOCK;
        arguments.hasElement = true;
        arguments.element = record.lpstrElementName;
    }
    // An explicit type supersedes the element's extension.
    if (!arguments.typeAsGiven.empty()) {
        arguments.deviceType = kernel32::lowerAsciiCp932(arguments.typeAsGiven);
    } else if (arguments.hasElement) {
        arguments.deviceType = deviceTypeForElement(arguments.element);
        if (arguments.deviceType.empty())
            return MCIERR_EXTENSION_NOT_FOUND;
    } else {
        return MCIERR_INVALID_DEVICE_NAME;
    }
    if (flags & MCI_OPEN_ALIAS) {
        if (!record.lpstrAlias)
            return MCIERR_NULL_PARAMETER_BLOCK;
        arguments.alias = record.lpstrAlias;
    }
    return 0;
}

MCIERROR openDevice(MciDeviceTable &table, DWORD flags, DWORD_PTR params)
{
    if (!params)
        return MCIERR_NULL_PARAMETER_BLOCK;
    auto &record = *reinterpret_cast<MCI_OPEN_PARMSA *>(params);

    OpenArguments arguments;
    if (const MCIERROR error = readOpenArguments(flags, record, arguments))
        return error;

    MciDriver *driver = table.driverFor(arguments.deviceType);
    if (!driver) {
        return arguments.deviceType == "all" ? MCIERR_CANNOT_USE_ALL
                                             : MCIERR_DEVICE_NOT_INSTALLED;
    }

    // Every device is known by an alias; without MCI_OPEN_ALIAS it is the
    // element, or the type as given, and opening that again is refused.
    // MCI_OPEN_SHAREABLE does not lift this within one process: it lets
    // other processes share the device, which is the driver's concern (it
    // sees the flag in the request).
    if (arguments.flags & MCI_OPEN_ALIAS) {
        if (table.aliasInUse(arguments.alias))
            return MCIERR_DUPLICATE_ALIAS;
    } else {
        arguments.alias = arguments.hasElement ? arguments.element : arguments.typeAsGiven;
        if (table.aliasInUse(arguments.alias))
            return MCIERR_DEVICE_OPEN;
    }

    MciOpenRequest request;
    request.deviceId = table.lowestFreeId();
    request.deviceType = arguments.deviceType;
    request.hasElement = arguments.hasElement;
    request.element = arguments.element;
    request.flags = arguments.flags;
    request.callback = record.dwCallback;
    request.params = params;

    std::unique_ptr<MciDevice> device;
    if (const MCIERROR error = driver->open(request, device))
        return LOWORD(error);
    if (!device)
        return MCIERR_DRIVER_INTERNAL;

    MciDeviceTable::Entry entry;
    entry.id = request.deviceId;
    entry.deviceType = arguments.deviceType;
    entry.devType = mciDevTypeOfName(arguments.deviceType);
    entry.alias = arguments.alias;
    entry.device = std::move(device);
    table.add(std::move(entry));
    record.wDeviceID = request.deviceId;
    return 0;
}

MCIERROR closeDevice(MciDeviceTable &table, MCIDEVICEID id, DWORD flags, DWORD_PTR params)
{
    MciDeviceTable::Entry *entry = table.find(id);
    if (!entry)
        return MCIERR_INVALID_DEVICE_ID;
    const MCIERROR result = entry->device->dispatch(MCI_CLOSE, flags, params);
    // The device goes whatever it answered; it is out of the table before
    // its destructor runs.
    std::unique_ptr<MciDevice> closed = table.remove(id);
    closed.reset();
    return LOWORD(result);
}

MCIERROR closeAllDevices(MciDeviceTable &table, DWORD flags, DWORD_PTR params)
{
    while (!table.entries().empty())
        closeDevice(table, table.entries().back().id, flags, params);
    return 0;
}

MCIERROR writeSysinfoText(const MCI_SYSINFO_PARMSA &record, const std::string &text)
{
    if (record.dwRetSize <= text.size())
        return MCIERR_PARAM_OVERFLOW;
    std::memcpy(record.lpstrReturn, text.c_str(), text.size() + 1);
    return 0;
}

MCIERROR sysinfoQuantity(MciDeviceTable &table, bool allDevices, DWORD flags,
                         const MCI_SYSINFO_PARMSA &record)
{
    if (record.dwRetSize < sizeof(DWORD))
        return MCIERR_PARAM_OVERFLOW;
    DWORD count = 0;
    if (flags & MCI_SYSINFO_OPEN) {
        for (const MciDeviceTable::Entry &entry : table.entries()) {
            if (allDevices || entry.devType == record.wDeviceType)
                ++count;
        }
    } else {
        for (const std::unique_ptr<MciDriver> &driver : table.drivers()) {
            if (driver && (allDevices || mciDevTypeOfName(driver->deviceType()) ==
                                             record.wDeviceType))
                ++count;
        }
    }
    std::memcpy(record.lpstrReturn, &count, sizeof(count));
    return 0;
}

MCIERROR sysinfoName(MciDeviceTable &table, bool allDevices, DWORD flags,
                     const MCI_SYSINFO_PARMSA &record)
{
    DWORD seen = 0;
    if (flags & MCI_SYSINFO_OPEN) {
        for (const MciDeviceTable::Entry &entry : table.entries()) {
            if ((allDevices || entry.devType == record.wDeviceType) && ++seen == record.dwNumber)
                return writeSysinfoText(record, entry.alias);
        }
        return MCIERR_OUTOFRANGE;
    }
    if (allDevices) {
        for (const std::unique_ptr<MciDriver> &driver : table.drivers()) {
            if (driver && ++seen == record.dwNumber)
                return writeSysinfoText(record, driver->deviceType());
        }
        return MCIERR_OUTOFRANGE;
    }
    const char *name = mciTypeNameOfDevType(record.wDeviceType);
    if (record.dwNumber != 1 || !name)
        return MCIERR_OUTOFRANGE;
    return writeSysinfoText(record, name);
}

MCIERROR systemInformation(MciDeviceTable &table, MCIDEVICEID device, DWORD flags,
                           DWORD_PTR params)
{
    if (!params)
        return MCIERR_NULL_PARAMETER_BLOCK;
    const auto &record = *reinterpret_cast<const MCI_SYSINFO_PARMSA *>(params);
    if (!record.lpstrReturn)
        return MCIERR_PARAM_OVERFLOW;

    const bool allDevices = isAllDevices(device);
    MCIERROR result = 0;
    switch (flags & ~(MCI_SYSINFO_OPEN | MCI_NOTIFY | MCI_WAIT)) {
    case MCI_SYSINFO_QUANTITY:
        result = sysinfoQuantity(table, allDevices, flags, record);
        break;
    case MCI_SYSINFO_NAME:
        result = sysinfoName(table, allDevices, flags, record);
        break;
    case MCI_SYSINFO_INSTALLNAME:
        if (const MciDeviceTable::Entry *entry = table.find(device))
            result = writeSysinfoText(record, entry->deviceType);
        else
            result = allDevices ? MCIERR_CANNOT_USE_ALL : MCIERR_INVALID_DEVICE_NAME;
        break;
    default:
        result = MCIERR_UNRECOGNIZED_KEYWORD;
        break;
    }
    if (result == 0 && (flags & MCI_NOTIFY))
        postMciNotify(record.dwCallback, MCI_NOTIFY_SUCCESSFUL, device);
    return result;
}

// What a device answers, as the caller sees it.
MCIERROR deviceResult(DWORD result, UINT message, DWORD_PTR params)
{
    if (LOWORD(result) != 0 || !params)
        return LOWORD(result);
    if (message == MCI_STATUS && (result & resourceReturned)) {
        auto &record = *reinterpret_cast<MCI_STATUS_PARMS *>(params);
        record.dwReturn = LOWORD(record.dwReturn);
    }
    return 0;
}

MCIERROR sendToDevice(MciDeviceTable &table, MCIDEVICEID device, UINT message, DWORD flags,
                      DWORD_PTR params)
{
    if (isAllDevices(device))
        return MCIERR_CANNOT_USE_ALL;
    MciDeviceTable::Entry *entry = table.find(device);
    if (!entry)
        return MCIERR_INVALID_DEVICE_ID;
    return deviceResult(entry->device->dispatch(message, flags, params), message, params);
}

}  // namespace

void installMciDrivers(std::vector<std::unique_ptr<MciDriver>> drivers)
{
    std::lock_guard<std::recursive_mutex> guard(MciDeviceTable::lock());
    MciDeviceTable::storage().installDrivers(std::move(drivers));
}

UINT openMciDeviceCount()
{
    std::lock_guard<std::recursive_mutex> guard(MciDeviceTable::lock());
    return static_cast<UINT>(MciDeviceTable::instance().entries().size());
}

}  // namespace hp::winmm

using hp::winmm::MciDeviceTable;

MCIERROR WINAPI mciSendCommandA(MCIDEVICEID device, UINT message, DWORD_PTR flags,
                                DWORD_PTR parameters)
{
    std::lock_guard<std::recursive_mutex> guard(MciDeviceTable::lock());
    MciDeviceTable &table = MciDeviceTable::instance();
    const DWORD flagWord = static_cast<DWORD>(flags);
    switch (message) {
    case MCI_OPEN:
        return hp::winmm::openDevice(table, flagWord, parameters);
    case MCI_CLOSE:
        if (hp::winmm::isAllDevices(device))
            return hp::winmm::closeAllDevices(table, flagWord, parameters);
        return hp::winmm::closeDevice(table, device, flagWord, parameters);
    case MCI_SYSINFO:
        return hp::winmm::systemInformation(table, device, flagWord, parameters);
    default:
        return hp::winmm::sendToDevice(table, device, message, flagWord, parameters);
    }
}
