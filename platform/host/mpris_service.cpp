#include "platform/host/mpris_service.h"

// The Win32 declarations come first: glib then keeps their TRUE and FALSE.
#include "platform/win32.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "platform/winmm/now_playing.h"
#include "platform/winmm/output_mixer.h"

namespace hp::host {
namespace {

constexpr const char *busName = "org.mpris.MediaPlayer2.hollyphone";
constexpr const char *objectPath = "/org/mpris/MediaPlayer2";
constexpr const char *rootInterface = "org.mpris.MediaPlayer2";
constexpr const char *playerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char *noTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
constexpr const char *trackPathPrefix = "/org/mpris/MediaPlayer2/hollyphone/track/";

// Rate, Volume and the seek methods are there as the interface wants them;
// the player has one rate, no seek from the bus (CanSeek is false) and no
// volume of its own beyond the output mixer's master line, which it shows.
constexpr const char *introspectionXml = R"(<node>
  <interface name="org.mpris.MediaPlayer2">
    <method name="Raise"/>
    <method name="Quit"/>
    <property name="CanQuit" type="b" access="read"/>
    <property name="CanRaise" type="b" access="read"/>
    <property name="HasTrackList" type="b" access="read"/>
    <property name="Identity" type="s" access="read"/>
    <property name="DesktopEntry" type="s" access="read"/>
    <property name="SupportedUriSchemes" type="as" access="read"/>
    <property name="SupportedMimeTypes" type="as" access="read"/>
  </interface>
  <interface name="org.mpris.MediaPlayer2.Player">
    <method name="Next"/>
    <method name="Previous"/>
    <method name="Pause"/>
    <method name="PlayPause"/>
    <method name="Stop"/>
    <method name="Play"/>
    <method name="Seek"><arg direction="in" name="Offset" type="x"/></method>
    <method name="SetPosition">
      <arg direction="in" name="TrackId" type="o"/>
      <arg direction="in" name="Position" type="x"/>
    </method>
    <method name="OpenUri"><arg direction="in" name="Uri" type="s"/></method>
    <signal name="Seeked"><arg name="Position" type="x"/></signal>
    <property name="PlaybackStatus" type="s" access="read"/>
    <property name="Rate" type="d" access="read"/>
    <property name="Metadata" type="a{sv}" access="read"/>
    <property name="Volume" type="d" access="read"/>
    <property name="Position" type="x" access="read"/>
    <property name="MinimumRate" type="d" access="read"/>
    <property name="MaximumRate" type="d" access="read"/>
    <property name="CanGoNext" type="b" access="read"/>
    <property name="CanGoPrevious" type="b" access="read"/>
    <property name="CanPlay" type="b" access="read"/>
    <property name="CanPause" type="b" access="read"/>
    <property name="CanSeek" type="b" access="read"/>
    <property name="CanControl" type="b" access="read"/>
  </interface>
</node>)";

struct NodeInfoReleaser {
    void operator()(GDBusNodeInfo *info) const { g_dbus_node_info_unref(info); }
};
struct ObjectReleaser {
    void operator()(gpointer object) const { g_object_unref(object); }
};

bool sessionBusReachable()
{
    const char *address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address)
        return true;
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || runtime[0] != '/')
        return false;
    struct stat status {};
    return stat((std::string(runtime) + "/bus").c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

const char *playbackStatus(const winmm::NowPlaying::State &state)
{
    return state.playing ? "Playing" : "Stopped";
}

void addEntry(GVariantBuilder &builder, const char *key, GVariant *value)
{
    g_variant_builder_add(&builder, "{sv}", key, value);
}

GVariant *metadata(const winmm::NowPlaying::State &state)
{
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE("a{sv}"));
    if (state.trackNumber == 0) {
        addEntry(builder, "mpris:trackid", g_variant_new_object_path(noTrack));
        return g_variant_builder_end(&builder);
    }
    const std::string trackId = trackPathPrefix + std::to_string(state.trackNumber);
    addEntry(builder, "mpris:trackid", g_variant_new_object_path(trackId.c_str()));
    addEntry(builder, "mpris:length", g_variant_new_int64(static_cast<gint64>(state.lengthMs) * 1000));
    gchar *uri = state.hostPath.empty()
                     ? nullptr
                     : g_filename_to_uri(state.hostPath.c_str(), nullptr, nullptr);
    if (uri) {
        addEntry(builder, "xesam:url", g_variant_new_string(uri));
        g_free(uri);
    }
    gchar *text = g_utf8_make_valid(state.title.c_str(), static_cast<gssize>(state.title.size()));
    addEntry(builder, "xesam:title", g_variant_new_string(text));
    g_free(text);
    return g_variant_builder_end(&builder);
}

