#include "platform/host/media_keys.h"

#include <gdk/gdkkeysyms.h>

namespace hp::host {

short appCommandOfKey(unsigned keyval)
{
    switch (keyval) {
    case GDK_KEY_AudioPlay:
        return APPCOMMAND_MEDIA_PLAY_PAUSE;
    case GDK_KEY_AudioPause:
        return APPCOMMAND_MEDIA_PAUSE;
    case GDK_KEY_AudioStop:
        return APPCOMMAND_MEDIA_STOP;
    case GDK_KEY_AudioNext:
        return APPCOMMAND_MEDIA_NEXTTRACK;
    case GDK_KEY_AudioPrev:
        return APPCOMMAND_MEDIA_PREVIOUSTRACK;
    default:
        return 0;
    }
}

}  // namespace hp::host
