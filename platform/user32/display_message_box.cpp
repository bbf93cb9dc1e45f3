#include "platform/user32/display_message_box.h"

#include "platform/user32/window_system.h"

namespace hp::user32 {

int DisplayMessageBox::show(HWND owner, const std::string &text, const std::string &caption,
                            UINT type)
{
    WindowSystem &system = WindowSystem::instance();
    HWND disabled = nullptr;
    if (owner) {
        owner = system.topLevelOf(owner);
        Window *window = system.windows().find(owner);
        if (window && window->enabled()) {
            system.setEnabled(*window, false);
            disabled = owner;
        }
    }
    MessageBoxContent description;
    description.text = text;
    description.caption = caption;
    description.type = type;
    const int answer = system.display().showMessageBox(owner, description, system);
    if (Window *window = system.windows().find(disabled))
        system.setEnabled(*window, true);
    return answer;
}

std::unique_ptr<MessageBoxBackend> makeDisplayMessageBox()
{
    return std::make_unique<DisplayMessageBox>();
}

}  // namespace hp::user32