double masterVolume()
{
    const auto levels = winmm::OutputLines::instance().levels(winmm::OutputLines::Line::Master);
    if (levels.mute[0] && levels.mute[1])
        return 0.0;
    return (levels.volume[0] + levels.volume[1]) / (2.0 * winmm::OutputLines::maximumVolume);
}

GVariant *rootProperty(const gchar *name)
{
    const std::string property = name;
    if (property == "CanQuit" || property == "CanRaise")
        return g_variant_new_boolean(TRUE);
    if (property == "HasTrackList")
        return g_variant_new_boolean(FALSE);
    if (property == "Identity")
        return g_variant_new_string("Hollyphone");
    if (property == "DesktopEntry")
        return g_variant_new_string("hollyphone");
    if (property == "SupportedUriSchemes" || property == "SupportedMimeTypes")
        return g_variant_new_strv(nullptr, 0);
    return nullptr;
}

GVariant *playerProperty(const gchar *name)
{
    const std::string property = name;
    const winmm::NowPlaying::State state = winmm::NowPlaying::instance().state();
    if (property == "PlaybackStatus")
        return g_variant_new_string(playbackStatus(state));
    if (property == "Metadata")
        return metadata(state);
    if (property == "Position")
        return g_variant_new_int64(static_cast<gint64>(state.positionMs) * 1000);
    if (property == "Volume")
        return g_variant_new_double(masterVolume());
    if (property == "Rate" || property == "MinimumRate" || property == "MaximumRate")
        return g_variant_new_double(1.0);
    if (property == "CanSeek")
        return g_variant_new_boolean(FALSE);
    if (property == "CanGoNext" || property == "CanGoPrevious" || property == "CanPlay" ||
        property == "CanPause" || property == "CanControl")
        return g_variant_new_boolean(TRUE);
    return nullptr;
}

class GdbusMpris final : public MprisService {
public:
    explicit GdbusMpris(MediaControls controls) : controls_(std::move(controls))
    {
        node_.reset(g_dbus_node_info_new_for_xml(introspectionXml, nullptr));
        if (!node_)
            return;
        ownerId_ = g_bus_own_name(G_BUS_TYPE_SESSION, busName, G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE,
                                  onBusAcquired, nullptr, nullptr, this, nullptr);
        winmm::NowPlaying::instance().setListener([this] { scheduleAnnouncement(); });
    }

    ~GdbusMpris() override
    {
        winmm::NowPlaying::instance().setListener(nullptr);
        while (g_source_remove_by_user_data(this)) {
        }
        if (connection_) {
            for (guint id : registrations_) {
                if (id)
                    g_dbus_connection_unregister_object(connection_.get(), id);
            }
        }
        if (ownerId_)
            g_bus_unown_name(ownerId_);
    }

private:
    static void onBusAcquired(GDBusConnection *connection, const gchar *, gpointer data)
    {
        auto *self = static_cast<GdbusMpris *>(data);
        self->connection_.reset(g_object_ref(connection));
        static const GDBusInterfaceVTable vtable = {onMethodCall, onGetProperty, nullptr, {}};
        for (int i = 0; i < 2; ++i)
            self->registrations_[i] = g_dbus_connection_register_object(
                connection, objectPath, self->node_->interfaces[i], &vtable, self, nullptr,
                nullptr);
        self->announced_ = winmm::NowPlaying::instance().state();
    }

