// The setup dialog on a desktop, as a GTK 3 window laid out from the template.
#include <gtk/gtk.h>

#include <map>
#include <vector>

#include "platform/dialog_backend.hpp"

namespace platform {
namespace {

// Dialog units to pixels for the template's 10-point font, with room for
// GTK's roomier widgets.
constexpr double unit_x = 2.25;
constexpr double unit_y = 2.0;
constexpr int list_height_units = 15;   // a drop-down's template height includes its open list

int px_x(int units) { return static_cast<int>(units * unit_x + 0.5); }
int px_y(int units) { return static_cast<int>(units * unit_y + 0.5); }

class gtk_dialog;

struct button_binding {
    gtk_dialog* owner;
    int id;
};

class gtk_dialog final : public dialog {
public:
    gtk_dialog(const dialog_template& layout, dialog_procedure procedure)
        : procedure_(procedure) {
        window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_title(GTK_WINDOW(window_), layout.title);
        gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
        gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
        gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
        gtk_window_set_keep_above(GTK_WINDOW(window_), TRUE);
        GtkWidget* fixed = gtk_fixed_new();
        gtk_widget_set_size_request(fixed, px_x(layout.width), px_y(layout.height));
        gtk_container_add(GTK_CONTAINER(window_), fixed);
        g_signal_connect(window_, "delete-event", G_CALLBACK(on_delete), this);

        GtkWidget* default_button = nullptr;
        // Group boxes first, so that the controls lie above their frames.
        for (const dialog_control& c : layout.controls) {
            if (c.kind != control_kind::group_box) continue;
            GtkWidget* frame = gtk_frame_new(c.text && *c.text ? c.text : nullptr);
            gtk_widget_set_size_request(frame, px_x(c.width), px_y(c.height));
            gtk_fixed_put(GTK_FIXED(fixed), frame, px_x(c.x), px_y(c.y));
        }
        for (const dialog_control& c : layout.controls) {
            GtkWidget* widget = nullptr;
            int height = c.height;
            switch (c.kind) {
                case control_kind::group_box:
                    continue;
                case control_kind::push_button:
                case control_kind::default_push_button:
                    widget = gtk_button_new_with_label(c.text);
                    if (c.kind == control_kind::default_push_button) default_button = widget;
                    connect_click(widget, c.id);
                    break;
                case control_kind::toggle_box:
                    widget = gtk_toggle_button_new_with_label(c.text);
                    connect_click(widget, c.id);
                    break;
                case control_kind::drop_down_list:
                    widget = gtk_combo_box_text_new();
                    height = list_height_units;
                    break;
            }
            gtk_button_set_relief_if_button(widget);
            gtk_widget_set_size_request(widget, px_x(c.width), px_y(height));
            gtk_fixed_put(GTK_FIXED(fixed), widget, px_x(c.x), px_y(c.y));
            widgets_[c.id] = widget;
        }
        if (default_button) {
            gtk_widget_set_can_default(default_button, TRUE);
            gtk_window_set_default(GTK_WINDOW(window_), default_button);
        }
    }

    ~gtk_dialog() override {
        if (window_) gtk_widget_destroy(window_);
        while (gtk_events_pending()) gtk_main_iteration();
    }

    int run() {
        procedure_(this, dialog_event::init, 0);
        if (ended_) return result_;
        gtk_widget_show_all(window_);
        gtk_window_present(GTK_WINDOW(window_));
        gtk_main();
        return result_;
    }

    void end(int result) override {
        if (ended_) return;
        ended_ = true;
        result_ = result;
        if (gtk_main_level() > 0) gtk_main_quit();
    }
    void check(int id, bool on) override {
        if (GtkWidget* w = widget(id); w && GTK_IS_TOGGLE_BUTTON(w))
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w), on);
    }
    bool checked(int id) const override {
        GtkWidget* w = widget(id);
        return w && GTK_IS_TOGGLE_BUTTON(w) && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w));
    }
    void add_item(int id, const std::string& text) override {
        if (GtkWidget* w = widget(id); w && GTK_IS_COMBO_BOX_TEXT(w))
            gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(w), text.c_str());
    }
    void select(int id, int index) override {
        if (GtkWidget* w = widget(id); w && GTK_IS_COMBO_BOX(w))
            gtk_combo_box_set_active(GTK_COMBO_BOX(w), index);
    }
    int selected(int id) const override {
        GtkWidget* w = widget(id);
        return w && GTK_IS_COMBO_BOX(w) ? gtk_combo_box_get_active(GTK_COMBO_BOX(w)) : -1;
    }

private:
    GtkWidget* widget(int id) const {
        auto it = widgets_.find(id);
        return it == widgets_.end() ? nullptr : it->second;
    }

    static void gtk_button_set_relief_if_button(GtkWidget* w) {
        if (GTK_IS_BUTTON(w)) gtk_button_set_relief(GTK_BUTTON(w), GTK_RELIEF_NORMAL);
    }

    void connect_click(GtkWidget* w, int id) {
        bindings_.push_back(new button_binding{this, id});
        g_signal_connect_data(w, "clicked", G_CALLBACK(on_clicked), bindings_.back(),
                              [](gpointer data, GClosure*) { delete static_cast<button_binding*>(data); },
                              GConnectFlags(0));
    }

    static void on_clicked(GtkWidget*, gpointer data) {
        auto* binding = static_cast<button_binding*>(data);
        binding->owner->procedure_(binding->owner, dialog_event::command, binding->id);
    }

    static gboolean on_delete(GtkWidget*, GdkEvent*, gpointer data) {
        auto* self = static_cast<gtk_dialog*>(data);
        self->procedure_(self, dialog_event::command, 2);
        return TRUE;   // the dialog's procedure decides; the window stays until it ends
    }

    dialog_procedure procedure_;
    GtkWidget* window_ = nullptr;
    std::map<int, GtkWidget*> widgets_;
    std::vector<button_binding*> bindings_;   // freed with their signal handlers
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace

bool run_gtk_dialog(const dialog_template& layout, dialog_procedure procedure, int& result) {
    if (!gtk_init_check(nullptr, nullptr)) return false;
    gtk_dialog d(layout, procedure);
    result = d.run();
    return true;
}

}  // namespace platform
