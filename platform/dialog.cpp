#include "platform/dialog.hpp"

#include "platform/dialog_backend.hpp"
#include "platform/run_settings.hpp"

namespace platform {

int dialog_box(const dialog_template& layout, dialog_procedure procedure) {
    int result = 0;
    if (!settings().setup && run_gtk_dialog(layout, procedure, result)) return result;
    return run_scripted_dialog(layout, procedure);
}

void end_dialog(dialog* d, int result) { d->end(result); }
void check_dialog_button(dialog* d, int id, bool checked) { d->check(id, checked); }
bool is_dialog_button_checked(dialog* d, int id) { return d->checked(id); }
void add_list_item(dialog* d, int id, const std::string& text) { d->add_item(id, text); }
void select_list_item(dialog* d, int id, int index) { d->select(id, index); }
int selected_list_item(dialog* d, int id) { return d->selected(id); }

}  // namespace platform
