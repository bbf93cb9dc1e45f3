// Message boxes as GtkMessageDialogs, run while the program's messages flow.
#include "platform/host/charset.h"
#include "platform/host/gtk_parts.h"

namespace hp::host {
namespace {

struct BoxSession {
    int answer = 0;
    bool closed = false;  // the close box or Escape
};

struct ButtonChoice {
    const char *label;  // UTF-8, GTK mnemonic form
    int answer;         // IDOK, IDYES, ...
};

void onResponse(GtkDialog *, gint response, gpointer data)
{
    auto *session = static_cast<BoxSession *>(data);
    if (response >= 0)
        session->answer = response;
    else if (response == GTK_RESPONSE_DELETE_EVENT)
        session->closed = true;
}

// A Yes/No box has no way out but its buttons, as on the platform.
gboolean blockClose(GtkWidget *, GdkEvent *, gpointer) { return TRUE; }

GtkMessageType messageTypeOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return GTK_MESSAGE_ERROR;
    case MB_ICONWARNING:
        return GTK_MESSAGE_WARNING;
    case MB_ICONQUESTION:
        return GTK_MESSAGE_QUESTION;
    case MB_ICONINFORMATION:
        return GTK_MESSAGE_INFO;
    default:
        return GTK_MESSAGE_OTHER;
    }
}

std::vector<ButtonChoice> buttonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
        return {{u8"はい(_Y)", IDYES}, {u8"いいえ(_N)", IDNO}};
    case MB_OKCANCEL:
        return {{"OK", IDOK}, {u8"キャンセル", IDCANCEL}};
    default:
        return {{"OK", IDOK}};
    }
}

// The answer of the close box and Escape, or 0 when the box has none.
int closeAnswerOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
        return 0;
    case MB_OKCANCEL:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

gboolean onKeyPress(GtkWidget *, GdkEventKey *event, gpointer data)
{
    auto *closeAnswer = static_cast<int *>(data);
    if (event->keyval != GDK_KEY_Escape)
        return FALSE;
    // Escape does what the close box does; without one it does nothing.
    return *closeAnswer == 0;
}

}  // namespace

int runMessageDialog(const user32::MessageBoxContent &description, GtkWindow *owner, user32::ModalLoop &loop)
{
    BoxSession session;
    const std::string text = utf8FromCp932(description.text);
    OwnedWidget dialog = ownWidget(gtk_message_dialog_new(owner, GTK_DIALOG_MODAL,
                                                          messageTypeOf(description.type),
                                                          GTK_BUTTONS_NONE, "%s", text.c_str()));
    gtk_window_set_title(GTK_WINDOW(dialog.get()), utf8FromCp932(description.caption).c_str());
    const std::vector<ButtonChoice> buttons = buttonsOf(description.type);
    for (const ButtonChoice &button : buttons)
        gtk_dialog_add_button(GTK_DIALOG(dialog.get()), button.label, button.answer);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog.get()), buttons.front().answer);

    int closeAnswer = closeAnswerOf(description.type);
    g_signal_connect(dialog.get(), "response", G_CALLBACK(onResponse), &session);
    g_signal_connect(dialog.get(), "key-press-event", G_CALLBACK(onKeyPress), &closeAnswer);
    if (closeAnswer == 0) {
        g_signal_connect(dialog.get(), "delete-event", G_CALLBACK(blockClose), nullptr);
        gtk_window_set_deletable(GTK_WINDOW(dialog.get()), FALSE);
    }
    // Centred on the owner, or on the screen for a box of its own, and
    // given the keyboard, as the platform shows a message box.
    gtk_window_set_position(GTK_WINDOW(dialog.get()),
                            owner ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
    gtk_widget_show_all(dialog.get());
    gtk_window_present(GTK_WINDOW(dialog.get()));

    loop.runUntil([&] { return session.answer != 0 || session.closed; });
    g_signal_handlers_disconnect_by_data(dialog.get(), &session);
    g_signal_handlers_disconnect_by_data(dialog.get(), &closeAnswer);
    if (session.answer != 0)
        return session.answer;
    if (session.closed && closeAnswer != 0)
        return closeAnswer;
    // Ended by WM_QUIT: the answer the box would give to being closed, or
    // its last button.
    return closeAnswer != 0 ? closeAnswer : buttons.back().answer;
}

}  // namespace hp::host
