#pragma once
// What each dialog backend implements behind the free functions of dialog.hpp.
#include "platform/dialog.hpp"

namespace platform {

struct dialog {
    virtual ~dialog() = default;
    virtual void end(int result) = 0;
    virtual void check(int id, bool checked) = 0;
    virtual bool checked(int id) const = 0;
    virtual void add_item(int id, const std::string& text) = 0;
    virtual void select(int id, int index) = 0;
    virtual int selected(int id) const = 0;
};

// The GTK dialog; returns false (and runs nothing) when GTK cannot open a display.
bool run_gtk_dialog(const dialog_template& layout, dialog_procedure procedure, int& result);
int run_scripted_dialog(const dialog_template& layout, dialog_procedure procedure);

}  // namespace platform
