// CD drives through libcdio.
//
// Supports: discovery of every CD drive libcdio knows (symbolic links such
// as /dev/cdrom folded onto their device), audio and data tracks with
// their start frames and the lead-out, mount points of data discs, tray
// open and close. The drive's state is asked first without waiting (a drive
// that is empty, open or still spinning up reports no disc at once), the
// table of contents is kept for a second, and a tray command that takes
// long goes on in the background: the caller never waits more than a
// fraction of a second.
// Disc images: a BIN/CUE image listed at start-up is one more drive after
// the real ones, read through libcdio's image driver as a drive is through
// its device driver, after bincue_image.h has checked the sheet. It never
// waits: the table of contents comes from the sheet and the BIN's size.
// Does not support: CD-Text, multi-session layouts beyond the first
// session's table, drives that appear after start-up, image formats other
// than BIN/CUE.
#include "platform/host/cdio_drive_table.h"

#include <cdio/cdio.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <mutex>
#include <sstream>
#include <thread>

#include "platform/host/bincue_image.h"

namespace hp::host {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto tableOfContentsLifetime = std::chrono::seconds(1);
constexpr auto trayWait = std::chrono::milliseconds(300);

struct CdioDestroy {
    void operator()(CdIo_t *cdio) const { cdio_destroy(cdio); }
};
using CdioHandle = std::unique_ptr<CdIo_t, CdioDestroy>;

std::string canonical(const std::string &path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

struct Drive {
    std::string device;  // a device node, or the cue sheet of an image
    bool image = false;
};

std::vector<Drive> findDrives(const std::vector<std::string> &discImages)
{
    std::vector<std::string> devices;
    if (char **list = cdio_get_devices(DRIVER_DEVICE)) {
        for (char **entry = list; *entry; ++entry) {
            const std::string device = canonical(*entry);
            if (std::find(devices.begin(), devices.end(), device) == devices.end())
                devices.push_back(device);
        }
        cdio_free_device_list(list);
    }
    std::sort(devices.begin(), devices.end());
    std::vector<Drive> drives;
    for (const std::string &device : devices)
        drives.push_back(Drive{device, false});
    for (const std::string &cueSheet : discImages)
        drives.push_back(Drive{cueSheet, true});
    return drives;
}

// Whether the drive holds a disc it can read now. Opening with O_NONBLOCK
// and CDROM_DRIVE_STATUS never wait for the medium.
bool discReady(const std::string &device)
{
    const int descriptor = open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const int status = ioctl(descriptor, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    close(descriptor);
    // Drivers without the status call answer ENOSYS: read the table then.
    return status == CDS_DISC_OK || status < 0;
}

// False as well for a table no disc can have (an image's sheet can say
// anything): tracks out of order, or one that starts past the end.
bool readTableOfContents(const Drive &drive, kernel32::CdDisc &disc)
{
    CdioHandle cdio(cdio_open(drive.device.c_str(), drive.image ? DRIVER_BINCUE : DRIVER_DEVICE));
    if (!cdio)
        return false;
    const track_t first = cdio_get_first_track_num(cdio.get());
    const track_t count = cdio_get_num_tracks(cdio.get());
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0)
        return false;
    disc = kernel32::CdDisc{};
    // libcdio's LBA counts the two-second pre-gap: it is the absolute
    // address in frames, as MSF times count.
    for (track_t number = first; number < first + count; ++number) {
        const lba_t start = cdio_get_track_lba(cdio.get(), number);
        if (start == CDIO_INVALID_LBA)
            return false;
        kernel32::CdTrack track;
        track.number = number;
        track.audio = cdio_get_track_format(cdio.get(), number) == TRACK_FORMAT_AUDIO;
        track.startFrame = static_cast<DWORD>(start);
        disc.tracks.push_back(track);
    }
    const lba_t leadOut = cdio_get_track_lba(cdio.get(), CDIO_CDROM_LEADOUT_TRACK);
    if (leadOut == CDIO_INVALID_LBA)
        return false;
    disc.leadOutFrame = static_cast<DWORD>(leadOut);
    for (size_t i = 0; i < disc.tracks.size(); ++i) {
        const DWORD end = i + 1 < disc.tracks.size() ? disc.tracks[i + 1].startFrame
                                                     : disc.leadOutFrame;
        if (end <= disc.tracks[i].startFrame)
            return false;
        disc.tracks[i].lengthFrames = end - disc.tracks[i].startFrame;
    }
    return true;
}

class CdioDriveTable final : public kernel32::DriveTable {
public:
    explicit CdioDriveTable(const std::vector<std::string> &discImages)
        : drives_(findDrives(discImages)), cache_(drives_.size()), reported_(drives_.size())
    {
    }

    ~CdioDriveTable() override
    {
        for (Tray &tray : trays_)
            tray.mover.join();
    }

    int driveCount() override { return static_cast<int>(drives_.size()); }

    std::string deviceName(int drive) override
    {
        return valid(drive) ? drives_[static_cast<size_t>(drive)].device : std::string();
    }

    bool readDisc(int drive, kernel32::CdDisc &disc) override
    {
        if (!valid(drive))
            return false;
        Cached &cached = cache_[static_cast<size_t>(drive)];
        const auto now = Clock::now();
        if (cached.readAt != Clock::time_point{} && now - cached.readAt < tableOfContentsLifetime) {
            disc = cached.disc;
            return cached.present;
        }
        const Drive &entry = drives_[static_cast<size_t>(drive)];
        const bool ready = entry.image ? imageReadable(drive) : discReady(entry.device);
        cached.present = ready && readTableOfContents(entry, cached.disc);
        cached.readAt = now;
        disc = cached.disc;
        return cached.present;
    }

    std::string mountPoint(int drive) override
    {
        if (!valid(drive) || drives_[static_cast<size_t>(drive)].image)
            return {};
        std::ifstream mounts("/proc/self/mounts");
        std::string line;
        while (std::getline(mounts, line)) {
            std::istringstream fields(line);
            std::string source, target;
            fields >> source >> target;
            if (canonical(source) == drives_[static_cast<size_t>(drive)].device)
                return unescapeMountField(target);
        }
        return {};
    }

    bool setTray(int drive, bool open) override
    {
        if (!valid(drive))
            return false;
        // An image's disc stays in: the command is accepted as done.
        if (drives_[static_cast<size_t>(drive)].image)
            return true;
        cache_[static_cast<size_t>(drive)] = Cached{};
        const std::string device = drives_[static_cast<size_t>(drive)].device;
        forgetFinishedTrays();
        std::packaged_task<bool()> move([device, open] {
            const driver_return_code_t code = open ? cdio_eject_media_drive(device.c_str())
                                                   : cdio_close_tray(device.c_str(), nullptr);
            return code == DRIVER_OP_SUCCESS;
        });
        Tray tray{move.get_future().share(), {}};
        tray.mover = std::thread(std::move(move));
        const std::shared_future<bool> result = tray.result;
        trays_.push_back(std::move(tray));
        // A tray that takes longer goes on moving; the command counts as
        // accepted.
        if (result.wait_for(trayWait) != std::future_status::ready)
            return true;
        return result.get();
    }

private:
    struct Cached {
        Clock::time_point readAt{};
        bool present = false;
        kernel32::CdDisc disc;
    };

    struct Tray {
        std::shared_future<bool> result;
        std::thread mover;
    };

    void forgetFinishedTrays()
    {
        for (auto tray = trays_.begin(); tray != trays_.end();) {
            if (tray->result.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
                tray->mover.join();
                tray = trays_.erase(tray);
            } else {
                ++tray;
            }
        }
    }

    bool valid(int drive) const { return drive >= 0 && drive < static_cast<int>(drives_.size()); }

    // Says once on the standard error stream why an image's drive is
    // empty, and again only when the reason changes.
    bool imageReadable(int drive)
    {
        const std::string &cueSheet = drives_[static_cast<size_t>(drive)].device;
        const std::string problem = binCueProblem(cueSheet);
        std::string &reported = reported_[static_cast<size_t>(drive)];
        if (!problem.empty() && problem != reported)
            std::fprintf(stderr, "Hollyphone: disc image %s: %s; its drive is empty\n",
                         cueSheet.c_str(), problem.c_str());
        reported = problem;
        return problem.empty();
    }

    // /proc/self/mounts writes space, tab, newline and backslash as \ooo.
    static std::string unescapeMountField(const std::string &field)
    {
        std::string text;
        for (size_t i = 0; i < field.size(); ++i) {
            if (field[i] == '\\' && i + 3 < field.size()) {
                text += static_cast<char>(std::strtol(field.substr(i + 1, 3).c_str(), nullptr, 8));
                i += 3;
            } else {
                text += field[i];
            }
        }
        return text;
    }

    const std::vector<Drive> drives_;
    std::vector<Cached> cache_;
    std::vector<std::string> reported_;  // the last problem told of each image
    std::vector<Tray> trays_;
};

}  // namespace

std::unique_ptr<kernel32::DriveTable> makeCdioDriveTable(const std::vector<std::string> &discImages)
{
    return std::make_unique<CdioDriveTable>(discImages);
}

}  // namespace hp::host
