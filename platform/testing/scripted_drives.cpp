#include "platform/testing/scripted_drives.h"

#include <algorithm>
#include <mutex>

#include "platform/testing/twins.h"

namespace hp::testing {
namespace {

constexpr DWORD preGapFrames = 2 * kernel32::cdFramesPerSecond;
constexpr DWORD dataDiscFrames = 60 * 60 * kernel32::cdFramesPerSecond;

// CD drives whose discs and trays tests script. An open tray hides the
// disc, as a real drive does, until the tray closes again.
class ScriptedDriveTable final : public kernel32::DriveTable, public ScriptedDrives {
public:
    // DriveTable
    int driveCount() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return static_cast<int>(drives_.size());
    }

    std::string deviceName(int drive) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return valid(drive) ? drives_[drive].device : std::string();
    }

    bool readDisc(int drive, kernel32::CdDisc &disc) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!valid(drive) || !discVisible(drives_[drive]))
            return false;
        disc = drives_[drive].disc;
        return true;
    }

    std::string mountPoint(int drive) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!valid(drive) || !discVisible(drives_[drive]))
            return {};
        return drives_[drive].mountPoint;
    }

    bool setTray(int drive, bool open) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        trayCalls_.push_back(TrayCall{drive, open});
        if (!valid(drive))
            return false;
        drives_[drive].trayOpen = open;
        return true;
    }

    // ScriptedDrives
    void reset() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        drives_.clear();
        trayCalls_.clear();
    }

    int addDrive(const std::string &deviceName) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Drive drive;
        drive.device = deviceName;
        drives_.push_back(drive);
        return static_cast<int>(drives_.size()) - 1;
    }

    void insertAudioDisc(int drive, const std::vector<int> &trackLengthsSeconds,
                         const std::vector<int> &dataTracks) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!valid(drive))
            return;
        kernel32::CdDisc disc;
        DWORD frame = preGapFrames;
        for (size_t i = 0; i < trackLengthsSeconds.size(); ++i) {
            kernel32::CdTrack track;
            track.number = static_cast<int>(i) + 1;
            track.audio = std::find(dataTracks.begin(), dataTracks.end(), track.number) ==
                          dataTracks.end();
            track.startFrame = frame;
            track.lengthFrames =
                static_cast<DWORD>(std::max(trackLengthsSeconds[i], 0)) * kernel32::cdFramesPerSecond;
            frame += track.lengthFrames;
            disc.tracks.push_back(track);
        }
        disc.leadOutFrame = frame;
        insert(drives_[drive], disc, "");
    }

    void insertDataDisc(int drive, const std::string &mountPoint) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!valid(drive))
            return;
        kernel32::CdDisc disc;
        kernel32::CdTrack track;
        track.number = 1;
        track.audio = false;
        track.startFrame = preGapFrames;
        track.lengthFrames = dataDiscFrames;
        disc.tracks.push_back(track);
        disc.leadOutFrame = preGapFrames + dataDiscFrames;
        insert(drives_[drive], disc, mountPoint);
    }

    void eject(int drive) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (valid(drive))
            drives_[drive].hasDisc = false;
    }

    const std::vector<TrayCall> &trayCalls() const override { return trayCalls_; }

private:
    struct Drive {
        std::string device;
        bool hasDisc = false;
        bool trayOpen = false;
        kernel32::CdDisc disc;
        std::string mountPoint;
    };

    bool valid(int drive) const { return drive >= 0 && drive < static_cast<int>(drives_.size()); }
    static bool discVisible(const Drive &drive) { return drive.hasDisc && !drive.trayOpen; }

    static void insert(Drive &drive, const kernel32::CdDisc &disc, const std::string &mountPoint)
    {
        drive.hasDisc = true;
        drive.trayOpen = false;
        drive.disc = disc;
        drive.mountPoint = mountPoint;
    }

    std::mutex mutex_;
    std::vector<Drive> drives_;
    std::vector<TrayCall> trayCalls_;
};

}  // namespace

std::unique_ptr<kernel32::DriveTable> makeScriptedDriveTable()
{
    return std::make_unique<ScriptedDriveTable>();
}

ScriptedDrives &scriptedDrives()
{
    auto *twin = dynamic_cast<ScriptedDriveTable *>(&kernel32::driveTable());
    if (!twin) {
        auto fresh = std::make_unique<ScriptedDriveTable>();
        twin = fresh.get();
        kernel32::installDriveTable(std::move(fresh));
    }
    return *twin;
}

}  // namespace hp::testing
