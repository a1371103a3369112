#pragma once
// Modal dialogs built from a template of controls placed in dialog units:
// a GTK window on a desktop, or a scripted run that answers from the
// QUILLMERE_SETUP setting when there is no display or the setting is given.
#include <span>
#include <string>

namespace platform {

struct dialog;

enum class control_kind { push_button, default_push_button, toggle_box, drop_down_list, group_box };

struct dialog_control {
    int id;
    control_kind kind;
    const char* text;
    int x, y, width, height;   // dialog units
};

struct dialog_template {
    const char* title;
    int width, height;         // dialog units
    const char* font;
    int font_points;
    std::span<const dialog_control> controls;
};

enum class dialog_event { init, command };

// Called with init once the controls exist, then with command and the control's
// id whenever a button is pressed. Closing the window counts as the control id 2.
using dialog_procedure = int (*)(dialog* d, dialog_event event, int control_id);

// Runs the dialog until end_dialog; returns the value given to end_dialog.
int dialog_box(const dialog_template& layout, dialog_procedure procedure);

void end_dialog(dialog* d, int result);
void check_dialog_button(dialog* d, int id, bool checked);
bool is_dialog_button_checked(dialog* d, int id);
void add_list_item(dialog* d, int id, const std::string& text);
void select_list_item(dialog* d, int id, int index);
int selected_list_item(dialog* d, int id);   // -1 when nothing is selected

}  // namespace platform