    static void onMethodCall(GDBusConnection *, const gchar *, const gchar *,
                             const gchar *interfaceName, const gchar *methodName, GVariant *,
                             GDBusMethodInvocation *invocation, gpointer data)
    {
        auto *self = static_cast<GdbusMpris *>(data);
        const std::string method = methodName;
        const bool root = std::string(interfaceName) == rootInterface;
        if (root && method == "Raise" && self->controls_.raise)
            self->controls_.raise();
        else if (root && method == "Quit" && self->controls_.quit)
            self->controls_.quit();
        else if (!root && method == "OpenUri") {
            g_dbus_method_invocation_return_error_literal(
                invocation, G_DBUS_ERROR, G_DBUS_ERROR_NOT_SUPPORTED,
                "Hollyphone opens no URI: its queue takes files");
            return;
        } else if (!root && self->controls_.command) {
            const short command = method == "Play"        ? APPCOMMAND_MEDIA_PLAY
                                  : method == "Pause"     ? APPCOMMAND_MEDIA_PAUSE
                                  : method == "PlayPause" ? APPCOMMAND_MEDIA_PLAY_PAUSE
                                  : method == "Stop"      ? APPCOMMAND_MEDIA_STOP
                                  : method == "Next"      ? APPCOMMAND_MEDIA_NEXTTRACK
                                  : method == "Previous"  ? APPCOMMAND_MEDIA_PREVIOUSTRACK
                                                          : 0;  // Seek, SetPosition
            if (command)
                self->controls_.command(command);
        }
        g_dbus_method_invocation_return_value(invocation, nullptr);
    }

    static GVariant *onGetProperty(GDBusConnection *, const gchar *, const gchar *,
                                   const gchar *interfaceName, const gchar *propertyName,
                                   GError **error, gpointer)
    {
        GVariant *value = std::string(interfaceName) == rootInterface
                              ? rootProperty(propertyName)
                              : playerProperty(propertyName);
        if (!value)
            g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s",
                        propertyName);
        return value;
    }

    // Any thread: the change is announced from the main context, once for
    // changes that come together (a stop and the next track's start).
    void scheduleAnnouncement()
    {
        if (!pending_.exchange(true))
            g_idle_add(announceNow, this);
    }

    static gboolean announceNow(gpointer data)
    {
        auto *self = static_cast<GdbusMpris *>(data);
        self->pending_ = false;
        self->announce();
        return G_SOURCE_REMOVE;
    }

    void announce()
    {
        if (!connection_)
            return;
        const winmm::NowPlaying::State now = winmm::NowPlaying::instance().state();
        GVariantBuilder changed;
        g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
        bool any = false;
        if (now.playing != announced_.playing) {
            addEntry(changed, "PlaybackStatus", g_variant_new_string(playbackStatus(now)));
            any = true;
        }
        if (now.trackNumber != announced_.trackNumber || now.lengthMs != announced_.lengthMs) {
            addEntry(changed, "Metadata", metadata(now));
            any = true;
        }
        announced_ = now;
        if (!any) {
            g_variant_builder_clear(&changed);
            return;
        }
        g_dbus_connection_emit_signal(
            connection_.get(), nullptr, objectPath, "org.freedesktop.DBus.Properties",
            "PropertiesChanged",
            g_variant_new("(s@a{sv}@as)", playerInterface, g_variant_builder_end(&changed),
                          g_variant_new_strv(nullptr, 0)),
            nullptr);
    }

    MediaControls controls_;
    std::unique_ptr<GDBusNodeInfo, NodeInfoReleaser> node_;
    std::unique_ptr<GDBusConnection, ObjectReleaser> connection_;
    guint ownerId_ = 0;
    guint registrations_[2] = {0, 0};
    std::atomic<bool> pending_{false};
    winmm::NowPlaying::State announced_;
};

}  // namespace

std::unique_ptr<MprisService> startMprisService(MediaControls controls)
{
    if (!sessionBusReachable())
        return nullptr;
    return std::make_unique<GdbusMpris>(std::move(controls));
}

}  // namespace hp::host
